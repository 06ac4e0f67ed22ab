#include "sim/chips/Gal.h"

#include <algorithm>

namespace zelvar::sim {

GalChip::GalChip(GalSheet sheet)
    : array(static_cast<std::size_t>(sheet.arrayRows), std::vector<std::uint8_t>(kRowBits, 1)),
      signature(kRowBits, 1),
      architecture(kArchitectureBits, 1),
      sheet_(std::move(sheet)) {}

int GalChip::Mv(Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin));
}

int GalChip::Row(Programmer& p) const {
  int row = 0;
  for (int i = 0; i < 6; ++i) {
    if (Mv(p, sheet_.ra[static_cast<std::size_t>(i)]) >= 2000) row |= 1 << i;
  }
  return row;
}

std::vector<std::uint8_t> GalChip::Load(int row) const {
  if (row < sheet_.arrayRows) {
    if (secured) return std::vector<std::uint8_t>(kRowBits, 0);
    return array[static_cast<std::size_t>(row)];
  }
  if (row == sheet_.arrayRows) return signature;
  if (row == 60) return architecture;
  return {};
}

void GalChip::EraseNow() {
  for (auto& r : array) std::fill(r.begin(), r.end(), 1);
  std::fill(signature.begin(), signature.end(), 1);
  std::fill(architecture.begin(), architecture.end(), 1);
  secured = false;
  ++erases;
}

bool GalChip::InWindow(Programmer& p) const {
  const int edit = Mv(p, sheet_.edit);
  return Powered(p) && edit >= sheet_.vppMin && edit <= sheet_.vppMax;
}

void GalChip::Program(Programmer& p, int row) {
  auto take = [&](std::vector<std::uint8_t>& cells) {
    // The last cells.size() bits shifted in; a short shift leaves the rest untouched.
    const std::size_t n = std::min(cells.size(), shifted_.size());
    const std::size_t from = shifted_.size() - n;
    for (std::size_t i = 0; i < n; ++i) cells[i] &= shifted_[from + i];
    ++programmedRows;
  };
  if (row < sheet_.arrayRows) {
    take(array[static_cast<std::size_t>(row)]);
  } else if (row == sheet_.arrayRows) {
    take(signature);
  } else if (row == 60) {
    take(architecture);
  } else if (row == 61 && !shifted_.empty() && shifted_.back() == 0) {
    secured = true;
  } else if (row == 63 && !shifted_.empty() && shifted_.back() == 1) {
    erasing_ = true;
    eraseStart_ = p.clockUs();
  }
}

bool GalChip::Powered(const Programmer& p) const {
  const int vcc = p.SupplyMillivolts(p.SocketPinOf(sheet_.vcc));
  return vcc >= 4500 && vcc <= 5500 && p.IsGround(p.SocketPinOf(sheet_.gnd));
}

void GalChip::OnPins(Programmer& p) {
  if (erasing_) {
    const bool held = InWindow(p);
    if (held && p.clockUs() - eraseStart_ >= kEraseUs) EraseNow();
    if (!held || p.clockUs() - eraseStart_ >= kEraseUs) {
      abortedErases += held ? 0 : 1;
      erasing_ = false;
    }
  }
  const int edit = Mv(p, sheet_.edit);
  edit_ = Powered(p) && edit >= 10000;
  const int clock = Mv(p, sheet_.sclk) >= 2000 ? 1 : 0;
  const int strobe = Mv(p, sheet_.stb) >= 2000 ? 1 : 0;
  if (!edit_) {
    // Edges count only in edit mode.
    programStrobe_ = false;
    shifted_.clear();
    out_.clear();
    clockLevel_ = clock;
    strobeLevel_ = strobe;
    return;
  }
  const bool program = Mv(p, sheet_.pv) >= 2000;
  verify_ = !program;
  if (!clock && clockLevel_) {
    if (program) {
      shifted_.push_back(Mv(p, sheet_.sdin) >= 2000 ? 1 : 0);
    } else {
      ++outPos_;
    }
  }
  if (!strobe && strobeLevel_) {
    if (erasing_) {
      // A strobe before the erase's time ends it.
      erasing_ = false;
      ++abortedErases;
    }
    if (program) {
      programStrobe_ = true;
      strobeRow_ = Row(p);
      strobeStart_ = p.clockUs();
    } else {
      out_ = Load(Row(p));
      outPos_ = 0;
    }
  }
  if (strobe && !strobeLevel_ && programStrobe_) {
    programStrobe_ = false;
    if (p.clockUs() - strobeStart_ < kProgramStrobeUs) {
      ++shortStrobes;
    } else if (edit >= sheet_.vppMin && edit <= sheet_.vppMax) {
      Program(p, strobeRow_);
    }
    shifted_.clear();
  }
  clockLevel_ = clock;
  strobeLevel_ = strobe;
}

int GalChip::Drive(int pin) const {
  if (pin != sheet_.sdout || !edit_ || !verify_) return -1;
  return outPos_ < out_.size() ? out_[outPos_] : 1;
}

std::shared_ptr<GalChip> MakeGal(std::string_view part) {
  GalSheet g16{.name = {},
               .pins = 20,
               .vcc = 20,
               .gnd = 10,
               .edit = 2,
               .ra = {18, 3, 4, 5, 6, 7},
               .sclk = 8,
               .sdin = 9,
               .stb = 11,
               .sdout = 12,
               .pv = 19,
               .arrayRows = 32};
  GalSheet g20{.name = {},
               .pins = 24,
               .vcc = 24,
               .gnd = 12,
               .edit = 2,
               .ra = {21, 3, 4, 5, 8, 9},
               .sclk = 10,
               .sdin = 11,
               .stb = 13,
               .sdout = 15,
               .pv = 23,
               .arrayRows = 40};
  const bool high = part == "GAL16V8" || part == "GAL20V8";
  const bool is16 = part == "GAL16V8" || part == "GAL16V8B" || part == "ATF16V8";
  const bool is20 = part == "GAL20V8" || part == "GAL20V8B" || part == "ATF20V8";
  if (!is16 && !is20) return nullptr;
  GalSheet s = is16 ? g16 : g20;
  s.name = std::string(part);
  s.vppMin = high ? 15500 : 11500;
  s.vppMax = high ? 17000 : 12500;
  s.maxEdit = high ? 17000 : 14000;
  return std::make_shared<GalChip>(s);
}

}  // namespace zelvar::sim
