#include "algorithms/memory/GAL3M.h"

#include <algorithm>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Programmer.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"
#include "services/PldDocuments.h"

namespace zelvar::memory {

namespace {

// Rows of the chip besides the AND array.
constexpr int kArchitectureRow = 60;
constexpr int kSecurityRow = 61;
constexpr int kEraseRow = 63;
constexpr int kEraseTries = 10;

// Socket pins of the edit-mode lines (the shift clock, the serial data in, the strobe) and the
// pin whose driver is released for the chip's serial output.
constexpr std::uint8_t kClockPin = 18;
constexpr std::uint8_t kDataInPin = 19;
constexpr std::uint8_t kStrobePin = 21;

int Bit(int row, int n) {
  return (row >> n) & 1;
}

}  // namespace

void GAL3M::Init() {
  LoadBitstream(kGalBitstream);
  SetUpFuseMap();
}

void GAL3M::PowerUp() {
  const GalType& t = Type();
  // A failure's power-off set the supplies to 0 V: a chip on them would read all ones.
  RestoreSupplies();
  // Every line of the package high but its supply, edit and ground pins: a driver held high on
  // the grounded pin would short it.
  for (int pin = 1; pin <= t.packagePins; ++pin) {
    const int sp = t.socketPin(pin);
    if (sp != kBottomGroundPin && sp != t.vccPin && sp != t.vppPin)
      SetPinHigh(static_cast<std::uint8_t>(sp));
  }
  SelectVccPin(t.vccPin);
  PutCmd1(kCmdSettle);
  SelectVppPin(t.vppPin);
  FlushCommands();
}

// Row address bits 1 to 4 on port 1, bit 5 on port 2 bit 0 (with the strobe and the data lines
// high), bit 0 and program/verify on port 3.
void GAL3M::RowAddress(int row, bool program) {
  if (Type().family == GalFamily::Gal16V8) {
    WritePort(1, static_cast<std::uint8_t>(Bit(row, 1) * 0x10 + Bit(row, 2) * 0x20 +
                                           Bit(row, 3) * 0x40 + Bit(row, 4) * 0x80));
    WritePort(3, static_cast<std::uint8_t>((program ? 8 : 0) + Bit(row, 0) * 4));
  } else {
    WritePort(1, static_cast<std::uint8_t>(Bit(row, 1) * 4 + Bit(row, 2) * 8 + Bit(row, 3) * 16 +
                                           Bit(row, 4) * 0x80));
    WritePort(3, static_cast<std::uint8_t>((program ? 16 : 0) + Bit(row, 0) * 8));
  }
}

void GAL3M::RowWrite(int row, int bits) {
  const GalType& t = Type();
  const bool g16 = t.family == GalFamily::Gal16V8;
  SelectVppPin(t.vppPin);
  if (g16) {
    SwitchPin(22, true);
    WritePort(2, static_cast<std::uint8_t>(28 + Bit(row, 5)));
  } else {
    WritePort(2, static_cast<std::uint8_t>(40 + Bit(row, 5)));
  }
  RowAddress(row, true);
  for (int i = 0; i < bits; ++i) {
    SetPinLevel((rowBuffer_[static_cast<std::size_t>(i)] & 1) != 0, kDataInPin);
    SetPinHigh(kClockPin);
    SetPinLow(kClockPin);
  }
  FlushCommands();
  SetPinLow(kStrobePin);
  for (int i = 0; i < (g16 ? 4 : 2); ++i) PutCmd1(kCmdSettle);
  SetPinHigh(kStrobePin);
  FlushCommands();
  // VPP stays on the edit pin until power-down: a row read after a write (the erase check) needs
  // the chip still in edit mode.
}

void GAL3M::RowRead(int row, int bits) {
  const bool g16 = Type().family == GalFamily::Gal16V8;
  const std::uint8_t port2 = static_cast<std::uint8_t>((g16 ? 24 : 40) + Bit(row, 5));
  RowAddress(row, false);
  // The strobe pulse (port 2 bit 3) loads the row into the shift register.
  WritePort(2, port2);
  WritePort(2, static_cast<std::uint8_t>(port2 & ~8));
  WritePort(2, port2);
  SwitchPin(g16 ? 22 : 23, true);
  const std::uint8_t mask = g16 ? 0x10 : 0x20;
  std::uint8_t* scratch = gLink.ScratchBuffer.data();
  for (int i = 0; i < bits; ++i) {
    PutCmd1(zor5103::kCmdReadBus);
    SetPinHigh(kClockPin);
    SetPinLow(kClockPin);
    if (i % 64 == 63 || i == bits - 1) ReadReply64(scratch + (i / 64) * 64);
  }
  for (int i = 0; i < bits; ++i)
    rowBuffer_[static_cast<std::size_t>(i)] = (scratch[i] & mask) ? '1' : '0';
}

void GAL3M::ArchitectureToBuffer() {
  const int base = Type().arrayFuses();
  for (int b = 0; b < kArchitectureBits; ++b)
    rowBuffer_[static_cast<std::size_t>(b)] = (buffer_[ArchitectureFuse(base, b)] & 1) ? '1' : '0';
}

bool GAL3M::ArchitectureAllOnes() const {
  return std::all_of(rowBuffer_.begin(), rowBuffer_.begin() + kArchitectureBits,
                     [](char c) { return c == '1'; });
}

bool GAL3M::Run(int op) {
  if (op != kOpErase && op != kOpBlank && op != kOpWrite && op != kOpVerify && op != kOpRead &&
      op != kOpLock)
    return false;
  const GalFamily f = Type().family;
  if (f != GalFamily::Gal16V8 && f != GalFamily::Gal20V8) {
    ShowMessageText(
        "This type has no row protocol: choose a 22V10 chip of its own set!*"
        "此类型不支持, 请选择22V10器件!");
    gLink.StatusWord = 1;
    return true;
  }
  return GalSet::Run(op);
}

void GAL3M::Erase() {
  PowerUp();
  if (!CheckPower()) return;
  gLink.StatusWord = 1;
  for (int i = 0; i < kEraseTries; ++i) {
    rowBuffer_[0] = '1';
    RowWrite(kEraseRow, 1);
    PutCmd1(zor5103::kCmdErasePulse);
    PutCmd1(zor5103::kCmdErasePulse);
    RowRead(kArchitectureRow, kArchitectureBits);
    if (ArchitectureAllOnes()) {
      gLink.StatusWord = 0;
      break;
    }
  }
  PowerDown();
}

// Blank (every fuse '1') or Verify (every fuse as the map has it): the array rows, then the
// architecture row; the first difference fails at its map fuse.
void GAL3M::Check(bool blank) {
  const GalType& t = Type();
  const int rl = static_cast<int>(t.rowLength), bits = static_cast<int>(t.rows);
  const auto want = [&](int fuse) { return blank || (buffer_[fuse] & 1) ? '1' : '0'; };
  PowerUp();
  if (!CheckPower()) return;
  for (int r = 0; r < rl; ++r) {
    ShowProgress(bits * r);
    RowRead(r, bits);
    for (int b = 0; b < bits; ++b) {
      const char got = rowBuffer_[static_cast<std::size_t>(b)];
      if (got == want(b * rl + r)) continue;
      if (blank) AddMessageLine("器件不空!!!");
      return FailAt(b * rl + r, got);
    }
  }
  ShowProgress(-1);
  RowRead(kArchitectureRow, kArchitectureBits);
  for (int b = 0; b < kArchitectureBits; ++b) {
    const int fuse = ArchitectureFuse(t.arrayFuses(), b);
    const char got = rowBuffer_[static_cast<std::size_t>(b)];
    if (got != want(fuse)) return FailAt(fuse, got);
  }
  gLink.StatusWord = 0;
  PowerDown();
}

void GAL3M::Blank() {
  Check(true);
}

void GAL3M::Verify() {
  Check(false);
}

void GAL3M::Write() {
  const GalType& t = Type();
  const int rl = static_cast<int>(t.rowLength), bits = static_cast<int>(t.rows);
  if (!MapLoaded()) return;
  PowerUp();
  if (!CheckPower()) return;
  for (int r = 0; r < rl; ++r) {
    ShowProgress(bits * r);
    for (int b = 0; b < bits; ++b)
      rowBuffer_[static_cast<std::size_t>(b)] = (buffer_[b * rl + r] & 1) ? '1' : '0';
    RowWrite(r, bits);
  }
  ShowProgress(-1);
  ArchitectureToBuffer();
  RowWrite(kArchitectureRow, kArchitectureBits);
  const int signature = t.arrayFuses() + kSignatureFuses;
  for (int b = 0; b < bits; ++b)
    rowBuffer_[static_cast<std::size_t>(b)] = (buffer_[signature + b] & 1) ? '1' : '0';
  RowWrite(rl, bits);
  PowerDown();
}

void GAL3M::Read() {
  const GalType& t = Type();
  const int rl = static_cast<int>(t.rowLength), bits = static_cast<int>(t.rows);
  PowerUp();
  std::fill_n(buffer_, std::max(kFuseMapFill, t.mapFuses()), '1');
  for (int r = 0; r < rl; ++r) {
    ShowProgress(bits * r);
    RowRead(r, bits);
    for (int b = 0; b < bits; ++b)
      buffer_[b * rl + r] = static_cast<std::uint8_t>(rowBuffer_[static_cast<std::size_t>(b)]);
  }
  ShowProgress(-1);
  RowRead(kArchitectureRow, kArchitectureBits);
  for (int b = 0; b < kArchitectureBits; ++b)
    buffer_[ArchitectureFuse(t.arrayFuses(), b)] =
        static_cast<std::uint8_t>(rowBuffer_[static_cast<std::size_t>(b)]);
  RowRead(rl, bits);
  std::copy_n(rowBuffer_.begin(), bits, buffer_ + t.arrayFuses() + kSignatureFuses);
  MapRead();
  PowerDown();
}

void GAL3M::Security() {
  PowerUp();
  rowBuffer_[0] = '0';
  RowWrite(kSecurityRow, 1);
  PowerDown();
}

}  // namespace zelvar::memory
