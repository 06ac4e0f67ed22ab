#include "app/core/describe/ChipUiModel.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/core/describe/DescribeText.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {

namespace {

const std::string kNoEntry;
constexpr const char* kEnableText = "Enable*有效(允许)";
constexpr const char* kDisableText = "Disable*无效";
constexpr const char* kOutOfRangeText = "Out of range! *超出限制!";
constexpr const char* kBlankDataText = "Blank data! *空数组!";
constexpr int kFirstOperationButton = kOpErase;  // 21 .. 29 have buttons

// Entry i of the part of the list that is read; nothing at or after the list end.
const std::string& Entry(const ChipUiList& list, int end, int i) {
  return i >= 0 && i < end ? list[static_cast<std::size_t>(i)] : kNoEntry;
}

std::string From(const std::string& text, std::size_t pos) {
  return pos < text.size() ? text.substr(pos) : std::string();
}

// A word index the option array holds; anything else is refused with a box.
bool WordInRange(int word) {
  if (word >= 0 && word < kOptionWords) return true;
  ShowMessageText(kOutOfRangeText);
  return false;
}

std::uint32_t BitOf(int bitNumber) {
  return 1u << (static_cast<unsigned>(bitNumber) & 31u);
}

void Toggle(std::string& cell) {
  if (cell == "0") {
    cell = "1";
  } else if (cell == "1") {
    cell = "0";
  }
}

bool InUse(const ChipUiModel& ui, int row) {
  return row >= 0 && row < ui.ConfigRowCount;
}

}  // namespace

void RadioCombo::SetItemIndex(int index) {
  ItemIndex = index >= 0 && index < static_cast<int>(Items.size()) ? index : -1;
}

std::string RadioCombo::Text() const {
  return ItemIndex >= 0 ? Items[static_cast<std::size_t>(ItemIndex)] : std::string();
}

void CheckGroupModel::Clear() {
  Items.clear();
  Checked.clear();
}

void CheckGroupModel::Add(const std::string& caption) {
  Items.push_back(caption);
  Checked.push_back(0);
}

bool CheckGroupModel::GetChecked(int index) const {
  return index >= 0 && index < Count() && Checked[static_cast<std::size_t>(index)];
}

void CheckGroupModel::SetChecked(int index, bool checked) {
  if (index >= 0 && index < Count()) Checked[static_cast<std::size_t>(index)] = checked;
}

bool ChipUiModel::OperationAllowed(int code) const {
  const int i = code - kFirstOperationButton;
  return i >= 0 && i < static_cast<int>(OperationEnabled.size()) &&
         OperationEnabled[static_cast<std::size_t>(i)];
}

RadioCombo& ChipUiModel::ComboOf(const ConfigTabRecord& row) {
  const int n = row.ComboNumber >= 1 && row.ComboNumber <= kRadioCombos ? row.ComboNumber : 1;
  return Combos[static_cast<std::size_t>(n - 1)];
}

void ResetConfigTab(ChipUiModel& ui) {
  for (int i = 0; i < kConfigRows; ++i) {
    ui.Cells[i][0].clear();
    ui.ConfigTab[i] = ConfigTabRecord{};
    ui.ConfigTab[i].WordIndex = i / 8;
  }
}

void FillRadioCombo(ChipUiModel& ui, int n, const ChipUiList& list, int marker) {
  if (n < 1 || n > kRadioCombos) return;
  const int end = ListEnd(list);
  const std::string& head = Entry(list, end, marker);
  RadioCombo& combo = ui.Combos[static_cast<std::size_t>(n - 1)];
  combo.Items.clear();
  for (int j = marker + 1; !IsSectionBreak(Entry(list, end, j)); ++j) {
    combo.Items.push_back(StripNote(Entry(list, end, j)));
  }
  combo.SetItemIndex(0);
  combo.Label = StripNote(From(head, 11));
  combo.Visible = true;
  // A default past the items would select nothing while the word claims a choice: clamp it.
  int choice = head.size() > 8 ? ParseNumber(head.substr(8, 2)) : 0;
  choice = std::clamp(choice, 0, std::max(0, static_cast<int>(combo.Items.size()) - 1));
  gApp.OptionValues[kFirstRadioWord - 1 + n] = choice;
  combo.SetItemIndex(choice);
}

