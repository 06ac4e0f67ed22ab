// The parallel EEPROM and page-write flash sets ("SST29EE", "AT29CX", "AT29C256", "AT28CX",
// "AT28C256", "P2816") end to end on the simulated programmer with datasheet models of the parts:
// every type row that has a model, through the runner with its contact check, the chip's own
// cells checked.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "ChipFixture.h"
#include "algorithms/memory/PageWriteSet.h"
#include "algorithms/registry/Registry.h"
#include "app/core/catalogue/ChipParams.h"
#include "app/core/catalogue/DeviceList.h"
#include "link/LinkState.h"
#include "sim/chips/PageEeprom.h"

namespace zelvar::test {
namespace page_write_test {

struct PageRow {
  const char* key;
  int row;
  const char* part;
  bool erase = false;    // the set offers Erase
  bool protect = false;  // and Protect / UnProtect
};

// The cells a used part holds before the test writes it.
std::uint8_t Old(std::uint32_t a) {
  return static_cast<std::uint8_t>(a * 3 + (a >> 9));
}

class PageRoundTrip : public ChipFixture, public ::testing::WithParamInterface<PageRow> {
 protected:
  std::shared_ptr<sim::PageEeprom> chip;
  std::uint32_t size = 0;

  void SetUp() override {
    ChipFixture::SetUp();
    const PageRow& c = GetParam();
    chip = sim::MakePageEeprom(c.part);
    ASSERT_NE(chip, nullptr);
    if (std::string(c.key) == "P2816") fake.chipParams["era="] = 1;
    Choose(c.key, c.row, chip, std::string("TEST: ") + c.part);
    size = static_cast<std::uint32_t>(chip->cells.size());
    ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(size));
  }
};

// A used part: Erase where offered (with the Blank the runner runs after it), then a write whose
// range starts and ends inside pages near the top address lines, Verify and Read. The part's bytes
// outside the range keep their values; Protect, a plain write the part ignores, UnProtect and a
// write that lands follow where the set offers them.
TEST_P(PageRoundTrip, EraseWriteVerifyReadProtect) {
  const PageRow& c = GetParam();
  // Through the runner (which runs Blank after Erase) up to 64 KiB; the larger parts' whole
  // arrays are checked in the model.
  const bool small = size <= 0x10000;
  if (c.erase) {
    std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
    EXPECT_EQ(small ? Click(kOpErase) : Run(kOpErase), 0) << LastLine();
    EXPECT_EQ(chip->chipErases, 1);
    ASSERT_TRUE(
        std::all_of(chip->cells.begin(), chip->cells.end(), [](auto b) { return b == 0xFF; }));
  }
  for (std::uint32_t a = 0; a < size; ++a) chip->cells[a] = Old(a);

  // The byte-write parts take 10 ms a byte: a shorter window keeps the test quick.
  const std::uint32_t window = std::string(c.key) == "P2816" ? 0x100 : 0x800;
  const std::uint32_t start = size - window + 0x13, end = size - 0x25;
  Pattern(end - start + 1, 0x3C);
  Range(start, end);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  for (std::uint32_t a = 0; a < size; ++a) {
    const bool inside = a >= start && a <= end;
    ASSERT_EQ(chip->cells[a], inside ? gApp.CodeBuffer[a - start] : Old(a)) << std::hex << a;
  }
  EXPECT_EQ(chip->ignoredLoads, 0);

  std::vector<std::uint8_t> image(chip->cells.begin(), chip->cells.end());
  const std::uint32_t readSize = small ? size : 0x800;
  Range(0, small ? 0xFFFFFF : readSize - 1);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + size, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + readSize, gApp.CodeBuffer.begin()));
  // Past "Addr end" the buffer stays as it was ("P2816" alone reads the whole chip).
  if (!small && std::string(c.key) != "P2816") {
    EXPECT_TRUE(std::all_of(gApp.CodeBuffer.begin() + readSize,
                            gApp.CodeBuffer.begin() + std::min(size, readSize + 0x800),
                            [](auto b) { return b == 0; }));
  }
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);

  if (!c.protect) return;
  EXPECT_EQ(Click(kOpLock), 0) << LastLine();
  EXPECT_TRUE(chip->protection);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), chip->cells.begin()));  // page 0 reloaded
  Range(0x100, 0x2FF);
  Pattern(0x200, 0x77);
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), chip->cells.begin()));
  // UnProtect is a step of the Go group, which runs it without a button of its own.
  EXPECT_EQ(Run(kOpUnProtect), 0);
  EXPECT_FALSE(chip->protection);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t a = 0x100; a < 0x300; ++a) {
    ASSERT_EQ(chip->cells[a], gApp.CodeBuffer[a - 0x100]) << std::hex << a;
  }
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PageRoundTrip,
    ::testing::Values(
        // A 28-pin 29-series part on the 28-pin row: WE# on pin 1, A14 on pin 27.
        PageRow{"SST29EE", 1, "AT29C256", true, true},
        PageRow{"SST29EE", 3, "SST29EE512", true, true},
        PageRow{"SST29EE", 4, "SST29EE010", true, true},
        PageRow{"SST29EE", 5, "SST29EE020", true, true},
        PageRow{"AT29CX", 1, "AT29C256", true, true}, PageRow{"AT29CX", 3, "AT29C512", true, true},
        PageRow{"AT29CX", 4, "AT29C010A", true, true}, PageRow{"AT29CX", 5, "AT29C020", true, true},
        PageRow{"AT29CX", 7, "AT29C040A", true, true},
        PageRow{"AT29C256", 1, "AT29C256", true, false},
        PageRow{"AT28CX", 1, "AT28C256", false, true},
        PageRow{"AT28CX", 4, "AT28C010", false, true},
        PageRow{"AT28CX", 8, "AT28C64B", false, true},
        PageRow{"AT28CX", 6, "AT28C040", false, true},
        // No software data protection: the row offers neither Lock nor UnProtect.
        PageRow{"AT28CX", 9, "HN58C65", false, false},
        PageRow{"AT28C256", 1, "AT28C64B", true, true},
        PageRow{"AT28C256", 2, "AT28C256", true, true}, PageRow{"P2816", 2, "2816A", true, false},
        PageRow{"P2816", 4, "2817A", true, false}, PageRow{"P2816", 6, "X2864A", true, false},
        PageRow{"P2816", 7, "AT28C64", true, false}, PageRow{"P2816", 8, "AT28C256", true, false}),
    [](const auto& info) {
      return std::string(info.param.key) + "_" + std::to_string(info.param.row) + "_" +
             info.param.part;
    });

