// The logic chips' truth-table source and its evaluator, checked against the datasheets' function
// tables (the libraries and the simulated chips both come from them, so they must be right here).
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "sim/Programmer.h"
#include "sim/chips/LogicChip.h"
#include "sim/chips/LogicSheet.h"

namespace zelvar::sim {
namespace logic_chips_test {

using namespace logic;

// A chip on the bench: set input pins, read outputs (1, 0, or -1 released/unknown).
class Bench {
 public:
  Bench(const char* library, int number) : def_(*FindChip(library, number)), eval_(def_, false) {
    in_.assign(def_.pins + 1, L1);
  }
  Bench& Set(std::map<int, int> levels) {
    for (const auto& [pin, v] : levels) in_[pin] = v ? L1 : L0;
    eval_.Apply(in_);
    return *this;
  }
  // A rising (or, with `falling`, falling) edge on `pin`.
  Bench& Clock(int pin, bool falling = false) {
    Set({{pin, falling ? 1 : 0}});
    return Set({{pin, falling ? 0 : 1}});
  }
  int Out(int pin) const {
    const Level v = eval_.Out(pin);
    return v == L1 ? 1 : v == L0 ? 0 : -1;
  }

 private:
  const ChipDef& def_;
  Evaluator eval_;
  std::vector<Level> in_;
};

TEST(LogicSheet, GatesDecodersAndMultiplexersFollowTheirFunctionTables) {
  Bench nand("TTL74", 0);
  EXPECT_EQ(nand.Set({{1, 1}, {2, 1}}).Out(3), 0);
  EXPECT_EQ(nand.Set({{1, 0}, {2, 1}}).Out(3), 1);
  EXPECT_EQ(nand.Set({{12, 1}, {13, 1}}).Out(11), 0);

  Bench dec("TTL74", 138);  // G1 = 6, G2A = 4, G2B = 5; Y0 = 15 ... Y7 = 7
  dec.Set({{6, 1}, {4, 0}, {5, 0}, {1, 1}, {2, 0}, {3, 1}});  // address 5: Y5 = pin 10
  EXPECT_EQ(dec.Out(10), 0);
  EXPECT_EQ(dec.Out(15), 1);
  EXPECT_EQ(dec.Set({{4, 1}}).Out(10), 1);  // G2A high disables

  Bench mux("TTL74", 151);  // A = 11, B = 10, C = 9, D6 = 13, Y = 5, W = 6, strobe 7
  mux.Set({{7, 0}, {11, 0}, {10, 1}, {9, 1}, {13, 0}});
  EXPECT_EQ(mux.Out(5), 0);
  EXPECT_EQ(mux.Out(6), 1);
  EXPECT_EQ(mux.Set({{13, 1}}).Out(5), 1);
  EXPECT_EQ(mux.Set({{7, 1}}).Out(5), 0);

  Bench buf("TTL74", 244);  // 1OE = 1, 1A1 = 2, 1Y1 = 18
  EXPECT_EQ(buf.Set({{1, 0}, {2, 0}}).Out(18), 0);
  EXPECT_EQ(buf.Set({{1, 1}}).Out(18), -1);  // released
}

TEST(LogicSheet, SequentialChipsFollowTheirFunctionTables) {
  Bench ff("TTL74", 74);  // CLR 1, D 2, CLK 3, PRE 4, Q 5, Qn 6
  ff.Set({{1, 1}, {4, 1}, {2, 1}}).Clock(3);
  EXPECT_EQ(ff.Out(5), 1);
  EXPECT_EQ(ff.Set({{1, 0}}).Out(5), 0);
  EXPECT_EQ(ff.Set({{4, 0}}).Out(6), 1);  // preset and clear at once: both outputs high
  EXPECT_EQ(ff.Out(5), 1);

  Bench counter("TTL74", 161);  // CLR 1, CLK 2, ENP 7, LOAD 9, ENT 10, QA 14 .. QD 11, RCO 15
  counter.Set({{1, 0}}).Set({{1, 1}, {9, 1}, {7, 1}, {10, 1}});
  for (int i = 0; i < 15; ++i) counter.Clock(2);
  EXPECT_EQ(counter.Out(11), 1);
  EXPECT_EQ(counter.Out(15), 1);  // terminal count 15 with ENT high
  EXPECT_EQ(counter.Set({{10, 0}}).Out(15), 0);
  counter.Set({{10, 1}}).Clock(2);
  EXPECT_EQ(counter.Out(14) + counter.Out(13) + counter.Out(12) + counter.Out(11), 0);

  Bench decade("CMOS40", 17);  // CLK 14, CE 13, RST 15; Q3 = pin 7, CO = 12
  decade.Set({{13, 0}, {15, 1}}).Set({{15, 0}});
  for (int i = 0; i < 3; ++i) decade.Clock(14);
  EXPECT_EQ(decade.Out(7), 1);
  EXPECT_EQ(decade.Out(12), 1);
  for (int i = 0; i < 3; ++i) decade.Clock(14);
  EXPECT_EQ(decade.Out(12), 0);  // carry out low from count 5 to 9

  Bench shift("TTL74", 595);  // SER 14, SRCLK 11, RCLK 12, SRCLR 10, OE 13, QA 15, QH' 9
  shift.Set({{10, 1}, {13, 0}, {14, 1}, {12, 0}, {11, 0}});
  // Both clocks together: the storage register is one clock behind the stages.
  shift.Set({{11, 1}, {12, 1}});
  shift.Set({{11, 0}, {12, 0}, {14, 0}});
  shift.Set({{11, 1}, {12, 1}});
  EXPECT_EQ(shift.Out(15), 1);

  Bench seg("CMOS45", 11);  // A 7, B 1, C 2, D 6, LT 3, BI 4, LE 5; a = 13, d = 10, g = 14
  seg.Set({{3, 1}, {4, 1}, {5, 0}, {7, 1}, {1, 1}, {2, 1}, {6, 0}});  // 7: a, b, c
  EXPECT_EQ(seg.Out(13), 1);
  EXPECT_EQ(seg.Out(14), 0);
  EXPECT_EQ(seg.Set({{5, 1}, {7, 0}}).Out(13), 1);  // latched: still 7
  EXPECT_EQ(seg.Set({{3, 0}}).Out(10), 1);          // lamp test lights every segment
}

TEST(LogicSheet, TheSourceRefusesWhatIsNoChip) {
  EXPECT_THROW(ParseSource("library TTL74\nchip 7400 14 x\n  nand 1 2 > 14\n"), std::runtime_error);
  EXPECT_THROW(ParseSource("library TTL74\nchip 7400 15 x\n"), std::runtime_error);
  EXPECT_THROW(ParseSource("library TTL74\nchip 4011 14 x\n"), std::runtime_error);
  EXPECT_THROW(ParseSource("library CMOS40\nalias 4093 4011 x\n"), std::runtime_error);
  EXPECT_THROW(ParseSource("library TTL74\nchip 7400 14 x\n  nand 1 2 > 1\n"), std::runtime_error);
  EXPECT_GE(Chips().size(), 130u);
}

TEST(LogicChip, WorksOnlyPoweredInsideItsSupplyRange) {
  struct Case {
    const char* part;
    int millivolts;
    bool works;
  };
  for (const Case c :
       {Case{"7400", 5000, true}, Case{"7400", 3300, false}, Case{"74HC00", 3300, true},
        Case{"4011", 3300, true}, Case{"4011", 2500, false}}) {
    SCOPED_TRACE(std::string(c.part) + " at " + std::to_string(c.millivolts));
    Programmer p(6200);
    p.PlaceChipAtBottom(MakeLogicChip(c.part));
    p.reg[19] = static_cast<std::uint8_t>(c.millivolts / 100);
    p.level[14] = 1;  // chip pin 1 and 2 high: pin 3 low if it works
    p.level[15] = 1;
    const std::uint8_t setVcc[] = {14, 21, 27, 0, 14, 22, 20, 0};
    p.BulkOut(setVcc, sizeof setVcc);
    EXPECT_EQ(p.chip()->Drive(3), c.works ? 0 : -1);
  }
  EXPECT_EQ(MakeLogicChip("7499"), nullptr);
  EXPECT_EQ(MakeLogicChip("7400:worn"), nullptr);
  EXPECT_NE(MakeLogicChip("CD4511BE"), nullptr);
}

}  // namespace logic_chips_test
}  // namespace zelvar::sim
