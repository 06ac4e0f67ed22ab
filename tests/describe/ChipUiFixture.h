#pragma once
// A fresh application state, a recording services fake and an empty chip-controls model.
#include <gtest/gtest.h>

#include "app/core/describe/ChipUiModel.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "support/FakeServices.h"

namespace zelvar::test {

class ChipUiFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    SetServices(&fake);
  }
  void TearDown() override {
    SetServices(nullptr);
    gApp.Reset();
    ChineseTexts = 0;
  }

  FakeServices fake;
  ChipUiModel ui;
};

}  // namespace zelvar::test
