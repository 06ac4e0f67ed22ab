#include "sim/designs/FpgaFlash.h"

#include <vector>

namespace zelvar::sim {

void FpgaFlashDesign::OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) {
  Attach(p);
  if (reg != 18) return;
  if ((value & 0x80) == 0 && (value & 0x0F) == 7) {
    RunCycle(p, value >> 4);
    return;
  }
  const int n = value & 0x7F;
  if (n < 1 || n > 6) return;
  lines_[static_cast<std::size_t>(n)] = (value & 0x80) != 0;
  Apply(p);
  p.Settle();
}

void FpgaFlashDesign::Attach(Programmer& p) {
  if (attached_) return;
  attached_ = true;
  Apply(p);
}

std::uint32_t FpgaFlashDesign::Address(const Programmer& p) {
  return p.fpga[21] | p.fpga[22] << 8 | static_cast<std::uint32_t>(p.fpga[23]) << 16;
}

void FpgaFlashDesign::SetAddress(Programmer& p, std::uint32_t a) {
  p.fpga[21] = static_cast<std::uint8_t>(a);
  p.fpga[22] = static_cast<std::uint8_t>(a >> 8);
  p.fpga[23] = static_cast<std::uint8_t>(a >> 16);
}

std::uint16_t FpgaFlashDesign::ReadBus(Programmer& p) {
  std::uint16_t b = 0;
  bool driven = false;
  for (std::size_t i = 0; i < dataPins_.size(); ++i) {
    const int sp = dataPins_[i];
    const int cp = p.ChipPinAt(sp);
    const int d = cp > 0 && p.chip() ? p.chip()->Drive(cp) : -1;
    driven = driven || d >= 0;
    if (d > 0 || (d < 0 && p.ReadLevel(sp) != 0)) b |= static_cast<std::uint16_t>(1u << i);
  }
  if (p.chip() && !driven && !floatingReported_) {
    floatingReported_ = true;
    p.record.Hazard(tag_ + ": data bus read while the chip drives none of it");
  }
  return b;
}

void FpgaFlashDesign::ReadBlocks(Programmer& p, int units) {
  std::vector<std::uint8_t> bytes;
  const int n = units * 64;
  const bool wide = dataPins_.size() == 16;
  std::uint32_t a = Address(p);
  while (static_cast<int>(bytes.size()) < n) {
    PutAddress(p, a++);
    const std::uint16_t v = ReadBus(p);
    bytes.push_back(static_cast<std::uint8_t>(v));
    if (wide) bytes.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  SetAddress(p, a);
  p.AdvanceUs(n * 0.25);
  p.PushInData(bytes.data(), bytes.size());
}

}  // namespace zelvar::sim
