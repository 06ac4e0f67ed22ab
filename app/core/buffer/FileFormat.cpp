#include "app/core/buffer/FileFormat.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "app/core/buffer/BufferUi.h"
#include "app/core/buffer/HexText.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {

namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// S-record names other tools give their files: .s19, .s28, .s37, .srec, .mot, .sx.
bool SRecordExtension(const std::string& ext) {
  if (ext == ".SREC" || ext == ".MOT" || ext == ".SX") return true;
  return ext.size() >= 3 && ext[1] == 'S' &&
         std::all_of(ext.begin() + 2, ext.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

int SniffRecordFormat(std::string_view head) {
  std::size_t i = 0;
  while (i < head.size() &&
         (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) {
    ++i;
  }
  const std::string_view rest = head.substr(i);
  if (rest.size() >= 9 && rest[0] == ':' &&
      std::all_of(rest.begin() + 1, rest.begin() + 9, IsHexDigit)) {
    return 1;
  }
  if (rest.size() >= 8 && rest[0] == 'S' && rest[1] >= '0' && rest[1] <= '9' &&
      std::all_of(rest.begin() + 2, rest.begin() + 8, IsHexDigit)) {
    return 6;
  }
  return -1;
}

std::string FormatItemExt(int index) {
  if (index < 0 || index >= static_cast<int>(kFormatItems.size())) return "";
  const std::string text = kFormatItems[index];
  return UpperCase(text.substr(0, 4).substr(0, text.substr(0, 4).find(' ')));
}

void FileFormatModel::Prepare(const std::string& dataFileName, int startAddress) {
  caption = LocalText("File format*文件格式");
  okText = LocalText("OK*确 定");
  cancelText = LocalText("Cancel*放 弃");
  fillCaption = LocalText("Fill mode*预先填充方式");
  for (std::size_t i = 0; i < fillItems.size(); ++i) fillItems[i] = LocalText(kFillModeItems[i]);
  startLabel = LocalText("Buffer start(HEX) *缓冲区开始地址(十六进制)");

  char start[16];
  std::snprintf(start, sizeof start, "%05X", static_cast<unsigned>(startAddress));
  startText = start;

  laneIndex = 0;
  for (std::size_t i = 0; i < kLaneItems.size(); ++i) {
    if (kLaneItems[i].mask == gApp.LaneMask && kLaneItems[i].phase == gApp.LanePhase) {
      laneIndex = static_cast<int>(i);
      break;
    }
  }

  const std::string ext = UpperCase(FileExtension(dataFileName));
  formatIndex = -1;
  if (ext == ".S" || ext == ".S1" || ext == ".S2" || SRecordExtension(ext)) {
    formatIndex = 6;
  } else {
    const std::string cut = ext.substr(0, 4);
    for (std::size_t i = 0; i < kFormatItems.size(); ++i) {
      if (FormatItemExt(static_cast<int>(i)) == cut) {
        formatIndex = static_cast<int>(i);
        break;
      }
    }
  }
  // A name that names no format (none, ".txt", ".dat") or a record format: the first record tells
  // an Intel HEX file from an S-record file whatever it is called. A plain image is never second-
  // guessed.
  if (formatIndex < 0 || formatIndex == 1 || formatIndex == 6) {
    std::ifstream in(dataFileName, std::ios::binary);
    std::string head(256, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    const int sniffed = SniffRecordFormat(head);
    if (sniffed >= 0) formatIndex = sniffed;
  }
  if (formatIndex < 0) formatIndex = 0;
  ChooseFormat(formatIndex);
}

void FileFormatModel::ChooseFormat(int index) {
  formatIndex = index;
  ChosenExt = FormatItemExt(index);
  laneVisible = ChosenExt == ".BIN";
}

void FileFormatModel::ChooseLane(int index) {
  if (index < 0 || index >= static_cast<int>(kLaneItems.size())) return;
  laneIndex = index;
  gApp.LaneMask = kLaneItems[index].mask;
  gApp.LanePhase = kLaneItems[index].phase;
}

bool FileFormatModel::Accept() {
  const auto start = ParseHexNumber(startText);
  if (!start || *start > static_cast<unsigned long long>(kMaxLoadOffset)) {
    ShowMessageText("Out of range!");
    return false;
  }
  ChosenExt = FormatItemExt(formatIndex);
  gApp.LoadOffset = static_cast<std::int32_t>(*start);
  return true;
}

}  // namespace zelvar
