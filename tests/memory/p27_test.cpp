// The "P27" set end to end on the simulated programmer with datasheet chip models.
#include <algorithm>
#include <memory>

#include "EpromFixture.h"
#include "algorithms/memory/MemorySet.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "sim/designs/DesignRegistry.h"

namespace zelvar::test {
namespace p27_test {

class P27Test : public EpromFixture {};

TEST_F(P27Test, RoundTripOn27C256) {
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  EXPECT_EQ(gApp.InfoRecord[0], 0x7FFF);
  EXPECT_EQ(gApp.InfoRecord[5], 20);
  EXPECT_EQ(gApp.PinMask, 0x3FFFFFFC0ull);  // socket pins 7 to 34

  EXPECT_EQ(Run(kOpBlank), 0);
  Pattern(0x8000);
  EXPECT_EQ(Run(kOpWrite), 0);
  EXPECT_EQ(Run(kOpVerify), 0);
  // The chip's own cells, so that an error made both ways cannot hide.
  for (std::uint32_t a = 0; a < 0x8000; ++a) {
    ASSERT_EQ(chip->cells[a], gApp.CodeBuffer[a]) << std::hex << a;
  }
  const std::vector<std::uint8_t> written(gApp.CodeBuffer.begin(),
                                          gApp.CodeBuffer.begin() + 0x8000);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x8000, 0);
  EXPECT_EQ(Run(kOpRead), 0);
  EXPECT_TRUE(std::equal(written.begin(), written.end(), gApp.CodeBuffer.begin()));

  fake.log.clear();
  Run(kOpReadId);
  ASSERT_FALSE(fake.log.empty());
  EXPECT_EQ(fake.log.back().text, "1e,8c");
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
  EXPECT_EQ(prog->VccPin(), 0);
}

TEST_F(P27Test, BlankNamesTheFirstProgrammedByte) {
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  chip->cells[0x1234] = 0xA5;
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0x1234u);
  EXPECT_EQ(gLink.FailByte, 0xA5);
  EXPECT_EQ(prog->VccPin(), 0);
}

