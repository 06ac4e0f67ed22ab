#include "algorithms/memory/P22V10.h"

#include <algorithm>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/Programmer.h"
#include "services/Messages.h"
#include "services/PldDocuments.h"

namespace zelvar::memory {

namespace {

constexpr const char* kBitstream = "atf22v10b.bit";
// The design's own commands.
constexpr std::uint8_t kCmdShiftIn = 56;
constexpr std::uint8_t kCmdShiftOut = 57;
constexpr std::uint8_t kCmdShiftInBits = 74;
constexpr std::uint8_t kCmdShiftOutBits = 75;
constexpr std::uint8_t kCmdEraseWait = 28;
constexpr std::uint8_t kCmdWait1ms = 26;
// Control lines of FPGA register 18.
constexpr std::uint8_t kLineProgram = 3;
constexpr std::uint8_t kLineStrobe = 4;
constexpr std::uint8_t kLineErase = 5;
constexpr std::uint8_t kLineConfig = 6;

constexpr int kRows = 44;
constexpr int kConfigFuses = 20;
constexpr int kSecurityRow = 61;
constexpr int kSignatureRow = 44;
constexpr int kSignatureLength = 64;

void Line(std::uint8_t line, bool high) {
  if (high) {
    WriteFpgaReg18Bit7(line);
  } else {
    WriteFpgaReg18(line);
  }
}

// Six characters as bits, the first in bit 5, placed in the top six bits of the shift byte.
std::uint8_t Group(const char* c) {
  std::uint8_t v = 0;
  for (int i = 0; i < 6; ++i) v = static_cast<std::uint8_t>(v << 1 | (c[i] & 1));
  return static_cast<std::uint8_t>(v * 4);
}

void SixBitShifts() {
  PutCmd2(kCmdShiftInBits, 6);
  PutCmd2(kCmdShiftOutBits, 6);
}

}  // namespace

void P22V10::Init() {
  LoadBitstream(kBitstream);
  PutCmd2(kCmdShiftInBits, 8);
  PutCmd2(kCmdShiftOutBits, 8);
  SetUpFuseMap();
}

void P22V10::PowerUp() {
  RestoreSupplies();
  SelectVccPin(Type().vccPin);
  Line(kLineErase, false);
  Line(kLineStrobe, true);
  for (std::uint8_t l : {1, 2, 3, 6}) Line(l, false);
  SelectVppPin(Type().vppPin);
  FlushCommands();
}

void P22V10::Strobe() {
  Line(kLineProgram, true);
  Line(kLineStrobe, false);
  for (int i = 0; i < 4; ++i) PutCmd1(kCmdSettle);
  Line(kLineStrobe, true);
  Line(kLineProgram, false);
  FlushCommands();
}

static std::uint8_t Reversed(int row) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (row & (1 << i)) r |= static_cast<std::uint8_t>(0x80 >> i);
  return r;
}

void P22V10::RowRead(int row, int bits) {
  SixBitShifts();
  Line(1, false);
  Line(2, false);
  PutCmd2(kCmdShiftIn, Reversed(row));
  Line(kLineStrobe, false);
  Line(kLineStrobe, true);
  const int groups = (bits + 5) / 6;
  for (int i = 0; i < groups; ++i) PutCmd1(kCmdShiftOut);
  std::uint8_t* s = gLink.ScratchBuffer.data();
  ReadReply64(s);
  for (int i = 0; i < bits; ++i)
    rowBuffer_[static_cast<std::size_t>(i)] = (s[i / 6] >> (5 - i % 6)) & 1 ? '1' : '0';
}

void P22V10::RowWrite(int row, int bits) {
  SixBitShifts();
  Line(1, false);
  Line(2, false);
  // A short row (the security bit) is padded with '1' to a whole group.
  const int groups = (bits + 5) / 6;
  std::fill(rowBuffer_.begin() + bits, rowBuffer_.begin() + groups * 6, '1');
  for (int g = 0; g < groups; ++g)
    PutCmd2(kCmdShiftIn, Group(&rowBuffer_[static_cast<std::size_t>(g * 6)]));
  PutCmd2(kCmdShiftIn, Reversed(row));
  Strobe();
}

// The configuration row holds the map's fuse pairs swapped.
void P22V10::ConfigWrite() {
  const int base = k22V10.arrayFuses();
  for (int k = 0; k < kConfigFuses; ++k)
    rowBuffer_[static_cast<std::size_t>(k)] = (buffer_[base + (k ^ 1)] & 1) ? '1' : '0';
  std::fill(rowBuffer_.begin() + kConfigFuses, rowBuffer_.begin() + 24, '1');
  SixBitShifts();
  Line(kLineConfig, true);
  for (int g = 0; g < 4; ++g)
    PutCmd2(kCmdShiftIn, Group(&rowBuffer_[static_cast<std::size_t>(g * 6)]));
  Strobe();
  // Cleared again, so that the next row does not go to the configuration.
  Line(kLineConfig, false);
  FlushCommands();
}

