#pragma once
// The frame of the serial EEPROM sets, beside the parallel one: no address bus and no 1024-byte
// block commands; the chip is reached through a byte engine of its bus kind (I2cEngine). The frame
// keeps a refused chip refused until the next set-up, powers the chip on its supply pins, and
// scans it in blocks for Read and Verify.
#include <cstdint>
#include <functional>

#include "algorithms/frame/SetFrame.h"

namespace zelvar::memory {

using frame::TypeFacts;

class SerialSet : public frame::SetFrame {
 protected:
  // Refuses the chosen chip: logs `line` and fails every operation with it until the next
  // set-up, without touching the programmer.
  void Refuse(const char* line);
  void ClearRefusal() { refusal_ = nullptr; }
  bool Refused() const { return refusal_ != nullptr; }
  // A refusal of one operation alone: logs `line` and sets StatusWord 1.
  static void Decline(const char* line);

  // Whether the set offers chip operation `op`, and its handler.
  virtual bool Offers(int op) const = 0;
  virtual void Handle(int op) = 0;

  // VCC off, the ground and VCC pins chosen, VCC at `millivolts` on `vccPin`.
  static void SwitchOn(std::uint8_t groundPin, std::uint8_t vccPin, int millivolts);
  // SwitchOn, then CheckPower: false when the power check failed (StatusWord 1, its log line).
  static bool PowerUp(std::uint8_t groundPin, std::uint8_t vccPin, int millivolts);

  // Fetches `count` chip bytes from `address` into `dest`.
  using Fetch = std::function<void(std::uint32_t address, std::uint8_t* dest, std::uint32_t count)>;
  // Read: into the buffer at each byte's own address; Verify: compared with it; Blank: with 0xFF.
  enum class ScanMode { kRead, kVerify, kBlank };
  // Reads the chip from address 0 while the block address is below `last`, in blocks of `block`
  // bytes. False at the first difference: `onMismatch` runs first, then StatusWord 1,
  // FailAddress, FailByte, VCC off.
  bool ScanChip(std::uint32_t last, std::uint32_t block, ScanMode mode, const Fetch& fetch,
                const std::function<void()>& onMismatch = {});

  // An option-indexed choice of `count` entries, clamped: a project file may hold any value.
  std::uint32_t Choice(int word, std::uint32_t count) const {
    const std::uint32_t v = Word(word);
    return v < count ? v : count - 1;
  }

 private:
  bool Run(int op) final;
  const char* refusal_ = nullptr;
};

}  // namespace zelvar::memory
