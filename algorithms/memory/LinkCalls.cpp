#include "algorithms/memory/LinkCalls.h"

#include <string>

#include "app/services/AppState.h"
#include "app/services/Messages.h"
#include "app/services/Services.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"

namespace zelvar::memory {

void LoadFamilyBitstream(const char* fileName) {
  // The loader proper belongs to the link; until it is reached from here the set-up records the
  // file as loaded so that the contact check and the Run button see a chosen chip.
  const int m = gLink.ModelNumber;
  if (m == 0 || m == 57 || m == 411) return;
  const char* folder = m >= 6200                               ? "BLib3/"
                       : (m == 5104 || m == 5105 || m == 5148) ? "BLib/"
                                                               : "BLib2/";
  gLink.LastBitstream = gApp.ProgramDir + folder + fileName;
}

bool PowerGood() {
  const int m = gLink.ModelNumber;
  bool good;
  if (m == 5106 || m == 5107 || m >= 5149) {
    for (int i = 0; i < 10; ++i) PutCmd1(kCmdSettle);
    FlushCommands();
    SetRegister(kPowerStatusRegister, 0);
    ReadReply64(gLink.ScratchBuffer.data());
    good = (gLink.ScratchBuffer[0] & 1) && (gLink.ScratchBuffer[1] & 1);
  } else {
    PutCmd1(kCmdPowerStatusPrefix);
    SetRegister(kPowerStatusRegister, 0);
    ReadReply64(gLink.ScratchBuffer.data());
    good = gLink.ScratchBuffer[0] & 1;
    if (!good) {
      SelectVppPin(0);
      SelectVccPin(0);
    }
  }
  if (good) return true;
  AddMessageLine("Power weakly! *电源供电不足！");
  gLink.StatusWord = 1;
  return false;
}

void Progress(int position) {
  Services& s = services();
  const int last = gApp.CodeLastAddress;
  if (position == 0) {
    s.SetProgressMax(last);
    s.ShowProgressWindow();
  }
  if (position >= 0) {
    s.SetProgressPosition(position);
    if (position >= last) s.CloseProgressWindow();
    return;
  }
  const int step = last / 10 > 0 ? last / 10 : 1;
  for (int p = s.ProgressPosition(); p < last; p += step) {
    s.SetProgressPosition(p);
    s.Sleep(5);
  }
  s.SetProgressPosition(last);
  s.Sleep(100);
  s.CloseProgressWindow();
}

}  // namespace zelvar::memory
