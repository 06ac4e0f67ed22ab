#include "algorithms/memory/XC95X.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "algorithms/memory/JtagRows.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/Jtag.h"
#include "link/commands/Programmer.h"
#include "services/Messages.h"
#include "services/PldDocuments.h"
#include "services/Services.h"

namespace zelvar::memory {

namespace {

// Fuses a group of row j of a block: 8 for the first nine rows, 6 for the rest.
int GroupWidth(int j) {
  return j < 9 ? 8 : 6;
}

// `count` bytes as "%02x," items: the ID line and the dump of a mismatch.
std::string DumpBytes(const std::uint8_t* b, int count) {
  std::string line;
  for (int i = 0; i < count; ++i) {
    char item[8];
    std::snprintf(item, sizeof item, "%02x,", b[i]);
    line += item;
  }
  return line;
}

}  // namespace

void XC95X::Init() {
  Services& s = services();
  erasePolls_ = s.ChipParam("edt=");
  if (erasePolls_ < 1) erasePolls_ = 100;
  const int jbs = s.ChipParam("jbs=");
  rowBits_ = jbs < 1 ? 32 : jbs;
  if (!SetUp(s.ChipParam("vcc="), Type().groundPin)) return;
  // The row image, its address and the read-back must fit the shift buffer.
  if (rowBits_ % 8 != 0 || rowBits_ > 2000) Refuse(kRowBitsRange);
}

bool XC95X::Offers(int op) const {
  switch (op) {
    case kOpErase:
    case kOpBlank:
    case kOpWrite:
    case kOpVerify:
    case kOpLock:
    case kOpRead:
    case kOpReadId:
      return true;
    default:
      return false;
  }
}

void XC95X::Operation(int op) {
  switch (op) {
    case kOpErase:
      return Erase();
    case kOpBlank:
      return Blank();
    case kOpWrite:
      return Write();
    case kOpVerify:
      return Verify();
    case kOpLock:
      return Lock();
    case kOpRead:
      return Read();
    case kOpReadId:
      return ReadId();
    default:
      return;
  }
}

bool XC95X::FindChip() {
  if (!PowerOn()) return false;
  RunIn(true);
  Shift8(kIrRead, 0xFF);
  if ((tdo[0] & 0xE3) != 1) {
    AddMessageLine(kNotFindChip);
    gLink.StatusWord = 1;
    return false;
  }
  EnableStep();
  gLink.StatusWord = 0;
  return true;
}

void XC95X::EnableStep() {
  Shift8(kIr, 0xE8);
  shiftBuffer_[0] = 1;
  Shift(kDr, 6, shiftBuffer_.data());
  FlushCommands();
}

void XC95X::ReadIdcode() {
  EnableStep();
  Shift8(kIr, 0x00);
  Shift8(kIr, 0xFF);
  Shift8(kIr, 0xFE);
  PutCmd1(jtag::kCmdAfterPulse);
  std::fill_n(shiftBuffer_.begin(), 4, std::uint8_t{0});
  ShiftHex(kDrRead, 32, "00000000");
}

void XC95X::LogId() {
  AddMessageLine(DumpBytes(tdo.data(), 4));
}

void XC95X::ReadId() {
  if (!FindChip()) return;
  ReadIdcode();
  ReleaseLines();
  LogId();
}

void XC95X::PutAddress(std::uint32_t address) {
  const int k = Groups();
  shiftBuffer_[static_cast<std::size_t>(k)] |= static_cast<std::uint8_t>(address & 0xFF);
  shiftBuffer_[static_cast<std::size_t>(k) + 1] = static_cast<std::uint8_t>(address >> 8);
  shiftBuffer_[static_cast<std::size_t>(k) + 2] = static_cast<std::uint8_t>(address >> 16);
}

void XC95X::StartReadBack() {
  EnableStep();
  Shift8(kIr, 0xEE);
  const int k = Groups();
  std::fill_n(shiftBuffer_.begin(), k + 3, std::uint8_t{0});
  shiftBuffer_[0] = 3;
  Shift(kDrRead, RegisterBits(), shiftBuffer_.data());
  PutCmd1(jtag::kCmdDropReadBack);
  FlushCommands();
}

void XC95X::ReadRowAhead(std::uint32_t base, int j) {
  const int k = Groups();
  const std::uint32_t address = kRowAddressOffsets[static_cast<std::size_t>(j) + 1] + base;
  shiftBuffer_[static_cast<std::size_t>(k)] = 0;
  PutAddress(address);
  Shift(kDrRead, RegisterBits(), shiftBuffer_.data());
  FlushCommands();
}

int XC95X::FirstFuseLine() const {
  const auto& lines = gPld.jedec.lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].starts_with("L0000")) return static_cast<int>(i);
  }
  return -1;
}