int LoadConfigDescriptors(ChipUiModel& ui, const ChipUiList& list, int first) {
  if (first < 0 || first >= static_cast<int>(list.size()) || list[first].empty()) {
    ShowMessageText(kBlankDataText);
    return 0;
  }
  for (auto& row : ui.Cells) row = {};
  int n = 0;
  while (n < kConfigRows && first + n < static_cast<int>(list.size()) &&
         !IsSectionBreak(list[first + n])) {
    const std::string& entry = list[first + n];
    ui.Cells[n][0] = StripNote(DescriptorItem(entry, "n="));
    ui.Cells[n][1] = DescriptorItem(entry, "v=");
    ConfigTabRecord& row = ui.ConfigTab[n];
    row.ActiveLevel = static_cast<std::uint8_t>(ParseNumber(DescriptorItem(entry, "l=")));
    row.ComboNumber = ParseNumber(DescriptorItem(entry, "c="));
    row.ComboMask = ParseNumber(DescriptorItem(entry, "m="));
    row.WordIndex = ParseNumber(DescriptorItem(entry, "a="));
    row.BitNumber = ParseNumber(DescriptorItem(entry, "b="));
    ++n;
  }
  ui.ConfigRowCount = n;
  return n;
}

namespace {
// Config words 0-63 from the rows' states.
void RebuildConfigWords(const ChipUiModel& ui) {
  std::fill_n(gApp.OptionValues.begin(), 64, 0);
  for (int i = 0; i < ui.ConfigRowCount; ++i) {
    const ConfigTabRecord& row = ui.ConfigTab[i];
    if (!WordInRange(row.WordIndex)) return;
    if (row.State) {
      auto& word = gApp.OptionValues[row.WordIndex];
      word = static_cast<std::int32_t>(static_cast<std::uint32_t>(word) | BitOf(row.BitNumber));
    }
  }
}
}  // namespace

void GridToOptionValues(ChipUiModel& ui) {
  for (int k = 0; k < kRadioCombos; ++k) {
    ui.Combos[k].SetItemIndex(gApp.OptionValues[kFirstRadioWord + k]);
  }
  for (int i = 0; i < ui.ConfigRowCount; ++i) {
    ConfigTabRecord& row = ui.ConfigTab[i];
    row.State = ui.Cells[i][1] == "1" ? 1 : 0;
    if (row.ComboMask != 0) {
      RadioCombo& combo = ui.ComboOf(row);
      combo.SetItemIndex(row.State ? combo.ItemIndex | row.ComboMask
                                   : combo.ItemIndex & ~row.ComboMask);
    }
  }
  for (int i = 0; i < ui.ConfigRowCount; ++i) {
    const ConfigTabRecord& row = ui.ConfigTab[i];
    if (row.ComboMask != 0) {
      ui.Cells[i][2] = ui.ComboOf(row).Text();
    } else {
      const bool disabled = ((row.ActiveLevel ^ ParseNumber(ui.Cells[i][1])) & 1) != 0;
      ui.Cells[i][2] = LocalText(disabled ? kDisableText : kEnableText);
    }
  }
  RebuildConfigWords(ui);
}

void OptionValuesToGrid(ChipUiModel& ui) {
  for (auto& row : ui.ConfigTab) row.State = 1;
  for (int i = 0; i < ui.ConfigRowCount; ++i) {
    ConfigTabRecord& row = ui.ConfigTab[i];
    if (!WordInRange(row.WordIndex)) return;
    const auto word = static_cast<std::uint32_t>(gApp.OptionValues[row.WordIndex]);
    row.State = (word & BitOf(row.BitNumber)) != 0;
    ui.Cells[i][1] = row.State ? "1" : "0";
  }
  for (std::size_t r = 0; r < ui.WordRows.size(); ++r) {
    const auto value = static_cast<std::uint32_t>(gApp.OptionValues[kFirstWordGridWord + r]);
    char text[16];
    std::snprintf(text, sizeof text, value < 256 ? "%02X" : value < 65536 ? "%04X" : "%08X", value);
    ui.WordRows[r].Value = text;
  }
  GridToOptionValues(ui);
}

