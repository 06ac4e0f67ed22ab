#pragma once
// A chip-catalogue test: fresh application and link state, a recording services fake, an empty
// program directory of its own for device lists, and "P27" standing as the one built set.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/core/catalogue/Selection.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "support/FakeServices.h"

namespace zelvar::test {

inline std::uint8_t FakeEpromSet(int, std::uint8_t*, std::int32_t*, ChipUiList*) {
  return 0;
}

class CatalogueFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    gLink.Reset();
    ChineseTexts = 0;
    SetServices(&fake);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          ("zelvar_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
           std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    gApp.ProgramDir = dir.string();
    SelectionHooks hooks;
    hooks.findSet = [](std::string_view set) -> AlgorithmDispatcher {
      return set == "P27" ? &FakeEpromSet : nullptr;
    };
    SetSelectionHooks(hooks);
  }
  void TearDown() override {
    SetSelectionHooks({});
    SetServices(nullptr);
    gApp.Reset();
    gLink.Reset();
    std::filesystem::remove_all(dir);
  }

  // Writes a device list (or any file) into the program directory.
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
  }

  FakeServices fake;
  std::filesystem::path dir;
};

}  // namespace zelvar::test
