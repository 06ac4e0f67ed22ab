#include "sim/chips/Pld22v10.h"

#include <algorithm>

namespace zelvar::sim {

namespace {
constexpr int kVcc = 24, kGnd = 12, kEdit = 2, kClock = 3, kDataIn = 4, kProgram = 5, kStrobe = 6,
              kEraseSelect = 7, kConfigSelect = 8, kDataOut = 14;
}  // namespace

Pld22v10::Pld22v10()
    : array(kRows, std::vector<std::uint8_t>(kRowBits, 1)),
      config(kConfigBits, 1),
      signature(kSignatureBits, 1) {}

int Pld22v10::Address() const {
  if (shifted_.size() < 6) return -1;
  int a = 0;
  for (int i = 0; i < 6; ++i) a |= shifted_[shifted_.size() - 6 + i] << i;
  return a;
}

void Pld22v10::Program(bool erase, bool configRow) {
  if (erase) {
    for (auto& r : array) std::fill(r.begin(), r.end(), 1);
    std::fill(config.begin(), config.end(), 1);
    std::fill(signature.begin(), signature.end(), 1);
    secured = false;
    ++erases;
    return;
  }
  if (configRow) {
    if (shifted_.size() < 24) return;
    const std::size_t from = shifted_.size() - 24;
    for (int i = 0; i < kConfigBits; ++i) config[i] &= shifted_[from + i];
    ++programmed;
    return;
  }
  const int row = Address();
  if (row < 0) return;
  const std::size_t end = shifted_.size() - 6;
  if (row == 61) {
    secured =
        secured || std::find(shifted_.begin(), shifted_.begin() + end, 0) != shifted_.begin() + end;
    return;
  }
  if (end < static_cast<std::size_t>(kRowBits)) return;
  const std::size_t from = end - kRowBits;
  if (row < kRows) {
    for (int i = 0; i < kRowBits; ++i) array[row][i] &= shifted_[from + i];
  } else if (row == kRows) {
    for (int i = 0; i < kSignatureBits; ++i) signature[i] &= shifted_[from + i];
  }
  ++programmed;
}

bool Pld22v10::Powered(const Programmer& p) const {
  const int vcc = p.SupplyMillivolts(p.SocketPinOf(kVcc));
  return vcc >= 4500 && vcc <= 5500 && p.IsGround(p.SocketPinOf(kGnd));
}

void Pld22v10::OnPins(Programmer& p) {
  const int edit = Mv(p, kEdit);
  edit_ = Powered(p) && edit >= 10000;
  const int clock = Mv(p, kClock) >= 2000 ? 1 : 0;
  const int strobe = Mv(p, kStrobe) >= 2000 ? 1 : 0;
  if (!edit_) {
    shifted_.clear();
    out_.clear();
    clock_ = clock;
    strobe_ = strobe;
    return;
  }
  const bool program = Mv(p, kProgram) >= 2000;
  verify_ = !program;
  if (!clock && clock_) {
    shifted_.push_back(Mv(p, kDataIn) >= 2000 ? 1 : 0);
    if (shifted_.size() > 1024) shifted_.erase(shifted_.begin(), shifted_.end() - 256);
    ++pos_;
  }
  if (!strobe && strobe_) {
    const bool configRow = Mv(p, kConfigSelect) >= 2000;
    if (program) {
      if (edit >= 11500 && edit <= 13000) Program(Mv(p, kEraseSelect) >= 2000, configRow);
      shifted_.clear();
    } else {
      pos_ = 0;
      const int row = Address();
      if (configRow) {
        out_ = config;
        out_.insert(out_.end(), 4, 1);
      } else if (row >= 0 && row < kRows) {
        out_ = secured ? std::vector<std::uint8_t>(kRowBits, 1) : array[row];
      } else {
        out_.clear();
      }
    }
  }
  clock_ = clock;
  strobe_ = strobe;
}

int Pld22v10::Drive(int pin) const {
  if (pin != kDataOut || !edit_ || !verify_) return -1;
  return pos_ < out_.size() ? out_[pos_] : 1;
}

}  // namespace zelvar::sim