void OptionWordsFromGrid(ChipUiModel& ui) {
  const std::size_t rows = std::min<std::size_t>(ui.WordRows.size(), kWordRows);
  for (std::size_t r = 0; r < rows; ++r) {
    gApp.OptionValues[kFirstWordGridWord + r] =
        static_cast<std::int32_t>(ParseHexWord(ui.WordRows[r].Value));
  }
}

void WordGridEdited(ChipUiModel& ui) {
  OptionWordsFromGrid(ui);
  gApp.ProjectModified |= 2;
}

void ReadChipUiList(ChipUiModel& ui, const ChipUiList& list, int viewKind) {
  const int end = ListEnd(list);
  auto entry = [&](int i) -> const std::string& { return Entry(list, end, i); };

  if (const int m = FindSection(list, "$DisShow"); m >= 0) {
    ui.ConfigPanelVisible = (ParseNumber(entry(m + 1)) & 1) == 0;
  }

  // A list without a word grid leaves none, so no option word of the previous chip survives.
  ui.WordPanelCaption.clear();
  ui.WordRows.clear();
  if (const int m = FindSection(list, "$Gridw:"); m >= 0) {
    ui.WordPanelCaption = StripNote(From(entry(m), 7));
    for (int j = m + 1; !IsSectionBreak(entry(j)) && ui.WordRows.size() < kWordRows; j += 2) {
      const std::string& value = entry(j + 1);
      ui.WordRows.push_back({StripNote(entry(j)), IsSectionBreak(value) ? std::string() : value});
      if (IsSectionBreak(value)) break;  // a label without its value ends the grid
    }
  }
  ui.WordPanelVisible = !ui.WordRows.empty();

  if (const int m = FindSection(list, "$DisTool"); m >= 0) {
    const std::string& disabled = entry(m + 1);
    for (int code = kOpErase; code <= kOpReadConfig; ++code) {
      const std::string digits = std::to_string(code);
      ui.OperationEnabled[static_cast<std::size_t>(code - kFirstOperationButton)] =
          disabled.find(digits) == std::string::npos;
    }
    ui.SearchEnabled = viewKind == 0 || viewKind >= 8;
  }

  // Likewise the Go group: codes of the previous set must never reach this one.
  ui.GoGroup.Clear();
  gApp.GoOpCodes.clear();
  if (const int m = FindSection(list, "$Fonc"); m >= 0) {
    for (int j = m + 1; !IsSectionBreak(entry(j)) && ui.GoGroup.Count() < kMaxGoItems; ++j) {
      // A row without its two-digit operation code names nothing to run.
      const std::string& row = entry(j);
      if (row.size() < 2 || !std::isdigit(static_cast<unsigned char>(row[0])) ||
          !std::isdigit(static_cast<unsigned char>(row[1]))) {
        continue;
      }
      ui.GoGroup.Add(LocalText(From(entry(j), 3)));
      gApp.GoOpCodes.push_back(ParseNumber(entry(j).substr(0, 2)));
    }
    for (int i = 0; i < ui.GoGroup.Count(); ++i) ui.GoGroup.SetChecked(i, true);
  }

  for (auto& combo : ui.Combos) {
    combo.Visible = false;
    combo.Items.clear();
    combo.ItemIndex = -1;
  }
  for (int i = 0; i < end; ++i) {
    const std::string& e = entry(i);
    if (e.size() >= 7 && StartsWith(e, "$Radio") && e[6] >= '1' && e[6] <= '4') {
      FillRadioCombo(ui, e[6] - '0', list, i);
    }
  }
  ui.RadioPanelVisible = ui.Combos[0].Visible;

  ui.ConfigRowCount = 0;
  if (const int m = FindSection(list, "$Grid1"); m >= 0) {
    ui.ConfigRowCount = LoadConfigDescriptors(ui, list, m + 1);
    if (ui.ConfigRowCount != 0) GridToOptionValues(ui);
  }
  ui.ConfigPanelVisible = ui.ConfigRowCount != 0;

  OptionWordsFromGrid(ui);
}

