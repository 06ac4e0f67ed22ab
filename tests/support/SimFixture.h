#pragma once
// A test with a fresh link state, a recording services fake and a simulated programmer.
#include <gtest/gtest.h>

#include <memory>

#include "app/services/Messages.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "sim/Programmer.h"
#include "sim/SimTransport.h"
#include "support/FakeServices.h"

namespace zelvar::test {

class SimFixture : public ::testing::Test {
 protected:
  void SetUp() override { Connect(6200); }
  void TearDown() override {
    SetTransport(nullptr);
    SetServices(nullptr);
    SetProcessorClock({});
    gLink.Reset();
    ChineseTexts = 0;
  }

  // A new simulated programmer of `model`, with the link state reset and the model known.
  void Connect(int model) {
    gLink.Reset();
    ChineseTexts = 0;
    prog = std::make_unique<sim::Programmer>(model);
    transport = std::make_unique<sim::SimTransport>(*prog);
    SetTransport(transport.get());
    SetServices(&fake);
    gLink.ModelNumber = model;
  }

  FakeServices fake;
  std::unique_ptr<sim::Programmer> prog;
  std::unique_ptr<sim::SimTransport> transport;
};

}  // namespace zelvar::test
