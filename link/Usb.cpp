#include "link/Usb.h"

#include <cstdio>

#include "link/LinkState.h"

namespace zelvar {

namespace {

// What the glue keeps of the open device beyond its context.
struct UsbGlue {
  usb::WDU_DRIVER_HANDLE openHandle = nullptr;
  usb::OsEvent* openEvent = nullptr;
  std::uint32_t attachWaitMs = kAttachWaitSeconds * 1000;
};
UsbGlue gGlue;

}  // namespace

std::uint32_t GetDriverVersion() {
  usb::UsbDriver* driver = usb::Driver();
  const std::uint32_t version = driver ? driver->Version() : 0;
  if (version == 0) return 1;
  gLink.DriverVersion = version;
  return version;
}

bool FindProgrammer() {
  for (const std::uint16_t product : kZorProductIds) {
    gLink.UsbProductId = product;
    if (OpenUsbDevice()) return true;
  }
  return false;
}

bool OpenUsbDevice() {
  // A device still open from an earlier call would otherwise keep an event thread writing into
  // the context being reset here.
  if (gGlue.openHandle) CloseUsbDevice();
  UsbContextRecord& ctx = gLink.UsbContext;
  // A detach seen before must still empty LastBitstream.
  const bool detached = ctx.Detached;
  ctx = UsbContextRecord{};
  ctx.Detached = detached;
  const usb::MatchRecord match{kZorVendorId, gLink.UsbProductId};
  usb::OsEvent* event = nullptr;
  usb::WDU_DRIVER_HANDLE handle = nullptr;
  if (usb::CreateWaitEvent(&event) == usb::kStatusSuccess) {
    ctx.AttachEvent = event;
    usb::EventTable table;
    table.Attach = DeviceAttach;
    table.Detach = DeviceDetach;
    table.UserData = &ctx;
    const std::uint32_t status = usb::WDU_Init(&handle, &match, 1, table, 1);
    if (status == usb::kStatusSuccess) {
      if (usb::OsEventWaitMs(event, gGlue.attachWaitMs) == usb::kStatusSuccess &&
          ctx.SetInterfaceStatus == usb::kStatusSuccess) {
        gGlue.openHandle = handle;
        gGlue.openEvent = event;
        return true;
      }
      std::printf(
          "Timeout expired for connection with the device.\nCheck that the device is connected "
          "and try again.\n");
    } else {
      std::printf("WDU_Init failed: %s\n", usb::StatusText(status).c_str());
    }
  }
  // The event thread is stopped before the attach event goes, so a late attach cannot signal a
  // freed event or leave a freed device in the context.
  usb::UsbLibUninit(handle);
  usb::CloseWaitEvent(event);
  ctx.AttachEvent = nullptr;
  ctx.Device = nullptr;
  return false;
}

bool DeviceAttach(usb::WDU_DEVICE_HANDLE device, usb::DeviceInfo* info, void* userData) {
  auto* ctx = static_cast<UsbContextRecord*>(userData);
  if (info->InterfaceNumber != ctx->InterfaceNumber) return false;
  if (ctx->Device.load() != nullptr) return false;
  ctx->Device = device;
  const std::uint32_t status =
      usb::WDU_SetInterface(device, ctx->InterfaceNumber, ctx->AlternateSetting);
  ctx->SetInterfaceStatus = status;
  if (status != usb::kStatusSuccess) ctx->Device = nullptr;
  usb::SignalWaitEvent(ctx->AttachEvent);
  return status == usb::kStatusSuccess;
}

void DeviceDetach(usb::WDU_DEVICE_HANDLE device, void* userData) {
  auto* ctx = static_cast<UsbContextRecord*>(userData);
  std::printf("DeviceDetach: received detach for device handle 0x%p\n", static_cast<void*>(device));
  ctx->Device = nullptr;
  // A replugged programmer comes back with an empty FPGA; only the UI thread may change the link's
  // state, so it is told through the flag.
  ctx->Detached = true;
}

bool TakeDetach() {
  return gLink.UsbContext.Detached.exchange(false);
}

std::uint32_t UsbWrite(const std::uint8_t* data, std::uint32_t length) {
  std::uint32_t transferred = 0;
  const std::uint32_t status =
      usb::UsbLibTransfer(gLink.UsbContext.Device, 0x02, 0, 0, const_cast<std::uint8_t*>(data),
                          length, &transferred, nullptr, kTransferTimeoutMs);
  return status == usb::kStatusSuccess ? transferred : 0;
}

std::uint32_t UsbRead(std::uint8_t* buffer, std::uint32_t length) {
  std::uint32_t transferred = 0;
  const std::uint32_t status =
      usb::UsbLibTransfer(gLink.UsbContext.Device, 0x82, 1, 0, buffer, length, &transferred,
                          nullptr, kTransferTimeoutMs);
  return status == usb::kStatusSuccess ? transferred : 0;
}

void CloseUsbDevice() {
  usb::UsbLibUninit(gGlue.openHandle);
  usb::CloseWaitEvent(gGlue.openEvent);
  if (gLink.UsbContext.AttachEvent == gGlue.openEvent) gLink.UsbContext.AttachEvent = nullptr;
  gGlue.openHandle = nullptr;
  gGlue.openEvent = nullptr;
  gLink.UsbContext.Device = nullptr;
}

void SetAttachWaitMs(std::uint32_t ms) {
  gGlue.attachWaitMs = ms ? ms : kAttachWaitSeconds * 1000;
}

}  // namespace zelvar
