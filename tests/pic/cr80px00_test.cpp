// "CR80PX00" on the simulated programmer with the CR80P models: the round trip of every row
// (Blank, Write, Verify, Read, Config and Read config, Security, User info), checked in the
// model's cells; the option word's fields; Read config's security reply; the CR80P110's refusals.
#include "algorithms/pic/CR80PX00.h"

#include <algorithm>
#include <random>

#include "memory/ChipFixture.h"
#include "sim/chips/Cr80p.h"

namespace zelvar::test {
namespace cr80px00_test {

struct Cr80pLine {
  const char* part;
  int row;
};

class Cr80pFixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::Cr80pChip> ChooseCr80p(const Cr80pLine& l) {
    auto chip = sim::MakeCr80p(l.part);
    prog->PlaceChip(chip, std::string(l.part) == "CR80P200" ? 7 : 12);
    fake.chipTitle = gApp.ChipTitle = std::string("CR: ") + l.part;
    gApp.AlgorithmKey = "CR80PX00";
    gApp.TypeIndex = l.row;
    gApp.CurrentDispatcher = DispatcherForKey("CR80PX00");
    runner.SetupChosenChip();
    EXPECT_EQ(prog->loadedDesign, "cr80px00");
    return chip;
  }
  std::string AllLog() const {
    std::string all;
    for (const auto& l : fake.log) all += l.text + "\n";
    return all;
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
};

class Cr80pRoundTrip : public Cr80pFixture, public ::testing::WithParamInterface<Cr80pLine> {};

TEST_P(Cr80pRoundTrip, EveryOperation) {
  const Cr80pLine& l = GetParam();
  auto chip = ChooseCr80p(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));

  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  std::mt19937 gen(words + l.row);
  std::vector<std::uint16_t> image(words);
  for (std::uint32_t w = 0; w < words; ++w) {
    image[w] = static_cast<std::uint16_t>(gen() & 0x3FFF);
    gApp.CodeBuffer[2 * w] = static_cast<std::uint8_t>(image[w]);
    gApp.CodeBuffer[2 * w + 1] = static_cast<std::uint8_t>(image[w] >> 8 | 0xC0);
  }
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  // Write masks the buffer's high bytes to the chip's six bits first.
  EXPECT_EQ(gApp.CodeBuffer[1] & 0xC0, 0);
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], image[w]) << w;
  EXPECT_EQ(chip->shortPulses, 0);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[words - 2] &= 0x1FFF;
  if (chip->code[words - 2] != image[words - 2]) {
    EXPECT_EQ(Click(kOpVerify), 1);
    EXPECT_EQ(gLink.FailAddress, 2 * (words - 2));
    EXPECT_EQ(gLink.FailByte, chip->code[words - 2] & 0x7F);
  }
  chip->code[words - 2] = image[words - 2];
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w)
    ASSERT_EQ(gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8, image[w]) << w;
  EXPECT_EQ(Click(kOpBlank), 1);

  if (l.row != 3) {
    // HF, "Enable(全部允许)", "44mS"; user ID 0x1234.
    gApp.OptionValues[128] = 3;
    gApp.OptionValues[129] = 2;
    gApp.OptionValues[130] = 2;
    gApp.OptionValues[64] = 0x1234;
    EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
    EXPECT_TRUE(Logged("Option = 002f"));
    EXPECT_EQ(chip->option[0], static_cast<std::uint16_t>(~0x2Fu & 0x3FFF));
    EXPECT_EQ(chip->option[1], 0x2F);
    EXPECT_EQ(Run(kOpUserInfo), 0) << LastLine();
    EXPECT_EQ(chip->id[0], 0x12);
    EXPECT_EQ(chip->id[1], 0x1234);
    EXPECT_EQ(chip->id[2], 0);
    EXPECT_EQ(chip->id[5], 0);
    EXPECT_EQ(chip->id[6], 0x3FFF);
  }
  EXPECT_EQ(Click(kOpLock), 0) << LastLine();
  EXPECT_EQ(chip->security, 0);
  gApp.OptionValues[128] = gApp.OptionValues[129] = gApp.OptionValues[130] = 0;
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  if (l.row != 3) {
    EXPECT_TRUE(Logged("Config=2f, ID=1234, Sum=0000,Protect=00,Secu=00")) << AllLog();
    EXPECT_EQ(gApp.OptionValues[128], 3);
    EXPECT_EQ(gApp.OptionValues[129], 2);
    EXPECT_EQ(gApp.OptionValues[130], 2);
  } else {
    EXPECT_TRUE(Logged("Config=7f,Secu=00")) << AllLog();
  }
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Rows, Cr80pRoundTrip,
                         ::testing::Values(Cr80pLine{"CR80P100", 1}, Cr80pLine{"CR80P200", 2},
                                           Cr80pLine{"CR80P110", 3}),
                         [](const auto& info) { return std::string(info.param.part); });

