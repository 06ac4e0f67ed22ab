#pragma once
// Which programmer the program talks to: the real one over libusb (--programmer=usb, the
// default) or the simulated programmer answering as a model (--programmer=sim[:MODEL], 6200 when
// no model is given). The chosen back end is installed as the USB library's driver; the program
// then connects as it always does, so model detection runs its real path.
#include <memory>
#include <string>
#include <vector>

#include "link/usb/UsbDriver.h"

namespace zelvar {

namespace sim {
class Programmer;
class SimTransport;
}  // namespace sim

class Backend {
 public:
  ~Backend();
  Backend(const Backend&) = delete;
  Backend& operator=(const Backend&) = delete;

  bool simulated() const { return programmer_ != nullptr; }
  // The simulated programmer, nullptr on the real USB device.
  sim::Programmer* programmer() const { return programmer_.get(); }

 private:
  friend std::unique_ptr<Backend> ChooseBackend(const std::vector<std::string>&, std::string*);
  Backend() = default;
  std::unique_ptr<sim::Programmer> programmer_;
  std::unique_ptr<sim::SimTransport> pipes_;
  std::unique_ptr<usb::UsbDriver> driver_;
};

// What --programmer=... asks for, read without touching any device.
struct ProgrammerChoice {
  bool simulated = false;
  int model = 0;      // the simulated programmer's model
  std::string error;  // a malformed option
};
ProgrammerChoice ReadProgrammerChoice(const std::vector<std::string>& args);

// Reads --programmer=... from the program's arguments and installs that back end. nullptr with
// `error` set when the option is malformed.
std::unique_ptr<Backend> ChooseBackend(const std::vector<std::string>& args, std::string* error);

}  // namespace zelvar
