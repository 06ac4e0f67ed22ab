#pragma once
// The application's globals that the runner, the catalogue, the buffer and the forms share, in
// one object that a test can reset.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/services/Dispatcher.h"

namespace zelvar {

inline constexpr std::uint32_t kCodeBufferSize = 0x1000002;  // indices 0 .. 0x1000001
inline constexpr int kOptionWords = 144;

struct AppState {
  // The chip image: code from 0, the data area at the InfoRecord's offset.
  std::vector<std::uint8_t> CodeBuffer = std::vector<std::uint8_t>(kCodeBufferSize, 0xFF);
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

  void Reset() { *this = AppState{}; }
};

extern AppState gApp;

}  // namespace zelvar
