#include "sim/chips/Lpc9xx.h"

#include <algorithm>

namespace zelvar::sim {

namespace {

constexpr int kEntryPulses = 5;
constexpr double kBusyUs = 2000;
constexpr std::uint8_t kRegPageLoad = 0x04, kRegCheck = 0x05, kRegAddressLow = 0x08,
                       kRegAddressHigh = 0x0A, kRegData = 0x0C, kRegDataRead = 0x0D,
                       kRegCommand = 0x0E, kRegStatus = 0x0F;
constexpr std::uint8_t kLoad = 0x00, kProgram = 0x48, kErase = 0x72, kConfig = 0x6C,
                       kReadCode = 0x80, kBlankCheck = 0x19;
constexpr int kIdAddress = 16, kSecurityFirst = 8, kSecurityLast = 15;

constexpr Lpc9xxSheet kP89lpc932{.name = "P89LPC932",
                                 .pins = 28,
                                 .vdd = 21,
                                 .vss = 7,
                                 .rst = 6,
                                 .pcl = 22,
                                 .pda = 23,
                                 .codeSize = 8192,
                                 .pageSize = 64,
                                 .busyStatus = true,
                                 .seatBefore6300 = 4,
                                 .seatFrom6300 = 7,
                                 .id = {0x15, 0xDD, 0x0B}};
constexpr Lpc9xxSheet kLpc901{.name = "LPC901",
                              .pins = 8,
                              .vdd = 1,
                              .vss = 8,
                              .rst = 4,
                              .pcl = 6,
                              .pda = 7,
                              .codeSize = 1024,
                              .pageSize = 16,
                              .busyStatus = false,
                              .id = {0x15, 0xDD, 0x20}};

}  // namespace

Lpc9xxChip::Lpc9xxChip(const Lpc9xxSheet& sheet)
    : code(sheet.codeSize, 0xFF),
      sheet_(sheet),
      page_(sheet.pageSize, 0xFF),
      loaded_(sheet.pageSize, false) {
  std::copy(sheet.id.begin(), sheet.id.end(), config.begin() + kIdAddress);
}

bool Lpc9xxChip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(sheet_.vdd));
  return vdd >= 2400 && vdd <= 3600 && p.IsGround(p.SocketPinOf(sheet_.vss));
}

int Lpc9xxChip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 1500 ? 1 : 0;
}

void Lpc9xxChip::Refuse(Programmer& p) {
  ++refused;
  status_ = sheet_.busyStatus ? 0x01 : 0x0F;
  p.record.ProtocolError(std::string(sheet_.name) + ": command while the flash is busy");
}

void Lpc9xxChip::WriteRegister(Programmer& p, std::uint8_t reg, std::uint8_t v) {
  switch (reg) {
    case kRegAddressLow:
      address_ = static_cast<std::uint16_t>((address_ & 0xFF00) | v);
      return;
    case kRegAddressHigh:
      address_ = static_cast<std::uint16_t>((address_ & 0x00FF) | v << 8);
      return;
    case kRegPageLoad:
    case kRegData:
      if (Busy(p)) return Refuse(p);
      if (reg == kRegData && command_ == kConfig) {
        if (configWritesTaken >= 0 && configWrites_++ >= configWritesTaken) {
          status_ = sheet_.busyStatus ? 0x01 : 0x0F;
          return;
        }
        const int a = address_ & 0xFF;
        if (a < kIdAddress) config[a] = v;
        busyUntil_ = p.clockUs() + kBusyUs;
        status_ = sheet_.busyStatus ? 0x00 : 0xF0;
        return;
      }
      if (command_ == kLoad) {
        const std::uint32_t i = address_ % sheet_.pageSize;
        page_[i] = v;
        loaded_[i] = true;
        ++address_;
      }
      return;
    case kRegCommand:
      break;
    default:
      return;
  }
  if (Busy(p)) return Refuse(p);
  command_ = v;
  status_ = sheet_.busyStatus ? 0x00 : 0xF0;
  switch (v) {
    case kLoad:
      std::fill(page_.begin(), page_.end(), 0xFF);
      std::fill(loaded_.begin(), loaded_.end(), false);
      return;
    case kProgram: {
      const std::uint32_t base = (address_ % sheet_.codeSize) / sheet_.pageSize * sheet_.pageSize;
      for (std::uint32_t i = 0; i < sheet_.pageSize; ++i) {
        if (loaded_[i]) code[base + i] &= page_[i];
      }
      busyUntil_ = p.clockUs() + kBusyUs;
      return;
    }
    case kErase:
      std::fill(code.begin(), code.end(), 0xFF);
      std::fill(config.begin() + kSecurityFirst, config.begin() + kSecurityLast + 1, 0x00);
      ++erases;
      busyUntil_ = p.clockUs() + kBusyUs;
      return;
    case kBlankCheck: {
      checkResult_ = 0;
      for (std::uint32_t i = 0; i < 32; ++i) {
        if (code[(address_ + i) % sheet_.codeSize] != 0xFF) ++checkResult_;
      }
      checkByte_ = 0;
      return;
    }
    case kConfig:
    case kReadCode:
      return;
    default:
      status_ = sheet_.busyStatus ? 0x01 : 0x0F;
      return;
  }
}

