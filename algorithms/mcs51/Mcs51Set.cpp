#include "algorithms/mcs51/Mcs51Set.h"

#include <algorithm>
#include <cstdio>

#include "link/Bitstream.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::mcs51 {

Mcs51Globals gMcs51;

namespace {
using frame::kNoSuchType;
}  // namespace

bool TitleNamesPlcc44() {
  Services& s = services();
  return s.ChipNameContains("*P44") || s.ChipNameContains("*Q44");
}

bool Mcs51Set::AcceptRow(int rows, int first) {
  if (gApp.TypeIndex >= first && gApp.TypeIndex < rows) return true;
  Refuse(kNoSuchType);
  return false;
}

void Mcs51Set::Refuse(const char* line) {
  refused_ = true;
  refusal_ = line;
  AddMessageLine(line);
  gLink.StatusWord = 1;
}

void Mcs51Set::UsePackage(const Package& p) {
  LoadBitstream(p.bitstream);
  gApp.GroundPin = p.groundPin;
  gApp.PinMask = p.contactMask;
  gMcs51.ChipVccPin = p.vccPin;
  gMcs51.ChipVppPin = p.vppPin;
}

TypeFacts Mcs51Set::Facts() const {
  if (refused_) return {.groundPin = 0};
  return {.lastAddress = LastAddress(),
          .contactMask = gApp.PinMask,
          .groundPin = static_cast<std::uint32_t>(gApp.GroundPin),
          .dataStart = DataStart(),
          .dataLength = DataLength()};
}

void Mcs51Set::SuppliesOff() {
  SelectVppPin(0);
  SelectVccPin(0);
}

bool Mcs51Set::Run(int op) {
  const auto ops = Operations();
  if (std::find(ops.begin(), ops.end(), op) == ops.end()) return false;
  identityChecked_ = false;
  if (refused_) {
    AddMessageLine(refusal_);
    gLink.StatusWord = 1;
    return true;
  }
  // A failure's power-off between two operations takes the levels to 0 V.
  RestoreSupplies();
  if (ChangesChip(op)) {
    const bool matches = CheckBeforeChange();
    SuppliesOff();
    if (!matches) {
      if (gLink.StatusWord == 0) {
        AddMessageLine(kTypeError);
        gLink.StatusWord = 1;
      }
      return true;
    }
    gLink.StatusWord = 0;
    RestoreSupplies();
    identityChecked_ = true;
  }
  Handle(op);
  identityChecked_ = false;
  SuppliesOff();
  return true;
}

bool Mcs51Set::ChangesChip(int op) {
  switch (op) {
    case kOpUnProtect:
    case kOpErase:
    case kOpWrite:
    case kOpConfig:
    case kOpLock:
    case kOpWriteData:
    case kOpEraseConfig:
      return true;
    default:
      return false;
  }
}

bool Mcs51Set::CheckBeforeChange() {
  const auto check = ChangeCheck();
  return !check || TypeCheck(*check);
}

void Mcs51Set::Handle(int op) {
  switch (op) {
    case kOpErase:
      return Erase();
    case kOpBlank:
      return Blank();
    case kOpWrite:
      return Write();
    case kOpVerify:
      return Verify();
    case kOpConfig:
      return Config();
    case kOpLock:
      return Lock();
    case kOpRead:
      return Read();
    case kOpReadId:
      return ReadId();
    case kOpReadConfig:
      return ReadConfig();
    case kOpReadCalibration:
      return ReadCalibration();
    case kOpReadData:
      return ReadData();
    case kOpWriteData:
      return WriteData();
    case kOpUserInfo:
      return UserInfo();
    default:
      return;
  }
}

bool Mcs51Set::TypeCheck(const IdCheck& check) {
  if (identityChecked_ && ChangeCheck()) return true;
  ReadSignature();
  gLink.StatusWord = 0;
  const auto& got = gApp.ReadId;
  const auto& want = gApp.ExpectedId;
  if (check.logPairs) {
    char line[64];
    std::snprintf(line, sizeof line, "R=(%02x,%02x)  S=(%02x,%02x)", got[0], got[1], want[0],
                  want[1]);
    AddMessageLine(line);
  }
  if (want[0] == 0) return true;
  for (int i = 0; i < check.bytes; ++i) {
    if (got[i] != want[i]) {
      AddMessageLine(check.wording);
      gLink.StatusWord = 1;
      return false;
    }
  }
  return true;
}

bool Mcs51Set::ScanBlocks(Scan kind, std::uint32_t first, std::uint32_t last, std::uint32_t block,
                          const Fetch& fetch, bool progress) {
  std::uint8_t* scratch = gLink.ScratchBuffer.data();
  for (std::uint32_t a = first; a <= last && a + block <= kCodeBufferSize; a += block) {
    if (progress) ShowProgress(static_cast<int>(a));
    if (kind == Scan::Read) {
      fetch(a, buffer_ + a);
      continue;
    }
    fetch(a, scratch);
    for (std::uint32_t i = 0; i < block; ++i) {
      const std::uint8_t want = kind == Scan::Blank ? 0xFF : buffer_[a + i];
      if (scratch[i] != want) {
        gLink.StatusWord = 1;
        gLink.FailAddress = a + i;
        gLink.FailByte = scratch[i];
        ShowProgress(static_cast<int>(a + i));
        return false;
      }
    }
  }
  return true;
}

void Mcs51Set::FinishScan() {
  ShowProgress(-1);
}

void Mcs51Set::LogVerifyMismatch() const {
  const std::uint32_t a = gLink.FailAddress;
  const unsigned want = buffer_[a];
  char line[96];
  std::snprintf(line, sizeof line,
                "Verify error at %05X: %02X, expected %02X*校验错误 %05X: %02X, 应为 %02X", a,
                gLink.FailByte, want, a, gLink.FailByte, want);
  AddMessageLine(line);
}

namespace {
template <typename Span>
bool Held(std::uint32_t a, const Span& held) {
  for (const auto& h : held) {
    if (a >= h.first && a <= h.last) return true;
  }
  return false;
}
}  // namespace

bool Mcs51Set::DataOutsideChip(std::span<const HeldSpan> windows, std::span<const HeldSpan> held,
                               bool verify) {
  for (const HeldSpan& w : windows) {
    for (std::uint32_t a = w.first; a <= w.last && a < kCodeBufferSize; ++a) {
      if (buffer_[a] == 0xFF || Held(a, held)) continue;
      gLink.StatusWord = 1;
      gLink.FailAddress = a;
      gLink.FailByte = 0xFF;
      frame::LogNoMemoryAt(a, buffer_[a], verify);
      return true;
    }
  }
  return false;
}

void Mcs51Set::BlankOutsideChip(std::span<const HeldSpan> windows, std::span<const HeldSpan> held) {
  for (const HeldSpan& w : windows) {
    for (std::uint32_t a = w.first; a <= w.last && a < kCodeBufferSize; ++a) {
      if (!Held(a, held)) buffer_[a] = 0xFF;
    }
  }
}

}  // namespace zelvar::mcs51
