#pragma once
// One QApplication for a GUI test executable (offscreen platform under ctest). Include it in a
// tests/gui/ file; the application lives for the whole run.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace zelvar::test {

class QtAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "zelvar-test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const kQtAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace zelvar::test
