// The microcontroller frame on set P89C51: what every operation shares (status on entry and on
// refusal, supplies off on every way out, the describe list's "cfg=" group, the contact mask's
// split, the package choice), and the chips the frame refuses at set-up.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"
#include "algorithms/frame/SetFrame.h"
#include "sim/chips/Mcs51.h"

namespace zelvar::test {
namespace mcs51_frame_test {

const ChipLine kAt89c51{"P89C51", 1, "ATMEL: AT89C51", {0x1E, 0x51, 0xFF, 0}};

class Mcs51Frame : public Mcs51Fixture {
 protected:
  void ChooseAt89c51(const ChipLine& line = kAt89c51) {
    chip = sim::MakeMcs51("AT89C51");
    Choose(line, chip);
  }
  int Count(std::uint8_t op) const {
    return static_cast<int>(std::count_if(prog->record.transcript.begin(),
                                          prog->record.transcript.end(),
                                          [&](const auto& c) { return c.op() == op; }));
  }
  std::shared_ptr<sim::Mcs51Chip> chip;
};

TEST_F(Mcs51Frame, StatusIsZeroOnEntryAndUnhandledCodesChangeNothing) {
  ChooseAt89c51();
  gLink.StatusWord = 1;
  EXPECT_EQ(Call(kOpRead), 0) << "a handled operation starts from success";
  gLink.StatusWord = 1;
  gLink.FailAddress = 77;
  const std::uint32_t transfers = prog->record.transfers;
  for (int op : {int{kOpOptions}, int{kOpUnProtect}, int{kOpConfig}, int{kOpReadConfig}, 99}) {
    EXPECT_EQ(Call(op), 1) << op;
  }
  EXPECT_EQ(gLink.FailAddress, 77u);
  EXPECT_EQ(prog->record.transfers, transfers);
}

TEST_F(Mcs51Frame, DescribeEndsWithAnEmptyGroupWithoutCfg) {
  ChooseAt89c51();
  const auto& l = gApp.ChipUiList;
  EXPECT_EQ(l[0], "$Fonc:");
  EXPECT_EQ(l[7], "25,29,30,31,");
  EXPECT_EQ(l[14], "Slower(慢速)");
  EXPECT_EQ(l[15], "$Grid1:");
  EXPECT_EQ(l[16], "$end");
}

TEST_F(Mcs51Frame, PackageGivesPinsMaskAndDesign) {
  ChooseAt89c51();
  // Pins 1 to 40: bits 0 to 30 in word 6, the rest (pin 32 with them) in word 7.
  EXPECT_EQ(gApp.InfoRecord[6], 0x7FFFFFFF);
  EXPECT_EQ(gApp.InfoRecord[7], 511);
  EXPECT_EQ(gApp.PinMask, SocketPins(1, 40));
  EXPECT_EQ(gApp.GroundPin, 20);
  EXPECT_EQ(prog->loadedDesign, "zor5103");

  Choose({"P89C51", 1, "ATMEL: AT89C51*P44", {}}, nullptr);
  EXPECT_EQ(prog->loadedDesign, "zor5103at51plcc44");
  EXPECT_EQ(gApp.PinMask, SocketPins(1, 40, 10, 21, 32));
  prog->record.Clear();
  Call(kOpErase);
  bool vppOn33 = false, vccOn42 = false;
  for (const auto& c : prog->record.transcript) {
    vppOn33 = vppOn33 || (c.op() == 14 && c.bytes[1] == 20 && c.bytes[2] == 33);
    vccOn42 = vccOn42 || (c.op() == 14 && c.bytes[1] == 21 && c.bytes[2] == 42);
  }
  EXPECT_TRUE(vppOn33);
  EXPECT_TRUE(vccOn42);
}

TEST_F(Mcs51Frame, RowBeyondTheTableIsRefusedAtSetUp) {
  ChooseAt89c51({"P89C51", 10, "ATMEL: AT89C51", {}});
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Chip type not in this set!"));
  EXPECT_EQ(prog->loadedDesign, "");
  EXPECT_EQ(gApp.InfoRecord[0], 0);
  EXPECT_EQ(gApp.PinMask, 0u);
  const std::uint32_t transfers = prog->record.transfers;
  gLink.StatusWord = 0;
  EXPECT_EQ(Call(kOpWrite), 1);
  EXPECT_EQ(prog->record.transfers, transfers);
}

TEST_F(Mcs51Frame, WeakSupplyEndsLockWithSuppliesOff) {
  ChooseAt89c51();
  prog->faults.powerOverload = true;
  gApp.OptionValues[128] = 2;
  EXPECT_EQ(Call(kOpLock), 1);
  EXPECT_TRUE(Logged("Power weakly!"));
  EXPECT_EQ(chip->lockBits, 0);
  EXPECT_EQ(prog->VppPin(), 0);
  EXPECT_EQ(prog->VccPin(), 0);
}

TEST_F(Mcs51Frame, BlankNamesTheFirstProgrammedByteAndSwitchesOff) {
  ChooseAt89c51();
  chip->cells[0x9A3] = 0x5C;
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 0x9A3u);
  EXPECT_EQ(gLink.FailByte, 0x5C);
  EXPECT_EQ(prog->VppPin(), 0);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

TEST_F(Mcs51Frame, NoIdentityPassesTheTypeCheckAndSlowerLengthensEachByte) {
  // An AT89C52 under the AT89C51 row: the line gives no '#', so any chip that answers is written.
  chip = sim::MakeMcs51("AT89C52");
  Choose({"P89C51", 1, "ATMEL: AT89C51", {}}, chip);
  Pattern(4096);
  prog->record.Clear();
  EXPECT_EQ(Call(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->cells[4095], gApp.CodeBuffer[4095]);
  EXPECT_EQ(Count(26), 2 * 4096);
  gApp.OptionValues[129] = 1;
  prog->record.Clear();
  Call(kOpWrite);
  EXPECT_EQ(Count(26), 3 * 4096);
  ExpectClean();
}

TEST_F(Mcs51Frame, ProtectedChipFailsBlankWithoutReadingTheArray) {
  ChooseAt89c51();
  chip->lockBits = 3;
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("May be the chip protected!"));
}

}  // namespace mcs51_frame_test
}  // namespace zelvar::test
