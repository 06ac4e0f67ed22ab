// "P18CXXX" on the simulated programmer with the PIC18C EPROM models: the round trip of each
// catalogue line through the runner (Blank, Write, Verify and its failure, Read, Config and Read
// config; the whole array on one 32 KB line, the front on the others), checked in the chip's own
// cells; the EPROM's AND cells; wrong catalogue items that
// must fail; and the mends (VPP set at set-up, the 28-pin design and the QFP44 pins, "pm=" beyond
// the table, a weak supply ending Write unwritten).
#include <random>

#include "memory/ChipFixture.h"
#include "pic/CatalogueLine.h"
#include "sim/ProgrammerCommands.h"
#include "sim/chips/Pic18.h"

namespace zelvar::test {
namespace p18c_test {

struct P18cCase {
  const char* part;
  const char* design;
  // The whole array walked up to its top address (every TBLPTR line the family uses): one 32 KB
  // line does it; the others walk the front of their array, which the set takes from "fla=".
  bool whole = false;
};

// Bytes the other lines write, read and verify: two 256-byte pages, TBLPTRH carrying between.
constexpr std::uint32_t kFront = 512;

const P18cCase kCases[] = {
    {"PIC18C452", "pic18dip40", true}, {"PIC18C442", "pic18dip40"},
    {"PIC18C252", "pic18dip28"},       {"PIC18C242", "pic18dip28"},
    {"PIC18C452*P44", "pic18plcc44"},  {"PIC18C442*T44", "pic18tqfp44"},
};

class P18c : public ChipFixture {
 protected:
  std::shared_ptr<sim::Pic18Chip> ChooseP18c(const CatalogueLine& l, const std::string& design) {
    auto chip = sim::MakePic18(l.part);
    fake.chipParams = l.items;
    gApp.ExpectedId = l.id;
    Choose(l.key, l.row, chip, "MICROCHIP: " + l.part, design);
    return chip;
  }
  static void Random(std::uint32_t n, unsigned seed) {
    std::mt19937 gen(seed);
    for (std::uint32_t i = 0; i < n; ++i) gApp.CodeBuffer[i] = static_cast<std::uint8_t>(gen());
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& x) { return x.text == text; });
  }
  // The chip's first `n` bytes are the buffer's, the rest erased.
  static bool ChipHoldsBuffer(const sim::Pic18Chip& chip, std::uint32_t n) {
    return std::equal(chip.code.begin(), chip.code.begin() + n, gApp.CodeBuffer.begin()) &&
           std::all_of(chip.code.begin() + n, chip.code.end(), [](auto b) { return b == 0xFF; });
  }
};

class P18cRoundTrip : public P18c, public ::testing::WithParamInterface<P18cCase> {};

TEST_P(P18cRoundTrip, BlankWriteVerifyReadConfig) {
  CatalogueLine l = FromCatalogue(GetParam().part);
  ASSERT_EQ(sim::MakePic18(l.part)->code.size(), static_cast<std::size_t>(l.items.at("fla=")));
  if (!GetParam().whole) l.items["fla="] = kFront;
  auto chip = ChooseP18c(l, GetParam().design);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto code = static_cast<std::uint32_t>(l.items.at("fla="));
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(code - 1));
  EXPECT_EQ(gApp.InfoRecord[1], 0x4200);
  EXPECT_EQ(gApp.InfoRecord[2], 0);
  EXPECT_EQ(prog->VppMillivolts(), 13000);

  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  Random(code, 21);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(ChipHoldsBuffer(*chip, code));
  EXPECT_EQ(chip->pulses, static_cast<int>(code / 2));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  EXPECT_EQ(Click(kOpBlank), 1);

  // A cell that did not take its 0 at the last address walked (on the whole line the top one,
  // every address line high) fails Verify.
  std::uint32_t top = code - 1;
  while (gApp.CodeBuffer[top] == 0xFF) --top;
  const std::uint8_t want = gApp.CodeBuffer[top];
  gApp.CodeBuffer[top] = static_cast<std::uint8_t>(want & (want - 1));  // a 1 of the chip's now 0
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, top);
  EXPECT_EQ(gLink.FailByte, want);
  gApp.CodeBuffer[top] = want;

  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + code);
  std::fill_n(gApp.CodeBuffer.begin(), code, 0x5A);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
  EXPECT_TRUE(Logged("OK"));

  // The configuration bytes, code protection (byte 0) left unprogrammed.
  const std::array<std::uint8_t, 16> cfg = {0xFF, 0xDA, 0xF5, 0xF6, 0x00, 0xFE, 0xFE, 0x00,
                                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  for (int i = 0; i < 16; ++i) gApp.OptionValues[i] = cfg[i];
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(chip->ConfigRead(i), cfg[i] & chip->sheet().configMask[i]) << i;
  }
  std::fill_n(gApp.OptionValues.begin(), 16, 0x77);
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  for (int i = 0; i < 16; ++i) {
    const int want = i < 14 ? cfg[i] & chip->sheet().configMask[i] : 0;
    EXPECT_EQ(gApp.OptionValues[i], want) << i;
  }
  EXPECT_TRUE(Logged("ff,02,05,06,00,00,00,00,00,00,00,00,00,00,00,00,"));
  EXPECT_EQ(chip->erases, 0);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Lines, P18cRoundTrip, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string n = info.param.part;
  std::replace(n.begin(), n.end(), '*', '_');
  return n;
});