void XC95X::Read() {
  if (!FindChip()) return;
  StartReadBack();
  const int k = Groups();
  std::vector<std::string> lines;
  int fuse = 0;
  for (std::uint32_t base = 0; base < Type().lastFuse; base += 128) {
    ShowProgress(static_cast<int>(base));
    for (int j = 0; j < 15; ++j) {
      ReadRowAhead(base, j);
      WriteJedecFuseLine(lines, fuse, GroupWidth(j), k);
    }
  }
  ShowProgress(-1);
  ReleaseLines();
  // The read replaces the window's text: a whole chip, never appended to an older one.
  gPld.jedec.exists = true;
  gPld.jedec.lines = std::move(lines);
  gPld.jedec.selectedLine = 0;
}

void XC95X::WriteJedecFuseLine(std::vector<std::string>& lines, int& fuse, int width,
                               int groups) const {
  lines.push_back(JedecFuseLine(tdo, fuse, width, groups));
  fuse += width * groups;
}

void XC95X::Blank() {
  if (!FindChip()) return;
  StartReadBack();
  const int k = Groups();
  int fuse = 0;
  for (std::uint32_t base = 0; base < Type().lastFuse; base += 128) {
    ShowProgress(static_cast<int>(base));
    for (int j = 0; j < 15; ++j) {
      ReadRowAhead(base, j);
      tdo[0] &= 0xFC;
      tdo[static_cast<std::size_t>(k)] &= 0x03;
      for (int i = 0; i <= k; ++i) {
        if (tdo[static_cast<std::size_t>(i)] != 0) {
          gLink.FailAddress = static_cast<std::uint32_t>(fuse);
          gLink.FailByte = tdo[static_cast<std::size_t>(i)];
          gLink.StatusWord = 1;
          return;
        }
      }
      fuse += GroupWidth(j) * k;
    }
  }
  ShowProgress(-1);
  ReleaseLines();
}

void XC95X::Write() {
  const int first = FirstFuseLine();
  if (first < 0) {
    services().MessageBox(kJedecShapeError);
    gLink.StatusWord = 1;
    return;
  }
  if (!FindChip()) return;
  Shift8(kIr, 0xEA);
  const auto& lines = gPld.jedec.lines;
  std::size_t next = static_cast<std::size_t>(first);
  const int k = Groups();
  for (std::uint32_t base = 0; base < Type().lastFuse; base += 128) {
    ShowProgress(static_cast<int>(base));
    for (int j = 0; j < 15; ++j) {
      // Every row of every block comes from its own fuse line: a file that ends early, or a line
      // of another shape (a file for another device), leaves the chip half written.
      const bool shaped =
          next < lines.size() && ParseJedecField(lines[next], k, GroupWidth(j), shiftBuffer_) == k;
      if (!shaped) {
        gPld.jedec.selectedLine = static_cast<int>(next) + 1;
        services().MessageBox(kFileFormatError);
        gLink.StatusWord = 1;
        return;
      }
      ++next;
      PutAddress(kRowAddressOffsets[static_cast<std::size_t>(j)] + base);
      shiftBuffer_[0] |= j < 14 ? 1 : 3;
      Shift(kDr, RegisterBits(), shiftBuffer_.data());
      FlushCommands();
    }
    PutCmd1(kCmdSettle);
    FlushCommands();
  }
  ShowProgress(-1);
  ReleaseLines();
}

void XC95X::Verify() {
  const int first = FirstFuseLine();
  if (first < 0) {
    services().MessageBox(kJedecShapeError);
    gLink.StatusWord = 1;
    return;
  }
  if (!FindChip()) return;
  StartReadBack();
  const auto& lines = gPld.jedec.lines;
  std::size_t next = static_cast<std::size_t>(first);
  const int k = Groups();
  std::array<std::uint8_t, 256> expected{};
  int fuse = 0;
  for (std::uint32_t base = 0; base < Type().lastFuse; base += 128) {
    ShowProgress(static_cast<int>(base));
    for (int j = 0; j < 15; ++j) {
      ReadRowAhead(base, j);
      tdo[0] &= 0xFC;
      tdo[static_cast<std::size_t>(k)] &= 0x03;
      // A file whose fuse lines end, or change shape, before the last block is no file for
      // this chip.
      if (next >= lines.size() || ParseJedecField(lines[next], k, GroupWidth(j), expected) != k) {
        gPld.jedec.selectedLine = static_cast<int>(next) + 1;
        services().MessageBox(kFileFormatError);
        gLink.StatusWord = 1;
        return;
      }
      ++next;
      expected[0] &= 0xFC;
      expected[static_cast<std::size_t>(k)] &= 0x03;
      for (int i = 0; i <= k; ++i) {
        if (tdo[static_cast<std::size_t>(i)] == expected[static_cast<std::size_t>(i)]) continue;
        gLink.StatusWord = 1;
        gLink.FailAddress = static_cast<std::uint32_t>(fuse);
        gLink.FailByte = tdo[static_cast<std::size_t>(i)];
        AddMessageLine(DumpBytes(tdo.data(), 4));
        AddMessageLine(DumpBytes(expected.data(), 4));
        gPld.jedec.selectedLine = static_cast<int>(next);
        return;
      }
      fuse += GroupWidth(j) * k;
    }
  }
  ShowProgress(-1);
  ReleaseLines();
}

