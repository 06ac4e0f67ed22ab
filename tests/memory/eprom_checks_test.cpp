// The EPROM frame's checks against the chip models: every pulse choice at its width, a failing
// block write from a non-zero start, Blank failing in the first, a middle and the last block,
// each set's describe list as it stands, and the contact and power sequences per model group.
#include <algorithm>

#include "EpromFixture.h"
#include "link/LinkState.h"

namespace zelvar::test {
namespace eprom_checks_test {

class EpromChecks : public EpromFixture {};

// The "Delay" choices 0-7 are 100 us, 200 us, 1, 2, 5, 10, 20 and 50 ms. A quick-pulse part takes
// 100 us pulses and records a longer one as a hazard; a 2716 takes only the 50 ms pulse.
TEST_F(EpromChecks, EveryPulseChoiceHasItsWidth) {
  constexpr double kWidthUs[] = {100, 200, 1000, 2000, 5000, 10000, 20000, 50000};
  for (int choice = 0; choice < 8; ++choice) {
    prog->record.Clear();
    Choose("P27", 13, "AM27C256", "AMD: AM27C256");
    gApp.OptionValues[128] = choice;
    gApp.OptionValues[65] = 0x10;
    Pattern(0x10);
    EXPECT_EQ(Run(kOpWrite), 0) << choice;
    EXPECT_DOUBLE_EQ(chip->lastPulseUs, kWidthUs[choice]) << choice;
    EXPECT_EQ(prog->record.hazards.empty(), choice == 0) << choice;

    prog->record.Clear();
    Choose("P27", 3, "2716", "INTEL: 2716");
    gApp.OptionValues[128] = choice;
    gApp.OptionValues[65] = 0x0F;
    Pattern(0x10);
    EXPECT_EQ(Run(kOpWrite), choice == 7 ? 0 : 1) << choice;
    EXPECT_DOUBLE_EQ(chip->lastPulseUs, kWidthUs[choice]) << choice;
    EXPECT_EQ(chip->pulses, choice == 7 ? 16 : 0) << choice;
    EXPECT_TRUE(prog->record.hazards.empty()) << choice << prog->record.hazards.front();
  }
}

// A byte that does not take fails the write at its block's read-back, named from the range start.
TEST_F(EpromChecks, FailingBlockWriteFromANonZeroStart) {
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256");
  Pattern(0x1000, 0x21);
  gApp.CodeBuffer[0x500] = 0x5A;
  chip->cells[0x1080 + 0x500] = 0x00;  // a programmed bit cannot go back to 1
  gApp.OptionValues[64] = 0x1080;
  gApp.OptionValues[65] = 0x2080;
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_EQ(gLink.FailAddress, 0x500u);
  EXPECT_EQ(gLink.FailByte, 0x00);
  EXPECT_EQ(chip->cells[0x1080 + 0x4FF], gApp.CodeBuffer[0x4FF]);
  EXPECT_EQ(chip->cells[0x1080 + 0x800], 0xFF);  // the block after it is not written
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
}

TEST_F(EpromChecks, BlankFailsInTheFirstAMiddleAndTheLastBlock) {
  for (const std::uint32_t a : {0x0u, 0x4123u, 0x7FFFu}) {
    Choose("P27", 22, "AT27C256", "ATMEL: AT27C256");
    chip->cells[a] = 0x7E;
    EXPECT_EQ(Run(kOpBlank), 1) << a;
    EXPECT_EQ(gLink.FailAddress, a);
    EXPECT_EQ(gLink.FailByte, 0x7E);
    EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  }
}

std::vector<std::string> ListUpToEnd() {
  std::vector<std::string> l;
  for (const auto& e : gApp.ChipUiList) {
    l.push_back(e);
    if (e == "$end") break;
  }
  return l;
}

TEST_F(EpromChecks, DescribeListsAsTheyStand) {
  const std::vector<std::string> p27 = {"$Fonc:",
                                        "22 Blank",
                                        "23 Write",
                                        "24 Verify",
                                        "$DisTool:",
                                        "21,25,26,29,30,31,",
                                        "$Gridw:Addr(地址范围)",
                                        "Addr start",
                                        "0000",
                                        "Addr end",
                                        "0FFFFFF",
                                        "$Radio1:00,Delay(写延迟)",
                                        "100 uS",
                                        "200 uS",
                                        "1 mS",
                                        "2 mS",
                                        "5 mS",
                                        "10 mS",
                                        "20 mS",
                                        "50 mS",
                                        "$Grid1:",
                                        "$end"};
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256");
  EXPECT_EQ(ListUpToEnd(), p27);
  auto slow = p27;
  slow[11] = "$Radio1:07,Delay(写延迟)";  // the NMOS 21 V and 25 V rows default to 50 ms
  Choose("P27", 3, "2716", "INTEL: 2716");
  EXPECT_EQ(ListUpToEnd(), slow);
  Choose("P27", 8, "2764", "INTEL: 2764");
  EXPECT_EQ(ListUpToEnd(), slow);
  // The M27C801 row takes its one pulse width: no "Delay" choice.
  auto fixed = p27;
  fixed.erase(fixed.begin() + 11, fixed.begin() + 20);
  Choose("P27", 28, "M27C801", "ST: M27C801");
  EXPECT_EQ(ListUpToEnd(), fixed);

  Choose("PW27", 1, "W27E512", "WINBOND: W27E512");
  EXPECT_EQ(ListUpToEnd(),
            (std::vector<std::string>{"$Fonc:", "21 Erase", "22 Blank", "23 Write", "24 Verify",
                                      "$DisTool:", "25,26,29,30,31,", "$Gridw:Option", "Addr start",
                                      "0000", "Addr end", "0FFFFFF", "$Grid1:", "$end"}));
  Choose("SST27SF", 2, "SST27SF512", "SST: SST27SF512");
  EXPECT_EQ(ListUpToEnd(), (std::vector<std::string>{"$Fonc:", "21 Erase", "22 Blank", "23 Write",
                                                     "24 Verify", "$DisTool:", "25,29,30,31,",
                                                     "$Gridw:Addr(地址范围)", "Addr start", "0000",
                                                     "Addr end", "0FFFFFF", "$Grid1:", "$end"}));
  fake.chipParams = {{"mem=", 2}, {"dly=", 1}, {"vcc=", 5000}};
  Choose("I27CX", 2, "27C1024", "ATMEL: AT27C1024", "at27c2048dip40");
  EXPECT_EQ(ListUpToEnd(),
            (std::vector<std::string>{"$Fonc:", "22 Blank", "23 Write", "24 Verify",
                                      "$DisTool:", "21,25,26,28,29,30,31,",
                                      "$Radio1:00,Delay(延迟)", "1 time", "2 times", "3 times",
                                      "4 times", "$Gridw:Addr space(地址范围)", "Addr start",
                                      "0000", "Addr end", "0FFFFFF", "$Grid1:", "$end"}));
}

// Each model group's contact test and power status on a chip the set has set up: the drivers are
// back on, sensing is off, the set's VPP is back, and the power status had its preamble.
class ContactAndPower : public EpromFixture, public ::testing::WithParamInterface<int> {};

TEST_P(ContactAndPower, LeaveTheProgrammerAsTheSetNeedsIt) {
  Connect(GetParam());
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256");
  EXPECT_EQ(Run(kOpBlank), 0);
  EXPECT_TRUE(prog->DriversOn());
  EXPECT_EQ(prog->fpga[27], 0);
  EXPECT_EQ(prog->VppMillivolts(), 13000);
  int statusReads = 0;
  for (const auto& c : prog->record.transcript) {
    if (c.op() == 14 && c.bytes[1] == 31) ++statusReads;
  }
  EXPECT_GE(statusReads, 1);
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
  // A loose pin is found through the test voltage, whichever route it takes.
  prog->faults.looseContact[17] = true;
  gLink.DetectPinFlag = 1;
  gLink.AutoRunFlag = 1;
  EXPECT_EQ(CheckPinContact(20, 0, 0, static_cast<std::uint32_t>(gApp.PinMask),
                            static_cast<std::uint32_t>(gApp.PinMask >> 32)),
            kContactRefused);
  EXPECT_EQ(gLink.BadPinCount, 1);
  EXPECT_EQ(gLink.BadPinList[0], 17);
  gLink.AutoRunFlag = 0;
}

INSTANTIATE_TEST_SUITE_P(Models, ContactAndPower, ::testing::Values(5105, 5107, 5149, 6200));

}  // namespace eprom_checks_test
}  // namespace zelvar::test
