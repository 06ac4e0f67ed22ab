#pragma once
// Logic chips of the 74, 40 and 45 series, run from the IC tester's truth-table source
// (sim/chips/LogicSheet). A chip works only while its supply pin carries a voltage inside its
// family's range and its ground pin is grounded; unpowered, it drives nothing. It comes up in a
// state of its own, as a real one does, so a test must set its state before trusting it. The
// faulty variant keeps one output stuck at a level, the commonest failure of a worn part.
#include <memory>
#include <string>
#include <string_view>

#include "sim/Programmer.h"
#include "sim/chips/LogicSheet.h"

namespace zelvar::sim {

class LogicChip final : public ChipModel {
 public:
  // `stuckPin` (0: none) is held at `stuckLevel` whenever the chip is powered.
  LogicChip(std::string name, const logic::ChipDef& def, logic::SupplyRange supply,
            int stuckPin = 0, int stuckLevel = 0);

  std::string Name() const override { return name_; }
  int PinCount() const override { return def_.pins; }
  std::vector<int> GroundPins() const override { return {def_.GroundPin()}; }
  int MaxMillivolts(int) const override { return supply_.absMaxMv; }
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const logic::ChipDef& def() const { return def_; }
  bool powered() const { return powered_; }

 private:
  std::string name_;
  const logic::ChipDef& def_;
  logic::SupplyRange supply_;
  int stuckPin_, stuckLevel_;
  std::unique_ptr<logic::Evaluator> eval_;
  bool powered_ = false;
  std::uint32_t powerUps_ = 0;
};

// A model by part name: "7400", "74LS00", "74HC138", "4011", "CD4511B", "40106". A ":stuck"
// suffix gives the faulty variant, its first output stuck low ("7400:stuck"). nullptr when the
// source has no such chip.
std::shared_ptr<LogicChip> MakeLogicChip(std::string_view part);

}  // namespace zelvar::sim
