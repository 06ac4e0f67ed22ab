#pragma once
// The link's global state in one object, so that a test can reset it between cases.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace zelvar {

namespace usb {
struct DeviceRecord;
struct OsEvent;
}  // namespace usb

inline constexpr std::uint32_t kCommandBufferSize = 65536;

// The USB glue's context, the attach and detach callbacks' user data. The event thread writes the
// device handle and the interface status; the transfers read the handle without a lock.
struct UsbContextRecord {
  std::uint32_t InterfaceNumber = 0;
  std::uint32_t AlternateSetting = 0;
  std::atomic<usb::DeviceRecord*> Device{nullptr};  // nullptr: no programmer
  usb::OsEvent* AttachEvent = nullptr;
  std::atomic<std::uint32_t> SetInterfaceStatus{0};
  // Set by the detach callback on the event thread; the UI thread takes it (TakeDetach).
  std::atomic<bool> Detached{false};

  UsbContextRecord() = default;
  UsbContextRecord(const UsbContextRecord& o) { *this = o; }
  UsbContextRecord& operator=(const UsbContextRecord& o) {
    InterfaceNumber = o.InterfaceNumber;
    AlternateSetting = o.AlternateSetting;
    Device = o.Device.load();
    AttachEvent = o.AttachEvent;
    SetInterfaceStatus = o.SetInterfaceStatus.load();
    Detached = o.Detached.load();
    return *this;
  }
};
inline constexpr std::uint32_t kScratchBufferSize = 512 * 1024;

struct LinkState {
  // Command queue. Its positions are the positions in the USB transfer.
  std::array<std::uint8_t, kCommandBufferSize> CommandBuffer{};
  std::uint32_t CommandCount = 0;
  // Replies and block reads land here; nothing clears it between reads.
  std::vector<std::uint8_t> ScratchBuffer = std::vector<std::uint8_t>(kScratchBufferSize);

  // The connected model (0 = none, or off-line after a link fault).
  int ModelNumber = 0;
  char ProgrammerName[17] = {};
  std::array<std::uint8_t, 64> ProgrammerInfo{};
  // The USB device: the glue's context, the product id being tried (vendor 0x5A3C) and the
  // driver's last reported version.
  UsbContextRecord UsbContext;
  std::uint16_t UsbProductId = 0;
  std::uint32_t DriverVersion = 0;

  // Result of the last operation and its first mismatch.
  std::uint8_t StatusWord = 0;
  std::uint32_t FailAddress = 0;
  std::uint8_t FailByte = 0;

  int LastVppMillivolts = 0;
  int SavedVppMillivolts = 0;
  int RunStartTime = 0;
  int RunStopTime = 0;

  std::string LastBitstream = "no_part";

  // The last contact test.
  std::array<int, 48> BadPinList{};
  int BadPinCount = 0;
  int NoChipFlag = 0;
  // Settings: pin detection before an operation.
  int DetectPinFlag = 1;
  // Continuous programming under way.
  int AutoRunFlag = 0;

  void Reset() { *this = LinkState{}; }
};

extern LinkState gLink;

}  // namespace zelvar
