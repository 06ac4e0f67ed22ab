#pragma once
// The one contract between the application and an algorithm set.
#include <cstdint>
#include <string>
#include <vector>

namespace zelvar {

// The main window's list of 1024 user-interface strings that operation 2 fills.
inline constexpr int kChipUiListSize = 1024;
using ChipUiList = std::vector<std::string>;

// Called with (operation code, buffer, record, list); returns StatusWord. The record is the
// InfoRecord for operations 1 and 2 and OptionValues for 3 and every chip operation; the list is
// the ChipUiList for operations 1 to 3 and null for chip operations.
using AlgorithmDispatcher = std::uint8_t (*)(int op, std::uint8_t* buffer, std::int32_t* record,
                                             ChipUiList* list);

enum OperationCode : int {
  kOpSetup = 1,
  kOpDescribe = 2,
  kOpOptions = 3,
  kOpUnProtect = 20,
  kOpErase = 21,
  kOpBlank = 22,
  kOpWrite = 23,
  kOpVerify = 24,
  kOpConfig = 25,
  kOpLock = 26,
  kOpRead = 27,
  kOpReadId = 28,
  kOpReadConfig = 29,
  kOpReadCalibration = 30,
  kOpReadData = 31,
  kOpWriteData = 32,
  kOpEraseConfig = 33,
  kOpUserInfo = 34,
};

}  // namespace zelvar
