// The chip dialog from one family to another in the same run, with the simulated socket
// following the choice: the first Go on an AT24C02 after work on a PIC12F675 (write, verify, read,
// read config, erase) programs it; nothing the PIC sets leave in the programmer or the link stops
// it.
#include <gtest/gtest.h>

#include <QPushButton>
#include <algorithm>

#include "app/core/runner/OperationRunner.h"
#include "app/forms/windows/Forms.h"
#include "pic/CatalogueLine.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "sim/Programmer.h"
#include "sim/chips/I2cEeprom.h"
#include "skin/Suibutton.h"
#include "support/MainWindowFixture.h"
#include "support/QtApp.h"

namespace zelvar {
namespace set_switch_walk_test {

class SetSwitchWalkTest : public test::MainWindowFixture,
                          public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    StartMainWindow();
  }
  sim::Programmer& Prog() { return *programmer.backend->programmer(); }
  // The test's services answer the line's items as the program's own do from its text.
  void Choose(const char* category, const char* name) {
    fake.chipParams = test::FromCatalogue(name).items;
    ChooseChip(category, name);
    PlaceChosenChip(programmer, gApp.ChipName);
  }
};

TEST_P(SetSwitchWalkTest, TheFirstGoOnAnAt24c02AfterPicWorkProgramsIt) {
  Choose("MPU", GetParam());
  ASSERT_NE(Prog().chip(), nullptr);
  for (int i = 0; i < 0x7FE; i += 2) {
    gApp.CodeBuffer[i] = static_cast<std::uint8_t>(i);
    gApp.CodeBuffer[i + 1] = static_cast<std::uint8_t>(i >> 8 & 0x0F);
  }
  for (const char* button : {"suiImageButtonWrite", "suiImageButtonVerify", "suiImageButtonRead",
                             "suiImageButtonReadCfg", "suiImageButtonErase"}) {
    fake.log.clear();
    MainForm->toolButtons.at(button)->click();
    if (!fake.log.empty()) {
      EXPECT_EQ(fake.log.back().colour, kBlack) << button;
    }
  }
  Choose("Serial EE", "AT24C02");
  auto eeprom = std::dynamic_pointer_cast<sim::I2cEeprom>(Prog().chipShared());
  ASSERT_NE(eeprom, nullptr);
  for (int i = 0; i < 256; ++i) gApp.CodeBuffer[i] = static_cast<std::uint8_t>(i * 7 + 1);
  fake.log.clear();
  MainForm->ButtonGo->click();
  EXPECT_EQ(gLink.StatusWord, 0) << ::testing::PrintToString(fake.LogTexts());
  EXPECT_TRUE(
      std::equal(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 256, eeprom->cells.begin()));
  EXPECT_TRUE(Prog().record.hazards.empty()) << Prog().record.hazards.front();
}

INSTANTIATE_TEST_SUITE_P(PicLines, SetSwitchWalkTest,
                         ::testing::Values("PIC12F675", "PIC12F675(6XX)", "PIC12F675(12F)"));

}  // namespace set_switch_walk_test
}  // namespace zelvar