bool XC95X::PollErase(std::string_view text) {
  for (int t = 0; t <= erasePolls_; t += 10) {
    ShowProgress(t);
    PutCmd1(kCmdSettle);
    ShiftHex(kDrRead, 18, text);
    if ((tdo[0] & 3) == 1) return true;
  }
  return false;
}

void XC95X::Erase() {
  if (!FindChip()) return;
  ShiftHex(kIr, 8, "fe");
  ShiftHex(kDrRead, 32, "00000000");
  ReadReply64(gLink.ScratchBuffer.data());
  ShiftHex(kIrRead, 8, "ff");
  ReadReply64(gLink.ScratchBuffer.data());
  ShiftHex(kIr, 8, "e8");
  ShiftHex(kDr, 6, "01");
  ShiftHex(kIr, 8, "ec");
  ShiftHex(kDr, 18, "02a957");
  if (!PollErase("02a957")) {
    AddMessageLine("擦除失败!");
    gLink.StatusWord = 1;
    return;
  }
  ShiftHex(kIr, 8, "ed");
  ShiftHex(kDr, 18, "03ffff");
  if (!PollErase("03ffff")) {
    AddMessageLine("B擦除失败!");
    gLink.StatusWord = 1;
    return;
  }
  ShowProgress(-1);
  ShiftHex(kIr, 8, "f0");
  PutCmd1(jtag::kCmdEraseClose);
  ShiftHex(kIr, 8, "ff");
  ShiftHex(kIr, 8, "ff");
  ShiftHex(kDr, 1, "00");
  FlushCommands();
  ReleaseLines();
  ShowProgress(-1);
}

void XC95X::Lock() {
  if (!FindChip()) return;
  const int k = Groups();
  std::vector<std::uint8_t> a(static_cast<std::size_t>(k) + 3, 0), b(a.size(), 0);
  a[0] = 1;
  std::fill_n(b.begin(), k + 1, std::uint8_t{1});
  ShiftHex(kIrRead, 8, "ff");
  ShiftHex(kIr, 8, "e8");
  ShiftHex(kDr, 6, "01");
  ShiftHex(kIr, 8, "ea");
  const auto writeRow = [&](std::uint32_t address, std::vector<std::uint8_t>& image) {
    // Each row to its own address: the image's address bits are cleared before the next.
    std::copy(image.begin(), image.end(), shiftBuffer_.begin());
    shiftBuffer_[static_cast<std::size_t>(k)] = image[static_cast<std::size_t>(k)];
    PutAddress(address);
    Shift(kDr, RegisterBits(), shiftBuffer_.data());
    FlushCommands();
  };
  for (std::uint32_t address : {0x580u, 0x584u, 0x588u}) writeRow(address, a);
  writeRow(0x58D, b);
  for (std::uint32_t address :
       {0x590u, 0x5A0u, 0x5A4u, 0x5A8u, 0x5ACu, 0x5B0u, 0x5C0u, 0x5C4u, 0x5C8u, 0x5CCu})
    writeRow(address, a);
  a[0] = 3;
  writeRow(0x5D0, a);
  PutCmd1(jtag::kCmdLockClose);
  FlushCommands();
  ReleaseLines();
  // The chip's power restarted, so that the protection takes effect.
  SetVccVoltage(0);
  for (int i = 0; i < 10; ++i) PutCmd1(kCmdSettle);
  SetVccVoltage(vccSetUp_);
  FlushCommands();
}

// The C8051F's flash is programmed through its own JTAG flash registers, not the XC9500 rows:
// everything but Read ID is refused before the chip is touched.
void C8051JTAG::Operation(int op) {
  if (op == kOpReadId) return C8051ReadId();
  AddMessageLine(kC8051ReadIdOnly);
  gLink.StatusWord = 1;
}

void C8051JTAG::C8051ReadId() {
  if (!PowerOn()) return;
  LinesStart();
  SetLine(jtag::kLineSpare);
  ClearLine(jtag::kLineTms);
  ClearLine(jtag::kLineTck);
  PutCmd1(jtag::kCmdDropReadBack);
  // The C8051F's 16-bit instruction register: IDCODE is instruction 4.
  shiftBuffer_[0] = 4;
  shiftBuffer_[1] = 0;
  Shift(kIr, 16, shiftBuffer_.data());
  PutCmd1(jtag::kCmdAfterPulse);
  std::fill_n(shiftBuffer_.begin(), 4, std::uint8_t{0});
  ShiftHex(kDrRead, 32, "00000000");
  ReleaseLines();
  // An IDCODE has bit 0 set and is never all ones, which a TDO line nothing drives reads: no chip
  // answered (on the in-system header no contact test has looked for one).
  if ((tdo[0] & 1) == 0 ||
      std::all_of(tdo.begin(), tdo.begin() + 4, [](std::uint8_t b) { return b == 0xFF; })) {
    AddMessageLine(kNotFindChip);
    gLink.StatusWord = 1;
    return;
  }
  LogId();
}

}  // namespace zelvar::memory
