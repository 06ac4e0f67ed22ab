#pragma once
// A transport between the link and the simulated programmer that injects one USB fault: a short
// read, a failed write, a time-out or a detach, at the Nth transfer from when it is armed. Unarmed
// it passes every transfer through unchanged.
#include <cstdint>
#include <functional>
#include <string>

#include "link/Usb.h"

namespace zelvar::test {

enum class UsbFault {
  ShortRead,    // a read delivers one byte less than the programmer sent
  FailedWrite,  // a write reaches nothing and reports 0 bytes
  TimeOut,      // the transfer reports 0 bytes; a reply stays in the programmer and comes late
  Detach,       // the programmer is pulled out during the transfer
};

inline std::string FaultName(UsbFault f) {
  switch (f) {
    case UsbFault::ShortRead:
      return "short read";
    case UsbFault::FailedWrite:
      return "failed write";
    case UsbFault::TimeOut:
      return "time-out";
    case UsbFault::Detach:
      return "detach";
  }
  return "?";
}

class FaultyTransport final : public Transport {
 public:
  explicit FaultyTransport(Transport& inner) : inner_(inner) {}

  // Injects `fault` at the first transfer, counted from 1 after this call, that is the `at`th or
  // later and that the fault applies to (a short read takes a read, a failed write a write).
  void Arm(UsbFault fault, int at) {
    fault_ = fault;
    at_ = at;
    count_ = 0;
    fired_ = false;
  }
  void Disarm() { at_ = 0; }
  bool Fired() const { return fired_; }
  // Transfers seen since Arm (or since the start).
  int Count() const { return count_; }

  // Pulls the device out; the fixture that plugged it sets this.
  std::function<void()> unplug;

  std::uint32_t Write(const std::uint8_t* data, std::uint32_t length) override {
    ++count_;
    if (Fire(UsbFault::FailedWrite) || Fire(UsbFault::TimeOut)) return 0;
    if (Fire(UsbFault::Detach)) return Detach();
    return inner_.Write(data, length);
  }

  std::uint32_t Read(std::uint8_t* buffer, std::uint32_t length) override {
    ++count_;
    if (Fire(UsbFault::TimeOut)) return 0;
    if (Fire(UsbFault::Detach)) return Detach();
    const std::uint32_t n = inner_.Read(buffer, length);
    if (n > 0 && Fire(UsbFault::ShortRead)) return n - 1;
    return n;
  }

 private:
  bool Fire(UsbFault kind) {
    if (at_ == 0 || fired_ || fault_ != kind || count_ < at_) return false;
    fired_ = true;
    return true;
  }

  std::uint32_t Detach() {
    if (unplug) unplug();
    return 0;
  }

  Transport& inner_;
  UsbFault fault_ = UsbFault::TimeOut;
  int at_ = 0;
  int count_ = 0;
  bool fired_ = false;
};

}  // namespace zelvar::test
