#include "sim/chips/M4a5.h"

#include <algorithm>

namespace zelvar::sim {

namespace {

constexpr std::uint32_t kIrIdcode = 0x01, kBoundary = 0x02, kRowRegister = 0x03, kData = 0x04,
                        kErase = 0x05, kProgram = 0x06, kRead = 0x07, kSecurity = 0x08,
                        kMode = 0x0F, kUsercode = 0x10;
constexpr int kRowRegisterBits = 80;

JtagChip::Sheet Plcc44(std::string_view name) {
  JtagChip::Sheet s;
  s.name = std::string(name);
  s.pinCount = 44;
  s.seat = 47;
  s.pins = {.tck = 13, .tms = 36, .tdi = 10, .tdo = 32, .vcc = 22, .gnd = 23};
  s.irBits = 6;
  s.resetInstruction = kIrIdcode;
  s.irCapture = 0x01;
  return s;
}

// The register bit that carries fuse m in the read capture.
int CaptureBitOf(int m) {
  return m <= 373 ? 373 - m : 751 - m;
}

}  // namespace

M4a5::M4a5(std::string_view name)
    : JtagChip(Plcc44(name)),
      cells_(static_cast<std::size_t>(kRows * kRowBits), 1),
      rowReg_(kRowRegisterBits, 0),
      dataReg_(kRowBits, 0) {}

int M4a5::DrBits(std::uint32_t instruction) const {
  switch (instruction) {
    case kIrIdcode:
    case kUsercode:
      return 32;
    case kBoundary:
      return 98;
    case kMode:
      return 5;
    case kRowRegister:
      return kRowRegisterBits;
    case kData:
    case kRead:
      return kRowBits;
    default:
      return 1;
  }
}

int M4a5::SelectedRow() const {
  const auto ones = std::count(rowReg_.begin(), rowReg_.end(), std::uint8_t{1});
  if (ones == 0) return -1;
  if (ones == kRowRegisterBits) return -3;
  if (ones > 1) return -2;
  const auto bit = std::find(rowReg_.begin(), rowReg_.end(), std::uint8_t{1}) - rowReg_.begin();
  return kRowRegisterBits - 1 - static_cast<int>(bit);
}

void M4a5::CaptureDr(std::uint32_t instruction, std::vector<std::uint8_t>& dr, double) {
  switch (instruction) {
    case kIrIdcode:
      PutBits(dr, 0, kIdcode, 32);
      return;
    case kUsercode:
      PutBits(dr, 0, usercode, 32);
      return;
    case kRowRegister:
      dr = rowReg_;
      return;
    case kData:
      dr = dataReg_;
      return;
    case kRead: {
      const int row = SelectedRow();
      if (mode_ == 0 || row < 0 || secured_) return;  // all 0
      for (int m = 0; m < kRowBits; ++m)
        dr[static_cast<std::size_t>(CaptureBitOf(m))] = static_cast<std::uint8_t>(Fuse(row, m));
      return;
    }
    default:
      return;
  }
}

void M4a5::UpdateDr(std::uint32_t instruction, const std::vector<std::uint8_t>& dr, double) {
  switch (instruction) {
    case kRowRegister:
      rowReg_ = dr;
      return;
    case kData:
      dataReg_ = dr;
      return;
    case kMode: {
      const auto v = GetBits(dr, 0, 5);
      if (v == 0x08 || v == 0x09) mode_ = static_cast<int>(v);
      return;
    }
    default:
      return;
  }
}

void M4a5::UpdateIr(std::uint32_t instruction, double us) {
  Act(us);
  pending_ = instruction == kErase || instruction == kProgram || instruction == kSecurity
                 ? instruction
                 : 0;
  pendingFrom_ = us;
}

void M4a5::LeaveIdle(double us) {
  Act(us);
}

void M4a5::PowerLost(double us) {
  Act(us);
  mode_ = 0;
  std::fill(rowReg_.begin(), rowReg_.end(), std::uint8_t{0});
}

void M4a5::Act(double us) {
  const std::uint32_t what = pending_;
  pending_ = 0;
  if (what == 0 || mode_ == 0) return;
  const double waited = us - pendingFrom_;
  if (what == kErase) {
    if (waited < kEraseUs || SelectedRow() != -3) return;
    std::fill(cells_.begin(), cells_.end(), std::uint8_t{1});
    secured_ = false;
    ++erases;
    return;
  }
  if (waited < kProgramUs) return;
  if (what == kSecurity) {
    secured_ = true;
    return;
  }
  const int row = SelectedRow();
  if (row >= 0) {
    for (int m = 0; m < kRowBits; ++m) {
      if (dataReg_[static_cast<std::size_t>(m)] == 0) SetFuse(row, m, 0);
    }
    ++rowsProgrammed;
  } else if (row == -1 && mode_ == 0x09) {
    closingRow = dataReg_;
  }
}

std::string_view M4a5PartOf(std::string_view chipName) {
  constexpr std::string_view kName = "M4A5-32/32";
  return chipName.find(kName) != std::string_view::npos ? kName : std::string_view{};
}

std::shared_ptr<ChipModel> MakeM4a5(std::string_view part) {
  return part == "M4A5-32/32" ? std::make_shared<M4a5>(part) : nullptr;
}

}  // namespace zelvar::sim
