// The external host mode sets "SST89E564", "SST89E554", "SST89C5X" and "P89V51RD2" on the
// simulated SST89 and P89V51 parts, through the operation runner: every modelled row erased,
// blank-checked, written, verified and read against the chip's two blocks, the security bits with
// their effect, the configuration bits, the identity refusal, and the walks keeping to the row.
#include "sim/chips/Sst89.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Mcs51Fixture.h"
#include "services/Dispatcher.h"

namespace zelvar::test {
namespace sst89_test {

struct SstRow {
  ChipLine line;
  const char* part;
  std::uint32_t code;       // block 0 bytes the row walks, from 0
  std::uint32_t b1Buffer;   // where block 1 sits in the buffer
  std::uint32_t b1Bytes;    // 0: the row does not reach block 1
  std::uint8_t configMask;  // the 0x61 bits a Config with every row set programs (0: no Config)
};

void PrintTo(const SstRow& r, std::ostream* os) {
  *os << r.line.key << " " << r.line.title;
}

constexpr std::array<std::uint8_t, 4> Sst(std::uint8_t device) {
  return {0xBF, device, 0, 0};
}

class SstFixture : public Mcs51Fixture {
 protected:
  // The default model: every set gives its 5 V parts 5 V there too (4.5 to 5.5 V).
  void SetUp() override {
    Mcs51Fixture::SetUp();
    Connect(6200);
  }
};

class SstRoundTrip : public SstFixture, public ::testing::WithParamInterface<SstRow> {};

TEST_P(SstRoundTrip, ErasesWritesVerifiesReadsAndLocksBothBlocks) {
  const SstRow& r = GetParam();
  auto chip = sim::MakeSst89(r.part);
  ASSERT_NE(chip, nullptr);
  ASSERT_GE(chip->block0.size(), r.code);
  for (std::uint32_t a = 0; a < chip->block0.size(); a += 97) chip->block0[a] = 0x21;
  for (std::uint32_t a = 0; a < chip->block1.size(); a += 89) chip->block1[a] = 0x43;
  chip->security = 0x01;
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectEndState("Erase");
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(chip->security, 0);  // the status above is the Blank's the Erase click runs

  Pattern(0x12000);
  // The P89V51RB2 and RC2 hold nothing between their code and their boot block at E000H: data
  // there is refused before anything is written.
  const bool hole = r.line.key == "P89V51RD2" && r.b1Buffer == 0xE000;
  if (hole) {
    runner.WriteClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, r.code) << LastLine();
    EXPECT_EQ(chip->block0[0], 0xFF);
    std::fill(gApp.CodeBuffer.begin() + r.code, gApp.CodeBuffer.begin() + r.b1Buffer, 0xFF);
  }
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectEndState("Write");
  for (std::uint32_t a = 0; a < r.code; ++a) {
    ASSERT_EQ(chip->block0[a], gApp.CodeBuffer[a]) << "block 0 at " << a;
  }
  for (std::uint32_t a = r.code; a < chip->block0.size(); ++a) {
    ASSERT_EQ(chip->block0[a], 0xFF) << "block 0 past the row at " << a;
  }
  for (std::uint32_t i = 0; i < chip->block1.size(); ++i) {
    const std::uint8_t want = i < r.b1Bytes ? gApp.CodeBuffer[r.b1Buffer + i] : 0xFF;
    ASSERT_EQ(chip->block1[i], want) << "block 1 at " << i;
  }
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectEndState("Verify");
  if (hole) {
    gApp.CodeBuffer[r.b1Buffer - 1] = 0x00;
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, r.b1Buffer - 1) << LastLine();
  }
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 0u);

  // Read fills what the row walks and leaves the rest of the buffer alone; a hole in the chip
  // reads 0xFF.
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x12000, 0xA5);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectEndState("Read");
  for (std::uint32_t a = 0; a < r.code; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[a], chip->block0[a]) << "buffer " << a;
  }
  for (std::uint32_t i = 0; i < r.b1Bytes; ++i) {
    ASSERT_EQ(gApp.CodeBuffer[r.b1Buffer + i], chip->block1[i]) << "block 1 " << i;
  }
  for (std::uint32_t a = r.code; a < 0x12000; a += 0x100) {
    if (r.b1Bytes != 0 && a >= r.b1Buffer && a < r.b1Buffer + r.b1Bytes) continue;
    const bool inHole = hole && a < r.b1Buffer;
    ASSERT_EQ(gApp.CodeBuffer[a], inHole ? 0xFF : 0xA5) << "buffer outside the walk at " << a;
  }

  if (r.configMask != 0) {
    gApp.OptionValues[0] = 0x3F;
    runner.ConfigClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    const bool bits[] = {chip->sc0, chip->sc1, chip->sixClock};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(bits[i], ((r.configMask >> i) & 1) != 0) << "bit " << i;
  }

  // SB1 alone: the code no longer reads back and no longer takes a byte.
  gApp.OptionValues[0] = 0x01;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->security, 0x01);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  const int programmed = chip->programmed;
  runner.WriteClick();
  EXPECT_EQ(chip->programmed, programmed);
  ExpectEndState("Write after SB1");
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SstRoundTrip,
    ::testing::Values(
        SstRow{
            {"SST89E564", 1, "SST: SST89C54", Sst(0xE0)}, "SST89C54", 0x4000, 0x10000, 0x1000, 0},
        SstRow{
            {"SST89E564", 2, "SST: SST89C58", Sst(0xE1)}, "SST89C58", 0x8000, 0x10000, 0x1000, 0},
        SstRow{{"SST89E564", 3, "SST: SST89E554RC", Sst(0xE5)},
               "SST89E554RC",
               0x8000,
               0x10000,
               0x2000,
               0x05},
        SstRow{{"SST89E564", 4, "SST: SST89E564RD", Sst(0xE4)},
               "SST89E564RD",
               0x10000,
               0x10000,
               0x2000,
               0x05},
        SstRow{{"SST89E554", 0, "SST: SST89E51RD", {}}, "SST89E51RD", 0x1000, 0xE000, 0x2000, 0x07},
        SstRow{{"SST89E554", 1, "SST: SST89E52RD", {}}, "SST89E52RD", 0x2000, 0xE000, 0x2000, 0x07},
        SstRow{{"SST89E554", 2, "SST: SST89E54RD", {}}, "SST89E54RD", 0x4000, 0xE000, 0x2000, 0x07},
        SstRow{{"SST89E554", 3, "SST: SST89E554RC-40-C-PI", Sst(0xE5)},
               "SST89E554RC",
               0x8000,
               0xE000,
               0x2000,
               0x07},
        SstRow{{"SST89E554", 4, "SST: SST89E564RD-40-C-PI", Sst(0xE4)},
               "SST89E564RD",
               0x10000,
               0,
               0,
               0x07},
        SstRow{
            {"SST89E564", 5, "SST: SST89V554RC", {}}, "SST89V554RC", 0x8000, 0x10000, 0x2000, 0x05},
        SstRow{{"SST89E564", 6, "SST: SST89V564RD", {}},
               "SST89V564RD",
               0x10000,
               0x10000,
               0x2000,
               0x05},
        SstRow{{"SST89E554", 5, "SST: SST89V554RC-33-C-PI", {}},
               "SST89V554RC",
               0x8000,
               0xE000,
               0x2000,
               0x07},
        SstRow{
            {"SST89E554", 6, "SST: SST89V564RD-33-C-PI", {}}, "SST89V564RD", 0x10000, 0, 0, 0x07},
        SstRow{{"SST89C5X", 1, "SST: SST89C54-33-C-PI", Sst(0xE0)},
               "SST89C54",
               0x4000,
               0xF000,
               0x1000,
               0},
        SstRow{{"SST89C5X", 2, "SST: SST89C58-33-C-PI", Sst(0xE1)},
               "SST89C58",
               0x8000,
               0xF000,
               0x1000,
               0},
        SstRow{{"P89V51RD2", 2, "PHILIPS: P89V51RB2", Sst(0x93)},
               "P89V51RB2",
               0x4000,
               0xE000,
               0x2000,
               0x07},
        SstRow{{"P89V51RD2", 3, "PHILIPS: P89V51RC2", Sst(0x92)},
               "P89V51RC2",
               0x8000,
               0xE000,
               0x2000,
               0x07},
        SstRow{{"P89V51RD2", 4, "PHILIPS: P89V51RD2", Sst(0x91)},
               "P89V51RD2",
               0x10000,
               0x10000,
               0x2000,
               0x07}),
    [](const auto& info) {
      return info.param.line.key + "_Row" + std::to_string(info.param.line.row);
    });

