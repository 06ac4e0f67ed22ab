#pragma once
// The chip dialog without its widgets: category, manufacturer and chip lists filled from the
// device list, the search filter, and the OK action that binds the chosen chip. The form shows
// these lists and forwards its events here.
#include <fstream>
#include <functional>
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

  // 1 when the list is open and rewound; 0 with a box when there is none.
  int OpenDeviceList();
  // Closes the list file; the next open reopens it by its stored name.
  void CloseDeviceList();
  bool DeviceListOpen() const { return file_.is_open(); }

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
  // Calls `f` with every listed line of the open list whose tag is the category's, cut at its
  // line end, that the search accepts.
  void ScanCategory(const std::function<void(const DeviceLine&)>& f);
  std::ifstream file_;
};

}  // namespace zelvar
