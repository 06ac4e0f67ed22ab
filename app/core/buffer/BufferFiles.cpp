#include "app/core/buffer/BufferFiles.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/core/buffer/BufferReaders.h"
#include "app/core/buffer/BufferUi.h"
#include "app/core/buffer/FileFormat.h"
#include "app/core/buffer/HexText.h"
#include "app/core/pld/PldFiles.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

extern char** environ;

namespace zelvar {
namespace {

bool ProjectOpen() {
  return UpperCase(FileExtension(gApp.ProjectFileName)) == ".ZOR";
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string InProgramDir(const std::string& name) {
  std::string dir = gApp.ProgramDir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir + name;
}

// A ".CDS" image starts with two bytes that are not chip data: move the loaded range down by two,
// never reading or writing outside the buffer.
void DropCdsHeader() {
  const std::int64_t first = gApp.LoadOffset;
  const std::int64_t last = gApp.LoadedLastAddress;
  if (last < first || first < 0) return;
  auto& buf = gApp.CodeBuffer;
  const std::int64_t top = static_cast<std::int64_t>(buf.size()) - 1;
  for (std::int64_t i = first; i <= last && i + 2 <= top; ++i)
    buf[static_cast<std::size_t>(i)] = buf[static_cast<std::size_t>(i + 2)];
  gApp.LoadedLastAddress = static_cast<std::int32_t>(std::max(first - 1, last - 2));
}

}  // namespace

namespace {

// What a load may change before it knows whether the whole file was read.
struct LoadSnapshot {
  std::vector<std::uint8_t> buffer = gApp.CodeBuffer;
  std::string fileName = gApp.DataFileName;
  std::string fileExt = gApp.DataFileExt;
  std::int32_t loadOffset = gApp.LoadOffset;
  std::int32_t loadedLast = gApp.LoadedLastAddress;
  std::int32_t codeLast = gApp.CodeLastAddress;
  AppState::Range viewRange = gApp.ViewRange;

