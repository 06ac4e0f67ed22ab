#include <gtest/gtest.h>

#include <memory>

#include "link/ChipId.h"
#include "link/LinkFault.h"
#include "support/SimFixture.h"

namespace zelvar {
namespace read_chip_id_test {

// The read logic of an EPROM design: command 3 returns the data bus of a part in its signature
// mode (A9 at 11.5 to 13 V, powered and grounded), where A0 and A1 choose the byte; any other
// state reads as an erased byte.
class SignatureDesign : public sim::Design {
 public:
  std::string Name() const override { return "signature"; }
  int CommandLength(std::uint8_t op) const override { return op == 3 ? 1 : 0; }
  bool Execute(sim::Programmer& p, const sim::Command& c) override {
    if (c.op() != 3) return false;
    const int a9 = p.PinMillivolts(30);
    const bool signature =
        a9 >= 11500 && a9 <= 13000 && p.VccPin() == 36 && p.IsGround(20) && p.port[2] == 0xFF;
    std::uint8_t b = 0xFF;
    if (signature) b = p.ReadLevel(15) == 1 ? 0x00 : p.ReadLevel(16) == 1 ? 0x8C : 0x1E;
    p.PushReplyByte(b);
    return true;
  }
};

class ReadChipId16Test : public test::SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    prog->SetDesign(std::make_unique<SignatureDesign>());
  }
};

TEST_F(ReadChipId16Test, ReadsManufacturerAndDeviceAndPowersDown) {
  EXPECT_EQ(ReadChipId16(), 0x8C1E);
  EXPECT_EQ(fake.LogTexts(), std::vector<std::string>{"1e,8c"});
  EXPECT_TRUE(prog->record.protocolErrors.empty());
  EXPECT_EQ(prog->VppPin(), 0);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(gLink.ScratchBuffer[2], 0x00);  // the third read, with A1 high
}

TEST_F(ReadChipId16Test, AFailedReplyReadIsALinkFault) {
  prog->faults.failNextRead = true;
  EXPECT_THROW(ReadChipId16(), LinkFault);
  EXPECT_EQ(gLink.StatusWord, 1);
}

}  // namespace read_chip_id_test
}  // namespace zelvar
