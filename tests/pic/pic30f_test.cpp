// "PIC30F" on the simulated programmer with the dsPIC30F chip models: the round trip of each
// catalogue line with a model through the runner (Erase of a protected chip, Blank, Config and
// Read config, Write, Verify, Read, Write data and Read data), checked in the chip's own cells;
// the buffer layout; the device-ID check; command 29 on model 6400 only; and the mends (every
// block read by Blank and Verify, the failure at its buffer byte, VPP set at set-up, sizes
// refused).
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "link/CommandQueue.h"
#include "link/Primitives.h"
#include "memory/ChipFixture.h"
#include "sim/chips/Dspic30.h"

namespace zelvar::test {
namespace pic30f_test {

struct Line {
  std::string part;
  std::map<std::string, int> items;
  std::string design;
  std::array<std::uint8_t, 4> id{};
  // The set walks the code array from 0 to "fla=". The 16K-word 4013 runs Write and Verify over
  // its whole array, up to its top address lines; the other lines run Erase with its Blank,
  // Write, Verify and Read over the front of theirs, "fla=" cut down (each pass over a whole array
  // is long on the simulated pins). Blank, Verify and Read of a whole array: see
  // BlankAndVerifyFailAtTheBufferByte.
  bool whole = false;
};

// Instruction words the lines other than the whole one walk: four rows, eight read blocks.
constexpr std::uint32_t kFrontWords = 128;

// The catalogue line of `part` in data/devices.txt: its '#' ID bytes and items, so that a wrong
// package, size or ID in the catalogue fails the round trip.
Line FromCatalogue(const std::string& part, const std::string& design, bool whole = false) {
  Line l{part, {}, design, {}, whole};
  std::ifstream file(std::string(ZELVAR_SOURCE_DIR) + "/data/devices.txt");
  std::string text;
  while (std::getline(file, text)) {
    const std::string needle = " " + part + ",PIC30F ";
    const auto at = text.find(needle);
    if (at == std::string::npos) continue;
    std::istringstream in(
        text.substr(at + needle.size(), text.find(" |", at) - at - needle.size()));
    int row = 0;
    in >> row;
    std::string item;
    int idByte = 0;
    while (in >> item) {
      const auto eq = item.find('=');
      if (eq != std::string::npos) {
        l.items[item.substr(0, eq + 1)] = std::stoi(item.substr(eq + 1), nullptr, 0);
      } else if (idByte < 4) {
        l.id[static_cast<std::size_t>(idByte++)] =
            static_cast<std::uint8_t>(std::stoi(item.substr(item[0] == '#' ? 1 : 0), nullptr, 16));
      }
    }
    return l;
  }
  ADD_FAILURE() << part << " has no catalogue line";
  return l;
}

const std::vector<Line> kLines = {
    FromCatalogue("dsPIC30F2010", "pic30dip28"), FromCatalogue("dsPIC30F3010", "pic30dip28"),
    FromCatalogue("dsPIC30F4012", "pic30dip28"), FromCatalogue("dsPIC30F3011", "pic30dip40"),
    FromCatalogue("dsPIC30F4011", "pic30dip40"), FromCatalogue("dsPIC30F4013", "pic30dip40", true),
};

class Pic30f : public ChipFixture {
 protected:
  std::shared_ptr<sim::Dspic30Chip> ChoosePart(const Line& l) {
    auto chip = sim::MakeDspic30(l.part);
    fake.chipParams = l.items;
    gApp.ExpectedId = l.id;
    Choose("PIC30F", 0, chip, "MICROCHIP: " + l.part, l.design);
    return chip;
  }
  // A random image of `words` instruction words, pads included (the chip has no pad byte).
  static void Image(std::uint32_t words, unsigned seed) {
    std::mt19937 gen(seed);
    for (std::uint32_t i = 0; i < 4 * words; ++i)
      gApp.CodeBuffer[i] = static_cast<std::uint8_t>(gen());
  }
  static std::uint32_t BufferWord(std::uint32_t w) {
    const std::uint8_t* b = gApp.CodeBuffer.data() + 4 * w;
    return static_cast<std::uint32_t>(b[0] | b[1] << 8 | b[2] << 16);
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  // Write and Verify (with Read when `read`) of the first `words` of the code array, checked in
  // the chip's cells (the rest left erased).
  void CodeRoundTrip(const sim::Dspic30Chip& chip, std::uint32_t words, bool read) {
    Image(words, words);
    EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
    EXPECT_EQ(chip.rowsProgrammed, static_cast<int>(words / 32));
    for (std::uint32_t w = 0; w < chip.code.size(); ++w) {
      ASSERT_EQ(chip.code[w], w < words ? BufferWord(w) : 0xFFFFFF) << "word " << w;
    }
    EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
    if (!read) return;
    const std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(),
                                          gApp.CodeBuffer.begin() + 4 * words);
    std::fill_n(gApp.CodeBuffer.begin(), 4 * words, 0xEE);
    EXPECT_EQ(Click(kOpRead), 0) << LastLine();
    for (std::uint32_t i = 0; i < 4 * words; ++i) {
      ASSERT_EQ(gApp.CodeBuffer[i], i % 4 == 3 ? 0 : image[i]) << "buffer byte " << i;
    }
  }
  int Count29(std::size_t from) const {
    const auto& t = prog->record.transcript;
    return static_cast<int>(std::count_if(t.begin() + static_cast<std::ptrdiff_t>(from), t.end(),
                                          [](const sim::Command& c) { return c.op() == 29; }));
  }
};

class Pic30fRoundTrip : public Pic30f, public ::testing::WithParamInterface<Line> {};

TEST_P(Pic30fRoundTrip, EraseConfigWriteVerifyReadAndData) {
  Line l = GetParam();
  ASSERT_EQ(sim::MakeDspic30(l.part)->code.size() * 2,
            static_cast<std::size_t>(l.items.at("fla=")));
  if (!l.whole) l.items["fla="] = static_cast<int>(2 * kFrontWords);
  auto chip = ChoosePart(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(l.items.at("fla=") / 2);
  const auto eeBytes = static_cast<std::uint32_t>(chip->ee.size());
  ASSERT_EQ(eeBytes, static_cast<std::uint32_t>(l.items.at("ee=")));
  EXPECT_EQ(gApp.InfoRecord[0], static_cast<std::int32_t>(4 * words - 1));
  EXPECT_EQ(gApp.InfoRecord[1], static_cast<std::int32_t>(4 * words));
  EXPECT_EQ(gApp.InfoRecord[2], static_cast<std::int32_t>(eeBytes));
  EXPECT_EQ(prog->VppMillivolts(), 12500);

  // A used, code-protected chip: Erase lifts the protection and clears code and data.
  std::fill(chip->code.begin(), chip->code.end(), 0x123456);
  std::fill(chip->ee.begin(), chip->ee.end(), 0x34);
  chip->config.fill(0);
  // The runner's Erase blank-checks the array it walks after it; the whole line erases alone.
  if (!l.whole) {
    EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  } else {
    EXPECT_EQ(Run(kOpErase), 0) << LastLine();
  }
  EXPECT_TRUE(std::all_of(chip->code.begin(), chip->code.end(),
                          [](std::uint32_t w) { return w == 0xFFFFFF; }));
  EXPECT_TRUE(std::all_of(chip->ee.begin(), chip->ee.end(), [](auto b) { return b == 0xFF; }));
  for (int k = 0; k < 7; ++k) EXPECT_EQ(chip->ConfigRead(k), chip->sheet().configMask[k]) << k;
  EXPECT_EQ(chip->bulkErases, 1);

  const std::array<std::uint16_t, 7> cfg = {0x8105, 0x0015, 0x8703, 0xFFFF, 0xFFFF, 0x0007, 0x4002};
  for (int k = 0; k < 7; ++k) gApp.OptionValues[k] = cfg[k];
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(chip->ConfigRead(k), cfg[k] & chip->sheet().configMask[k]) << k;
  }
  std::fill_n(gApp.OptionValues.begin(), 8, 0);
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(gApp.OptionValues[k], cfg[k] & chip->sheet().configMask[k]) << k;
  }

