// "AT90S8515S": the 40-pin AT90S parts on a programmer without an FPGA (model 411), driven by the
// programmer's own pins and port 0, end to end through the runner against the chip model's own
// cells; the AT90S4434/8535 wired by the jumpers the set shows. Each operation must leave both
// supplies off.
#include <gtest/gtest.h>

#include <algorithm>

#include "AvrFixture.h"
#include "sim/chips/AvrHvParallel.h"
#include "sim/chips/ChipModels.h"

namespace zelvar::test {
namespace at90s8515s_test {

constexpr int kModel = 411;

struct Row40 {
  AvrLine line;
  const char* part;
  std::uint32_t codeBytes, eepromBytes;
  std::array<std::uint8_t, 3> signature;
};

void PrintTo(const Row40& r, std::ostream* os) {
  *os << r.part;
}

class At90s8515s : public AvrFixture {
 protected:
  void SetUp() override {
    AvrFixture::SetUp();
    Connect(kModel);
  }
  // Seats the part where a user puts it (the jumper-wired parts by their wiring) and chooses it.
  std::shared_ptr<sim::AvrHvParallelChip> Seat(const AvrLine& line, const char* part) {
    auto chip = sim::MakeAvrHvParallel(part);
    EXPECT_NE(chip, nullptr) << part;
    prog->SeatChip(chip);
    Choose(line, nullptr);
    return chip;
  }
  void ExpectOff(const char* step) {
    EXPECT_EQ(prog->VppPin(), 0) << step;
    EXPECT_EQ(prog->VccPin(), 0) << step;
  }
};

class At90s8515sRoundTrip : public At90s8515s, public ::testing::WithParamInterface<Row40> {};

TEST_P(At90s8515sRoundTrip, ErasesWritesVerifiesReadsFusesLocksAndIdentifies) {
  const Row40& r = GetParam();
  // The catalogue line's chip is the model the simulated socket takes, wired where it must be.
  const auto listed = sim::MakeChipModel(r.line.title);
  ASSERT_NE(listed, nullptr);
  EXPECT_EQ(listed->Name(), r.part);
  auto chip = sim::MakeAvrHvParallel(r.part);
  for (std::uint32_t a = 0; a < r.codeBytes; a += 37) chip->flash[a] = 0x00;
  chip->eeprom[r.eepromBytes - 1] = 0x11;
  chip->fuses[0] = 0xDE;  // FSTRT programmed
  prog->SeatChip(chip);
  Choose(r.line, nullptr);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  // WrFuse before any read: the set has no fuse rows, and word 0 would program every fuse.
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Read config first")) << LastLine();
  ExpectOff("refused WrFuse");
  // The jumpers are shown for the parts that need them only.
  const bool wired = std::string_view(r.part).ends_with("(wired)");
  EXPECT_EQ(Logged("Pin40   to   Pin10"), wired);
  EXPECT_EQ(prog->ChipPinAt(40), wired ? 10 : 40);

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectOff("Erase");
  EXPECT_EQ(chip->erases, 1) << "lost " << chip->lost;
  EXPECT_TRUE(std::all_of(chip->flash.begin(), chip->flash.end(), [](int c) { return c == 0xFF; }));
  ExpectOff("Blank");

  const std::uint32_t image = r.codeBytes + r.eepromBytes;
  Pattern(image);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectOff("Write");
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(chip->flash[a], gApp.CodeBuffer[a]) << "flash " << a << " lost " << chip->lost;
  }
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectOff("Verify");
  gApp.CodeBuffer[r.codeBytes - 1] ^= 0x80;  // the top byte reaches the highest address line
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.codeBytes - 1);
  ExpectOff("failed Verify");
  gApp.CodeBuffer[r.codeBytes - 1] ^= 0x80;