TEST_F(P27Test, VerifyNamesTheFirstMismatchFromTheRangeStart) {
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  Pattern(0x8000);
  ASSERT_EQ(Run(kOpWrite), 0);
  gApp.CodeBuffer[0x2345] ^= 0x10;
  EXPECT_EQ(Run(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x2345u);
  EXPECT_EQ(gLink.FailByte, chip->cells[0x2345]);

  // A range from 0x400 compares chip address 0x400 + k with buffer byte k.
  std::copy(chip->cells.begin() + 0x400, chip->cells.begin() + 0x800, gApp.CodeBuffer.begin());
  gApp.OptionValues[64] = 0x400;
  gApp.OptionValues[65] = 0x7FF;
  EXPECT_EQ(Run(kOpVerify), 0);
}

// "Addr end" names the last byte: inside the chip it is written and verified too.
TEST_F(P27Test, AddrEndIsTheLastByteWrittenAndVerified) {
  Choose("P27", 13, "27C256", "ATMEL: AT27C256R");
  Pattern(0x100);
  gApp.OptionValues[65] = 0xFF;
  ASSERT_EQ(Run(kOpWrite), 0);
  EXPECT_EQ(chip->cells[0xFF], gApp.CodeBuffer[0xFF]);
  EXPECT_EQ(chip->cells[0x100], 0xFF);
  gApp.CodeBuffer[0xFF] ^= 0x01;
  EXPECT_EQ(Run(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0xFFu);
}

// The "Delay" choice the describe list offers by default.
std::int32_t DefaultDelay() {
  const auto& l = gApp.ChipUiList;
  const auto radio = std::find_if(l.begin(), l.end(),
                                  [](const std::string& e) { return e.starts_with("$Radio1:"); });
  return radio == l.end() ? -1 : std::stoi(radio->substr(8, 2));
}

// A part of the NMOS rows.
struct NmosRow {
  int row;
  const char* part;
};
const NmosRow kNmosRows[] = {{3, "2716"}, {5, "2732A"}, {6, "2732"}, {8, "2764"}, {11, "27128"}};

// The NMOS 2716, 2732, 2764 and 27128 have no signature mode and their inputs are rated to 6 V:
// Read ID is refused before anything reaches A9 (12.5 V there is recorded as a hazard).
TEST_F(P27Test, ReadIdIsRefusedWithoutASignature) {
  for (const NmosRow& r : kNmosRows) {
    Choose("P27", r.row, r.part, std::string("INTEL: ") + r.part);
    fake.log.clear();
    fake.boxes.clear();
    EXPECT_EQ(Run(kOpReadId), 1) << r.part;
    ASSERT_EQ(fake.boxes.size(), 1u) << r.part;
    EXPECT_EQ(fake.boxes[0], LocalText("This chip has no ID to read!*这个芯片没有可读的ID!"));
    EXPECT_TRUE(fake.log.empty()) << r.part << ": " << fake.log.front().text;
    EXPECT_EQ(prog->HighVoltagePin(), 0);
    EXPECT_TRUE(prog->record.hazards.empty()) << r.part << ": " << prog->record.hazards.front();
  }
}

// The "Delay" a row offers by default: these parts take 50 ms pulses (45 to 55 ms), and a
// Write at the default programs them.
TEST_F(P27Test, NmosRowsWriteAtTheirDefaultPulse) {
  for (const NmosRow& r : kNmosRows) {
    Choose("P27", r.row, r.part, std::string("INTEL: ") + r.part);
    gApp.OptionValues[128] = DefaultDelay();
    ASSERT_EQ(gApp.OptionValues[128], 7) << r.part;
    gApp.OptionValues[64] = 0x40;
    gApp.OptionValues[65] = 0x4F;
    Pattern(0x10, 0x3C);
    EXPECT_EQ(Run(kOpWrite), 0) << r.part << " fail " << gLink.FailAddress;
    EXPECT_DOUBLE_EQ(chip->lastPulseUs, 50000) << r.part;
    for (std::uint32_t k = 0; k < 0x10; ++k)
      ASSERT_EQ(chip->cells[0x40 + k], gApp.CodeBuffer[k]) << r.part << " " << k;
    EXPECT_EQ(prog->VccPin(), 0);
    EXPECT_EQ(prog->VppPin(), 0);
  }
}

// Each maker's parts program inside the maker's window: Atmel's at VPP 13.0 V and VCC 6.5 V (the
// AT27C256R datasheet: 12.75 to 13.25 V, 6.25 to 6.75 V), ST's and AMD's at 12.7 V and 6.2 V
// (12.5 to 13.0 V, 6.0 to 6.5 V). Reads after the write run at 5 V again. An Atmel part on the
// 12.7 V row takes no pulse.
struct MakerCase {
  int row;
  const char* part;
  const char* title;
  int vppMillivolts, programVccMillivolts;
  bool takes;
};

class P27MakerWindow : public EpromFixture, public ::testing::WithParamInterface<MakerCase> {};

TEST_P(P27MakerWindow, ProgramsInsideTheMakersWindow) {
  const MakerCase& c = GetParam();
  Choose("P27", c.row, c.part, c.title);
  gApp.OptionValues[128] = DefaultDelay();
  gApp.OptionValues[64] = 0x100;
  gApp.OptionValues[65] = 0x1FF;
  Pattern(0x100, 0x47);
  EXPECT_EQ(Run(kOpWrite), c.takes ? 0 : 1);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  if (!c.takes) {
    // Outside the window no pulse starts.
    EXPECT_EQ(chip->pulses, 0);
    EXPECT_EQ(chip->lastPulseUs, 0);
    EXPECT_TRUE(std::all_of(chip->cells.begin(), chip->cells.end(),
                            [](std::uint16_t v) { return v == 0xFF; }));
    return;
  }
  EXPECT_EQ(chip->lastPulseVppMv, c.vppMillivolts);
  EXPECT_EQ(chip->lastPulseVccMv, c.programVccMillivolts);
  for (std::uint32_t a = 0; a < chip->cells.size(); ++a) {
    const bool inside = a >= 0x100 && a <= 0x1FF;
    ASSERT_EQ(chip->cells[a], inside ? gApp.CodeBuffer[a - 0x100] : 0xFF) << std::hex << a;
  }
  EXPECT_EQ(Run(kOpVerify), 0);
  EXPECT_EQ(prog->VccMillivolts(), 5000);
  EXPECT_EQ(prog->VccPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Makers, P27MakerWindow,
    ::testing::Values(MakerCase{22, "AT27C256", "ATMEL: AT27C256R", 13000, 6500, true},
                      MakerCase{24, "AT27C010", "ATMEL: AT27C010", 13000, 6500, true},
                      MakerCase{13, "AT27C256", "ATMEL: AT27C256R", 12700, 6200, false},
                      MakerCase{13, "M27C256B", "ST: M27C256B", 12700, 6200, true},
                      MakerCase{13, "AM27C256", "AMD: AM27C256", 12700, 6200, true},
                      MakerCase{7, "2764A", "INTEL: 2764A", 12700, 6200, true}));

// The identifier answers with A9 at 11.5 to 12.5 V only (Atmel's VH, 12.0 V +-0.5 V); outside it
// the chip shows its cells (erased here).
TEST_F(P27Test, SignatureAnswersInsideTheA9WindowOnly) {
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  for (const auto& [mv, want] :
       {std::pair{11500, 0x1E}, {12500, 0x1E}, {11400, 0xFF}, {13000, 0xFF}}) {
    SelectGndPin(memory::kBottomGroundPin);
    SetRegister25(zor5103::kReadMode);
    SetAllPins(false);
    SetVccVoltage(5000);
    SetVppVoltage(mv);
    SelectVccPin(34);
    SelectVppPin(30);  // A9
    PutCmd1(zor5103::kCmdReadBus);
    EXPECT_EQ(ReadReply64(gLink.ScratchBuffer.data()), want) << mv;
    SelectVppPin(0);
    SelectVccPin(0);
    FlushCommands();
  }
}

// ST's M27C801 takes 50 us pulses (45 to 55 us by its datasheet; a longer one is a hazard).
TEST_F(P27Test, M27C801ProgramsWith50usPulses) {
  Choose("P27", 28, "M27C801", "ST: M27C801");
  gApp.OptionValues[64] = 0xFFE00;
  gApp.OptionValues[65] = 0xFFFFF;
  Pattern(0x200, 0x6B);
  EXPECT_EQ(Run(kOpWrite), 0) << gLink.FailAddress;
  EXPECT_DOUBLE_EQ(chip->lastPulseUs, 50);
  EXPECT_EQ(chip->pulses, 0x200);
  for (std::uint32_t k = 0; k < 0x200; ++k)
    ASSERT_EQ(chip->cells[0xFFE00 + k], gApp.CodeBuffer[k]) << k;
  EXPECT_EQ(Run(kOpVerify), 0);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

// Write starts where Verify starts: an unaligned range programs exactly its own bytes.
TEST_F(P27Test, UnalignedRangeWritesOnlyItsBytes) {
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  Pattern(0x300);
  gApp.OptionValues[64] = 0x1080;
  gApp.OptionValues[65] = 0x137F;
  EXPECT_EQ(Run(kOpWrite), 0);
  EXPECT_EQ(Run(kOpVerify), 0);
  for (std::uint32_t a = 0; a < 0x8000; ++a) {
    const bool inside = a >= 0x1080 && a <= 0x137F;
    ASSERT_EQ(chip->cells[a], inside ? gApp.CodeBuffer[a - 0x1080] : 0xFF) << std::hex << a;
  }
}

struct RoundTrip {
  int row;
  const char* part;
  const char* title;
  std::int32_t delayChoice;
};

class P27RoundTrip : public EpromFixture, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(P27RoundTrip, WritesVerifiesAndReads) {
  const RoundTrip& c = GetParam();
  Choose("P27", c.row, c.part, c.title);
  gApp.OptionValues[128] = c.delayChoice;
  const std::uint32_t size = static_cast<std::uint32_t>(gApp.InfoRecord[0]) + 1;
  ASSERT_EQ(size, chip->cells.size());
  EXPECT_EQ(Run(kOpBlank), 0);
  Pattern(size, 0x33);
  EXPECT_EQ(Run(kOpWrite), 0) << gLink.FailAddress;
  EXPECT_EQ(Run(kOpVerify), 0) << gLink.FailAddress;
  for (std::uint32_t a = 0; a < size; ++a) ASSERT_EQ(chip->cells[a], gApp.CodeBuffer[a]) << a;
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + size, 0);
  EXPECT_EQ(Run(kOpRead), 0);
  for (std::uint32_t a = 0; a < size; ++a) ASSERT_EQ(gApp.CodeBuffer[a], chip->cells[a]) << a;
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(Types, P27RoundTrip,
                         ::testing::Values(RoundTrip{3, "2716", "INTEL: 2716", 7},
                                           RoundTrip{14, "AM27C512", "AMD: AM27C512", 0},
                                           RoundTrip{16, "AM27C010", "AMD: AM27C010", 0}));

// The 2716 write reads its bytes back: a chip that does not take them fails the write.
TEST_F(P27Test, Failed2716WriteSetsStatus) {
  Choose("P27", 1, "2716", "INTEL: 2716");  // the 12.7 V row on a 25 V part
  gApp.OptionValues[128] = 7;
  Pattern(0x800);
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);
  EXPECT_EQ(chip->pulses, 0);
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
}

// The 2716 takes one flush per byte with the chosen pulse and VPP 25 V on socket pin 29.
TEST_F(P27Test, The2716PulseIsAHighLevelOnCePgm) {
  Choose("P27", 3, "2716", "INTEL: 2716");
  EXPECT_EQ(prog->VppMillivolts(), 25000);
  gApp.OptionValues[128] = 7;
  gApp.OptionValues[65] = 0x0F;  // 16 bytes
  Pattern(16);
  const std::uint32_t before = prog->record.transfers;
  EXPECT_EQ(Run(kOpWrite), 0);
  EXPECT_EQ(chip->pulses, 16);
  EXPECT_GE(prog->record.transfers - before, 16u);
  // A pulse shorter than the datasheet's 45 ms does not program.
  Choose("P27", 3, "2716", "INTEL: 2716");
  gApp.OptionValues[128] = 4;  // 5 ms
  gApp.OptionValues[65] = 0x0F;
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_EQ(chip->pulses, 0);
}

TEST_F(P27Test, PowerFailureRunsNoCompare) {
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  chip->cells[0] = 0;
  prog->faults.powerOverload = true;
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);
  EXPECT_TRUE(std::any_of(fake.log.begin(), fake.log.end(),
                          [](const auto& l) { return l.text == "Power weakly! "; }));
}

// A block read that comes back short ends the operation as a link fault: the bytes of the
// previous block, all 0xFF, must not pass the rest of the chip as blank.
TEST_F(P27Test, ShortBlockReadIsALinkFaultNotABlankChip) {
  struct SecondBlockLost : sim::Design {
    std::unique_ptr<sim::Design> inner = sim::MakeDesign("zor5103");
    int reads = 0;
    std::string Name() const override { return "lossy"; }
    int CommandLength(std::uint8_t op) const override { return inner->CommandLength(op); }
    bool Execute(sim::Programmer& p, const sim::Command& c) override {
      if (c.op() == zor5103::kCmdReadBlock1k && ++reads == 2) return true;  // answers nothing
      return inner->Execute(p, c);
    }
    // The bus mode (its read mode) and the design's registers go to the real logic.
    void OnRegister(sim::Programmer& p, std::uint8_t reg, std::uint8_t value) override {
      inner->OnRegister(p, reg, value);
    }
    void OnFpgaRegister(sim::Programmer& p, std::uint8_t reg, std::uint8_t value) override {
      inner->OnFpgaRegister(p, reg, value);
    }
    int InputRegister(sim::Programmer& p, std::uint8_t n) override {
      return inner->InputRegister(p, n);
    }
    bool DrivesThroughResistor(int socketPin) const override {
      return inner->DrivesThroughResistor(socketPin);
    }
  };
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  prog->SetDesign(std::make_unique<SecondBlockLost>());
  // Set up again on the lossy logic (the loaded bitstream stays), so that it holds the lines as
  // set-up leaves them.
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  ASSERT_EQ(prog->design()->Name(), "lossy");
  chip->cells[0x500] = 0;
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_EQ(fake.log.back().colour, kRed);
  EXPECT_EQ(gLink.ModelNumber, 0);
}

TEST_F(P27Test, UnknownOperationChangesNothing) {
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  gLink.StatusWord = 1;
  gLink.FailAddress = 77;
  const std::uint32_t transfers = prog->record.transfers;
  for (int op : {0, 3, 20, 21, 25, 26, 29, 99}) {
    EXPECT_EQ(Call(op, gApp.OptionValues.data(), nullptr), 1) << op;
  }
  EXPECT_EQ(gLink.FailAddress, 77u);
  EXPECT_EQ(prog->record.transfers, transfers);
}

TEST_F(P27Test, DescribeChoosesThePulseDefaultByName) {
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  const auto& l = gApp.ChipUiList;
  EXPECT_EQ(l[0], "$Fonc:");
  EXPECT_EQ(l[11], "$Radio1:00,Delay(写延迟)");
  EXPECT_EQ(l[20], "$Grid1:");
  EXPECT_EQ(l[21], "$end");
  Choose("P27", 10, "27128A", "INTEL: 27128A");
  EXPECT_EQ(gApp.ChipUiList[11], "$Radio1:04,Delay(写延迟)");
  // The NMOS 21 V and 25 V rows default to 50 ms pulses.
  for (int row : {2, 5, 6, 8, 9, 11, 12}) {
    Choose("P27", row, row < 4 ? "2716" : row < 7 ? "2732" : row < 10 ? "2764" : "27128", "INTEL");
    EXPECT_EQ(gApp.ChipUiList[11], "$Radio1:07,Delay(写延迟)") << row;
  }
  // A "cfg=" group that does not exist adds no rows.
  fake.chipParams["cfg="] = 5;
  Choose("P27", 22, "AT27C256", "ATMEL: AT27C256R");
  EXPECT_EQ(gApp.ChipUiList[20], "$Grid1:");
  EXPECT_EQ(gApp.ChipUiList[21], "$end");
}

}  // namespace p27_test
}  // namespace zelvar::test
