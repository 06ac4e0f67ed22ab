// "W78E516" on the simulated programmer with the W78E5x model: erase, blank, write across the
// loader bank, verify and read against the chip's own cells, the type check refusing a chip whose
// ID differs, and the security byte whose lock bit hides the code.
#include "sim/chips/W78e516.h"

#include <algorithm>

#include "Mcs51Fixture.h"

namespace zelvar::test {
namespace w78e516_test {

struct W78Row {
  ChipLine line;
  const char* part;
  std::uint32_t apBytes, ldBytes;
  const char* id;
};

void PrintTo(const W78Row& r, std::ostream* os) {
  *os << r.part;
}

class W78e516RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<W78Row> {
 protected:
  // The chip's application then loader cells, as the buffer holds them.
  static bool CellsMatchBuffer(const sim::W78e516Chip& chip) {
    const auto* buf = gApp.CodeBuffer.data();
    return std::equal(chip.ap.begin(), chip.ap.end(), buf) &&
           std::equal(chip.ld.begin(), chip.ld.end(), buf + chip.ap.size());
  }
};

TEST_P(W78e516RoundTrip, EraseBlankWriteVerifyReadRefuseAndLock) {
  const W78Row& r = GetParam();
  auto chip = sim::MakeW78e516(r.part);
  ASSERT_NE(chip, nullptr);
  std::fill(chip->ap.begin(), chip->ap.end(), 0x00);  // as shipped with a program in it
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const std::uint32_t bytes = r.apBytes + r.ldBytes;
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(bytes - 1));

  runner.EraseClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1) << "lost " << chip->lost;  // the status above is the Blank's
  EXPECT_TRUE(Logged(r.id)) << LastLine();

  Pattern(bytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(CellsMatchBuffer(*chip));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + bytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(CellsMatchBuffer(*chip));

  // A chip whose ID differs is refused before a byte.
  gApp.ExpectedId = {0xDA, 0x01, 0, 0};
  const int writes = chip->writes;
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  EXPECT_EQ(chip->writes, writes);
  gApp.ExpectedId = r.line.id;

  // The lock bit cleared in the config rows: the chip then reads as protected.
  gApp.OptionValues[0] = 0xFE;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->security, 0xFE) << "lost " << chip->lost;
  EXPECT_TRUE(chip->Locked());
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, W78e516RoundTrip,
    ::testing::Values(
        W78Row{{"W78E516", 0, "WINBOND: W78E51C"}, "W78E51C", 0x1000, 0, "da,51"},
        W78Row{{"W78E516", 2, "WINBOND: W78E54C"}, "W78E54C", 0x4000, 0, "da,54"},
        W78Row{{"W78E516", 3, "WINBOND: W78E58B"}, "W78E58B", 0x8000, 0x1000, "da,58"},
        W78Row{{"W78E516", 4, "WINBOND: W78LE58"}, "W78LE58", 0x8000, 0x1000, "da,68"},
        W78Row{{"W78E516", 5, "WINBOND: W78E516B"}, "W78E516B", 0x10000, 0x1000, "da,16"},
        // A16 on P3.7: the loader bank past the 128 KB application flash.
        W78Row{{"W78E516", 8, "WINBOND: W77E532"}, "W77E532", 0x20000, 0x1000, "da,32"}),
    [](const auto& info) { return std::string(info.param.part); });

// "bla=" keeps Blank to the application flash: a loader byte written is not looked at.
TEST_F(Mcs51Fixture, W78e516BlankWithBlaLeavesTheLoaderBank) {
  auto chip = sim::MakeW78e516("W78E58B");
  chip->ld[0x123] = 0x00;
  fake.chipParams = {{"bla=", 1}};
  Choose({"W78E516", 3, "WINBOND: W78E58B"}, chip);
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  fake.chipParams = {};
  Choose({"W78E516", 3, "WINBOND: W78E58B"}, chip);
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 0x8123u);
  ExpectClean();
}

}  // namespace w78e516_test
}  // namespace zelvar::test
