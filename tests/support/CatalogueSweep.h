#pragma once
// The catalogue sweep: every line of a model's device list chosen as the chip dialog chooses it,
// its chip model seated where the line's placement picture puts it, and the operations the set
// offers run through the operation runner and its contact check on a fresh simulated
// programmer. Each line ends with a verdict: a hazard, a supply left on, a failed operation that
// logs "Complete", a Verify that passes over a changed byte, or an operation that fails on a
// seated model, is a fault. The test suite runs a few lines of each
// set; the `catalogue_sweep` command runs them all.
#include <iosfwd>
#include <string>
#include <vector>

namespace zelvar::test {

struct SweepLine {
  int model = 6200;  // the programmer model whose list holds the line
  std::string text;  // the device line as listed
  std::string maker, chipName, parameters, key;
  int row = 0;
};

struct SweepResult {
  std::string chipModel;            // the seated model's name, "" when none
  std::string seat;                 // why nothing was seated (no model, or the picture's reason)
  std::vector<std::string> steps;   // "Write ok", "Verify FAIL", ...
  std::vector<std::string> faults;  // what makes the line fail the sweep
  bool Passed() const { return faults.empty(); }
  // One line: model, set and row, chip, model or the reason for none, steps, verdict.
  std::string Summary(const SweepLine& line) const;
};

void PrintTo(const SweepLine& line, std::ostream* os);

// The lines of `model`'s device list in the program directory, in list order.
std::vector<SweepLine> SweepLines(int model);
// `perSet` lines of each set (the first ones of the list), for the quick run.
std::vector<SweepLine> FirstLinesPerSet(const std::vector<SweepLine>& lines, int perSet);

// Runs one line on a fresh simulated programmer. The window written and verified is at most
// `windowBytes` at the bottom of the chip, where the set takes an address range.
SweepResult SweepOne(const SweepLine& line, int windowBytes = 256);

}  // namespace zelvar::test
