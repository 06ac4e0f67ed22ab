// The package-selected 16-bit flash set "HN29AND" on its TSOP48 adapters: the round trip of the
// packages with a model (the HN29V25611 behind "tsop29cmd2aa" and "tsop29cmd2aaa") checked in
// the chip's cells, the erase checked blank, Write read back, and the refusals (identity, "pkg=",
// "we0=", packages without an erase sequence).
#include "algorithms/memory/HN29AND.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "ChipFixture.h"
#include "app/core/catalogue/ChipParams.h"
#include "app/core/catalogue/DeviceList.h"
#include "link/LinkState.h"
#include "sim/chips/AndFlash.h"
#include "sim/chips/ChipModels.h"

namespace zelvar::test {
namespace hn29and_test {

using memory::HN29AND;

constexpr std::array<std::uint8_t, 4> kId = {0x07, 0x00, 0x25, 0x00};

struct Window {
  std::uint32_t start, end;
};
struct Package {
  int pkg;
  const char* design;
  // Windows written after one erase, each with its own pattern. Together they reach A17 (word),
  // the top address line, and give every pair of the address lines above the windows' own a
  // window where the two differ, so that a line dropped or two lines swapped put bytes elsewhere.
  std::vector<Window> windows;
};
void PrintTo(const Package& p, std::ostream* os) {
  *os << "pkg=" << p.pkg << " " << p.design;
}

class HN29ANDFixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::AndFlash> Seat(int pkg = 4802, int we0 = 66, int dly = 20,
                                      const char* design = "tsop29cmd2aa") {
    fake.chipParams = {{"pkg=", pkg}, {"we0=", we0}, {"dly=", dly}};
    auto chip = sim::MakeAndFlash("HN29V25611");
    Choose("HN29AND", 1, chip, "HITACHI: HN29V25611", design);
    gApp.ExpectedId = kId;
    return chip;
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  // Commands sent to the design since the transcript was cleared.
  std::size_t DesignCommands() const {
    return static_cast<std::size_t>(std::count_if(
        prog->record.transcript.begin(), prog->record.transcript.end(), [](const sim::Command& c) {
          return c.op() == 65 || c.op() == 66 || c.op() == 69 || c.op() == 71;
        }));
  }
};

class HN29ANDRoundTrip : public HN29ANDFixture, public ::testing::WithParamInterface<Package> {};

TEST_P(HN29ANDRoundTrip, EraseWriteVerifyReadAndId) {
  const Package& r = GetParam();
  auto chip = Seat(r.pkg, 66, 20, r.design);
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  Range(r.windows[0].start, r.windows[0].end);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->chipErases, 1);
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto c) { return c == 0xFF; }));

  std::vector<std::uint8_t> image(chip->cells.size(), 0xFF);
  int words = 0;
  for (std::size_t k = 0; k < r.windows.size(); ++k) {
    const Window& w = r.windows[k];
    SCOPED_TRACE(w.start);
    const std::uint32_t n = w.end - w.start + 1;
    Range(w.start, w.end);
    Pattern(n, static_cast<std::uint8_t>(0x6B + 0x1D * k));
    EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
    EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
    std::copy_n(gApp.CodeBuffer.begin(), n, image.begin() + w.start);
    words += static_cast<int>(n / 2);

    // Read takes the window from "Addr start" into the buffer from offset 0.
    const std::vector<std::uint8_t> written(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + n);
    std::fill_n(gApp.CodeBuffer.begin(), n, 0x00);
    EXPECT_EQ(Click(kOpRead), 0) << LastLine();
    EXPECT_TRUE(std::equal(written.begin(), written.end(), gApp.CodeBuffer.begin()));
  }
  EXPECT_EQ(chip->programs, words);
  for (std::uint32_t a = 0; a < chip->cells.size(); ++a)
    ASSERT_EQ(chip->cells[a], image[a]) << std::hex << a;

  // A changed cell fails Verify, and Blank, at its offset (the last window's pattern is in the
  // buffer).
  const Window& last = r.windows.back();
  chip->cells[last.end] = 0x12;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, last.end - last.start);
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);

  runner.IdClick();
  EXPECT_TRUE(Logged("MFG ID=07,00,25,00"));
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
}

