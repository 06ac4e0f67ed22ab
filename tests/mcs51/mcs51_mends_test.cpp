// What the 8051 parallel sets do where they once went wrong: the package's VPP pin and contact
// mask, the lock byte's polarity, order and pulse width, a weak supply in a lock, the family's VCC
// default.
#include <gtest/gtest.h>

#include <vector>

#include "Mcs51Fixture.h"
#include "algorithms/frame/SetFrame.h"
#include "sim/chips/Mcs51.h"

namespace zelvar::test {
namespace mcs51_mends_test {

class Mcs51Mends : public Mcs51Fixture {
 protected:
  // Values written to programmer register `reg` since the records were cleared.
  std::vector<int> RegisterWrites(int reg) const {
    std::vector<int> v;
    for (const auto& c : prog->record.transcript) {
      if (c.op() == 14 && c.bytes[1] == reg) v.push_back(c.bytes[2]);
    }
    return v;
  }
  std::vector<int> DataBytes() const {
    std::vector<int> v;
    for (const auto& c : prog->record.transcript) {
      if (c.op() == 33) v.push_back(c.bytes[1]);
    }
    return v;
  }
};

TEST_F(Mcs51Mends, At89s8253PutsVppOnThePackagesPin) {
  Choose({"AT89S8253", 1, "ATMEL: AT89S8253*P44", {}}, nullptr);
  for (int op : {int{kOpErase}, int{kOpBlank}, int{kOpLock}, int{kOpReadId}}) {
    prog->record.Clear();
    Call(op);
    const std::vector<int> vpp = RegisterWrites(20);
    for (int pin : vpp) EXPECT_TRUE(pin == 0 || pin == 33) << op << ": " << pin;
    EXPECT_NE(std::count(vpp.begin(), vpp.end(), 33), 0) << op;
  }
}

TEST_F(Mcs51Mends, At89x8252ReportsThePackagesContactMask) {
  Choose({"AT89X8252", 2, "ATMEL: AT89LS8252*P44", {}}, nullptr);
  EXPECT_EQ(gApp.PinMask, SocketPins(1, 40, 10, 21, 32));
  Choose({"AT89X8252", 2, "ATMEL: AT89LS8252", {}}, nullptr);
  EXPECT_EQ(gApp.InfoRecord[6], 0x7FFFFFFF);
  EXPECT_EQ(gApp.InfoRecord[7], 511);
}

// Each lock byte programs one bit with a pulse within the part's 110 µs, bit 1 first.
TEST_F(Mcs51Mends, At89x8252LockBytesProgramWithZeroBitsInOrder) {
  auto chip = sim::MakeMcs51("AT89LS8252");
  Choose({"AT89X8252", 2, "ATMEL: AT89LS8252", {}}, chip);
  gApp.OptionValues[128] = 2;
  prog->record.Clear();
  EXPECT_EQ(Call(kOpLock), 0);
  EXPECT_EQ(DataBytes(), (std::vector<int>{0x7F, 0xBF, 0xDF}));
  EXPECT_EQ(chip->lockBits, 7);
  ExpectClean();
  chip->lockBits = 0;
  gApp.OptionValues[128] = 0;
  prog->record.Clear();
  Call(kOpLock);
  EXPECT_EQ(DataBytes(), (std::vector<int>{0x7F}));
  EXPECT_EQ(chip->lockBits, 1);
}

TEST_F(Mcs51Mends, WeakSupplyFailsTheLockWithSuppliesOff) {
  for (const char* key : {"AT89X8252", "AT89S5X", "P89C51"}) {
    Choose({key, 2, "ATMEL: part", {}}, sim::MakeMcs51("AT89C52"));
    prog->faults.powerOverload = true;
    gApp.OptionValues[128] = 1;
    EXPECT_EQ(Call(kOpLock), 1) << key;
    EXPECT_EQ(prog->VppPin(), 0) << key;
    EXPECT_EQ(prog->VccPin(), 0) << key;
    prog->faults.powerOverload = false;
  }
}

TEST_F(Mcs51Mends, At89s8253WithoutVccUsesTheFamilyDefault) {
  Choose({"AT89S8253", 1, "ATMEL: AT89S8253", {}}, nullptr);
  EXPECT_EQ(prog->VccMillivolts(), 5000);
  fake.chipParams["vcc="] = 4500;
  Choose({"AT89S8253", 1, "ATMEL: AT89S8253", {}}, nullptr);
  EXPECT_EQ(prog->VccMillivolts(), 4500);
}

}  // namespace mcs51_mends_test
}  // namespace zelvar::test
