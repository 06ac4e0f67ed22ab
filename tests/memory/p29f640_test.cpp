// The large-flash set "P29F640" on its adapter designs: the round trip of the rows with a model
// (the 16-bit TSOP48 adapter with the Am29LV160D and AT49BV1614A parts, the DIP32 adapter with
// the SST39VF040), sector protect and its read-back in chip word addresses, the protection
// register Config writes, the sector layouts and their grid, and the set-up's refusals.
#include "algorithms/memory/P29F640.h"

#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/JedecFlash.h"
#include "sim/chips/SectorFlash.h"

namespace zelvar::test {
namespace p29f640_test {

using memory::P29F640;

struct FlashRow {
  int row;
  const char* part;
  const char* title;
  int mem, cfg;
  std::array<std::uint8_t, 4> id;
  std::uint32_t start, end;  // a write window near the top address lines
  bool readWhole;            // Read takes the whole chip: one row runs it
  int model = 6200;          // the programmer model
};

class P29F640Fixture : public ChipFixture {
 protected:
  void Params(int mem, int cfg, int dly = 300, int msk = 1) {
    fake.chipParams = {{"mem=", mem}, {"cfg=", cfg}, {"vcc=", 3300}, {"dly=", dly}, {"msk=", msk}};
  }
  std::shared_ptr<sim::SectorFlash> Seat16(const char* part = "AM29LV160DB", int cfg = 9) {
    Params(5, cfg);
    auto chip = sim::MakeSectorFlash(part);
    Choose("P29F640", 2, chip, std::string("AMD: ") + part, "tsop48p29");
    return chip;
  }
  // The "$Grid1:" rows of the describe list.
  std::vector<std::string> GridRows() const {
    const auto& l = gApp.ChipUiList;
    auto it = std::find(l.begin(), l.end(), "$Grid1:Sector protect");
    std::vector<std::string> rows;
    if (it == l.end()) return rows;
    for (++it; it != l.end() && *it != "$end"; ++it) rows.push_back(*it);
    return rows;
  }
  void Flag(int sector) { gApp.OptionValues[sector / 16] |= 1 << (sector % 16); }
  bool Logged(const std::string& text) const {
    const auto log = fake.LogTexts();
    return std::any_of(log.begin(), log.end(),
                       [&](const auto& l) { return l.find(text) != std::string::npos; });
  }
};

class P29F640RoundTrip : public P29F640Fixture, public ::testing::WithParamInterface<FlashRow> {};

TEST_P(P29F640RoundTrip, EraseWriteVerifyReadAndId) {
  const FlashRow& r = GetParam();
  if (r.model != 6200) Connect(r.model);
  Params(r.mem, r.cfg);
  std::shared_ptr<sim::ChipModel> model;
  std::vector<std::uint8_t>* cells = nullptr;
  if (auto c = sim::MakeSectorFlash(r.part)) {
    cells = &c->cells;
    model = c;
  } else {
    auto j = sim::MakeJedecFlash(r.part);
    cells = &j->cells;
    model = j;
  }
  Choose("P29F640", r.row, model, r.title, r.row == 2 ? "tsop48p29" : "sst39xx040dip32");
  gApp.ExpectedId = r.id;
  std::fill(cells->begin(), cells->end(), 0x00);
  // The Blank after the erase checks the window; the cells show the whole chip erased.
  Range(r.start, r.end);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(std::all_of(cells->begin(), cells->end(), [](auto c) { return c == 0xFF; }));

  Pattern(r.end - r.start + 1, 0x6B);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  for (std::uint32_t a = 0; a < cells->size(); ++a) {
    const bool in = a >= r.start && a <= r.end;
    ASSERT_EQ((*cells)[a], in ? gApp.CodeBuffer[a - r.start] : 0xFF) << std::hex << a;
  }

  if (r.readWhole) {
    for (std::uint32_t a = 0; a < cells->size(); a += 0x3FF)
      (*cells)[a] = static_cast<std::uint8_t>(a >> 10);
    const std::vector<std::uint8_t> image = *cells;
    Range(0, 0xFFFFFF);
    EXPECT_EQ(Click(kOpRead), 0) << LastLine();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
  }
  runner.IdClick();
  char id[40];
  std::snprintf(id, sizeof id, "MFG ID =  %02X,%02X,%02X,%02X", r.id[0], r.id[1], r.id[2], r.id[3]);
  const std::size_t shown = r.row == 2 ? 21 : 15;  // an 8-bit row's check takes two bytes
  EXPECT_EQ(LastLine().substr(0, shown), std::string(id).substr(0, shown));
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, P29F640RoundTrip,
                         ::testing::Values(FlashRow{2,
                                                    "AM29LV160DB",
                                                    "AMD: AM29LV160DB",
                                                    5,
                                                    9,
                                                    {0x01, 0x00, 0x49, 0x22},
                                                    0x1FF7F2,
                                                    0x1FFFFF,
                                                    false},
                                           // Below 6200 the programmer has no program wait.
                                           FlashRow{2,
                                                    "AM29LV160DB",
                                                    "AMD: AM29LV160DB",
                                                    5,
                                                    9,
                                                    {0x01, 0x00, 0x49, 0x22},
                                                    0x1FF7F2,
                                                    0x1FFFFF,
                                                    false,
                                                    5149},
                                           FlashRow{2,
                                                    "AM29LV160DT",
                                                    "AMD: AM29LV160DT",
                                                    5,
                                                    10,
                                                    {0x01, 0x00, 0xC4, 0x22},
                                                    0x0F7F2,
                                                    0x107FF,
                                                    false},
                                           FlashRow{2,
                                                    "AT49BV1614A",
                                                    "ATMEL: AT49BV1614A",
                                                    5,
                                                    0,
                                                    {0x1F, 0x00, 0xC0, 0x00},
                                                    0x1FF7F2,
                                                    0x1FFFFF,
                                                    false},
                                           FlashRow{2,
                                                    "AT49BV1614AT",
                                                    "ATMEL: AT49BV1614AT",
                                                    5,
                                                    0,
                                                    {0x1F, 0x00, 0xC2, 0x00},
                                                    0x0F7F2,
                                                    0x107FF,
                                                    false},
                                           FlashRow{13,
                                                    "SST39VF040",
                                                    "SST: SST39VF040(P29F640)",
                                                    3,
                                                    0,
                                                    {0xBF, 0xD7, 0, 0},
                                                    0x7F7F3,
                                                    0x7FFFF,
                                                    true}),
                         [](const auto& info) {
                           return std::string(info.param.part) +
                                  (info.param.model != 6200
                                       ? "On" + std::to_string(info.param.model)
                                       : "");
                         });

// Lock protects the flagged sectors at their word addresses, Read config reads the flags back,
// and a chip erase leaves protected sectors alone unless the temporary unprotect lifts them.
TEST_F(P29F640Fixture, SectorProtectRoundTrip) {
  auto chip = Seat16();
  ASSERT_EQ(chip->sectors.size(), 35u);
  Flag(1);
  Flag(34);
  EXPECT_EQ(Run(kOpLock), 0) << LastLine();
  for (std::size_t k = 0; k < chip->sectors.size(); ++k)
    EXPECT_EQ(chip->sectors[k].protect, k == 1 || k == 34) << k;
  std::fill(gApp.OptionValues.begin(), gApp.OptionValues.begin() + 4, 0);
  gApp.OptionValues[2] = 0x3;  // a stale flag (sector 33) the read-back must clear
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], 1 << 1);
  EXPECT_EQ(gApp.OptionValues[2], 1 << 2);

