// What "ATMEGAX" adds to the parallel round trip: the rows it refuses (a package the chip does not
// have, the page-less AT90S8515/8535), the config grid's type-dependent high-fuse bits, and the
// four calibration bytes chosen by the frequency radio.
#include <gtest/gtest.h>

#include <algorithm>

#include "AvrFixture.h"
#include "sim/chips/AvrHvParallel.h"
#include "sim/chips/ChipModels.h"

namespace zelvar::test {
namespace atmegax_test {

class Atmegax : public AvrFixture {
 protected:
  std::vector<std::string> Describe() {
    ChipUiList list(kChipUiListSize);
    std::array<std::int32_t, 8> info{};
    gApp.CurrentDispatcher(kOpDescribe, gApp.CodeBuffer.data(), info.data(), &list);
    return {list.begin(), list.end()};
  }
  static bool Has(const std::vector<std::string>& list, const std::string& entry) {
    return std::find(list.begin(), list.end(), entry) != list.end();
  }
};

TEST_F(Atmegax, RefusesRowsOutsideTheirPackageAndTheByteWritingParts) {
  struct Case {
    AvrLine line;
    const char* part;
    const char* why;
  };
  const Case cases[] = {
      // A 12 V entry on the wrong design would put RESET's 12 V on a port pin.
      {{"ATMEGAX", 1, "ATMEL: ATmega8", 41}, "ATmega8", "No design"},
      {{"ATMEGAX", 2, "ATMEL: ATmega16", 40, 6300}, "ATmega16", "No design"},
      {{"ATMEGAX", 2, "ATMEL: ATmega16", 0, 6300}, "ATmega16", "No design"},
      {{"ATMEGAX", 5, "ATMEL: ATmega128*TQFP64", 44}, "ATmega128", "No design"},
      // These write a byte per WR pulse; the page write would lose all but one byte a page.
      {{"ATMEGAX", 6, "ATMEL: AT90S8515", 40}, "ATmega16", "use set AT90S8515"},
      {{"ATMEGAX", 7, "ATMEL: AT90S8535", 41, 6300}, "ATmega16", "use set AT90S8515"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.title + " pkg " + std::to_string(c.line.pkg));
    if (c.line.model != 6200) Connect(c.line.model);
    prog->record.keepTranscript = false;
    auto chip = sim::MakeAvrHvParallel(c.part);
    Choose(c.line, chip);
    EXPECT_TRUE(Logged(c.why)) << LastLine();
    for (int op : {int{kOpErase}, int{kOpWrite}, int{kOpConfig}, int{kOpReadCalibration}}) {
      gLink.StatusWord = 0;
      EXPECT_EQ(Call(op), 1) << op;
    }
    EXPECT_EQ(chip->entries, 0);
    EXPECT_EQ(prog->VppPin(), 0);
    ExpectClean();
  }
}

TEST_F(Atmegax, ConfigGridNamesTheChipsOwnHighFuseBits) {
  struct Case {
    AvrLine line;
    const char* bit6;
    const char* bit7;
  };
  const Case cases[] = {
      {{"ATMEGAX", 1, "ATMEL: ATmega8", 28}, "n=WDTON,v=1,a=1,b=6", "n=RSTDISBL,v=1,a=1,b=7"},
      {{"ATMEGAX", 2, "ATMEL: ATmega16", 41}, "n=JTAGEN,v=0,a=1,b=6", "n=OCDEN,v=1,a=1,b=7"},
      {{"ATMEGAX", 3, "ATMEL: ATmega32", 41}, "n=JTAGEN,v=0,a=1,b=6", "n=OCDEN,v=1,a=1,b=7"},
      // The ATmega64/128 keep WDTON in their extended byte: bits 6 and 7 are JTAGEN and OCDEN.
      {{"ATMEGAX", 5, "ATMEL: ATmega128*TQFP64", 50},
       "n=JTAGEN,v=0,a=1,b=6",
       "n=OCDEN,v=1,a=1,b=7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.title);
    Choose(c.line, nullptr);
    const auto list = Describe();
    EXPECT_TRUE(Has(list, c.bit6));
    EXPECT_TRUE(Has(list, c.bit7));
    // Factory values: SPIEN programmed, unlocked.
    EXPECT_TRUE(Has(list, "n=SPIEN,v=0,a=1,b=5"));
    EXPECT_TRUE(Has(list, "n=LB1,v=1,a=2,b=0"));
  }
}

TEST_F(Atmegax, CalibrationByteOfTheChosenFrequency) {
  auto chip = sim::MakeAvrHvParallel("ATmega16");
  Connect(6300);
  prog->record.keepTranscript = false;
  Choose({"ATMEGAX", 2, "ATMEL: ATmega16", 41, 6300}, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const char* names[] = {"1MHz", "2MHz", "4MHz", "8MHz"};
  for (int f = 0; f < 4; ++f) {
    gApp.OptionValues[128] = f;
    gApp.OptionValues[64] = 0x100 + f;
    EXPECT_EQ(Go(kOpReadCalibration), 0) << LastLine();
    EXPECT_EQ(gApp.CodeBuffer[0x100 + f], chip->sheet().calibration[f]) << f;
    EXPECT_TRUE(Logged(std::string("Calibration of ") + names[f])) << LastLine();
  }
  // A project may carry a radio value the list does not have: no byte is read or stored.
  const int entries = chip->entries;
  gApp.OptionValues[128] = 4;
  gApp.CodeBuffer[0x100] = 0x55;
  gApp.OptionValues[64] = 0x100;
  EXPECT_EQ(Go(kOpReadCalibration), 1);
  EXPECT_EQ(gApp.CodeBuffer[0x100], 0x55);
  EXPECT_EQ(chip->entries, entries);
  ExpectSuppliesOff();
  ExpectClean();
}

// The grid starts from the part's factory fuses, so the default Go writes back what a new chip
// holds; a choice that locks the chip out of serial programming or needs an external clock is
// asked first, and No leaves the chip's fuses alone.
TEST_F(Atmegax, FactoryFusesByDefaultAndAQuestionBeforeLockingOut) {
  auto chip = sim::MakeAvrHvParallel("ATmega8");
  prog->record.keepTranscript = false;
  Choose({"ATMEGAX", 1, "ATMEL: ATmega8", 28}, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], 0xE1);
  EXPECT_EQ(gApp.OptionValues[1], 0xD9);
  EXPECT_EQ(Go(kOpConfig), 0) << LastLine();
  EXPECT_TRUE(fake.questions.empty());
  EXPECT_EQ(chip->fuses[0], 0xE1);
  EXPECT_EQ(chip->fuses[1], 0xD9);

  struct Case {
    const char* what;
    std::int32_t low, high;
  };
  const Case cases[] = {{"SPIEN off", 0xE1, 0xF9},
                        {"RESET as I/O", 0xE1, 0x59},
                        {"external clock", 0xE0, 0xD9},
                        {"all ones", 0xFF, 0xFF}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake.questions.clear();
    gApp.OptionValues[0] = c.low;
    gApp.OptionValues[1] = c.high;
    runner.ConfigClick();  // No
    EXPECT_EQ(fake.questions.size(), 1u);
    EXPECT_EQ(chip->fuses[0], 0xE1);
    EXPECT_EQ(chip->fuses[1], 0xD9);
    EXPECT_EQ(Go(kOpConfig), 0);  // Go asks too
    EXPECT_EQ(fake.questions.size(), 2u);
    EXPECT_EQ(chip->fuses[1], 0xD9);
  }
  fake.yesNoAnswers = {true};
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->fuses[0], 0xFF);
  EXPECT_EQ(chip->fuses[1], 0xFF);
  ExpectSuppliesOff();
  ExpectClean();
}

// A chip whose LB1 and LB2 are programmed reads as all FF: Read says the lock bits hide its
// contents, and says nothing of an unlocked chip that is blank.
TEST_F(Atmegax, ReadOfALockedChipSaysTheLockHidesIt) {
  const char* kHint = "The chip's lock bits are programmed";
  auto chip = sim::MakeAvrHvParallel("ATmega8");
  prog->record.keepTranscript = false;
  Choose({"ATMEGAX", 1, "ATMEL: ATmega8", 28}, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_FALSE(Logged(kHint));
  Pattern(0x2000);
  EXPECT_EQ(Go(kOpWrite), 0) << LastLine();
  gApp.OptionValues[2] = 0xFC;  // LB1 and LB2 programmed
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeBuffer[0], 0xFF);
  EXPECT_TRUE(Logged(kHint)) << LastLine();
  ExpectSuppliesOff();
  ExpectClean();
}

// The simulated socket finds each catalogue chip's model by its name, the adapters' parts too.
TEST(AvrCatalogueModels, EveryChipNameFindsItsModel) {
  const std::pair<const char*, const char*> names[] = {
      {"ATMEL: ATmega8", "ATmega8"},
      {"ATMEL: ATmega16", "ATmega16"},
      {"ATMEL: ATmega32", "ATmega32"},
      {"ATMEL: ATmega64*TQFP64", "ATmega64"},
      {"ATMEL: ATmega128*TQFP64", "ATmega128"},
      {"ATMEL: ATtiny2313", "ATtiny2313"},
      {"ATMEL: ATtiny28", "ATtiny28"},
      {"ATMEL: AT90S2333", "AT90S2333"},
      {"ATMEL: AT90S4433", "AT90S4433"},
      {"ATMEL: AT90S4414", "AT90S4414"},
      {"ATMEL: AT90S8515", "AT90S8515"},
      {"ATMEL: AT90S8515*P44", "AT90S8515*P44"},
      {"ATMEL: AT90S4434", "AT90S4434"},
      {"ATMEL: AT90S8535", "AT90S8535"},
      {"ATMEL: AT90S8535*P44", "AT90S8535*P44"},
      {"ATMEL: ATtiny26", "ATtiny26"},
  };
  for (const auto& [title, part] : names) {
    const auto chip = sim::MakeChipModel(title);
    ASSERT_NE(chip, nullptr) << title;
    EXPECT_EQ(chip->Name(), part);
  }
}

}  // namespace atmegax_test
}  // namespace zelvar::test
