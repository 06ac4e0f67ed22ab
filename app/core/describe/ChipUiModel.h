#pragma once
// The main window's chip controls as the chosen set's describe list builds them: the operation
// buttons, the Go check group, the radio combos, the option-word grid and the config grid with its
// ConfigTab records. Forms mirror this model; the handlers below are the forms' logic.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "services/Dispatcher.h"

namespace zelvar {

inline constexpr int kConfigRows = 64;
inline constexpr int kWordRows = 64;  // option words 64 .. 127
inline constexpr int kMaxGoItems = 20;
inline constexpr int kRadioCombos = 4;
inline constexpr int kFirstWordGridWord = 64;
inline constexpr int kFirstRadioWord = 128;
inline constexpr int kKeyEnter = 13;

struct ConfigTabRecord {
  int State = 0;
  std::uint8_t ActiveLevel = 0;
  int ComboNumber = 0;  // 0 none, 1 .. 4
  int ComboMask = 0;
  int WordIndex = 0;
  int BitNumber = 0;
};

struct RadioCombo {
  bool Visible = false;
  std::string Label;
  std::vector<std::string> Items;
  int ItemIndex = -1;

  // An index outside the items selects nothing, as the platform combo box does.
  void SetItemIndex(int index);
  std::string Text() const;
};

// A check group: GetChecked is false outside the items.
struct CheckGroupModel {
  std::vector<std::string> Items;
  std::vector<char> Checked;

  void Clear();
  void Add(const std::string& caption);
  int Count() const { return static_cast<int>(Items.size()); }
  bool GetChecked(int index) const;
  void SetChecked(int index, bool checked);
};

struct WordGridRow {
  std::string Label;
  std::string Value;  // hexadecimal text
};

struct ChipUiModel {
  // Config grid: name, state "1"/"0", meaning; rows below ConfigRowCount are in use.
  // No "{}" here: Clang 14 crashes on a defaulted brace initializer of nested arrays of
  // strings (the strings start empty either way).
  std::array<std::array<std::string, 3>, kConfigRows> Cells;
  std::array<ConfigTabRecord, kConfigRows> ConfigTab{};
  int ConfigRowCount = 0;
  int CurrentRow = 0;
  bool ConfigPanelVisible = false;

  std::array<RadioCombo, kRadioCombos> Combos{};
  bool RadioPanelVisible = false;

  std::string WordPanelCaption;
  std::vector<WordGridRow> WordRows;
  bool WordPanelVisible = false;

  // Tool buttons and menu items of operations 21 (Erase) to 29 (Read config), and Search.
  std::array<bool, 9> OperationEnabled{true, true, true, true, true, true, true, true, true};
  bool SearchEnabled = true;

  // The Go check group; item i belongs to gApp.GoOpCodes[i].
  CheckGroupModel GoGroup;

  bool OperationAllowed(int code) const;
  // The combo a row stands for: its combo number, combo 1 when the number is not 1 .. 4.
  RadioCombo& ComboOf(const ConfigTabRecord& row);
};

// The main window's start state of the records: row i names word i / 8, everything else 0.
void ResetConfigTab(ChipUiModel& ui);

// Builds the controls from the chosen set's list, in order: config panel, word grid, operation
// enables (Search by `viewKind`), Go group and gApp.GoOpCodes, radio combos, config rows and
// words, word-grid words.
void ReadChipUiList(ChipUiModel& ui, const ChipUiList& list, int viewKind);

// Fills combo `n` (1 .. 4) from the entries after `marker` and takes its default into word 127 + n.
void FillRadioCombo(ChipUiModel& ui, int n, const ChipUiList& list, int marker);

// Loads the config rows from list entry `first` on; returns the number of rows.
int LoadConfigDescriptors(ChipUiModel& ui, const ChipUiList& list, int first);

// Rows and combos into OptionValues words 0 .. 63 (and the meaning column).
void GridToOptionValues(ChipUiModel& ui);
// OptionValues into the rows' states and the word grid, then GridToOptionValues.
void OptionValuesToGrid(ChipUiModel& ui);
// Word-grid texts (hexadecimal) into OptionValues words 64 + r.
void OptionWordsFromGrid(ChipUiModel& ui);
// The user typed a word-grid value: the words follow and the project counts as changed (options).
void WordGridEdited(ChipUiModel& ui);

// The user changed one of the four combos: its rows follow, and the config words with them.
void ConfigComboChanged(ChipUiModel& ui);
// A mouse press or a key (a character code, or kKeyEnter) in the config grid's current row.
void ConfigGridMouseDown(ChipUiModel& ui);
void ConfigGridKeyDown(ChipUiModel& ui, int key);

// The fuse choices in the option words (as the grid's rows name their bits) that lock a chip out of
// its usual programming or stop it: SPIEN at
// 1 (serial programming off), RSTDISBL/RSTDIS at 0 (RESET becomes I/O), CKSEL3..0 all 0 (an
// external clock). Each as a bilingual line ("English*Chinese"); empty when there is none.
std::vector<std::string> FuseWriteRisks(const ChipUiModel& ui);

// True when a grid row of a lock or code-protection bit (LB1, LB2, CP, CP0, CP1 ...) is
// programmed in the option words, as Read config leaves them: a chip so locked reads back as
// all 1s or all 0s whatever it holds.
bool LockBitsProgrammed(const ChipUiModel& ui);

struct PanelRect {
  int left = 0, top = 0, width = 0, height = 0;
};
// The word panel sits 4 pixels right of the config panel, with its upper edge and opened height.
PanelRect PlaceOptionWordPanel(const PanelRect& configPanel, int configOpenedHeight, int width);

}  // namespace zelvar
