#include "link/usb/UsbLib.h"

#include <chrono>
#include <cstdio>
#include <utility>

namespace zelvar::usb {

namespace {

struct StatusName {
  std::uint32_t code;
  const char* text;
};

constexpr StatusName kStatusNames[] = {
    {0x0, "Success"},
    {0xFFFFFFFF, "Invalid WinDriver handle"},
    {0x20000000, "Error"},
    {0x20000001, "Invalid handle"},
    {0x20000002, "Invalid pipe number"},
    {0x20000003, "Conflict between read and write operations"},
    {0x20000004, "Packet size is zero"},
    {0x20000005, "Insufficient resources"},
    {0x20000006, "Unknown pipe type"},
    {0x20000007, "Internal system error"},
    {0x20000008, "Data mismatch"},
    {0x2000000A, "Function not implemented"},
    {0x2000000B, "KernelPlugin failure"},
    {0x2000000C, "Failed enabling interrupt"},
    {0x2000000D, "Interrupt not enabled"},
    {0x2000000E, "Resource overlap"},
    {0x2000000F, "Device not found"},
    {0x20000010, "Wrong unique ID"},
    {0x20000011, "Operation already done"},
    {0x20000012, "Usb descriptor error"},
    {0x20000013, "Set configuration operation failed"},
    {0x20000014, "Cannot obtain PDO"},
    {0x20000015, "TimeOut expired"},
    {0x20000016, "IRP operation cancelled"},
    {0x20000017, "Failed to map in user space"},
    {0x20000018, "Failed to map in kernel space"},
    {0x20000019, "No resources on the device"},
    {0x2000001A, "No events"},
    {0x2000001B, "Invalid parameter"},
    {0x2000001C, "Incorrect WinDriver version installed"},
    {0x2000001D, "Try again"},
    {0x2000001E, "Failed open WinDriver"},
    {0x2000001F, "Received invalid ioctl"},
    {0x40000000, "USBD: Operation pending"},
    {0x80000000, "USBD: Error"},
    {0xC0000000, "USBD: Halted"},
    {0xC0000001, "HC status: CRC"},
    {0xC0000002, "HC status: Bit stuffing "},
    {0xC0000003, "HC status: Data toggle mismatch"},
    {0xC0000004, "HC status: PID stall"},
    {0xC0000005, "HC status: Device not responding"},
    {0xC0000006, "HC status: PID check failed"},
    {0xC0000007, "HC status: Unexpected PID"},
    {0xC0000008, "HC status: Data overrun"},
    {0xC0000009, "HC status: Data underrun"},
    {0xC000000A, "HC status: Reserved1"},
    {0xC000000B, "HC status: Reserved2"},
    {0xC000000C, "HC status: Buffer overrun"},
    {0xC000000D, "HC status: Buffer Underrun"},
    {0xC000000F, "HC status: Not accessed"},
    {0xC0000010, "HC status: Fifo"},
    {0xC0000030, "HCD: Trasnfer submitted to stalled endpoint"},
    {0x80000100, "USBD: Out of memory"},
    {0x80000200, "USBD: Invalid URB function"},
    {0x80000300, "USBD: Invalid parameter"},
    {0x80000400,
     "USBD: Attempted to close enpoint/interface/configuration with outstanding transfer"},
    {0x80000500, "USBD: URB request failed"},
    {0x80000600, "USBD: Invalid pipe handle"},
    {0x80000700, "USBD: Not enough bandwidth for endpoint"},
    {0x80000800, "USBD: Host controller error"},
    {0x80000900, "USBD: Trasnfer terminated with short packet"},
    {0xC0000A00, "USBD: Start frame outside range"},
    {0xC0000B00, "HCD: Isochronous transfer completed with error"},
    {0xC0000C00, "USBD: Frame length control already taken"},
    {0xC0000D00, "USBD: Attemped operation on frame length control not owned by caller"},
};

constexpr std::uint32_t kListLockSeconds = 30;

UsbDriver* gDriver = nullptr;

// The device list and its lock: an auto-reset event, signalled while the list is free.
struct DeviceList {
  OsEvent lock{{}, {}, true};
  DeviceRecord* head = nullptr;
};
DeviceList gList;

// Takes the list lock for one scope. A lock that stays taken for 30 seconds is passed over, as
// the library always did; the list is still walked.
class ListLock {
 public:
  ListLock() { OsEventWait(&gList.lock, kListLockSeconds); }
  ~ListLock() { SignalWaitEvent(&gList.lock); }
  ListLock(const ListLock&) = delete;
  ListLock& operator=(const ListLock&) = delete;
};

void FreeDevice(DeviceRecord* device) {
  delete device->info;
  delete device;
}

// The device's unique id when it is in the list; the id is copied under the lock so that a
// concurrent detach cannot free the record under a transfer.
bool UniqueIdOf(WDU_DEVICE_HANDLE device, std::uint32_t& uniqueId, UsbDriver*& driver) {
  ListLock lock;
  for (DeviceRecord* d = gList.head; d; d = d->next) {
    if (d == device) {
      uniqueId = d->uniqueId;
      driver = d->handle->driver;
      return true;
    }
  }
  return false;
}

void EventThread(HandleRecord* handle) {
  for (;;) {
    DriverEvent event;
    const WaitResult r = handle->driver->WaitEvent(handle->registration, event);
    if (r == WaitResult::Ended) break;
    if (r == WaitResult::Nothing) continue;
    if (event.Action != 0) EventHandler(event, handle);
    if (event.Options & kOptionAskAck) handle->driver->Acknowledge(handle->registration, event);
  }
}

}  // namespace

std::string StatusText(std::uint32_t status) {
  for (const auto& s : kStatusNames) {
    if (s.code == status) return s.text;
  }
  return "Unrecognized error code";
}

std::uint32_t CreateWaitEvent(OsEvent** event) {
  *event = new (std::nothrow) OsEvent;
  return *event ? kStatusSuccess : kStatusInsufficientResources;
}

std::uint32_t SignalWaitEvent(OsEvent* event) {
  if (!event) return kStatusInternalError;
  {
    std::lock_guard lock(event->m);
    event->signalled = true;
  }
  event->cv.notify_one();
  return kStatusSuccess;
}

std::uint32_t OsEventWaitMs(OsEvent* event, std::uint32_t ms) {
  if (!event) return kStatusInternalError;
  std::unique_lock lock(event->m);
  if (!event->cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return event->signalled; })) {
    return kStatusTimeout;
  }
  event->signalled = false;
  return kStatusSuccess;
}

