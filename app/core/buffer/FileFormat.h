#pragma once
// The file-format dialog's model: the format list, the byte lanes, the fill modes and the start
// address. The Qt dialog (app/forms/dialogs/Filew) only shows it.
#include <array>
#include <string>
#include <string_view>

namespace zelvar {

inline constexpr std::array<const char*, 7> kFormatItems = {
    ".BIN   binary",    ".HEX   Intel hex",  ".JED   GAL jedec", ".CDS   Elan binary",
    ".MHX   Micon hex", ".SVF   Test ascii", ".S     Motorola"};

struct LaneItem {
  const char* text;
  int mask;
  int phase;
};
inline constexpr std::array<LaneItem, 8> kLaneItems = {{{"Nomal", 0, 0},
                                                        {"Continuous", 0, 0},
                                                        {"Event(1st of 2)", 1, 0},
                                                        {"Odd(2nd of 2)", 1, 1},
                                                        {"1st byte of 4", 3, 0},
                                                        {"2nd byte of 4", 3, 1},
                                                        {"3rd byte of 4", 3, 2},
                                                        {"4th byte of 4", 3, 3}}};

inline constexpr std::array<const char*, 3> kFillModeItems = {
    "No clear *保留原来数据", "Fill by '00' *填充为'00'", "Fill by 'FF' *填充为'FF'"};

// The highest start address a load may use.
inline constexpr long long kMaxLoadOffset = 0x1000001;

// The format item a file's first bytes show: 1 (Intel HEX) for a ':' record, 6 (S-record) for an
// "Sn" record, -1 when neither.
int SniffRecordFormat(std::string_view head);

// The extension of format item `index`: its text up to the first blank, upper case.
std::string FormatItemExt(int index);

struct FileFormatModel {
  // Texts in the current language, set by Prepare.
  std::string caption, okText, cancelText, fillCaption, startLabel;
  std::array<std::string, 3> fillItems;

  int formatIndex = 0;
  int laneIndex = 0;
  bool laneVisible = true;  // the byte-lane list is offered for plain images only
  std::string ChosenExt;
  std::string startText = "0";

  // Texts by language and the format preselected by the extension of `dataFileName` (S-record
  // names such as ".s19" included) or, when the extension names no format, by the file's first
  // record; the start field shows `startAddress` as "%05X".
  void Prepare(const std::string& dataFileName, int startAddress);
  void ChooseFormat(int index);
  // Stores the lane's mask and phase in the application state.
  void ChooseLane(int index);
  // OK: takes the chosen format and the start address. A start that is not a hexadecimal number
  // from 0 to 0x1000001 is refused with a message and false; the dialog then stays open.
  bool Accept();
  void Cancel() { ChosenExt.clear(); }
};

}  // namespace zelvar
