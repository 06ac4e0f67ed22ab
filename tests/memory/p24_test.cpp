// The I2C set "P24" on the simulated programmer's "i2c24c" design with 24Cxx and X24C01 models
// from their datasheets, through the runner with its contact check: every row's round trip with
// the chip's own cells checked, the address forms and write pages, and the set's refusals.
#include "algorithms/memory/P24.h"

#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/I2cEeprom.h"
#include "sim/designs/IspHeader.h"

namespace zelvar::test {
namespace p24_test {

using memory::I2cAddressBytes;
using memory::I2cForm;
using memory::I2cWritePage;

class P24Test : public ChipFixture {
 protected:
  std::shared_ptr<sim::I2cEeprom> Choose24(int row, const char* part) {
    auto chip = sim::MakeI2cEeprom(part);
    Choose("P24", row, chip, std::string("ATMEL: ") + part, "i2c24c");
    return chip;
  }
  static bool Holds(const sim::I2cEeprom& chip, std::uint32_t n) {
    return std::equal(chip.cells.begin(), chip.cells.begin() + n, gApp.CodeBuffer.begin());
  }
};

struct I2cRow {
  int row;
  const char* part;
  int readMode;  // 0 byte, 1 page (the chip's counter)
};

class P24RoundTrip : public P24Test, public ::testing::WithParamInterface<I2cRow> {};

TEST_P(P24RoundTrip, WriteVerifyReadReachTheChipsCells) {
  const I2cRow& c = GetParam();
  auto chip = Choose24(c.row, c.part);
  const std::uint32_t size = memory::P24::kTypes[static_cast<std::size_t>(c.row)].lastAddress + 1;
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(size));
  gApp.OptionValues[130] = c.readMode;
  Pattern(size, static_cast<std::uint8_t>(c.row));
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip, size));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  std::fill_n(gApp.CodeBuffer.begin(), size, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip, size));
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, P24RoundTrip,
    ::testing::Values(I2cRow{1, "24C01A", 0}, I2cRow{2, "24C02", 1}, I2cRow{3, "24C04", 0},
                      I2cRow{4, "24C08", 1}, I2cRow{5, "24C16", 0}, I2cRow{6, "24C32", 1},
                      I2cRow{7, "24C64", 0}, I2cRow{8, "24C128", 1}, I2cRow{9, "24C256", 1},
                      I2cRow{10, "24C512", 1}, I2cRow{11, "24C1024", 1}, I2cRow{12, "X24C01", 0},
                      I2cRow{12, "X24C01", 1}),
    [](const auto& info) {
      return std::string(info.param.part) + (info.param.readMode ? "Page" : "Byte");
    });

// In-system mode ("isp="): the chip on the user's board, wired to the header as the legend
// shows it (SCL to header pin 1, SDA to 9, VCC to 7, VSS and A0..A2 to the ground pins, WP left
// to the board), run by "i2c24isp.bit" with VCC on socket pin 22 and no contact check.
TEST_F(P24Test, InSystemHeaderReachesTheChipsCells) {
  auto chip = sim::MakeI2cEeprom("24C16");
  prog->PlaceChipWired(chip, sim::IspHeaderWiring({2, 2, 2, 2, 9, 1, 0, 7}));
  fake.chipParams["isp="] = 1;
  fake.chipTitle = gApp.ChipTitle = "ATMEL: 24C16";
  gApp.AlgorithmKey = "P24";
  gApp.TypeIndex = 5;
  gApp.CurrentDispatcher = DispatcherForKey("P24");
  runner.SetupChosenChip();
  ASSERT_EQ(prog->loadedDesign, "i2c24isp");
  EXPECT_EQ(gApp.PinMask, 0u);
  Pattern(2048, 0x21);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip, 2048));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  std::fill_n(gApp.CodeBuffer.begin(), 2048, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip, 2048));
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

// The bytes after the start, one table for every form: the X24C01 address in bits 7..1, block
// bits of the one-byte parts in the device byte, two address bytes from 4 KiB up, and bit 16 of
// the 128 KiB parts in the device byte.
TEST(I2cAddress, FormsOfTheDeviceAndWordAddress) {
  struct Case {
    I2cForm form;
    std::uint32_t a;
    bool read;
    std::vector<int> bytes;
  };
  const Case cases[] = {
      {I2cForm::kX24c01, 0x35, true, {0x6B}},
      {I2cForm::kX24c01, 0x7F, false, {0xFE}},
      {I2cForm::kOneByte, 0x7F, false, {0xA0, 0x7F}},
      {I2cForm::kOneByte, 0x1FF, false, {0xA2, 0xFF}},
      {I2cForm::kOneByte, 0x5A3, false, {0xAA, 0xA3}},
      {I2cForm::kOneByte, 0x7FF, false, {0xAE, 0xFF}},
      {I2cForm::kTwoBytes, 0xABC, false, {0xA0, 0x0A, 0xBC}},
      {I2cForm::kTwoBytes, 0xFFFF, false, {0xA0, 0xFF, 0xFF}},
      {I2cForm::kTwoBytes, 0x1ABCD, false, {0xA2, 0xAB, 0xCD}},
  };
  for (const Case& c : cases) {
    const memory::I2cAddress got = I2cAddressBytes(c.form, c.a, c.read);
    std::vector<int> bytes(got.bytes.begin(), got.bytes.begin() + got.count);
    EXPECT_EQ(bytes, c.bytes) << std::hex << c.a;
  }
  EXPECT_EQ(memory::I2cReadControl(I2cForm::kOneByte, 0x5A3), 0xAB);
  EXPECT_EQ(memory::I2cReadControl(I2cForm::kTwoBytes, 0x5A3), 0xA1);
  EXPECT_EQ(memory::I2cReadControl(I2cForm::kTwoBytes, 0x105A3), 0xA3);
}

