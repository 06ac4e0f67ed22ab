#include "link/usb/SimUsbDriver.h"

#include "link/usb/UsbLib.h"

namespace zelvar::usb {

bool SimUsbDriver::Matches(const Registration& r, const DeviceInfo& info) {
  for (const auto& m : r.matches) {
    if (m.VendorId == info.VendorId && m.ProductId == info.ProductId) return true;
  }
  return false;
}

std::shared_ptr<EventQueue> SimUsbDriver::QueueOf(std::uint32_t registration) {
  std::lock_guard lock(m_);
  const auto it = registrations_.find(registration);
  return it == registrations_.end() ? nullptr : it->second.queue;
}

std::uint32_t SimUsbDriver::Plug(Transport* pipes, std::uint16_t productId,
                                 std::uint8_t interfaceNumber, bool failSetInterface) {
  std::lock_guard lock(m_);
  const std::uint32_t id = nextId_++;
  Device d;
  d.pipes = pipes;
  d.info = {0x5A3C, productId, interfaceNumber, 0};
  d.failSetInterface = failSetInterface;
  devices_[id] = d;
  present_[id] = true;
  for (auto& [_, r] : registrations_) {
    if (r.open && Matches(r, d.info)) r.queue->Push({kActionAttach, id, kOptionAskAck});
  }
  return id;
}

void SimUsbDriver::Unplug(std::uint32_t uniqueId) {
  std::lock_guard lock(m_);
  if (!present_[uniqueId]) return;
  present_[uniqueId] = false;
  for (auto& [_, r] : registrations_) {
    if (r.open && (r.actions & kActionDetach) && Matches(r, devices_[uniqueId].info)) {
      r.queue->Push({kActionDetach, uniqueId, 0});
    }
  }
}

bool SimUsbDriver::Drain(int timeoutMs) {
  std::vector<std::shared_ptr<EventQueue>> queues;
  {
    std::lock_guard lock(m_);
    for (auto& [_, r] : registrations_) {
      if (r.open) queues.push_back(r.queue);
    }
  }
  for (auto& q : queues) {
    if (!q->Drain(timeoutMs)) return false;
  }
  return true;
}

SimUsbDriver::Device SimUsbDriver::DeviceState(std::uint32_t uniqueId) {
  std::lock_guard lock(m_);
  return devices_[uniqueId];
}

std::vector<std::uint16_t> SimUsbDriver::RegisteredProducts() {
  std::lock_guard lock(m_);
  return registeredProducts_;
}

int SimUsbDriver::OpenRegistrations() {
  std::lock_guard lock(m_);
  int n = 0;
  for (auto& [_, r] : registrations_) n += r.open ? 1 : 0;
  return n;
}

std::uint32_t SimUsbDriver::Register(const std::vector<MatchRecord>& matches, std::uint32_t actions,
                                     std::uint32_t& status) {
  std::lock_guard lock(m_);
  status = kStatusSuccess;
  const std::uint32_t id = nextRegistration_++;
  Registration& r = registrations_[id];
  r.matches = matches;
  r.actions = actions;
  for (const auto& m : matches) registeredProducts_.push_back(m.ProductId);
  // Devices already plugged in report their attach at once.
  for (auto& [devId, d] : devices_) {
    if (present_[devId] && Matches(r, d.info)) r.queue->Push({kActionAttach, devId, kOptionAskAck});
  }
  return id;
}

void SimUsbDriver::Unregister(std::uint32_t registration) {
  std::lock_guard lock(m_);
  const auto it = registrations_.find(registration);
  if (it == registrations_.end()) return;
  it->second.open = false;
  it->second.queue->End();
}

WaitResult SimUsbDriver::WaitEvent(std::uint32_t registration, DriverEvent& event) {
  const auto q = QueueOf(registration);
  return q ? q->Wait(event) : WaitResult::Ended;
}

void SimUsbDriver::Acknowledge(std::uint32_t, const DriverEvent& event) {
  std::lock_guard lock(m_);
  devices_[event.UniqueId].accepted = (event.Options & kOptionAccept) ? 1 : 0;
}

std::uint32_t SimUsbDriver::GetDeviceInfo(std::uint32_t uniqueId, DeviceInfo& info) {
  std::lock_guard lock(m_);
  if (!present_[uniqueId]) return kStatusDeviceNotFound;
  info = devices_[uniqueId].info;
  return kStatusSuccess;
}

std::uint32_t SimUsbDriver::SetInterface(std::uint32_t uniqueId, std::uint32_t interfaceNumber,
                                         std::uint32_t alternateSetting) {
  std::lock_guard lock(m_);
  if (!present_[uniqueId]) return kStatusDeviceNotFound;
  Device& d = devices_[uniqueId];
  ++d.setInterfaceCalls;
  d.lastInterface = interfaceNumber;
  d.lastAlternate = alternateSetting;
  return d.failSetInterface ? kStatusResourceOverlap : kStatusSuccess;
}

std::uint32_t SimUsbDriver::Transfer(std::uint32_t uniqueId, std::uint32_t pipe, bool read,
                                     std::uint32_t, std::uint8_t* buffer, std::uint32_t length,
                                     std::uint32_t& transferred, const std::uint8_t*,
                                     std::uint32_t) {
  Transport* pipes = nullptr;
  {
    std::lock_guard lock(m_);
    if (!present_[uniqueId]) return kStatusDeviceNotFound;
    pipes = devices_[uniqueId].pipes;
  }
  if (pipe == 0x02 && !read) {
    transferred = pipes->Write(buffer, length);
  } else if (pipe == 0x82 && read) {
    transferred = pipes->Read(buffer, length);
  } else {
    return kStatusInvalidPipe;
  }
  return kStatusSuccess;
}

}  // namespace zelvar::usb
