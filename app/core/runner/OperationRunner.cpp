#include "app/core/runner/OperationRunner.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "link/Bitstream.h"
#include "link/LinkFault.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar {

namespace {

constexpr const char* kNoChipText = "No chip selected! *还没有选择器件！";

std::string Format(const char* pattern, const std::string& text) {
  char out[256];
  std::snprintf(out, sizeof out, pattern, text.c_str());
  return out;
}

std::string Format(const char* pattern, int value) {
  char out[256];
  std::snprintf(out, sizeof out, pattern, value, value);
  return out;
}

std::string RunCaption(int passes) {
  return Format(ChineseTexts ? "已经完成:    %d" : "Complete:    %d", passes);
}

std::uint32_t GroundPinWord() {
  return static_cast<std::uint32_t>(gApp.GroundPin);
}
std::uint32_t MaskLow() {
  return static_cast<std::uint32_t>(gApp.PinMask);
}
std::uint32_t MaskHigh() {
  return static_cast<std::uint32_t>(gApp.PinMask >> 32);
}

// Calls a set-up operation; a link fault ends only that call.
bool SetupCall(int op, std::int32_t* record) {
  try {
    gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), record, &gApp.ChipUiList);
    return true;
  } catch (const OperationFault&) {
    return false;
  }
}

}  // namespace

bool IsProjectFile(const std::string& fileName) {
  const auto slash = fileName.find_last_of("/\\");
  const auto dot = fileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = fileName.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".zor";
}

namespace {
// Every code byte the same (a locked chip reads as all 1s or all 0s).
bool UniformCode() {
  const auto last = std::min<std::int64_t>(gApp.CodeLastAddress,
                                           static_cast<std::int64_t>(gApp.CodeBuffer.size()) - 1);
  if (last < 1) return false;
  const auto end = gApp.CodeBuffer.begin() + last + 1;
  return std::all_of(gApp.CodeBuffer.begin(), end,
                     [first = gApp.CodeBuffer[0]](std::uint8_t b) { return b == first; });
}
}  // namespace

OperationRunner::OperationRunner(ChipUiModel& ui, AutoProgrammer& autoPro)
    : ui_(ui), auto_(autoPro) {
  ports_.CheckPinContact = &CheckPinContact;
  ports_.ShowOperationName = &ShowOperationName;
  ports_.ShowOperationResult = [](int status) {
    ShowOperationResult(status, gLink.FailAddress, gLink.FailByte);
  };
  ports_.ShowProgress = &ShowProgress;
}

void OperationRunner::SetupChosenChip() {
  if (!gApp.CurrentDispatcher) {
    ShowMessageText(kNoChipText);
    return;
  }
  gApp.OptionValues.fill(0);
  // Entries a previous set wrote must not show through a shorter list.
  gApp.ChipUiList.assign(kChipUiListSize, std::string());
  gLink.StatusWord = 0;
  bool faulted = !SetupCall(kOpSetup, gApp.InfoRecord.data());
  // A set refuses a row it cannot run (a size or package it does not take) with status 1.
  const bool refused = !faulted && gLink.StatusWord != 0;
  faulted |= !SetupCall(kOpDescribe, gApp.InfoRecord.data());
  faulted |= !SetupCall(kOpOptions, gApp.OptionValues.data());

  const auto& info = gApp.InfoRecord;
  // The buffer's last address comes only from a row the set took, and must lie in the buffer.
  if (!refused && info[0] >= 0 && static_cast<std::uint32_t>(info[0]) < kCodeBufferSize - 1) {
    gApp.CodeLastAddress = info[0];
  }
  gApp.GroundPin = info[5];
  // Word 7 holds the mask divided by 2^31, word 6 its low 32 bits: bit 31 (pin 32) is in both.
  gApp.PinMask = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(info[7])) << 31) +
                 (static_cast<std::uint32_t>(info[6]) & 0x7FFFFFFFu);

  ReadChipUiList(ui_, gApp.ChipUiList, info[3]);
  CallPort(ports_.ShowStatusLine, StatusLineText());
  gApp.ProjectModified = 4;
  CallPort(ports_.ChipUiChanged);
  CallPort(ports_.ShowBuffer);
  if (faulted) SwitchOffAfterFailure();
}

bool OperationRunner::BeginOperation() {
  gLink.AutoRunFlag = 0;
  if (gApp.CurrentDispatcher) return true;
  ShowMessageText(kNoChipText);
  return false;
}

