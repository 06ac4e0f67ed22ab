#include "link/usb/LibusbDriver.h"

#include "link/Usb.h"
#include "link/usb/UsbLib.h"

namespace zelvar::usb {

LibusbDriver::~LibusbDriver() {
  if (!ctx_) return;
  stop_ = true;
  libusb_interrupt_event_handler(ctx_);
  if (pump_.joinable()) pump_.join();
  for (auto& [_, r] : registrations_) {
    for (const auto cb : r.callbacks) libusb_hotplug_deregister_callback(ctx_, cb);
  }
  for (auto& [_, d] : devices_) {
    CloseDevice(d);
    libusb_unref_device(d.dev);
  }
  libusb_exit(ctx_);
}

bool LibusbDriver::Start() {
  if (started_) return ctx_ != nullptr;
  started_ = true;
  if (libusb_init(&ctx_) != LIBUSB_SUCCESS) {
    ctx_ = nullptr;
    return false;
  }
  pump_ = std::thread([this] { Pump(); });
  return true;
}

// libusb's event handling: hotplug callbacks run here and only queue their events.
void LibusbDriver::Pump() {
  while (!stop_) {
    timeval tv{0, 100000};
    libusb_handle_events_timeout_completed(ctx_, &tv, nullptr);
  }
}

std::uint32_t LibusbDriver::StatusOf(int e) {
  switch (e) {
    case LIBUSB_SUCCESS:
      return kStatusSuccess;
    case LIBUSB_ERROR_INVALID_PARAM:
      return kStatusInvalidParameter;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
      return kStatusDeviceNotFound;
    case LIBUSB_ERROR_BUSY:
      return kStatusResourceOverlap;
    case LIBUSB_ERROR_TIMEOUT:
      return kStatusTimeout;
    case LIBUSB_ERROR_OVERFLOW:
      return kStatusBufferOverrun;
    case LIBUSB_ERROR_PIPE:
      return kStatusEndpointHalted;
    case LIBUSB_ERROR_INTERRUPTED:
      return kStatusCancelled;
    case LIBUSB_ERROR_NO_MEM:
      return kStatusInsufficientResources;
    case LIBUSB_ERROR_NOT_SUPPORTED:
      return kStatusNotImplemented;
    case LIBUSB_ERROR_ACCESS:
    case LIBUSB_ERROR_IO:
      return kStatusInternalError;
    default:
      return kStatusError;
  }
}

// A programmer on the bus that this user may not open.
bool LibusbDriver::ProgrammerDenied() {
  libusb_device** list = nullptr;
  const ssize_t n = libusb_get_device_list(ctx_, &list);
  bool denied = false;
  for (ssize_t i = 0; i < n; ++i) {
    libusb_device_descriptor desc{};
    if (libusb_get_device_descriptor(list[i], &desc) != LIBUSB_SUCCESS) continue;
    if (desc.idVendor != kZorVendorId) continue;
    bool known = false;
    for (const auto p : kZorProductIds) known = known || desc.idProduct == p;
    if (!known) continue;
    libusb_device_handle* h = nullptr;
    const int r = libusb_open(list[i], &h);
    if (r == LIBUSB_ERROR_ACCESS) denied = true;
    if (r == LIBUSB_SUCCESS) libusb_close(h);
  }
  if (n >= 0) libusb_free_device_list(list, 1);
  denied_ = denied;
  return denied;
}

std::uint32_t LibusbDriver::Version() {
  if (!Start()) return 0;
  if (!libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) return 600;
  return ProgrammerDenied() ? 1 : kExpectedDriverVersion;
}

int LIBUSB_CALL LibusbDriver::OnHotplug(libusb_context*, libusb_device* dev,
                                        libusb_hotplug_event event, void* user) {
  auto* cc = static_cast<CallbackContext*>(user);
  LibusbDriver& self = *cc->driver;
  std::lock_guard lock(self.m_);
  const auto reg = self.registrations_.find(cc->registration);
  if (reg == self.registrations_.end()) return 0;
  std::uint32_t id = 0;
  for (const auto& [i, d] : self.devices_) {
    if (d.dev == dev && d.registration == cc->registration) id = i;
  }
  if (event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED) {
    if (id == 0) {
      id = self.nextId_++;
      self.devices_[id] = Device{libusb_ref_device(dev), nullptr, -1, cc->registration};
    }
    reg->second.queue->Push({kActionAttach, id, kOptionAskAck});
  } else if (id != 0) {
    reg->second.queue->Push({kActionDetach, id, 0});
  }
  return 0;
}

std::uint32_t LibusbDriver::Register(const std::vector<MatchRecord>& matches, std::uint32_t actions,
                                     std::uint32_t& status) {
  if (!Start()) {
    status = kStatusInternalError;
    return 0;
  }
  std::uint32_t id = 0;
  CallbackContext* cc = nullptr;
  {
    std::lock_guard lock(m_);
    id = nextRegistration_++;
    Registration& r = registrations_[id];
    r.context = std::make_unique<CallbackContext>(CallbackContext{this, id});
    cc = r.context.get();
  }
  int events = 0;
  if (actions & kActionAttach) events |= LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED;
  if (actions & kActionDetach) events |= LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT;
  for (const auto& m : matches) {
    libusb_hotplug_callback_handle cb{};
    // Called outside the lock: with ENUMERATE the callback runs here for devices present now.
    const int r = libusb_hotplug_register_callback(
        ctx_, static_cast<libusb_hotplug_event>(events), LIBUSB_HOTPLUG_ENUMERATE, m.VendorId,
        m.ProductId, LIBUSB_HOTPLUG_MATCH_ANY, OnHotplug, cc, &cb);
    if (r != LIBUSB_SUCCESS) {
      status = StatusOf(r);
      Unregister(id);
      Release(id);
      return 0;
    }
    std::lock_guard lock(m_);
    registrations_[id].callbacks.push_back(cb);
  }
  status = kStatusSuccess;
  return id;
}

void LibusbDriver::Unregister(std::uint32_t registration) {
  std::vector<libusb_hotplug_callback_handle> callbacks;
  std::shared_ptr<EventQueue> queue;
  {
    std::lock_guard lock(m_);
    const auto it = registrations_.find(registration);
    if (it == registrations_.end()) return;
    callbacks.swap(it->second.callbacks);
    queue = it->second.queue;
  }
  for (const auto cb : callbacks) libusb_hotplug_deregister_callback(ctx_, cb);
  queue->End();
}

void LibusbDriver::Release(std::uint32_t registration) {
  std::lock_guard lock(m_);
  for (auto it = devices_.begin(); it != devices_.end();) {
    if (it->second.registration == registration) {
      CloseDevice(it->second);
      libusb_unref_device(it->second.dev);
      it = devices_.erase(it);
    } else {
      ++it;
    }
  }
  registrations_.erase(registration);
}

WaitResult LibusbDriver::WaitEvent(std::uint32_t registration, DriverEvent& event) {
  std::shared_ptr<EventQueue> queue;
  {
    std::lock_guard lock(m_);
    const auto it = registrations_.find(registration);
    if (it == registrations_.end()) return WaitResult::Ended;
    queue = it->second.queue;
  }
  return queue->Wait(event);
}

void LibusbDriver::CloseDevice(Device& d) {
  if (!d.handle) return;
  if (d.claimed >= 0) libusb_release_interface(d.handle, d.claimed);
  libusb_close(d.handle);
  d.handle = nullptr;
  d.claimed = -1;
}

void LibusbDriver::Acknowledge(std::uint32_t, const DriverEvent& event) {
  if (event.Options & kOptionAccept) return;
  std::lock_guard lock(m_);
  const auto it = devices_.find(event.UniqueId);
  if (it != devices_.end()) CloseDevice(it->second);
}

std::uint32_t LibusbDriver::GetDeviceInfo(std::uint32_t uniqueId, DeviceInfo& info) {
  libusb_device* dev = nullptr;
  {
    std::lock_guard lock(m_);
    const auto it = devices_.find(uniqueId);
    if (it == devices_.end()) return kStatusDeviceNotFound;
    dev = it->second.dev;
  }
  libusb_device_descriptor desc{};
  int r = libusb_get_device_descriptor(dev, &desc);
  if (r != LIBUSB_SUCCESS) return StatusOf(r);
  libusb_config_descriptor* config = nullptr;
  r = libusb_get_active_config_descriptor(dev, &config);
  if (r != LIBUSB_SUCCESS) r = libusb_get_config_descriptor(dev, 0, &config);
  if (r != LIBUSB_SUCCESS) return StatusOf(r);
  info.VendorId = desc.idVendor;
  info.ProductId = desc.idProduct;
  info.InterfaceNumber = 0xFF;
  if (config->bNumInterfaces > 0 && config->interface[0].num_altsetting > 0) {
    info.InterfaceNumber = config->interface[0].altsetting[0].bInterfaceNumber;
  }
  info.AlternateSetting = 0;
  libusb_free_config_descriptor(config);
  return kStatusSuccess;
}

std::uint32_t LibusbDriver::SetInterface(std::uint32_t uniqueId, std::uint32_t interfaceNumber,
                                         std::uint32_t alternateSetting) {
  libusb_device* dev = nullptr;
  libusb_device_handle* handle = nullptr;
  {
    std::lock_guard lock(m_);
    const auto it = devices_.find(uniqueId);
    if (it == devices_.end()) return kStatusDeviceNotFound;
    dev = it->second.dev;
    handle = it->second.handle;
  }
  if (!handle) {
    const int r = libusb_open(dev, &handle);
    if (r == LIBUSB_ERROR_ACCESS) denied_ = true;
    if (r != LIBUSB_SUCCESS) return StatusOf(r);
    libusb_set_auto_detach_kernel_driver(handle, 1);
  }
  int r = libusb_claim_interface(handle, static_cast<int>(interfaceNumber));
  // Alternate setting 0 is where a configured interface stands already; asking for it again
  // costs a control request that some devices stall.
  if (r == LIBUSB_SUCCESS && alternateSetting != 0) {
    r = libusb_set_interface_alt_setting(handle, static_cast<int>(interfaceNumber),
                                         static_cast<int>(alternateSetting));
  }
  std::lock_guard lock(m_);
  Device& d = devices_[uniqueId];
  d.handle = handle;
  d.claimed = r == LIBUSB_SUCCESS ? static_cast<int>(interfaceNumber) : -1;
  return StatusOf(r);
}

std::uint32_t LibusbDriver::Transfer(std::uint32_t uniqueId, std::uint32_t pipe, bool read,
                                     std::uint32_t, std::uint8_t* buffer, std::uint32_t length,
                                     std::uint32_t& transferred, const std::uint8_t*,
                                     std::uint32_t timeoutMs) {
  libusb_device_handle* handle = nullptr;
  {
    std::lock_guard lock(m_);
    const auto it = devices_.find(uniqueId);
    if (it == devices_.end() || !it->second.handle) return kStatusDeviceNotFound;
    handle = it->second.handle;
  }
  // The pipe number is the endpoint address; its direction bit must agree with the request.
  if (((pipe & 0x80) != 0) != read) return kStatusInvalidPipe;
  int done = 0;
  const int r = libusb_bulk_transfer(handle, static_cast<unsigned char>(pipe), buffer,
                                     static_cast<int>(length), &done, timeoutMs);
  transferred = static_cast<std::uint32_t>(done);
  return StatusOf(r);
}

}  // namespace zelvar::usb
