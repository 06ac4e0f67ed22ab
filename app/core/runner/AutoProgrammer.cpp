#include "app/core/runner/AutoProgrammer.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkFault.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar {

namespace {

std::string Format(const char* pattern, int value) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, value, value);
  return text;
}

}  // namespace

AutoProgrammer::AutoProgrammer() {
  ports_.CheckPinContact = &CheckPinContact;
  ports_.ShowProgress = &ShowProgress;
  ports_.SendWaitCommand = [] {
    PutCmd1(kWaitCommand);
    FlushCommands();
  };
}

void AutoProgrammer::Start(std::uint32_t groundPin, std::uint32_t a, std::uint32_t b,
                           std::uint32_t maskLow, std::uint32_t maskHigh) {
  ButtonCaption = LocalText("Stop*终止");
  EditText.clear();
  ground_ = groundPin;
  a_ = a;
  b_ = b;
  maskLow_ = maskLow;
  maskHigh_ = maskHigh;
  RunResult = 0;
  WaitState = kWaitRemoval;
  AutoTickCount = 0;
  TimerOn = true;
  Open = true;
  CallPort(ports_.Update);
}

void AutoProgrammer::SetCaption(const std::string& caption) {
  Caption = caption;
  CallPort(ports_.Update);
}

int AutoProgrammer::Check() {
  CallPort(ports_.SendWaitCommand);
  return ports_.CheckPinContact ? ports_.CheckPinContact(ground_, a_, b_, maskLow_, maskHigh_) : 0;
}

void AutoProgrammer::Finish(int result) {
  TimerOn = false;
  RunResult = result;
  Open = false;
  CallPort(ports_.Update);
  CallPort(ports_.Close);
}

void AutoProgrammer::Tick() {
  // Boxes and the 1000 ms wait may run the event loop, and Qt keeps firing the timer there.
  if (inTick_ || !TimerOn) return;
  inTick_ = true;
  try {
    TickBody();
  } catch (const OperationFault&) {
    // The fault has written its line; the programmer is off-line, so the wait ends.
    Finish(0);
  }
  inTick_ = false;
}

void AutoProgrammer::TickBody() {
  if (++AutoTickCount > kAutoTickLimit) {
    Finish(0);
    AddMessageLine("Exit running.*超时退出连续运行。");
    return;
  }
  if (WaitState == kWaitRemoval) {
    EditText = FirstWait ? LocalText("Take the chip out of the socket... *取出插座上的器件...")
                         : LocalText("OK,Remove the chip... *OK,移开写好的器件...");
    CallPort(ports_.Update);
    Check();
    if (gLink.NoChipFlag == 1) {
      AutoTickCount = 0;
      services().Sleep(1000);
      WaitState = kWaitPlacement;
    }
    return;
  }
  if (WaitState == kWaitPlacement) LabelVisible = false;
  EditText = LocalText("Place the next... *放置下一片...");
  CallPort(ports_.Update);
  if (Check() != 0) {
    AutoTickCount = 0;
    WaitState = kPlaced;
    Finish(1);
    return;
  }
  if (gLink.NoChipFlag == 0 && gLink.BadPinCount < 4) {
    LabelText = LocalText(Format("Find %d broken pins! *有%d个引脚接触不良！", gLink.BadPinCount));
    LabelVisible = true;
  } else {
    LabelVisible = false;
  }
  CallPort(ports_.Update);
}

void AutoProgrammer::Stop() {
  TimerOn = false;
  RunResult = 0;
  AddMessageLine("Exit running.*退出连续运行。");
  CallPort(ports_.ShowProgress, -1);
  Finish(0);
}

void AutoProgrammer::FormClosed() {
  TimerOn = false;
  Open = false;
}

}  // namespace zelvar
