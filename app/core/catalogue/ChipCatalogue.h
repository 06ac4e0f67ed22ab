#pragma once
// The chip dialog without its widgets: category, manufacturer and chip lists filled from the
// device list, the search filter, and the OK action that binds the chosen chip. The form shows
// these lists and forwards its events here. The list is read once when the dialog opens and
// filtered in memory: a catalogue of many thousand lines answers each keystroke at once.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/catalogue/DeviceList.h"
#include "app/core/catalogue/Selection.h"

namespace zelvar {

// A list box's items and its selected index (-1 for none).
struct ListState {
  std::vector<std::string> items;
  int selected = -1;
  const std::string* SelectedItem() const;
  void SelectItem(const std::string& text);  // -1 when absent
  void Clear() {
    items.clear();
    selected = -1;
  }
};

inline constexpr std::string_view kSearchLabel = "Search*模糊查找";
inline constexpr std::string_view kOkCaption = "OK*确认";
inline constexpr std::string_view kNoListMessage = "Not find .lst file!*缺少lst文件! ";

class ChipCatalogue {
 public:
  // The item chosen in the model chooser when no programmer answered (0 to 3).
  std::function<int()> chooseModel;

  ChipCatalogue();

  // 1 when the list is read (at the first open after a close); 0 with a box when there is none.
  int OpenDeviceList();
  // Drops the list read; the next open reads it again by its stored name.
  void CloseDeviceList();
  bool DeviceListOpen() const { return open_; }

  void FillManufacturerList();
  void FillChipList();
  // Before the dialog is shown: categories for the connected model, lists and saved selection.
  void PrepareChipDialog();

  // Events of the dialog.
  void CategoryClicked(int item);
  void ManufacturerClicked(int index);
  void SearchChanged(const std::string& text);
  // The OK button or a double click on chip `index`. Nothing happens for an index outside the
  // list or a separator entry; otherwise the dialog closes (None: stays open).
  enum class OkOutcome { None, Closed };
  OkOutcome ChooseChip(int index, SelectionResult* result = nullptr);

  // The dialog's caption ("ZOR" and the model), set at the first open.
  std::string caption;
  std::vector<std::string> categories;  // bilingual captions
  int categoryItem = 2;
  ListState manufacturers;
  ListState chips;
  std::vector<std::string> specTexts;  // parameter text of each listed chip
  std::string searchText;

  std::string selectedManufacturer = "ATMEL";
  int categoryNumber = 3;  // 1-8
  std::string categoryTag = "MPU";
  int savedCategory = 2;
  int savedManufacturer = -1;
  int savedChip = -1;

 private:
  // One line of the list as a 500-byte line buffer reads it, parsed once.
  struct Entry {
    std::string rawTag;              // its first three characters, as read
    std::optional<DeviceLine> line;  // nullopt for a skipped or malformed line
    std::string searchHead;          // up to its first comma, upper case, for the search
  };
  // Calls `f` with every listed line whose tag is the category's that the search accepts.
  template <class F>
  void ScanCategory(F&& f) const;
  enum class Filled { NoList, Empty, Some };
  // The manufacturer list of the category and search, with the remembered one (else the first)
  // selected.
  Filled FillManufacturers();
  // Both lists after the category or the search changed, or as the dialog opens: each list
  // filled once.
  void RefillLists(bool opening);
  void FillChips();

  bool open_ = false;
  std::vector<Entry> entries_;
  std::string searchUpper_;
};

}  // namespace zelvar
