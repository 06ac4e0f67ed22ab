// The SPI flash set "ACTRANS25" on the simulated programmer's "at25spi" design with an AT25F512A
// model from its datasheet, through the runner with its contact check: the round trip with the
// chip's own cells checked, the VCC adjustment, the status register and the set's refusals.
#include <algorithm>

#include "ChipFixture.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "sim/chips/SpiMemory.h"
#include "sim/designs/IspHeader.h"

namespace zelvar::test {
namespace actrans25_test {

class Actrans25Test : public ChipFixture {
 protected:
  std::shared_ptr<sim::SpiMemory> ChooseFlash(int row = 2) {
    auto chip = sim::MakeSpiMemory("AT25F512");
    fake.chipParams["len="] = 65536;
    fake.chipParams["pag="] = 128;
    fake.chipParams["dly="] = 10;
    fake.chipParams["era="] = 20;
    fake.chipParams["vcc="] = 3300;
    Choose("ACTRANS25", row, chip, "ATMEL: AT25F512A", "at25spi");
    return chip;
  }
  static bool Holds(const sim::SpiMemory& chip) {
    return std::equal(chip.cells.begin(), chip.cells.end(), gApp.CodeBuffer.begin());
  }
  bool Logged(const std::string& text) const {
    const auto log = fake.LogTexts();
    return std::any_of(log.begin(), log.end(),
                       [&](const std::string& l) { return l.find(text) != l.npos; });
  }
};

// A row with its chip's catalogue items: row 1 erases by C7h (a W25X10), row 2 by 62h (an
// AT25F512A).
struct FlashRow {
  int row;
  const char* part;
  const char* title;
  int len, pag, dly, era;
  const char* id;
  // Verify and Read walk the whole chip with the same reads on every row: the largest row runs
  // them, a smaller one leaves them to it (its own page size, delay and erase still run).
  bool scans = true;
};

class Actrans25RoundTrip : public Actrans25Test, public ::testing::WithParamInterface<FlashRow> {};

// Erase (with the Blank the runner adds) waits out the chip's erase before VCC goes off; Write,
// Verify and Read reach the cells; Blank then names the first programmed byte; Read ID names the
// chip.
TEST_P(Actrans25RoundTrip, EraseWriteVerifyReadReachTheChipsCells) {
  const FlashRow& r = GetParam();
  auto chip = sim::MakeSpiMemory(r.part);
  fake.chipParams = {
      {"len=", r.len}, {"pag=", r.pag}, {"dly=", r.dly}, {"era=", r.era}, {"vcc=", 3300}};
  Choose("ACTRANS25", r.row, chip, r.title, "at25spi");
  const auto n = static_cast<std::uint32_t>(r.len);
  EXPECT_EQ(gApp.CodeLastAddress + 1, r.len);  // the last address, not the size
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(std::count(chip->cells.begin(), chip->cells.end(), 0xFF), r.len);
  Pattern(n, 0x33);
  gApp.CodeBuffer[0] = 0xFF;
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  if (r.scans) {
    EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
    std::fill_n(gApp.CodeBuffer.begin(), n, 0);
    EXPECT_EQ(Click(kOpRead), 0) << LastLine();
    EXPECT_TRUE(Holds(*chip));
  }
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 1u);
  EXPECT_EQ(gLink.FailByte, chip->cells[1]);
  EXPECT_EQ(Click(kOpReadId), 0);
  EXPECT_TRUE(Logged(r.id)) << LastLine();
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Rows, Actrans25RoundTrip,
                         ::testing::Values(FlashRow{1, "W25X10", "WINBOND: W25X10", 131072, 256, 3,
                                                    1000, "ID=ef,10,ef,10"},
                                           FlashRow{2, "AT25F512", "ATMEL: AT25F512A", 65536, 128,
                                                    10, 20, "ID=ff,ff,ff,ff", false}),
                         [](const auto& info) { return std::string(info.param.part); });

// In-system mode ("isp="): the chip on the user's board, wired to the header as the legend shows
// it (C to header pin 1, Q to 3, S to 5, D to 9, VCC and W to 7, VSS to a ground pin, HOLD# left
// to the board), run by "at25isp.bit" with VCC on socket pin 22 and no contact check.
TEST_F(Actrans25Test, InSystemHeaderReachesTheChipsCells) {
  auto chip = sim::MakeSpiMemory("AT25F512");
  // A 4 KiB window of the chip: the socket round trip walks the whole of it.
  fake.chipParams = {{"len=", 4096}, {"pag=", 128},  {"dly=", 10},
                     {"era=", 20},   {"vcc=", 3300}, {"isp=", 1}};
  prog->PlaceChipWired(chip, sim::IspHeaderWiring({5, 3, 7, 2, 9, 1, 0, 7}));
  fake.chipTitle = gApp.ChipTitle = "ATMEL: AT25F512A";
  gApp.AlgorithmKey = "ACTRANS25";
  gApp.TypeIndex = 2;
  gApp.CurrentDispatcher = DispatcherForKey("ACTRANS25");
  runner.SetupChosenChip();
  ASSERT_EQ(prog->loadedDesign, "at25isp");
  EXPECT_EQ(gApp.PinMask, 0u);
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  Pattern(4096, 0x44);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.begin() + 4096, gApp.CodeBuffer.begin()));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  std::fill_n(gApp.CodeBuffer.begin(), 4096, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.begin() + 4096, gApp.CodeBuffer.begin()));
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