void ConfigComboChanged(ChipUiModel& ui) {
  for (int i = 0; i < ui.ConfigRowCount; ++i) {
    ConfigTabRecord& row = ui.ConfigTab[i];
    if (row.ComboNumber > 0) {
      row.State = (row.ComboMask & ui.ComboOf(row).ItemIndex) != 0 ? 1 : 0;
      ui.Cells[i][1] = row.State ? "1" : "0";
    }
  }
  // The config words follow at once: a choice made in a combo and then written must reach the
  // chip, not the words of the previous choice.
  RebuildConfigWords(ui);
  for (int i = 0; i < ui.ConfigRowCount; ++i) {
    const ConfigTabRecord& row = ui.ConfigTab[i];
    if (row.ComboMask != 0) ui.Cells[i][2] = ui.ComboOf(row).Text();
  }
  for (int k = 0; k < kRadioCombos; ++k)
    gApp.OptionValues[kFirstRadioWord + k] = ui.Combos[k].ItemIndex;
  gApp.ProjectModified |= 2;
}

void ConfigGridMouseDown(ChipUiModel& ui) {
  if (InUse(ui, ui.CurrentRow)) Toggle(ui.Cells[ui.CurrentRow][1]);
  GridToOptionValues(ui);
  gApp.ProjectModified |= 2;
}

void ConfigGridKeyDown(ChipUiModel& ui, int key) {
  if (InUse(ui, ui.CurrentRow)) {
    std::string& cell = ui.Cells[ui.CurrentRow][1];
    if (key == '0') {
      cell = "0";
    } else if (key == '1') {
      cell = "1";
    } else if (key == kKeyEnter) {
      Toggle(cell);
    }
  }
  GridToOptionValues(ui);
  gApp.ProjectModified |= 2;
}

PanelRect PlaceOptionWordPanel(const PanelRect& configPanel, int configOpenedHeight, int width) {
  return {configPanel.left + configPanel.width + 4, configPanel.top, width, configOpenedHeight};
}

std::vector<std::string> FuseWriteRisks(const ChipUiModel& ui) {
  int spien = -1, resetDisable = -1, ckselRows = 0, ckselOnes = 0;
  for (int i = 0; i < ui.ConfigRowCount; ++i) {
    const std::string name = StripNote(ui.Cells[i][0]);
    // The bit that will be written, which a set takes from the option words, not the grid.
    const ConfigTabRecord& row = ui.ConfigTab[i];
    if (!WordInRange(row.WordIndex)) continue;
    const int state =
        (static_cast<std::uint32_t>(gApp.OptionValues[row.WordIndex]) & BitOf(row.BitNumber)) != 0;
    if (name == "SPIEN") spien = state;
    if (name == "RSTDISBL" || name == "RSTDIS") resetDisable = state;
    if (name.size() == 6 && name.starts_with("CKSEL") && name[5] >= '0' && name[5] <= '3') {
      ++ckselRows;
      ckselOnes += state;
    }
  }
  std::vector<std::string> risks;
  if (spien == 1)
    risks.push_back(
        "SPIEN=1 turns the chip's serial programming off.*SPIEN=1 将关闭芯片的串行编程.");
  if (resetDisable == 0) {
    risks.push_back(
        "RSTDISBL=0 makes RESET an I/O pin: serial programming stops.*"
        "RSTDISBL=0 将RESET脚变为I/O脚, 串行编程将不能使用.");
  }
  if (ckselRows == 4 && ckselOnes == 0) {
    risks.push_back(
        "CKSEL=0000 selects an external clock: without one the chip stops.*"
        "CKSEL=0000 选择外部时钟, 没有外部时钟芯片将停止工作.");
  }
  return risks;
}

bool LockBitsProgrammed(const ChipUiModel& ui) {
  for (int i = 0; i < ui.ConfigRowCount; ++i) {
    const std::string name = StripNote(ui.Cells[i][0]);
    const bool lock = name == "LB1" || name == "LB2" || name == "LB3" || name.starts_with("CP");
    const ConfigTabRecord& row = ui.ConfigTab[i];
    if (!lock || name.starts_with("CPD") || !WordInRange(row.WordIndex)) continue;
    const bool programmed =
        (static_cast<std::uint32_t>(gApp.OptionValues[row.WordIndex]) & BitOf(row.BitNumber)) == 0;
    if (programmed) return true;
  }
  return false;
}

}  // namespace zelvar