// 4802: the chip's start; four 256-byte windows whose address bits 8-18 read, window by window,
// the numbers 1-11 (bit 8 is 1 in the first window only, bit 18 in the second and fourth...);
// the chip's top. 4803: a window across the A17 boundary.
INSTANTIATE_TEST_SUITE_P(Packages, HN29ANDRoundTrip,
                         ::testing::Values(Package{4802,
                                                   "tsop29cmd2aa",
                                                   {{0x00000, 0x000FF},
                                                    {0x55500, 0x555FF},
                                                    {0x66600, 0x666FF},
                                                    {0x07800, 0x078FF},
                                                    {0x78000, 0x780FF},
                                                    {0x7FF00, 0x7FFFF}}},
                                           Package{4803, "tsop29cmd2aaa", {{0x3FE00, 0x401FF}}}),
                         [](const auto& info) { return std::to_string(info.param.pkg); });

// Each catalogue line of the set runs its chip as the line chooses it: its "pkg=" adapter, its
// "we0=" program command, its "dly=" long enough for the chip erase, its signature the chip's.
TEST_F(HN29ANDFixture, CatalogueLinesRunTheirChips) {
  std::ifstream in(std::string(ZELVAR_PROGRAM_DIR) + "/device6200.lst");
  std::string raw;
  int lines = 0;
  while (ReadDeviceLine(in, raw)) {
    const auto line = ParseDeviceLine(raw);
    if (!line || !line->hasComma) continue;
    const auto head = ParseParameterHead(line->parameters);
    if (!head || head->key != "HN29AND") continue;
    ++lines;
    SCOPED_TRACE(line->chipName);
    fake.chipParams.clear();
    for (const char* k : {"pkg=", "we0=", "dly=", "era="}) {
      if (line->parameters.find(k) != std::string::npos)
        fake.chipParams[k] = static_cast<int>(ParameterValue(line->parameters, k));
    }
    const auto* package = HN29AND::FindPackage(fake.chipParams["pkg="]);
    ASSERT_NE(package, nullptr);
    auto model = std::dynamic_pointer_cast<sim::AndFlash>(sim::MakeChipModel(line->chipName));
    ASSERT_NE(model, nullptr);
    const std::string bitstream(package->bitstream);
    Choose("HN29AND", head->typeIndex, model, line->manufacturer + ": " + line->chipName,
           bitstream.substr(0, bitstream.size() - 4));
    gApp.ExpectedId = head->expectedId;
    std::fill(model->cells.begin(), model->cells.end(), 0x00);
    Range(0x7FF00, 0x7FFFF);
    EXPECT_EQ(Click(kOpErase), 0) << LastLine();
    Pattern(0x100, 0x3C);
    EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
    for (std::uint32_t i = 0; i < 0x100; ++i)
      ASSERT_EQ(model->cells[0x7FF00 + i], gApp.CodeBuffer[i]) << i;
    EXPECT_EQ(model->cells[0], 0xFF);
    ExpectNoHazard();
  }
  EXPECT_GT(lines, 0);
}

// "Addr start" is taken on a 256-byte boundary by every operation alike.
TEST_F(HN29ANDFixture, UnalignedStartWritesAndReadsFromTheSameBoundary) {
  auto chip = Seat();
  Range(0x10234, 0x102FF);
  Pattern(0x100, 0x11);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t i = 0; i < 0x100; ++i) ASSERT_EQ(chip->cells[0x10200 + i], gApp.CodeBuffer[i]);
  EXPECT_EQ(chip->cells[0x101FF], 0xFF);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  ExpectNoHazard();
}

// A chip that answers with another maker code is refused by every operation but Read ID, which
// says so and sets the failure even after a passing operation.
TEST_F(HN29ANDFixture, WrongIdentityIsATypeError) {
  auto chip = Seat();
  Range(0, 0x3FF);
  gApp.ExpectedId = {0x01, 0x00, 0x49, 0x22};
  for (int op : {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpRead}) {
    fake.log.clear();
    gLink.StatusWord = 0;
    gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
    EXPECT_EQ(gLink.StatusWord, 1) << op;
    EXPECT_TRUE(Logged("Type error!")) << op;
  }
  EXPECT_EQ(chip->chipErases, 0);
  EXPECT_EQ(chip->programs, 0);
  EXPECT_EQ(Run(kOpReadId), 0);
  ExpectNoHazard();
}

