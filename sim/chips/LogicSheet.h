#pragma once
// The logic chips of the IC tester's libraries, read from their readable truth-table source
// (data/logic/LogicChips.txt, compiled in). One reading serves two ends: the simulated chip models
// (sim/chips/LogicChip) and the tool that writes the tester's libraries (data/logic), so a library
// and the model of the same chip cannot drift apart.
//
// A chip is a set of cells (gates, buffers, decoders, multiplexers, flip-flops, latches, counters,
// shift registers, 7-segment decoders) on its pins; the source file's head describes each kind.
// Levels are three-valued plus high impedance: state that nothing has set yet is unknown (X), as
// in a real chip after power-up, and the test sequence compares no output while it is unknown.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelvar::sim::logic {

enum Level : std::uint8_t { L0 = 0, L1 = 1, LX = 2, LZ = 3 };

// A pin as a cell names it: "~n" is active low (an input) or inverted (an output); pin 0: none.
struct PinRef {
  int pin = 0;
  bool low = false;
};

struct Cell {
  std::string kind;
  std::map<std::string, std::vector<PinRef>> pins;  // by key ("in", "out", "clk", "q", ...)
  std::map<std::string, int> numbers;               // numeric keys ("mod", "tails")
  const std::vector<PinRef>& Pins(const std::string& key) const;
  bool Has(const std::string& key) const { return pins.count(key) != 0; }
  int Number(const std::string& key, int otherwise) const;
};

// The supply range a part works in.
struct SupplyRange {
  int minMv = 4500;
  int maxMv = 5500;
  int absMaxMv = 7000;  // the absolute maximum rating on any pin
};

struct ChipDef {
  std::string library;  // "TTL74", "CMOS40" or "CMOS45"
  int number = 0;       // as the library names it: 138 for the 74xx138, 11 for the 4011
  int pins = 14;
  std::string title;
  int aliasOf = -1;  // a second name for the logic of chip `aliasOf` (same library)
  std::vector<Cell> cells;
  int VccPin() const { return pins; }
  int GroundPin() const { return pins / 2; }
  // Chip pins the cells read, and pins they drive, in rising order.
  std::vector<int> Inputs() const;
  std::vector<int> Outputs() const;
};

// Every chip of the source, aliases resolved to their target's cells, in source order.
const std::vector<ChipDef>& Chips();
// The chip `number` of `library`, nullptr when the source has none.
const ChipDef* FindChip(std::string_view library, int number);
// Parses a source text; throws std::runtime_error naming the line of a fault.
std::vector<ChipDef> ParseSource(std::string_view text);
// The compiled-in source text.
std::string_view SourceText();

// A chip's cells in motion: feed pin levels, read what it drives.
class Evaluator {
 public:
  // `unknownStart`: state starts unknown (the test generator); otherwise from `seed`, as a real
  // chip comes up in some state of its own.
  Evaluator(const ChipDef& chip, bool unknownStart, std::uint32_t seed = 0);
  ~Evaluator();
  Evaluator(Evaluator&&) noexcept;
  // Applies input levels (index = chip pin, L0/L1; absent pins read high) and settles.
  void Apply(const std::vector<Level>& pins);
  // What the chip drives on `pin`: L0, L1, LX, LZ (released), or LZ for a pin it never drives.
  Level Out(int pin) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// One step of a chip's test: every input pin's level, and whether the outputs are compared.
struct TestStep {
  std::vector<Level> drive;   // by chip pin; outputs and supplies are driven high (released)
  std::vector<Level> expect;  // by chip pin, what the tester reads back (released reads high)
  bool compare = true;
  int repeat = 0;  // > 0: a repeat marker, the two steps before applied `repeat` more times
};

// The chip's test sequence, at most `maxSteps` steps, generated from its cells: exhaustive or
// pseudo-random inputs, clock pairs, and long counting runs through repeat markers.
std::vector<TestStep> MakeTestSequence(const ChipDef& chip, int maxSteps = 250);

}  // namespace zelvar::sim::logic
