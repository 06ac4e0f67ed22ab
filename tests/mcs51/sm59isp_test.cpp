// The SM59ISP set on the simulated programmer with the SM59R16A2 entry recogniser: Start ISP
// through the runner, Erase, and the operations the set refuses.
#include "Mcs51Fixture.h"
#include "sim/chips/Sm59.h"

namespace zelvar::test {
namespace sm59isp_test {

class Sm59isp : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::Sm59Chip> Seat(std::map<std::string, int> params) {
    auto chip = sim::MakeSm59Isp("SM59R16A2");
    fake.chipParams = std::move(params);
    Choose({"SM59ISP", 1, "SYNCMOS: SM59R16A2"}, chip);
    return chip;
  }
};

// The entry's reset and waits (queued ticks) reach the chip, which takes the code; the supply is
// on only while the entry runs.
TEST_F(Sm59isp, StartIspPutsTheChipIntoItsIspMode) {
  auto chip = Seat({{"len=", 65536}});
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.InfoRecord[6], 0);
  runner.IdClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->entries, 1);
  EXPECT_FALSE(chip->ispMode);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

// Erase powers the chip, hands it the entry code and the erase bytes on the strobe, all while
// powered, and ends with the supply off. (The chip's erase itself is not modelled.)
TEST_F(Sm59isp, EraseReachesThePoweredChip) {
  auto chip = Seat({{"len=", 65536}});
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(Call(kOpErase), 0) << LastLine();
  ASSERT_GE(chip->strobed.size(), 7u);
  const std::vector<std::uint8_t> code(chip->strobed.begin(), chip->strobed.begin() + 6);
  EXPECT_EQ(code, (std::vector<std::uint8_t>{0x53, 0x4D, 0x35, 0x39, 0x49, 0x53}));
  EXPECT_EQ(chip->strobed.back(), 0xFF);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

// Read and Write move no bytes: refused with a failure. A line without "len=" is refused at
// set-up rather than given a 4 GiB range.
TEST_F(Sm59isp, RefusesWhatItCannotDo) {
  Seat({{"len=", 65536}});
  EXPECT_EQ(Call(kOpRead), 1);
  EXPECT_TRUE(Logged("Read and Write are not offered")) << LastLine();
  fake.log.clear();
  EXPECT_EQ(Call(kOpWrite), 1);
  EXPECT_TRUE(Logged("Read and Write are not offered")) << LastLine();
  Seat({});
  EXPECT_TRUE(Logged("No chip size (len=)")) << LastLine();
  EXPECT_EQ(gApp.InfoRecord[0], 0);
  EXPECT_EQ(Call(kOpReadId), 1);
}

}  // namespace sm59isp_test
}  // namespace zelvar::test