void P22V10::ConfigRead() {
  SixBitShifts();
  Line(kLineConfig, true);
  PutCmd1(kCmdSettle);
  Line(kLineStrobe, false);
  Line(kLineStrobe, true);
  for (int g = 0; g < 4; ++g) PutCmd1(kCmdShiftOut);
  Line(kLineConfig, false);
  std::uint8_t* s = gLink.ScratchBuffer.data();
  ReadReply64(s);
  for (int i = 0; i < 24; ++i)
    rowBuffer_[static_cast<std::size_t>(i)] = (s[i / 6] >> (5 - i % 6)) & 1 ? '1' : '0';
}

int P22V10::CompareConfig(bool blank) {
  ConfigRead();
  const int base = k22V10.arrayFuses();
  for (int k = 0; k < kConfigFuses; ++k) {
    const char want = blank || (buffer_[base + (k ^ 1)] & 1) ? '1' : '0';
    if (rowBuffer_[static_cast<std::size_t>(k)] != want) return base + (k ^ 1);
  }
  return -1;
}

void P22V10::Erase() {
  PowerUp();
  PutCmd2(kCmdShiftInBits, 6);
  PutCmd2(kCmdShiftOutBits, 8);
  Line(kLineProgram, true);
  Line(kLineConfig, true);
  Line(kLineErase, true);
  Line(kLineStrobe, false);
  PutCmd1(kCmdEraseWait);
  Line(kLineStrobe, true);
  Line(kLineProgram, false);
  Line(kLineErase, false);
  Line(kLineConfig, false);
  PutCmd1(kCmdWait1ms);
  PowerDown();
}

// Rows and configuration against the map (or all '1'); false after a failure (recorded).
bool P22V10::CheckRows(bool blank) {
  const int bits = static_cast<int>(k22V10.rows);
  for (int r = 0; r < kRows; ++r) {
    ShowProgress(bits * r);
    RowRead(r, bits);
    for (int b = 0; b < bits; ++b) {
      const char got = rowBuffer_[static_cast<std::size_t>(b)];
      const char want = blank || (buffer_[b * kRows + r] & 1) ? '1' : '0';
      if (got != want) {
        if (blank) AddMessageLine("器件不空!!!");
        ShowProgress(bits * b + r);
        FailAt(b * kRows + r, got);
        return false;
      }
    }
  }
  const int bad = CompareConfig(blank);
  if (bad >= 0) {
    if (blank) AddMessageLine("器件不空!!!");
    const int k = (bad - k22V10.arrayFuses()) ^ 1;
    FailAt(bad, rowBuffer_[static_cast<std::size_t>(k)]);
    return false;
  }
  return true;
}

void P22V10::Blank() {
  PowerUp();
  if (CheckRows(true)) PowerDown();
}

void P22V10::Verify() {
  PowerUp();
  if (!CheckRows(false)) return;
  gLink.StatusWord = 0;
  PowerDown();
}

void P22V10::Write() {
  if (!MapLoaded()) return;
  const int bits = static_cast<int>(k22V10.rows);
  PowerUp();
  for (int r = 0; r < kRows; ++r) {
    ShowProgress(bits * r);
    for (int b = 0; b < bits; ++b)
      rowBuffer_[static_cast<std::size_t>(b)] = (buffer_[b * kRows + r] & 1) ? '1' : '0';
    RowWrite(r, bits);
  }
  ConfigWrite();
  // The signature row: the 64 signature fuses after the configuration, the rest of the row '1'.
  const int signature = k22V10.arrayFuses() + kConfigFuses;
  std::fill(rowBuffer_.begin(), rowBuffer_.begin() + bits, '1');
  for (int b = 0; b < kSignatureLength; ++b)
    rowBuffer_[static_cast<std::size_t>(b)] = (buffer_[signature + b] & 1) ? '1' : '0';
  RowWrite(kSignatureRow, bits);
  ShowProgress(-1);
  PowerDown();
}

void P22V10::Read() {
  const int bits = static_cast<int>(k22V10.rows);
  PowerUp();
  std::fill_n(buffer_, std::max(kFuseMapFill, k22V10.mapFuses()), '1');
  for (int r = 0; r < kRows; ++r) {
    ShowProgress(bits * r);
    RowRead(r, bits);
    for (int b = 0; b < bits; ++b)
      buffer_[b * kRows + r] = static_cast<std::uint8_t>(rowBuffer_[static_cast<std::size_t>(b)]);
  }
  ConfigRead();
  const int base = k22V10.arrayFuses();
  for (int k = 0; k < kConfigFuses; ++k)
    buffer_[base + (k ^ 1)] = static_cast<std::uint8_t>(rowBuffer_[static_cast<std::size_t>(k)]);
  MapRead();
  ShowProgress(-1);
  PowerDown();
}

void P22V10::Security() {
  PowerUp();
  rowBuffer_[0] = '0';
  RowWrite(kSecurityRow, 1);
  PowerDown();
  PowerUp();
  for (int r = 0; r < kRows; ++r) {
    RowRead(r, kRows);
    if (std::any_of(rowBuffer_.begin(), rowBuffer_.begin() + kRows,
                    [](char c) { return c != '1'; })) {
      AddMessageLine("加密失败!!!");
      gLink.StatusWord = 1;
      break;
    }
  }
  PowerDown();
}

}  // namespace zelvar::memory
