// "SM8951" and "SM89516" on the simulated programmer with no chip seated (their models' round
// trips are in mode_flash51_test): the sizes of the SM8954C and SM8958C rows, the erase steps by
// type, and the write pulse from the "Delay" radio, none beyond its items.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"

namespace zelvar::test {
namespace sm89_test {

std::size_t CountOp(const sim::Recorder& r, std::uint8_t op) {
  return static_cast<std::size_t>(std::count_if(r.transcript.begin(), r.transcript.end(),
                                                [op](const auto& c) { return c.op() == op; }));
}

TEST_F(Mcs51Fixture, Sm8951RowsCoverTheirNamedSizeAndEraseByType) {
  for (const auto& [row, last, steps] : {std::tuple{1, 4095, 8}, {3, 16383, 16}, {4, 32767, 32}}) {
    Choose({"SM8951", row, "SYNCMOS: SM8951"}, nullptr);
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(gApp.CodeLastAddress, last);
    prog->record.transcript.clear();
    EXPECT_EQ(Call(kOpErase), 0);
    EXPECT_EQ(CountOp(prog->record, 26), static_cast<std::size_t>(steps) * 24) << row;
    EXPECT_EQ(prog->VccPin(), 0);
    EXPECT_EQ(prog->VppPin(), 0);
  }
}

TEST_F(Mcs51Fixture, Sm89516WritePulseFromTheDelayRadio) {
  Choose({"SM89516", 1, "SYNCMOS: SM89516"}, nullptr);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  for (const auto& [choice, pulses] : {std::pair{1, 4096}, {3, 0}}) {
    gApp.OptionValues[128] = choice;
    prog->record.transcript.clear();
    EXPECT_EQ(Call(kOpWrite), 0);
    EXPECT_EQ(CountOp(prog->record, 29), static_cast<std::size_t>(pulses)) << choice;
    EXPECT_EQ(prog->VppPin(), 0);
  }
}

}  // namespace sm89_test
}  // namespace zelvar::test