  // The EEPROM's top byte needs the high address byte on the 512-byte parts.
  EXPECT_EQ(Go(kOpWriteData), 0) << LastLine();
  ExpectOff("WrData");
  for (std::uint32_t a = 0; a < r.eepromBytes; ++a) {
    ASSERT_EQ(chip->eeprom[a], gApp.CodeBuffer[r.codeBytes + a]) << "EEPROM " << a;
  }
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + image, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectOff("Read");
  EXPECT_TRUE(std::equal(chip->flash.begin(), chip->flash.end(), gApp.CodeBuffer.begin()));
  EXPECT_EQ(Go(kOpReadData), 0) << LastLine();
  ExpectOff("Read EEPROM");
  EXPECT_TRUE(
      std::equal(chip->eeprom.begin(), chip->eeprom.end(), gApp.CodeBuffer.begin() + r.codeBytes));

  // Read (with its Read config) took the fuse byte; WrFuse writes it back, here onto a chip whose
  // byte differs, as when copying one chip's fuses to the next.
  EXPECT_TRUE(Logged("Config=de")) << LastLine();
  chip->fuses[0] = 0xDF;
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectOff("WrFuse");
  EXPECT_EQ(chip->fuses[0], 0xDE) << "lost " << chip->lost;

  // "加密+禁止写": LB1 only.
  gApp.OptionValues[128] = 1;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectOff("Security");
  EXPECT_EQ(chip->lock & 0x03, 0x02);
  gApp.OptionValues[128] = 3;
  runner.ReadConfigClick();
  EXPECT_EQ(gApp.OptionValues[128], 1u);

  EXPECT_EQ(Go(kOpReadId), 0) << LastLine();
  ExpectOff("Read ID");
  EXPECT_TRUE(std::equal(r.signature.begin(), r.signature.end(), gApp.ReadId.begin()))
      << LastLine();
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, At90s8515sRoundTrip,
    ::testing::Values(
        Row40{{"AT90S8515S", 1, "MPU ATMEL AT90S4414"}, "AT90S4414", 4096, 256, {0x1E, 0x92, 0x01}},
        Row40{{"AT90S8515S", 2, "MPU ATMEL AT90S8515"}, "AT90S8515", 8192, 512, {0x1E, 0x93, 0x01}},
        Row40{{"AT90S8515S", 3, "MPU ATMEL AT90S4434(wired)"},
              "AT90S4434(wired)",
              4096,
              256,
              {0x1E, 0x92, 0x02}},
        Row40{{"AT90S8515S", 4, "MPU ATMEL AT90S8535(wired)"},
              "AT90S8535(wired)",
              8192,
              512,
              {0x1E, 0x93, 0x03}}));

// Read leaves the radio at the chip's lock bits, so that Security writes them back unchanged; a
// radio value the list does not have locks nothing.
TEST_F(At90s8515s, ReadKeepsTheLockAndUnknownModesAreRefused) {
  auto chip = Seat({"AT90S8515S", 2, "MPU ATMEL AT90S8515"}, "AT90S8515");
  gApp.OptionValues[128] = 0;
  runner.ReadClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[128], 3u);  // "不加密"
  runner.ProtectClick();
  EXPECT_EQ(chip->lock, 0xFF);

  gApp.OptionValues[128] = 7;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Unknown lock mode")) << LastLine();
  EXPECT_EQ(chip->lock, 0xFF);
  ExpectOff("Security");
  ExpectClean();
}

// On a programmer with an FPGA a design of another chip may hold the port: refused before any pin
// moves.
TEST_F(At90s8515s, RefusedOnFpgaModels) {
  Connect(6200);
  auto chip = Seat({"AT90S8515S", 2, "MPU ATMEL AT90S8515"}, "AT90S8515");
  EXPECT_TRUE(Logged("without FPGA")) << LastLine();
  gLink.StatusWord = 0;
  EXPECT_EQ(Call(kOpWrite), 1);
  EXPECT_EQ(chip->entries, 0);
  ExpectClean();
}

// Writes and EEPROM bytes wait on RDY/BSY, not a time: nothing is lost while the chip is busy.
TEST_F(At90s8515s, WaitsOnReady) {
  auto chip = Seat({"AT90S8515S", 3, "MPU ATMEL AT90S4434(wired)"}, "AT90S4434(wired)");
  Pattern(4096 + 256);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_EQ(chip->entries, 2);  // the signature read before the change, then the write
  EXPECT_EQ(chip->writes, 4096);
  ExpectClean();
}

}  // namespace at90s8515s_test
}  // namespace zelvar::test
