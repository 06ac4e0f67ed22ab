#pragma once
// An 8051 chip of one of the microcontroller sets in the simulated programmer, driven through the
// operation runner as the main window drives it: the chip chosen (operations 1, 2, 3), then each
// button with its contact check first.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "algorithms/registry/Registry.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "support/Pattern.h"
#include "support/SimFixture.h"

namespace zelvar::test {

// One chip line of the catalogue, as the chip dialog hands it to the runner.
struct ChipLine {
  std::string key;
  int row = 0;
  std::string title;
  std::array<std::uint8_t, 4> id{};  // the '#' bytes, all 0 when the line gives none
};

class Mcs51Fixture : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    gApp.Reset();
  }
  void TearDown() override {
    gApp.Reset();
    SimFixture::TearDown();
  }

  // Places `chip` at the bottom of the socket and chooses `line` as the chip dialog would.
  void Choose(const ChipLine& line, std::shared_ptr<sim::ChipModel> chip) {
    if (chip) prog->PlaceChipAtBottom(chip);
    fake.chipTitle = line.title;
    gApp.ChipTitle = line.title;
    gApp.AlgorithmKey = line.key;
    gApp.TypeIndex = line.row;
    gApp.ExpectedId = line.id;
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

  // Fills buffer bytes 0 .. n - 1 with a pattern that has every bit at 0 and 1 somewhere and
  // differs between blocks.
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

  ChipUiModel ui;
  AutoProgrammer autoPro;
  OperationRunner runner{ui, autoPro};
};

}  // namespace zelvar::test
