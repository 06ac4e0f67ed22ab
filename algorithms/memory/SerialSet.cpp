#include "algorithms/memory/SerialSet.h"

#include <vector>

#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar::memory {

void SerialSet::Refuse(const char* line) {
  refusal_ = line;
  Decline(line);
}

void SerialSet::Decline(const char* line) {
  AddMessageLine(line);
  gLink.StatusWord = 1;
}

bool SerialSet::Run(int op) {
  if (!Offers(op)) return false;
  if (refusal_ != nullptr) {
    Decline(refusal_);
  } else {
    Handle(op);
  }
  return true;
}

void SerialSet::SwitchOn(std::uint8_t groundPin, std::uint8_t vccPin, int millivolts) {
  SelectVppPin(0);
  SelectVccPin(0);
  SetVccVoltage(millivolts);
  SelectGndPin(groundPin);
  SelectVccPin(vccPin);
  SetPinHigh(vccPin);
}

bool SerialSet::PowerUp(std::uint8_t groundPin, std::uint8_t vccPin, int millivolts) {
  SwitchOn(groundPin, vccPin, millivolts);
  return CheckPower();
}

bool SerialSet::ScanChip(std::uint32_t last, std::uint32_t block, ScanMode mode, const Fetch& fetch,
                         const std::function<void()>& onMismatch) {
  std::vector<std::uint8_t> got(block);
  for (std::uint32_t address = 0; address < last; address += block) {
    ShowProgress(static_cast<int>(address));
    fetch(address, got.data(), block);
    for (std::uint32_t i = 0; i < block; ++i) {
      if (mode == ScanMode::kRead) {
        buffer_[address + i] = got[i];
      } else if (got[i] != (mode == ScanMode::kBlank ? 0xFF : buffer_[address + i])) {
        if (onMismatch) onMismatch();
        gLink.StatusWord = 1;
        gLink.FailAddress = address + i;
        gLink.FailByte = got[i];
        ShowProgress(static_cast<int>(address + i));
        SelectVccPin(0);
        return false;
      }
    }
  }
  return true;
}

}  // namespace zelvar::memory
