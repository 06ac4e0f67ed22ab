// "ATTINY2", the ATtiny26 by serial programming, end to end on the simulated programmer through
// the runner and its contact check: the round trip (Erase, Blank, Write, Verify, EEPROM, Read,
// fuses, lock bits, calibration, Read ID) against the chip's own cells, and the programming-enable
// retries, the RSTDISBL refusal, the lock bits as the grid gives them and the calibration store's
// bounds.
#include <gtest/gtest.h>

#include <algorithm>

#include "AvrFixture.h"
#include "sim/chips/AvrSpi.h"

namespace zelvar::test {
namespace attiny2_test {

const AvrLine kTiny26{"ATTINY2", 1, "ATMEL: ATtiny26", 20};
constexpr std::uint32_t kCode = 2048, kEeprom = 128;

class Attiny2 : public AvrFixture {
 protected:
  std::shared_ptr<sim::AvrSpiChip> Place() {
    auto chip = sim::MakeAvrSpi("ATtiny26");
    Choose(kTiny26, chip, 9);
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    return chip;
  }
};

TEST_F(Attiny2, RoundTrip) {
  auto chip = sim::MakeAvrSpi("ATtiny26");
  for (std::uint32_t a = 0; a < kCode; a += 97) chip->flash[a] = 0x12;
  chip->eeprom[5] = 0x34;
  chip->lock = 0xFC;
  Choose(kTiny26, chip, 9);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.InfoRecord[1], static_cast<std::int32_t>(kCode));
  EXPECT_EQ(gApp.InfoRecord[2], static_cast<std::int32_t>(kEeprom));

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(chip->lock, 0xFF);

  Pattern(kCode + kEeprom);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < kCode; ++a) ASSERT_EQ(chip->flash[a], gApp.CodeBuffer[a]) << a;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.CodeBuffer[kCode - 1] ^= 0x40;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, kCode - 1);
  gApp.CodeBuffer[kCode - 1] ^= 0x40;

  EXPECT_EQ(Go(kOpWriteData), 0) << LastLine();
  for (std::uint32_t a = 0; a < kEeprom; ++a) {
    ASSERT_EQ(chip->eeprom[a], gApp.CodeBuffer[kCode + a]) << a;
  }
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + kCode + kEeprom, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < kCode; ++a) ASSERT_EQ(gApp.CodeBuffer[a], chip->flash[a]) << a;
  for (std::uint32_t a = 0; a < kEeprom; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[kCode + a], chip->eeprom[a]) << a;
  }

  gApp.OptionValues[0] = 0x64;
  gApp.OptionValues[1] = 0x13;
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->fuses[0], 0x64);
  EXPECT_EQ(chip->fuses[1], 0xF3);
  gApp.OptionValues[0] = gApp.OptionValues[1] = 0;
  runner.ReadConfigClick();
  EXPECT_TRUE(Logged("Fuse=f3,64")) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], 0x64);
  EXPECT_EQ(gApp.OptionValues[1], 0x13);

  // LB1 only, as the grid says: the chip still shows its flash.
  gApp.OptionValues[3] = 0xFE;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lock, 0xFE);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();

  gApp.OptionValues[64] = 0x7FC;
  EXPECT_EQ(Go(kOpReadCalibration), 0) << LastLine();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(gApp.CodeBuffer[0x7FC + i], chip->sheet().calibration[i]);
  EXPECT_TRUE(Logged("start from:07FC")) << LastLine();

  gApp.ReadId = {};
  runner.IdClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(gApp.ReadId[i], chip->sheet().signature[i]);
  ExpectSuppliesOff();
  ExpectClean();
}

TEST_F(Attiny2, ProgrammingEnableIsRetriedUntilTheChipEchoes) {
  auto chip = Place();
  chip->refuseEnables = 2;
  EXPECT_EQ(Call(kOpReadId), 0) << LastLine();
  EXPECT_EQ(gApp.ReadId[2], 0x09);
  // A chip that never answers: "Chip not ready!", nothing else sent.
  chip->refuseEnables = 1000;
  gLink.StatusWord = 0;
  EXPECT_EQ(Call(kOpErase), 1);
  EXPECT_EQ(LastLine(), "Chip not ready!");
  EXPECT_EQ(chip->erases, 0);
  ExpectClean();
}

