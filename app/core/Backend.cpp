#include "app/core/Backend.h"

#include <charconv>

#include "link/Usb.h"
#include "link/usb/LibusbDriver.h"
#include "link/usb/SimUsbDriver.h"
#include "sim/Programmer.h"
#include "sim/SimTransport.h"

namespace zelvar {

namespace {
constexpr int kDefaultSimModel = 6200;
constexpr char kOption[] = "--programmer=";
}  // namespace

Backend::~Backend() {
  CloseUsbDevice();
  if (usb::Driver() == driver_.get()) usb::SetDriver(nullptr);
}

ProgrammerChoice ReadProgrammerChoice(const std::vector<std::string>& args) {
  std::string choice = "usb";
  for (const auto& a : args) {
    if (a.rfind(kOption, 0) == 0) choice = a.substr(sizeof kOption - 1);
  }
  ProgrammerChoice c;
  if (choice == "usb") return c;
  if (choice != "sim" && choice.rfind("sim:", 0) != 0) {
    c.error = "--programmer takes usb, sim or sim:MODEL";
    return c;
  }
  c.simulated = true;
  c.model = kDefaultSimModel;
  if (choice.size() > 4) {
    const char* first = choice.data() + 4;
    const char* last = choice.data() + choice.size();
    const auto [end, ec] = std::from_chars(first, last, c.model);
    if (ec != std::errc() || end != last || c.model <= 0) {
      c.error = "--programmer=sim:MODEL needs a model number, as sim:5149";
    }
  }
  return c;
}

std::unique_ptr<Backend> ChooseBackend(const std::vector<std::string>& args, std::string* error) {
  const ProgrammerChoice choice = ReadProgrammerChoice(args);
  if (!choice.error.empty()) {
    if (error) *error = choice.error;
    return nullptr;
  }
  std::unique_ptr<Backend> b(new Backend);
  if (!choice.simulated) {
    b->driver_ = std::make_unique<usb::LibusbDriver>();
  } else {
    const int model = choice.model;
    b->programmer_ = std::make_unique<sim::Programmer>(model);
    b->pipes_ = std::make_unique<sim::SimTransport>(*b->programmer_);
    auto driver = std::make_unique<usb::SimUsbDriver>();
    // Plugged on the product id tried first, so that a simulated start-up does not wait.
    driver->Plug(b->pipes_.get(), kZorProductIds[0]);
    b->driver_ = std::move(driver);
  }
  usb::SetDriver(b->driver_.get());
  return b;
}

}  // namespace zelvar
