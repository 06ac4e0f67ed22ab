#include "link/PowerContact.h"

#include <algorithm>
#include <vector>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar {

namespace {

constexpr int kSocketPins = 48;
// The VPP level of a contact test that passes the VPP supply to the ground pin.
constexpr int kContactTestVppMillivolts = 5000;
constexpr std::uint64_t kSocketMask = (std::uint64_t{1} << kSocketPins) - 1;

bool TwoBytePowerStatus(int model) {
  return model == 5106 || model == 5107 || model >= 5149;
}

// Pins on which the test voltage goes through the VPP pin on models below 6200.
bool VppTestPin(std::uint32_t pin) {
  return pin == 1 || pin == 10 || pin == 14 || pin == 15 || pin == 20 || pin == 31;
}

void ReadContactBitmap() {
  PutCmd1(kCmdSettle);
  std::fill_n(gLink.ScratchBuffer.begin(), 9, 0);
  for (std::uint8_t r = 22; r <= 27; ++r) PutCmd2(kCmdReadInput, r);
  ReadReply64(gLink.ScratchBuffer.data());
}

void ReleaseSupplies() {
  SelectGndPin(0);
  SelectVppPin(0);
  SelectVccPin(0);
  PutCmd1(kCmdSettle);
}

void TestBelow6200(std::uint32_t gndPin) {
  ReleaseSupplies();
  PrepareContactTest();
  if (gndPin == kGroundPins11And30) {
    SelectVppPin(11);
    SelectVccPin(30);
  } else if (gndPin == kGroundTestOnPin13) {
    SelectVccPin(13);
  } else if (VppTestPin(gndPin)) {
    SelectVppPin(static_cast<std::uint8_t>(gndPin));
  } else {
    SelectVccPin(static_cast<std::uint8_t>(gndPin));
  }
  ReadContactBitmap();
  SelectVppPin(0);
  SelectVccPin(0);
  EndContactTest();
}

void TestFrom6200(std::uint32_t gndPin) {
  const int saved = gLink.LastVppMillivolts;
  ReleaseSupplies();
  SetFpgaReg27(true);
  FlushCommands();
  EnablePinDrivers(false);
  if (gndPin == kGroundPins11And30) {
    // Pin 30 with bit 7 takes the VPP supply, which still holds the set-up's programming level:
    // on a ground pin that is a hazard, so the test runs at the logic level the older models use.
    SetVppVoltage(kContactTestVppMillivolts);
    SelectVccPin(11);
    SelectVccPin(158);  // pin 30 with bit 7: the second test pin
  } else if (gndPin == kGroundTestOnPin13) {
    SelectVccPin(13);
  } else {
    SelectVccPin(static_cast<std::uint8_t>(gndPin));
  }
  FlushCommands();
  ReadContactBitmap();
  SelectVccPin(0);
  if (gndPin == kGroundPins11And30) SetVppVoltage(saved);
  SetFpgaReg27(false);
  FlushCommands();
  EnablePinDrivers(true);
}

std::uint64_t ContactBitmap() {
  std::uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= std::uint64_t{gLink.ScratchBuffer[i]} << (8 * i);
  return bits;
}

void ErrorBeep() {
  services().Beep(BeepKind::Error);
}

}  // namespace

bool ReadPowerStatus() {
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  if (TwoBytePowerStatus(gLink.ModelNumber)) {
    for (int i = 0; i < 10; ++i) PutCmd1(kCmdSettle);
    FlushCommands();
    SetRegister(kPowerStatusRegister, 0);
    ReadReply64(reply);
    return (reply[0] & 1) && (reply[1] & 1);
  }
  PutCmd1(kCmdWait1ms);
  SetRegister(kPowerStatusRegister, 0);
  ReadReply64(reply);
  if (reply[0] & 1) return true;
  SelectVppPin(0);
  SelectVccPin(0);
  return false;
}

bool CheckPower() {
  if (ReadPowerStatus()) return true;
  AddMessageLine("Power weakly! *电源供电不足！");
  gLink.StatusWord = 1;
  return false;
}

