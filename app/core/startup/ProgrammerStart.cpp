#include "app/core/startup/ProgrammerStart.h"

#include <algorithm>

#include "app/services/Services.h"
#include "link/Connect.h"
#include "link/usb/UsbLib.h"

namespace zelvar {

ProgrammerStart StartProgrammer(const std::vector<std::string>& args) {
  ProgrammerStart start;
  const bool named = std::any_of(args.begin(), args.end(), [](const std::string& a) {
    return a.rfind("--programmer=", 0) == 0;
  });
  start.backend = ChooseBackend(args, &start.error);
  if (!start.backend) return start;
  if (named) {
    start.connected = ConnectProgrammer();
    return start;
  }

  // The USB attempt stays quiet: its "Can not open the device!" would only announce the stand-in.
  Services* shown = &services();
  SetServices(nullptr);
  start.connected = ConnectProgrammer();
  SetServices(shown);
  if (start.connected) return start;
  // A programmer this user may not open is worth the instructions, stand-in or not.
  if (usb::Driver() && usb::Driver()->AccessDenied()) InstallUsbDriver();

  start.backend.reset();
  start.backend = ChooseBackend({"--programmer=sim"}, &start.error);
  start.connected = start.backend && ConnectProgrammer();
  start.fellBack = true;
  return start;
}

}  // namespace zelvar