  CodeRoundTrip(*chip, words, !l.whole);

  // The data EEPROM behind the code, each word high byte first in the buffer.
  const std::uint32_t start = 4 * words;
  std::mt19937 gen(5);
  for (std::uint32_t i = 0; i < eeBytes; ++i)
    gApp.CodeBuffer[start + i] = static_cast<std::uint8_t>(gen());
  const std::vector<std::uint8_t> data(gApp.CodeBuffer.begin() + start,
                                       gApp.CodeBuffer.begin() + start + eeBytes);
  // Write data runs in the Go sequence: called here alone.
  EXPECT_EQ(Run(kOpWriteData), 0) << LastLine();
  for (std::uint32_t i = 0; i < eeBytes; i += 2) {
    ASSERT_EQ(chip->ee[i], data[i + 1]) << "data byte " << i;
    ASSERT_EQ(chip->ee[i + 1], data[i]) << "data byte " << i + 1;
  }
  std::fill_n(gApp.CodeBuffer.begin() + start, eeBytes, 0);
  EXPECT_EQ(Run(kOpReadData), 0) << LastLine();
  EXPECT_TRUE(std::equal(data.begin(), data.end(), gApp.CodeBuffer.begin() + start));
  EXPECT_EQ(chip->lowVoltage, 0);
  ExpectNoHazard();
}

void PrintTo(const Line& l, std::ostream* os) {
  *os << l.part;
}

INSTANTIATE_TEST_SUITE_P(Lines, Pic30fRoundTrip, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return info.param.part; });