  std::fill(gApp.OptionValues.begin(), gApp.OptionValues.begin() + 4, 0);
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  gApp.OptionValues[129] = 0;  // "Temp" off
  EXPECT_EQ(Run(kOpErase), 0);
  EXPECT_EQ(chip->cells[chip->sectors[1].start], 0x00);
  EXPECT_EQ(chip->cells[chip->sectors[2].start], 0xFF);
  gApp.OptionValues[129] = 1;  // "Temp": RESET# at 12 V through the erase
  EXPECT_EQ(Run(kOpErase), 0);
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto c) { return c == 0xFF; }));
  EXPECT_TRUE(chip->sectors[34].protect);

  Flag(5);
  EXPECT_EQ(Run(kOpUnProtect), 0);
  EXPECT_TRUE(std::none_of(chip->sectors.begin(), chip->sectors.end(),
                           [](const auto& s) { return s.protect; }));
  ExpectNoHazard();
}

// A 16-bit row takes byte addresses from the range grid and puts words on the chip: a window
// that starts inside the chip lands at its own address.
TEST_F(P29F640Fixture, WordRowWritesAtTheRangeStart) {
  auto chip = Seat16();
  Pattern(0x100, 0x11);
  Range(0x12340, 0x1243F);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->cells[0x1233F], 0xFF);
  EXPECT_TRUE(std::equal(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x100,
                         chip->cells.begin() + 0x12340));
  EXPECT_EQ(chip->cells[0x12440], 0xFF);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  ExpectNoHazard();
}

