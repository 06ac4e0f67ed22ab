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

// The chip model "--sim-chip=PART" names; nullptr when the option is misused (with `error`) or
// no model of PART exists (with `missing`).
std::shared_ptr<sim::ChipModel> SimulatedChip(const std::string& arg, bool simulated,
                                              std::string& error, std::string* missing = nullptr) {
  const std::string part = arg.substr(kSimChipOption.size());
  if (!simulated) {
    error = "--sim-chip needs the simulated programmer (--programmer=sim)";
    return nullptr;
  }
  std::shared_ptr<sim::ChipModel> chip = sim::MakeChipModel(part);
  if (!chip) chip = sim::MakeLogicChip(part);
  if (!chip && missing) {
    *missing = "No simulated chip model of " + part +
               " (27C256, AT89C51, GAL16V8, ATmega8, ..., 7400, 74HC138, 7400:stuck, ...)";
  }
  return chip;
}

// "--sim-chip=PART" puts that chip model into the simulated programmer's socket, so that chip
// operations can be tried without hardware. A part with no model leaves the socket empty, and
// the socket window says so. False (with `error`) when the option is misused.
bool PlaceSimulatedChip(const std::vector<std::string>& args, ProgrammerStart& start) {
  Backend& backend = *start.backend;
  start.socketFollowsChoice = backend.simulated();
  for (const std::string& a : args) {
    if (a.rfind(kSimChipOption, 0) != 0) continue;
    auto chip = SimulatedChip(a, backend.simulated(), start.error, &start.seatMessage);
    if (!start.error.empty()) return false;
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

void PlaceChosenChip(ProgrammerStart& start, const std::string& chipName,
                     const std::optional<PlacementRequest>& picture) {
  if (!start.backend || !start.backend->programmer()) return;
  sim::Programmer& p = *start.backend->programmer();
  auto chip = sim::MakeChipModel(chipName);
  start.chosen = {chip ? chip->Name() : "", picture};
  // The chip already there stays, with what was written to it, moved to this line's seat.
  if (p.chip() && chip && p.chip()->Name() == chip->Name()) chip = p.chipShared();
  if (!start.socketFollowsChoice) {
    // A named chip that cannot sit where the line puts it stays where it was put.
    if (chip && chip == p.chipShared() && !SeatAsPictured(p, chip, picture).empty())
      p.SeatChip(chip);
    return;
  }
  start.seatMessage = chip ? SeatAsPictured(p, chip, picture)
                           : "No simulated chip model of " + chipName + ": the socket is empty";
  if (!chip) p.PlaceChipAtBottom(nullptr);
}

}  // namespace zelvar
