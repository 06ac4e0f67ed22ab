// "STC516X2" on the simulated programmer with the STC89LE5xAD models: the round trip of each row
// with the latched address, the configuration bytes through grid and radio, and the identity read
// before every write.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"
#include "sim/chips/PinMode51.h"

namespace zelvar::test {
namespace stc516x2_test {

class Stc516x2 : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::PinMode51Chip> Place(int row, const char* part,
                                            std::array<std::uint8_t, 4> id = {}) {
    auto chip = sim::MakePinMode51(part);
    for (std::uint32_t a = 0; a < chip->cells.size(); a += 97) chip->cells[a] = 0x12;
    Choose({"STC516X2", row, std::string("STC: ") + part, id}, chip);
    return chip;
  }
};

struct LeRow {
  int row;
  const char* part;
  std::uint32_t bytes;
  const char* id;
};

class Stc516x2RoundTrip : public Stc516x2, public ::testing::WithParamInterface<LeRow> {};

TEST_P(Stc516x2RoundTrip, ProgramsVerifiesAndReadsThroughTheLatchedAddress) {
  const LeRow& r = GetParam();
  auto chip = Place(r.row, r.part);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.bytes - 1));
  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  ExpectEndState("Erase");
  Pattern(r.bytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectEndState("Write");
  EXPECT_TRUE(Logged(std::string("厂家ID: ") + r.id)) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.CodeBuffer[r.bytes - 1] ^= 0x01;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.bytes - 1);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.bytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectEndState("Read");
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(Rows, Stc516x2RoundTrip,
                         ::testing::Values(LeRow{1, "STC89LE51AD", 0x1000, "d0,f1"},
                                           LeRow{2, "STC89LE52AD", 0x2000, "d0,f2"},
                                           LeRow{3, "STC89LE54AD", 0x4000, "d0,f3"},
                                           LeRow{4, "STC89LE58AD", 0x8000, "d0,f4"}),
                         [](const auto& info) { return std::string(info.param.part); });

// The 64 KB rows reach every address line: row 5 sets up the LE516AD's size, and the STC89LE516X2
// on row 6 is erased, written and read back whole (one pass each: the smaller rows above verify).
TEST_F(Stc516x2, SixtyFourKilobyteRowsReachAllSixteenAddressLines) {
  Place(5, "STC89LE516AD");
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 0xFFFF);
  auto chip = Place(6, "STC89LE516X2");
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 0xFFFF);
  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectEndState("Erase");
  for (std::uint32_t a = 0; a < 0x10000; ++a) {
    gApp.CodeBuffer[a] = static_cast<std::uint8_t>(a * 7 + (a >> 8) + (a >> 13));
  }
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectEndState("Write");
  EXPECT_TRUE(Logged("厂家ID: d0,f6")) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x10000, 0);
  runner.ReadClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectEndState("Read");
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  ExpectClean();
}

// The low nibble of byte 0 from the grid and the high nibble from the radio; both come back.
TEST_F(Stc516x2, ConfigurationBytesTravelThroughGridAndRadio) {
  auto chip = Place(1, "STC89LE52AD");
  runner.EraseClick();
  gApp.OptionValues[0] = 0x05;
  gApp.OptionValues[1] = 0x04;
  gApp.OptionValues[128] = 3;
  runner.ConfigClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->config[0], 0x35);
  EXPECT_EQ(chip->config[1], 0x04);
  gApp.OptionValues[0] = gApp.OptionValues[1] = gApp.OptionValues[128] = 0;
  EXPECT_EQ(Call(kOpReadConfig), 0);
  EXPECT_EQ(gApp.OptionValues[0], 0x35);
  EXPECT_EQ(gApp.OptionValues[1], 0x04);
  EXPECT_EQ(gApp.OptionValues[128], 3);
  ExpectClean();
}

TEST_F(Stc516x2, IdentityOtherThanTheLinesRefusesTheWrite) {
  auto chip = Place(1, "STC89LE52AD", {0xD0, 0xF6, 0, 0});
  Pattern(0x1000);
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  EXPECT_EQ(chip->writes, 0);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

}  // namespace stc516x2_test
}  // namespace zelvar::test