std::uint32_t OsEventWait(OsEvent* event, std::uint32_t seconds) {
  return OsEventWaitMs(event, seconds * 1000);
}

void CloseWaitEvent(OsEvent* event) {
  delete event;
}

void SetDriver(UsbDriver* driver) {
  gDriver = driver;
}
UsbDriver* Driver() {
  return gDriver;
}

void AddDeviceToDevList(DeviceRecord* device) {
  ListLock lock;
  device->next = gList.head;
  gList.head = device;
}

std::uint32_t RemoveDeviceFromDevList(std::uint32_t uniqueId, DeviceRecord** device) {
  ListLock lock;
  for (DeviceRecord** p = &gList.head; *p; p = &(*p)->next) {
    if ((*p)->uniqueId == uniqueId) {
      *device = *p;
      *p = (*p)->next;
      return kStatusSuccess;
    }
  }
  *device = nullptr;
  return kStatusDeviceNotFound;
}

std::uint32_t FindDeviceByUniqueID(std::uint32_t uniqueId, DeviceRecord** device) {
  ListLock lock;
  for (DeviceRecord* d = gList.head; d; d = d->next) {
    if (d->uniqueId == uniqueId) {
      *device = d;
      return kStatusSuccess;
    }
  }
  *device = nullptr;
  return kStatusDeviceNotFound;
}

std::uint32_t FindDeviceByCtx(WDU_DEVICE_HANDLE device) {
  std::uint32_t id = 0;
  UsbDriver* driver = nullptr;
  return UniqueIdOf(device, id, driver) ? kStatusSuccess : kStatusDeviceNotFound;
}

void RemoveAllDevicesFromDevList(HandleRecord* handle) {
  ListLock lock;
  for (DeviceRecord** p = &gList.head; *p;) {
    if ((*p)->handle == handle) {
      DeviceRecord* d = *p;
      *p = d->next;
      FreeDevice(d);
    } else {
      p = &(*p)->next;
    }
  }
}

void EventHandler(DriverEvent& event, HandleRecord* handle) {
  switch (event.Action) {
    case kActionAttach: {
      auto* device = new DeviceRecord{handle, nullptr, event.UniqueId, nullptr};
      AddDeviceToDevList(device);
      DeviceRecord* removed = nullptr;
      if (WDU_GetDeviceInfo(device, &device->info) != kStatusSuccess) {
        RemoveDeviceFromDevList(event.UniqueId, &removed);
        FreeDevice(device);
        return;
      }
      const bool accepted = handle->table.Attach &&
                            handle->table.Attach(device, device->info, handle->table.UserData);
      if (!accepted) {
        RemoveDeviceFromDevList(event.UniqueId, &removed);
        FreeDevice(device);
        return;
      }
      event.Options |= kOptionAccept;
      return;
    }
    case kActionDetach: {
      DeviceRecord* device = nullptr;
      RemoveDeviceFromDevList(event.UniqueId, &device);
      if (!device) return;
      if (handle->table.Detach) handle->table.Detach(device, handle->table.UserData);
      FreeDevice(device);
      return;
    }
    default:
      if (event.Action & kActionPowerMask) {
        DeviceRecord* device = nullptr;
        FindDeviceByUniqueID(event.UniqueId, &device);
        if (device && handle->table.Power) {
          handle->table.Power(device, event.Action, handle->table.UserData);
        }
      }
      return;
  }
}

