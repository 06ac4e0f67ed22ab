#include "algorithms/memory/LATTICEJTAG.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Jtag.h"
#include "services/AppState.h"
#include "services/Jedec.h"
#include "services/Messages.h"
#include "services/PldDocuments.h"

namespace zelvar::memory {

namespace {

constexpr std::uint32_t kMapBytes = kLatticeRows * kLatticeRowBytes;
// The read shifts' value: bit 377 set.
const std::string kReadValue = "2" + std::string(94, '0');
const std::string kZeroRow(95, '0');
const std::string kNoRow(20, '0');
const std::string kAllRows(20, 'F');
// The closing row of Write.
constexpr int kClosingBits[] = {0,   9,   20,  31,  42,  53,  64,  75,  86,  98,  99,  110, 121,
                                132, 143, 154, 165, 176, 188, 198, 209, 220, 231, 242, 253, 264,
                                275, 287, 288, 299, 310, 321, 332, 343, 354, 365, 377};

std::string ClosingRow() {
  std::array<int, 95> digits{};
  for (int b : kClosingBits) digits[static_cast<std::size_t>(94 - b / 4)] |= 1 << (b % 4);
  std::string text;
  for (int d : digits) text += "0123456789ABCDEF"[d];
  return text;
}

}  // namespace

std::string OneHotRow(int row) {
  std::string text(20, '0');
  text[static_cast<std::size_t>(row / 4)] = "8421"[row % 4];
  return text;
}

void RowFromReadBack(const std::uint8_t* in, std::uint8_t* out) {
  constexpr int n = 8 * kLatticeRowBytes;
  std::array<int, n> at{};
  for (int j = 0; j < n; ++j)
    at[static_cast<std::size_t>((j + 10) % n)] = (in[j / 8] >> (j % 8)) & 1;
  std::fill_n(out, kLatticeRowBytes, std::uint8_t{0});
  for (int m = 0; m < n; ++m) {
    if (at[static_cast<std::size_t>(n - 1 - m)])
      out[m / 8] |= static_cast<std::uint8_t>(1 << (m % 8));
  }
}

void LATTICEJTAG::Init() {
  // The chip always runs at 5 V, whatever "vcc=" says.
  if (!SetUp(5000, Type().groundPin)) return;
}

bool LATTICEJTAG::Offers(int op) const {
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

void LATTICEJTAG::Operation(int op) {
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
      return Protect();
    case kOpRead:
      return Read();
    case kOpReadId:
      return ReadId();
    default:
      return;
  }
}

bool LATTICEJTAG::FindChip() {
  SelectGndPin(Type().groundPin);
  if (!PowerOn()) return false;
  RunIn(false);
  gLink.StatusWord = 0;
  Ir("01");
  Dr(32, "00000000", true);
  if (tdo[0] == 0xFF) {
    AddMessageLine(kNotFindChip);
    gLink.StatusWord = 1;
    return false;
  }
  const auto& id = gApp.ExpectedId;
  if (id[0] != 0 && !std::equal(id.begin(), id.end(), tdo.begin())) {
    AddMessageLine(kTypeError);
    gLink.StatusWord = 1;
    return false;
  }
  return true;
}

void LATTICEJTAG::ProgramPreamble(bool readBoundary) {
  Ir("01");
  Dr(32, "00000000", false);
  Ir("02");
  Dr(98, std::string(25, '0'), readBoundary);
  Ir("0f");
  Wait(20);
  Dr(5, "08", false);
  Ir("03");
  Dr(80, kNoRow, false);
}

bool LATTICEJTAG::EnterProgramming() {
  if (!FindChip()) return false;
  Ir("01");
  Dr(32, "00000000", true);
  Ir("02");
  Dr(98, std::string(26, '0'), false);
  Ir("0f");
  Wait(20);
  Dr(5, "08", false);
  Ir("03");
  Dr(80, kNoRow, false);
  Ir("0f");
  Wait(20);
  Dr(5, "08", false);
  return true;
}

void LATTICEJTAG::ReadRow(int row) {
  Ir("03");
  Dr(80, OneHotRow(row), false);
  Ir("04");
  Dr(kLatticeRowBits, kReadValue, true);
  Ir("07");
  Dr(kLatticeRowBits, kReadValue, true);
  FlushCommands();
}

void LATTICEJTAG::EndAccess() {
  SetLine(jtag::kLineTms);
  SelectVccPin(0);
  FlushCommands();
}

bool LATTICEJTAG::LoadJedec(const char* message) {
  const int n = ReadJedecText(gPld.jedec, std::span(buffer_, kMapBytes), kLatticeRows);
  if (n == kLatticeRowBits) return true;
  ShowMessageText(message);
  gLink.StatusWord = 1;
  return false;
}

void LATTICEJTAG::ReadId() {
  if (!FindChip()) return;
  Ir("01");
  Dr(32, "00000000", true);
  char line[64];
  std::snprintf(line, sizeof line, "ID:(%02x,%02x,%02x,%02x)    ", tdo[0], tdo[1], tdo[2], tdo[3]);
  Ir("3f");
  Ir("10");
  Wait(50);
  Dr(32, "00000000", true);
  EndAccess();
  std::snprintf(line + 20, sizeof line - 20, "User ID:(%02x,%02x,%02x,%02x)", tdo[0], tdo[1],
                tdo[2], tdo[3]);
  AddMessageLine(line);
}

void LATTICEJTAG::Read() {
  if (!EnterProgramming()) return;
  for (int row = 0; row < kLatticeRows; ++row) {
    ShowProgress(row);
    ReadRow(row);
    RowFromReadBack(tdo.data(), buffer_ + row * kLatticeRowBytes);
  }
  // The window's text is replaced by the chip's.
  WriteJedecText(gPld.jedec, buffer_, kLatticeRowBits, kLatticeRows);
  ShowProgress(-1);
  EndAccess();
}

void LATTICEJTAG::Blank() {
  if (!EnterProgramming()) return;
  for (int row = 0; row < kLatticeRows; ++row) {
    ShowProgress(row);
    ReadRow(row);
    for (int i = 0; i < kLatticeRowBytes; ++i) {
      if (tdo[static_cast<std::size_t>(i)] == 0xFF) continue;
      gLink.StatusWord = 1;
      gLink.FailAddress = static_cast<std::uint32_t>(row * kLatticeRowBytes + i);
      gLink.FailByte = tdo[static_cast<std::size_t>(i)];
      return;
    }
  }
  ShowProgress(-1);
  EndAccess();
}

void LATTICEJTAG::Write() {
  if (!LoadJedec("Jed 文件不适合!")) return;
  if (!FindChip()) return;
  ProgramPreamble(true);
  Ir("03");
  Dr(80, kAllRows, false);
  Ir("05");
  Wait(100);
  Ir("03");
  Dr(80, kNoRow, false);
  Ir("04");
  Dr(kLatticeRowBits, kZeroRow, false);
  Ir("06");
  Wait(50);
  for (int row = 0; row < kLatticeRows; ++row) {
    ShowProgress(row);
    Ir("03");
    Dr(80, OneHotRow(row), false);
    Ir("04");
    Shift(kDr, kLatticeRowBits, buffer_ + row * kLatticeRowBytes);
    Ir("06");
    Wait(50);
    FlushCommands();
  }
  ShowProgress(-1);
  Ir("03");
  Dr(80, kNoRow, false);
  Ir("0f");
  Dr(5, "09", false);
  Ir("04");
  Dr(kLatticeRowBits, ClosingRow(), false);
  Ir("06");
  Wait(50);
  FlushCommands();
  EndAccess();
}

void LATTICEJTAG::Verify() {
  if (!LoadJedec("Jed file format error!")) return;
  if (!EnterProgramming()) return;
  std::array<std::uint8_t, kLatticeRowBytes> row{};
  std::uint32_t offset = 0;
  for (int r = 0; r < kLatticeRows; ++r, offset += kLatticeRowBytes) {
    ShowProgress(r);
    if (r > kLatticeLastVerifiedRow) continue;
    ReadRow(r);
    RowFromReadBack(tdo.data(), row.data());
    for (int i = 0; i < kLatticeRowBytes - 1; ++i) {
      if (row[static_cast<std::size_t>(i)] == buffer_[offset + static_cast<std::uint32_t>(i)])
        continue;
      char line[64];
      std::snprintf(line, sizeof line, "校对出错 at %04x i=%d,j=%d", offset + i, r, i);
      AddMessageLine(line);
      gLink.StatusWord = 1;
      gLink.FailAddress = offset + static_cast<std::uint32_t>(i);
      gLink.FailByte = row[static_cast<std::size_t>(i)];
      return;
    }
  }
  ShowProgress(-1);
  EndAccess();
}

void LATTICEJTAG::Protect() {
  if (!FindChip()) return;
  ProgramPreamble(false);
  Ir("08");
  Wait(50);
  EndAccess();
}

void LATTICEJTAG::Erase() {
  if (!FindChip()) return;
  ProgramPreamble(false);
  Ir("03");
  Dr(80, kAllRows, false);
  Ir("05");
  Wait(200);
  FlushCommands();
  EndAccess();
}

}  // namespace zelvar::memory
