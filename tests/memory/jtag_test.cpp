// The JTAG sets on the simulated programmer: "XC95X" and "LATTICEJTAG" round trips through the
// operation runner (contact check, a JEDEC file loaded into the text window, Erase, Blank, Write,
// Verify, Read) with the chip models' own cells checked, Read ID of all three sets, the engine's
// chunked read-back, and the refusals and failures the sets must not pass quietly.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "algorithms/memory/JtagRows.h"
#include "algorithms/memory/LATTICEJTAG.h"
#include "algorithms/memory/XC95X.h"
#include "algorithms/registry/Registry.h"
#include "app/core/buffer/BufferFiles.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/PldDocuments.h"
#include "sim/chips/C8051Tap.h"
#include "sim/chips/ChipModels.h"
#include "sim/chips/M4a5.h"
#include "sim/chips/Xc95.h"
#include "support/SimFixture.h"

namespace zelvar::test {
namespace jtag_test {

class JtagTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    gApp.Reset();
    gPld.Reset();
    prog->record.keepTranscript = false;
  }
  void TearDown() override {
    gApp.Reset();
    gPld.Reset();
    SimFixture::TearDown();
  }

  // Seats `model` as a user seats it and chooses row `row` of `key` through the runner.
  void Choose(const std::string& key, int row, std::shared_ptr<sim::ChipModel> model,
              const std::string& part, std::map<std::string, int> params) {
    if (model) prog->SeatChip(model);
    fake.chipParams = std::move(params);
    gApp.ChipTitle = fake.chipTitle = part;
    gApp.AlgorithmKey = key;
    gApp.TypeIndex = row;
    gApp.CurrentDispatcher = FindAlgorithmSet(key);
    ASSERT_NE(gApp.CurrentDispatcher, nullptr);
    runner.SetupChosenChip();
  }
  int Click(int op) {
    runner.OperationClick(op);
    ExpectEndState("operation " + std::to_string(op));
    return gLink.StatusWord;
  }
  int Run(int op) {
    gLink.StatusWord = 0;
    gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
    ExpectEndState("operation " + std::to_string(op) + " alone");
    return gLink.StatusWord;
  }
  std::string LastLine() const { return fake.log.empty() ? "" : fake.log.back().text; }
  bool Completed() const { return LastLine().find("Complete") != std::string::npos; }
  // A log line holding `text` (its English half: the log is in English).
  bool Logged(std::string text) const {
    text = text.substr(0, text.find('*'));
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  void ExpectNoHazard() const {
    EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
    EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
  }
  // The state every operation ends in, whatever its outcome: no supply on a pin, the pin drivers
  // off.
  bool Released() const { return prog->VccPin() == 0 && prog->VppPin() == 0 && !prog->DriversOn(); }
  // An operation through the runner and the state it leaves.
  int ClickReleased(int op) {
    const int status = Click(op);
    EXPECT_TRUE(Released()) << "after operation " << op;
    return status;
  }
  // The text loaded as a user loads a ".jed" file.
  void LoadJedecFile(const std::vector<std::string>& lines) {
    const std::string path = ::testing::TempDir() + "jtag_pattern.jed";
    FILE* f = std::fopen(path.c_str(), "wb");
    for (const auto& l : lines) std::fprintf(f, "%s\r\n", l.c_str());
    std::fclose(f);
    LoadBufferFile(path, 0);
    ASSERT_FALSE(gPld.jedec.lines.empty());
  }

  ChipUiModel ui;
  AutoProgrammer autoPro;
  OperationRunner runner{ui, autoPro};
};

// ---- XC95 -------------------------------------------------------------------------------------

int Xc95Width(int j) {
  return j < 9 ? 8 : 6;
}
int Xc95Fuse(int block, int row, int group, int bit, int seed) {
  return ((block * 31 + row * 7 + group * 5 + bit * 3 + seed) % 5) < 2 ? 1 : 0;
}

// A JEDEC file of an XC95 with `groups` groups a row: header fields, notes, one fuse line a row
// in block order, the checksum field and the end.
std::vector<std::string> Xc95Jedec(int groups, int seed, int blocks = sim::Xc95::kBlocks) {
  std::vector<std::string> lines = {"\x02QF" + std::to_string(blocks * 108 * groups) + "*", "QP44*",
                                    "F0*", "N DEVICE XC95-PC44*", "N pattern*"};
  int fuse = 0;
  for (int b = 0; b < blocks; ++b) {
    for (int j = 0; j < 15; ++j) {
      char head[16];
      std::snprintf(head, sizeof head, "L%07d ", fuse);
      std::string line = head;
      for (int g = 0; g < groups; ++g) {
        for (int i = 0; i < Xc95Width(j); ++i) line += Xc95Fuse(b, j, g, i, seed) ? '1' : '0';
        line += g + 1 < groups ? ' ' : '*';
      }
      lines.push_back(line);
      fuse += Xc95Width(j) * groups;
    }
  }
  lines.push_back("C0000*");
  lines.push_back(
      "\x03"
      "0000");
  return lines;
}

void ExpectXc95Holds(const sim::Xc95& chip, int seed) {
  for (int b = 0; b < sim::Xc95::kBlocks; b += 1) {
    for (int j = 0; j < 15; ++j) {
      for (int g = 0; g < chip.groups(); ++g) {
        for (int i = 0; i < 8; ++i) {
          const int want = i < Xc95Width(j) ? Xc95Fuse(b, j, g, i, seed) : 0;
          ASSERT_EQ(chip.Cell(b, j, 8 * g + i), want)
              << "block " << b << " row " << j << " group " << g << " fuse " << i;
        }
      }
    }
  }
}

struct Xc95Case {
  const char* part;
  int groups;
  const char* id;
};

class Xc95RoundTrip : public JtagTest, public ::testing::WithParamInterface<Xc95Case> {};

TEST_P(Xc95RoundTrip, FileLoadedErasedWrittenVerifiedAndRead) {
  const auto [part, groups, id] = GetParam();
  auto chip =
      std::static_pointer_cast<sim::Xc95>(sim::MakeChipModel(std::string("XILINX: ") + part));
  ASSERT_NE(chip, nullptr);
  chip->SetCell(0, 0, 1, 1);  // a used chip
  Choose("XC95X", 2, chip, part, {{"vcc=", 5000}, {"jbs=", 8 * groups}});
  EXPECT_EQ(prog->loadedDesign, "jtag95p44to44");
  EXPECT_EQ(gApp.InfoRecord[3], 2);
  const auto file = Xc95Jedec(groups, groups);
  LoadJedecFile(file);

  // Every operation, passed or failed, ends with VCC off and the pins released.
  EXPECT_EQ(ClickReleased(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->erases, 2);
  EXPECT_EQ(ClickReleased(kOpBlank), 0) << LastLine();
  EXPECT_EQ(ClickReleased(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->rowsProgrammed, sim::Xc95::kBlocks * 15);
  ExpectXc95Holds(*chip, groups);
  EXPECT_EQ(ClickReleased(kOpVerify), 0) << LastLine();
  EXPECT_EQ(ClickReleased(kOpBlank), 1);

  // Read replaces the window's text with the chip's fuse lines.
  gPld.jedec.lines = {"N an older text*", "L0000000 1*"};
  EXPECT_EQ(ClickReleased(kOpRead), 0) << LastLine();
  const std::vector<std::string> fuseLines(file.begin() + 5, file.end() - 2);
  EXPECT_EQ(gPld.jedec.lines, fuseLines);

  EXPECT_EQ(ClickReleased(kOpReadId), 0);
  EXPECT_TRUE(Logged(id)) << id;
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Parts, Xc95RoundTrip,
                         ::testing::Values(Xc95Case{"XC9536", 4, "93,20,50,09,"},
                                           Xc95Case{"XC9572", 8, "93,40,50,09,"}));

// A register of more than 51 bytes comes back in one reply per 50-byte part: a chip with 50
// groups a row (418-bit register) reads back every group where it belongs.
TEST_F(JtagTest, LongRegistersReadBackInParts) {
  auto chip = std::make_shared<sim::Xc95>("XC9572", 50, 0x09504093);
  for (int g = 0; g < 50; ++g) chip->SetCell(7, 3, 8 * g + g % 8, 1);
  Choose("XC95X", 2, chip, "XC9572", {{"vcc=", 5000}, {"jbs=", 400}});
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  const auto& line = gPld.jedec.lines.at(7 * 15 + 3);
  for (int g = 0; g < 50; ++g)
    EXPECT_EQ(line[static_cast<std::size_t>(9 + 9 * g + g % 8)], '1') << g;
  EXPECT_EQ(std::count(line.begin(), line.end(), '1'), 50);
  ExpectNoHazard();
}

class Xc95Mends : public JtagTest {
 protected:
  void SetUp() override {
    JtagTest::SetUp();
    chip = std::static_pointer_cast<sim::Xc95>(sim::MakeChipModel("XC9572"));
    Choose("XC95X", 2, chip, "XC9572", {{"vcc=", 5000}, {"jbs=", 64}, {"edt=", 100}});
  }
  bool VccOff() const { return prog->VccPin() == 0; }
  std::shared_ptr<sim::Xc95> chip;
};

// Write needs a fuse line for every row: a file that ends before the last block, or a file for
// another device (other group count or width), fails instead of leaving a half-written chip.
TEST_F(Xc95Mends, WriteFailsOnFilesThatDoNotCoverTheChip) {
  auto shortFile = Xc95Jedec(8, 1, 20);
  struct Case {
    const char* what;
    std::vector<std::string> lines;
  };
  auto narrow = Xc95Jedec(4, 1);
  auto wideRow = Xc95Jedec(8, 1);
  wideRow[5 + 10] = wideRow[5 + 1];  // an 8-fuse line where a 6-fuse row stands
  const Case cases[] = {
      {"ends early", shortFile}, {"other group count", narrow}, {"other width", wideRow}};
  for (const Case& c : cases) {
    fake.boxes.clear();
    gPld.jedec.lines = c.lines;
    EXPECT_EQ(Click(kOpWrite), 1) << c.what;
    ASSERT_FALSE(fake.boxes.empty()) << c.what;
    EXPECT_EQ(fake.boxes.back(), memory::kFileFormatError) << c.what;
    EXPECT_TRUE(VccOff()) << c.what;
  }
  // A text with no fuse line at all never reaches the chip, and Write and Verify fail.
  gPld.jedec.lines = {"N nothing*"};
  const int before = chip->rowsProgrammed;
  for (int op : {int{kOpWrite}, int{kOpVerify}}) {
    fake.boxes.clear();
    EXPECT_EQ(ClickReleased(op), 1) << op;
    ASSERT_FALSE(fake.boxes.empty()) << op;
    EXPECT_EQ(fake.boxes.back(), memory::kJedecShapeError) << op;
    EXPECT_FALSE(Completed()) << op;
  }
  EXPECT_EQ(chip->rowsProgrammed, before);
  ExpectNoHazard();
}

// Verify of a file whose fuse lines stop before the last block fails, whether the text ends or
// goes on with other fields.
TEST_F(Xc95Mends, VerifyPastTheLastLineFails) {
  gPld.jedec.lines = Xc95Jedec(8, 2);
  ASSERT_EQ(Click(kOpWrite), 0);
  for (bool tail : {false, true}) {
    auto lines = Xc95Jedec(8, 2, 30);
    if (!tail) lines.resize(lines.size() - 2);
    gPld.jedec.lines = lines;
    fake.boxes.clear();
    EXPECT_EQ(Click(kOpVerify), 1);
    ASSERT_FALSE(fake.boxes.empty());
    EXPECT_EQ(fake.boxes.back(), memory::kFileFormatError);
    EXPECT_TRUE(VccOff());
  }
  // A differing fuse names its line.
  auto lines = Xc95Jedec(8, 2);
  lines[5 + 40][12] = lines[5 + 40][12] == '1' ? '0' : '1';
  gPld.jedec.lines = lines;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gPld.jedec.selectedLine, 5 + 40 + 1);
  EXPECT_TRUE(VccOff());
  ExpectNoHazard();
}

// Blank reads every block: one programmed fuse anywhere (outside block 0 too, in an 8-fuse and a
// 6-fuse row, first and last group) fails it at the first fuse of its row's line.
TEST_F(Xc95Mends, BlankFindsOneFuseInAnyBlock) {
  struct Fuse {
    int block, row, group, bit;
  };
  const int groups = 8;
  for (const Fuse f : {Fuse{1, 0, 0, 3}, Fuse{9, 4, 4, 7}, Fuse{sim::Xc95::kBlocks - 1, 14, 7, 2},
                       Fuse{sim::Xc95::kBlocks - 1, 10, 1, 5}}) {
    SCOPED_TRACE(std::to_string(f.block) + "/" + std::to_string(f.row));
    chip->SetCell(f.block, f.row, 8 * f.group + f.bit, 1);
    EXPECT_EQ(Click(kOpBlank), 1);
    int line = f.block * 108 * groups;
    for (int j = 0; j < f.row; ++j) line += Xc95Width(j) * groups;
    EXPECT_EQ(gLink.FailAddress, static_cast<std::uint32_t>(line));
    EXPECT_TRUE(VccOff());
    chip->SetCell(f.block, f.row, 8 * f.group + f.bit, 0);
  }
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  ExpectNoHazard();
}

// The erase is polled "edt=" / 10 + 1 times: too few polls for the chip's erase time fail.
TEST_F(Xc95Mends, EraseWithTooFewPollsFails) {
  fake.chipParams["edt="] = 10;
  runner.SetupChosenChip();
  EXPECT_EQ(Click(kOpErase), 1);
  EXPECT_TRUE(Logged("擦除失败!"));
  EXPECT_TRUE(VccOff());
  ExpectNoHazard();
}

// Lock writes its fifteen rows of block 11 and restarts the chip's power (ISP mode ends).
TEST_F(Xc95Mends, LockWritesItsRowsAndRestartsPower) {
  const int before = chip->rowsProgrammed;
  EXPECT_EQ(ClickReleased(kOpLock), 0) << LastLine();
  EXPECT_EQ(chip->rowsProgrammed - before, 15);
  EXPECT_FALSE(chip->isp());
  ExpectNoHazard();
}

// Rows without a design and lines without "vcc=" or with a row size the shift buffer cannot hold
// are refused at set-up; the refused set sends nothing.
TEST_F(JtagTest, SetUpRefusals) {
  struct Case {
    const char* key;
    int row;
    std::map<std::string, int> params;
    const char* line;
  };
  const Case cases[] = {
      {"XC95X", 0, {{"vcc=", 5000}}, frame::kNoSuchType},
      {"XC95X", 2, {{"jbs=", 64}}, memory::kNoVcc},
      {"XC95X", 2, {{"vcc=", 5000}, {"jbs=", 2048}}, memory::kRowBitsRange},
      {"XC95X", 2, {{"vcc=", 5000}, {"jbs=", 60}}, memory::kRowBitsRange},
      {"C8051JTAG", 0, {{"vcc=", 3300}}, frame::kNoSuchType},
      {"LATTICEJTAG", 3, {}, frame::kNoSuchType},
      {"LATTICEJTAG", 4, {}, frame::kNoSuchType},
  };
  for (const Case& c : cases) {
    Choose(c.key, c.row, nullptr, "none", c.params);
    const auto transfers = prog->record.transfers;
    fake.log.clear();
    EXPECT_EQ(Run(kOpReadId), 1) << c.key << c.row;
    EXPECT_TRUE(Logged(c.line)) << c.key << " " << c.row << " " << c.line;
    EXPECT_EQ(prog->record.transfers, transfers) << c.key << c.row;
  }
}

// Every row of the three sets either runs on a chip model in the tests above or is named here
// with the reason it does not.
TEST(JtagRowsCoverage, EveryRowRunsOrIsNamed) {
  const std::map<std::pair<std::string, int>, std::string> rows = {
      {{"XC95X", 1}, "in-system header: the chip is on the user's board"},
      {{"XC95X", 2}, "run: XC9536, XC9572"},
      {{"XC95X", 3}, "the 44-to-40 adapter does not seat the PLCC44 pin for pin"},
      {{"XC95X", 4}, "in-system header: a PLCC84 part on the user's board"},
      {{"C8051JTAG", 1}, "in-system header: the chip is on the user's board"},
      {{"C8051JTAG", 2}, "run: C8051F012 (Read ID)"},
      {{"LATTICEJTAG", 1}, "in-system header: the chip is on the user's board"},
      {{"LATTICEJTAG", 2}, "run: M4A5-32/32"},
      {{"LATTICEJTAG", 3}, "an empty record: refused at set-up"},
      {{"LATTICEJTAG", 4}, "no bitstream: refused at set-up"},
  };
  for (const char* key : {"XC95X", "C8051JTAG", "LATTICEJTAG"}) {
    const AlgorithmSet* set = FindSet(key);
    ASSERT_NE(set, nullptr) << key;
    for (int row = set->firstRow; row <= set->typeRows; ++row)
      EXPECT_EQ(rows.count({key, row}), 1u) << key << " row " << row;
  }
}

// ---- Read ID of the three sets ----------------------------------------------------------------

TEST_F(JtagTest, ReadIdOfTheThreeSets) {
  Choose("XC95X", 2, sim::MakeChipModel("XC9536"), "XC9536", {{"vcc=", 5000}});
  EXPECT_EQ(Click(kOpReadId), 0);
  EXPECT_TRUE(Logged("93,20,50,09,"));

  Connect(6200);
  Choose("C8051JTAG", 2, sim::MakeChipModel("C8051F012"), "C8051F012", {{"vcc=", 3300}});
  EXPECT_EQ(prog->loadedDesign, "jtagC8051f32pin");
  EXPECT_EQ(ClickReleased(kOpReadId), 0);
  EXPECT_TRUE(Logged("43,02,00,10,"));

  Connect(6200);
  Choose("LATTICEJTAG", 2, sim::MakeChipModel("M4A5-32/32"), "M4A5-32/32", {});
  EXPECT_EQ(ClickReleased(kOpReadId), 0);
  EXPECT_TRUE(Logged("ID:(03,c0,75,01)    User ID:(ff,ff,ff,ff)")) << LastLine();
  ExpectNoHazard();
}

// "C8051JTAG" has no flash programming for the C8051F: every operation but Read ID is refused with
// its line before the chip is powered, a JEDEC text loaded or not.
TEST_F(JtagTest, C8051RunsReadIdOnly) {
  Connect(6200);
  Choose("C8051JTAG", 2, sim::MakeChipModel("C8051F012"), "C8051F012", {{"vcc=", 3300}});
  LoadJedecFile(Xc95Jedec(8, 1));
  for (int op :
       {int{kOpErase}, int{kOpBlank}, int{kOpWrite}, int{kOpVerify}, int{kOpLock}, int{kOpRead}}) {
    fake.log.clear();
    prog->record.keepTranscript = true;
    prog->record.Clear();
    EXPECT_EQ(ClickReleased(op), 1) << op;
    EXPECT_TRUE(Logged(memory::kC8051ReadIdOnly)) << op;
    EXPECT_FALSE(Completed()) << op;
    for (const auto& c : prog->record.transcript) {
      EXPECT_NE(c.op(), 79) << op << ": a JTAG shift after the refusal";
    }
  }
  ExpectNoHazard();
}

// An empty socket: no JTAG device answers on any of the sets.
TEST_F(JtagTest, NoChipIsNotFound) {
  for (const char* key : {"XC95X", "LATTICEJTAG"}) {
    Connect(6200);
    Choose(key, 2, nullptr, "none", {{"vcc=", 5000}, {"jbs=", 32}});
    fake.log.clear();
    EXPECT_EQ(Run(kOpReadId), 1) << key;
    EXPECT_TRUE(Logged("Not find chip!")) << key;
    EXPECT_EQ(prog->VccPin(), 0) << key;
  }
  // The C8051F's Read ID: in the socket the contact check refuses, on the in-system header (no
  // contact test there) the set finds no IDCODE.
  for (const int row : {1, 2}) {
    Connect(6200);
    Choose("C8051JTAG", row, nullptr, "none", {{"vcc=", 3300}});
    fake.log.clear();
    EXPECT_EQ(Click(kOpReadId), 1) << row;
    if (row == 1) {
      EXPECT_TRUE(Logged("Not find chip!")) << LastLine();
    }
  }
}

// ---- LATTICEJTAG ------------------------------------------------------------------------------

// A JEDEC text of the M4A5: 378 fuse lines of 80 fuses (line m holds fuse m of every row).
std::vector<std::string> M4a5Jedec(int seed, std::vector<std::vector<int>>& fuses) {
  fuses.assign(80, std::vector<int>(378, 1));
  std::vector<std::string> lines = {"\x02QF30240*", "F0*", "N M4A5 pattern*"};
  for (int m = 0; m < 378; ++m) {
    char head[16];
    std::snprintf(head, sizeof head, "L%06d ", m * 80);
    std::string line = head;
    for (int r = 0; r < 80; ++r) {
      fuses[r][m] = (r * 11 + m * 7 + seed) % 3 ? 1 : 0;
      line += fuses[r][m] ? '1' : '0';
    }
    lines.push_back(line + "*");
  }
  lines.push_back("C0000*");
  return lines;
}

class LatticeTest : public JtagTest {
 protected:
  void SetUp() override {
    JtagTest::SetUp();
    chip = std::static_pointer_cast<sim::M4a5>(sim::MakeChipModel("AMD: M4A5-32/32"));
    Choose("LATTICEJTAG", 2, chip, "M4A5-32/32", {});
    EXPECT_EQ(prog->loadedDesign, "jtagM4a5P44to44");
  }
  std::shared_ptr<sim::M4a5> chip;
};

// Write erases and programs every row; Verify and Read see the fuses where Write put them (the
// capture image is the model's, so that the host's realignment lands on fuse 0 to 375).
TEST_F(LatticeTest, RoundTrip) {
  std::vector<std::vector<int>> fuses;
  const auto file = M4a5Jedec(1, fuses);
  LoadJedecFile(file);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->rowsProgrammed, 80);
  for (int r = 0; r < 80; ++r) {
    for (int m = 0; m < 378; ++m) ASSERT_EQ(chip->Fuse(r, m), fuses[r][m]) << r << " " << m;
  }
  EXPECT_EQ(chip->closingRow.size(), 378u);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  EXPECT_EQ(Click(kOpBlank), 1);

  gPld.jedec.lines = {"N older*"};
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  ASSERT_EQ(gPld.jedec.lines.size(), 378u + 2);
  for (int m = 0; m < 376; ++m)
    EXPECT_EQ(gPld.jedec.lines[static_cast<std::size_t>(m) + 1],
              file[static_cast<std::size_t>(m) + 3])
        << m;
  // Fuses 376 and 377 do not come back: they read as erased.
  EXPECT_EQ(gPld.jedec.lines[377], "L030080 " + std::string(80, '1') + "*");
  // What Read gave verifies.
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  ExpectNoHazard();
}

// Verify compares fuses 0 to 375 of rows 0 to 66: a changed fuse 375 of row 0 fails at its byte,
// a change in row 67 passes.
TEST_F(LatticeTest, VerifyFindsTheHighFusesOfARow) {
  std::vector<std::vector<int>> fuses;
  LoadJedecFile(M4a5Jedec(2, fuses));
  ASSERT_EQ(Click(kOpWrite), 0);
  chip->SetFuse(67, 10, 1 - chip->Fuse(67, 10));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->SetFuse(0, 375, 1 - chip->Fuse(0, 375));
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 46u);
  ExpectNoHazard();
}

