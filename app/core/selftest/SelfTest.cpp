#include "app/core/selftest/SelfTest.h"

#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/TestPin.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar {

namespace {

constexpr const char* kCheckUp = "Check-up programmer...*正在自检...";
using testpin::kCmdSenseSettle;
using testpin::kIdentityRegister;
using testpin::kSenseRegister;
constexpr int kProbeCenterPin = 20;

std::vector<int> Range(int from, int to) {
  std::vector<int> v(to - from + 1);
  std::iota(v.begin(), v.end(), from);
  return v;
}

bool Probe(int pin) {
  return ProbePin(static_cast<std::uint8_t>(pin)) != 0;
}

}  // namespace

SelfTestPins SelfTestPinsFor(int model) {
  const std::vector<int> vpp5106 = {1, 5, 7, 9, 10, 11, 12, 14, 15, 20, 26, 28, 29, 30, 31, 34, 35};
  const std::vector<int> gnd5106 = {10, 14, 16, 20, 24, 25, 31};
  switch (model) {
    case 5106:
      return {vpp5106, {8, 13, 16, 17, 24, 25, 26, 27, 28, 30, 32, 34, 36, 40}, gnd5106, 40};
    case 5107:
      return {vpp5106, {8, 13, 17, 24, 25, 26, 27, 28, 30, 32, 34, 36, 40}, gnd5106, 40};
    case 5149:
      return {{1,  2,  3,  5,  7,  8,  9,  10, 11, 12, 14, 15, 20, 22, 26, 27,
               28, 29, 30, 31, 33, 34, 35, 37, 39, 40, 42, 44, 45, 46, 47},
              {8, 11, 13, 17, 21, 24, 25, 26, 27, 28, 30, 32, 34, 36, 38, 40, 42, 44},
              {1, 10, 11, 12, 13, 14, 15, 16, 20, 22, 23, 24, 25, 29, 30, 31},
              48};
    default:
      if (model >= 6200) return {Range(1, 48), Range(1, 48), Range(1, 48), 48};
      return {};
  }
}

int SelfTestReportCode(int error, int detail, int r) {
  return r * 65536 + error * 256 + detail + r;
}

void SelfTest::Fail(int e, int d, bool counts) {
  error = e;
  detail = d;
  if (counts) ++gLink.StatusWord;
}

void SelfTest::SocketEmpty() {
  if (pins_.socket == 0) return;
  SetFpgaReg27(true);
  EnablePinDrivers(false);
  FlushCommands();
  SelectGndPin(0);
  SetVppVoltage(5000);
  if (model_ < 6200) {
    SetVppVoltage(5000);
    SelectVppPin(kProbeCenterPin);
  } else {
    SetVccVoltage(3300);
    SelectVccPin(kProbeCenterPin);
  }
  for (int pin = 1; pin <= pins_.socket; ++pin) {
    if (pin != kProbeCenterPin && Probe(pin)) Fail(kSocketNotEmpty, pin);
  }
  SelectVppPin(0);
  SelectVccPin(0);
  EnablePinDrivers(true);
  SetFpgaReg27(false);
  if (error) AddMessageLine("插座不空!");
}

void SelfTest::LogicIdentity() {
  SetRegister(kIdentityRegister, 0);
  FlushCommands();
  const std::uint8_t id = ReadReply64(gLink.ScratchBuffer.data());
  if (id == 'l' || (model_ >= 6300 && id == '3')) return;
  Fail(kNoLogicIdentity, 0, false);
}

void SelfTest::HighVoltage() {
  if (model_ >= 6200) return;
  SetVppVoltage(10000);
  EnablePinDrivers(false);
  SelectHighVoltagePin(40);
  if (!Probe(40)) Fail(kNoHighVoltage, 0);
  SelectHighVoltagePin(0);
}

void SelfTest::Ground() {
  if (pins_.gnd.empty()) return;
  WriteFpgaRegister(kSenseRegister, 255);
  EnablePinDrivers(true);
  FlushCommands();
  SelectGndPin(0);
  for (const int pin : pins_.gnd) {
    if (!Probe(pin)) return Fail(kGroundStuck, pin);
  }
  for (const int pin : pins_.gnd) {
    SelectGndPin(pin);
    const bool low = !Probe(pin);
    SelectGndPin(0);
    if (!low || !Probe(pin)) return Fail(kGroundSwitch, pin);
  }
}

