#include "algorithms/pic/OtpSet.h"

#include "link/Bitstream.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::pic {

void CheckOtpRow(const OtpType& t, TypeTableReport& r) {
  if (t.vccPin == 0) {
    if (t.vppPin != 0 || t.contactMask != 0 || t.lastAddress != 0 || t.bitstream != nullptr)
      r.Fault("pins, size or design on a row without a VCC pin");
    return;
  }
  if (t.groundPin == 0) {
    r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}}, {}, 40);
  } else {
    r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}, {"ground", t.groundPin}}, {}, 40);
  }
  if (t.bitstream == nullptr) {
    r.Fault("no design");
  } else {
    r.bitstreams.emplace_back(t.bitstream);
  }
  r.MaskInSocket(t.contactMask, 40);
  if (t.contactMask != 0) {
    for (int pin : {int{t.vccPin}, int{t.groundPin}}) {
      if (pin != 0 && (t.contactMask >> (pin - 1) & 1) == 0)
        r.Fault("a supply pin outside the contact pins");
    }
  }
  if (t.lastAddress > 0) r.SizeIsPowerOfTwo(static_cast<std::uint32_t>(t.lastAddress));
}

void OtpSet::Line(std::uint8_t line, bool high) {
  if (high) {
    WriteFpgaReg18Bit7(line);
  } else {
    WriteFpgaReg18(line);
  }
}

void OtpSet::PowerDown() {
  SelectVppPin(0);
  SelectVccPin(0);
}

void OtpSet::Fail(std::uint32_t address, std::uint8_t byte) {
  gLink.StatusWord = 1;
  gLink.FailAddress = address;
  gLink.FailByte = byte;
}

bool OtpSet::TakeRow(std::span<const OtpType> types, int first) {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(types.size()), first)) return false;
  row_ = types[static_cast<std::size_t>(gApp.TypeIndex)];
  if (row_.vccPin == 0) {
    Refuse(frame::kNoSuchType);
    return false;
  }
  LoadBitstream(row_.bitstream);
  gApp.GroundPin = row_.groundPin;
  gApp.PinMask = row_.contactMask;
  return true;
}

}  // namespace zelvar::pic
