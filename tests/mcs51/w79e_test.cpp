// The in-circuit W79E sets on the simulated programmer with the W79E2051 and W79E8213 models:
// the round trip through the runner with its contact check, the configuration bytes, Read ID,
// and the set-up refusals and per-row facts.
#include "sim/chips/W79e.h"

#include <algorithm>
#include <map>

#include "Mcs51Fixture.h"

namespace zelvar::test {
namespace w79e_test {

struct IcpCase {
  const char* part;
  ChipLine line;
  int model;
  int chosenRow;  // after the set-up's row shift
  std::map<std::string, int> params;
  int ground;
  const char* configLine;
  const char* idLine;  // nullptr: the set has no Read ID
};

class W79eRoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<IcpCase> {};

TEST_P(W79eRoundTrip, EraseWriteVerifyReadConfigAndId) {
  const IcpCase& c = GetParam();
  Connect(c.model);
  auto chip = sim::MakeW79e(c.part);
  ASSERT_NE(chip, nullptr);
  std::fill(chip->code.begin(), chip->code.end(), 0x12);
  std::fill(chip->data.begin(), chip->data.end(), 0x34);
  fake.chipParams = c.params;
  Choose(c.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.TypeIndex, c.chosenRow);
  EXPECT_EQ(gApp.InfoRecord[5], c.ground);
  const std::uint32_t code = static_cast<std::uint32_t>(chip->code.size());
  const std::uint32_t data = static_cast<std::uint32_t>(chip->data.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(code - 1));

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_TRUE(std::all_of(chip->code.begin(), chip->code.end(), [](int b) { return b == 0xFF; }));

  Pattern(code);
  for (std::uint32_t i = 0; i < data; ++i)
    gApp.CodeBuffer[0xFC00 + i] = static_cast<std::uint8_t>(0xC3 ^ i);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
  EXPECT_TRUE(std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + 0xFC00));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();

  // A cell the chip lost: Verify names it.
  chip->code[code - 3] ^= 0x40;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, code - 3);
  chip->code[code - 3] ^= 0x40;

  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + code);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x10000, 0);
  runner.ReadClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
  EXPECT_TRUE(std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + 0xFC00));

  gApp.OptionValues[0] = 0xA5;
  gApp.OptionValues[1] = 0x3C;
  runner.ConfigClick();
  EXPECT_EQ(chip->config[0], 0xA5);
  EXPECT_EQ(chip->config[1], 0x3C);
  gApp.OptionValues[0] = gApp.OptionValues[1] = 0;
  runner.ReadConfigClick();
  EXPECT_TRUE(Logged(c.configLine)) << LastLine();
  if (c.idLine) {
    runner.IdClick();
    EXPECT_TRUE(Logged(c.idLine)) << LastLine();
  }
  ExpectClean();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

// Write reads back what it wrote: a byte that kept a 0 bit (a chip written without Erase) fails
// Write at its address.
TEST_P(W79eRoundTrip, WriteFailsWhereAByteDidNotTake) {
  const IcpCase& c = GetParam();
  Connect(c.model);
  auto chip = sim::MakeW79e(c.part);
  fake.chipParams = c.params;
  Choose(c.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const std::uint32_t code = static_cast<std::uint32_t>(chip->code.size());
  Pattern(code);
  for (std::uint32_t i = 0; i < chip->data.size(); ++i) gApp.CodeBuffer[0xFC00 + i] = 0xA5;
  chip->code[code - 2] = 0;
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, code - 2);
  EXPECT_EQ(gLink.FailByte, 0);
  if (!chip->data.empty()) {
    chip->code[code - 2] = 0xFF;
    chip->data[3] = 0x20;
    runner.WriteClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, 0xFC03u);
  }
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(Parts, W79eRoundTrip,
                         ::testing::Values(IcpCase{"W79E2051",
                                                   {"W79E2051", 1, "WINBOND: W79E2051"},
                                                   6200,
                                                   1,
                                                   {{"len=", 2048}, {"vcc=", 5000}},
                                                   20,
                                                   "Config0=a5, Config1=3c",
                                                   "Mfg=da,20,51"},
                                           IcpCase{"W79E8213",
                                                   {"W79E82X", 2, "WINBOND: W79E8213"},
                                                   6300,
                                                   12,
                                                   {{"len=", 2048}, {"ee=", 128}, {"vcc=", 5000}},
                                                   15,
                                                   "Config1=a5,Config2=3c",
                                                   nullptr}),
                         [](const auto& info) { return std::string(info.param.part); });

// A chip line without "len=", a row that names no pins, and a W79E2051 row whose ground is not
// socket pin 20: refused, refused, and reported with its own ground.
TEST_F(Mcs51Fixture, W79eSetUpRefusesWhatItCannotServe) {
  fake.chipParams = {{"vcc=", 5000}};
  Choose({"W79E2051", 1, "WINBOND: W79E2051"}, nullptr);
  EXPECT_TRUE(Logged("No chip size (len=)")) << LastLine();
  EXPECT_EQ(Call(kOpRead), 1);

  fake.chipParams = {{"len=", 2048}};
  Choose({"W79E82X", 3, "WINBOND: W79E82X"}, nullptr);
  EXPECT_TRUE(Logged("Chip type not in this set!")) << LastLine();
  EXPECT_EQ(Call(kOpRead), 1);

  fake.log.clear();
  Choose({"W79E2051", 2, "WINBOND: W79E2051"}, nullptr);
  EXPECT_FALSE(Logged("!")) << LastLine();
  EXPECT_EQ(gApp.InfoRecord[5], 18);
}

// On model 6300 the row moves once, however often the chip is chosen, and 5000 mV becomes 4.4 V.
TEST_F(Mcs51Fixture, W79e82xTakesItsOwnRowsOnNewerModels) {
  Connect(6300);
  fake.chipParams = {{"len=", 2048}, {"vcc=", 5000}};
  Choose({"W79E82X", 2, "WINBOND: W79E8213"}, nullptr);
  EXPECT_EQ(gApp.TypeIndex, 12);
  runner.SetupChosenChip();
  EXPECT_EQ(gApp.TypeIndex, 12);
  EXPECT_EQ(prog->VccMillivolts(), 4400);
}

}  // namespace w79e_test
}  // namespace zelvar::test
