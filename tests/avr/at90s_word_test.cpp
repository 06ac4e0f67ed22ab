// The word-write AVR sets beyond their round trip: the clock-line check before every entry, the
// lock radio's values, the rows they refuse, and the supplies after Read config.
#include <gtest/gtest.h>

#include "AvrFixture.h"
#include "sim/chips/AvrHvParallel.h"

namespace zelvar::test {
namespace at90s_word_test {

const AvrLine k2333{"AT90S2333", 1, "ATMEL: AT90S2333", 0};
// XTAL1's socket pin on the 28-pin design: chip pin 9 with pin 1 in socket pin 7.
constexpr int kXtal1SocketPin = 15;

class At90sWord : public AvrFixture {};

TEST_F(At90sWord, NoClockFailsEveryOperationBeforeTheChipIsEntered) {
  auto chip = sim::MakeAvrHvParallel("AT90S2333");
  Choose(k2333, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  prog->socketFaults.stuckLowPin = kXtal1SocketPin;
  gApp.OptionValues[0] = 0x2A;
  for (int op :
       {int{kOpErase}, int{kOpBlank}, int{kOpWrite}, int{kOpVerify}, int{kOpConfig}, int{kOpLock},
        int{kOpRead}, int{kOpReadId}, int{kOpReadConfig}, int{kOpReadData}, int{kOpWriteData}}) {
    SCOPED_TRACE(op);
    gLink.StatusWord = 0;
    EXPECT_EQ(Call(op), 1);
    EXPECT_TRUE(Logged("No clock on XTAL1")) << LastLine();
    ExpectSuppliesOff();
  }
  // Read config keeps the grid's fuse byte: nothing was read.
  EXPECT_EQ(gApp.OptionValues[0], 0x2A);
  EXPECT_EQ(chip->entries, 0);
  EXPECT_EQ(chip->writes + chip->erases, 0);
  prog->socketFaults.stuckLowPin = 0;
  EXPECT_EQ(Call(kOpReadConfig), 0) << LastLine();
  ExpectClean();
}

TEST_F(At90sWord, LockRadioOutsideItsItemsWritesNothing) {
  auto chip = sim::MakeAvrHvParallel("AT90S2333");
  Choose(k2333, chip);
  for (int radio : {2, 3, -1}) {
    gApp.OptionValues[128] = radio;
    gLink.StatusWord = 0;
    EXPECT_EQ(Call(kOpLock), 1) << radio;
    EXPECT_TRUE(Logged("Unknown lock mode")) << LastLine();
  }
  EXPECT_EQ(chip->lock, 0xFF);
  EXPECT_EQ(chip->entries, 3);  // only the signature read before each
  EXPECT_EQ(chip->writes, 0);
  // Radio 1 programs LB1 alone: the chip still reads.
  gApp.OptionValues[128] = 1;
  EXPECT_EQ(Call(kOpLock), 0) << LastLine();
  EXPECT_EQ(chip->lock, 0xFE);
  ExpectClean();
}

// Read, Blank, Read EEPROM and Read config end with VPP and VCC both off: 12 V must not stay on
// RESET, nor VCC on the chip, after a passing operation.
TEST_F(At90sWord, ReadsEndWithBothSuppliesOff) {
  struct Case {
    AvrLine line;
    const char* part;
  };
  const Case cases[] = {{k2333, "AT90S2333"},
                        {{"AT90S8515", 2, "ATMEL: AT90S8515", 0}, "AT90S8515"},
                        {{"AT90S8535", 4, "ATMEL: AT90S8535", 0, 6300}, "AT90S8535"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.part);
    if (c.line.model != 6200) Connect(c.line.model);
    prog->record.keepTranscript = false;
    Choose(c.line, sim::MakeAvrHvParallel(c.part));
    for (int op : {int{kOpRead}, int{kOpBlank}, int{kOpReadData}, int{kOpReadConfig}}) {
      gLink.StatusWord = 0;
      EXPECT_EQ(Call(op), 0) << op << ": " << LastLine();
      ExpectSuppliesOff();
    }
    ExpectClean();
  }
}

TEST_F(At90sWord, RefusesTheATmega8Row) {
  auto chip = sim::MakeAvrHvParallel("ATmega8");
  Choose({"AT90S2333", 3, "ATMEL: ATmega8", 0}, chip);
  EXPECT_TRUE(Logged("use set ATMEGAX")) << LastLine();
  for (int op : {int{kOpErase}, int{kOpWrite}, int{kOpConfig}}) {
    gLink.StatusWord = 0;
    EXPECT_EQ(Call(op), 1) << op;
  }
  EXPECT_EQ(chip->entries, 0);
  ExpectClean();
}

// In "AT90S8535" the AT90S4414/8515 rows would put the supplies on RESET and port pins: both
// rows are refused on the older models' first rows and on the second rows of 6300 and up, DIP or
// 44-pin title, before any supply reaches the chip.
TEST_F(At90sWord, At90s8535RefusesTheAt90s4414And8515Rows) {
  for (const int model : {6200, 6300}) {
    Connect(model);
    prog->record.keepTranscript = false;
    for (const int row : {1, 2}) {
      const std::string part = row == 1 ? "AT90S4414" : "AT90S8515";
      for (const std::string& title : {"ATMEL: " + part, "ATMEL: " + part + "*P44"}) {
        SCOPED_TRACE(title + " on " + std::to_string(model));
        auto chip = sim::MakeAvrHvParallel(part);
        Choose({"AT90S8535", row, title, 0, model}, chip);
        EXPECT_TRUE(Logged("use set AT90S8515")) << LastLine();
        for (const int op : {int{kOpErase}, int{kOpWrite}, int{kOpReadId}}) {
          gLink.StatusWord = 0;
          EXPECT_EQ(Call(op), 1) << op;
        }
        EXPECT_EQ(chip->entries, 0);
        EXPECT_EQ(prog->VppPin(), 0);
        EXPECT_EQ(prog->VccPin(), 0);
      }
    }
  }
  ExpectClean();
}

// Models 6300 and up move to the second copy of the table once, however often the chip is set up.
TEST_F(At90sWord, At90s8535UsesTheSecondRowsOnNewerModelsOnce) {
  Connect(6300);
  prog->record.keepTranscript = false;
  Choose({"AT90S8535", 4, "ATMEL: AT90S8535", 0, 6300}, sim::MakeAvrHvParallel("AT90S8535"));
  EXPECT_EQ(gApp.TypeIndex, 14);
  EXPECT_EQ(prog->loadedDesign, "at90s8535dip40std");
  runner.SetupChosenChip();
  EXPECT_EQ(gApp.TypeIndex, 14);
  EXPECT_EQ(Call(kOpReadId), 0) << LastLine();
  EXPECT_EQ(gApp.ReadId[2], 0x03);
  ExpectClean();
}

}  // namespace at90s_word_test
}  // namespace zelvar::test
