#include "app/core/ictest/IcTester.h"

#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/IcTest.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar {

namespace {
using ictest::kApplyPortsRegister;
using ictest::kCmdReadPort1;
using ictest::kCmdReadPort2;
using ictest::kCmdReadPort3;
constexpr std::uint32_t kFlushAbove = 32768;
constexpr std::uint8_t kIcGroundPin = 20;
}  // namespace

int IcVoltageMillivolts(const std::string& comboText) {
  if (comboText == "Voltage=4.2V") return 4400;
  if (comboText == "Voltage=3.3V") return 3300;
  if (comboText == "Voltage=2.5V") return 2500;
  return 5000;
}

void IcTester::Show(const std::string& text) {
  message = text;
  if (progress) progress();
}

void IcTester::Prepare(int typeIndex) {
  LoadBitstream("ictest.bit");
  SetVppVoltage(0);
  SetVccVoltage(5000);
  InitHardwareState();
  SelectLibrary(typeIndex);
}

void IcTester::SelectLibrary(int item) {
  libraryItem = item >= 0 && item <= 2 ? item : 0;
  LoadLibrary(IcLibraryFile(libraryItem));
}

void IcTester::LoadLibrary(const std::string& fileName) {
  IcLibrary lib;
  std::string path = gApp.ProgramDir;
  if (!path.empty() && path.back() != '/') path += '/';
  if (!ReadIcLibrary(path + fileName, libraryItem, lib)) {
    library = IcLibrary{};
    Show(LocalText("No librrary file! *缺库文件!"));
    return;
  }
  library = std::move(lib);
  current = 0;
  selected = -1;
  number.clear();
  matches.clear();
  Show(library.problem.empty() ? "" : LocalText(library.problem));
}

void IcTester::SelectIcSupplyPin(int pin) {
  SetRegister(kVccPinRegister, static_cast<std::uint8_t>(pin));
  supplyPin = pin;
}

bool IcTester::Drive(const std::uint8_t* v, bool compare) {
  if (++vectorCount % 16 == 0) Show(std::to_string(vectorCount));
  WritePort(2, v[4]);
  WritePort(1, v[5]);
  WritePort(3, v[3]);
  WriteFpgaRegister(kApplyPortsRegister, 255);
  if (gLink.CommandCount > kFlushAbove) FlushCommands();
  if (!compare || v[0] > 63) return true;
  FlushCommands();
  PutCmd1(kCmdReadPort3);
  PutCmd1(kCmdReadPort2);
  PutCmd1(kCmdReadPort1);
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  // Bits 6 and 7 of port 3 reach no chip pin that is compared.
  return static_cast<std::uint8_t>(reply[0] | 0xC0) == static_cast<std::uint8_t>(v[6] | 0xC0) &&
         reply[1] == v[7] && reply[2] == v[8];
}

int IcTester::ApplyIcVector(std::uint32_t offset, int index) {
  const std::uint8_t* v = library.Vector(offset, index);
  return v && Drive(v, true) ? 1 : 0;
}

int IcTester::RunIcTest(int chip) {
  if (chip < 0 || chip >= static_cast<int>(library.chips.size())) return 0;
  const IcChip& c = library.chips[chip];
  if (c.vectors == 0) return 0;
  for (int i = 0; i < static_cast<int>(c.vectors); ++i) {
    const std::uint8_t* v = library.Vector(c.offset, i);
    if (!v) return 0;
    if (v[0] & kIcRepeatFlag) {
      // A marker repeats the two vectors before it; at vector 0 or 1 there are none to repeat.
      if (i < 2) continue;
      const std::uint8_t* a = library.Vector(c.offset, i - 2);
      const std::uint8_t* b = library.Vector(c.offset, i - 1);
      if ((a[0] & kIcRepeatFlag) || (b[0] & kIcRepeatFlag)) continue;
      const int count = v[4] * 256 + v[5];
      for (int r = 0; r < count; ++r) {
        Drive(a, false);
        Drive(b, false);
      }
      continue;
    }
    if (!ApplyIcVector(c.offset, i)) return 0;
  }
  FlushCommands();
  Show(std::to_string(vectorCount));
  return 1;
}

// Every driver idles high, except the one on the ground pin: a driver held high into the ground
// switch shorts it.
static void IdlePins() {
  for (std::uint8_t pin = 1; pin <= 40; ++pin) SetPinLevel(pin != kIcGroundPin, pin);
  FlushCommands();
}

// The chip powered up afresh on `pin` as a test starts it: idle pins, supply off and on, the
// ports at 0, the supply selected again and settled.
void IcTester::PowerUp(int pin) {
  IdlePins();
  SelectGndPin(kIcGroundPin);
  SelectVppPin(0);
  SelectIcSupplyPin(0);
  SelectIcSupplyPin(pin);
  WritePort(1, 0);
  WritePort(2, 0);
  WritePort(3, 0);
  SelectIcSupplyPin(pin);
  PutCmd1(kCmdSettle);
}

void IcTester::TestChip(const std::string& voltage) {
  SetVccVoltage(IcVoltageMillivolts(voltage));
  PowerUp(current >= 0 && current < static_cast<int>(library.chips.size())
              ? library.chips[current].supplyPin
              : 0);
  vectorCount = 0;
  if (RunIcTest(current)) {
    Show("OK!");
    services().Beep(BeepKind::Success);
  } else {
    Show("Bad!!!");
  }
  SelectIcSupplyPin(0);
  IdlePins();
}

void IcTester::Search(const std::string& voltage) {
  SetVccVoltage(IcVoltageMillivolts(voltage));
  matches.clear();
  int found = 0;
  const int last = static_cast<int>(library.chips.size()) - 2;
  for (int i = 0; i < last; ++i) {
    // Every record starts from a chip just powered up, as Test starts it: a counter or latch left
    // in the state another record's vectors put it in would fail its own, or pass another's.
    PowerUp(library.chips[i].supplyPin);
    vectorCount = 0;
    if (!RunIcTest(i)) continue;
    matches.push_back(library.names[i]);
    if (found == 0) {
      number = library.names[i];
      current = i;
    }
    selected = i;
    ++found;
  }
  SelectIcSupplyPin(0);
  IdlePins();
  if (found == 0) {
    Show(LocalText("Not find!*查不到!"));
    matches.clear();
    number.clear();
    return;
  }
  if (found == 1) {
    Show(LocalText("Find one.*查找到了一个型号!"));
  } else {
    char text[160];
    std::snprintf(text, sizeof text, "Find %d with same logic device.*查找到了%d个逻辑相同的型号",
                  found, found);
    Show(LocalText(text));
  }
  services().Beep(BeepKind::Success);
}

void IcTester::Choose(int chip) {
  if (chip < 0 || chip >= static_cast<int>(library.chips.size())) return;
  current = chip;
  selected = chip;
  number = library.names[chip];
}

void IcTester::Close() {
  SetVppVoltage(0);
  SelectVppPin(0);
  SetVccVoltage(0);
  SelectVccPin(0);
}

}  // namespace zelvar