bool OperationRunner::ContactPassed() {
  if (!ports_.CheckPinContact) return false;
  try {
    return ports_.CheckPinContact(GroundPinWord(), 0, 0, MaskLow(), MaskHigh()) != 0;
  } catch (const OperationFault&) {
    // The test had its supplies on: it ends as any failed operation does.
    gLink.StatusWord = 1;
    EndFailed();
    return false;
  }
}

std::uint8_t OperationRunner::CallOperation(int code, std::uint8_t* buffer, std::int32_t* options) {
  // Many sets never clear the status on success: a stale failure must not judge this call.
  gLink.StatusWord = 0;
  try {
    return gApp.CurrentDispatcher(code, buffer ? buffer : gApp.CodeBuffer.data(),
                                  options ? options : gApp.OptionValues.data(), nullptr);
  } catch (const OperationFault&) {
    gLink.StatusWord = 1;
    return 1;
  }
}

bool OperationRunner::Succeeded() const {
  return gLink.StatusWord == 0;
}

void OperationRunner::SwitchOffAfterFailure() {
  // Many sets leave VCC or VPP on when they fail.
  if (gLink.StatusWord == 0) return;
  try {
    PowerOff();
  } catch (const OperationFault&) {
  }
  try {
    ReleaseSocket();
  } catch (const OperationFault&) {
  }
}

void OperationRunner::EndFailed() {
  SwitchOffAfterFailure();
  CallPort(ports_.ShowProgress, -1);
  CallPort(ports_.ShowOperationResult, gLink.StatusWord);
}

void OperationRunner::SingleOperation(int code, bool showResult) {
  if (!BeginOperation() || !ContactPassed()) return;
  CallPort(ports_.ShowOperationName, code);
  CallOperation(code);
  SwitchOffAfterFailure();
  // However it ended: a failed step leaves the window at its last position otherwise.
  CallPort(ports_.ShowProgress, -1);
  if (showResult) CallPort(ports_.ShowOperationResult, gLink.StatusWord);
}

void OperationRunner::ReadClick() {
  if (!BeginOperation()) return;
  gLink.StatusWord = 0;
  if (!ContactPassed()) return;
  CallPort(ports_.ShowOperationName, kOpRead);
  // A failed read changes nothing the user owns: code, data and configuration are read into
  // copies that replace the buffer and the options only when every step succeeded.
  readScratch_.assign(gApp.CodeBuffer.begin(), gApp.CodeBuffer.end());
  auto options = gApp.OptionValues;
  CallOperation(kOpRead, readScratch_.data(), options.data());
  if (Succeeded() && gApp.InfoRecord[1] >= 1 && gApp.InfoRecord[2] >= 1) {
    CallOperation(kOpReadData, readScratch_.data(), options.data());
  }
  const bool readConfig = ui_.OperationAllowed(kOpReadConfig);
  if (Succeeded() && readConfig) CallOperation(kOpReadConfig, readScratch_.data(), options.data());
  SwitchOffAfterFailure();
  CallPort(ports_.ShowProgress, -1);
  if (Succeeded()) {
    gApp.CodeBuffer.swap(readScratch_);
    gApp.OptionValues = options;
    if (readConfig) {
      OptionValuesToGrid(ui_);
      CallPort(ports_.ChipUiChanged);
    }
    CallPort(ports_.ShowBuffer);
    gApp.ProjectModified = 16;
    if (readConfig && LockBitsProgrammed(ui_) && UniformCode()) {
      AddColouredLine(kRed,
                      "The chip's lock bits are programmed: what was read is not its contents.*"
                      "芯片的加密位已编程: 读出的不是芯片的内容.");
    }
  }
  CallPort(ports_.ShowOperationResult, gLink.StatusWord);
}

void OperationRunner::EraseClick() {
  if (!BeginOperation() || !ContactPassed()) return;
  CallPort(ports_.ShowOperationName, kOpErase);
  CallOperation(kOpErase);
  if (Succeeded()) {
    CallPort(ports_.ShowOperationName, kOpBlank);
    CallOperation(kOpBlank);
  }
  SwitchOffAfterFailure();
  CallPort(ports_.ShowProgress, -1);
  CallPort(ports_.ShowOperationResult, gLink.StatusWord);
}

void OperationRunner::BlankClick() {
  SingleOperation(kOpBlank, true);
}
void OperationRunner::WriteClick() {
  SingleOperation(kOpWrite, true);
}
void OperationRunner::VerifyClick() {
  SingleOperation(kOpVerify, true);
}
void OperationRunner::ConfigClick() {
  if (!ConfirmFuseWrite()) return;
  SingleOperation(kOpConfig, true);
}

