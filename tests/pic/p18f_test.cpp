// "P18FXX2" and "P18F4XXX" on the simulated programmer with the PIC18F chip models: the round trip
// of each catalogue line with a model (Erase, Blank, Config and Read config, Write with write
// buffers of 8, 32 and 64 bytes, Verify, Read, Write data and Read data), checked in the chip's
// own cells; the erase choices; the device-ID check; and the mends (Write data without a data
// EEPROM, a failed ID read, the write-buffer size refused unpowered, VPP set at set-up).
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "memory/ChipFixture.h"
#include "sim/chips/Pic18.h"
#include "sim/designs/DesignRegistry.h"

namespace zelvar::test {
namespace p18f_test {

struct P18Line {
  std::string part;
  std::string key;
  std::map<std::string, int> items;
  std::string design;
  std::array<std::uint8_t, 4> id{};
};

// The catalogue line of `part` in data/devices.txt: its set, '#' ID bytes and items, so that a
// wrong package, size, delay or buffer size in the catalogue fails the round trip.
P18Line FromCatalogue(const std::string& part, const std::string& design) {
  P18Line l;
  l.part = part;
  l.design = design;
  std::ifstream file(std::string(ZELVAR_SOURCE_DIR) + "/data/devices.txt");
  std::string line;
  while (std::getline(file, line)) {
    const std::string needle = " " + part + ",";
    const auto at = line.find(needle);
    if (at == std::string::npos) continue;
    std::istringstream in(
        line.substr(at + needle.size(), line.find(" |", at) - at - needle.size()));
    int row = 0;
    in >> l.key >> row;
    std::string item;
    int idByte = 0;
    while (in >> item) {
      if (item[0] == '#' || (idByte > 0 && idByte < 4 && item.find('=') == std::string::npos)) {
        l.id[static_cast<std::size_t>(idByte++)] =
            static_cast<std::uint8_t>(std::stoi(item.substr(item[0] == '#' ? 1 : 0), nullptr, 16));
        continue;
      }
      const auto eq = item.find('=');
      if (eq != std::string::npos)
        l.items[item.substr(0, eq + 1)] = std::stoi(item.substr(eq + 1), nullptr, 0);
    }
    return l;
  }
  ADD_FAILURE() << part << " has no catalogue line";
  return l;
}

const std::vector<P18Line> kLines = {
    FromCatalogue("PIC18F452", "pic18dip40"),       FromCatalogue("PIC18F442*P44", "pic18plcc44"),
    FromCatalogue("PIC18F2331", "pic18f2331dip28"), FromCatalogue("PIC18F1220", "pic18dip18"),
    FromCatalogue("PIC18F4550", "pic18dip40"),      FromCatalogue("PIC18F4321*Q44", "pic18qfp44"),
    FromCatalogue("PIC18F2321", "pic18dip28"),      FromCatalogue("PIC18F4620", "pic18dip40"),
};

class P18f : public ChipFixture {
 protected:
  std::shared_ptr<sim::Pic18Chip> ChooseP18(const P18Line& l) {
    auto chip = sim::MakePic18(l.part);
    fake.chipParams = l.items;
    gApp.ExpectedId = l.id;
    Choose(l.key, 0, chip, "MICROCHIP: " + l.part, l.design);
    return chip;
  }
  static void Random(std::uint32_t from, std::uint32_t n, unsigned seed) {
    std::mt19937 gen(seed);
    for (std::uint32_t i = 0; i < n; ++i)
      gApp.CodeBuffer[from + i] = static_cast<std::uint8_t>(gen());
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  static void Dirty(sim::Pic18Chip& chip) {
    std::fill(chip.code.begin(), chip.code.end(), 0x12);
    std::fill(chip.ee.begin(), chip.ee.end(), 0x34);
    chip.ids.fill(0);
    chip.config.fill(0);  // code protection on everywhere
  }
};

class P18fRoundTrip : public P18f, public ::testing::WithParamInterface<P18Line> {};

TEST_P(P18fRoundTrip, EraseConfigWriteVerifyReadAndData) {
  const P18Line& l = GetParam();
  auto chip = ChooseP18(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto code = static_cast<std::uint32_t>(chip->code.size());
  const auto eeBytes = static_cast<std::uint32_t>(chip->ee.size());
  ASSERT_EQ(code, static_cast<std::uint32_t>(l.items.at("fla=")));
  ASSERT_EQ(eeBytes, static_cast<std::uint32_t>(l.items.at("ee=")));
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(code - 1));
  const bool fresh = l.key == "P18F4XXX";
  // The older parts' data area stays at 0x4200 only where the code ends below it.
  const std::uint32_t dataStart = fresh || code > 0x4200 ? 0x10000 : 0x4200;
  EXPECT_EQ(gApp.InfoRecord[1], static_cast<std::int32_t>(dataStart));
  EXPECT_EQ(gApp.InfoRecord[2], static_cast<std::int32_t>(eeBytes));
  EXPECT_EQ(prog->VppMillivolts(), 12500);

  // Chip erase takes code, data, IDs and configuration (protection included).
  Dirty(*chip);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_TRUE(std::all_of(chip->code.begin(), chip->code.end(), [](auto b) { return b == 0xFF; }));
  EXPECT_TRUE(std::all_of(chip->ee.begin(), chip->ee.end(), [](auto b) { return b == 0xFF; }));
  EXPECT_EQ(chip->ids,
            (std::array<std::uint8_t, 8>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  // The Erase click ran Blank after the erase: the status checked above is Blank's.

  // Configuration first, before Write makes the write buffer the programming wait: the chip
  // line's own delay must hold each byte long enough. Protection bits (bytes 8-13) stay erased.
  const std::array<std::uint8_t, 14> cfg = {0xA5, 0x5A, 0xC3, 0x3C, 0x96, 0x69, 0x81,
                                            0x7E, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  for (int i = 0; i < 14; ++i) gApp.OptionValues[i] = cfg[i];
  gApp.OptionValues[64] = 0x1234;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(chip->ConfigRead(i), cfg[i] & chip->sheet().configMask[i]) << i;
  }
  EXPECT_EQ(chip->ids[0], 0x34);
  EXPECT_EQ(chip->ids[1], 0x12);
  std::fill_n(gApp.OptionValues.begin(), 16, 0);
  gApp.OptionValues[64] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(gApp.OptionValues[i], cfg[i] & chip->sheet().configMask[i]) << i;
  }
  EXPECT_EQ(gApp.OptionValues[64], 0x1234);

  Random(0, code, 11);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->shortHolds, 0);
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
  // A fail at the top byte also proves every byte below it compared equal; the passing Verify
  // runs on the smaller lines of each set only, where a whole pass is cheap.
  if (code <= 16384) {
    EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  }
  chip->code[code - 1] ^= 0x80;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, code - 1);
  chip->code[code - 1] ^= 0x80;
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + code);
  std::fill_n(gApp.CodeBuffer.begin(), code, 0xEE);
  EXPECT_EQ(Run(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
  EXPECT_EQ(
      std::any_of(fake.log.begin(), fake.log.end(), [](const auto& x) { return x.text == "OK"; }),
      fresh);

  Random(dataStart, eeBytes, 12);
  std::vector<std::uint8_t> data(gApp.CodeBuffer.begin() + dataStart,
                                 gApp.CodeBuffer.begin() + dataStart + eeBytes);
  EXPECT_EQ(Run(kOpWriteData), 0) << LastLine();
  EXPECT_EQ(chip->ee, data);
  std::fill_n(gApp.CodeBuffer.begin() + dataStart, eeBytes, 0);
  EXPECT_EQ(Run(kOpReadData), 0) << LastLine();
  EXPECT_TRUE(std::equal(data.begin(), data.end(), gApp.CodeBuffer.begin() + dataStart));
  EXPECT_TRUE(Logged(fresh ? "OK,Read EE data to buffer at 010000" : "4200h"));

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Lines, P18fRoundTrip, ::testing::ValuesIn(kLines), [](const auto& info) {
  std::string n = info.param.part;
  std::replace(n.begin(), n.end(), '*', '_');
  return n;
});

// A wrong value in a catalogue line leaves the chip unwritten or refused: the wrong design for
// the package, no programming wait, a write buffer larger than the chip's.
struct WrongLine {
  int line;  // in kLines
  const char* item;
  int value;
  const char* design;
};

class P18fWrongLine : public P18f, public ::testing::WithParamInterface<WrongLine> {};

TEST_P(P18fWrongLine, FailsTheRoundTrip) {
  const WrongLine& c = GetParam();
  P18Line l = kLines[static_cast<std::size_t>(c.line)];
  l.items[c.item] = c.value;
  l.design = c.design;
  auto chip = ChooseP18(l);
  const auto code = static_cast<std::uint32_t>(chip->code.size());
  Random(0, code, 5);
  const bool passed = Click(kOpWrite) == 0 && Click(kOpVerify) == 0;
  EXPECT_FALSE(passed && std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
}

INSTANTIATE_TEST_SUITE_P(Items, P18fWrongLine,
                         ::testing::Values(WrongLine{2, "dly=", 0, "pic18f2331dip28"},
                                           WrongLine{2, "pkg=", 28, "pic18dip28"},
                                           WrongLine{5, "pkg=", 44, "pic18plcc44"},
                                           WrongLine{6, "wbs=", 16, "pic18dip28"}));

// The erase choices of "$Radio1": what each takes from a written chip.
struct EraseCase {
  int line;    // in kLines
  int choice;  // "$Radio1" item
  bool code, boot, data, config;
};

class P18fErase : public P18f, public ::testing::WithParamInterface<EraseCase> {};

TEST_P(P18fErase, ChoiceTakesItsArea) {
  const EraseCase& c = GetParam();
  auto chip = ChooseP18(kLines[c.line]);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  std::fill(chip->code.begin(), chip->code.end(), 0);
  std::fill(chip->ee.begin(), chip->ee.end(), 0);
  chip->config.fill(0xFF);
  chip->config[1] = 0;
  gApp.OptionValues[128] = c.choice;
  EXPECT_EQ(Run(kOpErase), 0) << LastLine();
  const std::uint32_t boot = chip->sheet().bootBytes;
  EXPECT_EQ(chip->code[0] == 0xFF, c.boot);
  EXPECT_EQ(chip->code[boot] == 0xFF, c.code);
  EXPECT_EQ(chip->code[chip->code.size() - 1] == 0xFF, c.code && c.choice == 0);
  EXPECT_EQ(chip->ee[0] == 0xFF, c.data);
  EXPECT_EQ(chip->config[1] == 0xFF, c.config);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(
    Choices, P18fErase,
    ::testing::Values(
        // P18FXX2 (PIC18F452): chip, EEPROM, boot block, panel 1.
        EraseCase{0, 0, true, true, true, true}, EraseCase{0, 1, false, false, true, false},
        EraseCase{0, 2, false, true, false, false}, EraseCase{0, 3, true, false, false, false},
        // P18F4XXX (PIC18F4550): chip, EEPROM, boot, config, block 0.
        EraseCase{4, 0, true, true, true, true}, EraseCase{4, 1, false, false, true, false},
        EraseCase{4, 2, false, true, false, false}, EraseCase{4, 3, false, false, false, true},
        EraseCase{4, 4, true, false, false, false}));

// An erase choice past the set's list (a project from another set, a hand-edited value) erases
// nothing: refused with its message, supplies off.
TEST_F(P18f, EraseChoiceOutOfRangeIsRefusedUnpowered) {
  // P18FXX2 has 7 erase codes, P18F4XXX 10.
  for (const auto& [line, size] : {std::pair{0, 7}, std::pair{4, 10}}) {
    for (const int choice : {size, 1000, -1}) {
      SCOPED_TRACE(std::to_string(line) + " choice " + std::to_string(choice));
      auto chip = ChooseP18(kLines[line]);
      std::fill(chip->code.begin(), chip->code.end(), 0);
      gApp.OptionValues[128] = choice;
      fake.log.clear();
      EXPECT_EQ(Run(kOpErase), 1);
      EXPECT_TRUE(Logged("Erase choice not known")) << LastLine();
      EXPECT_EQ(chip->erases, 0);
      EXPECT_EQ(chip->code[0], 0);
      EXPECT_EQ(prog->VccPin(), 0);
      EXPECT_EQ(prog->VppPin(), 0);
      ExpectNoHazard();
    }
  }
}

// A chip whose ID is not the line's is refused before anything is written; revision bits aside.
TEST_F(P18f, WrongDeviceIdGivesTypeError) {
  for (const int line : {0, 4}) {
    P18Line l = kLines[line];
    l.id[1] ^= 0x01;
    auto chip = ChooseP18(l);
    Random(0, static_cast<std::uint32_t>(chip->code.size()), 3);
    EXPECT_EQ(Click(kOpWrite), 1) << l.key;
    EXPECT_TRUE(Logged("Type error!")) << l.key;
    EXPECT_EQ(chip->rowsProgrammed, 0) << l.key;
    EXPECT_EQ(chip->code[0], 0xFF) << l.key;
    gApp.ExpectedId = kLines[line].id;
    EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
    EXPECT_EQ(Run(kOpReadId), 0);
    char want[32];
    std::snprintf(want, sizeof want, "Device ID: %02x,%02x", chip->sheet().devId & 0xFF,
                  chip->sheet().devId >> 8);
    EXPECT_TRUE(Logged(want)) << want;
  }
}

// A failed ID read (weak supply) fails the check instead of passing on an earlier read's bytes.
TEST_F(P18f, FailedIdReadFailsTheCheck) {
  auto chip = ChooseP18(kLines[0]);
  EXPECT_EQ(Run(kOpReadId), 0);
  prog->faults.powerOverload = true;
  EXPECT_EQ(Run(kOpReadConfig), 1);
  EXPECT_TRUE(Logged("Power weakly"));
  EXPECT_EQ(chip->entries, 2) << "the check's read, and nothing after it";
  prog->faults.powerOverload = false;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
}

// "wbs=" outside 1..64 is refused before the chip is powered for programming (the ID check's
// read is the only entry) or written.
TEST_F(P18f, WriteBufferSizeRefusedUnpowered) {
  for (const int wbs : {0, 65}) {
    P18Line l = kLines[4];
    l.items["wbs="] = wbs;
    auto chip = ChooseP18(l);
    const int entries = chip->entries;
    EXPECT_EQ(Run(kOpWrite), 1) << wbs;
    EXPECT_TRUE(Logged("Write buffer size error!")) << wbs;
    EXPECT_EQ(chip->entries, entries + 1) << wbs;
    EXPECT_EQ(chip->rowsProgrammed, 0) << wbs;
    EXPECT_EQ(prog->VccPin(), 0);
    EXPECT_EQ(prog->VppPin(), 0);
  }
}

// Without "ee=" Write data does nothing and says so, and is not offered.
TEST_F(P18f, WriteDataWithoutDataEepromDoesNothing) {
  for (const int line : {0, 4}) {
    P18Line l = kLines[line];
    l.items.erase("ee=");
    auto chip = ChooseP18(l);
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(gApp.InfoRecord[2], 0);
    const auto& list = gApp.ChipUiList;
    EXPECT_EQ(std::find(list.begin(), list.end(), "32 WrData"), list.end());
    const int entries = chip->entries;
    EXPECT_EQ(Run(kOpWriteData), 0);
    EXPECT_TRUE(Logged("nothing to write"));
    EXPECT_EQ(chip->entries, entries + 1);  // only the device ID read before the change
  }
}

// The set-up: the data area behind large code, the package table, VPP.
TEST_F(P18f, SetupFromTheChipLine) {
  P18Line l = kLines[7];
  l.items["fla="] = 131072;
  ChooseP18(l);
  EXPECT_EQ(gApp.InfoRecord[1], 0x20000);
  EXPECT_EQ(prog->VppMillivolts(), 12500);
  l.items["pkg="] = 41;
  auto chip = sim::MakePic18(l.part);
  fake.chipParams = l.items;
  prog->PlaceChipAtBottom(chip);
  gApp.TypeIndex = 0;
  runner.SetupChosenChip();
  EXPECT_TRUE(Logged("pkg="));
  EXPECT_EQ(Run(kOpBlank), 1);
}

// In system: a header with no chip on its lines reads FF FF, and the set says so.
TEST_F(P18f, IspWithoutAnAnsweringChip) {
  P18Line l = kLines[0];
  l.items["isp="] = 1;
  l.design = "pic18isp";
  ChooseP18(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.GroundPin, 0);
  prog->PlaceChipAtBottom(nullptr);
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_TRUE(Logged("Pin connection error!"));
}

// The 44-pin adapters' designs also take the PIC16 ICSP bytes (after register 20 = 0x84); the
// DIP designs do not know them.
TEST_F(P18f, The44PinDesignsTakeThePic16IcspBytes) {
  const std::uint8_t early[] = {49, 0x06};
  const std::uint8_t bytes[] = {10, 20, 0x84, 52, 51, 0x02, 0xFE, 0x01, 49, 0x08, 49, 0x06};
  for (const char* tag : {"pic18plcc44", "pic18qfp44", "pic18tqfp44"}) {
    prog->SetDesign(sim::MakeDesign(tag));
    prog->record.protocolErrors.clear();
    prog->BulkOut(early, sizeof early);
    ASSERT_EQ(prog->record.protocolErrors.size(), 1u) << tag;
    EXPECT_NE(prog->record.protocolErrors[0].find("register 20"), std::string::npos) << tag;
    prog->record.protocolErrors.clear();
    prog->BulkOut(bytes, sizeof bytes);
    EXPECT_TRUE(prog->record.protocolErrors.empty()) << tag << prog->record.protocolErrors[0];
  }
  prog->SetDesign(sim::MakeDesign("pic18dip40"));
  prog->record.protocolErrors.clear();
  prog->BulkOut(bytes, sizeof bytes);
  EXPECT_FALSE(prog->record.protocolErrors.empty());
}

}  // namespace p18f_test
}  // namespace zelvar::test