std::uint8_t Lpc9xxChip::ReadRegister(std::uint8_t reg) {
  switch (reg) {
    case kRegStatus:
      return status_;
    case kRegCheck:
      return static_cast<std::uint8_t>(checkByte_++ == 0 ? checkResult_ >> 8 : checkResult_);
    case kRegDataRead:
      if (command_ == kConfig) {
        const int a = address_ & 0xFF;
        address_ = static_cast<std::uint16_t>((address_ & 0xFF00) | ((a + 1) & 0xFF));
        return a < static_cast<int>(config.size()) ? config[a] : 0xFF;
      }
      if (command_ == kReadCode) return code[address_++ % sheet_.codeSize];
      return 0xFF;
    default:
      return 0xFF;
  }
}

void Lpc9xxChip::Byte(Programmer& p, std::uint8_t b) {
  if (writeReg_ >= 0) {
    const auto reg = static_cast<std::uint8_t>(writeReg_);
    writeReg_ = -1;
    WriteRegister(p, reg, b);
    return;
  }
  if ((b & 1) == 0) {
    writeReg_ = b;
    return;
  }
  // A read: the busy P89LPC932 answers its status from the real clock.
  const bool busy = Busy(p) || stuckBusy;
  out_ = b == kRegStatus && sheet_.busyStatus && busy ? 0x80 : ReadRegister(b);
  sending_ = true;
  sendBit_ = 0;
}

void Lpc9xxChip::OnPins(Programmer& p) {
  const bool powered = Powered(p);
  const int rst = Level(p, sheet_.rst), pcl = Level(p, sheet_.pcl);
  if (!powered) {
    powered_ = inIcp = sending_ = false;
    lastRst_ = lastPcl_ = 0;
    return;
  }
  if (!powered_) {
    powered_ = true;
    rstLowAtPowerUp_ = rst == 0;
    rstPulses_ = 0;
    lastRst_ = rst;
    lastPcl_ = pcl;
    return;
  }
  if (!inIcp) {
    if (rst == 1 && lastRst_ == 0 && rstLowAtPowerUp_) ++rstPulses_;
    if (pcl == 1 && lastPcl_ == 0 && rst == 1 && rstPulses_ >= kEntryPulses) {
      inIcp = true;
      bits_ = 0;
      writeReg_ = -1;
      byteDone_ = sending_ = false;
    }
  } else if (rst == 0) {
    inIcp = sending_ = false;
    rstLowAtPowerUp_ = false;
  }
  if (inIcp && pcl != lastPcl_) {
    if (pcl == 1 && !sending_) {
      shift_ = static_cast<std::uint8_t>(shift_ << 1 | Level(p, sheet_.pda));
      byteDone_ = ++bits_ == 8;
    } else if (pcl == 0 && sending_) {
      if (++sendBit_ == 8) sending_ = false;
    } else if (pcl == 0 && byteDone_) {
      byteDone_ = false;
      bits_ = 0;
      Byte(p, shift_);
    }
  }
  lastRst_ = rst;
  lastPcl_ = pcl;
}

int Lpc9xxChip::Drive(int pin) const {
  if (!inIcp || !sending_ || pin != sheet_.pda) return -1;
  return (out_ >> (7 - sendBit_)) & 1;
}

std::string_view Lpc9xxPartOf(std::string_view chipName) {
  for (std::string_view part : {"P89LPC932", "LPC901"}) {
    if (chipName.find(part) != std::string_view::npos) return part;
  }
  return {};
}

std::shared_ptr<Lpc9xxChip> MakeLpc9xx(std::string_view part) {
  if (part == "P89LPC932") return std::make_shared<Lpc9xxChip>(kP89lpc932);
  if (part == "LPC901") return std::make_shared<Lpc9xxChip>(kLpc901);
  return nullptr;
}

}  // namespace zelvar::sim
