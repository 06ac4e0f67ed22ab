// What the simulated programmer's monitor records, driven through the link's primitives onto an
// AT27C256 at the bottom of the socket (VCC on socket pin 34, VPP on 7, ground on 20, data on
// 17-25).
#include <gtest/gtest.h>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "sim/chips/AndFlash.h"
#include "sim/chips/Eprom.h"
#include "sim/chips/FirmwareHub.h"
#include "sim/chips/SectorFlash.h"
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

namespace zelvar::test {
namespace hazards_test {

class ThreeVoltParts : public SimFixture {};

// The 3.3 V parts are rated as their datasheets rate them: a 5 V logic high on an input or I/O
// pin, or a VCC above the part's rating (4.0 V, the HN29V25611's 4.6 V), is a hazard; 3.3 V levels
// once 3.3 V is chosen are not. The drivers' high follows the VCC setting, so the level a pin sees
// depends on what the set chose first.
TEST_F(ThreeVoltParts, LogicLevelsAndSupplyInsideTheirRatings) {
  struct Case {
    std::shared_ptr<sim::ChipModel> chip;
    int vccPin, inputPin;  // chip pins
    int vccOver = 4100;    // above the datasheet's VCC rating
  };
  for (const Case& c : {Case{sim::MakeFirmwareHub("SST49LF008A"), 32, 23},
                        Case{sim::MakeFirmwareHub("82802AB"), 32, 23},
                        Case{sim::MakeSectorFlash("AM29LV160DB"), 25, 30},
                        Case{sim::MakeSectorFlash("AT49BV1614A"), 25, 30},
                        Case{sim::MakeAndFlash("HN29V25611"), 38, 14, 4700}}) {
    ASSERT_NE(c.chip, nullptr);
    SCOPED_TRACE(c.chip->Name());
    prog->PlaceChipAtBottom(c.chip);
    const int vcc = prog->SocketPinOf(c.vccPin), input = prog->SocketPinOf(c.inputPin);
    const std::string onInput = "on chip pin " + std::to_string(c.inputPin) + " ";
    const std::string onVcc = "on chip pin " + std::to_string(c.vccPin) + " ";
    const auto recorded = [this](const std::string& part) {
      for (const auto& h : prog->record.hazards) {
        if (h.find(part) != std::string::npos) return true;
      }
      return false;
    };
    SetVccVoltage(5000);
    SetPinHigh(input);
    FlushCommands();
    EXPECT_TRUE(recorded("5000 mV " + onInput));
    prog->record.Clear();
    SetVccVoltage(3300);
    SelectVccPin(static_cast<std::uint8_t>(vcc));
    SetPinLow(input);
    SetPinHigh(input);
    FlushCommands();
    EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
    SetVccVoltage(c.vccOver);
    FlushCommands();
    EXPECT_TRUE(recorded(std::to_string(c.vccOver) + " mV " + onVcc));
    SelectVccPin(0);
    SetVccVoltage(5000);
    SetAllPins(false);
    prog->record.Clear();
  }
}

}  // namespace hazards_test
}  // namespace zelvar::test
