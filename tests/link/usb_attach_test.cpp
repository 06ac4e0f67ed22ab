// The USB library and glue on the simulated driver: attach and detach through the event thread,
// the attach wait, the driver version and the transfers.
#include <gtest/gtest.h>

#include <vector>

#include "link/Usb.h"
#include "support/SimFixture.h"

namespace zelvar {
namespace usb_attach_test {

using test::SimFixture;

class UsbAttach : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    SetAttachWaitMs(50);
  }
  void TearDown() override {
    SetAttachWaitMs(0);
    SimFixture::TearDown();
  }
  // A fresh driver with nothing attached and nothing open.
  void FreshDriver() {
    CloseUsbDevice();
    driver = std::make_unique<usb::SimUsbDriver>();
    usb::SetDriver(driver.get());
  }
  std::uint32_t WriteOneCommand() {
    const std::uint8_t padding = 0;
    return UsbWrite(&padding, 1);
  }
};

TEST_F(UsbAttach, AnAttachIsAcceptedAndTheInterfaceSelected) {
  ASSERT_TRUE(driver->Drain());  // the acknowledgement follows the attach signal
  const auto d = driver->DeviceState(deviceId);
  EXPECT_EQ(d.accepted, 1);
  EXPECT_EQ(d.setInterfaceCalls, 1);
  EXPECT_EQ(d.lastInterface, 0u);
  EXPECT_EQ(d.lastAlternate, 0u);
  EXPECT_NE(gLink.UsbContext.Device.load(), nullptr);
  EXPECT_EQ(WriteOneCommand(), 1u);
  EXPECT_EQ(prog->record.transfers, 1u);
}

TEST_F(UsbAttach, ASecondProgrammerIsRefusedWithoutASignal) {
  auto* first = gLink.UsbContext.Device.load();
  const std::uint32_t second = driver->Plug(transport.get(), kZorProductIds[0]);
  ASSERT_TRUE(driver->Drain());
  const auto d = driver->DeviceState(second);
  EXPECT_EQ(d.accepted, 0);
  EXPECT_EQ(d.setInterfaceCalls, 0);
  EXPECT_EQ(usb::OsEventWaitMs(gLink.UsbContext.AttachEvent, 0), usb::kStatusTimeout);
  EXPECT_EQ(gLink.UsbContext.Device.load(), first);
  EXPECT_EQ(WriteOneCommand(), 1u);
}

TEST_F(UsbAttach, AWrongInterfaceOrAFailedSetInterfaceIsRefused) {
  struct Case {
    std::uint8_t interfaceNumber;
    bool failSetInterface;
    int setInterfaceCalls;
  };
  for (const Case c : {Case{1, false, 0}, Case{0, true, 1}}) {
    SCOPED_TRACE(c.interfaceNumber);
    FreshDriver();
    const std::uint32_t id =
        driver->Plug(transport.get(), kZorProductIds[0], c.interfaceNumber, c.failSetInterface);
    gLink.UsbProductId = kZorProductIds[0];
    EXPECT_FALSE(OpenUsbDevice());
    const auto d = driver->DeviceState(id);
    EXPECT_EQ(d.accepted, 0);
    EXPECT_EQ(d.setInterfaceCalls, c.setInterfaceCalls);
    EXPECT_EQ(gLink.UsbContext.Device.load(), nullptr);
    EXPECT_EQ(driver->OpenRegistrations(), 0);
  }
}

TEST_F(UsbAttach, ADetachClearsTheHandleAndAReturningProgrammerIsTakenAgain) {
  Unplug();
  EXPECT_EQ(gLink.UsbContext.Device.load(), nullptr);
  std::uint8_t buffer[64];
  EXPECT_EQ(WriteOneCommand(), 0u);
  EXPECT_EQ(UsbRead(buffer, 64), 0u);
  EXPECT_EQ(prog->record.transfers, 0u);

  deviceId = driver->Plug(transport.get(), kZorProductIds[0]);
  ASSERT_TRUE(driver->Drain());
  EXPECT_NE(gLink.UsbContext.Device.load(), nullptr);
  EXPECT_EQ(WriteOneCommand(), 1u);
}

TEST_F(UsbAttach, WithNoProgrammerEachProductIdIsTriedAndNothingStaysOpen) {
  EXPECT_EQ(kAttachWaitSeconds, 2u);  // the program's wait; this test shortened it
  FreshDriver();
  EXPECT_FALSE(FindProgrammer());
  EXPECT_EQ(driver->RegisteredProducts(), (std::vector<std::uint16_t>{0x0411, 0x6201, 0x6200}));
  EXPECT_EQ(driver->OpenRegistrations(), 0);
  EXPECT_EQ(gLink.UsbContext.AttachEvent, nullptr);

  // A programmer on the last product id is found there.
  const std::uint32_t id = driver->Plug(transport.get(), 0x6200);
  EXPECT_TRUE(FindProgrammer());
  EXPECT_EQ(gLink.UsbProductId, 0x6200);
  ASSERT_TRUE(driver->Drain());
  EXPECT_EQ(driver->DeviceState(id).accepted, 1);
}

TEST_F(UsbAttach, AnOlderDriverIsRefusedAndLeavesNothingOpen) {
  FreshDriver();
  driver->version = 600;
  driver->Plug(transport.get(), kZorProductIds[0]);
  usb::WDU_DRIVER_HANDLE handle = nullptr;
  const usb::MatchRecord match{kZorVendorId, kZorProductIds[0]};
  EXPECT_EQ(usb::WDU_Init(&handle, &match, 1, usb::EventTable{DeviceAttach, DeviceDetach}, 1),
            usb::kStatusIncorrectVersion);
  EXPECT_EQ(handle, nullptr);
  EXPECT_TRUE(driver->RegisteredProducts().empty());

  // The version the glue reports; a driver that cannot start counts as none.
  EXPECT_EQ(GetDriverVersion(), 600u);
  driver->version = 0;
  EXPECT_EQ(GetDriverVersion(), 1u);
  usb::SetDriver(nullptr);
  EXPECT_EQ(GetDriverVersion(), 1u);
}

TEST(UsbLib, StatusTexts) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0, "Success"},
      {0xFFFFFFFF, "Invalid WinDriver handle"},
      {0x2000001C, "Incorrect WinDriver version installed"},
      {0xC0000030, "HCD: Trasnfer submitted to stalled endpoint"},
      {0x80000900, "USBD: Trasnfer terminated with short packet"},
      {0xC000000E, "Unrecognized error code"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(usb::StatusText(code), text) << code;
}

TEST(UsbLib, WaitEventsResetThemselves) {
  usb::OsEvent* e = nullptr;
  ASSERT_EQ(usb::CreateWaitEvent(&e), usb::kStatusSuccess);
  EXPECT_EQ(usb::OsEventWaitMs(e, 0), usb::kStatusTimeout);
  EXPECT_EQ(usb::SignalWaitEvent(e), usb::kStatusSuccess);
  EXPECT_EQ(usb::OsEventWaitMs(e, 0), usb::kStatusSuccess);
  EXPECT_EQ(usb::OsEventWaitMs(e, 0), usb::kStatusTimeout);
  usb::CloseWaitEvent(e);
  EXPECT_EQ(usb::SignalWaitEvent(nullptr), usb::kStatusInternalError);
}

}  // namespace usb_attach_test
}  // namespace zelvar
