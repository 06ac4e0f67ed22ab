// The catalogue sweep's quick run: the first line of each set of models 6200 and 411, on model
// 5149 the sets whose chips sit turned round below model 6300, and the 8-pin PIC12F675 on the
// 14-pin line of PIC16F630. Each line must pass the sweep (support/CatalogueSweep.h), or be one
// of the known faults named below with its reason. `catalogue_sweep` runs every line.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

#include "support/CatalogueSweep.h"

namespace zelvar::test {
namespace catalogue_sweep_test {

// Lines whose fault is known, by "model key row chip", with the reason; they still run, and any
// other fault of theirs shows in the log.
const std::map<std::string, std::string>& KnownFaults() {
  static const std::map<std::string, std::string> known = {
      {"6200 F640 8 28F001BX-T(F640)",
       "Erase of the boot block needs its unlock (12 V on RP#), which the sweep does not tick"},
      {"6200 C8051JTAG 2 C8051F012",
       "the JTAG sets leave the VCC pin selected after ID and Read; Erase fails in this order"},
  };
  return known;
}

std::vector<SweepLine> QuickLines() {
  std::vector<SweepLine> lines = FirstLinesPerSet(SweepLines(6200), 1);
  // The 8-pin PIC12F675 on the 14-pin line of set PIC16F630, pin 1 on the drawn chip's pin 1.
  for (const int model : {6200, 5149}) {
    for (const SweepLine& l : SweepLines(model)) {
      if (l.key == "PIC16F630" && l.chipName == "PIC12F675") lines.push_back(l);
    }
  }
  const std::set<std::string> turned = {"P17C4X", "AK64SCI", "ATMEGAX", "ATMEGA163", "AT90S8535"};
  std::vector<SweepLine> below;
  for (const SweepLine& l : SweepLines(5149)) {
    if (turned.count(l.key)) below.push_back(l);
  }
  for (const SweepLine& l : FirstLinesPerSet(below, 2)) lines.push_back(l);
  for (const SweepLine& l : FirstLinesPerSet(SweepLines(411), 1)) lines.push_back(l);
  return lines;
}

std::string Key(const SweepLine& l) {
  return std::to_string(l.model) + " " + l.key + " " + std::to_string(l.row) + " " + l.chipName;
}

class CatalogueSweep : public ::testing::TestWithParam<SweepLine> {};

TEST_P(CatalogueSweep, LinePassesOrIsAKnownFault) {
  const SweepLine& line = GetParam();
  const SweepResult r = SweepOne(line);
  const std::string summary = r.Summary(line);
  const auto known = KnownFaults().find(Key(line));
  if (known != KnownFaults().end()) {
    if (!r.Passed()) GTEST_SKIP() << "known: " << known->second << "\n" << summary;
    return;
  }
  EXPECT_TRUE(r.Passed()) << summary;
}

INSTANTIATE_TEST_SUITE_P(Lines, CatalogueSweep, ::testing::ValuesIn(QuickLines()),
                         [](const auto& info) {
                           std::string n = Key(info.param) + "_" + std::to_string(info.index);
                           for (char& c : n) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return n;
                         });

}  // namespace catalogue_sweep_test
}  // namespace zelvar::test