// An identification other than the catalogue's expected one is refused before any programming.
TEST_F(LatticeTest, ExpectedIdMismatchIsATypeError) {
  gApp.ExpectedId = {0x03, 0xC0, 0x75, 0x02};
  EXPECT_EQ(Click(kOpErase), 1);
  EXPECT_TRUE(Logged(memory::kTypeError));
  EXPECT_EQ(chip->erases, 0);
  EXPECT_EQ(prog->VccPin(), 0);
  gApp.ExpectedId = {0x03, 0xC0, 0x75, 0x01};
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  ExpectNoHazard();
}

// A text with another number of fuse lines is refused before the chip is touched.
TEST_F(LatticeTest, WrongFuseLineCountIsRefused) {
  std::vector<std::vector<int>> fuses;
  auto file = M4a5Jedec(3, fuses);
  file.erase(file.begin() + 100);
  gPld.jedec.lines = file;
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_EQ(chip->rowsProgrammed, 0);
  EXPECT_EQ(chip->erases, 0);
  ExpectNoHazard();
}

TEST(LatticeRows, OneHotRowAndRealignment) {
  EXPECT_EQ(memory::OneHotRow(0), "8" + std::string(19, '0'));
  EXPECT_EQ(memory::OneHotRow(5), "04" + std::string(18, '0'));
  EXPECT_EQ(memory::OneHotRow(79), std::string(19, '0') + "1");
  std::vector<std::uint8_t> bytes(48);
  ASSERT_TRUE(memory::HexDigitsToBits("2" + std::string(94, '0'), bytes, 378));
  EXPECT_EQ(bytes[47], 0x02);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 47);
  EXPECT_FALSE(memory::HexDigitsToBits("4" + std::string(94, '0'), bytes, 378));
  // Stream bit j lands on out bit (373 - j) mod 384.
  std::vector<std::uint8_t> in(48, 0), out(48);
  in[0] = 0x01;   // stream bit 0
  in[47] = 0x80;  // stream bit 383
  memory::RowFromReadBack(in.data(), out.data());
  EXPECT_EQ(out[46], 0x60);  // out bits 373 and 374
  EXPECT_EQ(std::count(out.begin(), out.end(), 0), 47);
}

}  // namespace jtag_test
}  // namespace zelvar::test
