#include "sim/chips/Xc95.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {

constexpr std::uint32_t kIdcode = 0xFE, kIspen = 0xE8, kFpgm = 0xEA, kFvfy = 0xEE, kFerase = 0xEC,
                        kFbulk = 0xED, kIspex = 0xF0, kUsercode = 0xFD;

JtagChip::Sheet Plcc44(std::string_view name) {
  JtagChip::Sheet s;
  s.name = std::string(name);
  s.pinCount = 44;
  s.seat = 47;
  s.pins = {.tck = 17, .tms = 16, .tdi = 15, .tdo = 30, .vcc = 21, .gnd = 23};
  s.irBits = 8;
  s.resetInstruction = kIdcode;
  s.irCapture = 0x01;
  return s;
}

struct Part {
  std::string_view name;
  int groups;
  std::uint32_t idcode;
};
constexpr std::array<Part, 2> kParts = {{{"XC9536", 4, 0x09502093}, {"XC9572", 8, 0x09504093}}};

}  // namespace

Xc95::Xc95(std::string_view name, int groups, std::uint32_t idcode)
    : JtagChip(Plcc44(name)),
      groups_(groups),
      idcode_(idcode),
      cells_(static_cast<std::size_t>(kBlocks * kRowsPerBlock * 8 * groups), 0) {}

int Xc95::Cell(int block, int row, int bit) const {
  return cells_[static_cast<std::size_t>((block * kRowsPerBlock + row) * 8 * groups_ + bit)];
}
void Xc95::SetCell(int block, int row, int bit, int v) {
  cells_[static_cast<std::size_t>((block * kRowsPerBlock + row) * 8 * groups_ + bit)] =
      static_cast<std::uint8_t>(v);
}

int Xc95::RowOf(std::uint32_t field) {
  const std::uint32_t r = field & 31;
  if (r <= 4) return static_cast<int>(r);
  if (r >= 8 && r <= 12) return static_cast<int>(r) - 3;
  if (r >= 16 && r <= 20) return static_cast<int>(r) - 6;
  return -1;
}

int Xc95::DrBits(std::uint32_t instruction) const {
  switch (instruction) {
    case kIdcode:
    case kUsercode:
      return 32;
    case kIspen:
      return 6;
    case kFpgm:
    case kFvfy:
      return 8 * groups_ + 18;
    case kFerase:
    case kFbulk:
      return 18;
    default:
      return 1;  // BYPASS and what the model leaves out
  }
}

void Xc95::FinishErase(double us) {
  if (!erasing_ || us < eraseEnd_) return;
  std::fill(cells_.begin(), cells_.end(), std::uint8_t{0});
  erasing_ = false;
  ++erases;
}

void Xc95::SettleProgram(double us) {
  if (!programming_) return;
  programming_ = false;
  if (us < programEnd_) {
    ++programCyclesCut;
  } else {
    for (const BufferedRow& r : buffered_) {
      for (std::size_t b = 0; b < r.bits.size(); ++b)
        if (r.bits[b]) SetCell(r.block, r.row, static_cast<int>(b), 1);
      ++rowsProgrammed;
    }
  }
  buffered_.clear();
}

void Xc95::CaptureDr(std::uint32_t instruction, std::vector<std::uint8_t>& dr, double us) {
  SettleProgram(us);
  const int data = 8 * groups_;
  switch (instruction) {
    case kIdcode:
      PutBits(dr, 0, idcode_, 32);
      return;
    case kFerase:
    case kFbulk: {
      if (!isp_) return;
      const bool busy = erasing_ && us < eraseEnd_;
      doneSeen_ = erasing_ && !busy;
      FinishErase(us);
      PutBits(dr, 0, busy ? 3 : 1, 2);
      return;
    }
    case kFvfy: {
      if (!isp_) return;
      PutBits(dr, 0, 1, 2);
      const int row = RowOf(latched_);
      const int block = static_cast<int>(latched_ >> 5);
      if (row >= 0 && block < kBlocks) {
        for (int b = 0; b < data; ++b)
          dr[static_cast<std::size_t>(2 + b)] = static_cast<std::uint8_t>(Cell(block, row, b));
      }
      PutBits(dr, 2 + data, latched_, 16);
      return;
    }
    default:
      return;
  }
}

void Xc95::UpdateDr(std::uint32_t instruction, const std::vector<std::uint8_t>& dr, double us) {
  SettleProgram(us);
  const int data = 8 * groups_;
  switch (instruction) {
    case kIspen:
      isp_ = true;
      return;
    case kFvfy:
      if (isp_) latched_ = static_cast<std::uint32_t>(GetBits(dr, 2 + data, 16));
      return;
    case kFpgm: {
      const auto status = GetBits(dr, 0, 2);
      if (!isp_ || (status & 1) == 0) return;
      const auto field = static_cast<std::uint32_t>(GetBits(dr, 2 + data, 16));
      const int row = RowOf(field);
      const int block = static_cast<int>(field >> 5);
      if (row >= 0 && block < kBlocks) {
        buffered_.push_back({block, row, {dr.begin() + 2, dr.begin() + 2 + data}});
      }
      if (status == 3) {
        programming_ = true;
        programEnd_ = us + kProgramUs;
      }
      return;
    }
    case kFerase:
    case kFbulk: {
      if (!isp_) return;
      if (doneSeen_) {  // the poll that read "done"
        doneSeen_ = false;
        return;
      }
      if (erasing_) return;
      const auto field = static_cast<std::uint32_t>(GetBits(dr, 2, 16));
      const bool key = instruction == kFerase ? field == 0xAA55 : field == 0xFFFF;
      if (!key || GetBits(dr, 0, 2) != 3) return;
      erasing_ = true;
      eraseEnd_ = us + kEraseUs;
      return;
    }
    default:
      return;
  }
}

void Xc95::UpdateIr(std::uint32_t instruction, double us) {
  SettleProgram(us);
  FinishErase(us);
  if (instruction == kIspex) {
    isp_ = false;
    buffered_.clear();
  }
}

void Xc95::PowerLost(double us) {
  SettleProgram(us);
  buffered_.clear();
  isp_ = false;
  erasing_ = false;  // an erase cut short leaves the cells as they were
  doneSeen_ = false;
  latched_ = 0xFFFFFFFF;
}

std::string_view Xc95PartOf(std::string_view chipName) {
  std::string_view best;
  for (const Part& p : kParts) {
    if (chipName.find(p.name) != std::string_view::npos && p.name.size() > best.size())
      best = p.name;
  }
  return best;
}

std::shared_ptr<ChipModel> MakeXc95(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part) return std::make_shared<Xc95>(p.name, p.groups, p.idcode);
  }
  return nullptr;
}

}  // namespace zelvar::sim
