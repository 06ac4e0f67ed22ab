// "MSU2958" on the simulated programmer with no chip seated (the models' round trips are in
// mode_flash51_test): the erase time from the radio, none beyond its items, and the supplies off
// after the erase.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"

namespace zelvar::test {
namespace msu2958_test {

TEST_F(Mcs51Fixture, Msu2958EraseTimeFromTheRadioWithSuppliesOffAfter) {
  Choose({"MSU2958", 8, "MSU: MSU2958"}, nullptr);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 32767);
  for (const auto& [choice, waits] : {std::pair{0, 5}, {1, 10}, {2, 20}, {3, 0}}) {
    gApp.OptionValues[128] = choice;
    prog->record.transcript.clear();
    EXPECT_EQ(Call(kOpErase), 0) << choice;
    const auto longWaits =
        std::count_if(prog->record.transcript.begin(), prog->record.transcript.end(),
                      [](const auto& c) { return c.op() == 28; });
    EXPECT_EQ(longWaits, waits) << choice;
    EXPECT_EQ(prog->VccPin(), 0);
    EXPECT_EQ(prog->VppPin(), 0);
  }
}

}  // namespace msu2958_test
}  // namespace zelvar::test
