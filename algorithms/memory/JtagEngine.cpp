#include "algorithms/memory/JtagEngine.h"

#include <vector>

#include "algorithms/memory/JtagRows.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Jtag.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/PldDocuments.h"
#include "services/Services.h"

namespace zelvar::memory {

void CheckJtagRow(const JtagType& t, TypeTableReport& r) {
  if (t.bitstream.empty()) return;  // refused at set-up
  r.bitstreams.emplace_back(t.bitstream);
  if (t.vccPin == 0) {
    if (t.groundPin != 0 || t.contactMask != 0) r.Fault("in-system row names socket pins");
    return;
  }
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"ground", t.groundPin}}, {}, 48);
  r.MaskInSocket(t.contactMask, 48);
  // The adapters test the ground pin's contact (the 44-to-40 adapter not its VCC pin).
  if ((t.contactMask & SocketPins(t.groundPin, t.groundPin)) == 0)
    r.Fault("contact mask lacks the ground pin");
  if (t.lastFuse == 0) r.Fault("no fuse range");
}

TypeFacts JtagSet::Facts() const {
  const JtagType& t = Type();
  return {.lastAddress = t.lastFuse,
          .contactMask = t.contactMask,
          .groundPin = t.groundPin,
          .viewKind = 2,
          .noStamps = 1};
}

void JtagSet::Handle(int op) {
  Operation(op);
  if (gLink.StatusWord != 0) {
    PowerDown();
    return;
  }
  // A passing operation too leaves the chip unpowered with its lines released.
  ReleaseLines();
  SelectVccPin(0);
  FlushCommands();
}

bool JtagSet::SetUp(int vccMillivolts, int groundPin) {
  ClearRefusal();
  gPld.jedec.exists = true;  // the large-PLD window, made when first needed
  const JtagType& t = Type();
  if (t.bitstream.empty()) {
    Refuse(frame::kNoSuchType);
    return false;
  }
  if (vccMillivolts <= 0) {
    Refuse(kNoVcc);
    return false;
  }
  const std::string bitstream(t.bitstream);
  LoadBitstream(bitstream.c_str());
  SetLine(jtag::kLineTms);
  SetLine(jtag::kLineSpare);
  SetVccVoltage(vccMillivolts);
  SetVppVoltage(0);
  vccMillivolts_ = vccSetUp_ = vccMillivolts;
  vppMillivolts_ = 0;
  EnablePinDrivers(true);
  SelectGndPin(static_cast<std::uint32_t>(groundPin));
  FlushCommands();
  if (gApp.TypeIndex <= 1) services().ShowIspWiring(kIspLegend);
  return true;
}

int JtagSet::Shift(int mode, int bits, const std::uint8_t* data) {
  FlushCommands();
  if (bits < 1 || bits > 8 * static_cast<int>(tdo.size() - 128)) return 0;
  int full = bits / 8;
  int last = bits % 8;
  if (last == 0) {
    --full;
    last = 8;
  }
  const bool readBack = mode == kIrRead || mode == kDrRead;
  std::size_t offset = 0;
  const auto endOfPart = [&](int count) {
    FlushCommands();
    if (readBack) {
      ReadReply64(tdo.data() + offset);
      offset += static_cast<std::size_t>(count);
    } else {
      PutCmd1(jtag::kCmdDropReadBack);
    }
  };
  PutCmd2(jtag::kCmdShift, mode == kIr || mode == kIrRead ? jtag::kShiftIr : jtag::kShiftDr);
  if (full >= 1 && full <= 50) {
    PutCmd3(jtag::kCmdShift, jtag::kShiftBytes, static_cast<std::uint8_t>(full));
    for (int i = 0; i < full; ++i) PutCmd1(data[i]);
  } else if (full > 50) {
    int at = 0;
    for (int c = 0; c < full / 50; ++c, at += 50) {
      PutCmd3(jtag::kCmdShift, jtag::kShiftBytes, 50);
      for (int i = 0; i < 50; ++i) PutCmd1(data[at + i]);
      endOfPart(50);
    }
    if (const int r = full % 50; r != 0) {
      PutCmd3(jtag::kCmdShift, jtag::kShiftBytes, static_cast<std::uint8_t>(r));
      for (int i = 0; i < r; ++i) PutCmd1(data[at + i]);
      endOfPart(r);
    }
    FlushCommands();
  }
  PutCmd3(jtag::kCmdShift, jtag::kShiftLast, static_cast<std::uint8_t>(last));
  PutCmd1(data[full]);
  PutCmd3(jtag::kCmdShift, jtag::kShiftEnd, flavour_.shiftEnd);
  endOfPart(1);
  FlushCommands();
  return bits;
}

void JtagSet::Shift8(int mode, std::uint8_t value) {
  shiftBuffer_[0] = value;
  Shift(mode, 8, shiftBuffer_.data());
}

bool JtagSet::ShiftHex(int mode, int bits, std::string_view text) {
  std::vector<std::uint8_t> area(2048);
  const bool ok =
      flavour_.digitHex ? HexDigitsToBits(text, area, bits) : HexTextToBits(text, area, bits);
  if (!ok) return false;
  Shift(mode, bits, area.data());
  FlushCommands();
  return true;
}

void JtagSet::SetLine(std::uint8_t line) {
  WriteFpgaRegister(18, static_cast<std::uint8_t>(line | 0x80));
}
void JtagSet::ClearLine(std::uint8_t line) {
  WriteFpgaRegister(18, line);
}

void JtagSet::LinesStart() {
  SetLine(jtag::kLineSpare);
  ClearLine(jtag::kLineTck);
}

void JtagSet::ReleaseLines() {
  SetLine(jtag::kLineTms);
  SetLine(jtag::kLineSpare);
  FlushCommands();
}

void JtagSet::Wait(int steps) {
  for (int i = 0; i < steps; ++i) PutCmd1(kCmdWait1ms);
  FlushCommands();
}

void JtagSet::ClockPulses(int n) {
  for (int i = 0; i < n; ++i) {
    SetLine(jtag::kLineTck);
    ClearLine(jtag::kLineTck);
    PutCmd1(jtag::kCmdAfterPulse);
  }
  FlushCommands();
}

void JtagSet::RunIn(bool afterPulse) {
  LinesStart();
  SetLine(jtag::kLineSpare);
  ClearLine(jtag::kLineTms);
  ClearLine(jtag::kLineTck);
  PutCmd1(jtag::kCmdDropReadBack);
  ClearLine(jtag::kLineTck);
  ClearLine(jtag::kLineSpare);
  SetLine(jtag::kLineTms);
  ClockPulses(5);
  Wait(15);
  ClockPulses(5);
  Wait(10);
  ClockPulses(5);
  ClearLine(jtag::kLineTms);
  ClockPulses(1);
  if (afterPulse) PutCmd1(jtag::kCmdAfterPulse);
  FlushCommands();
}

bool JtagSet::PowerOn() {
  RestoreSupplies();
  SelectVccPin(Type().vccPin);
  FlushCommands();
  if (gApp.TypeIndex >= 2 && !CheckPower()) return false;
  return true;
}

void JtagSet::PowerDown() {
  gLink.StatusWord = 1;
  ReleaseLines();
  SelectVccPin(0);
  FlushCommands();
}

}  // namespace zelvar::memory
