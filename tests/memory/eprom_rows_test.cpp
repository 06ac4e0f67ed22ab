// Every type-table row of the EPROM sets that a catalogue line points at and that has a chip
// model: Erase where the set offers it, Write, Verify and Read through the runner's contact check,
// the chip's own cells checked, Read ID against the line's "#" bytes, and no hazard. The lines
// come from the catalogue the build lays into the program directory, so a new line or row is
// covered without new test code. Large parts run two 1 KiB windows, at the bottom and at the top,
// so that every address line is exercised.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "EpromFixture.h"
#include "algorithms/memory/I27CX.h"
#include "app/core/catalogue/ChipParams.h"
#include "app/core/catalogue/DeviceList.h"
#include "link/LinkState.h"

namespace zelvar::test {
namespace eprom_rows_test {

struct RowCase {
  std::string key;
  int row = 0;
  std::string maker, chipName, part, parameters;
  std::array<std::uint8_t, 4> id{};
  bool hasId = false;
};

// The sets this test knows how to drive; each offers Write, Verify and Read.
const std::set<std::string> kEpromSets = {"P27", "PW27", "SST27SF", "I27CX"};

void PrintTo(const RowCase& c, std::ostream* os) {
  *os << c.key << " " << c.row << " " << c.maker << " " << c.chipName;
}

std::vector<RowCase> CatalogueRows() {
  std::vector<RowCase> rows;
  std::ifstream in(std::string(ZELVAR_PROGRAM_DIR) + "/device6200.lst");
  std::string raw;
  while (ReadDeviceLine(in, raw)) {
    const auto line = ParseDeviceLine(raw);
    if (!line || !line->hasComma) continue;
    const auto head = ParseParameterHead(line->parameters);
    if (!head || !kEpromSets.count(head->key)) continue;
    // A package suffix ("*P44") names a part the DIP models do not stand for.
    if (line->chipName.find('*') != std::string::npos) continue;
    const std::string_view part = sim::EpromPartOf(line->chipName);
    if (part.empty()) continue;
    RowCase c;
    c.key = head->key;
    c.row = head->typeIndex;
    c.maker = line->manufacturer;
    c.chipName = line->chipName;
    c.part = std::string(part);
    c.parameters = line->parameters;
    c.id = head->expectedId;
    c.hasId = line->parameters.find('#') != std::string::npos;
    rows.push_back(c);
  }
  return rows;
}

std::string Name(const ::testing::TestParamInfo<RowCase>& info) {
  std::string n = info.param.key + "_" + std::to_string(info.param.row) + "_" + info.param.maker +
                  "_" + info.param.chipName;
  for (char& ch : n) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return n;
}

class EpromRows : public EpromFixture, public ::testing::WithParamInterface<RowCase> {
 protected:
  void ChooseLine(const RowCase& c) {
    fake.chipParams.clear();
    for (const char* k : {"vcc=", "mem=", "dly=", "cfg="}) {
      if (c.parameters.find(k) != std::string::npos)
        fake.chipParams[k] = static_cast<int>(ParameterValue(c.parameters, k));
    }
    const std::string tag = c.key == "I27CX" ? TagOf(c) : "zor5103";
    Choose(c.key, c.row, c.part, c.maker + ": " + c.chipName, tag);
  }
  // The row's own design: its bitstream without ".bit".
  static std::string TagOf(const RowCase& c) {
    const std::string_view bit = memory::I27CX::kTypes[static_cast<std::size_t>(c.row)].bitstream;
    return std::string(bit.substr(0, bit.find('.')));
  }

  // The pulse the describe list offers by default: each row's default must program its part.
  static std::int32_t PulseChoice() {
    const auto& l = gApp.ChipUiList;
    for (std::size_t i = 0; i < l.size() && l[i] != "$end"; ++i) {
      if (l[i].rfind("$Radio1:", 0) == 0) return std::stoi(l[i].substr(8, 2));
    }
    return 0;
  }

