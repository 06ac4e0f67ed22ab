// The libusb driver against a USB device emulated by umockdev: libusb enumerates a device with
// the programmer's ids from the testbed's sysfs, the hotplug registration attaches it, interface
// 0 is claimed through usbfs, and the bulk URBs on 0x02 and 0x82 are answered by the simulated
// programmer, so the whole connect (model query, info block, idle state) runs over libusb.
//
// umockdev works by preloading libumockdev-preload into the process; the test runs itself again
// under that preload (with the sanitizer's link-order check off) and reports the child's result.
#include <gtest/gtest.h>

#ifdef ZELVAR_HAVE_UMOCKDEV
#include <dlfcn.h>
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <sys/wait.h>
#include <umockdev.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "link/Connect.h"
#include "link/LinkState.h"
#include "link/Usb.h"
#include "link/usb/LibusbDriver.h"
#include "services/Services.h"
#include "sim/Programmer.h"
#include "support/FakeServices.h"
#endif

namespace zelvar {
namespace usb_umockdev_test {

#ifdef ZELVAR_HAVE_UMOCKDEV

constexpr char kDevNode[] = "/dev/bus/usb/001/001";
constexpr char kChildMark[] = "ZELVAR_UMOCKDEV_CHILD";
constexpr int kNoPreload = 77;

// Device descriptor (vendor 0x5A3C, product 0x0411), one configuration with interface 0 and the
// bulk endpoints 0x02 and 0x82 of 64 bytes.
constexpr char kDevice[] =
    "P: /devices/usb1\n"
    "N: bus/usb/001/001\n"
    "E: SUBSYSTEM=usb\n"
    "E: DRIVER=usb\n"
    "E: BUSNUM=001\n"
    "E: DEVNUM=001\n"
    "E: DEVNAME=/dev/bus/usb/001/001\n"
    "E: DEVTYPE=usb_device\n"
    "A: busnum=1\\n\n"
    "A: devnum=1\\n\n"
    "A: bConfigurationValue=1\\n\n"
    "A: speed=12\\n\n"
    "H: descriptors="
    "12010002000000403c5a1104000100000001"
    "0902200001010080320904000002ff000000"
    "0705020240000007058202400000\n";

// The programmer behind usbfs: URBs on the bulk pipes go to the simulated programmer.
struct Bench {
  struct Urb {
    UMockdevIoctlData* data;
    std::vector<std::uint8_t> in;  // what an IN URB brings back
    int actual;
  };
  sim::Programmer prog{6200};
  std::mutex m;
  std::deque<Urb> flying;
  int claims = 0;
  int claimedInterface = -1;
};

gboolean HandleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user) {
  auto* b = static_cast<Bench*>(user);
  std::lock_guard lock(b->m);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  switch (umockdev_ioctl_client_get_request(client)) {
    case USBDEVFS_GET_CAPABILITIES: {
      UMockdevIoctlData* d = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
      *reinterpret_cast<guint32*>(d->data) =
          USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
      umockdev_ioctl_data_unref(d);
      umockdev_ioctl_client_complete(client, 0, 0);
      return TRUE;
    }
    case USBDEVFS_CLAIMINTERFACE: {
      UMockdevIoctlData* d = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
      b->claimedInterface = *reinterpret_cast<int*>(d->data);
      ++b->claims;
      umockdev_ioctl_data_unref(d);
      umockdev_ioctl_client_complete(client, 0, 0);
      return TRUE;
    }
    case USBDEVFS_DISCONNECT_CLAIM: {
      // The claim with the kernel driver's detach that libusb's auto-detach sends.
      UMockdevIoctlData* d =
          umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_disconnect_claim), nullptr);
      b->claimedInterface =
          static_cast<int>(reinterpret_cast<usbdevfs_disconnect_claim*>(d->data)->interface);
      ++b->claims;
      umockdev_ioctl_data_unref(d);
      umockdev_ioctl_client_complete(client, 0, 0);
      return TRUE;
    }
    case USBDEVFS_GETDRIVER:
    case USBDEVFS_IOCTL:
      // No kernel driver holds the interface.
      umockdev_ioctl_client_complete(client, -1, ENODATA);
      return TRUE;
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESET:
    case USBDEVFS_RESETEP:
      umockdev_ioctl_client_complete(client, 0, 0);
      return TRUE;
    case USBDEVFS_SUBMITURB: {
      UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
      auto* urb = reinterpret_cast<usbdevfs_urb*>(data->data);
      UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(
          data, G_STRUCT_OFFSET(usbdevfs_urb, buffer), urb->buffer_length, nullptr);
      Bench::Urb u{data, {}, 0};
      if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == 0x02) {
        u.actual = static_cast<int>(b->prog.BulkOut(buffer->data, urb->buffer_length));
      } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == 0x82) {
        u.in.resize(urb->buffer_length);
        u.actual = static_cast<int>(b->prog.BulkIn(u.in.data(), urb->buffer_length));
      } else {
        umockdev_ioctl_data_unref(buffer);
        umockdev_ioctl_data_unref(data);
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return TRUE;
      }
      umockdev_ioctl_data_unref(buffer);
      b->flying.push_back(std::move(u));
      umockdev_ioctl_client_complete(client, 0, 0);
      return TRUE;
    }
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
      if (b->flying.empty()) {
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
        return TRUE;
      }
      Bench::Urb u = std::move(b->flying.front());
      b->flying.pop_front();
      auto* urb = reinterpret_cast<usbdevfs_urb*>(u.data->data);
      urb->actual_length = u.actual;
      urb->status = 0;
      // The handler shares the address space with libusb: the IN data goes straight to its buffer.
      if (!u.in.empty()) std::memcpy(urb->buffer, u.in.data(), u.actual);
      UMockdevIoctlData* ptr = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
      umockdev_ioctl_data_set_ptr(ptr, 0, u.data);
      umockdev_ioctl_data_unref(ptr);
      umockdev_ioctl_data_unref(u.data);
      umockdev_ioctl_client_complete(client, 0, 0);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