bool OperationRunner::ConfirmFuseWrite() {
  const std::vector<std::string> risks = FuseWriteRisks(ui_);
  if (risks.empty()) return true;
  std::string english, chinese;
  for (const std::string& r : risks) {
    const auto star = r.find('*');
    english += r.substr(0, star) + "\n";
    chinese += r.substr(star + 1) + "\n";
  }
  if (AskYesNo(english + "\nWrite these fuses?*" + chinese + "\n确定写入这些熔丝位?")) return true;
  AddMessageLine("Fuse write cancelled.*熔丝位写入已取消.");
  return false;
}
void OperationRunner::ProtectClick() {
  SingleOperation(kOpLock, true);
}
// The set writes the ID line itself.
void OperationRunner::IdClick() {
  SingleOperation(kOpReadId, false);
}

void OperationRunner::ReadConfigClick() {
  if (!BeginOperation() || !ContactPassed()) return;
  CallPort(ports_.ShowOperationName, kOpReadConfig);
  // The options change only when the whole read succeeded.
  auto options = gApp.OptionValues;
  CallOperation(kOpReadConfig, nullptr, options.data());
  if (Succeeded()) {
    gApp.OptionValues = options;
    OptionValuesToGrid(ui_);
    CallPort(ports_.ChipUiChanged);
  }
  SwitchOffAfterFailure();
  CallPort(ports_.ShowConfigTab);
  CallPort(ports_.ShowProgress, -1);
  gApp.ProjectModified = 16;
  CallPort(ports_.ShowOperationResult, gLink.StatusWord);
}

void OperationRunner::OperationClick(int code) {
  switch (code) {
    case kOpErase:
      return EraseClick();
    case kOpBlank:
      return BlankClick();
    case kOpWrite:
      return WriteClick();
    case kOpVerify:
      return VerifyClick();
    case kOpConfig:
      return ConfigClick();
    case kOpLock:
      return ProtectClick();
    case kOpRead:
      return ReadClick();
    case kOpReadId:
      return IdClick();
    case kOpReadConfig:
      return ReadConfigClick();
    default:
      return;
  }
}

bool OperationRunner::RunSequence() {
  gLink.StatusWord = 0;
  bool programmed = false;
  for (std::size_t i = 0; i < gApp.GoOpCodes.size(); ++i) {
    if (!ui_.GoGroup.GetChecked(static_cast<int>(i)) || gLink.StatusWord != 0) continue;
    const int code = gApp.GoOpCodes[i];
    CallPort(ports_.ShowOperationName, code);
    const std::uint8_t result = CallOperation(code);
    gLink.StatusWord = result != 0 ? 1 : 0;
    programmed |= code == kOpWrite || code == kOpWriteData;
  }
  SwitchOffAfterFailure();
  return programmed;
}

bool OperationRunner::AnyStepTicked() const {
  for (std::size_t i = 0; i < gApp.GoOpCodes.size(); ++i) {
    if (ui_.GoGroup.GetChecked(static_cast<int>(i))) return true;
  }
  return false;
}

bool OperationRunner::ConfirmTickedFuseWrite() {
  for (std::size_t i = 0; i < gApp.GoOpCodes.size(); ++i) {
    if (gApp.GoOpCodes[i] == kOpConfig && ui_.GoGroup.GetChecked(static_cast<int>(i)))
      return ConfirmFuseWrite();
  }
  return true;
}

void OperationRunner::GoClick() {
  if (!BeginOperation() || !ConfirmTickedFuseWrite()) return;
  AddMessageLine("Start go...*开始运行...");
  if (!ContactPassed()) return;
  StartRunTimer();
  const bool programmed = RunSequence();
  if (!Succeeded()) {
    CallPort(ports_.ShowOperationResult, gLink.StatusWord);
    // The failed step's progress window would otherwise stay on screen at its last position.
    CallPort(ports_.ShowProgress, -1);
  } else {
    CallPort(ports_.ShowProgress, -1);
    AddMessageLine(Format(
        ChineseTexts ? "正常结束,  这次操作用时%s秒" : "Complete,  the work expend %s second.",
        ElapsedRunTime()));
    if (IsProjectFile(gApp.ProjectFileName) && gApp.ProjectModified != 0) {
      AddColouredLine(kGreen, "Warnning:  Project modified!*提示:  项目有修改!");
    }
  }
  CountCompletion(gLink.StatusWord, programmed);
}

