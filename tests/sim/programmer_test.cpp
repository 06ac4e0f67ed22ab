#include "sim/Programmer.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelvar::sim {
namespace programmer_test {

TEST(SimProgrammer, RejectsACommandThatStraddlesAPacket) {
  Programmer p(6200);
  std::vector<std::uint8_t> bytes(63, 0);
  bytes.insert(bytes.end(), {14, 19, 50, 0});  // a register write across bytes 63..66
  p.BulkOut(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  ASSERT_EQ(p.record.protocolErrors.size(), 1u);
  EXPECT_NE(p.record.protocolErrors[0].find("straddles"), std::string::npos);
  EXPECT_EQ(p.VccMillivolts(), 0);  // not carried out
}

TEST(SimProgrammer, RejectsUnknownCommands) {
  Programmer p(6200);
  const std::uint8_t bytes[] = {99};
  p.BulkOut(bytes, 1);
  EXPECT_EQ(p.record.protocolErrors.size(), 1u);
}

TEST(SimProgrammer, RecordsAHazardForVccAboveSevenVolts) {
  Programmer p(6200);
  const std::uint8_t bytes[] = {14, 19, 80, 0};
  p.BulkOut(bytes, 4);
  EXPECT_EQ(p.record.hazards.size(), 1u);
}

TEST(SimProgrammer, ClockAdvancesWithTransfers) {
  Programmer p(6200);
  const std::uint8_t bytes[64] = {};
  p.BulkOut(bytes, 64);
  const double once = p.clockUs();
  EXPECT_GT(once, 0);
  p.BulkOut(bytes, 64);
  EXPECT_DOUBLE_EQ(p.clockUs(), 2 * once);
}

TEST(SimProgrammer, PlacesADipAtTheBottomOfTheSocket) {
  struct Dip28 : ChipModel {
    std::string Name() const override { return "dip28"; }
    int PinCount() const override { return 28; }
    std::vector<int> GroundPins() const override { return {14}; }
    int MaxMillivolts(int) const override { return 7000; }
  };
  // The 48-pin socket numbers its lower 40 positions as the 40-pin socket does, so a chip at the
  // bottom has its ground on socket pin 20 on every model.
  Programmer p(6200);
  p.PlaceChipAtBottom(std::make_shared<Dip28>());
  EXPECT_EQ(p.SocketPinOf(1), 7);
  EXPECT_EQ(p.SocketPinOf(14), 20);
  EXPECT_EQ(p.SocketPinOf(15), 21);
  EXPECT_EQ(p.SocketPinOf(28), 34);
  EXPECT_EQ(p.ChipPinAt(34), 28);
  Programmer q(5105);  // 40-pin socket
  q.PlaceChipAtBottom(std::make_shared<Dip28>());
  EXPECT_EQ(q.SocketPinOf(14), 20);
  EXPECT_EQ(q.SocketPinOf(28), 34);
}

// From model 6200 a VPP pin value with bit 7 adds a second pin (158: pin 30) to the first.
TEST(SimProgrammer, VppPinWithBit7AddsASecondPin) {
  Programmer p(6200);
  const std::uint8_t bytes[] = {14, 18, 140, 0, 14, 20, 28, 0, 14, 20, 158, 0};
  p.BulkOut(bytes, sizeof bytes);
  EXPECT_EQ(p.PinMillivolts(28), 14000);
  EXPECT_EQ(p.PinMillivolts(30), 14000);
  const std::uint8_t off[] = {14, 20, 0, 0};
  p.BulkOut(off, sizeof off);
  EXPECT_EQ(p.PinMillivolts(28), -1);
  EXPECT_EQ(p.PinMillivolts(30), -1);
}

TEST(SimProgrammer, A44PinPartFillsTheExtraRows) {
  struct Dip44 : ChipModel {
    std::string Name() const override { return "dip44"; }
    int PinCount() const override { return 44; }
    std::vector<int> GroundPins() const override { return {}; }
    int MaxMillivolts(int) const override { return 7000; }
  };
  Programmer p(6200);
  p.PlaceChipAtBottom(std::make_shared<Dip44>());
  EXPECT_EQ(p.SocketPinOf(1), 47);  // the left column runs 45..48 above pin 1
  EXPECT_EQ(p.SocketPinOf(3), 1);
  EXPECT_EQ(p.SocketPinOf(22), 20);
  EXPECT_EQ(p.SocketPinOf(23), 21);
  EXPECT_EQ(p.SocketPinOf(44), 42);
}

}  // namespace programmer_test
}  // namespace zelvar::sim
