// A catalogue line whose size the set refuses: the set-up says so, and the buffer keeps the last
// address of the chip chosen before (a size past the 16 MiB buffer would let views, files and
// checksums run off its end).
#include "memory/ChipFixture.h"
#include "sim/chips/SpiMemory.h"

namespace zelvar::test {
namespace refused_row_test {

using RefusedRowTest = ChipFixture;

TEST_F(RefusedRowTest, ARefusedSizeLeavesTheLastAddressOfTheChipBefore) {
  auto chip = sim::MakeSpiMemory("AT25F512");
  fake.chipParams = {{"len=", 65536}, {"pag=", 128}, {"dly=", 10}, {"era=", 20}, {"vcc=", 3300}};
  Choose("ACTRANS25", 2, chip, "ATMEL: AT25F512A", "at25spi");
  ASSERT_EQ(gApp.CodeLastAddress, 0xFFFF);

  for (const int len : {131030300, 0x2000000, 3000}) {
    SCOPED_TRACE(len);
    fake.chipParams["len="] = len;
    runner.SetupChosenChip();
    EXPECT_EQ(gApp.CodeLastAddress, 0xFFFF);
    EXPECT_EQ(Click(kOpRead), 1);
  }
  fake.chipParams["len="] = 0x1000000;
  runner.SetupChosenChip();
  EXPECT_EQ(gApp.CodeLastAddress, 0xFFFFFF);
}

}  // namespace refused_row_test
}  // namespace zelvar::test
