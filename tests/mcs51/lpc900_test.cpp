// The LPC900 in-circuit sets on the simulated programmer with the P89LPC932 and LPC901 models:
// the round trip through the runner with its contact check on both row groups, the configuration
// area, the ID check, and what the sets refuse.
#include <algorithm>
#include <map>

#include "Mcs51Fixture.h"
#include "sim/chips/Lpc9xx.h"

namespace zelvar::test {
namespace lpc900_test {

constexpr std::array<std::uint8_t, 4> kLpc932Id{0x15, 0xDD, 0x0B, 0};
constexpr std::array<std::uint8_t, 4> kLpc901Id{0x15, 0xDD, 0, 0};

class Lpc900 : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::Lpc9xxChip> Seat(const char* part, const ChipLine& line,
                                        std::map<std::string, int> params) {
    auto chip = sim::MakeLpc9xx(part);
    prog->SeatChip(chip);
    fake.chipParams = std::move(params);
    Choose(line, nullptr);
    return chip;
  }
  bool AllBlank(const sim::Lpc9xxChip& chip) const {
    return std::all_of(chip.code.begin(), chip.code.end(), [](int b) { return b == 0xFF; });
  }
};

struct Lpc900Case {
  const char* part;
  ChipLine line;
  int model;
  int chosenRow;
  std::map<std::string, int> params;
  int ground;
  bool reads;  // the set reads code back (Verify and Read)
  const char* idLine;
};

class Lpc900RoundTrip : public Lpc900, public ::testing::WithParamInterface<Lpc900Case> {};

TEST_P(Lpc900RoundTrip, EraseBlankWriteVerifyReadConfigAndId) {
  const Lpc900Case& c = GetParam();
  Connect(c.model);
  auto chip = Seat(c.part, c.line, c.params);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.TypeIndex, c.chosenRow);
  EXPECT_EQ(gApp.InfoRecord[5], c.ground);
  EXPECT_EQ(prog->VccMillivolts(), 3300);
  const auto size = static_cast<std::uint32_t>(chip->code.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(size - 1));
  std::fill(chip->code.begin(), chip->code.end(), 0x12);
  chip->config[9] = 0x07;

  runner.EraseClick();  // followed by Blank
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_TRUE(AllBlank(*chip));
  EXPECT_EQ(chip->config[9], 0);

  Pattern(size);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));

  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 0u);

  if (c.reads) {
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    chip->code[size - 3] ^= 0x40;
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, size - 3);
    chip->code[size - 3] ^= 0x40;
    std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + size, 0);
    runner.ReadClick();
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
  }

  // Configuration byte, boot vector and status, and all eight security bytes.
  gApp.OptionValues[0] = 0xA5;
  gApp.OptionValues[64] = 0xFC;
  gApp.OptionValues[65] = 0x01;
  for (int k = 0; k < 8; ++k) gApp.OptionValues[66 + k] = 0x10 + k;
  runner.ConfigClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->config[0], 0xA5);
  EXPECT_EQ(chip->config[2], 0xFC);
  EXPECT_EQ(chip->config[3], 0x01);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(chip->config[8 + k], 0x10 + k) << k;
  std::fill(gApp.OptionValues.begin(), gApp.OptionValues.begin() + 74, 0);
  runner.ReadConfigClick();
  EXPECT_EQ(gApp.OptionValues[0], 0xA5);
  EXPECT_EQ(gApp.OptionValues[64], 0xFC);
  EXPECT_EQ(gApp.OptionValues[65], 0x01);
  EXPECT_EQ(gApp.OptionValues[73], 0x17);
  runner.IdClick();
  EXPECT_TRUE(Logged(c.idLine)) << LastLine();
  ExpectClean();
  EXPECT_EQ(prog->VccPin(), 0);
}

const ChipLine kLpc932Line{"P89LPC932", 1, "NXP: P89LPC932", kLpc932Id};
const ChipLine kLpc901Line{"LPC901", 1, "NXP: LPC901", kLpc901Id};
const std::map<std::string, int> kLpc932Params{{"len=", 8192}, {"sec=", 64}, {"vcc=", 3300}};

INSTANTIATE_TEST_SUITE_P(
    Parts, Lpc900RoundTrip,
    ::testing::Values(
        Lpc900Case{"P89LPC932", kLpc932Line, 6200, 1, kLpc932Params, 10, true, "ID: 15,dd,0b"},
        Lpc900Case{"P89LPC932", kLpc932Line, 6300, 11, kLpc932Params, 13, true, "ID: 15,dd,0b"},
        Lpc900Case{"LPC901", kLpc901Line, 6200, 1, {{"len=", 1024}}, 24, false, "ID: 15,dd,20"},
        Lpc900Case{"LPC901", kLpc901Line, 6300, 11, {{"len=", 1024}}, 24, false, "ID: 15,dd,20"}),
    [](const auto& info) {
      return std::string(info.param.part) + "_" + std::to_string(info.param.model);
    });

