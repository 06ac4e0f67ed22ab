#pragma once
// An AVR chip of one of the AVR sets in the simulated programmer, chosen and run through the
// operation runner as the main window drives it: its buttons with their contact check, and the
// describe list's further operations (calibration, EEPROM write) as single Go steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "algorithms/registry/Registry.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "support/Pattern.h"
#include "support/SimFixture.h"

namespace zelvar::test {

// One chip line of the catalogue.
struct AvrLine {
  std::string key;
  int row = 0;
  std::string title;
  int pkg = 0;       // "pkg=", 0 when the line gives none
  int model = 6200;  // the programmer model a round trip connects
};

class AvrFixture : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    gApp.Reset();
    prog->record.keepTranscript = false;
  }
  void TearDown() override {
    gApp.Reset();
    SimFixture::TearDown();
  }

  // Places `chip` with its pin 1 in socket pin `firstPin` (0: at the bottom of the socket) and
  // chooses `line` as the chip dialog would.
  void Choose(const AvrLine& line, std::shared_ptr<sim::ChipModel> chip, int firstPin = 0) {
    if (chip && firstPin) prog->PlaceChip(chip, firstPin);
    if (chip && !firstPin) prog->PlaceChipAtBottom(chip);
    fake.chipTitle = line.title;
    fake.chipParams.clear();
    if (line.pkg) fake.chipParams["pkg="] = line.pkg;
    gApp.ChipTitle = line.title;
    gApp.AlgorithmKey = line.key;
    gApp.TypeIndex = line.row;
    gApp.CurrentDispatcher = FindAlgorithmSet(line.key);
    ASSERT_NE(gApp.CurrentDispatcher, nullptr) << line.key;
    runner.SetupChosenChip();
  }

  // A chip operation straight through the dispatcher, StatusWord left as it stands.
  std::uint8_t Call(int op) {
    const std::uint8_t r =
        gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
    ExpectEndState("operation " + std::to_string(op));
    return r;
  }

  // One operation of the describe list as the only ticked Go step, through the runner.
  int Go(int op) {
    gApp.GoOpCodes = {op};
    ui.GoGroup.Clear();
    ui.GoGroup.Add("op");
    ui.GoGroup.SetChecked(0, true);
    runner.GoClick();
    ExpectEndState("operation " + std::to_string(op));
    return gLink.StatusWord;
  }

  // A pattern over buffer bytes 0 .. n - 1 with every bit at 0 and 1, differing by block and by
  // 64 KiB bank (i * 7 + (i >> 8) alone repeats every 64 KiB and would hide a lost A16).
  void Pattern(std::uint32_t n, std::uint8_t seed = 0x5A) {
    for (std::uint32_t i = 0; i < n; ++i) {
      gApp.CodeBuffer[i] = PatternByte(i, seed);
    }
  }

  std::string LastLine() const { return fake.log.empty() ? "" : fake.log.back().text; }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  void ExpectClean() {
    EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
    EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
  }
  void ExpectSuppliesOff() {
    EXPECT_EQ(prog->VppPin(), 0);
    EXPECT_EQ(prog->VccPin(), 0);
  }

  ChipUiModel ui;
  AutoProgrammer autoPro;
  OperationRunner runner{ui, autoPro};
};

}  // namespace zelvar::test
