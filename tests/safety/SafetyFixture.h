#pragma once
// A catalogue line of device6200.lst chosen through the chip selection and the runner's set-up as
// the chip dialog chooses it, with any chip model seated in the simulated socket (the line's own
// or another), and the operations run by the runner's buttons with their contact check.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/core/catalogue/ChipParams.h"
#include "app/core/catalogue/DeviceList.h"
#include "app/core/catalogue/Selection.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "services/AppState.h"
#include "sim/chips/ChipModels.h"
#include "support/SimFixture.h"

namespace zelvar::test {

// The chip parameters and title of the chosen line, as the program's services answer them.
class LineServices : public FakeServices {
 public:
  int ChipParam(const std::string& key) override {
    return static_cast<int>(zelvar::ChipParam(key));
  }
  bool ChipNameContains(const std::string& text) override {
    return zelvar::ChipNameContains(text) > 0;
  }
};

// The listed lines of a device list (device6200.lst by default), as the build lays it into the
// program directory.
inline std::vector<DeviceLine> CatalogueLines(const std::string& file = "device6200.lst") {
  std::vector<DeviceLine> lines;
  std::ifstream in(std::string(ZELVAR_PROGRAM_DIR) + "/" + file);
  std::string raw;
  while (ReadDeviceLine(in, raw)) {
    auto line = ParseDeviceLine(raw);
    if (line && line->hasComma) lines.push_back(*line);
  }
  return lines;
}

// The first line whose chip name is `chipName` and whose set is `key` ("" any set).
inline std::optional<DeviceLine> FindLine(const std::string& chipName,
                                          const std::string& key = "") {
  for (const DeviceLine& l : CatalogueLines()) {
    if (l.chipName != chipName) continue;
    const auto head = ParseParameterHead(l.parameters);
    if (head && (key.empty() || head->key == key)) return l;
  }
  return std::nullopt;
}

class SafetyFixture : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    SetServices(&lines);
    gApp.Reset();
    prog->record.keepTranscript = false;
  }
  void TearDown() override {
    SetSelectionHooks({});
    gApp.Reset();
    SimFixture::TearDown();
  }

  // Seats `chip` as a user seats it on this programmer and chooses `line`; false when the
  // selection did not bind a set.
  bool Choose(const DeviceLine& line, std::shared_ptr<sim::ChipModel> chip) {
    prog->SeatChip(std::move(chip));
    SelectionHooks hooks;
    hooks.setupChosenChip = [this] { runner.SetupChosenChip(); };
    SetSelectionHooks(hooks);
    const ChipChoice choice{line.parameters, line.manufacturer + ": " + line.chipName,
                            line.chipName};
    return SelectAlgorithm(choice) == SelectionResult::Bound;
  }

  // Operation `op` as its button runs it (21 to 29, after the contact check) or, for the codes
  // without a button, straight through the dispatcher; the status it leaves.
  int Click(int op) {
    gLink.StatusWord = 0;
    if (op >= kOpErase && op <= kOpReadConfig) {
      runner.OperationClick(op);
    } else {
      gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
    }
    return gLink.StatusWord;
  }

  bool Logged(const std::string& text) const {
    return std::any_of(lines.log.begin(), lines.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  std::string Log() const {
    std::string out;
    for (const auto& l : lines.log) out += l.text + " | ";
    return out;
  }
  // Every supply off: no VCC or VPP pin selected.
  bool SuppliesOff() const { return prog->VccPin() == 0 && prog->VppPin() == 0; }

  LineServices lines;
  ChipUiModel ui;
  AutoProgrammer autoPro;
  OperationRunner runner{ui, autoPro};
};

}  // namespace zelvar::test
