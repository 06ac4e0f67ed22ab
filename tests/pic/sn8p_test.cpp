// The SN8P sets on the simulated programmer with the SN8P1602 and SN8P2602A models: the round
// trip of each modelled row (byte-by-byte and word-at-once programming on "SN8P1602"), the lock
// option in the last code byte and its refusal without a code size, the doubled-bit nibble
// encoding and the ID read of "SN8P2602".
#include "sim/chips/Sn8p.h"

#include <algorithm>
#include <random>

#include "algorithms/pic/SN8P1602.h"
#include "algorithms/pic/SN8P2602.h"
#include "memory/ChipFixture.h"

namespace zelvar::test {
namespace sn8p_test {

class Sn8pFixture : public ChipFixture {
 protected:
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  void RandomImage(std::uint32_t bytes, unsigned seed) {
    std::mt19937 gen(seed);
    for (std::uint32_t i = 0; i < bytes; ++i) gApp.CodeBuffer[i] = static_cast<std::uint8_t>(gen());
  }
};

struct Sn8p1602Case {
  const char* name;
  int hls;
};

class Sn8p1602RoundTrip : public Sn8pFixture, public ::testing::WithParamInterface<Sn8p1602Case> {};

TEST_P(Sn8p1602RoundTrip, BlankWriteVerifyRead) {
  const bool wordMode = GetParam().hls != 0;
  auto chip = std::make_shared<sim::Sn8p1602Chip>("SN8P1602", 1024, wordMode);
  fake.chipParams = {{"len=", 1024}, {"hls=", GetParam().hls}};
  Choose("SN8P1602", 1, chip, "SONIX: SN8P1602", "sn8p1602");
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 2047);

  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  RandomImage(2048, 11);
  gApp.CodeBuffer[2047] |= 0x08;
  gApp.OptionValues[128] = 1;  // "Lock(加密)"
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(gApp.CodeBuffer[2047] & 0x08, 0);
  for (std::uint32_t i = 0; i < 2048; ++i) ASSERT_EQ(chip->code[i], gApp.CodeBuffer[i]) << i;
  EXPECT_EQ(chip->shortPulses, 0);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();

  // A byte of the top block that did not take fails the verify at its own address.
  const std::uint8_t kept = chip->code[2000];
  chip->code[2000] = static_cast<std::uint8_t>(kept & 0x7F);
  if (chip->code[2000] != kept) {
    EXPECT_EQ(Click(kOpVerify), 1);
    EXPECT_EQ(gLink.FailAddress, 2000u);
    EXPECT_EQ(gLink.FailByte, chip->code[2000]);
  }
  chip->code[2000] = kept;

