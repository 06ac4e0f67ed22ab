#include "app/core/buffer/FileFormat.h"

#include <cstdio>

#include "app/core/buffer/BufferUi.h"
#include "app/core/buffer/HexText.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {

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
  if (ext == ".S" || ext == ".S1" || ext == ".S2") {
    formatIndex = 6;
  } else {
    formatIndex = 0;
    const std::string cut = ext.substr(0, 4);
    for (std::size_t i = 0; i < kFormatItems.size(); ++i) {
      if (FormatItemExt(static_cast<int>(i)) == cut) {
        formatIndex = static_cast<int>(i);
        break;
      }
    }
  }
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