// Another chip's ID stops Erase, Write and Config before any change.
TEST_F(Lpc900, TypeCheckRefusesAnotherChip) {
  ChipLine other = kLpc932Line;
  other.id = {0x15, 0xDD, 0x0C, 0};
  auto chip = Seat("P89LPC932", other, kLpc932Params);
  Pattern(8192);
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!"));
  EXPECT_TRUE(AllBlank(*chip));

  ChipLine other901 = kLpc901Line;
  other901.id = {0x15, 0xDE, 0, 0};
  auto small = Seat("LPC901", other901, {{"len=", 1024}});
  fake.log.clear();
  runner.EraseClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("R=(15,dd,20)  S=(15,de,00)")) << LastLine();
  EXPECT_EQ(small->erases, 0);
  ExpectClean();
}

// What the chip lines may leave out or name wrongly: no size, an empty row, a page of 0 and no
// "vcc=" (the family's 3.3 V).
TEST_F(Lpc900, SetUpRefusesWhatItCannotServe) {
  Seat("P89LPC932", kLpc932Line, {{"sec=", 64}});
  EXPECT_TRUE(Logged("No chip size (len=)")) << LastLine();
  EXPECT_EQ(Call(kOpWrite), 1);
  Seat("P89LPC932", {"P89LPC932", 4, "NXP: P89LPC932"}, kLpc932Params);
  EXPECT_TRUE(Logged("Chip type not in this set!")) << LastLine();
  EXPECT_EQ(Call(kOpErase), 1);
  Seat("P89LPC932", kLpc932Line, {{"len=", 8192}, {"sec=", 0}});
  EXPECT_TRUE(Logged("No page size (sec=)")) << LastLine();
  EXPECT_EQ(Call(kOpWrite), 1);
  EXPECT_EQ(gApp.InfoRecord[0], 0);
  fake.log.clear();
  Seat("P89LPC932", kLpc932Line, {{"len=", 8192}, {"sec=", 64}});
  EXPECT_FALSE(Logged("!")) << LastLine();
  EXPECT_EQ(prog->VccMillivolts(), 3300);
}

// A flash that never becomes ready: the wait gives up after its polls with a failure, not a
// silent success.
TEST_F(Lpc900, WaitReadyGivesUpWithAFailure) {
  auto chip = Seat("P89LPC932", {"P89LPC932", 1, "NXP: P89LPC932"}, kLpc932Params);
  chip->stuckBusy = true;
  runner.EraseClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Chip not ready!")) << LastLine();
}

// A boot status above 1 is written with a warning.
TEST_F(Lpc900, BootStatusAboveOneIsWrittenWithAWarning) {
  auto chip = Seat("P89LPC932", kLpc932Line, kLpc932Params);
  gApp.OptionValues[65] = 2;
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(Logged("Warning: Status must be 1 or 0!"));
  EXPECT_EQ(chip->config[3], 2);
  ExpectClean();
}

// LPC901: the blank check reaches every block, and Verify, which cannot read, fails.
TEST_F(Lpc900, Lpc901BlankCheckReachesEveryBlockAndVerifyRefuses) {
  auto chip = Seat("LPC901", kLpc901Line, {{"len=", 1024}});
  chip->code[32 * 30 + 5] = 0x00;
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 32u * 30);
  EXPECT_EQ(Call(kOpVerify), 1);
  EXPECT_TRUE(Logged("Verify is not offered")) << LastLine();
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

// LPC901 Config stops at the first byte the chip fails, whichever it is.
TEST_F(Lpc900, Lpc901ConfigStopsAtAFailedByte) {
  auto chip = Seat("LPC901", kLpc901Line, {{"len=", 1024}});
  chip->configWritesTaken = 1;
  gApp.OptionValues[0] = 0xA5;
  gApp.OptionValues[64] = 0x10;
  gApp.OptionValues[65] = 0x01;
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(chip->config[0], 0xA5);
  EXPECT_EQ(chip->config[2], 0x00);
  EXPECT_EQ(chip->config[3], 0x00);
  ExpectClean();
}

// The ISP header row: its legend by "pkg=", no contact test; with nothing on the header, Read ID
// fails rather than show the idle lines as an ID.
TEST_F(Lpc900, IspHeaderRowShowsItsLegend) {
  fake.chipParams = {{"len=", 1024}, {"pkg=", 8}};
  Choose({"LPC901", 10, "NXP: LPC901(ISP)", {0x15, 0xDD, 0, 0}}, nullptr);
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  runner.IdClick();
  EXPECT_EQ(gLink.StatusWord, 1) << LastLine();
  EXPECT_TRUE(Logged("Pin connection error!")) << LastLine();
  EXPECT_NE(std::find_if(fake.events.begin(), fake.events.end(),
                         [](const std::string& e) {
                           return e.rfind("isp:1----Clock to 6(P0.5)\n", 0) == 0;
                         }),
            fake.events.end());
  EXPECT_EQ(gApp.InfoRecord[6], 0);
  EXPECT_EQ(gApp.InfoRecord[7], 0);
}

}  // namespace lpc900_test
}  // namespace zelvar::test
