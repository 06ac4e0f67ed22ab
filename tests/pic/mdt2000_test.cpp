// The MDT parallel set "MDT2000" on the simulated programmer with the MDT20xx models: the round
// trip of every row, the configuration word pinned to its field values, the blank check of the
// configuration word, and the contact pins by programmer model.
#include "algorithms/pic/MDT2000.h"

#include <algorithm>
#include <random>

#include "algorithms/pic/MDT2051.h"
#include "memory/ChipFixture.h"
#include "sim/chips/Mdt20xx.h"

namespace zelvar::test {
namespace mdt2000_test {

struct MdtLine {
  const char* part;
  int row;
  const char* set = "MDT2000";
};

class Mdt2000Fixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::Mdt20xxChip> ChooseMdt(const MdtLine& l) {
    auto chip = sim::MakeMdt20xx(l.part);
    Choose(l.set, l.row, chip, std::string("MDT: ") + l.part, "mdt2000");
    return chip;
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
};

class Mdt2000RoundTrip : public Mdt2000Fixture, public ::testing::WithParamInterface<MdtLine> {};

TEST_P(Mdt2000RoundTrip, BlankWriteVerifyReadAndConfig) {
  auto chip = ChooseMdt(GetParam());
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));

  // A blank chip reads as the buffer's little-endian 0x3FFF.
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t a : {0u, 2 * words - 2}) {
    EXPECT_EQ(gApp.CodeBuffer[a], 0xFF) << a;
    EXPECT_EQ(gApp.CodeBuffer[a + 1], 0x3F) << a;
  }

  std::mt19937 gen(words);
  std::vector<std::uint16_t> image(words);
  for (std::uint32_t w = 0; w < words; ++w) {
    image[w] = static_cast<std::uint16_t>(gen() & 0x3FFF);
    gApp.CodeBuffer[2 * w] = static_cast<std::uint8_t>(image[w] & 0xFF);
    // A file may carry bits 6 and 7 of the high byte; the chip has none.
    gApp.CodeBuffer[2 * w + 1] = static_cast<std::uint8_t>(image[w] >> 8 | 0xC0);
  }
  gApp.OptionValues[130] = 0;  // "1 ms"
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], image[w]) << w;
  EXPECT_EQ(chip->shortPulses, 0);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[words - 1] &= 0x1FFF;
  if (chip->code[words - 1] != image[words - 1]) {
    EXPECT_EQ(Click(kOpVerify), 1);
    EXPECT_EQ(gLink.FailAddress, 2 * (words - 1));
  }
  chip->code[words - 1] = image[words - 1];
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) {
    ASSERT_EQ(gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8, image[w]) << w;
  }
  // Programmed code fails the blank check at its first word.
  EXPECT_EQ(Click(kOpBlank), 1);

  // MDT2000: XT, "40   mS", WDT and Security on, PED off. MDT2051: XT, PRD, WDT and Security
  // on, PUT and PED off.
  const bool mdt2051 = std::string(GetParam().set) == "MDT2051";
  const std::int32_t grid = mdt2051 ? 0x15 : 5;
  gApp.OptionValues[128] = 1;
  gApp.OptionValues[129] = 2;
  gApp.OptionValues[0] = grid;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->config, mdt2051 ? 0x1696 : 0x1666);
  gApp.OptionValues[128] = gApp.OptionValues[129] = gApp.OptionValues[0] = 0;
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[128], 1);
  EXPECT_EQ(gApp.OptionValues[129], mdt2051 ? 0 : 2);
  EXPECT_EQ(gApp.OptionValues[0], grid);
  EXPECT_TRUE(Logged(mdt2051 ? "Config = 1696" : "Config = 1666"));
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Rows, Mdt2000RoundTrip,
                         ::testing::Values(MdtLine{"MDT2005", 1}, MdtLine{"MDT2010", 2},
                                           MdtLine{"MDT2015", 3}, MdtLine{"MDT2020", 4},
                                           MdtLine{"MDT2030", 5}, MdtLine{"MDT2051", 1, "MDT2051"}),
                         [](const auto& info) { return std::string(info.param.part); });

TEST(Mdt2000Encoding, ConfigWordFields) {
  struct Case {
    std::uint32_t radio1, radio2, grid;
    std::uint16_t word;
  };
  // Oscillator LP 9, XT 6, HS 5, RC 10, else 15; delay 150 us 10, 20 ms 9, 40 ms 6, 80 ms 5,
  // else 15; WDT and PED 2 when set, 1 when not; Security 1 when set, 2 when not.
  const Case cases[] = {{0, 0, 0, 0x25A9},
                        {3, 3, 7, 0x1A5A},
                        {2, 1, 2, 0x2995},
                        {4, 4, 1, 0x26FF},
                        {5, 5, 4, 0x15FF}};
  for (const Case& c : cases) {
    EXPECT_EQ(pic::MDT2000::Encode(c.radio1, c.radio2, c.grid), c.word) << c.radio1;
    EXPECT_EQ(pic::MDT2000::Grid(c.word), c.grid) << c.radio1;
  }
}

TEST(Mdt2051Encoding, ConfigWordFields) {
  struct Case {
    std::uint32_t radio1, grid;
    std::uint16_t word;
  };
  // Oscillator as MDT2000; PRD (bit 0), PUT (1) and Security (4) 1 when set, 2 when not; WDT (2)
  // and PED (3) 2 when set, 1 when not.
  const Case cases[] = {{0, 0x00, 0x25A9}, {1, 0x15, 0x1696}, {3, 0x1F, 0x1A5A}, {4, 0x0A, 0x296F}};
  for (const Case& c : cases) {
    EXPECT_EQ(pic::MDT2051::Encode(c.radio1, c.grid), c.word) << c.grid;
    EXPECT_EQ(pic::MDT2051::Grid(c.word), c.grid) << c.grid;
  }
}

TEST_F(Mdt2000Fixture, ProgrammedConfigurationHalfFailsTheBlankCheck) {
  auto chip = ChooseMdt({"MDT2005", 1});
  // Only the upper half is programmed: the low seven bits still read blank.
  chip->config = 0x007F;
  EXPECT_EQ(Click(kOpBlank), 1);
  chip->config = 0x3F00;
  EXPECT_EQ(Click(kOpBlank), 1);
  ExpectNoHazard();
}

TEST_F(Mdt2000Fixture, ContactPinsByModel) {
  struct Case {
    int model, row;
    std::uint64_t mask;
  };
  const Case cases[] = {{5105, 1, 0},           {5148, 2, 0}, {6200, 1, 0x1FFFF800},
                        {5105, 3, 0x3FFFFFAC0}, {6200, 5, 0}, {5107, 2, 0x1FFFF800}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    Connect(c.model);
    ChooseMdt({c.row == 3 ? "MDT2015" : "MDT2005", c.row});
    EXPECT_EQ(gApp.InfoRecord[5], c.row == 3 ? 10 : 16);
    EXPECT_EQ(static_cast<std::uint64_t>(gApp.InfoRecord[6]) |
                  static_cast<std::uint64_t>(gApp.InfoRecord[7]) << 31,
              c.mask);
  }
}

}  // namespace mdt2000_test
}  // namespace zelvar::test
