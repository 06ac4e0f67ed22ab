// "P97C2051" on the simulated programmer with the toggle-stepped 97C1051/97C2051 model: a round
// trip per row against the chip's cells, the type check refusing Blank and Write for a wrong chip
// while Read still runs, Security's two lock bits with their effect, and the set-up's own design
// and supplies whatever an earlier set left loaded.
#include "sim/chips/P97c2051.h"

#include <algorithm>

#include "Mcs51Fixture.h"

namespace zelvar::test {
namespace p97c2051_test {

struct P97Row {
  ChipLine line;
  const char* part;
  std::uint32_t bytes;
  const char* id;
};

void PrintTo(const P97Row& r, std::ostream* os) {
  *os << r.part;
}

class P97c2051RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<P97Row> {};

TEST_P(P97c2051RoundTrip, BlankWriteVerifyReadRefuseAndLock) {
  const P97Row& r = GetParam();
  auto chip = sim::MakeP97c2051(r.part);
  ASSERT_NE(chip, nullptr);
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
  gApp.CodeBuffer[r.bytes - 1] ^= 0x10;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.bytes - 1);
  gApp.CodeBuffer[r.bytes - 1] ^= 0x10;
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.bytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  // A chip whose ID differs: Blank and Write refused with status 1, Read still runs.
  gApp.ExpectedId = {0x97, 0x41, 0, 0};
  const int writes = chip->writes;
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  EXPECT_EQ(chip->writes, writes);
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.ExpectedId = r.line.id;

  // Security: lock bits 1 and 2; the code then reads 0xFF. Nothing of it lands in the next
  // operation's reply: the ID line after it still shows the signature.
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lockBits, 0x03) << "lost " << chip->lost;
  runner.IdClick();
  EXPECT_EQ(LastLine(), r.id);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, P97c2051RoundTrip,
    ::testing::Values(
        P97Row{{"P97C2051", 1, "GENERIC: 97C1051", {0x97, 0x11, 0, 0}}, "97C1051", 1024, "97,11"},
        P97Row{{"P97C2051", 2, "GENERIC: 97C2051", {0x97, 0x21, 0, 0}}, "97C2051", 2048, "97,21"}),
    [](const auto& info) { return std::string(info.param.part); });

// The set-up loads its own design and sets 5 V, whatever the set before it left.
TEST_F(Mcs51Fixture, P97c2051SetupLoadsItsDesignAndSupply) {
  Choose({"IS89C52", 4, "ISSI: IS89LV52"}, nullptr);
  EXPECT_EQ(prog->VccMillivolts(), 3300);
  auto chip = sim::MakeP97c2051("97C2051");
  Choose({"P97C2051", 2, "GENERIC: 97C2051", {0x97, 0x21, 0, 0}}, chip);
  EXPECT_EQ(prog->VccMillivolts(), 5000);
  ASSERT_NE(prog->design(), nullptr);
  EXPECT_EQ(prog->design()->Name(), "zor5103");
  Pattern(2048);
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  ExpectClean();
}

}  // namespace p97c2051_test
}  // namespace zelvar::test