// Blank and Verify read every block (not one in eight) and report the buffer byte address and
// the byte read; Read brings every block of the whole array to its place in the buffer.
TEST_F(Pic30f, BlankAndVerifyFailAtTheBufferByte) {
  auto chip = ChoosePart(kLines[0]);
  // The only programmed word at address 64 (word 32): its block is not a multiple of 256.
  chip->code[32] = 0xFFFF00;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 128u);
  EXPECT_EQ(gLink.FailByte, 0x00);

  // The image put in the cells as Write leaves it (Write's own walk: the round trips).
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  Image(words, 3);
  for (std::uint32_t w = 0; w < words; ++w) chip->code[w] = BufferWord(w);
  const std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(),
                                        gApp.CodeBuffer.begin() + 4 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 4 * words, 0xEE);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t i = 0; i < 4 * words; ++i) {
    ASSERT_EQ(gApp.CodeBuffer[i], i % 4 == 3 ? 0 : image[i]) << "buffer byte " << i;
  }

  // Verify over the front 256 words ("fla=" cut down: each failure at the last block walks all
  // of them): words 40 and 200 lie in blocks the one-in-eight read skipped; 255 is the last.
  fake.chipParams["fla="] = 2 * 256;
  runner.SetupChosenChip();
  struct Case {
    std::uint32_t word;
    int byte;
  };
  for (const Case c : {Case{40, 1}, Case{200, 2}, Case{255, 0}}) {
    const std::uint32_t good = chip->code[c.word];
    chip->code[c.word] = good ^ (0x01u << (8 * c.byte));
    EXPECT_EQ(Click(kOpVerify), 1) << c.word;
    EXPECT_EQ(gLink.FailAddress, 4 * c.word + static_cast<std::uint32_t>(c.byte));
    EXPECT_EQ(gLink.FailByte, (chip->code[c.word] >> (8 * c.byte)) & 0xFF);
    chip->code[c.word] = good;
  }
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  EXPECT_EQ(prog->VppPin(), 0);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

TEST_F(Pic30f, WrongDeviceIdRefusesBeforeProgramming) {
  Line l = kLines[3];
  l.id = {0x01, 0xC0, 0, 0};  // the dsPIC30F3010's, not the 3011 in the socket
  auto chip = ChoosePart(l);
  Image(16, 1);
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  EXPECT_EQ(chip->rowsProgrammed, 0);
  EXPECT_EQ(Click(kOpErase), 1);
  EXPECT_EQ(chip->bulkErases + chip->configWrites, 0);

  gApp.ExpectedId = {0x01, 0xC1, 0, 0};
  fake.log.clear();
  EXPECT_EQ(Run(kOpReadId), 0);
  EXPECT_EQ(LastLine(), "Device ID: 01c1,  Version:3002");
  ExpectNoHazard();
}

