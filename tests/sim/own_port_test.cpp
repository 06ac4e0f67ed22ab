// The programmer's own port logic with no design loaded (models 57 and 411), and the jumper-wired
// seat: the effects the pin-driven sets rely on, each with the mistake it must show.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {
namespace own_port_test {

// A 40-pin part that drives its pin 3 low and nothing else.
struct Drives3Low : ChipModel {
  std::string Name() const override { return "drives3low"; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 6000; }
  int Drive(int pin) const override { return pin == 3 ? 0 : -1; }
};

void Send(Programmer& p, std::vector<std::uint8_t> bytes) {
  p.BulkOut(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// Port 0 drives socket pins 1-8 until register 25 lets them go; a sample then reads the chip, and
// a sample of pins still driven is the set reading its own byte.
TEST(OwnPort, Port0DrivesPins1To8AndRegister25LetsThemGo) {
  Programmer p(411);
  p.PlaceChipAtBottom(std::make_shared<Drives3Low>());
  Send(p, {14, 25, 0, 0, 16, 0xA5});
  EXPECT_EQ(p.DriverLevel(1), 1);
  EXPECT_EQ(p.DriverLevel(2), 0);
  EXPECT_EQ(p.DriverLevel(8), 1);
  EXPECT_EQ(p.DriverLevel(9), -1);
  Send(p, {14, 25, 1, 0, 1, 7});
  EXPECT_EQ(p.DriverLevel(1), -1);
  std::uint8_t reply[64] = {};
  ASSERT_EQ(p.BulkIn(reply, 64), 64u);
  EXPECT_EQ(reply[0], 0xFB);  // pin 3 low from the chip, the others float high
  EXPECT_TRUE(p.record.protocolErrors.empty()) << p.record.protocolErrors.front();
  // A byte written as an input waits until the port drives again.
  Send(p, {16, 0x0F});
  EXPECT_EQ(p.DriverLevel(1), -1);
  Send(p, {14, 25, 0, 0});
  EXPECT_EQ(p.DriverLevel(1), 1);
  EXPECT_EQ(p.DriverLevel(5), 0);
  Send(p, {1});
  EXPECT_EQ(p.record.protocolErrors.size(), 1u);
}

// The wait-ready polls the pin: at once when it reads high, the whole limit when something holds
// it low; waits 25, 26 and 28 move the clock.
TEST(OwnPort, WaitReadyAndWaitsTakeTheirTime) {
  Programmer p(411);
  p.PlaceChipAtBottom(std::make_shared<Drives3Low>());
  double t = p.clockUs();
  Send(p, {14, 29, 11, 20});
  EXPECT_LT(p.clockUs() - t, 1000);
  t = p.clockUs();
  Send(p, {14, 29, 3, 20});
  EXPECT_GE(p.clockUs() - t, 20000);
  t = p.clockUs();
  Send(p, {25, 26, 28});
  EXPECT_GE(p.clockUs() - t, 100 + 1000 + 100000);
  EXPECT_TRUE(p.record.protocolErrors.empty()) << p.record.protocolErrors.front();
  // Register 26 lets go of one pin, 27 drives it again.
  Send(p, {8, 11, 14, 26, 11, 0});
  EXPECT_EQ(p.DriverLevel(11), -1);
  Send(p, {14, 27, 11, 0});
  EXPECT_EQ(p.DriverLevel(11), 1);
}

// Jumpers join only the pins they name; an unwired chip pin touches nothing.
TEST(OwnPort, WiredSeatJoinsOnlyTheJumperedPins) {
  Programmer p(411);
  p.PlaceChipWired(std::make_shared<Drives3Low>(), {{40, 10}, {20, 11}, {19, 13}});
  EXPECT_EQ(p.SocketPinOf(10), 40);
  EXPECT_EQ(p.SocketPinOf(13), 19);
  EXPECT_EQ(p.SocketPinOf(1), 0);
  EXPECT_EQ(p.ChipPinAt(40), 10);
  EXPECT_EQ(p.ChipPinAt(10), 0);
  EXPECT_EQ(p.ChipPinAt(3), 0);
  // Placing the chip normally again forgets the jumpers.
  p.PlaceChipAtBottom(p.chipShared());
  EXPECT_EQ(p.SocketPinOf(10), 10);
}

}  // namespace own_port_test
}  // namespace zelvar::sim
