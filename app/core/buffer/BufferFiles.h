#pragma once
// Loading files into the chip buffer by their extension, saving it, the PLD hand-over and the
// set-up checks that two microcontroller families call.
#include <string>
#include <vector>

namespace zelvar {

// Loads `path` by its extension: projects and PLD files go to their owners; anything else goes
// through the file-format dialog to a reader. `startAddress` is offered as the start. A load that
// is cancelled or fails changes nothing: buffer, file name, caption and recent list stay.
void LoadBufferFile(const std::string& path, int startAddress);

// Loads `path` into the data area of the chip (fill mode "keep"), then shows that area.
void LoadDataArea(const std::string& path);

// The save dialog's proposal: the file name and the filter index (1 .bin, 2 .hex, 3 .jed). The
// name is the loaded (or last saved) file's, or the first free "name_N" beside it when that file
// exists, so that confirming the dialog never overwrites the source.
struct SaveProposal {
  std::string fileName;
  int filterIndex = 1;
};
SaveProposal ProposeSave();
inline constexpr const char* kSaveFilter =
    "*.bin  二进制格式|*.bin|*.hex  Intel 十六进制|*.HEX|*.jed  可编程逻辑器件|*.jed";
inline constexpr const char* kOpenFilter =
    "*.*   (All file)|*.*|*.bin (Binary)|*.bin|*.hex (Intel  HEX)|*.hex|*.jed (Jedec)|*.jed|*.s "
    "  (Motorola)|*.s|*.zor (Project)|*.zor";
// The format a save writes: the typed name's extension when it is one the dialog offers (.bin,
// .hex, .jed in any case), else the chosen filter's.
int SaveFormat(const std::string& typed, int filterIndex);
// The name a save writes: `typed` when its extension is the format's in any case, else `typed`
// with the format's extension.
std::string SaveFileName(const std::string& typed, int filterIndex);
// Saves the buffer as SaveFormat(fileName, filterIndex) under SaveFileName(fileName, ...).
// The recent list takes the name only when the file was written. True on success.
bool SaveBuffer(const std::string& fileName, int filterIndex);

// The PLD hand-over: a JEDEC file goes to the window of the chosen chip's view kind, an SVF file
// to the SVF window.
void ShowJedecFile(const std::string& path);
void ShowSvfFile(const std::string& path);

// Always 1; logs a warning when neither a project nor a ".CDS" file is loaded.
int CheckCdsExtension();

// Makes the buffer hold a ".BIN" image of the loaded object file, converting it with the external
// converters when needed. 1 when the buffer is ready.
int ConvertMiconFile();
// 1 (with a message) when `path` cannot be handed to the converters, else 0.
int CheckShortPath(const std::string& path);
int ConvertHexToObj();
int ConvertObjToBin();

// Runs `program` with `args` (no shell) and waits for it. The exit status, or -1 when it could
// not be started.
int RunProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace zelvar
