#pragma once
// The USB library: an event-driven device-access layer over a UsbDriver. It keeps the list of
// attached devices, runs one event thread per open handle that calls the program's attach and
// detach callbacks, and performs transfers on a pipe.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/usb/UsbDriver.h"

namespace zelvar::usb {

// Status codes.
enum : std::uint32_t {
  kStatusSuccess = 0,
  kStatusInvalidHandle = 0xFFFFFFFF,
  kStatusError = 0x20000000,
  kStatusInvalidPipe = 0x20000002,
  kStatusInsufficientResources = 0x20000005,
  kStatusInternalError = 0x20000007,
  kStatusNotImplemented = 0x2000000A,
  kStatusResourceOverlap = 0x2000000E,
  kStatusDeviceNotFound = 0x2000000F,
  kStatusTimeout = 0x20000015,
  kStatusCancelled = 0x20000016,
  kStatusInvalidParameter = 0x2000001B,
  kStatusIncorrectVersion = 0x2000001C,
  kStatusBufferOverrun = 0xC000000C,
  kStatusEndpointHalted = 0xC0000030,
};

inline constexpr std::uint32_t kExpectedDriverVersion = 603;

// The text of a status code; "Unrecognized error code" for an unknown one.
std::string StatusText(std::uint32_t status);

// An auto-reset event, not signalled when created.
struct OsEvent {
  std::mutex m;
  std::condition_variable cv;
  bool signalled = false;
};
std::uint32_t CreateWaitEvent(OsEvent** event);
std::uint32_t SignalWaitEvent(OsEvent* event);
std::uint32_t OsEventWait(OsEvent* event, std::uint32_t seconds);
// The same with a wait in milliseconds.
std::uint32_t OsEventWaitMs(OsEvent* event, std::uint32_t ms);
void CloseWaitEvent(OsEvent* event);

struct HandleRecord;
struct DeviceRecord;
using WDU_DEVICE_HANDLE = DeviceRecord*;
using WDU_DRIVER_HANDLE = HandleRecord*;

// The program's callbacks.
struct EventTable {
  bool (*Attach)(WDU_DEVICE_HANDLE device, DeviceInfo* info, void* userData) = nullptr;
  void (*Detach)(WDU_DEVICE_HANDLE device, void* userData) = nullptr;
  void (*Power)(WDU_DEVICE_HANDLE device, std::uint32_t action, void* userData) = nullptr;
  void* UserData = nullptr;
};

struct HandleRecord {
  UsbDriver* driver = nullptr;
  EventTable table;
  std::uint32_t registration = 0;
  std::thread eventThread;
};

struct DeviceRecord {
  HandleRecord* handle = nullptr;
  DeviceInfo* info = nullptr;
  std::uint32_t uniqueId = 0;
  DeviceRecord* next = nullptr;
};

// The driver the library stands on (the caller keeps ownership; nullptr: none).
void SetDriver(UsbDriver* driver);
UsbDriver* Driver();

std::uint32_t WDU_Init(WDU_DRIVER_HANDLE* handle, const MatchRecord* matches,
                       std::uint32_t matchCount, const EventTable& table, std::uint32_t options);
void UsbLibUninit(WDU_DRIVER_HANDLE handle);
std::uint32_t WDU_SetInterface(WDU_DEVICE_HANDLE device, std::uint32_t interfaceNumber,
                               std::uint32_t alternateSetting);
// Allocates *info (freed with the device).
std::uint32_t WDU_GetDeviceInfo(WDU_DEVICE_HANDLE device, DeviceInfo** info);
std::uint32_t UsbLibTransfer(WDU_DEVICE_HANDLE device, std::uint32_t pipe, std::uint32_t direction,
                             std::uint32_t options, std::uint8_t* buffer, std::uint32_t length,
                             std::uint32_t* transferred, const std::uint8_t* setup,
                             std::uint32_t timeoutMs);

// The device list, newest first, guarded by its lock.
void AddDeviceToDevList(DeviceRecord* device);
std::uint32_t RemoveDeviceFromDevList(std::uint32_t uniqueId, DeviceRecord** device);
std::uint32_t FindDeviceByUniqueID(std::uint32_t uniqueId, DeviceRecord** device);
std::uint32_t FindDeviceByCtx(WDU_DEVICE_HANDLE device);
void RemoveAllDevicesFromDevList(HandleRecord* handle);

// Handles one event of the driver for `handle`; may set kOptionAccept in its options.
void EventHandler(DriverEvent& event, HandleRecord* handle);

}  // namespace zelvar::usb
