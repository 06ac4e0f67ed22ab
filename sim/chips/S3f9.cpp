#include "sim/chips/S3f9.h"

#include <algorithm>

namespace zelvar::sim {

namespace {
constexpr double kProgramUs = 60, kEraseUs = 50000, kProtectUs = 5000;
struct Part {
  std::string_view name;
  int pins, bytes;
};
constexpr Part kParts[] = {{"S3F9454", 20, 4096}, {"S3F9444", 16, 4096}, {"S3F9424", 8, 2048}};
}  // namespace

S3f9Chip::S3f9Chip(std::string_view name, int pins, int bytes)
    : LineChip(name, pins, pins, 1, 4, 2000, 5500), flash(static_cast<std::size_t>(bytes), 0xFF) {}

void S3f9Chip::Reset() {
  bit_ = 0;
  byte_ = 0;
  frames_.clear();
  out_ = -1;
}

void S3f9Chip::Finish(double now, bool inMode) {
  if (pending_ == 0) return;
  if (inMode && now - pendingAt_ < (pending_ == 1 ? kEraseUs : kProtectUs)) return;
  const bool done = now - pendingAt_ >= (pending_ == 1 ? kEraseUs : kProtectUs);
  if (!done) {
    ++abortedErases;
  } else if (pending_ == 1) {
    std::fill(flash.begin(), flash.end(), 0xFF);
    protection = 0;
  } else {
    protection |= static_cast<std::uint8_t>(1u << (pending_ - 2));
  }
  pending_ = 0;
}

void S3f9Chip::Frame(std::uint8_t b) {
  if (frames_.size() < 3 || (frames_[0] == 0xE0 && frames_.size() < 4)) {
    frames_.push_back(b);
    if (frames_[0] == 0x60 || frames_[0] == 0x61) {
      if (frames_.size() == 3) address_ = static_cast<std::uint32_t>(frames_[1] << 8 | frames_[2]);
    } else if (frames_[0] == 0xE0 && frames_.size() == 4) {
      if (frames_[1] == 0x15 && frames_[2] == 0x55 && b == 0xAA) pending_ = 1;
      if (frames_[1] == 0x0E && b == 0x00) {
        if (frames_[2] == 0x3F) pending_ = 2;
        if (frames_[2] == 0x3E) pending_ = 3;
        if (frames_[2] == 0x3D) pending_ = 4;
      }
    }
  }
}

void S3f9Chip::OnPins(Programmer& p) {
  const bool mode = Powered(p) && HighVoltage(p);
  const double now = p.clockUs();
  const int sda = In(p, pins_ - 1), scl = In(p, pins_ - 2);
  if (!mode) {
    Finish(now, false);
    inMode_ = false;
    out_ = -1;
    lastSda_ = sda;
    lastScl_ = scl;
    return;
  }
  if (!inMode_) {
    inMode_ = true;
    Reset();
  }
  const bool edge = scl == 1 && lastScl_ == 0;
  if (pending_ != 0 && edge) Finish(now, false);
  Finish(now, true);
  if (scl == 1 && lastScl_ == 1 && sda != lastSda_) Reset();  // start or stop
  if (edge) {
    if (now < busyUntil_) ++busyEdges;
    ++bit_;
    const bool reading = frames_.size() == 3 && frames_[0] == 0x61;
    if (bit_ <= 8) {
      byte_ = static_cast<std::uint8_t>(byte_ << 1 | sda);
      if (reading) {
        const std::uint8_t v =
            (protection & 1) != 0 || address_ >= flash.size() ? 0x00 : flash[address_];
        out_ = v >> (8 - bit_) & 1;
      }
    } else {
      out_ = -1;
      if (frames_.size() == 3 && frames_[0] == 0x60) {
        if (address_ < flash.size() && (protection & 2) == 0) flash[address_] &= byte_;
        ++address_;
        busyUntil_ = now + kProgramUs;
      } else if (reading) {
        ++address_;
      } else {
        Frame(byte_);
        if (pending_ != 0) pendingAt_ = now;
      }
      bit_ = 0;
      byte_ = 0;
    }
  }
  lastSda_ = sda;
  lastScl_ = scl;
}

int S3f9Chip::Drive(int pin) const {
  return pin == pins_ - 1 && inMode_ ? out_ : -1;
}

std::string_view S3f9PartOf(std::string_view chipName) {
  for (const Part& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos) return part.name;
  }
  return "";
}

std::shared_ptr<S3f9Chip> MakeS3f9(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part) return std::make_shared<S3f9Chip>(p.name, p.pins, p.bytes);
  }
  return nullptr;
}

}  // namespace zelvar::sim
