#pragma once
// Connecting to the programmer at start-up: the driver check, the USB open, model detection into
// gLink.ModelNumber, the name and info block, and the idle state.
#include <string>

namespace zelvar {

// True when a programmer was found, recognised and set to its idle state.
bool ConnectProgrammer();

// The driver installation. On this system the driver is libusb and the only step a user may need
// is the udev rule that lets the logged-in user open the programmer; this tells how, nothing runs.
void InstallUsbDriver();

// The model number of a model-name reply by the model keys, 0 when no key matches.
int ModelFromName(const char* reply);

// The one command that installs the udev rule.
extern const char* const kUdevRuleCommand;

}  // namespace zelvar
