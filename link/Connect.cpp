#include "link/Connect.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "link/CommandQueue.h"
#include "link/LinkFault.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/Usb.h"
#include "services/Messages.h"

namespace zelvar {

namespace {

struct ModelKey {
  const char* key;
  int model;
};

// Compared in this order, each over exactly its own length: "zor5105+" comes before "zor5105"
// so that a 5105 whose name carries the '+' is taken as a 5106.
constexpr ModelKey kModelKeys[] = {
    {"zor411", 411},   {"zor5105+", 5106}, {"zor5106", 5106}, {"zor5107", 5107},
    {"zor5108", 5108}, {"zor5149", 5149},  {"zor5104", 5104}, {"zor5105", 5105},
    {"zor6200", 6200}, {"zor6300", 6300},  {"zor6400", 6400}, {"zor0057", 57},
};

constexpr int kNameTries = 3;
constexpr std::uint32_t kStaleReadBytes = 512;

constexpr int kMaxStaleReads = 8;

// A reply that came late after a failed read would be taken by the next try and shift every later
// reply by one: the IN pipe is read empty first.
void EmptyInPipe() {
  std::uint8_t* scratch = gLink.ScratchBuffer.data();
  for (int i = 0; i < kMaxStaleReads && UsbRead(scratch, kStaleReadBytes) > 0; ++i) {
  }
}

bool QueryModelName() {
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  for (int i = 0; i < kNameTries; ++i) {
    if (i > 0) EmptyInPipe();
    SetRegister(kModelQueryRegister, 0);
    PutCmd1(kCmdReadReply);
    FlushCommands();
    if (UsbRead(reply, 64) == 64 && reply[0] == 'z') return true;
  }
  return false;
}

void ReadInfoBlock() {
  PutCmd1(kCmdReadInfo);
  PutCmd1(kCmdReadReply);
  FlushCommands();
  UsbRead(gLink.ProgrammerInfo.data(), 64);
  if (gLink.ProgrammerInfo[0] != 'i') gLink.ProgrammerInfo.fill(0);
}

// No supply, ground or pin selected; VPP is left at 12 V (on every model but 6400) on no pin.
void SetIdleState() {
  SetFpgaReg27(true);
  SetVppVoltage(0);
  SelectHighVoltagePin(0);
  SetVccVoltage(0);
  SelectGndPin(0);
  SelectVppPin(0);
  SelectVccPin(0);
  SelectHighVoltagePin(0);
  FlushCommands();
}

}  // namespace

const char* const kUdevRuleCommand =
    "echo 'SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"5a3c\", "
    "TAG+=\"uaccess\"' | sudo tee /etc/udev/rules.d/70-zelvar.rules && sudo udevadm control "
    "--reload && sudo udevadm trigger";

int ModelFromName(const char* reply) {
  for (const auto& k : kModelKeys) {
    if (std::strncmp(reply, k.key, std::strlen(k.key)) == 0) return k.model;
  }
  return 0;
}

void InstallUsbDriver() {
  usb::UsbDriver* driver = usb::Driver();
  if (driver && driver->AccessDenied()) {
    const std::string text =
        std::string(
            "The programmer is attached but this user may not open it. Install the USB "
            "rule with this one command, then plug the programmer in again:\n") +
        kUdevRuleCommand +
        "*编程器已连接, 但当前用户无权打开它。请用以下命令安装USB规则, "
        "然后重新插入编程器:\n" +
        kUdevRuleCommand;
    ShowMessageText(text);
    return;
  }
  std::printf("USB access could not start: no USB device access on this system.\n");
}

namespace {

bool Connect() {
  gLink.DriverVersion = GetDriverVersion();
  if (gLink.DriverVersion < 2) {
    InstallUsbDriver();
    gLink.DriverVersion = GetDriverVersion();
  } else if (gLink.DriverVersion != usb::kExpectedDriverVersion) {
    ShowMessageText(
        "Warning,USB driver changed! *警告:USB设备驱动软件版本被更改！可能会影响USB的连接!");
  }
  gLink.ProgrammerName[0] = '\0';

  if (!FindProgrammer()) {
    ShowMessageText("Can not open the device! *不能打开设备!");
    return false;
  }
  if (!QueryModelName()) {
    AddMessageLine("Read Error! *读设备出错!");
    return false;
  }
  const char* reply = reinterpret_cast<const char*>(gLink.ScratchBuffer.data());
  gLink.ModelNumber = ModelFromName(reply);
  if (gLink.ModelNumber == 0) {
    AddMessageLine("Not find Zor programmer *没有找到Zor编程器!");
    return false;
  }
  std::memcpy(gLink.ProgrammerName, reply, 16);
  gLink.ProgrammerName[16] = '\0';

  ReadInfoBlock();
  SetIdleState();

  AddMessageLine(gLink.ProgrammerName);
  AddMessageLine("Connectting OK *连接正常");
  return true;
}

}  // namespace

bool ConnectProgrammer() {
  try {
    return Connect();
  } catch (const LinkFault&) {
    // The fault's line is written; the program runs off-line.
    return false;
  }
}

}  // namespace zelvar