class Sst89 : public SstFixture {};

// Another chip's Read-ID: Write and Erase stop before touching it and fail.
TEST_F(Sst89, WriteAndEraseRefuseAnotherChip) {
  for (const char* key : {"SST89E554", "SST89C5X", "P89V51RD2"}) {
    SCOPED_TRACE(key);
    auto chip = sim::MakeSst89("SST89C58");
    chip->block0[5] = 0x00;
    Choose({key, 2, "OTHER", Sst(0x77)}, chip);
    Pattern(0x12000);
    runner.WriteClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_TRUE(Logged("Type error!"));
    runner.EraseClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(chip->programmed, 0);
    EXPECT_EQ(chip->erases, 0);
    EXPECT_EQ(chip->block0[5], 0x00);
    ExpectClean();
  }
}

// "SST89E564" with no SST part answering: "Warning: Chip error!" and the operation stops failed.
TEST_F(Sst89, Sst89e564RefusesAfterTheChipError) {
  Choose({"SST89E564", 4, "SST: SST89E564RD", {}}, nullptr);
  for (int op : {int{kOpErase}, int{kOpWrite}, int{kOpBlank}, int{kOpLock}}) {
    fake.log.clear();
    prog->record.Clear();
    Call(op);
    EXPECT_EQ(gLink.StatusWord, 1) << op;
    EXPECT_TRUE(Logged("Warning: Chip error!")) << op;
    for (const auto& c : prog->record.transcript) {
      EXPECT_NE(c.op(), 33) << op << ": a byte was strobed after the chip error";
    }
  }
}