// The signature is checked before anything else: no 12 V reaches a chip of the wrong type, and
// the failure is reported after a success.
TEST_F(P29F640Fixture, TypeErrorComesFirstAndFails) {
  auto chip = Seat16("AM29LV160DT", 10);
  EXPECT_EQ(Run(kOpReadId), 0);
  gApp.ExpectedId = {0x01, 0x00, 0x49, 0x22};
  Flag(0);
  chip->sectors[3].protect = true;
  for (int op : {kOpErase, kOpWrite, kOpVerify}) {
    EXPECT_EQ(Run(op), 1) << op;
    EXPECT_EQ(LastLine(), "Type error!");
  }
  EXPECT_TRUE(chip->sectors[3].protect);
  EXPECT_EQ(chip->programs, 0);
  ExpectNoHazard();
}

// Config programs the four "Protect reg" words into the user block of the protection register
// (words 0x85-0x88), checks them through the identifier mode and only then locks the block; a
// second Config finds the block locked and says so. A chip without the register fails too.
TEST_F(P29F640Fixture, ConfigProgramsAndLocksTheProtectionRegister) {
  Params(5, 0, 300, 8);
  auto chip = sim::MakeSectorFlash("AT49BV1614A");
  Choose("P29F640", 2, chip, "ATMEL: AT49BV1614A", "tsop48p29");
  gApp.ExpectedId = {0x1F, 0x00, 0xC0, 0x00};
  const std::array<std::uint16_t, 9> before = chip->protection;
  const std::array<std::int32_t, 4> words = {0x1234, 0xA55A, 0x00FF, 0x8001};
  std::copy(words.begin(), words.end(), gApp.OptionValues.begin() + 66);
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(chip->protection[5 + i], words[i]) << i;
    EXPECT_EQ(chip->protection[1 + i], before[1 + i]) << i;  // the factory's block A
  }
  EXPECT_EQ(chip->protection[0] & 2, 0);  // block B locked
  EXPECT_EQ(std::count(chip->cells.begin(), chip->cells.end(), 0xFF), 0x200000);

  gApp.OptionValues[66] = 0x0000;
  EXPECT_EQ(Click(kOpConfig), 1);
  EXPECT_TRUE(Logged("Protect reg0 reads 1234")) << LastLine();
  EXPECT_EQ(chip->protection[5], 0x1234);
  ExpectNoHazard();

  Params(5, 9, 300, 8);
  auto amd = sim::MakeSectorFlash("AM29LV160DB");
  Choose("P29F640", 2, amd, "AMD: AM29LV160DB", "tsop48p29");
  gApp.ExpectedId = {0x01, 0x00, 0x49, 0x22};
  EXPECT_EQ(Click(kOpConfig), 1);
  EXPECT_TRUE(Logged("not locked")) << LastLine();
  EXPECT_EQ(amd->programs, 0);
  ExpectNoHazard();
}

