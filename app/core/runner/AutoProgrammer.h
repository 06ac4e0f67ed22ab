#pragma once
// The auto-programming dialog's logic: every 300 ms tick checks the socket, first for the
// programmed chip to be taken out, then for the next one to be placed with all required pins
// touching. The dialog mirrors the fields below and calls Tick from its timer.
#include <cstdint>
#include <functional>
#include <string>

#include "app/core/runner/RunnerPorts.h"

namespace zelvar {

inline constexpr int kAutoTickMs = 300;
inline constexpr int kAutoTickLimit = 240;  // 72 seconds without progress
inline constexpr std::uint8_t kWaitCommand = 28;

class AutoProgrammer {
 public:
  enum State : int { kWaitRemoval = 0, kWaitPlacement = 1, kPlaced = 2 };

  struct Ports {
    ContactCheck CheckPinContact;           // the real check by default
    std::function<void()> SendWaitCommand;  // queue command 28 and flush by default
    std::function<void(int)> ShowProgress;
    std::function<void()> Update;  // the dialog repaints from the fields
    std::function<void()> Close;   // the dialog closes
  };

  AutoProgrammer();
  Ports& ports() { return ports_; }

  // Arms the dialog before it is shown.
  void Start(std::uint32_t groundPin, std::uint32_t a, std::uint32_t b, std::uint32_t maskLow,
             std::uint32_t maskHigh);
  // One timer tick; a tick that arrives while another runs, or after the timer stopped, does
  // nothing.
  void Tick();
  // The Stop button.
  void Stop();
  // The dialog closes by any means.
  void FormClosed();
  void SetCaption(const std::string& caption);

  // Shown state.
  std::string Caption;
  std::string EditText;
  std::string ButtonCaption;
  std::string LabelText = "Pin status";
  bool LabelVisible = false;
  bool TimerOn = false;
  bool Open = false;

  // 1 when the next chip is placed, 0 when stopped or timed out.
  int RunResult = 0;
  // Set for the first wait of a Run: the chip in the socket was not programmed by it.
  bool FirstWait = false;
  int WaitState = kWaitRemoval;
  int AutoTickCount = 0;

 private:
  void Finish(int result);
  void TickBody();
  int Check();

  Ports ports_;
  std::uint32_t ground_ = 0, a_ = 0, b_ = 0, maskLow_ = 0, maskHigh_ = 0;
  bool inTick_ = false;
};

}  // namespace zelvar
