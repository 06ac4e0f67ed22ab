#pragma once
// What the runner needs of the rest of the program, as plain functions so that tests record them.
// The contact check, operation titles, result lines and progress start as the real ones; the main
// window wires the rest. An unset port does nothing (an unset contact check refuses everything).
#include <cstdint>
#include <functional>
#include <string>

namespace zelvar {

// The pin-contact check: ground pin, two words passed as 0, low and high half of the pin mask.
// Non-zero lets the operation run; it sets StatusWord, NoChipFlag and BadPinCount.
using ContactCheck = std::function<int(std::uint32_t groundPin, std::uint32_t a, std::uint32_t b,
                                       std::uint32_t maskLow, std::uint32_t maskHigh)>;

struct RunnerPorts {
  ContactCheck CheckPinContact;
  std::function<void(int code)> ShowOperationName;
  std::function<void(int status)> ShowOperationResult;
  std::function<void(int position)> ShowProgress;
  std::function<void()> ShowBuffer;                        // redraw the buffer view
  std::function<void(const std::string&)> ShowStatusLine;  // the status bar's text
  std::function<void(bool advance)> ApplyStamps;           // serial and date stamps into the buffer
  std::function<void()> ShowConfigTab;
  std::function<void()> ChipUiChanged;     // the chip controls' model changed: mirror it
  std::function<void()> CentreAutoDialog;  // centres the auto-programming dialog on the main window
  std::function<void()> ShowAutoDialog;    // shows the auto-programming dialog until it closes
};

// Calls `port` when it is set.
template <typename F, typename... A>
void CallPort(const F& port, A&&... args) {
  if (port) port(std::forward<A>(args)...);
}

}  // namespace zelvar
