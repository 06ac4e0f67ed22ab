#include "sim/chips/W79e.h"

#include <algorithm>

namespace zelvar::sim {

namespace {

constexpr int kRstMin = 10000, kRstMax = 11000;
constexpr double kProgramUs = 20, kEraseUs = 20000;

constexpr W79eSheet kW79e2051{.name = "W79E2051",
                              .nibbleBus = true,
                              .vcc = 20,
                              .ground = 10,
                              .rst = 1,
                              .vccMin = 4500,
                              .bus = {12, 13, 14, 15},
                              .lines = {0, 2, 3, 6, 7, 8, 0, 0, 16},
                              .codeSize = 2048,
                              .dataSize = 0,
                              .configAddress = 0xFB00,
                              .id = {0xDA, 0x20, 0x51}};
constexpr W79eSheet kW79e8213{.name = "W79E8213",
                              .nibbleBus = false,
                              .vcc = 15,
                              .ground = 5,
                              .rst = 4,
                              .vccMin = 2400,
                              .bus = {8, 9, 10, 11, 12, 13, 14, 16},
                              .lines = {0, 1, 17, 18, 19, 20, 0, 0, 0},
                              .codeSize = 2048,
                              .dataSize = 128,
                              .configAddress = 0xFD00,
                              .id = {0xDA, 0x82, 0x13}};
// The W79E825: the W79E8213's package with 16 KB of code and 256 bytes of data flash.
constexpr W79eSheet kW79e825 = [] {
  W79eSheet s = kW79e8213;
  s.name = "W79E825";
  s.codeSize = 16384;
  s.dataSize = 256;
  s.id = {0xDA, 0x82, 0x25};
  return s;
}();
// On the PLCC44 adapter: bus on socket pins 28-35, lines 1-5 on 7-11, 6 on 12, 8-10 on 13, 14, 17.
constexpr W79eSheet kW79e225{.name = "W79E225",
                             .pins = 40,
                             .entryCode = false,
                             .nibbleBus = false,
                             .vcc = 27,
                             .ground = 15,
                             .rst = 0,
                             .vccMin = 4500,
                             .bus = {28, 29, 30, 31, 32, 33, 34, 35},
                             .lines = {0, 7, 8, 9, 10, 11, 12, 0, 13, 14, 17},
                             .codeSize = 16384,
                             .dataSize = 256,
                             .loaderSize = 4096,
                             .configAddress = 0x6000};

bool ReadCommand(std::uint8_t c) {
  return c == 0 || c == 0x40 || c == 0xC0;
}
bool ProgramCommand(std::uint8_t c) {
  return c == 1 || c == 0x41 || c == 0xC1;
}

}  // namespace

W79eChip::W79eChip(const W79eSheet& sheet)
    : code(sheet.codeSize, 0xFF),
      data(sheet.dataSize, 0xFF),
      loader(sheet.loaderSize, 0xFF),
      sheet_(sheet) {}

bool W79eChip::Powered(const Programmer& p) const {
  const int vcc = p.SupplyMillivolts(p.SocketPinOf(sheet_.vcc));
  return vcc >= sheet_.vccMin && vcc <= 5500 && p.IsGround(p.SocketPinOf(sheet_.ground));
}

int W79eChip::Level(const Programmer& p, int chipPin) const {
  if (chipPin == 0) return 0;
  const int mv = p.InputMillivolts(p.SocketPinOf(chipPin));
  return mv >= 2000 ? 1 : 0;
}

std::uint8_t W79eChip::Bus(const Programmer& p) const {
  std::uint8_t b = 0;
  const int bits = sheet_.nibbleBus ? 4 : 8;
  for (int i = 0; i < bits; ++i) {
    if (Level(p, sheet_.bus[i])) b |= static_cast<std::uint8_t>(1u << i);
  }
  return b;
}

std::uint8_t* W79eChip::Cell(std::uint32_t a) {
  const bool inConfig = a >= sheet_.configAddress && a < sheet_.configAddress + 2u;
  if (command_ == 0x40 || command_ == 0x41) {
    if (a < loader.size()) return &loader[a];
    return inConfig ? &config[a - sheet_.configAddress] : nullptr;
  }
  if (command_ == 0xC0 || command_ == 0xC1) return a < data.size() ? &data[a] : nullptr;
  if (a < code.size()) return &code[a];
  if (sheet_.loaderSize != 0) return nullptr;
  if (a >= kDataStart && a - kDataStart < data.size()) return &data[a - kDataStart];
  if (a >= sheet_.configAddress && a < sheet_.configAddress + 2u)
    return &config[a - sheet_.configAddress];
  return nullptr;
}

std::uint8_t W79eChip::Output() const {
  auto* self = const_cast<W79eChip*>(this);
  std::uint8_t v = 0xFF;
  if (ReadCommand(command_)) {
    if (const std::uint8_t* c = self->Cell(address_)) v = *c;
  } else if (command_ == 11) {
    v = sheet_.id[0];
  } else if (command_ == 12) {
    v = sheet_.id[1 + (address_ & 1)];
  }
  return v;
}

void W79eChip::OnPins(Programmer& p) {
  std::array<int, 11> now{};
  for (int n = 1; n <= 10; ++n) now[n] = Level(p, sheet_.lines[n]);
  const auto rose = [&](int n) { return sheet_.lines[n] != 0 && now[n] == 1 && last_[n] == 0; };
  const auto fell = [&](int n) { return sheet_.lines[n] != 0 && now[n] == 0 && last_[n] == 1; };
  const int rst = p.SupplyMillivolts(p.SocketPinOf(sheet_.rst));
  const bool selectLinesHigh = now[8] == 1 && now[9] == 1 && now[10] == 1;
  if (!sheet_.entryCode) {
    if (!Powered(p) || (inMode && !selectLinesHigh)) {
      inMode = armed_ = false;
    } else if (!inMode) {
      if (rose(6) && now[8] == 0 && now[9] == 0 && now[10] == 0) armed_ = true;
      if (armed_ && selectLinesHigh) {
        inMode = true;
        armed_ = false;
        command_ = 0xFF;
      }
    }
  }
  if (!sheet_.entryCode && !inMode) {
    // Waiting for the line entry above.
  } else if (!Powered(p) || (sheet_.entryCode && (rst < kRstMin || rst > kRstMax))) {
    inMode = false;
    shift_ = 0;
  } else if (!inMode) {
    if (rose(2)) {
      shift_ = ((shift_ << 1) | static_cast<std::uint32_t>(now[1])) & 0xFFFFFF;
      if (shift_ == kEntryCode) {
        inMode = true;
        command_ = 0xFF;
      }
    }
  } else {
    const bool dataPhase = now[1] == 1 && now[2] == 1;
    if (rose(3)) {
      if (dataPhase && (!sheet_.nibbleBus || now[5] == 0)) {
        ++address_;
      } else if (now[4] == 1 && now[5] == 1) {
        const std::uint8_t b = Bus(p);
        if (now[2] == 0) {
          if (sheet_.nibbleBus) {
            const int shift = 4 * (now[1] * 2 + now[8]);
            address_ =
                static_cast<std::uint16_t>((address_ & ~(0xF << shift)) | ((b & 0xF) << shift));
          } else if (now[1] == 0) {
            address_ = static_cast<std::uint16_t>((address_ & 0xFF00) | b);
          } else {
            address_ = static_cast<std::uint16_t>((address_ & 0x00FF) | (b << 8));
          }
        } else if (now[1] == 0) {
          command_ = b;
        } else {
          low_ = b & 0xF;
        }
      }
    }
    if (fell(4) && now[5] == 1) strobeStart_ = p.clockUs();
    if (rose(4) && now[5] == 1 && dataPhase) {
      const double lasted = p.clockUs() - strobeStart_;
      if (ProgramCommand(command_) && lasted >= kProgramUs) {
        const std::uint8_t b =
            sheet_.nibbleBus ? static_cast<std::uint8_t>(Bus(p) << 4 | low_) : Bus(p);
        if (std::uint8_t* c = Cell(address_)) *c &= b;
      } else if (command_ == 6 && lasted >= kEraseUs) {
        std::fill(code.begin(), code.end(), 0xFF);
        std::fill(data.begin(), data.end(), 0xFF);
        std::fill(loader.begin(), loader.end(), 0xFF);
        config = {0xFF, 0xFF};
        ++erases;
      }
    }
  }
  last_ = now;
  // Only a read command opens the outputs: the entry code leaves lines 4 and 5 low.
  const bool reading = ReadCommand(command_) || command_ == 11 || command_ == 12;
  driving_ = inMode && reading && now[4] == 0 && now[5] == 0;
}

int W79eChip::Drive(int pin) const {
  if (!driving_) return -1;
  const int bits = sheet_.nibbleBus ? 4 : 8;
  for (int i = 0; i < bits; ++i) {
    if (sheet_.bus[i] != pin) continue;
    const std::uint8_t v = Output();
    const int bit = sheet_.nibbleBus ? i + (last_[8] ? 4 : 0) : i;
    return (v >> bit) & 1;
  }
  return -1;
}

std::shared_ptr<W79eChip> MakeW79e(std::string_view part) {
  if (part == "W79E2051") return std::make_shared<W79eChip>(kW79e2051);
  if (part == "W79E8213") return std::make_shared<W79eChip>(kW79e8213);
  if (part == "W79E825") return std::make_shared<W79eChip>(kW79e825);
  if (part == "W79E225") return std::make_shared<W79eChip>(kW79e225);
  return nullptr;
}

}  // namespace zelvar::sim