class PageWriteTest : public ChipFixture {
 protected:
  int Count(std::uint8_t op) const {
    int n = 0;
    for (const auto& cmd : prog->record.transcript) n += cmd.op() == op;
    return n;
  }
  // The longest row of `op` commands one after another.
  int LongestRun(std::uint8_t op) const {
    int best = 0, n = 0;
    for (const auto& cmd : prog->record.transcript) {
      n = cmd.op() == op ? n + 1 : 0;
      best = std::max(best, n);
    }
    return best;
  }
};

// The wait after each page covers the part's write cycle: "Normal" waits 10 ms, "Slow" 20 ms, and
// a speed beyond the list (from a project file) is taken as "Slow". A part slower than the wait
// ignores the next page's loads and the read-back reports it.
TEST_F(PageWriteTest, PageWaitCoversTheWriteCycle) {
  auto chip = sim::MakePageEeprom("AT29C010A");
  Choose("AT29CX", 4, chip, "ATMEL: AT29C010A");
  chip->writeCycleUs = 15000;
  Pattern(0x400);
  Range(0, 0x3FF);
  prog->record.keepTranscript = true;
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_GT(chip->ignoredLoads, 0);
  EXPECT_EQ(LongestRun(27), 11);  // the byte-load window's 1 ms, then 10 ms
  gApp.OptionValues[128] = 1000;
  chip->ignoredLoads = 0;
  prog->record.Clear();
  EXPECT_EQ(Run(kOpWrite), 0);
  EXPECT_EQ(chip->ignoredLoads, 0);
  EXPECT_EQ(LongestRun(27), 21);
  EXPECT_EQ(Count(83), 0x400);
  ExpectNoHazard();
}

// The 2816 class: the wait after each byte is the one its "Delay" item names (10 to 50 ms), a
// choice beyond the list taken as the last; the part's write cycle checks it. Erase is offered
// only with "era=", and switches VCC off when it ends.
TEST_F(PageWriteTest, ByteWriteWaitsAndErase) {
  auto chip = sim::MakePageEeprom("2816A");
  Choose("P2816", 2, chip, "INTEL: 2816A");
  Pattern(4);
  Range(0x10, 0x13);
  prog->record.keepTranscript = true;
  for (const auto& [choice, ms] : {std::pair{0, 10}, {4, 50}, {77, 50}}) {
    gApp.OptionValues[128] = choice;
    prog->record.Clear();
    EXPECT_EQ(Run(kOpWrite), 0);
    EXPECT_EQ(Count(26), 4 * ms) << choice;
  }
  for (std::uint32_t a = 0; a < 4; ++a) EXPECT_EQ(chip->cells[0x10 + a], gApp.CodeBuffer[a]);
  EXPECT_EQ(chip->ignoredLoads, 0);
  chip->writeCycleUs = 12000;  // slower than the 10 ms choice
  gApp.OptionValues[128] = 0;
  Pattern(4, 0x11);
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_GT(chip->ignoredLoads, 0);

  EXPECT_EQ(Run(kOpErase), 0);  // no "era=": not this line's operation
  EXPECT_EQ(chip->chipErases, 0);
  fake.chipParams["era="] = 1;
  EXPECT_EQ(Run(kOpErase), 0);
  EXPECT_EQ(chip->chipErases, 1);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectNoHazard();
}

