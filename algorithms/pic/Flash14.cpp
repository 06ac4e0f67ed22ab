#include "algorithms/pic/Flash14.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/PicIcsp.h"
#include "services/Messages.h"

namespace zelvar::pic {

namespace {
constexpr const char* kBadCalibration =
    "Calibration word not valid, erase stopped! *校准字无效,停止擦除!";
constexpr const char* kRestoreFailed = "Calibration not restored! *校准字恢复失败!";
constexpr std::uint16_t kBandGap = 0x3000;
// CP, program memory code protection, active low (PIC12F629/675, PIC16F630/676 data sheets): a
// protected chip reads its program memory, calibration word included, as 0.
constexpr std::uint16_t kCodeProtectOff = 0x0080;

// The factory calibration word is a RETLW: 0x34 in its high byte.
bool IsRetlw(std::uint16_t w) {
  return (w & 0x3F00) == 0x3400;
}
}  // namespace

int Flash14Set::SetupVccMillivolts() const {
  const int vcc = ChipVccMillivolts();
  return vcc < 2500 ? 5000 : vcc;
}

void Flash14Set::BulkEraseStep(std::uint8_t command) const {
  Enter();
  Command(command);
  EraseTrailer();
  SuppliesOff();
}

void Flash14Set::EraseByChoice(bool ownEntry) const {
  if (ownEntry) Enter();
  EraseScope(static_cast<int>(Word(128)));
}

void Flash14Set::EraseScope(int scope) const {
  constexpr std::uint8_t kEraseProgram = 0x09, kEraseData = 0x0B;
  switch (scope) {
    case 0:
      BulkEraseStep(kEraseProgram);
      break;
    case 1:
      BulkEraseStep(kEraseData);
      break;
    case 2:
      BulkEraseStep(kEraseProgram);
      BulkEraseStep(kEraseData);
      break;
    default:
      break;
  }
}

bool Flash14Set::ChipErase(bool flushEach) const {
  Enter();
  SelectVccPin(row_.vccPin);
  SelectVppPin(row_.vppPin);
  InitFpgaReg20();
  if (!CheckPower()) return false;
  Command(0xF9);
  Load(0xF2, 0x3FFF);
  Command(0xF8);
  for (int i = 0; i < 3; ++i) {
    PutCmd1(pic_icsp::kCmdLongWait);
    if (flushEach) FlushCommands();
  }
  SuppliesOff();
  return true;
}

void Flash14Set::ToLastWord() const {
  for (std::int32_t i = 0; i < row_.lastAddress / 2; ++i) Command(Policy().codes.increment);
}

namespace {
std::uint16_t ReplyWord(const std::uint8_t* reply) {
  return static_cast<std::uint16_t>(reply[0] | (reply[1] & 0x3F) << 8);
}
}  // namespace

void Flash14Set::CalibratedErase(int scope) {
  if (scope < 0 || scope > 2) return;
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  // Both calibrations first, from a powered chip: the bulk erase takes them with the rest.
  if (!EnterChecked()) return;
  ToLastWord();
  FlushCommands();
  ReadCommand(Policy().codes.readProgram);
  ReadReply64(reply);
  const std::uint16_t calibration = ReplyWord(reply);
  std::uint16_t words[8];
  ReadConfigSpace(0x00FF, words);
  const std::uint16_t config = words[7];
  SuppliesOff();
  // A second read from a fresh entry: a word that changes between reads is not the chip's.
  Enter();
  ToLastWord();
  FlushCommands();
  ReadCommand(Policy().codes.readProgram);
  ReadReply64(reply);
  const std::uint16_t again = ReplyWord(reply);
  SuppliesOff();
  // A word that is no RETLW (an erased chip, a failed read) would be written back as the chip's
  // calibration: keep the chip as it is.
  std::uint16_t keep = calibration;
  if (!IsRetlw(calibration) || again != calibration) {
    // Code protection hides the calibration word. The way back is the word the user keeps for
    // this chip: the buffer's last word (typed there, or read before the chip was protected).
    const auto last = static_cast<std::size_t>(row_.lastAddress);
    const auto fromBuffer = static_cast<std::uint16_t>(buffer_[last - 1] | buffer_[last] << 8);
    char question[320];
    std::snprintf(question, sizeof question,
                  "The chip is code-protected: its calibration word cannot be read.\n"
                  "Erase it and write %04X from the buffer's last word as its calibration?*"
                  "芯片已加密, 不能读出校准字.\n擦除芯片并把缓冲区最后一个字 %04X 写为校准字?",
                  fromBuffer, fromBuffer);
    const bool protectedChip = (config & kCodeProtectOff) == 0;
    if (protectedChip) {
      AddMessageLine(
          "The chip is code-protected: its calibration word reads 0.*芯片已加密: 校准字读出为0.");
    }
    if (!protectedChip || !IsRetlw(fromBuffer) || !AskYesNo(question)) {
      if (protectedChip) {
        AddMessageLine(
            "Put the chip's calibration word (34xx) in the buffer's last word, then Erase again."
            "*请在缓冲区最后一个字填入芯片的校准字(34xx), 然后再擦除.");
      }
      AddMessageLine(kBadCalibration);
      gLink.StatusWord = 1;
      return;
    }
    keep = fromBuffer;
  }
  const bool unprotect = keep != calibration;
  char line[64];
  std::snprintf(line, sizeof line, "OSCCAL = %04X, BG = %X saved", keep, (config & kBandGap) >> 12);
  AddMessageLine(line);
  if (unprotect) {
    // Only a bulk erase from configuration space clears the code protection (with everything).
    Enter();
    Load(Policy().codes.loadConfig, 0x3FFF);
    Command(0x09);
    EraseTrailer();
    SuppliesOff();
    if (HasData()) BulkEraseStep(0x0B);
  } else if (!HasData()) {
    if (!ChipErase(true)) return;
  } else {
    EraseScope(scope);
  }
  Enter();
  ToLastWord();
  ProgramWord(keep);
  SuppliesOff();
  Enter();
  Load(Policy().codes.loadConfig, 0x3FFF);
  for (int i = 0; i < 7; ++i) ProgramWord(0x3FFF);
  // Bits 0-11 erased: the band-gap bits 12 and 13 as they were.
  ProgramWord(static_cast<std::uint16_t>(config | 0x0FFF));
  SuppliesOff();
  // Read both back.
  Enter();
  ToLastWord();
  FlushCommands();
  ReadCommand(Policy().codes.readProgram);
  ReadReply64(reply);
  const std::uint16_t restored = ReplyWord(reply);
  ReadConfigSpace(0x00FF, words);
  SuppliesOff();
  if (restored == keep && (words[7] & kBandGap) == (config & kBandGap)) return;
  AddMessageLine(kRestoreFailed);
  gLink.StatusWord = 1;
  gLink.FailAddress = static_cast<std::uint32_t>(row_.lastAddress - 1);
  gLink.FailByte = restored & 0xFF;
}

void Flash14Set::CalibratedConfig() {
  keptId_ = static_cast<std::uint16_t>(Word(64));
  if (!EnterChecked()) return;
  std::uint16_t words[8];
  ReadConfigSpace(0x00FF, words);
  // The band-gap bits are the chip's factory calibration, whatever the grid holds.
  const auto config =
      static_cast<std::uint16_t>((ConfigWord() & ~kBandGap) | (words[7] & kBandGap));
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x ", config);
  AddMessageLine(line);
  Load(Policy().codes.loadConfig, 0x3FFF);
  WriteIds(keptId_);
  for (int i = 0; i < 3; ++i) ProgramWord(0x3FFF);
  ProgramWord(config);
  keptConfig_ = config;
  SuppliesOff();
  ConfigReadsBack(config);
}

}  // namespace zelvar::pic
