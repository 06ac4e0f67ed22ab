#include "sim/chips/ByteWide.h"

#include <algorithm>
#include <utility>

namespace zelvar::sim {

ByteWidePinout Dip32Pinout(const std::vector<int>& address, int addressBits, int we) {
  ByteWidePinout s;
  s.pins = 32;
  s.address.assign(address.begin(), address.begin() + addressBits);
  s.data = {13, 14, 15, 17, 18, 19, 20, 21};
  s.ground = {16};
  s.vcc = 32;
  s.ce = 22;
  s.oe = 24;
  s.we = we;
  return s;
}

ByteWidePinout JedecFlash32(int addressBits) {
  return Dip32Pinout({12, 11, 10, 9, 8, 7, 6, 5, 27, 26, 23, 25, 4, 28, 29, 3, 2, 30, 1},
                     addressBits, 31);
}

ByteWideChip::ByteWideChip(std::string name, ByteWidePinout pinout, std::uint32_t size,
                           std::uint8_t fill)
    : cells(size, fill), name_(std::move(name)), pinout_(std::move(pinout)) {
  dataIndex_.assign(pinout_.pins + 1, -1);
  for (std::size_t i = 0; i < pinout_.data.size(); ++i)
    dataIndex_[pinout_.data[i]] = static_cast<int>(i);
}

int ByteWideChip::MaxMillivolts(int pin) const {
  const auto& h = pinout_.highPins;
  return std::find(h.begin(), h.end(), pin) != h.end() ? pinout_.maxHigh : pinout_.maxOther;
}

int ByteWideChip::Mv(const Programmer& p, int chipPin) const {
  return chipPin > 0 ? p.InputMillivolts(socket_[chipPin]) : -1;
}

bool ByteWideChip::Low(const Programmer& p, int chipPin) const {
  const int mv = Mv(p, chipPin);
  return mv >= 0 && mv < 800;
}

bool ByteWideChip::High(const Programmer& p, int socketPin, bool supplied) const {
  return supplied ? p.InputMillivolts(socketPin) >= 2000 : p.DriverLevel(socketPin) == 1;
}

void ByteWideChip::TakeSupplies(const Programmer& p) {
  if (suppliesAt_ == p.supplyChanges) return;
  suppliesAt_ = p.supplyChanges;
  addressSupplied_ = dataSupplied_ = 0;
  for (std::size_t i = 0; i < addressSocket_.size(); ++i) {
    if (p.SupplyMillivolts(addressSocket_[i]) >= 0) addressSupplied_ |= 1u << i;
  }
  for (std::size_t i = 0; i < dataSocket_.size(); ++i) {
    if (p.SupplyMillivolts(dataSocket_[i]) >= 0) dataSupplied_ |= 1u << i;
  }
}

std::uint32_t ByteWideChip::Address(const Programmer& p) {
  TakeSupplies(p);
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < addressSocket_.size(); ++i) {
    if (High(p, addressSocket_[i], (addressSupplied_ >> i) & 1)) a |= 1u << i;
  }
  return a;
}

// Supplies only: a driver held high on VCC, or low on ground, powers nothing.
bool ByteWideChip::Powered(const Programmer& p) const {
  if (socket_.empty()) return false;
  const int vcc = p.SupplyMillivolts(socket_[pinout_.vcc]);
  bool powered = vcc >= pinout_.vccMin && vcc <= pinout_.vccMax;
  for (int g : pinout_.ground) powered = powered && p.SupplyMillivolts(socket_[g]) == 0;
  return powered;
}

void ByteWideChip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(pinout_.pins + 1, 0);
    for (int k = 1; k <= pinout_.pins; ++k) socket_[k] = p.SocketPinOf(k);
    addressSocket_.clear();
    dataSocket_.clear();
    for (int a : pinout_.address) addressSocket_.push_back(socket_[a]);
    for (int d : pinout_.data) dataSocket_.push_back(socket_[d]);
    suppliesAt_ = ~0u;
  }
  const bool powered = Powered(p);
  Update(p, powered);

  const bool ce = Low(p, pinout_.ce), oe = Low(p, pinout_.oe);
  const int weMv = Mv(p, pinout_.we);
  const bool we = weMv >= 0 && weMv < 800, weHigh = weMv >= 2000;
  const bool cycle = powered && ce && we && !oe && Mv(p, pinout_.oe) >= 2000;
  if (cycle && !writing_) {
    latched_ = Address(p);
  } else if (writing_ && !cycle && powered) {
    TakeSupplies(p);
    std::uint8_t data = 0;
    for (std::size_t i = 0; i < dataSocket_.size(); ++i) {
      if (High(p, dataSocket_[i], (dataSupplied_ >> i) & 1))
        data |= static_cast<std::uint8_t>(1u << i);
    }
    ++writes;
    Write(p, latched_, data);
  }
  writing_ = cycle;

  driving_ = powered && ce && oe && weHigh;
  if (driving_) out_ = Read(p, Address(p));
}

int ByteWideChip::Drive(int pin) const {
  if (!driving_ || pin < 1 || pin > pinout_.pins) return -1;
  const int bit = dataIndex_[pin];
  return bit < 0 ? -1 : (out_ >> bit) & 1;
}

}  // namespace zelvar::sim