  // Bytes of the chip; a word-wide chip holds two per cell.
  std::uint32_t Bytes() const {
    return static_cast<std::uint32_t>(chip->cells.size() * (Wide() ? 2 : 1));
  }
  bool Wide() const { return chip->sheet().data.size() > 8; }
  std::uint8_t CellByte(std::uint32_t a) const {
    return Wide() ? static_cast<std::uint8_t>(chip->cells[a / 2] >> (a % 2 * 8))
                  : static_cast<std::uint8_t>(chip->cells[a]);
  }
};

TEST_P(EpromRows, EraseWriteVerifyReadAndId) {
  const RowCase& c = GetParam();

  ChooseLine(c);
  const std::uint32_t bytes = Bytes();
  ASSERT_EQ(static_cast<std::uint32_t>(gApp.InfoRecord[0]) + 1, bytes) << "the row's size";
  gApp.OptionValues[128] = PulseChoice();

  if (c.key == "PW27" || c.key == "SST27SF") {
    std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
    EXPECT_EQ(Run(kOpErase), 0);
    EXPECT_EQ(chip->erases, 1);
    EXPECT_TRUE(std::all_of(chip->cells.begin(), chip->cells.end(),
                            [](std::uint16_t v) { return v == 0xFF; }));
  }

  const std::uint32_t window = std::min<std::uint32_t>(0x400, bytes / 2);
  for (const std::uint32_t start : {0u, bytes - window}) {
    Pattern(window, static_cast<std::uint8_t>(start >> 8 | 0x11));
    gApp.OptionValues[64] = static_cast<std::int32_t>(start);
    // "Addr end" is the window's last byte.
    gApp.OptionValues[65] = static_cast<std::int32_t>(start + window - 1);
    ASSERT_EQ(Run(kOpWrite), 0) << std::hex << start << " fail " << gLink.FailAddress;
    ASSERT_EQ(Run(kOpVerify), 0) << std::hex << start << " fail " << gLink.FailAddress;
    for (std::uint32_t k = 0; k < window; ++k) {
      ASSERT_EQ(CellByte(start + k), gApp.CodeBuffer[k]) << std::hex << start + k;
    }
  }
  // Nothing outside the two windows changed.
  for (std::uint32_t a = window; a < bytes - window; a += 0x101) {
    ASSERT_EQ(CellByte(a), 0xFF) << std::hex << a;
  }

  // Read: the whole chip where it is small, else the first block.
  gApp.OptionValues[64] = 0;
  gApp.OptionValues[65] = bytes <= 0x40000 ? 0xFFFFFF : 0x3FF;
  const std::uint32_t readBytes = bytes <= 0x40000 ? bytes : 0x400;
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + readBytes, 0x5A);
  EXPECT_EQ(Run(kOpRead), 0);
  for (std::uint32_t a = 0; a < readBytes; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[a], CellByte(a)) << std::hex << a;
  }
  // A range shorter than the chip: Read fills the read blocks up to "Addr end" (8 KiB on the
  // word-wide rows, 1 KiB on the others) and leaves the buffer behind them as it was.
  const std::uint32_t block = c.key == "I27CX" ? 0x2000 : 0x400;
  if (bytes >= 2 * block) {
    gApp.OptionValues[65] = 0x3FF;
    std::fill(gApp.CodeBuffer.begin() + block, gApp.CodeBuffer.begin() + 2 * block, 0xA5);
    EXPECT_EQ(Run(kOpRead), 0);
    for (std::uint32_t a = block; a < 2 * block; a += 0x3F) {
      ASSERT_EQ(gApp.CodeBuffer[a], 0xA5) << std::hex << a;
    }
  }

  if (c.hasId && (c.key == "P27" || c.key == "SST27SF")) {
    fake.log.clear();
    Run(kOpReadId);
    char want[8];
    std::snprintf(want, sizeof want, "%02x,%02x", c.id[0], c.id[1]);
    ASSERT_FALSE(fake.log.empty());
    EXPECT_EQ(fake.log.back().text, want);
  }
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EpromRows, ::testing::ValuesIn(CatalogueRows()), Name);

// Every row of the EPROM sets' type tables runs above, but for the rows no chip model stands for,
// each named here by its caption with the reason.
TEST(EpromRowsCoverage, EveryTypeTableRowRunsOrSaysWhyNot) {
  const std::map<std::string_view, std::string_view> kNoModel = {
      {"2716    12.7v", "no 2716 programs at 12.7 V"},
      {"2716    21v", "no 2716 programs at 21 V"},
      {"2732    12.7v", "no 2732 programs at 12.7 V"},
      {"2764    25v", "no 2764 programs at 25 V"},
      {"27128   25v", "no 27128 programs at 25 V"},
      {"27c513   12.7v", "the 27513 is paged; the set addresses it flat"},
      {"27080   12.7v", "the AT27C080 and M27C801 take their makers' rows"},
      {"WSST27SF040 (512Kx8)", "no catalogue line: no SST27SF040 is made"},
      {"at27c2048p44.bit", "44-pin design not simulated"},
      {"at27c4096p44.bit", "44-pin design not simulated"},
      {"m27v320sop44.bit", "44-pin design not simulated"},
  };
  std::set<std::pair<std::string, int>> covered;
  for (const RowCase& c : CatalogueRows()) covered.insert({c.key, c.row});
  for (const AlgorithmSet& set : AlgorithmSets()) {
    if (!kEpromSets.count(std::string(set.key))) continue;
    for (int row = 1; row <= set.typeRows; ++row) {
      const std::string_view caption = set.rowCaption ? set.rowCaption(row) : "";
      const bool runs = covered.count({std::string(set.key), row}) > 0;
      EXPECT_NE(runs, kNoModel.count(caption) > 0) << set.key << " row " << row << " " << caption;
    }
  }
}

}  // namespace eprom_rows_test
}  // namespace zelvar::test
