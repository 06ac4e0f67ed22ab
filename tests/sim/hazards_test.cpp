// What the simulated programmer's monitor records, driven through the link's primitives onto an
// AT27C256 at the bottom of the socket (VCC on socket pin 34, VPP on 7, ground on 20, data on
// 17-25).
#include <gtest/gtest.h>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "sim/chips/Eprom.h"
#include "support/SimFixture.h"

namespace zelvar::test {
namespace hazards_test {

class Hazards : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    chip = sim::MakeEprom("AT27C256");
    prog->PlaceChipAtBottom(chip);
  }
  bool Recorded(const std::string& part) const {
    for (const auto& h : prog->record.hazards) {
      if (h.find(part) != std::string::npos) return true;
    }
    return false;
  }
  std::shared_ptr<sim::EpromChip> chip;
};

TEST_F(Hazards, ADriverHeldHighIsNotASupply) {
  SelectGndPin(20);
  SetPinHigh(34);
  FlushCommands();
  EXPECT_FALSE(chip->Powered(*prog));
  SetVccVoltage(5000);
  SelectVccPin(34);
  FlushCommands();
  EXPECT_TRUE(chip->Powered(*prog));
  SelectGndPin(0);
  FlushCommands();
  EXPECT_FALSE(chip->Powered(*prog));  // no ground
}

TEST_F(Hazards, VppWhileVccIsOffOnPowerUpAndPowerDown) {
  SelectGndPin(20);
  SetVccVoltage(5000);
  SetVppVoltage(12700);
  SelectVppPin(7);  // before VCC
  EXPECT_TRUE(Recorded("while VCC is off"));
  prog->record.Clear();
  SelectVccPin(34);
  FlushCommands();
  EXPECT_TRUE(prog->record.hazards.empty());
  SelectVccPin(0);  // VCC off with VPP still on
  FlushCommands();
  EXPECT_TRUE(Recorded("while VCC is off"));
}

TEST_F(Hazards, DriverFightsGroundAndTheChipsOutputs) {
  SelectGndPin(20);
  SetPinHigh(20);
  FlushCommands();
  EXPECT_TRUE(Recorded("grounded socket pin 20"));
  SetPinLow(20);
  FlushCommands();
  prog->record.Clear();
  // Outputs on (CE and OE low) with the data pins driven to the opposite of an erased cell.
  SetVccVoltage(5000);
  SelectVccPin(34);
  SetPinLow(26);
  SetPinLow(28);
  FlushCommands();
  EXPECT_TRUE(prog->record.hazards.empty());
  SetPinLow(17);
  FlushCommands();
  EXPECT_TRUE(Recorded("fights the chip's output on chip pin 11"));
}

TEST_F(Hazards, PinDriversGateWhatTheChipSees) {
  SelectGndPin(20);
  SetVccVoltage(5000);
  SelectVccPin(34);
  SetPinLow(26);
  SetPinLow(28);
  FlushCommands();
  EXPECT_GE(chip->Drive(11), 0);  // outputs on
  EnablePinDrivers(false);
  EXPECT_EQ(chip->Drive(11), -1);  // CE and OE float: outputs off
  EnablePinDrivers(true);
  EXPECT_GE(chip->Drive(11), 0);
}

TEST_F(Hazards, PowerStatusNeedsItsPreamble) {
  SetRegister(31, 0);
  EXPECT_EQ(ReadReply64(gLink.ScratchBuffer.data()), 0);
  EXPECT_EQ(prog->record.protocolErrors.size(), 1u);
  EXPECT_TRUE(ReadPowerStatus());
  EXPECT_EQ(prog->record.protocolErrors.size(), 1u);
}

}  // namespace hazards_test
}  // namespace zelvar::test