void PrepareContactTest() {
  gLink.SavedVppMillivolts = gLink.LastVppMillivolts;
  SetFpgaReg27(true);
  FlushCommands();
  if (IsOldFpgaModel(gLink.ModelNumber)) {
    WriteFpgaRegister(4, 12);
    FlushCommands();
    return;
  }
  EnablePinDrivers(false);
  SetVppVoltage(kContactTestVppMillivolts);
  for (int i = 0; i < 20; ++i) PutCmd1(kCmdSettle);
}

void EndContactTest() {
  if (IsOldFpgaModel(gLink.ModelNumber)) {
    WriteFpgaRegister(4, 0);
    FlushCommands();
    WriteFpgaRegister(27, 0);
    return;
  }
  SetRegister(kPinDriverRegister, 1);
  FlushCommands();
  WriteFpgaRegister(27, 0);
  SetVppVoltage(gLink.SavedVppMillivolts);
}

void TestPinContact(std::uint32_t gndPin) {
  if (gLink.ModelNumber >= 6200) {
    TestFrom6200(gndPin);
  } else {
    TestBelow6200(gndPin);
  }
}

int CheckPinContact(std::uint32_t gndPin, std::uint32_t, std::uint32_t, std::uint32_t maskLow,
                    std::uint32_t maskHigh) {
  const int model = gLink.ModelNumber;
  if (gApp.TypeIndex < 0) {
    ShowMessageText("No chip selected! *还没有选择器件！");
    return kContactRefused;
  }
  if (model <= 0) {
    ErrorBeep();
    ShowMessageText("Can't run without device! *脱机不能运行!");
    return kContactRefused;
  }
  if (LoadedBitstream() == kNoBitstream && model > 411) {
    ErrorBeep();
    ShowMessageText("No chip selected! *还没有选择器件！");
    return kContactRefused;
  }
  // Only socket pins can touch: a mask bit above pin 48 would fail every test with no pin to show.
  const std::uint64_t mask = ((std::uint64_t{maskHigh} << 32) | maskLow) & kSocketMask;
  if (model <= 411 || (!gLink.AutoRunFlag && !gLink.DetectPinFlag) ||
      (maskLow == 0 && maskHigh == 0)) {
    return kContactGood;
  }
  const std::uint64_t groundBit =
      gndPin >= 1 && gndPin <= kSocketPins ? std::uint64_t{1} << (gndPin - 1) : 0;

  for (;;) {
    TestPinContact(gndPin);
    SelectGndPin(gndPin);
    PutCmd1(kCmdSettle);
    FlushCommands();

    const std::uint64_t contact = ContactBitmap();
    gLink.BadPinList.fill(0);
    gLink.BadPinCount = 0;
    std::vector<int> bad;
    for (int pin = 1; pin <= kSocketPins; ++pin) {
      const std::uint64_t bit = std::uint64_t{1} << (pin - 1);
      if ((mask & bit) && !(contact & bit)) {
        gLink.BadPinList[gLink.BadPinCount++] = pin;
        bad.push_back(pin);
      }
    }
    gLink.NoChipFlag = (mask & contact & ~groundBit) == 0 ? 1 : 0;

    if ((mask & ~contact) == 0) {
      gLink.StatusWord = 0;
      return kContactGood;
    }
    if (gLink.AutoRunFlag) {
      // The continuous-programming window reads BadPinCount and NoChipFlag itself.
      gLink.StatusWord = 1;
      return kContactRefused;
    }
    ErrorBeep();
    if (gLink.NoChipFlag) {
      ShowMessageText("No any chip placed! *没有安放器件！\n");
      gLink.StatusWord = 1;
      return kContactRefused;
    }
    switch (services().AskBadPins(bad, SocketPinCount(model))) {
      case BadPinAnswer::Again:
        continue;
      case BadPinAnswer::Cancel:
        gLink.StatusWord = 1;
        return kContactRefused;
      case BadPinAnswer::Ignore:
        return kContactIgnored;
    }
  }
}

}  // namespace zelvar