// The W25X10's block protection: BP0 guards the upper 64 KiB, which Write then leaves alone and
// Verify reports; the chip erase refuses while any block is guarded.
TEST_F(Actrans25Test, ProtectedBlockKeepsItsBytes) {
  auto chip = sim::MakeSpiMemory("W25X10");
  fake.chipParams = {{"len=", 131072}, {"pag=", 256}, {"dly=", 3}, {"era=", 1000}, {"vcc=", 3300}};
  Choose("ACTRANS25", 1, chip, "WINBOND: W25X10", "at25spi");
  gApp.OptionValues[0] = 0x04;
  ASSERT_EQ(Click(kOpConfig), 0) << LastLine();
  Pattern(131072);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(
      std::equal(chip->cells.begin(), chip->cells.begin() + 65536, gApp.CodeBuffer.begin()));
  EXPECT_EQ(std::count(chip->cells.begin() + 65536, chip->cells.end(), 0xFF), 65536);
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 65536u);
  EXPECT_EQ(Click(kOpErase), 1);  // the Blank after it finds the bytes
  EXPECT_EQ(chip->erases, 0);
  ExpectNoHazard();
}

// "Adjust VCC" is read when each operation powers the chip: "Nomal" keeps the line's 3.3 V after
// set-up; "Lower" and "Hight" move it by 0.8 V but stay inside the part's 2.7-3.6 V, so the chip
// answers at each and no pin goes over its rating (a project may hold any choice: 7 is "Hight").
TEST_F(Actrans25Test, AdjustVccStaysInsideThePartsRange) {
  auto chip = ChooseFlash();
  ASSERT_EQ(gApp.OptionValues[128], 1);
  EXPECT_EQ(Click(kOpReadConfig), 0);
  EXPECT_EQ(prog->VccMillivolts(), 3300);
  struct Case {
    int choice, millivolts;
  };
  for (const Case c : {Case{0, 2700}, Case{2, 3600}, Case{7, 3600}}) {
    gApp.OptionValues[128] = c.choice;
    for (const int status : {0x84, 0x00}) {
      gApp.OptionValues[0] = status;
      ASSERT_EQ(Click(kOpConfig), 0) << c.choice << " " << LastLine();
      EXPECT_EQ(prog->VccMillivolts(), c.millivolts) << c.choice;
      EXPECT_EQ(chip->status, status) << c.choice;
    }
  }
  ExpectNoHazard();
}

// The 3.3 V flash models' ratings: VCC up to 3.6 V and the programmer's 5 V logic levels are
// taken; a 4.1 V supply, or a supply above 5 V on another pin (VPP on WP#), is a hazard.
TEST_F(Actrans25Test, FlashModelsRateTheirSupplyAndPins) {
  for (const char* part : {"W25X10", "AT25F512"}) {
    auto chip = sim::MakeSpiMemory(part);
    prog->PlaceChipAtBottom(chip);
    prog->record.Clear();
    SelectGndPin(20);
    SetVccVoltage(3600);
    SelectVccPin(24);
    EnablePinDrivers(true);
    SetPinHigh(21);
    FlushCommands();
    EXPECT_TRUE(chip->Powered(*prog)) << part;
    EXPECT_TRUE(prog->record.hazards.empty()) << part << ": " << prog->record.hazards.front();
    SetVccVoltage(4100);
    EXPECT_EQ(prog->record.hazards.size(), 1u) << part;
    SetVccVoltage(3300);
    prog->record.Clear();
    SetVppVoltage(12000);
    SelectVppPin(19);
    FlushCommands();
    EXPECT_FALSE(prog->record.hazards.empty()) << part;
    SelectVppPin(0);
    SelectVccPin(0);
    FlushCommands();
  }
}

TEST_F(Actrans25Test, StatusWriteReadBackAndUnprotect) {
  auto chip = ChooseFlash();
  gApp.OptionValues[0] = 0x84;
  EXPECT_EQ(Click(kOpConfig), 0);
  EXPECT_TRUE(Logged("OK,Status=84"));
  EXPECT_EQ(chip->status, 0x84);
  // The chip has no BP1: the read-back differs, and the operation fails.
  gApp.OptionValues[0] = 0x08;
  EXPECT_EQ(Click(kOpConfig), 1);
  EXPECT_TRUE(Logged("Bad!!! Read status=00"));
  gApp.OptionValues[0] = 0x04;
  ASSERT_EQ(Click(kOpConfig), 0);
  gApp.OptionValues[0] = 0;
  EXPECT_EQ(Click(kOpReadConfig), 0);
  EXPECT_EQ(gApp.OptionValues[0], 0x04);
  EXPECT_EQ(Run(kOpUnProtect), 0);
  EXPECT_EQ(chip->status, 0);
  ExpectNoHazard();
}

TEST_F(Actrans25Test, RowWithoutChipEraseRefusesErase) {
  auto chip = ChooseFlash(3);
  EXPECT_EQ(Run(kOpErase), 1);
  EXPECT_TRUE(Logged("no chip erase"));
  EXPECT_EQ(chip->erases, 0);
}

TEST_F(Actrans25Test, RefusesPageZeroAndSizesThatAreNoPowerOfTwo) {
  struct Case {
    int len, pag;
  };
  for (const Case c : {Case{65536, 0}, Case{65536, 96}, Case{60000, 128}, Case{0, 128}}) {
    auto chip = ChooseFlash();
    fake.chipParams["len="] = c.len;
    fake.chipParams["pag="] = c.pag;
    Choose("ACTRANS25", 2, chip, "ATMEL: AT25F512A", "at25spi");
    EXPECT_EQ(Click(kOpWrite), 1) << c.len << " " << c.pag;
    EXPECT_EQ(chip->pagesWritten, 0);
    EXPECT_EQ(gApp.PinMask, 0u);
  }
}

}  // namespace actrans25_test
}  // namespace zelvar::test
