#pragma once
// A test with a fresh link state, a recording services fake and a simulated programmer, attached
// through the simulated USB driver (behind a fault injector) and opened as the program opens the
// real one.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/Usb.h"
#include "link/usb/SimUsbDriver.h"
#include "services/Messages.h"
#include "sim/Programmer.h"
#include "sim/SimTransport.h"
#include "support/FakeServices.h"
#include "support/FaultyTransport.h"

namespace zelvar::test {

class SimFixture : public ::testing::Test {
 protected:
  void SetUp() override { Connect(6200); }
  void TearDown() override {
    CloseUsbDevice();
    usb::SetDriver(nullptr);
    SetServices(nullptr);
    SetProcessorClock({});
    gLink.Reset();
    ChineseTexts = 0;
  }

  // A new simulated programmer of `model`, with the link state reset and the model known. No
  // command reaches the programmer: its transcript starts empty.
  void Connect(int model) {
    CloseUsbDevice();
    gLink.Reset();
    ChineseTexts = 0;
    driver = std::make_unique<usb::SimUsbDriver>();
    usb::SetDriver(driver.get());
    SetServices(&fake);
    PlugFresh(model);
    gLink.UsbProductId = kZorProductIds[0];
    ASSERT_TRUE(OpenUsbDevice());
    gLink.ModelNumber = model;
  }

  // Pulls the programmer out and waits until the link has seen it go.
  void Unplug() {
    driver->Unplug(deviceId);
    driver->Drain();
  }

  // Plugs a new programmer of `model` (as a replug: nothing of the old one stays) behind the
  // fault injector, and waits until the link has taken it.
  void PlugFresh(int model) {
    prog = std::make_unique<sim::Programmer>(model);
    transport = std::make_unique<sim::SimTransport>(*prog);
    faults = std::make_unique<FaultyTransport>(*transport);
    faults->unplug = [this] { Unplug(); };
    deviceId = driver->Plug(faults.get(), kZorProductIds[0]);
    driver->Drain();
  }

  // What every operation leaves, whatever its outcome: no supply on any pin of the socket and no
  // logic driver high (one set to drive high once the drivers or the bus come back counts). A
  // programmer the link has lost (a link fault takes it off-line) can be told nothing more.
  void ExpectEndState(const std::string& what) const {
    if (gLink.ModelNumber == 0) return;
    EXPECT_EQ(prog->VccPin(), 0) << what << ": VCC left on";
    EXPECT_EQ(prog->VppPin(), 0) << what << ": VPP left on";
    EXPECT_EQ(prog->HighVoltagePin(), 0) << what << ": 12 V left on";
    std::string high;
    for (int pin = 1; pin <= prog->SocketPins(); ++pin) {
      if (prog->level[static_cast<std::size_t>(pin)] == 1) high += " " + std::to_string(pin);
    }
    EXPECT_EQ(high, "") << what << ": drivers left high on socket pins";
  }

  FakeServices fake;
  std::unique_ptr<sim::Programmer> prog;
  std::unique_ptr<sim::SimTransport> transport;
  std::unique_ptr<FaultyTransport> faults;  // between the link and the programmer, unarmed
  std::unique_ptr<usb::SimUsbDriver> driver;
  std::uint32_t deviceId = 0;
};

}  // namespace zelvar::test