std::uint32_t WDU_Init(WDU_DRIVER_HANDLE* out, const MatchRecord* matches, std::uint32_t matchCount,
                       const EventTable& table, std::uint32_t options) {
  (void)options;  // the attach acknowledgement is always asked for
  *out = nullptr;
  auto* handle = new (std::nothrow) HandleRecord;
  if (!handle) return kStatusInsufficientResources;
  handle->driver = gDriver;
  if (!gDriver) {
    delete handle;
    return kStatusInternalError;
  }
  const std::uint32_t version = gDriver->Version();
  if (version < kExpectedDriverVersion) {
    delete handle;
    return kStatusIncorrectVersion;
  }
  handle->table = table;
  if (table.Attach) {
    std::uint32_t actions = kActionAttach;
    if (table.Detach) actions |= kActionDetach;
    if (table.Power) actions |= kActionPowerMask;
    std::uint32_t status = kStatusSuccess;
    handle->registration =
        gDriver->Register(std::vector<MatchRecord>(matches, matches + matchCount), actions, status);
    if (handle->registration == 0) {
      delete handle;
      return status ? status : kStatusInternalError;
    }
    handle->eventThread = std::thread(EventThread, handle);
  }
  *out = handle;
  return kStatusSuccess;
}

void UsbLibUninit(WDU_DRIVER_HANDLE handle) {
  if (!handle) return;
  if (handle->registration) {
    handle->driver->Unregister(handle->registration);
    if (handle->eventThread.joinable()) handle->eventThread.join();
    handle->driver->Release(handle->registration);
  }
  RemoveAllDevicesFromDevList(handle);
  delete handle;
}

std::uint32_t WDU_SetInterface(WDU_DEVICE_HANDLE device, std::uint32_t interfaceNumber,
                               std::uint32_t alternateSetting) {
  std::uint32_t id = 0;
  UsbDriver* driver = nullptr;
  if (!UniqueIdOf(device, id, driver)) return kStatusDeviceNotFound;
  return driver->SetInterface(id, interfaceNumber, alternateSetting);
}

std::uint32_t WDU_GetDeviceInfo(WDU_DEVICE_HANDLE device, DeviceInfo** info) {
  std::uint32_t id = 0;
  UsbDriver* driver = nullptr;
  if (!UniqueIdOf(device, id, driver)) return kStatusDeviceNotFound;
  auto* block = new (std::nothrow) DeviceInfo;
  if (!block) return kStatusInsufficientResources;
  const std::uint32_t status = driver->GetDeviceInfo(id, *block);
  if (status != kStatusSuccess) {
    delete block;
    return status;
  }
  delete *info;
  *info = block;
  return kStatusSuccess;
}

std::uint32_t UsbLibTransfer(WDU_DEVICE_HANDLE device, std::uint32_t pipe, std::uint32_t direction,
                             std::uint32_t options, std::uint8_t* buffer, std::uint32_t length,
                             std::uint32_t* transferred, const std::uint8_t* setup,
                             std::uint32_t timeoutMs) {
  *transferred = 0;
  std::uint32_t id = 0;
  UsbDriver* driver = nullptr;
  if (!UniqueIdOf(device, id, driver)) return kStatusDeviceNotFound;
  return driver->Transfer(id, pipe, direction == 1, options, buffer, length, *transferred, setup,
                          timeoutMs);
}

WaitResult EventQueue::Wait(DriverEvent& e) {
  std::unique_lock lock(m_);
  busy_ = false;
  cv_.notify_all();
  if (!cv_.wait_for(lock, std::chrono::seconds(1), [&] { return ended_ || !q_.empty(); })) {
    return WaitResult::Nothing;
  }
  if (ended_) return WaitResult::Ended;
  e = q_.front();
  q_.pop_front();
  busy_ = true;
  return WaitResult::Event;
}

bool EventQueue::Drain(int timeoutMs) {
  std::unique_lock lock(m_);
  return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [&] { return ended_ || (q_.empty() && !busy_); });
}

}  // namespace zelvar::usb
