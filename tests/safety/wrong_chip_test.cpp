// A catalogue line chosen with another chip in the socket: every operation that would change the
// chip reads its identity first and refuses with the set's "Type error!" line before anything
// changes, checked in the seated model's own cells (code, data, fuses, lock bits, erase count),
// and every supply ends off.
#include <sstream>

#include "SafetyFixture.h"
#include "sim/chips/At89cx051.h"
#include "sim/chips/AvrHvParallel.h"
#include "sim/chips/ByteWide.h"
#include "sim/chips/FirmwareHub.h"
#include "sim/chips/Mcs51.h"
#include "sim/chips/Pic14.h"
#include "support/Pattern.h"

namespace zelvar::test {
namespace wrong_chip_test {

struct WrongPair {
  std::string line;    // the chip name of the line chosen
  std::string key;     // its set
  std::string seated;  // the model in the socket
  std::vector<int> ops;
};

void PrintTo(const WrongPair& p, std::ostream* os) {
  *os << p.line << " (" << p.key << ") with " << p.seated;
}

const WrongPair kPairs[] = {
    {"ATmega8", "ATMEGAX", "ATmega48", {kOpErase, kOpWrite, kOpConfig, kOpLock, kOpWriteData}},
    {"ATmega48", "ATMEGA48", "ATmega88", {kOpErase, kOpWrite, kOpConfig, kOpLock, kOpWriteData}},
    {"PIC16F628A", "P16F628A", "PIC16F648A", {kOpErase, kOpWrite, kOpConfig, kOpWriteData}},
    {"PIC16F648A", "P16F628A", "PIC16F628A", {kOpErase, kOpWrite, kOpConfig, kOpWriteData}},
    {"AM29F040", "AMD29f040", "SST39SF040", {kOpErase, kOpWrite}},
    {"SST39SF040", "SST29XF", "AM29F040", {kOpErase, kOpWrite}},
    {"AT89S52", "AT89S5X", "AT89C51", {kOpErase, kOpWrite, kOpLock}},
    {"AT89C51", "P89C51", "AT89C52", {kOpErase, kOpWrite, kOpLock}},
    {"AT89C2051", "P2051", "AT89C4051", {kOpErase, kOpWrite, kOpLock}},
    {"MX29F040", "MX29F", "AM29F040", {kOpErase, kOpWrite, kOpUnProtect}},
    {"28F256A", "PI28F", "28F512", {kOpErase, kOpWrite}},
    {"SST49LF002A", "SST49LF008", "SST49LF003A", {kOpErase, kOpWrite}},
};

// What an operation could change in the seated model, as bytes.
std::vector<std::uint8_t> Cells(sim::ChipModel& chip) {
  std::vector<std::uint8_t> s;
  const auto add = [&s](auto first, auto last) {
    for (; first != last; ++first) {
      s.push_back(static_cast<std::uint8_t>(*first));
      s.push_back(static_cast<std::uint8_t>(*first >> 8));
    }
  };
  if (auto* avr = dynamic_cast<sim::AvrHvParallelChip*>(&chip)) {
    add(avr->flash.begin(), avr->flash.end());
    add(avr->eeprom.begin(), avr->eeprom.end());
    add(avr->fuses.begin(), avr->fuses.end());
    s.push_back(avr->lock);
    s.push_back(static_cast<std::uint8_t>(avr->erases));
  } else if (auto* pic = dynamic_cast<sim::Pic14Chip*>(&chip)) {
    add(pic->code.begin(), pic->code.end());
    add(pic->data.begin(), pic->data.end());
    add(pic->ids.begin(), pic->ids.end());
    for (std::uint16_t w : {pic->config, pic->config2, pic->calibration}) add(&w, &w + 1);
  } else if (auto* flash = dynamic_cast<sim::ByteWideChip*>(&chip)) {
    add(flash->cells.begin(), flash->cells.end());
  } else if (auto* mcu = dynamic_cast<sim::Mcs51Chip*>(&chip)) {
    add(mcu->cells.begin(), mcu->cells.end());
    add(mcu->data.begin(), mcu->data.end());
    s.push_back(mcu->lockBits);
    s.push_back(mcu->fuses);
    s.push_back(static_cast<std::uint8_t>(mcu->erases));
  } else if (auto* small = dynamic_cast<sim::At89cx051*>(&chip)) {
    add(small->cells.begin(), small->cells.end());
    s.push_back(small->lockBits);
  } else if (auto* hub = dynamic_cast<sim::FirmwareHub*>(&chip)) {
    add(hub->cells.begin(), hub->cells.end());
  } else {
    ADD_FAILURE() << chip.Name() << ": no cells known to this test";
  }
  return s;
}

// Programmed cells, so that an erase shows as well as a write.
void Program(sim::ChipModel& chip) {
  if (auto* avr = dynamic_cast<sim::AvrHvParallelChip*>(&chip)) {
    for (std::size_t i = 0; i < 64; ++i) avr->flash[i] = PatternByte(i, 0x21);
  } else if (auto* pic = dynamic_cast<sim::Pic14Chip*>(&chip)) {
    for (std::size_t i = 0; i < 32; ++i) pic->code[i] = static_cast<std::uint16_t>(i * 0x111);
  } else if (auto* flash = dynamic_cast<sim::ByteWideChip*>(&chip)) {
    for (std::size_t i = 0; i < 64; ++i) flash->cells[i] = PatternByte(i, 0x21);
  } else if (auto* mcu = dynamic_cast<sim::Mcs51Chip*>(&chip)) {
    for (std::size_t i = 0; i < 64; ++i) mcu->cells[i] = PatternByte(i, 0x21);
  } else if (auto* small = dynamic_cast<sim::At89cx051*>(&chip)) {
    for (std::size_t i = 0; i < 64; ++i) small->cells[i] = PatternByte(i, 0x21);
  } else if (auto* hub = dynamic_cast<sim::FirmwareHub*>(&chip)) {
    for (std::size_t i = 0; i < 64; ++i) hub->cells[i] = PatternByte(i, 0x21);
  }
}

class WrongChip : public SafetyFixture, public ::testing::WithParamInterface<WrongPair> {};

TEST_P(WrongChip, RefusedBeforeAnythingChanges) {
  const WrongPair& p = GetParam();
  const auto line = FindLine(p.line, p.key);
  ASSERT_TRUE(line) << p.line;
  auto chip = sim::MakeChipModel(p.seated);
  ASSERT_NE(chip, nullptr) << p.seated;
  Program(*chip);
  ASSERT_TRUE(Choose(*line, chip));
  const auto before = Cells(*chip);
  // A buffer and option words unlike the chip's cells, every fuse and lock bit programmed.
  for (std::size_t i = 0; i < 0x1000; ++i) gApp.CodeBuffer[i] = PatternByte(i, 0x66);
  for (int w = 0; w < 64; ++w) gApp.OptionValues[static_cast<std::size_t>(w)] = 0;

  for (int op : p.ops) {
    lines.log.clear();
    // Those fuse words stop serial programming and pick an external clock: the runner asks
    // first, and the answer is Yes so that the set's own check is what refuses.
    lines.yesNoAnswers = {true};
    EXPECT_EQ(Click(op), 1) << "operation " << op << ": " << Log();
    EXPECT_TRUE(Logged("Type error!")) << "operation " << op << ": " << Log();
    EXPECT_EQ(Cells(*chip), before) << "operation " << op << " changed the wrong chip";
    EXPECT_TRUE(SuppliesOff()) << "operation " << op;
  }
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
}

INSTANTIATE_TEST_SUITE_P(Pairs, WrongChip, ::testing::ValuesIn(kPairs),
                         [](const ::testing::TestParamInfo<WrongPair>& info) {
                           std::string n = info.param.line + "_with_" + info.param.seated;
                           for (char& c : n) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return n;
                         });

// The line's own chip is written: the check refuses only a chip that answers another identity.
class RightChip : public SafetyFixture, public ::testing::WithParamInterface<WrongPair> {};

TEST_P(RightChip, IsWritten) {
  const WrongPair& p = GetParam();
  const auto line = FindLine(p.line, p.key);
  ASSERT_TRUE(line) << p.line;
  auto chip = sim::MakeChipModel(p.line);
  ASSERT_NE(chip, nullptr) << p.line;
  ASSERT_TRUE(Choose(*line, chip));
  for (std::size_t i = 0; i < 0x100; ++i) gApp.CodeBuffer[i] = PatternByte(i, 0x66);
  gApp.OptionValues[64] = 0;
  gApp.OptionValues[65] = 0xFF;
  EXPECT_EQ(Click(kOpWrite), 0) << Log();
  EXPECT_FALSE(Logged("Type error!")) << Log();
  EXPECT_NE(Cells(*chip), Cells(*sim::MakeChipModel(p.line))) << "nothing written";
  EXPECT_TRUE(SuppliesOff());
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
}

INSTANTIATE_TEST_SUITE_P(Pairs, RightChip, ::testing::ValuesIn(kPairs),
                         [](const ::testing::TestParamInfo<WrongPair>& info) {
                           std::string n = info.param.line;
                           for (char& c : n) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return n;
                         });

}  // namespace wrong_chip_test
}  // namespace zelvar::test
