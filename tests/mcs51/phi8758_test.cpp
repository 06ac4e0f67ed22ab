// "PHI8758", "PHI87591" and "V87C58" on the simulated programmer with the quick-pulse EPROM 8051
// models: blank check,
// write (each byte's pulse train), verify and read against the chip's own cells, the type check
// refusing a chip whose signature differs, the lock bits chosen in the config rows, and the X2
// part's six-clock bit.
#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/Mcs51Eprom.h"

namespace zelvar::test {
namespace phi8758_test {

struct EpromRow {
  ChipLine line;
  const char* part;
  std::uint32_t bytes;
  int clk;  // "clk=", 0 when the line gives none
  const char* id;
};

void PrintTo(const EpromRow& r, std::ostream* os) {
  *os << r.part;
}

class Phi8758RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<EpromRow> {};

TEST_P(Phi8758RoundTrip, BlankWriteVerifyReadRefuseAndLock) {
  const EpromRow& r = GetParam();
  auto chip = sim::MakeMcs51Eprom(r.part);
  ASSERT_NE(chip, nullptr);
  if (r.clk) fake.chipParams = {{"clk=", r.clk}};
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.bytes - 1));

  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(Logged(r.id)) << LastLine();

  Pattern(r.bytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.bytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  // A chip whose signature differs is refused before a pulse.
  gApp.ExpectedId[1] ^= 0x0F;
  const int writes = chip->writes;
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  EXPECT_EQ(chip->writes, writes);
  gApp.ExpectedId[1] ^= 0x0F;

  // All three config rows: lock bits 3, 2 and 1; verify then sees no code.
  gApp.OptionValues[0] = 7;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lockBits, 7) << "lost " << chip->lost;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

// A row of each maker (the catalogue sweep runs every line); the P87C51RD+ reaches A14 on P3.4 and
// A15 on P3.5. Most catalogue lines give no signature; here each gives the model's 30H and 31H so
// that the refusal is seen.
EpromRow Intel(int row, const char* part, std::uint32_t bytes, const char* id) {
  return {{"PHI8758", row, std::string("INTEL: ") + part, {0x89, 0x58, 0, 0}}, part, bytes, 0, id};
}
EpromRow Philips(int row, const char* part, std::uint32_t bytes) {
  return {{"PHI8758", row, std::string("PHILIPS: ") + part, {0x15, 0xFF, 0, 0}},
          part,
          bytes,
          0,
          "15,ff,ff"};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Phi8758RoundTrip,
    ::testing::Values(
        EpromRow{
            {"PHI8758", 2, "INTEL: 87C51", {0x89, 0x58, 0x51, 0}}, "87C51", 4096, 0, "89,58,51"},
        EpromRow{{"PHI8758", 5, "PHILIPS: P87C54X2", {0x15, 0xBB, 0, 0}},
                 "P87C54X2",
                 16384,
                 6,
                 "15,bb,ff"},
        Intel(4, "87C52", 8192, "89,58,52"), Intel(7, "87C51FA", 8192, "89,58,fa"),
        Philips(4, "P87C52", 8192), Philips(10, "P87C51RA+", 8192),
        Philips(13, "P87C51RD+", 65536)),
    [](const auto& info) {
      std::string n = info.param.part;
      for (char& c : n) {
        if (c == '+') c = 'P';
      }
      return n;
    });

// Only the lock bits whose config rows are set are programmed.
TEST_F(Mcs51Fixture, Phi8758LocksOnlyTheChosenBits) {
  auto chip = sim::MakeMcs51Eprom("87C51");
  Choose({"PHI8758", 2, "INTEL: 87C51"}, chip);
  gApp.OptionValues[0] = 1;
  runner.ProtectClick();
  EXPECT_EQ(chip->lockBits, 1);
  gApp.OptionValues[0] = 4;
  runner.ProtectClick();
  EXPECT_EQ(chip->lockBits, 5);
  ExpectClean();
}

// The X2 part's group offers the clock row; Config programs six clocks only with the row cleared,
// and a part without "clk=6" is never touched.
TEST_F(Mcs51Fixture, Phi8758SixClockBitFollowsItsRow) {
  auto chip = sim::MakeMcs51Eprom("P87C54X2");
  fake.chipParams = {{"clk=", 6}};
  Choose({"PHI8758", 5, "PHILIPS: P87C54X2"}, chip);
  EXPECT_TRUE(std::any_of(gApp.ChipUiList.begin(), gApp.ChipUiList.end(),
                          [](const auto& s) { return s == "n=6/12 Clock,v=1,l=1,b=3"; }));
  gApp.OptionValues[0] = 1u << 3;
  runner.ConfigClick();
  EXPECT_EQ(chip->fuses, 0xFF);
  gApp.OptionValues[0] = 0;
  runner.ConfigClick();
  EXPECT_EQ(chip->fuses, 0xFE);
  runner.ReadConfigClick();
  EXPECT_TRUE(Logged("config=fe")) << LastLine();

  auto plain = sim::MakeMcs51Eprom("P87C54X2");
  fake.chipParams = {};
  Choose({"PHI8758", 5, "PHILIPS: P87C54", {0x15, 0xFF, 0, 0}}, plain);
  runner.ConfigClick();
  EXPECT_EQ(plain->fuses, 0xFF);
  ExpectClean();
}

// "PHI87591": RST low throughout, a byte per P2.7 read strobe in replies of 64; the same round
// trip, and a lock that leaves both supplies off.
TEST_F(Mcs51Fixture, Phi87591BlankWriteVerifyReadAndLock) {
  auto chip = sim::MakeMcs51Eprom("P87C591");
  ASSERT_NE(chip, nullptr);
  Choose({"PHI87591", 1, "PHILIPS: P87C591", {0x15, 0xFF, 0, 0}}, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(Logged("15,ff,ff")) << LastLine();

  Pattern(16384);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.CodeBuffer[16383] ^= 1;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 16383u);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 16384, 0);
  runner.ReadClick();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  gApp.ExpectedId[0] = 0x16;
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  gApp.ExpectedId[0] = 0x15;

  gApp.OptionValues[0] = 3;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lockBits, 3);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

// "V87C58": 12.7 V, reads by P2.7 strobes after a dummy read at 255; the ID refusal of Blank and
// Write reports failure; Security programs lock bit 1 with pulses the chip takes, after which a
// write changes nothing.
TEST_F(Mcs51Fixture, V87c58BlankWriteVerifyReadRefuseAndLock) {
  auto chip = sim::MakeMcs51Eprom("87C58");
  ASSERT_NE(chip, nullptr);
  Choose({"V87C58", 2, "INTEL: 87C58", {0x89, 0x58, 0, 0}}, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 32767);
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();

  Pattern(32768);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.CodeBuffer[0x4000] ^= 0x10;  // A14
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 0x4000u);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 32768, 0);
  runner.ReadClick();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  runner.IdClick();
  EXPECT_TRUE(Logged("89,58")) << LastLine();

  gApp.ExpectedId[1] = 0x59;
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  const int writes = chip->writes;
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(chip->writes, writes);
  gApp.ExpectedId[1] = 0x58;

  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lockBits, 1) << "lost " << chip->lost;
  const auto before = chip->cells;
  Pattern(32768, 0);
  runner.WriteClick();
  EXPECT_EQ(chip->cells, before);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

}  // namespace phi8758_test
}  // namespace zelvar::test