// EPROM cells only go from 1 to 0: a second image programs over the first as their AND, and
// Verify and Blank say so.
TEST_F(P18c, CellsOnlyGoFromOneToZero) {
  CatalogueLine l = FromCatalogue("PIC18C442");
  l.items["fla="] = 1024;  // the model's array is larger: only the front is written
  auto chip = ChooseP18c(l, "pic18dip40");
  Random(1024, 3);
  std::vector<std::uint8_t> first(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 1024);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  Random(1024, 4);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t i = 0; i < 1024; ++i) {
    ASSERT_EQ(chip->code[i], first[i] & gApp.CodeBuffer[i]) << i;
  }
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(Click(kOpBlank), 1);
  ExpectNoHazard();
}

// A wrong item in a catalogue line leaves the chip unwritten, refused or hurt: the delay that
// makes no pulse or an over-long one, a package whose design and pins are not the chip's, a
// supply below the programming window.
struct WrongItem {
  const char* item;
  int value;
  const char* design;
};

class P18cWrongLine : public P18c, public ::testing::WithParamInterface<WrongItem> {};

TEST_P(P18cWrongLine, FailsTheRoundTrip) {
  const WrongItem& c = GetParam();
  CatalogueLine l = FromCatalogue("PIC18C442");
  l.items["fla="] = 512;
  l.items[c.item] = c.value;
  auto chip = ChooseP18c(l, c.design);
  Random(512, 9);
  const bool written =
      Click(kOpWrite) == 0 && Click(kOpVerify) == 0 &&
      std::equal(chip->code.begin(), chip->code.begin() + 512, gApp.CodeBuffer.begin());
  EXPECT_FALSE(written && prog->record.hazards.empty());
}

INSTANTIATE_TEST_SUITE_P(Items, P18cWrongLine,
                         ::testing::Values(WrongItem{"dly=", 0, "pic18dip40"},
                                           WrongItem{"dly=", 20, "pic18dip40"},
                                           WrongItem{"pkg=", 28, "pic18dip28"},
                                           WrongItem{"pkg=", 18, "pic18dip18"},
                                           WrongItem{"vcc=", 4500, "pic18dip40"}));

// The contact pins by "pm=", none beyond the table's nine entries.
TEST_F(P18c, ContactPinsByPm) {
  const std::pair<int, std::uint64_t> cases[] = {
      {0, 0},
      {1, SocketPins(7, 34)},  // every pin of the 28- and 40-pin packages
      {2, SocketPins(1, 40)},
      {3, SocketPins(1, 15, 4) | SocketPins(17, 19) | SocketPins(22, 42, 37) |
              (std::uint64_t{1} << 43)},
      {8, 0},
      {9, 0},
  };
  for (const auto& [pm, mask] : cases) {
    CatalogueLine l = FromCatalogue("PIC18C452");
    l.items["pm="] = pm;
    ChooseP18c(l, "pic18dip40");
    EXPECT_EQ(gApp.PinMask, mask) << pm;
    EXPECT_EQ(gApp.InfoRecord[6], static_cast<std::int32_t>(mask & 0x7FFFFFFF)) << pm;
  }
}

// VPP is the set's own, whatever the last set left; a weak supply ends Write and Config before
// any pulse, with the supplies off.
TEST_F(P18c, VppAtSetupAndWeakSupply) {
  prog->reg[sim::kRegVppVoltage] = 50;  // what an earlier set left
  auto chip = ChooseP18c(FromCatalogue("PIC18C452"), "pic18dip40");
  EXPECT_EQ(prog->VppMillivolts(), 13000);
  Random(static_cast<std::uint32_t>(chip->code.size()), 5);
  prog->faults.powerOverload = true;
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_EQ(Run(kOpConfig), 1);
  EXPECT_EQ(chip->pulses, 0);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

// Without "fla=", with a size beyond the PIC18's 2 MB, a package the set has no wiring for or a
// row beyond its one-row table, the chip is refused: every operation fails untouched.
TEST_F(P18c, RefusedLines) {
  const struct {
    const char* item;
    int value;
    int row;
  } cases[] = {{"fla=", 0, 0}, {"fla=", 0x200001, 0}, {"pkg=", 8, 0}, {"pkg=", 40, 1}};
  prog->record.keepTranscript = true;
  for (const auto& c : cases) {
    CatalogueLine l = FromCatalogue("PIC18C452");
    l.items[c.item] = c.value;
    fake.chipParams = l.items;
    gApp.AlgorithmKey = "P18CXXX";
    gApp.TypeIndex = c.row;
    gApp.CurrentDispatcher = DispatcherForKey("P18CXXX");
    runner.SetupChosenChip();
    const std::size_t sent = prog->record.transcript.size();
    EXPECT_EQ(Run(kOpBlank), 1) << c.item << c.value;
    EXPECT_EQ(prog->record.transcript.size(), sent) << c.item << c.value;
    EXPECT_EQ(gApp.InfoRecord[0], 0) << c.item << c.value;
  }
}

}  // namespace p18c_test
}  // namespace zelvar::test
