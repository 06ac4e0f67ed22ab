// "HTOTP" on the simulated programmer with the HT48R05A-1 model in the standard seat: the ".OTP"
// image round trip (a chip read into an image, the image kept and loaded again, written to a
// blank chip and verified), Blank, Security and Read ID; refused and damaged images; the image
// layout pinned byte by byte; the failing byte named by Blank, Verify and Security.
#include "algorithms/pic/HTOTP.h"

#include <algorithm>
#include <random>

#include "memory/ChipFixture.h"
#include "sim/chips/Ht48Otp.h"

namespace zelvar::test {
namespace htotp_test {

constexpr std::uint32_t kWords = 512, kCode = 2 * kWords;
constexpr std::uint32_t kTrailerAt = pic::kOtpCodeData + kCode;  // E
constexpr std::uint32_t kOptionAt = kTrailerAt + 8;

class HtotpFixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::Ht48OtpChip> ChooseHt48() {
    auto chip = sim::MakeHt48Otp("HT48R05A-1");
    fake.chipParams = {{"fla=", static_cast<int>(kWords)}, {"gnd=", 10}, {"vcc=", 5000}};
    prog->PlaceChip(chip, 3);
    fake.chipTitle = gApp.ChipTitle = "HOLTEK: HT48R05A-1(18DIP)";
    gApp.AlgorithmKey = "HTOTP";
    gApp.TypeIndex = 1;
    gApp.CurrentDispatcher = DispatcherForKey("HTOTP");
    runner.SetupChosenChip();
    EXPECT_EQ(prog->loadedDesign, "HoltekStd");
    return chip;
  }
  static void Fill(sim::Ht48OtpChip& chip, unsigned seed) {
    std::mt19937 gen(seed);
    for (auto& w : chip.code) w = static_cast<std::uint16_t>(gen() & 0x3FFF);
    for (std::size_t i = 1; i < 16; ++i)
      chip.option[i] = static_cast<std::uint16_t>(gen() & 0x3FFF);
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
};

TEST_F(HtotpFixture, ImageRoundTripToABlankChip) {
  auto source = ChooseHt48();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(kCode - 1));
  Fill(*source, 9);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();

  // The image Read builds: header length 45, code record at 48, trailer where its length says.
  const auto& b = gApp.CodeBuffer;
  EXPECT_EQ(b[0], 0xC0);
  EXPECT_EQ(b[1] | b[2] << 8, 45);
  EXPECT_EQ(b[48], 'e');
  EXPECT_EQ(b[49] | b[50] << 8, static_cast<int>(kCode + 5));
  EXPECT_EQ(b[kTrailerAt], 0xDC);
  EXPECT_EQ(b[kTrailerAt + 1], 'e');
  EXPECT_EQ(b[kTrailerAt + 2] | b[kTrailerAt + 3] << 8, 37);
  for (std::uint32_t w = 0; w < kWords; ++w) {
    ASSERT_EQ(b[55 + 2 * w] | b[56 + 2 * w] << 8, source->code[w]) << w;
  }
  for (std::uint32_t i = 0; i < 32; ++i)
    EXPECT_EQ(gApp.OptionValues[64 + i], source->option[i]) << i;
  const auto parsed = pic::ParseOtpImage(b.data(), b.size());
  EXPECT_TRUE(parsed.laidOut);
  EXPECT_EQ(parsed.codeData, 55u);
  EXPECT_EQ(parsed.optionData, kOptionAt);

  // Kept as a file and loaded again into a fresh buffer.
  const std::vector<std::uint8_t> file(b.begin(), b.begin() + kOptionAt + 64);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.end(), 0xFF);
  std::copy(file.begin(), file.end(), gApp.CodeBuffer.begin());

  auto blank = ChooseHt48();
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(blank->code, source->code);
  EXPECT_EQ(blank->option[0], 0);  // the first option word is not written
  for (std::size_t i = 1; i < 16; ++i) EXPECT_EQ(blank->option[i], source->option[i]) << i;
  EXPECT_EQ(blank->shortPulses, 0);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();

  // Failures name the image byte and the byte read.
  blank->code[kWords - 1] |= 0x0100;
  if (blank->code[kWords - 1] != source->code[kWords - 1]) {
    EXPECT_EQ(Click(kOpVerify), 1);
    EXPECT_EQ(gLink.FailAddress, 55 + kCode - 1);
    EXPECT_EQ(gLink.FailByte, blank->code[kWords - 1] >> 8);
  }
  blank->code[kWords - 1] = source->code[kWords - 1];
  blank->option[3] |= 0x2000;
  if (blank->option[3] != source->option[3]) {
    EXPECT_EQ(Click(kOpVerify), 1);
    EXPECT_EQ(gLink.FailAddress, kOptionAt + 7);
  }
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, kOptionAt + 2 + (blank->option[1] & 0xFF ? 0 : 1));
  ExpectNoHazard();
}

TEST_F(HtotpFixture, BlankSecurityAndId) {
  auto chip = ChooseHt48();
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  chip->code[100] = 0x0040;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 55u + 200);
  EXPECT_EQ(gLink.FailByte, 0x40);
  chip->code[100] = 0;

  EXPECT_EQ(Click(kOpReadId), 0) << LastLine();
  EXPECT_TRUE(Logged("ad OK"));
  EXPECT_EQ(Click(kOpLock), 0) << LastLine();
  EXPECT_EQ(chip->option[0], 1);
  EXPECT_TRUE(Logged("Lock OK"));
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, kOptionAt);
  EXPECT_EQ(gLink.FailByte, 1);
  ExpectNoHazard();
}

