// One set's work, then another chip chosen in the same run: nothing the first set left behind in
// the programmer or the link may stop the second set's first pass (a PIC12F675 read and written,
// then Go with Write and Verify on an AT24C02 must write it).
#include <algorithm>

#include "pic/PicFixture.h"
#include "sim/chips/I2cEeprom.h"

namespace zelvar::test {
namespace set_switch_test {

struct PicCase {
  const char* key;
  int pkg;
  const char* design;
};

class SetSwitchTest : public PicFixture, public ::testing::WithParamInterface<PicCase> {};

TEST_P(SetSwitchTest, TheFirstGoOnAnI2cEepromAfterPicWorkWritesIt) {
  const PicCase& c = GetParam();
  auto pic =
      ChoosePic({"PIC12F675",
                 c.key,
                 1,
                 {{"fla=", 1024}, {"ee=", 128}, {"dly=", 3}, {"pkg=", c.pkg}, {"vcc=", 5000}},
                 c.design});
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  Image(1023);
  for (const int op : {kOpWrite, kOpVerify, kOpRead, kOpReadConfig}) {
    EXPECT_EQ(Click(op), 0) << op << " " << LastLine();
  }

  auto eeprom = sim::MakeI2cEeprom("24C02");
  fake.chipParams.clear();
  gApp.ExpectedId = {};
  Choose("P24", 2, eeprom, "ATMEL: AT24C02", "i2c24c");
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  Pattern(256, 0x33);
  gApp.GoOpCodes = {kOpWrite, kOpVerify};
  ui.GoGroup.Clear();
  for (int i = 0; i < 2; ++i) {
    ui.GoGroup.Add("op");
    ui.GoGroup.SetChecked(i, true);
  }
  runner.GoClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(
      std::equal(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 256, eeprom->cells.begin()));
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(PicSets, SetSwitchTest,
                         ::testing::Values(PicCase{"PIC12F6XX", 8, "pic16dip08"},
                                           PicCase{"PIC12F", 8, "pic16dip08"}),
                         [](const auto& info) { return std::string(info.param.key); });

}  // namespace set_switch_test
}  // namespace zelvar::test
