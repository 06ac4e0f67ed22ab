#pragma once
// The driver of simulated USB devices: a device is plugged with the two pipes of a simulated
// programmer and reports its attach and detach through the library's event path, as a real one.
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "link/Usb.h"
#include "link/usb/UsbDriver.h"

namespace zelvar::usb {

class SimUsbDriver final : public UsbDriver {
 public:
  struct Device {
    Transport* pipes = nullptr;
    DeviceInfo info;
    bool failSetInterface = false;
    // What the library did with it.
    int setInterfaceCalls = 0;
    std::uint32_t lastInterface = 0xFFFF, lastAlternate = 0xFFFF;
    int accepted = -1;  // the attach acknowledgement: 1 accepted, 0 refused, -1 none yet
  };

  // The version the driver reports (603 expected; 0: it cannot start).
  std::uint32_t version = 603;
  bool accessDenied = false;

  std::uint32_t Version() override { return version; }
  bool AccessDenied() override { return accessDenied; }

  // Plugs a device with `pipes` (the caller keeps them); returns its unique id.
  std::uint32_t Plug(Transport* pipes, std::uint16_t productId, std::uint8_t interfaceNumber = 0,
                     bool failSetInterface = false);
  void Unplug(std::uint32_t uniqueId);
  // Waits until every event so far has been handled by the library.
  bool Drain(int timeoutMs = 5000);
  // A copy of what is known of a device (also after it was unplugged).
  Device DeviceState(std::uint32_t uniqueId);
  // Product ids of every registration so far, and the ones still open.
  std::vector<std::uint16_t> RegisteredProducts();
  int OpenRegistrations();

  std::uint32_t Register(const std::vector<MatchRecord>& matches, std::uint32_t actions,
                         std::uint32_t& status) override;
  void Unregister(std::uint32_t registration) override;
  WaitResult WaitEvent(std::uint32_t registration, DriverEvent& event) override;
  void Acknowledge(std::uint32_t registration, const DriverEvent& event) override;
  std::uint32_t GetDeviceInfo(std::uint32_t uniqueId, DeviceInfo& info) override;
  std::uint32_t SetInterface(std::uint32_t uniqueId, std::uint32_t interfaceNumber,
                             std::uint32_t alternateSetting) override;
  std::uint32_t Transfer(std::uint32_t uniqueId, std::uint32_t pipe, bool read,
                         std::uint32_t options, std::uint8_t* buffer, std::uint32_t length,
                         std::uint32_t& transferred, const std::uint8_t* setup,
                         std::uint32_t timeoutMs) override;

 private:
  struct Registration {
    std::vector<MatchRecord> matches;
    std::uint32_t actions = 0;
    std::shared_ptr<EventQueue> queue = std::make_shared<EventQueue>();
    bool open = true;
  };
  static bool Matches(const Registration& r, const DeviceInfo& info);
  std::shared_ptr<EventQueue> QueueOf(std::uint32_t registration);

  std::mutex m_;
  std::map<std::uint32_t, Device> devices_;
  std::map<std::uint32_t, bool> present_;
  std::map<std::uint32_t, Registration> registrations_;
  std::vector<std::uint16_t> registeredProducts_;
  std::uint32_t nextId_ = 1;
  std::uint32_t nextRegistration_ = 1;
};

}  // namespace zelvar::usb
