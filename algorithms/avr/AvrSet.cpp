#include "algorithms/avr/AvrSet.h"

#include <cstdio>
#include <iterator>
#include <string>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::avr {

namespace {
bool PowerOfTwo(std::uint32_t n) {
  return n != 0 && (n & (n - 1)) == 0;
}
}  // namespace

void AvrSet::CheckRow(const AvrType& t, TypeTableReport& r) {
  constexpr int kSocket = 48;
  // An empty row (a gap the table keeps for its numbering) is refused by the set-up.
  if (t.codeLast == 0) return;
  r.DistinctSupplyPins({{"RESET", t.vppPin}, {"VCC", t.vccPin}}, {t.groundPin}, kSocket);
  if (t.groundPin < 1 || t.groundPin > kSocket) r.Fault("GND pin outside the socket");
  for (int pin : {int{t.vppPin}, int{t.vccPin}, int{t.groundPin}}) {
    // A mask of 0 asks for no contact test (an adapter's package).
    if (t.contactMask != 0 && pin >= 1 && pin <= kSocket &&
        ((t.contactMask >> (pin - 1)) & 1) == 0) {
      r.Fault("supply pin " + std::to_string(pin) + " not in the contact mask");
    }
  }
  r.MaskInSocket(t.contactMask, kSocket);
  if (t.vppMillivolts < 11500 || t.vppMillivolts > 12500)
    r.Fault("RESET voltage outside 11.5-12.5 V");
  r.SizeIsPowerOfTwo(t.codeLast);
  if (t.hasEeprom) r.SizeIsPowerOfTwo(t.eepromLast);
  // A flash page of 0: the part writes its flash a byte per WR pulse.
  if (t.flashPage != 0 && (!PowerOfTwo(t.flashPage) || t.codeSize() % t.flashPage != 0)) {
    r.Fault("flash page size");
  }
  if (t.eepromPage != 0 && (!PowerOfTwo(t.eepromPage) || t.eepromSize() % t.eepromPage != 0)) {
    r.Fault("EEPROM page size");
  }
  if (std::uint64_t{t.codeSize()} + t.eepromSize() > kCodeBufferSize) {
    r.Fault("code and EEPROM image beyond the buffer");
  }
  if (t.bitstream) r.bitstreams.emplace_back(t.bitstream);
  const AvrControlPins& c = t.control;
  if (c.reset != 0) {
    // Signals on plain pins: each its own pin, on the chip, RESET the 12 V pin, none a supply.
    const std::uint8_t pins[] = {c.reset, c.rdy, c.oe, c.wr, c.bs, c.xa0, c.xa1, c.xtal1};
    if (c.reset != t.vppPin) r.Fault("RESET control pin is not the 12 V pin");
    for (std::size_t i = 0; i < std::size(pins); ++i) {
      for (std::size_t j = i + 1; j < std::size(pins); ++j) {
        if (pins[i] == pins[j])
          r.Fault("two control signals on socket pin " + std::to_string(pins[i]));
      }
      if (pins[i] < 1 || pins[i] > kSocket) r.Fault("control pin outside the socket");
      if (i > 0 && (pins[i] == t.vccPin || pins[i] == t.groundPin)) {
        r.Fault("control signal on supply pin " + std::to_string(pins[i]));
      }
      if (t.contactMask != 0 && pins[i] >= 1 && pins[i] <= kSocket &&
          ((t.contactMask >> (pins[i] - 1)) & 1) == 0) {
        r.Fault("control pin " + std::to_string(pins[i]) + " not in the contact mask");
      }
    }
  }
}

bool AvrSet::SetUp(std::size_t rows, const char* bitstream, const char* noDesign,
                   int vccMillivolts) {
  BeginSetup();
  eepromImageOffset_ = 0;
  if (!AcceptRow(static_cast<int>(rows))) return false;
  if (Type().codeLast == 0) {
    Refuse("Chip type not in this set! *器件类型不在此算法中!");
    return false;
  }
  if (!bitstream) {
    Refuse(noDesign);
    return false;
  }
  const AvrType& t = Type();
  // "": the set runs on the programmer's own pins and port, with no design.
  if (*bitstream) LoadBitstream(bitstream);
  gApp.GroundPin = t.groundPin;
  gApp.PinMask = t.contactMask;
  mcs51::gMcs51.ChipVccPin = t.vccPin;
  mcs51::gMcs51.ChipVppPin = t.vppPin;
  eepromImageOffset_ = t.codeSize();
  SelectGndPin(t.groundPin);
  vccMillivolts_ = vccMillivolts;
  vppMillivolts_ = static_cast<int>(t.vppMillivolts);
  SetVccVoltage(vccMillivolts_);
  SetVppVoltage(vppMillivolts_);
  return true;
}

void AvrSet::StoreCalibration(std::uint8_t value, const char* frequency) {
  const std::uint32_t at = Word(kCalibrationAddressWord);
  char line[128];
  if (at == 0) {
    if (frequency) {
      std::snprintf(line, sizeof line, "Calibration of %s is 0x%02X", frequency, value);
    } else {
      std::snprintf(line, sizeof line, "Calibration is 0x%02X", value);
    }
    AddMessageLine(line);
    return;
  }
  // The address comes from the grid or a project file: a byte stored beyond the image would land
  // outside the buffer or in a part no operation writes.
  const std::uint32_t end = eepromImageOffset_ + (Type().hasEeprom ? Type().eepromSize() : 0);
  if (at >= end || at >= kCodeBufferSize) {
    std::snprintf(line, sizeof line,
                  "Calibration address %04X outside the code and EEPROM image*校准地址%04X超出范围",
                  at, at);
    AddMessageLine(line);
    gLink.StatusWord = 1;
    return;
  }
  buffer_[at] = value;
  if (frequency) {
    std::snprintf(line, sizeof line, "Calibration of %s 0x%02X saved to file buffer at:%04X",
                  frequency, value, at);
  } else {
    std::snprintf(line, sizeof line, "Calibration 0x%02X saved to file buffer at:%04X", value, at);
  }
  AddMessageLine(line);
}

bool AvrSet::HasEeprom() const {
  if (Type().hasEeprom) return true;
  AddMessageLine("This chip has no EEPROM*此器件没有EEPROM");
  gLink.StatusWord = 1;
  return false;
}

void AvrSet::LogSignature(const char* format) {
  char line[64];
  const auto& id = gApp.ReadId;
  std::snprintf(line, sizeof line, format, id[0], id[1], id[2]);
  AddMessageLine(line);
}

bool AvrSet::ScanFlashWords(Scan kind, const std::function<void(std::uint32_t)>& readWord) {
  const std::uint32_t block = kind == Scan::Verify ? 32 : 64;
  const bool passed = ScanBlocks(kind, 0, Type().codeLast, block,
                                 [&readWord, block](std::uint32_t a, std::uint8_t* dest) {
                                   for (std::uint32_t i = 0; i < block; i += 2) readWord(a + i);
                                   ReadReply64(dest);
                                 });
  if (passed) FinishScan();
  return passed;
}

}  // namespace zelvar::avr
