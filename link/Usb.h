#pragma once
// The program's USB glue: finding and opening the programmer, the attach and detach callbacks, and
// the two transfer calls on which the command queue and the algorithm sets stand.
#include <cstdint>

#include "link/usb/UsbLib.h"

namespace zelvar {

inline constexpr std::uint16_t kZorVendorId = 0x5A3C;
inline constexpr std::uint16_t kZorProductIds[] = {0x0411, 0x6201, 0x6200};
inline constexpr std::uint32_t kAttachWaitSeconds = 2;
inline constexpr std::uint32_t kTransferTimeoutMs = 1000;

// The two pipes of a simulated device (bulk OUT 0x02, bulk IN 0x82); each returns the bytes
// transferred, 0 on failure.
class Transport {
 public:
  virtual ~Transport() = default;
  virtual std::uint32_t Write(const std::uint8_t* data, std::uint32_t length) = 0;
  virtual std::uint32_t Read(std::uint8_t* buffer, std::uint32_t length) = 0;
};

// The driver's version, stored in gLink.DriverVersion; 1 when there is no usable driver.
std::uint32_t GetDriverVersion();
// Opens the programmer on the product ids 0x0411, 0x6201 and 0x6200 in turn.
bool FindProgrammer();
// Opens the programmer of gLink.UsbProductId, waiting up to 2 seconds for its attach.
bool OpenUsbDevice();
bool DeviceAttach(usb::WDU_DEVICE_HANDLE device, usb::DeviceInfo* info, void* userData);
void DeviceDetach(usb::WDU_DEVICE_HANDLE device, void* userData);
// True once after each detach (called on the UI thread).
bool TakeDetach();

// Bulk OUT on pipe 0x02 and bulk IN on pipe 0x82: the bytes transferred, 0 on any failure.
std::uint32_t UsbWrite(const std::uint8_t* data, std::uint32_t length);
std::uint32_t UsbRead(std::uint8_t* buffer, std::uint32_t length);

// Releases the open device (the program keeps it until it ends; tests and the back end close it).
void CloseUsbDevice();
// The attach wait in milliseconds; a test may shorten it. 0 restores the program's 2 seconds.
void SetAttachWaitMs(std::uint32_t ms);

}  // namespace zelvar
