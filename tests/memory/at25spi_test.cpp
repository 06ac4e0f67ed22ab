// The SPI EEPROM set "AT25SPI" on the simulated programmer's "at25spi" design with 25-series
// EEPROM models from their datasheets, through the runner with its contact check: every size's
// round trip with the chip's own cells checked, the status register, the address forms and the
// set-up's refusals.
#include <algorithm>

#include "ChipFixture.h"
#include "algorithms/memory/SpiEngine.h"
#include "link/LinkState.h"
#include "sim/chips/SpiMemory.h"

namespace zelvar::test {
namespace at25spi_test {

using memory::SpiEepromAddress;

class At25Test : public ChipFixture {
 protected:
  std::shared_ptr<sim::SpiMemory> Choose25(const char* part, int dly = 5) {
    auto chip = sim::MakeSpiMemory(part);
    fake.chipParams["len="] = static_cast<int>(chip->part().size);
    fake.chipParams["pag="] = static_cast<int>(chip->part().pageBytes);
    fake.chipParams["dly="] = dly;
    Choose("AT25SPI", 1, chip, std::string("ATMEL: ") + part, "at25spi");
    return chip;
  }
  static bool Holds(const sim::SpiMemory& chip) {
    return std::equal(chip.cells.begin(), chip.cells.end(), gApp.CodeBuffer.begin());
  }
  bool Logged(const std::string& text) const {
    const auto log = fake.LogTexts();
    return std::any_of(log.begin(), log.end(),
                       [&](const std::string& l) { return l.find(text) != l.npos; });
  }
};

class At25RoundTrip : public At25Test, public ::testing::WithParamInterface<const char*> {};

TEST_P(At25RoundTrip, WriteVerifyReadReachTheChipsCells) {
  auto chip = Choose25(GetParam());
  const std::uint32_t size = chip->part().size;
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(size));
  Pattern(size, static_cast<std::uint8_t>(size >> 7));
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  std::fill_n(gApp.CodeBuffer.begin(), size, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Parts, At25RoundTrip,
                         ::testing::Values("AT25010", "AT25020", "AT25040", "AT25080", "AT25160",
                                           "AT25320", "AT25640", "AT25128", "AT25256"),
                         [](const auto& info) { return std::string(info.param); });

TEST(SpiEepromAddress, FormsBySize) {
  struct Case {
    std::uint8_t opcode;
    std::uint32_t a, size;
    std::vector<int> bytes;
  };
  const Case cases[] = {
      {0x03, 0x7F, 128, {0x03, 0x7F}},           {0x02, 0xFF, 256, {0x02, 0xFF}},
      {0x03, 0x1A5, 512, {0x0B, 0xA5}},          {0x02, 0x0A5, 512, {0x02, 0xA5}},
      {0x02, 0x1FF, 512, {0x0A, 0xFF}},          {0x03, 0x3FF, 1024, {0x03, 0x03, 0xFF}},
      {0x02, 0x7ABC, 32768, {0x02, 0x7A, 0xBC}}, {0x03, 0, 300, {}},
  };
  for (const Case& c : cases) {
    const memory::SpiAddress got = SpiEepromAddress(c.opcode, c.a, c.size);
    EXPECT_EQ(std::vector<int>(got.bytes.begin(), got.bytes.begin() + got.count), c.bytes)
        << c.size << " " << c.a;
  }
  EXPECT_FALSE(memory::SpiEepromAddressable(300));
  EXPECT_FALSE(memory::SpiEepromAddressable(0));
  EXPECT_TRUE(memory::SpiEepromAddressable(512));
}

TEST_F(At25Test, VerifyNamesTheFirstDifferentByte) {
  auto chip = Choose25("AT25040");
  Pattern(512);
  ASSERT_EQ(Click(kOpWrite), 0);
  chip->cells[0x1C3] ^= 0x40;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x1C3u);
  EXPECT_EQ(gLink.FailByte, chip->cells[0x1C3]);
  ExpectNoHazard();
}

// The wait after a page must cover the write cycle: a chip still busy takes no write enable.
TEST_F(At25Test, TooShortAPageWaitLosesPages) {
  auto chip = Choose25("AT25080", 0);
  Pattern(1024);
  ASSERT_EQ(Click(kOpWrite), 0);
  EXPECT_FALSE(Holds(*chip));
}

// WriteStatus takes BP0, BP1 and WPEN from the config grid's word; the protected array keeps its
// cells; Read config shows the status; Unprotect clears it and the array takes writes again.
TEST_F(At25Test, StatusWriteProtectsAndUnprotectClears) {
  auto chip = Choose25("AT25020");
  gApp.OptionValues[0] = 0x8C;
  ASSERT_EQ(Click(kOpConfig), 0);
  EXPECT_EQ(chip->status, 0x8C);
  gApp.OptionValues[0] = 0;
  ASSERT_EQ(Click(kOpReadConfig), 0);
  EXPECT_EQ(gApp.OptionValues[0], 0x8C);
  EXPECT_TRUE(Logged("Status=8c"));  // not busy: the status write's cycle was waited out
  Pattern(256);
  ASSERT_EQ(Click(kOpWrite), 0);
  EXPECT_EQ(std::count(chip->cells.begin(), chip->cells.end(), 0xFF), 256);
  ASSERT_EQ(Run(kOpUnProtect), 0);  // a step of the Go sequence, without a button of its own
  EXPECT_EQ(chip->status, 0);
  ASSERT_EQ(Click(kOpWrite), 0);
  EXPECT_TRUE(Holds(*chip));
  ExpectNoHazard();
}

// The shift lengths go to the SPI design after it is loaded, not to the one it replaces.
TEST_F(At25Test, ShiftLengthsFollowTheLoad) {
  prog->record.keepTranscript = true;
  Choose25("AT25010");
  const auto& t = prog->record.transcript;
  const auto loadEnd = std::find_if(t.rbegin(), t.rend(), [](const sim::Command& c) {
    return c.op() == sim::kOpRegister && c.bytes[1] == sim::kRegBitstreamData;
  });
  const auto shift =
      std::find_if(t.rbegin(), t.rend(), [](const sim::Command& c) { return c.op() == 74; });
  ASSERT_NE(loadEnd, t.rend());
  ASSERT_NE(shift, t.rend());
  EXPECT_LT(shift - t.rbegin(), loadEnd - t.rbegin());
}

TEST_F(At25Test, RefusesSizesWithoutAnAddressFormAndPageZero) {
  struct Case {
    int len, pag;
  };
  for (const Case c : {Case{300, 8}, Case{0, 8}, Case{256, 0}, Case{256, 12}}) {
    fake.chipParams["len="] = c.len;
    fake.chipParams["pag="] = c.pag;
    auto chip = sim::MakeSpiMemory("AT25020");
    Choose("AT25SPI", 1, chip, "ATMEL: AT25020", "at25spi");
    Pattern(256);
    EXPECT_EQ(Click(kOpWrite), 1) << c.len << " " << c.pag;
    EXPECT_EQ(chip->pagesWritten, 0);
    EXPECT_EQ(gApp.PinMask, 0u);
  }
  EXPECT_TRUE(Logged("no address form"));
  EXPECT_TRUE(Logged("power of two"));
}

}  // namespace at25spi_test
}  // namespace zelvar::test
