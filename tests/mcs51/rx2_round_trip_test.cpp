// Every type row of the Rx2 sets on a simulated Rx2 part, through the operation runner: Erase,
// Blank, Write, Verify and Read against the chip's cells, the type check refusing another part,
// the boot and security bytes read and written back, and the security byte's effect.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"
#include "sim/chips/Rx2.h"

namespace zelvar::test {
namespace rx2_round_trip_test {

struct Rx2Row {
  ChipLine line;
  const char* part;
  std::uint32_t codeBytes;
};

void PrintTo(const Rx2Row& r, std::ostream* os) {
  *os << r.line.key << " " << r.line.row;
}

class Rx2RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<Rx2Row> {};

TEST_P(Rx2RoundTrip, ProgramsVerifiesReadsConfiguresAndSecures) {
  const Rx2Row& r = GetParam();
  auto chip = sim::MakeRx2(r.part);
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < r.codeBytes; a += 101) chip->cells[a] = 0x21;
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.codeBytes - 1));

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);

  Pattern(r.codeBytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(chip->cells[a], gApp.CodeBuffer[a]) << "chip address " << a;
  }
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.codeBytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[a], chip->cells[a]) << "buffer address " << a;
  }

  // Read already read the boot bytes back into the grid; WrConfig writes what the grid holds.
  EXPECT_EQ(gApp.OptionValues[64], chip->bsb);
  gApp.OptionValues[64] = 0x00;
  gApp.OptionValues[65] = 0xF0;
  gApp.OptionValues[66] = 0xFC;
  gApp.OptionValues[0] = 0xFF;
  runner.ConfigClick();
  EXPECT_EQ(chip->bsb, 0x00);
  EXPECT_EQ(chip->bsv, 0xF0);
  EXPECT_EQ(chip->ssb, 0xFC);

  gApp.ExpectedId[1] ^= 0x0F;
  const int pages = chip->pages;
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  EXPECT_EQ(chip->pages, pages);
  gApp.ExpectedId[1] ^= 0x0F;

  // LB1 (HSB bit 1 at 0): the code no longer reads back.
  gApp.OptionValues[0] = 0xFD;
  runner.ProtectClick();
  EXPECT_EQ(chip->hsb, 0xFD);
  Pattern(r.codeBytes);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

constexpr std::array<std::uint8_t, 4> kRx2Id = {0x58, 0xD7, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Rows, Rx2RoundTrip,
    ::testing::Values(Rx2Row{{"AT89C51RD2", 1, "ATMEL: AT89C51RD2", kRx2Id}, "AT89C51RD2", 8192},
                      Rx2Row{{"AT89C51RD2", 2, "ATMEL: AT89C51RD2", kRx2Id}, "AT89C51RD2", 16384},
                      Rx2Row{{"AT89C51RD2", 3, "ATMEL: AT89C51RD2", kRx2Id}, "AT89C51RD2", 32768},
                      Rx2Row{{"AT89C51RD2", 4, "ATMEL: AT89C51RD2", kRx2Id}, "AT89C51RD2", 65536},
                      Rx2Row{{"T89C51RD2", 4, "ATMEL: T89C51RD2", kRx2Id}, "T89C51RD2", 65536},
                      Rx2Row{{"T89C51RC2", 3, "ATMEL: T89C51RC2", kRx2Id}, "T89C51RC2", 32768},
                      Rx2Row{{"AT89C51RD2", 2, "ATMEL: AT89C51RB2", kRx2Id}, "AT89C51RB2", 16384},
                      Rx2Row{{"T89C51RD2", 2, "TEMIC: T89C51RB2", kRx2Id}, "T89C51RB2", 16384}),
    [](const auto& info) {
      return info.param.line.key + "_" + std::to_string(info.param.line.row) + "_" +
             info.param.part;
    });

}  // namespace rx2_round_trip_test
}  // namespace zelvar::test
