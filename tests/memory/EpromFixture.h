#pragma once
// A chip of one of the EPROM sets in the simulated programmer, driven as the operation runner
// drives a set: set-up 1, 2, 3, then chip operations through the runner and its contact check,
// with no hazard recorded.
#include <gtest/gtest.h>

#include <string>

#include "algorithms/registry/Registry.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "link/PowerContact.h"
#include "services/AppState.h"
#include "sim/chips/Eprom.h"
#include "support/Pattern.h"
#include "support/SimFixture.h"

namespace zelvar::test {

class EpromFixture : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    gApp.Reset();
  }
  void TearDown() override {
    // Whatever the test did, nothing may have harmed a real chip.
    EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
    gApp.Reset();
    SimFixture::TearDown();
  }

  // Chooses type `row` of set `key` for the chip `part`, placed at the bottom of the socket; the
  // set-up must load the bitstream of the design `tag`.
  void Choose(const std::string& key, int row, const std::string& part, const std::string& title,
              const std::string& tag = "zor5103") {
    chip = sim::MakeEprom(part);
    ASSERT_NE(chip, nullptr) << part;
    prog->PlaceChipAtBottom(chip);
    fake.chipTitle = title;
    gApp.AlgorithmKey = key;
    gApp.TypeIndex = row;
    gApp.CurrentDispatcher = FindAlgorithmSet(key);
    ASSERT_NE(gApp.CurrentDispatcher, nullptr) << key;
    gApp.OptionValues.fill(0);
    Call(1, gApp.InfoRecord.data(), &gApp.ChipUiList);
    ASSERT_EQ(prog->loadedDesign, tag);
    ASSERT_NE(prog->design(), nullptr);
    Call(2, gApp.InfoRecord.data(), &gApp.ChipUiList);
    Call(3, gApp.OptionValues.data(), &gApp.ChipUiList);
    gApp.CodeLastAddress = gApp.InfoRecord[0];
    gApp.GroundPin = gApp.InfoRecord[5];
    gApp.PinMask = (std::uint64_t(std::uint32_t(gApp.InfoRecord[7])) << 31) +
                   (std::uint32_t(gApp.InfoRecord[6]) & 0x7FFFFFFF);
    // The grid's defaults: the whole address space.
    gApp.OptionValues[64] = 0;
    gApp.OptionValues[65] = 0xFFFFFF;
  }

  std::uint8_t Call(int op, std::int32_t* record, ChipUiList* list) {
    return gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), record, list);
  }

  // A chip operation as the user starts it: through the operation runner with its contact check
  // (Erase is followed by Blank there, Read reads into the buffer only when it succeeds). An
  // operation without a button of its own runs after the same check. Returns StatusWord.
  std::uint8_t Run(int op) {
    if (op >= kOpErase && op <= kOpReadConfig) {
      runner.OperationClick(op);
      ExpectEndState("operation " + std::to_string(op));
      return gLink.StatusWord;
    }
    gLink.StatusWord = 0;
    if (CheckPinContact(gApp.GroundPin, 0, 0, static_cast<std::uint32_t>(gApp.PinMask),
                        static_cast<std::uint32_t>(gApp.PinMask >> 32)) == 0) {
      return 1;
    }
    Call(op, gApp.OptionValues.data(), nullptr);
    ExpectEndState("operation " + std::to_string(op));
    return gLink.StatusWord;
  }

  // Fills the first `n` buffer bytes with a pattern that has every bit at 0 and 1 somewhere.
  void Pattern(std::uint32_t n, std::uint8_t seed = 0x5A) {
    for (std::uint32_t i = 0; i < n; ++i) {
      gApp.CodeBuffer[i] = PatternByte(i, seed);
    }
  }

  std::shared_ptr<sim::EpromChip> chip;
  ChipUiModel ui;
  AutoProgrammer autoPro;
  OperationRunner runner{ui, autoPro};
};

}  // namespace zelvar::test
