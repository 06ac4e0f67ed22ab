// The 87LPC76x OTP set on the simulated programmer with the P87LPC761 and P87LPC762 models: the
// round trip on both row groups through the runner, the configuration word with its oscillator
// radio, the maker-code check and the ISP header row.
#include <algorithm>
#include <map>

#include "Mcs51Fixture.h"
#include "sim/chips/Lp76x.h"

namespace zelvar::test {
namespace phi87lp_test {

struct Lp76xCase {
  const char* part;
  int row;
  int model;
  int chosenRow;
  int pkg;
  int ground;
  const char* idLine;
};

class Phi87lp : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::Lp76xChip> Seat(const char* part, int row, int pkg) {
    auto chip = part ? sim::MakeLp76x(part) : nullptr;
    if (chip) prog->SeatChip(chip);
    fake.chipParams = {{"len=", 2048}, {"pkg=", pkg}};
    Choose({"PHI87LP", row, std::string("PHILIPS: ") + (part ? part : "P87LPC762")}, nullptr);
    return chip;
  }
};

class Phi87lpRoundTrip : public Phi87lp, public ::testing::WithParamInterface<Lp76xCase> {};

TEST_P(Phi87lpRoundTrip, BlankWriteVerifyReadConfigAndId) {
  const Lp76xCase& c = GetParam();
  Connect(c.model);
  auto chip = Seat(c.part, c.row, c.pkg);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.TypeIndex, c.chosenRow);
  EXPECT_EQ(gApp.InfoRecord[5], c.ground);
  EXPECT_EQ(gApp.CodeLastAddress, 2047);

  runner.BlankClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  Pattern(2048);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  chip->code[2045] ^= 0x01;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 2045u);
  // A programmed chip is not blank: the first programmed cell and its byte.
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 0u);
  EXPECT_EQ(gLink.FailByte, chip->code[0]);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2048, 0);
  runner.ReadClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));

  gApp.OptionValues[0] = 0x00F8;
  gApp.OptionValues[128] = 2;
  runner.ConfigClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->config[0], 0xFA);
  EXPECT_EQ(chip->config[1], 0x00);
  gApp.OptionValues[0] = gApp.OptionValues[128] = 0;
  runner.ReadConfigClick();
  EXPECT_TRUE(Logged("Config =00fa")) << LastLine();
  EXPECT_EQ(gApp.OptionValues[128], 2);
  runner.IdClick();
  EXPECT_TRUE(Logged(c.idLine)) << LastLine();
  ExpectClean();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(Parts, Phi87lpRoundTrip,
                         ::testing::Values(Lp76xCase{"P87LPC761", 2, 6200, 2, 16, 10, "15,61"},
                                           Lp76xCase{"P87LPC762", 3, 6200, 3, 20, 10, "15,62"},
                                           Lp76xCase{"P87LPC761", 2, 6300, 12, 16, 16, "15,61"},
                                           Lp76xCase{"P87LPC762", 3, 6300, 13, 20, 15, "15,62"}),
                         [](const auto& info) {
                           return std::string(info.param.part) + "_" +
                                  std::to_string(info.param.model);
                         });

// The oscillator radio sets its own three bits: a choice of 4 over a word read back as 0xFF
// gives 0xFC, where an OR would leave 0xFF and could never clear a bit.
TEST_F(Phi87lp, OscillatorRadioOwnsItsBits) {
  auto chip = Seat("P87LPC762", 3, 20);
  gApp.OptionValues[0] = 0xFFFF;
  gApp.OptionValues[128] = 4;
  runner.ConfigClick();
  EXPECT_EQ(chip->config[0], 0xFC);
  EXPECT_EQ(chip->config[1], 0xFF);
  ExpectClean();
}

// No chip answers with the maker code (straight through the dispatcher, past the contact check):
// the socket rows say "Type error", the header row "No chip find", also for Read ID.
TEST_F(Phi87lp, ChipCheckRefusesWithoutTheMakerCode) {
  Seat(nullptr, 3, 20);
  Pattern(2048);
  EXPECT_EQ(Call(kOpWrite), 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  Choose({"PHI87LP", 10, "PHILIPS: P87LPC762(ISP)"}, nullptr);
  EXPECT_EQ(Call(kOpRead), 1);
  EXPECT_TRUE(Logged("No chip find!")) << LastLine();
  fake.log.clear();
  EXPECT_EQ(Call(kOpReadId), 1);
  EXPECT_TRUE(Logged("No chip find!")) << LastLine();
  EXPECT_TRUE(std::any_of(fake.events.begin(), fake.events.end(), [](const std::string& e) {
    return e.rfind("isp:1----Clock to pin16(P0.5)", 0) == 0;
  }));
  EXPECT_EQ(gApp.InfoRecord[6], 0);
}

}  // namespace phi87lp_test
}  // namespace zelvar::test
