#pragma once
// The kernel side of the USB library: what the library asks of the system's USB access. Two
// implementations stand behind it: libusb-1.0 (the real programmer) and the simulated programmer,
// which attaches through the same event path.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace zelvar::usb {

// Vendor and product id a registration listens for.
struct MatchRecord {
  std::uint16_t VendorId = 0;
  std::uint16_t ProductId = 0;
};

// What the library learns of an attached device: the ids of its device descriptor and the
// number of its active interface.
struct DeviceInfo {
  std::uint16_t VendorId = 0;
  std::uint16_t ProductId = 0;
  std::uint8_t InterfaceNumber = 0;
  std::uint8_t AlternateSetting = 0;
};

// Event actions and option bits.
inline constexpr std::uint32_t kActionAttach = 1;
inline constexpr std::uint32_t kActionDetach = 2;
inline constexpr std::uint32_t kActionPowerMask = 0x3FF0;
inline constexpr std::uint32_t kOptionAskAck = 1;
inline constexpr std::uint32_t kOptionAccept = 2;

struct DriverEvent {
  std::uint32_t Action = 0;
  std::uint32_t UniqueId = 0;
  std::uint32_t Options = 0;
};

enum class WaitResult { Ended = 1, Nothing = 2, Event = 3 };

class UsbDriver {
 public:
  virtual ~UsbDriver() = default;
  // The driver's version; 0 when it cannot start.
  virtual std::uint32_t Version() = 0;
  // True when a programmer is present that this user may not open.
  virtual bool AccessDenied() { return false; }

  // Registers for the events of devices that match; devices already attached report an attach
  // at once. Returns a registration id, 0 on failure (`status` says why).
  virtual std::uint32_t Register(const std::vector<MatchRecord>& matches, std::uint32_t actions,
                                 std::uint32_t& status) = 0;
  // Cancels a registration: a pending WaitEvent answers Ended.
  virtual void Unregister(std::uint32_t registration) = 0;
  // Frees what the registration's devices hold, once its event thread has ended.
  virtual void Release(std::uint32_t /*registration*/) {}
  // Blocks for the next event of a registration.
  virtual WaitResult WaitEvent(std::uint32_t registration, DriverEvent& event) = 0;
  virtual void Acknowledge(std::uint32_t registration, const DriverEvent& event) = 0;

  virtual std::uint32_t GetDeviceInfo(std::uint32_t uniqueId, DeviceInfo& info) = 0;
  virtual std::uint32_t SetInterface(std::uint32_t uniqueId, std::uint32_t interfaceNumber,
                                     std::uint32_t alternateSetting) = 0;
  virtual std::uint32_t Transfer(std::uint32_t uniqueId, std::uint32_t pipe, bool read,
                                 std::uint32_t options, std::uint8_t* buffer, std::uint32_t length,
                                 std::uint32_t& transferred, const std::uint8_t* setup,
                                 std::uint32_t timeoutMs) = 0;
};

// One registration's events, handed over from whoever sees them to the library's event thread.
class EventQueue {
 public:
  void Push(const DriverEvent& e) {
    {
      std::lock_guard lock(m_);
      if (ended_) return;
      q_.push_back(e);
    }
    cv_.notify_all();
  }
  void End() {
    {
      std::lock_guard lock(m_);
      ended_ = true;
    }
    cv_.notify_all();
  }
  WaitResult Wait(DriverEvent& e);
  // Blocks until every pushed event was handled (the reader came back for the next one).
  bool Drain(int timeoutMs);

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<DriverEvent> q_;
  bool ended_ = false;
  bool busy_ = false;
};

}  // namespace zelvar::usb