TEST(Cr80pEncoding, OptionWordFields) {
  struct Case {
    std::uint32_t osc, wdt, delay;
    std::uint16_t value;
  };
  // WDT bits 0-1 (Dis 0, Sleep dis 1, Enable 3), OSC bits 2-3, Osc Delay bits 4-5.
  for (const Case& c :
       {Case{0, 0, 0, 0x00}, Case{1, 1, 0, 0x05}, Case{2, 2, 1, 0x1B}, Case{3, 0, 3, 0x3C}}) {
    EXPECT_EQ(pic::CR80PX00::OptionValue(c.osc, c.wdt, c.delay), c.value);
    const auto back = pic::CR80PX00::OptionChoices(static_cast<std::uint8_t>(c.value));
    EXPECT_EQ(back.osc, c.osc);
    EXPECT_EQ(back.wdt, c.wdt);
    EXPECT_EQ(back.delay, c.delay);
  }
}

// The CR80P110 takes neither the option word nor the user ID from this set: both say so.
TEST_F(Cr80pFixture, Cr80p110RefusesConfigAndUserInfo) {
  auto chip = ChooseCr80p({"CR80P110", 3});
  for (int op : {kOpConfig, kOpUserInfo}) {
    EXPECT_EQ(Click(op), 1) << op;
    EXPECT_TRUE(Logged("Not available")) << op;
  }
  EXPECT_TRUE(
      std::all_of(chip->option.begin(), chip->option.end(), [](auto w) { return w == 0x3FFF; }));
  EXPECT_TRUE(std::all_of(chip->id.begin(), chip->id.end(), [](auto w) { return w == 0x3FFF; }));
}

// Read config reads the security word's own reply: the security value is the chip's, and an
// operation after it starts with nothing pending.
TEST_F(Cr80pFixture, ReadConfigTakesTheSecurityReply) {
  auto chip = ChooseCr80p({"CR80P100", 1});
  chip->security = 0x15;
  chip->option[1] = 0x2A;
  chip->id[0] = 0x56;
  chip->id[1] = 0x78;
  chip->id[2] = 0x00D5;  // Sum's low byte: bits 0-6, and bit 7 from the word's bit 7
  chip->id[3] = 0x0ABC;  // Sum's high byte: the word's low eight bits
  chip->id[4] = 0x11;
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  EXPECT_TRUE(Logged("Config=2a, ID=5678, Sum=bcd5,Protect=11,Secu=15")) << AllLog();
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  ExpectNoHazard();
}

TEST_F(Cr80pFixture, ContactPinsByModel) {
  struct Case {
    int model, row;
    std::uint64_t mask;
  };
  for (const Case& c : {Case{5105, 1, 0}, Case{5148, 3, 0}, Case{6200, 1, 0x1FFFF800},
                        Case{5105, 2, 0x3FFFFFAC0}}) {
    SCOPED_TRACE(c.model);
    Connect(c.model);
    ChooseCr80p({c.row == 2 ? "CR80P200" : "CR80P100", c.row});
    EXPECT_EQ(static_cast<std::uint64_t>(gApp.InfoRecord[6]) |
                  static_cast<std::uint64_t>(gApp.InfoRecord[7]) << 31,
              c.mask);
  }
}

}  // namespace cr80px00_test
}  // namespace zelvar::test
