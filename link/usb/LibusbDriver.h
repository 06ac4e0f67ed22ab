#pragma once
// The USB driver on libusb-1.0: hotplug registration (devices already plugged in attach at once),
// an event thread that runs libusb's event handling, interface claiming and bulk transfers.
#include <libusb.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "link/usb/UsbDriver.h"

namespace zelvar::usb {

class LibusbDriver final : public UsbDriver {
 public:
  LibusbDriver() = default;
  ~LibusbDriver() override;
  LibusbDriver(const LibusbDriver&) = delete;
  LibusbDriver& operator=(const LibusbDriver&) = delete;

  // 603 with hotplug support, 600 without (too old for the library), 0 when libusb cannot start,
  // 1 when a programmer is attached that this user may not open (no usable driver).
  std::uint32_t Version() override;
  bool AccessDenied() override { return denied_; }

  std::uint32_t Register(const std::vector<MatchRecord>& matches, std::uint32_t actions,
                         std::uint32_t& status) override;
  void Unregister(std::uint32_t registration) override;
  void Release(std::uint32_t registration) override;
  WaitResult WaitEvent(std::uint32_t registration, DriverEvent& event) override;
  void Acknowledge(std::uint32_t registration, const DriverEvent& event) override;
  std::uint32_t GetDeviceInfo(std::uint32_t uniqueId, DeviceInfo& info) override;
  std::uint32_t SetInterface(std::uint32_t uniqueId, std::uint32_t interfaceNumber,
                             std::uint32_t alternateSetting) override;
  std::uint32_t Transfer(std::uint32_t uniqueId, std::uint32_t pipe, bool read,
                         std::uint32_t options, std::uint8_t* buffer, std::uint32_t length,
                         std::uint32_t& transferred, const std::uint8_t* setup,
                         std::uint32_t timeoutMs) override;

  // The status code of a libusb error.
  static std::uint32_t StatusOf(int libusbError);

 private:
  struct Device {
    libusb_device* dev = nullptr;
    libusb_device_handle* handle = nullptr;
    int claimed = -1;
    std::uint32_t registration = 0;
  };
  struct Registration;
  struct CallbackContext {
    LibusbDriver* driver;
    std::uint32_t registration;
  };
  struct Registration {
    std::vector<libusb_hotplug_callback_handle> callbacks;
    std::shared_ptr<EventQueue> queue = std::make_shared<EventQueue>();
    std::unique_ptr<CallbackContext> context;
  };

  bool Start();
  void Pump();
  bool ProgrammerDenied();
  static int LIBUSB_CALL OnHotplug(libusb_context* ctx, libusb_device* dev,
                                   libusb_hotplug_event event, void* user);
  void CloseDevice(Device& d);

  libusb_context* ctx_ = nullptr;
  bool started_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<bool> denied_{false};
  std::thread pump_;
  std::mutex m_;
  std::map<std::uint32_t, Device> devices_;
  std::map<std::uint32_t, Registration> registrations_;
  std::uint32_t nextId_ = 1;
  std::uint32_t nextRegistration_ = 1;
};

}  // namespace zelvar::usb