// On the in-system header no contact test can find a missing chip: without the line's chip
// answering with its ID every chip operation fails, and Read leaves the buffer.
TEST_F(Pic30f, InSystemLineWithNoChipAnsweringFailsEveryOperation) {
  const Line l = FromCatalogue("dsPIC30F6010", "pic30isp");
  ASSERT_EQ(l.items.at("isp="), 1);
  ChoosePart(Line{kLines[0].part, l.items, "pic30isp", l.id});
  prog->PlaceChip(nullptr, 0);
  std::fill_n(gApp.CodeBuffer.begin(), 64, 0x5A);
  for (const int op : {kOpReadId, kOpRead, kOpBlank, kOpVerify, kOpWrite, kOpErase}) {
    EXPECT_EQ(Click(op), 1) << op << " " << LastLine();
  }
  EXPECT_TRUE(std::all_of(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 64,
                          [](auto b) { return b == 0x5A; }));
}

// Command 29 follows every transfer's strobe on model 6400 only; the read-back's own 29 stays.
TEST_F(Pic30f, Command29AfterEachStrobeOnModel6400Only) {
  for (int model : {6200, 6400}) {
    Connect(model);
    prog->record.keepTranscript = true;
    ChoosePart(kLines[0]);
    const std::size_t from = prog->record.transcript.size();
    EXPECT_EQ(Run(kOpReadId), 0);
    // Read ID: the PC reset and four set-up instructions, then twice eight and a REGOUT.
    const int strobes = 4 + 4 + 2 * 9;
    EXPECT_EQ(Count29(from), model == 6400 ? strobes + 2 : 2) << model;
    EXPECT_EQ(LastLine(), "Device ID: 0040,  Version:3002") << model;
    ExpectNoHazard();
  }
}

TEST_F(Pic30f, LayoutAndSizesFromTheLine) {
  Line l = kLines[0];
  l.items["fla="] = 12288;
  ChoosePart(l);
  EXPECT_EQ(gApp.InfoRecord[0], 24575);
  EXPECT_EQ(gApp.InfoRecord[1], 24576);
  EXPECT_EQ(gApp.InfoRecord[2], 1024);

  // Sizes beyond the buffer or not in whole rows are refused at set-up and by every operation.
  for (int fla : {0, 100, 0x800000}) {
    l.items["fla="] = fla;
    fake.chipParams = l.items;
    runner.SetupChosenChip();
    EXPECT_EQ(Run(kOpWrite), 1) << fla;
  }
  // A row beyond the one-row table is refused the same way.
  l.items["fla="] = 8192;
  fake.chipParams = l.items;
  gApp.TypeIndex = 1;
  runner.SetupChosenChip();
  EXPECT_EQ(Run(kOpRead), 1);
  EXPECT_EQ(prog->VppPin(), 0);
}

// "cfg=" picks the configuration group: 1 and 3 have the boot and secure segments and no PWM
// bits, 2 adds FOSC2 to group 0.
TEST_F(Pic30f, ConfigGroupsByCfg) {
  struct Case {
    int cfg;
    bool pwm, segments, fosc2;
  };
  for (const Case c : {Case{0, true, false, false}, Case{1, false, true, false},
                       Case{2, true, false, true}, Case{3, false, true, false}}) {
    Line l = kLines[0];
    l.items["cfg="] = c.cfg;
    ChoosePart(l);
    ChipUiList list(kChipUiListSize);
    std::array<std::int32_t, 8> info{};
    gApp.CurrentDispatcher(kOpDescribe, gApp.CodeBuffer.data(), info.data(), &list);
    const auto has = [&](const std::string& row) {
      return std::find(list.begin(), list.end(), row) != list.end();
    };
    EXPECT_TRUE(has("$Grid1:")) << c.cfg;
    EXPECT_TRUE(has("n=GCP (加密),v=1,a=5,b=1")) << c.cfg;
    EXPECT_EQ(has("n=PWMPIN,v=1,a=2,b=10"), c.pwm) << c.cfg;
    EXPECT_EQ(has("n=RBS1,v=1,a=3,b=13"), c.segments) << c.cfg;
    EXPECT_EQ(has("n=SWRP,v=1,a=4,b=0"), c.segments) << c.cfg;
    EXPECT_EQ(has("n=FOSC2,v=1,a=0,b=10"), c.fosc2) << c.cfg;
    EXPECT_EQ(info[3], 8);
  }
}

// The programming voltage is the set's own, whatever the set before left.
TEST_F(Pic30f, VppSetAtSetup) {
  SetVppVoltage(0);
  FlushCommands();
  ChoosePart(kLines[4]);
  EXPECT_EQ(prog->VppMillivolts(), 12500);
}

}  // namespace pic30f_test
}  // namespace zelvar::test