  void Restore() {
    gApp.CodeBuffer.swap(buffer);
    gApp.DataFileName = fileName;
    gApp.DataFileExt = fileExt;
    gApp.LoadOffset = loadOffset;
    gApp.LoadedLastAddress = loadedLast;
    gApp.CodeLastAddress = codeLast;
    gApp.ViewRange = viewRange;
  }
};

// A chip is chosen: its code ends at CodeLastAddress and its data area (when it has one) lies at
// InfoRecord words 1 and 2. Data loaded past both would never reach the chip, so say so: a 128 KiB
// image for a 64 KiB chip, or a HEX file placed above the chip, must not look like a good load.
void WarnBeyondChip() {
  if (gApp.ChipName.empty() || gApp.CodeLastAddress < 1) return;
  const std::int64_t last = gApp.LoadedLastAddress;
  if (last <= gApp.CodeLastAddress) return;
  const std::int64_t dataStart = gApp.InfoRecord[1];
  const std::int64_t dataLength = gApp.InfoRecord[2];
  if (dataStart > 0 && dataLength > 0 && last >= dataStart && last < dataStart + dataLength) {
    return;
  }
  char text[200];
  std::snprintf(text, sizeof text,
                "Warning: the file has data beyond the chip's last address %X (up to %X)!*"
                "提示: 文件的数据超出了器件的最后地址 %X (到 %X)!",
                static_cast<unsigned>(gApp.CodeLastAddress), static_cast<unsigned>(last),
                static_cast<unsigned>(gApp.CodeLastAddress), static_cast<unsigned>(last));
  ShowMessageText(text);
}

// Where a HEX file of the chosen chip holds its configuration words (the 14-bit PICs' 2007h and
// 2008h as byte addresses 400Eh and 4010h, low byte first); their option words are 0 and 1.
std::array<std::int64_t, 2> ConfigWordsInFile() {
  static constexpr const char* k14Bit[] = {"P16F628A", "PIC16F630", "PIC12F6XX", "PIC12F",
                                           "PIC16F",   "PIC16FEE",  "PIC1687XA", "P16F7X"};
  const std::string& key = gApp.AlgorithmKey;
  if (key == "PIC16F882") return {0x400E, 0x4010};
  for (const char* k : k14Bit) {
    if (key == k) return {0x400E, -1};
  }
  return {-1, -1};
}

// Takes the configuration words that the file just read carried into the option words, so that
// Config writes the file's choices rather than the grid's.
void TakeConfigWordsFromFile(const std::array<std::int64_t, 2>& at) {
  bool changed = false;
  for (int k = 0; k < 2; ++k) {
    if (at[static_cast<std::size_t>(k)] < 0 || !LoadWatchHit(k)) continue;
    const auto i = static_cast<std::size_t>(at[static_cast<std::size_t>(k)]);
    const int word = (gApp.CodeBuffer[i] | gApp.CodeBuffer[i + 1] << 8) & 0x3FFF;
    gApp.OptionValues[static_cast<std::size_t>(k)] = word;
    char line[96];
    std::snprintf(line, sizeof line,
                  "Configuration word %d = %04X, from the file.*配置字 %d = %04X, 取自文件.", k + 1,
                  word, k + 1, word);
    AddMessageLine(line);
    changed = true;
  }
  if (changed) bufferUi().OptionWordsChanged();
}

bool ReadChosenFormat(const std::string& ext) {
  if (ext == ".HEX" || ext == ".MHX") return ReadIntelHexFile();
  if (ext == ".BIN") return ReadBinaryFile(gApp.LaneMask, gApp.LanePhase);
  if (ext == ".CDS") {
    if (!ReadBinaryFile(0, 0)) return false;
    DropCdsHeader();
    return true;
  }
  if (ext == ".S") return ReadSRecordFile();
  return false;
}

}  // namespace

void LoadBufferFile(const std::string& path, int startAddress) {
  BufferUi& ui = bufferUi();
  const std::string ext = UpperCase(FileExtension(path));
  if (ext == ".ZOR") {
    // A refused project leaves the file names and the recent list as they were.
    if (ui.LoadProjectFile(path)) ui.UpdateRecentMenu(path);
    return;
  }
  if (ext == ".JED" || ext == ".SVF") {
    gApp.DataFileName = path;
    gApp.DataFileExt = ext;
    return ext == ".JED" ? ShowJedecFile(path) : ShowSvfFile(path);
  }

  // All or nothing: a cancelled, refused or unreadable file leaves the buffer, the file name, the
  // caption and the recent list as they were, so that Write cannot program a half-loaded image.
  LoadSnapshot before;
  gApp.DataFileName = path;
  gApp.DataFileExt = ext;
  FileFormatModel format;
  format.Prepare(path, startAddress);
  ui.AskFileFormat(format);
  gApp.DataFileExt = format.ChosenExt;
  // A configuration word belongs to the whole image: a file loaded at another start carries none.
  const auto configAt = startAddress == 0 && gApp.LoadOffset == 0
                            ? ConfigWordsInFile()
                            : std::array<std::int64_t, 2>{-1, -1};
  SetLoadWatch(configAt);
  const bool read = !format.ChosenExt.empty() && ReadChosenFormat(format.ChosenExt);
  SetLoadWatch({-1, -1});
  if (!read) {
    before.Restore();
    ui.ShowBuffer();
    return;
  }
  TakeConfigWordsFromFile(configAt);
  ui.ShowBuffer();
  ui.SetFrameCaption(path);
  ui.UpdateRecentMenu(path);
  gApp.ProjectModified = 1;
  WarnBeyondChip();
}

void LoadDataArea(const std::string& path) {
  if (gApp.InfoRecord[1] < 1) {
    ShowMessageText("This chip has not data segment!*这个器件没有数据段！");
    return;
  }
  gApp.FillMode = 0;
  LoadBufferFile(path, gApp.InfoRecord[1]);
  bufferUi().ShowDataArea();
}

SaveProposal ProposeSave() {
  SaveProposal p;
  const std::string base = !gApp.DataFileName.empty()      ? gApp.DataFileName
                           : !gApp.ProjectFileName.empty() ? gApp.ProjectFileName
                                                           : "Noname";
  const std::string ext = UpperCase(FileExtension(base));
  p.filterIndex = ext == ".HEX" ? 2 : ext == ".JED" ? 3 : 1;
  // The name of the file the buffer came from would be overwritten by one click: offer the first
  // free "name_N" beside it instead.
  p.fileName = base;
  const std::string extension = FileExtension(base);
  const std::string stem = base.substr(0, base.size() - extension.size());
  for (int n = 1; FileExists(p.fileName) && n < 1000; ++n)
    p.fileName = stem + "_" + std::to_string(n) + extension;
  return p;
}

int SaveFormat(const std::string& typed, int filterIndex) {
  const std::string ext = UpperCase(FileExtension(typed));
  if (ext == ".BIN") return 1;
  if (ext == ".HEX") return 2;
  if (ext == ".JED") return 3;
  return filterIndex == 2 || filterIndex == 3 ? filterIndex : 1;
}

std::string SaveFileName(const std::string& typed, int filterIndex) {
  const int format = SaveFormat(typed, filterIndex);
  const char* ext = format == 2 ? ".HEX" : format == 3 ? ".JED" : ".BIN";
  return UpperCase(FileExtension(typed)) == ext ? typed : ChangeFileExt(typed, ext);
}

bool SaveBuffer(const std::string& fileName, int chosenFilter) {
  bool ok = false;
  const int filterIndex = SaveFormat(fileName, chosenFilter);
  gApp.DataFileName = SaveFileName(fileName, filterIndex);
  if (filterIndex == 2) {
    ok = WriteIntelHexFile();
  } else if (filterIndex == 3) {
    ok = SavePldJedec(gApp.DataFileName);
  } else {
    ok = WriteBinaryFile();
  }
  if (ok) bufferUi().UpdateRecentMenu(gApp.DataFileName);
  return ok;
}

void ShowJedecFile(const std::string& path) {
  const int kind = gApp.InfoRecord[3];
  if (kind != 1 && kind != 2) {
    ShowMessageText("Select device first and then load file!*要先选择器件，然后打开文件!");
    return;
  }
  if (!LoadJedecDocument(kind, path)) return;
  gApp.ProjectModified |= 1;
  bufferUi().ShowJedecWindow(kind, path);
}

void ShowSvfFile(const std::string& path) {
  if (!LoadSvfDocument(path)) return;
  gApp.ProjectModified |= 1;
  bufferUi().ShowSvfWindow(path);
}

int CheckCdsExtension() {
  if (!ProjectOpen() && UpperCase(FileExtension(gApp.DataFileName)) != ".CDS")
    AddMessageLine(
        "Warning: The file is not .CDS format!*提示: 文件不是*.CDS,烧写以后可能不能运行!");
  return 1;
}

// Linux has no short names, and the converters get their paths as separate arguments, so a
// directory of any name is fine. The converters still derive their output names from the file
// name in the old 8.3 form, so that name must be 1 to 8 characters, a dot and up to 3, of letters,
// digits and '_' or '-'; no control character may stand anywhere in the path.
int CheckShortPath(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = name.find('.');
  const std::string base = name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  auto plain = [](const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) {
      return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
             c == '_' || c == '-';
    });
  };
  const bool control =
      std::any_of(path.begin(), path.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
  const bool usable = !control && !base.empty() && base.size() <= 8 && ext.size() <= 3 &&
                      plain(base) && plain(ext) && base[0] != '-';
  if (usable) return 0;
  services().MessageBox(
      path +
      LocalText(
          "File name error!(must be 8.3 format)*不能包含长文件名或者路径名!!!\n必须符合8.3格式。\n"
          "文件名/文件夹不能超过8字节，\n扩展名不能超过3字节！"));
  return 1;
}

int RunProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ConvertHexToObj() {
  RunProgram(InProgramDir("HEX8MOBJ.exe"), {ChangeFileExt(gApp.DataFileName, "")});
  return 1;
}

int ConvertObjToBin() {
  const std::string bin = ChangeFileExt(gApp.DataFileName, ".BIN");
  ::unlink(bin.c_str());
  RunProgram(InProgramDir("CP2MDT.exe"), {ChangeFileExt(gApp.DataFileName, ".OBJ"), bin});
  if (FileExists(bin)) {
    AddMessageLine("Change file format complete. *已经转换成.BIN文件，装载到文件缓冲区");
    return 1;
  }
  ShowMessageText("Change file error !*文件转换失败，不能生成.BIN文件!");
  return 0;
}

int ConvertMiconFile() {
  if (ProjectOpen()) return 1;
  BufferUi& ui = bufferUi();
  const std::string ext = UpperCase(FileExtension(gApp.DataFileName));
  if (ext == ".MHX" || ext == ".BIN") {
    ui.SetFrameCaption(gApp.DataFileName);
    return 1;
  }
  if (ext != ".OBJ" && ext != ".HEX") {
    AddMessageLine("File format error!*错误的文件格式！");
    return 0;
  }
  const std::string question =
      ChineseTexts
          ? (ext == ".OBJ"
                 ? "“*.OBJ”文件不能直接烧写!\n\n将“*.HEX”文件转换为MICON的二进制文件“.BIN”？"
                 : " “*.HEX”文件不能直接烧写!\n\n将“*.HEX”文件转换为MICON的二进制文件“.BIN”？")
          : "Change file format?";
  if (!services().AskYesNo(question)) return 0;
  if (CheckShortPath(gApp.DataFileName) != 0) return 0;
  if (ext == ".HEX") ConvertHexToObj();
  if (ConvertObjToBin() != 1) return 0;

  gApp.DataFileName = ChangeFileExt(gApp.DataFileName, ".BIN");
  if (!ReadBinaryFile(0, 0)) return 0;
  if (gApp.LoadedLastAddress < 1) {
    ShowMessageText("Source file error!*转换后的数据有错误，可能是源文件格式不符合转换要求!");
    return 0;
  }
  ui.SetFrameCaption(gApp.DataFileName);
  return 1;
}

}  // namespace zelvar