void SelfTest::ResistorNetwork() {
  if (pins_.socket == 0) return;
  SetVccVoltage(0);
  SelectGndPin(0);
  SelectVccPin(0);
  SelectVppPin(0);
  WriteFpgaRegister(kSenseRegister, 255);
  EnablePinDrivers(true);
  for (int pin = 1; pin <= pins_.socket; ++pin) {
    if (!Probe(pin)) return Fail(kResistorNetwork, pin);
  }
  EnablePinDrivers(false);
  for (int pin = 1; pin <= pins_.socket; ++pin) {
    if (Probe(pin)) return Fail(kResistorNetwork, pin);
  }
}

void SelfTest::SupplyWalk(const std::vector<int>& pins, bool (*select)(std::uint8_t), int fault,
                          const char* line, bool stopAtFirst) {
  WriteFpgaRegister(kSenseRegister, 255);
  EnablePinDrivers(false);
  FlushCommands();
  for (const int pin : pins) {
    select(static_cast<std::uint8_t>(pin));
    EnablePinDrivers(false);
    PutCmd1(kCmdSenseSettle);
    FlushCommands();
    const bool high = Probe(pin);
    select(0);
    if (high) continue;
    char text[48];
    std::snprintf(text, sizeof text, line, pin);
    AddMessageLine(text);
    Fail(fault, pin);
    if (stopAtFirst) return;
  }
}

void SelfTest::Vcc() {
  if (pins_.vcc.empty()) return;
  SetVccVoltage(3300);
  SupplyWalk(pins_.vcc, &SelectVccPin, kNoVcc, "No VCC on pin %d", true);
}

void SelfTest::Vpp() {
  if (pins_.vpp.empty()) return;
  // The VPP supply at a level the probe reads, as the VCC sub-test sets VCC; every pin without
  // VPP is logged, the last one reported.
  SetVppVoltage(3300);
  SupplyWalk(pins_.vpp, &SelectVppPin, kNoVpp, "No vpp on pin %d", false);
  if (error) return;
  // With VPP on no pin, no pin may read high.
  SelectVppPin(0);
  WriteFpgaRegister(kSenseRegister, 255);
  SetRegister(kPinDriverRegister, 0);
  for (int pin = 1; pin <= pins_.socket; ++pin)
    PutCmd2(kCmdProbePin, static_cast<std::uint8_t>(pin));
  const std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(gLink.ScratchBuffer.data());
  for (int pin = 1; pin <= pins_.socket; ++pin) {
    if (reply[pin - 1] != 0) return Fail(kVppShort, pin);
  }
}

void SelfTest::Run() {
  model_ = gLink.ModelNumber;
  if (model_ <= 411) {
    ShowMessageText("This modal not suport back-check!*这个型号的编程器没有自检功能！");
    return;
  }
  pins_ = SelfTestPinsFor(model_);
  AddMessageLine("Check-up programmer... *正在自检...");
  AddMessageLine("Note:Remove any thing on programmer! *提醒:   要保持空的插座!");
  gLink.LastBitstream = kNoBitstream;
  LoadBitstream("testpin.bit");
  WriteFpgaRegister(kSenseRegister, 255);
  gLink.StatusWord = 0;
  error = 0;
  detail = 0;
  reportCode = 0;
  SetVppVoltage(12000);
  SelectVppPin(0);
  SetVppVoltage(0);
  SelectGndPin(0);
  SetVccVoltage(4400);
  services().ShowBusy(LocalText(kCheckUp));
  void (SelfTest::*const steps[])() = {
      &SelfTest::SocketEmpty, &SelfTest::LogicIdentity,   &SelfTest::HighVoltage,
      &SelfTest::Ground,      &SelfTest::ResistorNetwork, &SelfTest::Vcc,
      &SelfTest::Vpp};
  int step = 1;
  for (const auto s : steps) {
    if (error == 0) (this->*s)();
    services().StepBusy(step++);
  }
  EnablePinDrivers(true);
  if (error) {
    services().Beep(BeepKind::Error);
    const int r = random ? random() : std::rand() % 100;
    reportCode = SelfTestReportCode(error, detail, r);
    char text[96];
    std::snprintf(text, sizeof text, "Check error: %d*自检出错:%d", reportCode, reportCode);
    ShowMessageText(text);
    services().Beep(BeepKind::Error);
    // Something in the socket is the user's to mend, not a fault of the programmer.
    if (error == kSocketNotEmpty) {
      AddMessageLine(
          "Empty the socket first, then run the self-test again. *请先取出插座上的器件, 再自检。");
    } else {
      AddMessageLine("The programmer has a problem! *编程器有故障！");
    }
  } else {
    services().Beep(BeepKind::Success);
    AddMessageLine("The programmer all right *自检完成,编程器硬件正常");
  }
  services().HideBusy();
}

}  // namespace zelvar
