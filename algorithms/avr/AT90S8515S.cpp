#include "algorithms/avr/AT90S8515S.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/OwnPort.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::avr {

namespace {
// The last model without an FPGA: above it a design of some other chip may hold the port.
constexpr int kLastModelWithoutFpga = 411;
}  // namespace

void AT90S8515S::Init() {
  fuseRead_.reset();
  const bool ownPort = gLink.ModelNumber <= kLastModelWithoutFpga;
  if (!SetUp(kTypes.size(), ownPort ? "" : nullptr,
             "AT90S8515S is for programmers without FPGA: use set AT90S8515 or AT90S8535*"
             "此算法只用于无FPGA的编程器,请用AT90S8515或AT90S8535算法",
             5500)) {
    return;
  }
  // The jumpers are for the AT90S4434/8535 alone: on an AT90S4414/8515 they would put VCC and
  // GND on its PD0 and PD1.
  if (gApp.TypeIndex == 3 || gApp.TypeIndex == 4) {
    for (const char* line : kWiring) AddMessageLine(line);
  }
}

void AT90S8515S::SetReadDirection(bool on) const {
  SetRegister25(on ? own_port::kPortInput : own_port::kPortDrive);
}

void AT90S8515S::ClockDataByte(std::uint8_t b) const {
  WritePort(0, b);
  SetPinHigh(Type().control.xtal1);
  SetPinLow(Type().control.xtal1);
}

void AT90S8515S::SampleData() const {
  PutCmd1(own_port::kCmdSample);
}

void AT90S8515S::Read() {
  if (!ScanFlash(Scan::Read)) return;
  SuppliesOff();
  ReadFuseLock();
}

void AT90S8515S::Config() {
  if (!fuseRead_) {
    AddMessageLine("Read config first: the fuse byte is not known*请先读配置: 熔丝字节未知");
    gLink.StatusWord = 1;
    return;
  }
  SetWord(0, *fuseRead_);
  HvWordSet::Config();
}

void AT90S8515S::ReadConfig() {
  if (const std::optional<std::uint8_t> v = ReadFuseLock()) {
    fuseRead_ = v;
    char line[32];
    std::snprintf(line, sizeof line, "Config=%02x", *v);
    AddMessageLine(line);
    SetWord(0, *v);
  }
}

}  // namespace zelvar::avr