// A chip that never echoes Programming Enable (serial programming disabled, a wrong part) fails
// every changing operation, fuses and lock bits included, with nothing written and the supplies
// off.
TEST_F(Attiny2, ChipRefusingProgrammingEnableTakesNoChange) {
  auto chip = Place();
  chip->refuseEnables = 1000;
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + kCode + kEeprom, 0x00);
  gApp.OptionValues[0] = 0xE1;
  gApp.OptionValues[1] = 0xF7;
  gApp.OptionValues[3] = 0x00;
  const auto fuses = chip->fuses;
  for (const int op : {int{kOpConfig}, int{kOpLock}, int{kOpWrite}, int{kOpWriteData}}) {
    SCOPED_TRACE(op);
    gLink.StatusWord = 0;
    fake.log.clear();
    EXPECT_EQ(Call(op), 1);
    EXPECT_EQ(LastLine(), "Chip not ready!");
  }
  EXPECT_EQ(chip->fuses, fuses);
  EXPECT_EQ(chip->lock, 0xFF);
  EXPECT_EQ(chip->flash[0], 0xFF);
  EXPECT_EQ(chip->eeprom[0], 0xFF);
  ExpectClean();
}

TEST_F(Attiny2, RefusesToDisableReset) {
  auto chip = Place();
  gApp.OptionValues[0] = 0xE1;
  gApp.OptionValues[1] = 0x07;  // RSTDISBL programmed
  EXPECT_EQ(Call(kOpConfig), 1);
  EXPECT_EQ(chip->enables, 1);  // only the signature read before the change
  EXPECT_EQ(chip->fuses, chip->sheet().fuseDefault);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

TEST_F(Attiny2, LockBitsAsTheGridGivesThem) {
  struct Case {
    std::uint32_t word;
    std::uint8_t lock;
  };
  for (const Case c : {Case{0xFF, 0xFF}, Case{0xFE, 0xFE}, Case{0xFC, 0xFC}}) {
    auto chip = Place();
    gApp.OptionValues[3] = static_cast<std::int32_t>(c.word);
    EXPECT_EQ(Call(kOpLock), 0) << LastLine();
    EXPECT_EQ(chip->lock, c.lock) << c.word;
  }
  ExpectClean();
}

TEST_F(Attiny2, CalibrationBytesStayInsideTheImage) {
  Place();
  const std::uint32_t end = kCode + kEeprom;
  gApp.CodeBuffer[end - 1] = 0x11;
  for (std::uint32_t at : {end - 3, end, 0x7FFFFFFFu}) {
    gApp.OptionValues[64] = static_cast<std::int32_t>(at);
    gLink.StatusWord = 0;
    EXPECT_EQ(Call(kOpReadCalibration), 1) << at;
    EXPECT_TRUE(Logged("outside the code and EEPROM image")) << LastLine();
  }
  EXPECT_EQ(gApp.CodeBuffer[end - 1], 0x11);
  gApp.OptionValues[64] = static_cast<std::int32_t>(end - 4);
  EXPECT_EQ(Call(kOpReadCalibration), 0) << LastLine();
  ExpectClean();
}

TEST_F(Attiny2, OtherPackagesAreRefused) {
  auto chip = sim::MakeAvrSpi("ATtiny26");
  Choose({"ATTINY2", 1, "ATMEL: ATtiny26", 0}, chip, 9);
  EXPECT_TRUE(Logged("No design")) << LastLine();
  gLink.StatusWord = 0;
  EXPECT_EQ(Call(kOpErase), 1);
  EXPECT_EQ(chip->erases, 0);
  EXPECT_EQ(prog->VccPin(), 0);
}

}  // namespace attiny2_test
}  // namespace zelvar::test