  const std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2048);
  std::fill_n(gApp.CodeBuffer.begin(), 2048, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress,
            static_cast<std::uint32_t>(
                std::find_if(image.begin(), image.end(), [](std::uint8_t b) { return b != 0xFF; }) -
                image.begin()));
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Modes, Sn8p1602RoundTrip,
                         ::testing::Values(Sn8p1602Case{"ByteByByte", 0},
                                           Sn8p1602Case{"WordAtOnce", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A byte-by-byte write on a chip that takes a word at once (or the reverse) does not produce
// the image: the programming mode matters.
TEST_F(Sn8pFixture, Sn8p1602ModeMismatchFailsVerify) {
  auto chip = std::make_shared<sim::Sn8p1602Chip>("SN8P1602", 1024, true);
  fake.chipParams = {{"len=", 1024}};
  Choose("SN8P1602", 1, chip, "SONIX: SN8P1602", "sn8p1602");
  RandomImage(2048, 5);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_FALSE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
}

TEST_F(Sn8pFixture, LockBitWithoutCodeSizeIsRefused) {
  struct Case {
    const char* key;
    int row;
    const char* design;
  };
  for (const Case& c : {Case{"SN8P1602", 1, "sn8p1602"}, Case{"SN8P2602", 1, "sn8p2602a"}}) {
    SCOPED_TRACE(c.key);
    fake.chipParams = {};  // no "len="
    const bool serial = c.design == std::string("sn8p2602a");
    Choose(c.key, c.row, sim::MakeSn8p(serial ? "SN8P2602A" : "SN8P1602"), "SONIX: SN8P", c.design);
    std::fill_n(gApp.CodeBuffer.begin(), 16, 0x5A);
    gApp.OptionValues[128] = 0;
    EXPECT_EQ(Run(kOpWrite), 1);
    EXPECT_TRUE(std::all_of(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 16,
                            [](std::uint8_t b) { return b == 0x5A; }));
    EXPECT_EQ(prog->VppPin(), 0);
  }
}

TEST(Sn8pEncoding, LockBitAndDoubledNibbles) {
  std::uint8_t buf[4] = {0xFF, 0xFF, 0xF7, 0x00};
  EXPECT_TRUE(pic::SetLockBit(buf, 3, 0));  // "Unlock(不加密)" sets bit 3
  EXPECT_EQ(buf[3], 0x08);
  EXPECT_TRUE(pic::SetLockBit(buf, 2, 1));  // "Lock(加密)" clears it
  EXPECT_EQ(buf[2], 0xF7);
  EXPECT_FALSE(pic::SetLockBit(buf, -1, 1));
  EXPECT_FALSE(pic::SetLockBit(buf, 0, 1));
  struct Case {
    std::uint8_t nibble, byte;
  };
  for (const Case& c : {Case{0x0, 0x00}, Case{0x1, 0x03}, Case{0x2, 0x0C}, Case{0x4, 0x30},
                        Case{0x8, 0xC0}, Case{0xA, 0xCC}, Case{0x5, 0x33}, Case{0xF, 0xFF}})
    EXPECT_EQ(pic::SN8P2602::DoubledNibble(c.nibble), c.byte) << int{c.nibble};
}

TEST_F(Sn8pFixture, Sn8p2602RoundTripAndId) {
  auto model = sim::MakeSn8p("SN8P2602A");
  auto* chip = static_cast<sim::Sn8p2602Chip*>(model.get());
  fake.chipParams = {{"len=", 1024}};
  Choose("SN8P2602", 1, model, "SONIX: SN8P2602A", "sn8p2602a");
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.InfoRecord[1], 2048);

  EXPECT_EQ(Click(kOpReadId), 0) << LastLine();
  EXPECT_TRUE(Logged("2602"));
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  RandomImage(2048, 3);
  gApp.OptionValues[128] = 0;  // "Unlock(不加密)"
  gApp.CodeBuffer[2047] &= 0xF7;
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(gApp.CodeBuffer[2047] & 0x08, 0x08);
  // The buffer holds each word high byte first.
  for (std::uint32_t w = 0; w < 1024; ++w)
    ASSERT_EQ(chip->code[w], gApp.CodeBuffer[2 * w] << 8 | gApp.CodeBuffer[2 * w + 1]) << w;
  EXPECT_EQ(chip->unequalHalves, 0);
  EXPECT_EQ(chip->shortPulses, 0);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[1000] &= 0x7FFF;
  if (chip->code[1000] != (gApp.CodeBuffer[2000] << 8 | gApp.CodeBuffer[2001])) {
    EXPECT_EQ(Click(kOpVerify), 1);
    EXPECT_EQ(gLink.FailAddress, 2000u);
  }
  const std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2048);
  std::fill_n(gApp.CodeBuffer.begin(), 2048, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t w = 0; w < 1024; ++w) {
    ASSERT_EQ(gApp.CodeBuffer[2 * w] << 8 | gApp.CodeBuffer[2 * w + 1], chip->code[w]) << w;
  }
  EXPECT_EQ(Click(kOpBlank), 1);
  ExpectNoHazard();
}

}  // namespace sn8p_test
}  // namespace zelvar::test