// No chip answering its Read-ID (an empty socket reads 0xFF): Blank, Read and Verify of every set
// refuse with the chip error rather than report an erased or all-0xFF chip.
TEST_F(Sst89, ScansRefuseWhenNoChipAnswers) {
  for (const ChipLine& line : {ChipLine{"SST89E564", 4, "SST: SST89E564RD", Sst(0xE4)},
                               ChipLine{"SST89E554", 3, "SST: SST89E554RC-40-C-PI", Sst(0xE5)},
                               ChipLine{"SST89C5X", 2, "SST: SST89C58-33-C-PI", Sst(0xE1)},
                               ChipLine{"P89V51RD2", 4, "PHILIPS: P89V51RD2", Sst(0x91)}}) {
    Choose(line, nullptr);
    std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x12000, 0xFF);
    for (int op : {int{kOpBlank}, int{kOpRead}, int{kOpVerify}}) {
      fake.log.clear();
      gLink.StatusWord = 0;
      Call(op);
      EXPECT_EQ(gLink.StatusWord, 1) << line.key << " " << op;
      EXPECT_TRUE(Logged("Warning: Chip error!")) << line.key << " " << op;
    }
    EXPECT_EQ(prog->VccPin(), 0) << line.key;
  }
}

// "SST89E564" Read config shows the security and configuration bytes of the Read-ID space.
TEST_F(Sst89, Sst89e564ReadConfigShowsTheBits) {
  auto chip = sim::MakeSst89("SST89E564RD");
  Choose({"SST89E564", 4, "SST: SST89E564RD", Sst(0xE4)}, chip);
  gApp.OptionValues[0] = 0x10;  // "6/12 clock" only
  runner.ConfigClick();
  EXPECT_FALSE(chip->sc0);
  EXPECT_TRUE(chip->sixClock);
  gApp.OptionValues[0] = 0x06;  // SB2, SB3
  runner.ProtectClick();
  runner.ReadConfigClick();
  EXPECT_TRUE(Logged("0x60=f9,0x61=fb")) << LastLine();
  ExpectClean();
}

// A 3 V part on its own row runs at 3.3 V with every pin inside its rating (the round trip above);
// on the 5 V part's row its 5 V supply and logic levels are overstress.
TEST_F(Sst89, ThreeVoltPartOnTheFiveVoltRowIsOverstressed) {
  auto chip = sim::MakeSst89("SST89V554RC");
  Choose({"SST89E564", 3, "SST: SST89E554RC", Sst(0xE5)}, chip);
  runner.ReadClick();
  ASSERT_FALSE(prog->record.hazards.empty());
  EXPECT_NE(prog->record.hazards.front().find("chip pin"), std::string::npos)
      << prog->record.hazards.front();
}

// "SST89C5X" Security also programs the re-map bits; nothing chosen programs nothing.
TEST_F(Sst89, Sst89c5xSecurityProgramsTheRemapBits) {
  auto chip = sim::MakeSst89("SST89C58");
  Choose({"SST89C5X", 2, "SST: SST89C58-33-C-PI", Sst(0xE1)}, chip);
  gApp.OptionValues[0] = 0;
  runner.ProtectClick();
  EXPECT_EQ(chip->security, 0);
  EXPECT_FALSE(chip->rb0 || chip->rb1);
  gApp.OptionValues[0] = 0x18;
  runner.ProtectClick();
  EXPECT_EQ(chip->security, 0);
  EXPECT_TRUE(chip->rb0 && chip->rb1);
  ExpectClean();
}

// The data areas the sets report: block 1 at 0x10000 beside the code, at its own address (the
// P89V51RB2's boot block at E000H), and none for the 564RD rows of "SST89E554", whose block 1
// that set cannot reach.
TEST_F(Sst89, DataAreasFollowTheRows) {
  struct Case {
    ChipLine line;
    std::int32_t start, length;
  };
  for (const Case& c : {Case{{"SST89E564", 1, "SST: SST89C54", {}}, 0x10000, 0x1000},
                        Case{{"SST89E564", 4, "SST: SST89E564RD", {}}, 0x10000, 0x2000},
                        Case{{"SST89E554", 3, "SST: SST89E554RC-40-C-PI", {}}, 0xE000, 0x2000},
                        Case{{"SST89E554", 4, "SST: SST89E564RD-40-C-PI", {}}, 0, 0},
                        Case{{"SST89E554", 6, "SST: SST89V564RD-33-C-PI", {}}, 0, 0},
                        Case{{"P89V51RD2", 2, "PHILIPS: P89V51RB2", {}}, 0xE000, 0x2000},
                        Case{{"P89V51RD2", 4, "PHILIPS: P89V51RD2", {}}, 0x10000, 0x2000}}) {
    Choose(c.line, nullptr);
    EXPECT_EQ(gApp.InfoRecord[1], c.start) << c.line.key << c.line.row;
    EXPECT_EQ(gApp.InfoRecord[2], c.length) << c.line.key << c.line.row;
  }
}

}  // namespace sst89_test
}  // namespace zelvar::test
