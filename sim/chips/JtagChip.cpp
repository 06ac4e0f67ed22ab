#include "sim/chips/JtagChip.h"

namespace zelvar::sim {

JtagChip::JtagChip(const Sheet& s)
    : name_(s.name),
      pinCount_(s.pinCount),
      seat_(s.seat),
      pins_(s.pins),
      vccMin_(s.vccMin),
      vccMax_(s.vccMax),
      vccAbsMax_(s.vccAbsMax),
      pinAbsMax_(s.pinAbsMax),
      irBits_(s.irBits),
      resetInstruction_(s.resetInstruction),
      irCapture_(s.irCapture),
      ir_(s.resetInstruction) {}

bool JtagChip::Powered(const Programmer& p) const {
  const int vcc = p.SupplyMillivolts(p.SocketPinOf(pins_.vcc));
  return vcc >= vccMin_ && vcc <= vccMax_ && p.IsGround(p.SocketPinOf(pins_.gnd));
}

int JtagChip::Level(Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

void JtagChip::PutBits(std::vector<std::uint8_t>& dr, int from, std::uint64_t value, int bits) {
  for (int i = 0; i < bits && from + i < static_cast<int>(dr.size()); ++i)
    dr[static_cast<std::size_t>(from + i)] = (value >> i) & 1;
}

std::uint64_t JtagChip::GetBits(const std::vector<std::uint8_t>& dr, int from, int bits) {
  std::uint64_t v = 0;
  for (int i = 0; i < bits && from + i < static_cast<int>(dr.size()); ++i)
    v |= static_cast<std::uint64_t>(dr[static_cast<std::size_t>(from + i)] & 1) << i;
  return v;
}

void JtagChip::OnPins(Programmer& p) {
  const bool powered = Powered(p);
  if (!powered) {
    if (powered_) PowerLost(p.clockUs());
    powered_ = false;
    state_ = Tap::kReset;
    ir_ = resetInstruction_;
    tdoOn_ = false;
    tck_ = 0;
    return;
  }
  if (!powered_) {
    powered_ = true;
    tck_ = Level(p, pins_.tck);
  }
  const int tck = Level(p, pins_.tck);
  if (tck && !tck_) {
    ++clocks;
    Rise(p, Level(p, pins_.tms), Level(p, pins_.tdi));
  } else if (!tck && tck_) {
    // TDO follows on the falling edge, driven only while shifting.
    tdoOn_ = state_ == Tap::kShiftDr || state_ == Tap::kShiftIr;
    if (tdoOn_) tdo_ = shift_.empty() ? 1 : shift_.front();
  }
  tck_ = tck;
}

void JtagChip::Rise(Programmer& p, int tms, int tdi) {
  const double us = p.clockUs();
  if (state_ == Tap::kShiftDr || state_ == Tap::kShiftIr) {
    if (!shift_.empty()) {
      shift_.erase(shift_.begin());
      shift_.push_back(static_cast<std::uint8_t>(tdi));
    }
  }
  Tap next = state_;
  switch (state_) {
    case Tap::kReset:
      next = tms ? Tap::kReset : Tap::kIdle;
      break;
    case Tap::kIdle:
      next = tms ? Tap::kSelectDr : Tap::kIdle;
      break;
    case Tap::kSelectDr:
      next = tms ? Tap::kSelectIr : Tap::kCaptureDr;
      break;
    case Tap::kCaptureDr:
      next = tms ? Tap::kExit1Dr : Tap::kShiftDr;
      break;
    case Tap::kShiftDr:
      next = tms ? Tap::kExit1Dr : Tap::kShiftDr;
      break;
    case Tap::kExit1Dr:
      next = tms ? Tap::kUpdateDr : Tap::kPauseDr;
      break;
    case Tap::kPauseDr:
      next = tms ? Tap::kExit2Dr : Tap::kPauseDr;
      break;
    case Tap::kExit2Dr:
      next = tms ? Tap::kUpdateDr : Tap::kShiftDr;
      break;
    case Tap::kUpdateDr:
      next = tms ? Tap::kSelectDr : Tap::kIdle;
      break;
    case Tap::kSelectIr:
      next = tms ? Tap::kReset : Tap::kCaptureIr;
      break;
    case Tap::kCaptureIr:
      next = tms ? Tap::kExit1Ir : Tap::kShiftIr;
      break;
    case Tap::kShiftIr:
      next = tms ? Tap::kExit1Ir : Tap::kShiftIr;
      break;
    case Tap::kExit1Ir:
      next = tms ? Tap::kUpdateIr : Tap::kPauseIr;
      break;
    case Tap::kPauseIr:
      next = tms ? Tap::kExit2Ir : Tap::kPauseIr;
      break;
    case Tap::kExit2Ir:
      next = tms ? Tap::kUpdateIr : Tap::kShiftIr;
      break;
    case Tap::kUpdateIr:
      next = tms ? Tap::kSelectDr : Tap::kIdle;
      break;
  }
  if (state_ == Tap::kIdle && next != Tap::kIdle) LeaveIdle(us);
  state_ = next;
  switch (state_) {
    case Tap::kReset:
      if (ir_ != resetInstruction_) {
        ir_ = resetInstruction_;
        UpdateIr(ir_, us);
      }
      break;
    case Tap::kCaptureIr:
      shift_.assign(static_cast<std::size_t>(irBits_), 0);
      PutBits(shift_, 0, irCapture_, irBits_);
      break;
    case Tap::kUpdateIr:
      ir_ = static_cast<std::uint32_t>(GetBits(shift_, 0, irBits_));
      UpdateIr(ir_, us);
      break;
    case Tap::kCaptureDr:
      shift_.assign(static_cast<std::size_t>(DrBits(ir_)), 0);
      CaptureDr(ir_, shift_, us);
      break;
    case Tap::kUpdateDr:
      UpdateDr(ir_, shift_, us);
      break;
    default:
      break;
  }
}

}  // namespace zelvar::sim
