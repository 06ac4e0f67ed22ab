#pragma once
// The application's globals that the runner, the catalogue, the buffer and the forms share, in
// one object that a test can reset.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "services/Dispatcher.h"

namespace zelvar {

inline constexpr std::uint32_t kCodeBufferSize = 0x1000002;  // indices 0 .. 0x1000001
inline constexpr int kOptionWords = 144;

inline constexpr std::uint32_t kStartFilledBytes = 0x10000;

inline std::vector<std::uint8_t> StartBuffer() {
  std::vector<std::uint8_t> b(kCodeBufferSize, 0);
  std::fill_n(b.begin(), kStartFilledBytes, std::uint8_t{0xFF});
  return b;
}

struct AppState {
  // The chip image: code from 0, the data area at the InfoRecord's offset.
  // As the program starts: the first 64 KiB at 0xFF, the rest at zero.
  std::vector<std::uint8_t> CodeBuffer = StartBuffer();
  std::int32_t CodeLastAddress = 4096;

  // Chip set-up.
  std::array<std::int32_t, 8> InfoRecord{};
  std::array<std::int32_t, kOptionWords> OptionValues{};
  zelvar::ChipUiList ChipUiList = zelvar::ChipUiList(kChipUiListSize);
  std::int32_t GroundPin = 0;
  std::uint64_t PinMask = 0;

  // The chosen chip.
  std::string ParameterString;
  std::string AlgorithmKey;
  int TypeIndex = -1;
  std::array<std::uint8_t, 4> ExpectedId{};
  std::string ChipTitle;
  std::string ChipName;
  AlgorithmDispatcher CurrentDispatcher = nullptr;
  // The main window's adapter label (`Package`) for the chosen chip.
  std::string AdapterLabel;

  // Operations.
  std::vector<int> GoOpCodes;  // at most 20
  int CompletedCount = 0;
  int ProjectModified = 0;

  // Files.
  std::string ProgramDir;
  std::string ProjectFileName;
  // The device list read for the rest of the run, fixed at its first open.
  std::string DeviceListName = "NoLoad";
  // The recent-files list: entries 0 to 3 are shown and saved, entry 4 takes the name that falls
  // off the end.
  std::array<std::string, 5> RecentNames;
  std::string RecentListPath;
  // The main window's caption as built, kept for the programmer message.
  std::string MainCaption;

  // Buffer files: the file loaded or saved last and what the last load did.
  std::string DataFileName;
  std::string DataFileExt;             // upper case, then the format chosen in the dialog
  std::int32_t LoadOffset = 0;         // the dialog's start address, added to every stored index
  std::int32_t LoadedLastAddress = 0;  // highest index the last load wrote
  int FillMode = 2;                    // fill before a load: 0 keep, 1 with 0x00, 2 with 0xFF
  std::int32_t LaneMask = 0;           // byte lane of a plain image: byte n is taken when
  std::int32_t LanePhase = 0;          // (n & LaneMask) == LanePhase

  // Buffer views and tools.
  struct Range {
    std::int32_t start = 0;
    std::int32_t end = 4095;
  };
  Range ViewRange;                // the buffer range the hex view walks
  std::int32_t SearchCursor = 0;  // where the next search starts
  std::uint32_t BufferSum = 0;    // the last checksum line's sum

  void Reset() { *this = AppState{}; }
};

extern AppState gApp;

}  // namespace zelvar
