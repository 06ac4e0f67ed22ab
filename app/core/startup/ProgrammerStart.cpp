#include "app/core/startup/ProgrammerStart.h"

#include <algorithm>

#include "link/Connect.h"
#include "link/LinkState.h"
#include "link/usb/UsbLib.h"
#include "services/Services.h"
#include "sim/Programmer.h"
#include "sim/chips/ChipModels.h"
#include "sim/chips/LogicChip.h"

namespace zelvar {

namespace {

constexpr std::string_view kSimChipOption = "--sim-chip=";

// The chip model "--sim-chip=PART" names; nullptr (with `error`) when the option is misused.
std::shared_ptr<sim::ChipModel> SimulatedChip(const std::string& arg, bool simulated,
                                              std::string& error) {
  const std::string part = arg.substr(kSimChipOption.size());
  if (!simulated) {
    error = "--sim-chip needs the simulated programmer (--programmer=sim)";
    return nullptr;
  }
  std::shared_ptr<sim::ChipModel> chip = sim::MakeChipModel(part);
  if (!chip) chip = sim::MakeLogicChip(part);
  if (!chip) {
    error = "--sim-chip: no simulated chip " + part +
            " (27C256, 27C512, AT89C51, ..., 7400, 74HC138, 4011, 4511, 7400:stuck, ...)";
  }
  return chip;
}

// "--sim-chip=PART" puts that chip model into the simulated programmer's socket, so that chip
// operations can be tried without hardware. False (with `error`) for an unknown part.
bool PlaceSimulatedChip(const std::vector<std::string>& args, ProgrammerStart& start) {
  Backend& backend = *start.backend;
  start.socketFollowsChoice = backend.simulated();
  for (const std::string& a : args) {
    if (a.rfind(kSimChipOption, 0) != 0) continue;
    auto chip = SimulatedChip(a, backend.simulated(), start.error);
    if (!chip) return false;
    backend.programmer()->SeatChip(chip);
    start.socketFollowsChoice = false;
  }
  return true;
}

}  // namespace

std::string StartOptionsError(const std::vector<std::string>& args) {
  const ProgrammerChoice choice = ReadProgrammerChoice(args);
  std::string error = choice.error;
  for (const std::string& a : args) {
    if (!error.empty()) break;
    if (a.rfind(kSimChipOption, 0) == 0) SimulatedChip(a, choice.simulated, error);
  }
  return error;
}

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
  auto chip = sim::MakeChipModel(chipName);
  if (p.chip() && chip && p.chip()->Name() == chip->Name()) return;
  p.SeatChip(chip);
}

}  // namespace zelvar
