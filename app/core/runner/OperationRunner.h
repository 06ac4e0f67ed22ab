#pragma once
// Everything the main window does when the user starts a chip operation: chip set-up through the
// chosen set's dispatcher, the nine single-operation buttons, Go, the completion count and Run
// (auto-programming). All of it runs synchronously on the caller's thread.
#include <cstdint>
#include <string>
#include <vector>

#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/RunnerPorts.h"

namespace zelvar {

inline constexpr int kLastModelWithoutRun = 411;

// The Go and Run buttons after a chip set-up.
struct RunButtonStates {
  bool GoEnabled = false;
  bool RunEnabled = false;
  bool RunVisible = false;
};

// The status bar's text: the chosen chip's title and the completion count.
std::string ChipStatusLine();

// True for a project file name: the extension ".zor" in any case.
bool IsProjectFile(const std::string& fileName);

class OperationRunner {
 public:
  OperationRunner(ChipUiModel& ui, AutoProgrammer& autoPro);
  RunnerPorts& ports() { return ports_; }

  // After chip selection bound gApp.CurrentDispatcher: operations 1, 2, 3, the InfoRecord
  // transfer and the chip controls built from the describe list.
  void SetupChosenChip();

  // The nine operation buttons.
  void ReadClick();
  void EraseClick();
  void BlankClick();
  void WriteClick();
  void VerifyClick();
  void ConfigClick();
  void ProtectClick();
  void IdClick();
  void ReadConfigClick();
  // The button of operation `code` (21 .. 29).
  void OperationClick(int code);

  void GoClick();
  void RunClick();
  // A pass's end: beeps, and for a passing one the count and, when the pass wrote the buffer to
  // the chip (`programmed`), the stamps for the next chip.
  void CountCompletion(int status, bool programmed = true);
  int RunAutoProgramming(std::uint32_t groundPin, std::uint32_t a, std::uint32_t b,
                         std::uint32_t maskLow, std::uint32_t maskHigh);

  RunButtonStates ButtonStates() const;
  std::string StatusLineText() const;

 private:
  bool BeginOperation();
  bool ContactPassed();
  // Runs `code` on `buffer` and `options` (the code buffer and OptionValues when nullptr); a
  // fault ends it with StatusWord 1.
  std::uint8_t CallOperation(int code, std::uint8_t* buffer = nullptr,
                             std::int32_t* options = nullptr);
  bool Succeeded() const;
  void SwitchOffAfterFailure();
  // A failure's end: supplies off, progress window closed, the red result line.
  void EndFailed();
  void SingleOperation(int code, bool showResult);
  // Asks before a fuse write that would lock the chip out or stop it (FuseWriteRisks); false
  // when the user said No.
  bool ConfirmFuseWrite();
  // ConfirmFuseWrite when WrFuse is among the ticked Go steps.
  bool ConfirmTickedFuseWrite();
  // Runs the ticked Go steps; true when one of them wrote the buffer to the chip.
  bool RunSequence();
  bool AnyStepTicked() const;
  bool RefuseModifiedProject();

  ChipUiModel& ui_;
  AutoProgrammer& auto_;
  RunnerPorts ports_;
  // Read's copy of the buffer, kept between reads so that each read reuses its memory.
  std::vector<std::uint8_t> readScratch_;
};

}  // namespace zelvar
