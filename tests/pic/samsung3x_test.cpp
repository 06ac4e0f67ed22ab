// "SAMSUNG3X" on the simulated programmer with the S3F9 models in the 20-, 16- and 8-pin rows:
// Erase, Blank, Write, Verify, Read and Protect through the runner, checked in the model's flash
// and protection; the protection codes; the package pictures by "pkg=".
#include "algorithms/pic/SAMSUNG3X.h"

#include <algorithm>
#include <random>

#include "memory/ChipFixture.h"
#include "sim/chips/S3f9.h"

namespace zelvar::test {
namespace samsung3x_test {

struct SamsungLine {
  const char* part;
  int row, pkg, bytes;
};

class SamsungFixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::S3f9Chip> ChooseS3f9(const SamsungLine& l) {
    auto chip = sim::MakeS3f9(l.part);
    fake.chipParams = {{"len=", l.bytes}, {"pkg=", l.pkg}};
    prog->PlaceChip(chip, 11);
    fake.chipTitle = gApp.ChipTitle = std::string("SAMSUNG: ") + l.part;
    gApp.AlgorithmKey = "SAMSUNG3X";
    gApp.TypeIndex = l.row;
    gApp.CurrentDispatcher = DispatcherForKey("SAMSUNG3X");
    runner.SetupChosenChip();
    EXPECT_EQ(prog->loadedDesign, "samsung3f20pin");
    return chip;
  }
};

class SamsungRoundTrip : public SamsungFixture,
                         public ::testing::WithParamInterface<SamsungLine> {};

TEST_P(SamsungRoundTrip, EraseBlankWriteVerifyReadProtect) {
  const SamsungLine& l = GetParam();
  auto chip = ChooseS3f9(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto n = static_cast<std::uint32_t>(l.bytes);
  EXPECT_EQ(gApp.CodeLastAddress, l.bytes - 1);

  // A used chip: Erase makes it blank.
  chip->flash[0] = 0x12;
  chip->flash[n - 1] = 0x34;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);
  EXPECT_EQ(gLink.FailByte, 0x12);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->flash.begin(), chip->flash.end(), [](auto b) { return b == 0xFF; }));
  EXPECT_EQ(chip->abortedErases, 0);
  // The Erase click above ran Blank after the erase; its status is the one checked.

  std::mt19937 gen(n);
  for (std::uint32_t i = 0; i < n; ++i) gApp.CodeBuffer[i] = static_cast<std::uint8_t>(gen());
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->flash.begin(), chip->flash.end(), gApp.CodeBuffer.begin()));
  EXPECT_EQ(chip->busyEdges, 0);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  gApp.CodeBuffer[n - 3] ^= 0x10;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, n - 3);
  EXPECT_EQ(gLink.FailByte, chip->flash[n - 3]);
  std::fill_n(gApp.CodeBuffer.begin(), n, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->flash.begin(), chip->flash.end(), gApp.CodeBuffer.begin()));

  // Protect with Protect and LCD lock ticked; then No read hides the code from Verify.
  gApp.OptionValues[0] = 6;
  EXPECT_EQ(Click(kOpLock), 0) << LastLine();
  EXPECT_EQ(chip->protection, 6);
  gApp.OptionValues[0] = 1;
  EXPECT_EQ(Click(kOpLock), 0) << LastLine();
  EXPECT_EQ(chip->protection, 7);
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->protection, 0);
  // The Erase click above ran Blank after the erase; its status is the one checked.
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Rows, SamsungRoundTrip,
                         ::testing::Values(SamsungLine{"S3F9454", 1, 20, 4096},
                                           SamsungLine{"S3F9444", 2, 16, 4096},
                                           SamsungLine{"S3F9424", 3, 8, 2048}),
                         [](const auto& info) { return std::string(info.param.part); });

TEST(SamsungEncoding, ProtectCodes) {
  EXPECT_EQ(pic::SAMSUNG3X::ProtectCode(0), 0x3F);  // No read
  EXPECT_EQ(pic::SAMSUNG3X::ProtectCode(1), 0x3E);  // Protect
  EXPECT_EQ(pic::SAMSUNG3X::ProtectCode(2), 0x3D);  // LCD lock
}

TEST_F(SamsungFixture, PackagePictureByPkg) {
  struct Case {
    int pkg;
    const char* event;  // "" none
  };
  for (const Case& c :
       {Case{0, "isp:1----SCK"}, Case{16, "place:"}, Case{8, "place:"}, Case{20, ""}}) {
    SCOPED_TRACE(c.pkg);
    fake.events.clear();
    ChooseS3f9({"S3F9454", 1, c.pkg, 4096});
    const bool shown = std::any_of(fake.events.begin(), fake.events.end(), [](const auto& e) {
      return e.rfind("isp:", 0) == 0 || e.rfind("place:", 0) == 0;
    });
    EXPECT_EQ(shown, c.event[0] != '\0');
    if (c.event[0] != '\0') {
      EXPECT_TRUE(std::any_of(fake.events.begin(), fake.events.end(),
                              [&](const auto& e) { return e.rfind(c.event, 0) == 0; }));
    }
  }
}

// Write reads back what it wrote: a cell that keeps a 0 bit, or an in-system header with no chip
// on it (no contact check finds that), fails Write at the first byte that differs.
TEST_F(SamsungFixture, WriteFailsWhereTheBytesDidNotTake) {
  auto chip = ChooseS3f9({"S3F9424", 3, 8, 2048});
  for (std::uint32_t i = 0; i < 2048; ++i) gApp.CodeBuffer[i] = static_cast<std::uint8_t>(i * 7);
  chip->flash[300] = 0;
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_EQ(gLink.FailAddress, 300u);
  EXPECT_EQ(gLink.FailByte, 0);

  // The in-system row, nothing on the header.
  prog->PlaceChipAtBottom(nullptr);
  fake.chipParams = {{"len=", 4096}, {"pkg=", 0}};
  gApp.TypeIndex = 0;
  runner.SetupChosenChip();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(prog->loadedDesign, "samsung3isp");
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_EQ(Click(kOpVerify), 1);
  ExpectNoHazard();
}

// A failed Blank leaves StatusWord 1; the next Write starts from 0 and ends at 0.
TEST_F(SamsungFixture, NoStaleStatus) {
  auto chip = ChooseS3f9({"S3F9424", 3, 8, 256});
  chip->flash[5] = 0;
  EXPECT_EQ(Click(kOpBlank), 1);
  std::fill_n(gApp.CodeBuffer.begin(), 256, 0xFF);
  gApp.CodeBuffer[5] = 0;  // what the chip holds there: Write reads it back
  EXPECT_EQ(Click(kOpWrite), 0);
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(Click(kOpRead), 0);
  EXPECT_EQ(Click(kOpErase), 0);
}

}  // namespace samsung3x_test
}  // namespace zelvar::test
