#include "app/core/startup/ProgrammerStart.h"

#include <algorithm>

#include "link/Connect.h"
#include "link/LinkState.h"
#include "link/usb/UsbLib.h"
#include "services/Services.h"
#include "sim/Programmer.h"
#include "sim/chips/Eprom.h"

namespace zelvar {

namespace {

constexpr std::string_view kSimChipOption = "--sim-chip=";

// "--sim-chip=PART" puts that chip model into the simulated programmer's socket, so that chip
// operations can be tried without hardware. False (with `error`) for an unknown part.
bool PlaceSimulatedChip(const std::vector<std::string>& args, ProgrammerStart& start) {
  Backend& backend = *start.backend;
  std::string& error = start.error;
  start.socketFollowsChoice = backend.simulated();
  for (const std::string& a : args) {
    if (a.rfind(kSimChipOption, 0) != 0) continue;
    const std::string part = a.substr(kSimChipOption.size());
    if (!backend.simulated()) {
      error = "--sim-chip needs the simulated programmer (--programmer=sim)";
      return false;
    }
    auto chip = sim::MakeEprom(part);
    if (!chip) {
      error = "--sim-chip: no simulated chip " + part + " (27C256, 27C512, 27C010, ...)";
      return false;
    }
    backend.programmer()->PlaceChipAtBottom(chip);
    start.socketFollowsChoice = false;
  }
  return true;
}

}  // namespace

ProgrammerStart StartProgrammer(const std::vector<std::string>& args) {
  ProgrammerStart start;
  start.backend = ChooseBackend(args, &start.error);
  if (!start.backend) return start;
  if (!PlaceSimulatedChip(args, start)) {
    start.backend.reset();
    return start;
  }
  start.connected = ConnectProgrammer();
  // A programmer this user may not open is worth the instructions beside "Can not open".
  if (!start.connected && !start.backend->simulated() && usb::Driver() &&
      usb::Driver()->AccessDenied() && gLink.DriverVersion >= 2) {
    InstallUsbDriver();
  }
  return start;
}

void PlaceChosenChip(ProgrammerStart& start, const std::string& chipName) {
  if (!start.socketFollowsChoice || !start.backend || !start.backend->programmer()) return;
  sim::Programmer& p = *start.backend->programmer();
  const std::string_view part = sim::EpromPartOf(chipName);
  if (p.chip() && !part.empty() && p.chip()->Name() == part) return;
  p.PlaceChipAtBottom(part.empty() ? nullptr : sim::MakeEprom(part));
}

}  // namespace zelvar