// Runs this test again in a child with the umockdev preload; the child's exit code is the result.
int RunUnderPreload(std::string* why) {
  const std::string self = "/proc/self/exe";
  std::string preload = "libumockdev-preload.so.0";
  if (const char* p = std::getenv("LD_PRELOAD")) preload += std::string(":") + p;
  std::string asan = "verify_asan_link_order=0";
  if (const char* a = std::getenv("ASAN_OPTIONS")) asan += std::string(":") + a;
  const pid_t pid = fork();
  if (pid < 0) {
    *why = "fork failed";
    return -1;
  }
  if (pid == 0) {
    setenv("LD_PRELOAD", preload.c_str(), 1);
    setenv("ASAN_OPTIONS", asan.c_str(), 1);
    setenv(kChildMark, "1", 1);
    const char* filter = "--gtest_filter=UsbUmockdev.*";
    execl(self.c_str(), self.c_str(), filter, static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status)) {
    *why = "the child ended by signal " + std::to_string(WTERMSIG(status));
    return -1;
  }
  return WEXITSTATUS(status);
}

#endif

TEST(UsbUmockdev, TheLibusbDriverFindsClaimsAndQueriesTheProgrammer) {
#ifndef ZELVAR_HAVE_UMOCKDEV
  GTEST_SKIP() << "libumockdev-dev is not installed";
#else
  if (!std::getenv(kChildMark)) {
    std::string why;
    const int rc = RunUnderPreload(&why);
    if (rc == kNoPreload) GTEST_SKIP() << "libumockdev-preload could not be preloaded";
    ASSERT_EQ(rc, 0) << why;
    return;
  }
  // A symbol of the preload library only: without it nothing below would be mocked.
  if (!dlsym(RTLD_DEFAULT, "ioctl_tree_new_from_text")) std::_Exit(kNoPreload);

  UMockdevTestbed* testbed = umockdev_testbed_new();
  UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
  Bench bench;
  g_signal_connect_after(handler, "handle-ioctl", G_CALLBACK(HandleIoctl), &bench);
  GError* error = nullptr;
  ASSERT_TRUE(umockdev_testbed_attach_ioctl(testbed, kDevNode, handler, &error))
      << (error ? error->message : "");
  ASSERT_TRUE(umockdev_testbed_add_from_string(testbed, kDevice, &error))
      << (error ? error->message : "");

  test::FakeServices fake;
  SetServices(&fake);
  gLink.Reset();
  {
    usb::LibusbDriver driver;
    usb::SetDriver(&driver);
    EXPECT_EQ(GetDriverVersion(), 603u);
    EXPECT_TRUE(ConnectProgrammer());
    EXPECT_EQ(gLink.UsbProductId, 0x0411);
    EXPECT_EQ(gLink.ModelNumber, 6200);
    EXPECT_STREQ(gLink.ProgrammerName, "zor6200");
    EXPECT_EQ(gLink.ProgrammerInfo, bench.prog.infoBlock());
    {
      std::lock_guard lock(bench.m);
      EXPECT_EQ(bench.claims, 1);
      EXPECT_EQ(bench.claimedInterface, 0);
      EXPECT_EQ(bench.prog.HighVoltagePin(), 0);
      EXPECT_EQ(bench.prog.VppMillivolts(), 12000);
      EXPECT_TRUE(bench.prog.record.protocolErrors.empty());
    }
    // A pipe whose direction disagrees with the request is refused before it reaches usbfs.
    std::uint8_t byte = 0;
    std::uint32_t n = 0;
    EXPECT_EQ(usb::UsbLibTransfer(gLink.UsbContext.Device, 0x02, 1, 0, &byte, 1, &n, nullptr,
                                  kTransferTimeoutMs),
              usb::kStatusInvalidPipe);

    // Unplugged: the hotplug event reaches the detach callback, which clears the handle.
    umockdev_testbed_uevent(testbed, "/sys/devices/usb1", "remove");
    for (int i = 0; i < 200 && gLink.UsbContext.Device.load() != nullptr; ++i) usleep(10000);
    EXPECT_EQ(gLink.UsbContext.Device.load(), nullptr);
    EXPECT_EQ(UsbWrite(&byte, 1), 0u);
    CloseUsbDevice();
    usb::SetDriver(nullptr);
  }
  SetServices(nullptr);
  gLink.Reset();
  umockdev_testbed_detach_ioctl(testbed, kDevNode, nullptr);
  g_object_unref(handler);
  g_object_unref(testbed);
#endif
}

}  // namespace usb_umockdev_test
}  // namespace zelvar
