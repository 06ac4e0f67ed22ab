#pragma once
// A chip model of any family in the simulated programmer's socket, chosen through the operation
// runner as a user chooses it (set-up, the contact check before each operation, result lines),
// with the set's operations called directly where a test needs one alone.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "algorithms/registry/Registry.h"
#include "app/core/catalogue/Selection.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "services/AppState.h"
#include "support/Pattern.h"
#include "support/SimFixture.h"

namespace zelvar::test {

class ChipFixture : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    gApp.Reset();
    // Whole-chip writes send millions of commands; the tests look at the chip, not the transcript.
    prog->record.keepTranscript = false;
  }
  void TearDown() override {
    gApp.Reset();
    SimFixture::TearDown();
  }

  // Places `model` at the bottom of the socket and chooses row `row` of the set `key` through
  // the runner's set-up, which must load `design`.
  void Choose(const std::string& key, int row, std::shared_ptr<sim::ChipModel> model,
              const std::string& title, const std::string& design = "zor5103") {
    ASSERT_NE(model, nullptr) << title;
    prog->PlaceChipAtBottom(model);
    fake.chipTitle = title;
    gApp.ChipTitle = title;
    gApp.AlgorithmKey = key;
    gApp.TypeIndex = row;
    gApp.CurrentDispatcher = DispatcherForKey(key);
    ASSERT_NE(gApp.CurrentDispatcher, nullptr) << key;
    runner.SetupChosenChip();
    ASSERT_EQ(prog->loadedDesign, design);
  }

  // A chip operation as the runner's button runs it, after the contact check; its status.
  int Click(int op) {
    runner.OperationClick(op);
    ExpectEndState("operation " + std::to_string(op));
    return gLink.StatusWord;
  }
  // The operation alone, StatusWord cleared first, no contact check.
  int Run(int op) {
    gLink.StatusWord = 0;
    gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
    ExpectEndState("operation " + std::to_string(op) + " alone");
    return gLink.StatusWord;
  }
  std::string LastLine() const { return fake.log.empty() ? "" : fake.log.back().text; }
  void Range(std::uint32_t start, std::uint32_t end) {
    gApp.OptionValues[64] = static_cast<std::int32_t>(start);
    gApp.OptionValues[65] = static_cast<std::int32_t>(end);
  }
  // A pattern in the first `n` buffer bytes with every bit at 0 and 1 somewhere.
  void Pattern(std::uint32_t n, std::uint8_t seed = 0x5A) {
    for (std::uint32_t i = 0; i < n; ++i) {
      gApp.CodeBuffer[i] = PatternByte(i, seed);
    }
  }
  void ExpectNoHazard() const {
    EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
    EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
  }

  ChipUiModel ui;
  AutoProgrammer autoPro;
  OperationRunner runner{ui, autoPro};
};

}  // namespace zelvar::test
