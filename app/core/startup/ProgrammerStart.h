#pragma once
// The programmer the program starts on: the back end the command line names, connected. Without
// a --programmer option it is the programmer on USB; when none answers the program runs off-line
// (ModelNumber 0). The simulated programmer runs only when --programmer=sim asks for it.
#include <memory>
#include <string>
#include <vector>

#include "app/core/Backend.h"
#include "app/core/startup/SimSocket.h"

namespace zelvar {

struct ProgrammerStart {
  std::unique_ptr<Backend> backend;
  bool connected = false;
  std::string error;  // a malformed --programmer option; nothing was connected
  // The simulated socket takes a blank model of each chip the user chooses (no --sim-chip given).
  bool socketFollowsChoice = false;
  // The chosen line's seat, and why the simulated socket holds nothing for it ("" when it holds
  // the chip, or follows no choice): for the socket window to show.
  ChosenSeat chosen;
  std::string seatMessage;
};

// The error of a malformed --programmer or --sim-chip option, empty when they are sound. Checked
// before any window opens, so that a mistyped option never reaches a device or a message box.
std::string StartOptionsError(const std::vector<std::string>& args);

ProgrammerStart StartProgrammer(const std::vector<std::string>& args);

// After a chip is bound: on a simulated programmer whose socket follows the choice, puts a blank
// model of `chipName` where `picture` (the placement picture its set showed at set-up, if any)
// puts it, keeping one of the same part already there; or empties the socket when no model of it
// exists or it cannot sit there, with `seatMessage` saying why. A chip named by --sim-chip stays,
// moved to the line's seat when it is the line's part.
void PlaceChosenChip(ProgrammerStart& start, const std::string& chipName,
                     const std::optional<PlacementRequest>& picture = std::nullopt);

}  // namespace zelvar