void OperationRunner::CountCompletion(int status, bool programmed) {
  if (status != 0) {
    services().Beep(BeepKind::Error);
    return;
  }
  services().Beep(BeepKind::Success);
  services().Beep(BeepKind::Tone300Hz);
  ++gApp.CompletedCount;
  auto_.SetCaption(RunCaption(gApp.CompletedCount));
  CallPort(ports_.ShowStatusLine, StatusLineText());
  // The stamps number the chips programmed: a pass that wrote nothing takes no number.
  if (gApp.InfoRecord[4] == 0 && programmed) {
    // The program's own stamp is no user edit: Run must accept its own project next time.
    const int modified = gApp.ProjectModified;
    CallPort(ports_.ApplyStamps, true);
    gApp.ProjectModified = modified;
  }
}

bool OperationRunner::RefuseModifiedProject() {
  if (!IsProjectFile(gApp.ProjectFileName) || gApp.ProjectModified == 0) return false;
  services().Beep(BeepKind::Error);
  switch (gApp.ProjectModified) {
    case 1:
      ShowMessageText(
          "Buffer modified!\nReopen project please.*缓冲区被修改!\n要重新打开项目才能烧录。");
      break;
    case 2:
      ShowMessageText(
          "Config modified!\nReopen project please.*配置被修改!\n要重新打开项目才能烧录。");
      break;
    case 4:
      ShowMessageText(
          "Setings modified!\nReopen project please.*设置被修改!\n要重新打开项目才能烧录。");
      break;
    default:
      break;
  }
  AddColouredLine(
      kRed,
      "Project "
      "modified!*为了防止错误操作，修改过的项目(*.zor文件)不能再烧录，要重新装载才能继续烧录。");
  return true;
}

void OperationRunner::RunClick() {
  CallPort(ports_.CentreAutoDialog);
  if (RefuseModifiedProject()) return;
  if ((LoadedBitstream() == kNoBitstream && gLink.ModelNumber > kLastModelWithoutRun) ||
      !gApp.CurrentDispatcher) {
    ShowMessageText(kNoChipText);
    return;
  }
  // With nothing ticked every pass would count a chip that nothing was done to.
  if (!AnyStepTicked()) {
    ShowMessageText("No operation ticked!*没有选择要执行的操作!");
    return;
  }
  if (!ConfirmTickedFuseWrite()) return;
  gLink.AutoRunFlag = 1;
  // The dialog counts the chips this Run completed; the status line keeps the running total.
  int passes = 0;
  auto_.SetCaption(RunCaption(passes));
  for (;;) {
    // The chip in the socket when Run starts was not programmed by it.
    auto_.FirstWait = passes == 0;
    if (RunAutoProgramming(GroundPinWord(), 0, 0, MaskLow(), MaskHigh()) == 0) {
      gLink.AutoRunFlag = 0;
      return;
    }
    AddMessageLine(
        Format("Start running of %d ...*连续运行,编程第%d片...", gApp.CompletedCount + 1));
    const bool programmed = RunSequence();
    CountCompletion(gLink.StatusWord, programmed);
    if (Succeeded()) auto_.SetCaption(RunCaption(++passes));
    if (!Succeeded()) {
      CallPort(ports_.ShowOperationResult, gLink.StatusWord);
      // As Go: the failed step's progress window would stay on screen at its last position.
      CallPort(ports_.ShowProgress, -1);
      return;
    }
    CallPort(ports_.ShowProgress, -1);
    AddMessageLine("Complete*正常结束");
  }
}

int OperationRunner::RunAutoProgramming(std::uint32_t groundPin, std::uint32_t a, std::uint32_t b,
                                        std::uint32_t maskLow, std::uint32_t maskHigh) {
  if (gLink.AutoRunFlag == 0) return 0;
  auto_.Start(groundPin, a, b, maskLow, maskHigh);
  CallPort(ports_.ShowAutoDialog);
  auto_.FormClosed();
  return auto_.RunResult;
}

RunButtonStates OperationRunner::ButtonStates() const {
  return {gLink.ModelNumber > 0, gApp.InfoRecord[6] != 0, gLink.ModelNumber > kLastModelWithoutRun};
}

std::string ChipStatusLine() {
  return gApp.ChipTitle + "  Counter:" + std::to_string(gApp.CompletedCount);
}

std::string OperationRunner::StatusLineText() const {
  return ChipStatusLine();
}

}  // namespace zelvar