// An erase the waits do not cover leaves the chip unerased: the blank read after it fails.
TEST_F(HN29ANDFixture, EraseNotFinishedIsReported) {
  auto chip = Seat(4802, 66, 1);
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  Range(0, 0x7FFFF);
  EXPECT_EQ(Run(kOpErase), 1);
  EXPECT_TRUE(Logged("Erase failed!"));
  EXPECT_EQ(chip->chipErases, 0);
}

// A word the chip does not take fails the Write at its offset: here "we0=" 71 sends the Intel
// word program, which this chip ignores.
TEST_F(HN29ANDFixture, WriteReadsBackWhatItWrote) {
  auto chip = Seat(4802, 71);
  Range(0x100, 0x1FF);
  Pattern(0x100, 0x00);
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_EQ(chip->programs, 0);
  EXPECT_LT(gLink.FailAddress, 0x100u);
  ExpectNoHazard();
}

// "we0=" must name a program command of the design: absent (0) or a register write (3) would
// turn each data word into programmer commands.
TEST_F(HN29ANDFixture, We0OtherThanAProgramCommandIsRefused) {
  EXPECT_TRUE(HN29AND::IsProgramCommand(66));
  EXPECT_TRUE(HN29AND::IsProgramCommand(71));
  for (int we0 : {0, 3, 65, 69}) {
    auto chip = Seat(4802, we0);
    prog->record.keepTranscript = true;
    prog->record.transcript.clear();
    Range(0, 0xFF);
    Pattern(0x100);
    fake.log.clear();
    EXPECT_EQ(Run(kOpWrite), 1) << we0;
    EXPECT_TRUE(Logged("we0=")) << we0;
    EXPECT_EQ(DesignCommands(), 0u) << we0;
    EXPECT_EQ(chip->programs, 0);
    prog->record.keepTranscript = false;
  }
}

// A "pkg=" outside the table loads no design and every chip operation is refused before it
// sends a command.
TEST_F(HN29ANDFixture, PkgOutsideTheTableIsRefused) {
  for (int pkg : {0, 2901, 4800}) {
    fake.chipParams = {{"pkg=", pkg}, {"we0=", 66}, {"dly=", 20}};
    prog->PlaceChipAtBottom(sim::MakeAndFlash("HN29V25611"));
    gApp.AlgorithmKey = "HN29AND";
    gApp.TypeIndex = 1;
    gApp.CurrentDispatcher = DispatcherForKey("HN29AND");
    runner.SetupChosenChip();
    prog->record.keepTranscript = true;
    prog->record.transcript.clear();
    for (int op : {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpRead, kOpReadId}) {
      fake.log.clear();
      EXPECT_EQ(Run(op), 1) << pkg << " " << op;
      EXPECT_TRUE(Logged("pkg=")) << pkg << " " << op;
    }
    EXPECT_EQ(DesignCommands(), 0u) << pkg;
    prog->record.keepTranscript = false;
  }
}

// The packages whose chips take no unlock sequence from this set get no erase, and say so.
TEST_F(HN29ANDFixture, EraseWithoutAnEraseSequenceIsNotSupported) {
  for (int pkg : {4801, 4401, 4402, 4408, 4096}) {
    fake.chipParams = {{"pkg=", pkg}, {"we0=", 66}, {"dly=", 20}};
    gApp.AlgorithmKey = "HN29AND";
    gApp.TypeIndex = 1;
    gApp.CurrentDispatcher = DispatcherForKey("HN29AND");
    runner.SetupChosenChip();
    EXPECT_EQ(prog->loadedDesign + ".bit", HN29AND::FindPackage(pkg)->bitstream) << pkg;
    fake.log.clear();
    EXPECT_EQ(Run(kOpErase), 1) << pkg;
    EXPECT_TRUE(Logged("not supported")) << pkg;
  }
}

// Set-up: the adapter's bitstream, VPP at 5 V, VCC at 3.3 V, the InfoRecord without ground pin
// or contact mask.
TEST_F(HN29ANDFixture, SetupAndInfoRecord) {
  Seat();
  EXPECT_EQ(prog->VccMillivolts(), 3300);
  EXPECT_EQ(prog->VppMillivolts(), 5000);
  const auto& info = gApp.InfoRecord;
  EXPECT_EQ(info[0], 0x7FFFF);
  EXPECT_EQ(info[3], 8);
  for (int w : {1, 2, 4, 5, 6, 7}) EXPECT_EQ(info[static_cast<std::size_t>(w)], 0) << w;
}

}  // namespace hn29and_test
}  // namespace zelvar::test