// The X28C256 as its catalogue line chooses it: its datasheet gives no erase mode, so the line
// offers no Erase and nothing puts VH on its OE# (rated as every other pin); Write, Verify and Read
// reach its cells.
TEST_F(PageWriteTest, X28c256LineTakesNoChipClear) {
  std::ifstream in(std::string(ZELVAR_PROGRAM_DIR) + "/device6200.lst");
  std::string raw, parameters;
  while (ReadDeviceLine(in, raw)) {
    const auto line = ParseDeviceLine(raw);
    if (line && line->chipName == "X28C256") parameters = line->parameters;
  }
  const auto head = ParseParameterHead(parameters);
  ASSERT_TRUE(head) << parameters;
  fake.chipParams.clear();
  if (parameters.find("era=") != std::string::npos)
    fake.chipParams["era="] = static_cast<int>(ParameterValue(parameters, "era="));
  auto chip = sim::MakePageEeprom("X28C256");
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  Choose(head->key, head->typeIndex, chip, "XICOR: X28C256");
  const auto& list = gApp.ChipUiList;
  EXPECT_EQ(std::find(list.begin(), list.end(), "21 Erase"), list.end());
  Click(kOpErase);
  EXPECT_EQ(chip->chipErases, 0);
  EXPECT_EQ(chip->cells[0], 0x00);
  Pattern(0x100);
  Range(0, 0xFF);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(
      std::equal(chip->cells.begin(), chip->cells.begin() + 0x100, gApp.CodeBuffer.begin()));
  EXPECT_EQ(chip->cells[0x100], 0x00);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  ExpectNoHazard();
}

// The HN58C65 has no software data protection: a protection sequence would land in its cells as
// data, so its row offers neither UnProtect nor Lock and running them changes nothing.
TEST_F(PageWriteTest, Hn58c65RowSendsNoProtectionSequence) {
  auto chip = sim::MakePageEeprom("HN58C65");
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  Choose("AT28CX", 9, chip, "HITACHI: HN58C65");
  const auto& list = gApp.ChipUiList;
  EXPECT_EQ(std::find(list.begin(), list.end(), "20 Unprotect"), list.end());
  Run(kOpUnProtect);
  Run(kOpLock);
  EXPECT_EQ(chip->writes, 0);
  EXPECT_TRUE(std::all_of(chip->cells.begin(), chip->cells.end(), [](auto b) { return b == 0; }));
  ExpectNoHazard();
}

// The 21 V 2816 is refused at set-up with its reason, and every operation fails without
// touching the programmer.
TEST_F(PageWriteTest, TwentyOneVolt2816IsRefused) {
  auto chip = sim::MakePageEeprom("2816A");
  Choose("P2816", 1, chip, "INTEL: 2816");
  EXPECT_NE(LastLine().find("21 V"), std::string::npos) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 0);
  prog->record.keepTranscript = true;
  prog->record.Clear();
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_EQ(Run(kOpRead), 1);
  EXPECT_TRUE(prog->record.transcript.empty());
  EXPECT_EQ(chip->writes, 0);
}

// "AT28CX" takes VCC from "vcc=" (5 V without it), not the level the chip chosen before left.
TEST_F(PageWriteTest, At28cxSetsItsOwnVcc) {
  auto chip = sim::MakePageEeprom("AT28C256");
  fake.chipParams["vcc="] = 3300;
  Choose("SST29XF", 6, chip, "SST: SST39VF512");
  ASSERT_EQ(prog->VccMillivolts(), 3300);
  fake.chipParams.clear();
  Choose("AT28CX", 1, chip, "ATMEL: AT28C256");
  EXPECT_EQ(prog->VccMillivolts(), 5000);
}

// A row whose WE# pin lies on an address line, or off the package, fails the family's rules.
TEST(PageRows, RulesCatchMisplacedWritePins) {
  using memory::PageType;
  const auto faults = [](const PageType& t) {
    TypeTableReport r;
    memory::CheckPageRow(t, r);
    return r.faults.size();
  };
  EXPECT_EQ(faults({.name = "a", .lastAddress = 0x7FFF, .pageMask = 63, .vccPin = 34, .wePin = 7}),
            0u);
  EXPECT_EQ(faults({.name = "a", .lastAddress = 0x7FFF, .pageMask = 63, .vccPin = 34, .wePin = 35}),
            1u);
  EXPECT_EQ(faults({.name = "a", .lastAddress = 0xFFFF, .pageMask = 63, .vccPin = 34, .wePin = 33}),
            1u);
  EXPECT_EQ(faults({.name = "a", .lastAddress = 0xFFFF, .pageMask = 95, .vccPin = 36, .wePin = 35}),
            1u);
}

}  // namespace page_write_test
}  // namespace zelvar::test