// An image with bits above the 14-bit words, in code and options: Write leaves them out and
// Verify does not compare them, so a written image verifies.
TEST_F(HtotpFixture, WordsWiderThanFourteenBitsVerifyAsWritten) {
  auto chip = ChooseHt48();
  auto& b = gApp.CodeBuffer;
  pic::WriteOtpHeader(b.data(), kCode);
  for (std::uint32_t i = 0; i < kCode; ++i)
    b[pic::kOtpCodeData + i] = static_cast<std::uint8_t>(i * 5 | 0xC0);
  const std::uint32_t option = pic::WriteOtpTrailer(b.data(), kCode);
  ASSERT_EQ(option, kOptionAt);
  for (std::uint32_t i = 0; i < pic::kOtpOptionBytes; ++i)
    b[option + i] = static_cast<std::uint8_t>(0xE1 + i);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->code[1], (b[pic::kOtpCodeData + 2] | b[pic::kOtpCodeData + 3] << 8) & 0x3FFF);
  EXPECT_EQ(chip->option[1], (b[option + 2] | b[option + 3] << 8) & 0x3FFF);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  ExpectNoHazard();
}

// Images Write and Verify refuse before any supply goes on, the chip untouched.
TEST_F(HtotpFixture, DamagedImagesAreRefused) {
  auto chip = ChooseHt48();
  Fill(*chip, 4);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  const std::vector<std::uint8_t> good(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2048);
  auto blank = ChooseHt48();
  struct Case {
    const char* what;
    std::uint32_t at;
    std::uint8_t value;
    const char* box;
  };
  const Case cases[] = {
      {"not an image", 0, 0x00, "not .OTP"},
      {"no code record", 48, 'f', "not .OTP"},
      {"no option record", kTrailerAt + 1, 0, "not .OTP"},
      // A code record one word short: the trailer would be programmed.
      {"short code record", 49, static_cast<std::uint8_t>((kCode + 3) & 0xFF), "shorter"},
      {"short option record", kTrailerAt + 2, 36, "shorter"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::copy(good.begin(), good.end(), gApp.CodeBuffer.begin());
    gApp.CodeBuffer[c.at] = c.value;
    if (std::string(c.what) == "short code record") {
      // Move the option record to where the shorter length puts it.
      const std::uint32_t from = kTrailerAt + 1, to = kTrailerAt - 1;
      std::copy(good.begin() + from, good.begin() + from + 7 + 64, gApp.CodeBuffer.begin() + to);
    }
    for (int op : {kOpWrite, kOpVerify}) {
      fake.boxes.clear();
      EXPECT_EQ(Click(op), 1) << op;
      ASSERT_FALSE(fake.boxes.empty()) << op;
      EXPECT_NE(fake.boxes.back().find(c.box), std::string::npos) << fake.boxes.back();
    }
    EXPECT_TRUE(std::all_of(blank->code.begin(), blank->code.end(), [](auto w) { return w == 0; }));
  }
  ExpectNoHazard();
}

TEST(HtotpImage, LayoutFields) {
  std::vector<std::uint8_t> im(200, 0x77);
  // Header length 2, code record at 5 with 4 data bytes from word 0x10, option record at 16 with
  // 6 data bytes from word 0x20.
  const std::uint8_t head[] = {0xC0, 2, 0, 0x11, 0x22, 'e', 9,  0, 0x10, 0, 0, 0,
                               1,    2, 3, 4,    0xDC, 'e', 11, 0, 0x20, 0, 0, 0};
  std::copy(std::begin(head), std::end(head), im.begin());
  const auto r = pic::ParseOtpImage(im.data(), im.size());
  ASSERT_TRUE(r.laidOut);
  EXPECT_EQ(r.codeStart, 0x10u);
  EXPECT_EQ(r.codeEnd, 0x14u);
  EXPECT_EQ(r.codeData, 12u);
  EXPECT_EQ(r.codeBytes, 4);
  EXPECT_EQ(r.optionStart, 0x20u);
  EXPECT_EQ(r.optionEnd, 0x26u);
  EXPECT_EQ(r.optionData, 24u);
  EXPECT_EQ(r.optionBytes, 6);
  im[17] = 'x';
  EXPECT_FALSE(pic::ParseOtpImage(im.data(), im.size()).laidOut);

  // What Read writes for a size that is not a whole number of 32-byte blocks still parses with
  // the option record where the trailer is.
  std::vector<std::uint8_t> read(400, 0x55);
  pic::WriteOtpHeader(read.data(), 40);
  const std::uint32_t opt = pic::WriteOtpTrailer(read.data(), 40);
  const auto back = pic::ParseOtpImage(read.data(), read.size());
  ASSERT_TRUE(back.laidOut);
  EXPECT_EQ(back.optionData, opt);
  EXPECT_EQ(back.codeBytes, 40);
  EXPECT_EQ(back.optionBytes, 32);
}

}  // namespace htotp_test
}  // namespace zelvar::test