TEST(P29F640Layouts, ExpandPerCfg) {
  struct Case {
    int cfg;
    std::size_t sectors;
    std::uint32_t lastStart;
  };
  for (const Case& c :
       {Case{0, 0, 0}, Case{1, 5, 0x10000}, Case{2, 5, 0x1C000}, Case{9, 35, 0x1F0000},
        Case{11, 67, 0x3F0000}, Case{14, 131, 0x7FC000}, Case{15, 8, 0xE0000}}) {
    const auto s = P29F640::ExpandLayout(P29F640::kLayouts[static_cast<std::size_t>(c.cfg)]);
    ASSERT_EQ(s.size(), c.sectors) << c.cfg;
    if (s.empty()) continue;
    EXPECT_EQ(s.front().start, 0u) << c.cfg;
    EXPECT_EQ(s.back().start, c.lastStart) << c.cfg;
    for (std::size_t k = 1; k < s.size(); ++k)
      EXPECT_EQ(s[k].start, s[k - 1].start + s[k - 1].bytes) << c.cfg;
  }
  const auto one = P29F640::ExpandLayout(P29F640::kLayouts[1]);
  const std::vector<std::uint32_t> starts = {0, 0x4000, 0x6000, 0x8000, 0x10000};
  for (std::size_t k = 0; k < starts.size(); ++k) EXPECT_EQ(one[k].start, starts[k]);
}

// The grid: none for cfg=0, one row per sector up to 64 with a message beyond, each row on its
// option word and bit.
TEST_F(P29F640Fixture, DescribeGridRows) {
  Seat16("AM29LV160DB", 0);
  EXPECT_TRUE(GridRows().empty());
  EXPECT_EQ(std::count(gApp.ChipUiList.begin(), gApp.ChipUiList.end(), "26 Protect"), 0);
  EXPECT_EQ(Run(kOpReadConfig), 0);
  EXPECT_EQ(LastLine(), "Can not read config!");

  Seat16("AM29LV160DB", 9);
  auto rows = GridRows();
  ASSERT_EQ(rows.size(), 35u);
  EXPECT_EQ(rows[34], "n=SA34 Protect,l=1,v=0,a=2,b=2");

  Seat16("AM29LV160DB", 13);
  rows = GridRows();
  ASSERT_EQ(rows.size(), 64u);
  EXPECT_EQ(rows[63], "n=SA63 Protect,l=1,v=0,a=3,b=15");
  const auto log = fake.LogTexts();
  EXPECT_NE(std::find_if(log.begin(), log.end(),
                         [](const auto& l) { return l.find("first 64 sectors") != l.npos; }),
            log.end());

  Params(5, 9, 300, 8);
  Choose("P29F640", 2, sim::MakeSectorFlash("AM29LV160DB"), "AMD: AM29LV160DB", "tsop48p29");
  EXPECT_NE(std::find(gApp.ChipUiList.begin(), gApp.ChipUiList.end(), "25 Config"),
            gApp.ChipUiList.end());
}

// An old programmer, a "mem=" without a size on the row or a "cfg=" beyond the layouts leave the
// set refusing every operation with a message, without touching the chip.
TEST_F(P29F640Fixture, SetUpRefusals) {
  struct Case {
    int mem, cfg;
    const char* name;
  };
  for (const Case& c :
       {Case{6, 9, ""}, Case{9, 9, ""}, Case{5, 16, ""}, Case{5, 9, "zor5105 ver1.02 "}}) {
    std::snprintf(gLink.ProgrammerName, sizeof gLink.ProgrammerName, "%s", c.name);
    Params(c.mem, c.cfg);
    auto chip = sim::MakeSectorFlash("AM29LV160DB");
    prog->PlaceChipAtBottom(chip);
    fake.chipTitle = gApp.ChipTitle = "AMD: AM29LV160DB";
    gApp.AlgorithmKey = "P29F640";
    gApp.TypeIndex = c.mem == 6 ? 6 : 2;
    gApp.CurrentDispatcher = DispatcherForKey("P29F640");
    runner.SetupChosenChip();
    std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
    for (int op : {kOpErase, kOpRead, kOpLock}) EXPECT_EQ(Run(op), 1) << c.mem << " " << c.cfg;
    EXPECT_EQ(chip->cells[0], 0x00);
    EXPECT_EQ(prog->VccPin(), 0);
  }
  EXPECT_FALSE(fake.boxes.empty());
  gLink.ProgrammerName[0] = '\0';
}

}  // namespace p29f640_test
}  // namespace zelvar::test