TEST(I2cPage, WriteModeDividesThePageDownToTwo) {
  struct Case {
    std::uint32_t row, pag, mode, page;
  };
  const Case cases[] = {
      {64, 0, 0, 64}, {64, 0, 1, 32},  {64, 0, 2, 16}, {4, 0, 2, 2},
      {2, 0, 0, 2},   {16, 32, 0, 32}, {16, 32, 2, 8},
  };
  for (const Case& c : cases)
    EXPECT_EQ(I2cWritePage(c.row, c.pag, c.mode), c.page) << c.row << " " << c.pag << " " << c.mode;
}

TEST_F(P24Test, VerifyNamesTheFirstDifferentByte) {
  auto chip = Choose24(2, "24C02");
  Pattern(256);
  ASSERT_EQ(Click(kOpWrite), 0);
  chip->cells[0x9C] ^= 0x10;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x9Cu);
  EXPECT_EQ(gLink.FailByte, chip->cells[0x9C]);
  ExpectNoHazard();
}

// The wait after a page must cover the chip's write cycle: with too short a wait the chip is
// still busy at the next page and takes none of it, which Verify finds.
TEST_F(P24Test, TooShortAPageWaitLosesPages) {
  fake.chipParams["dly="] = 1;
  auto chip = Choose24(2, "24C02");
  Pattern(256);
  ASSERT_EQ(Click(kOpWrite), 0);
  EXPECT_FALSE(Holds(*chip, 256));
  EXPECT_EQ(Click(kOpVerify), 1);
}

TEST_F(P24Test, WriteProtectLineHighKeepsTheChip) {
  fake.chipParams["p07="] = 1;
  auto chip = Choose24(2, "24C02");
  Pattern(256);
  ASSERT_EQ(Click(kOpWrite), 0);
  EXPECT_EQ(chip->pagesWritten, 0);
  EXPECT_EQ(std::count(chip->cells.begin(), chip->cells.end(), 0xFF), 256);
}

// The VCC choice is read when the operation powers the chip, after set-up; a choice beyond the
// radio (a project file's) takes the last one, as does a page delay beyond the table.
TEST_F(P24Test, VccChoiceAppliesAtEachOperation) {
  auto chip = Choose24(4, "24C08");
  Pattern(1024);
  gApp.OptionValues[131] = 1;
  ASSERT_EQ(Click(kOpWrite), 0);
  EXPECT_EQ(prog->VccMillivolts(), 3300);
  EXPECT_TRUE(Holds(*chip, 1024));
  gApp.OptionValues[131] = 9;
  gApp.OptionValues[128] = 77;
  EXPECT_EQ(Click(kOpVerify), 0);
  EXPECT_EQ(prog->VccMillivolts(), 2500);
  ExpectNoHazard();
}

// The X24C01 at 5 V refuses to run at 3.3 V: a chip below its range does not answer.
TEST_F(P24Test, X24c01BelowItsSupplyRangeFailsVerify) {
  auto chip = Choose24(12, "X24C01");
  Pattern(128);
  gApp.OptionValues[131] = 1;
  ASSERT_EQ(Click(kOpWrite), 0);
  EXPECT_EQ(chip->pagesWritten, 0);
  EXPECT_EQ(Click(kOpVerify), 1);
}

TEST_F(P24Test, RefusesAPageThatIsNoPowerOfTwoAndARowOutsideTheTable) {
  fake.chipParams["pag="] = 24;
  auto chip = Choose24(2, "24C02");
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_EQ(chip->pagesWritten, 0);
  fake.chipParams.clear();
  Choose("P24", 13, chip, "ATMEL: 24C02", "i2c24c");
  EXPECT_EQ(gApp.PinMask, 0u);
  EXPECT_EQ(Click(kOpRead), 1);
  const auto log = fake.LogTexts();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& l) {
    return l.find("not in this set") != l.npos;
  }));
}

}  // namespace p24_test
}  // namespace zelvar::test
