#include "app/core/catalogue/ChipCatalogue.h"

#include <algorithm>
#include <filesystem>

#include "app/core/catalogue/DeviceList.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {

const std::string* ListState::SelectedItem() const {
  if (selected < 0 || selected >= static_cast<int>(items.size())) return nullptr;
  return &items[static_cast<std::size_t>(selected)];
}

void ListState::SelectItem(const std::string& text) {
  const auto it = std::find(items.begin(), items.end(), text);
  selected = it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

ChipCatalogue::ChipCatalogue() : categories(CategoryItems(gLink.ModelNumber)) {}

int ChipCatalogue::OpenDeviceList() {
  if (gApp.DeviceListName == "NoLoad") {
    const DeviceListChoice choice = DeviceListFor(gLink.ModelNumber, chooseModel);
    caption = choice.caption;
    // A model without a list keeps an empty name, so every scan reports the missing file.
    gApp.DeviceListName = choice.file.empty()
                              ? std::string()
                              : (std::filesystem::path(gApp.ProgramDir) / choice.file).string();
  }
  std::error_code error;
  if (!file_.is_open() && !gApp.DeviceListName.empty() &&
      std::filesystem::is_regular_file(gApp.DeviceListName, error)) {
    file_.open(gApp.DeviceListName, std::ios::binary);
  }
  if (!file_.is_open()) {
    ShowMessageText(std::string(kNoListMessage));
    return 0;
  }
  file_.clear();
  file_.seekg(0);
  return 1;
}

void ChipCatalogue::CloseDeviceList() {
  if (file_.is_open()) file_.close();
}

void ChipCatalogue::ScanCategory(const std::function<void(const DeviceLine&)>& f) {
  std::string raw;
  while (ReadDeviceLine(file_, raw)) {
    if (raw.compare(0, 3, categoryTag) != 0) continue;
    const auto line = ParseDeviceLine(raw);
    if (!line) continue;
    if (!MatchSearchText(CutAtLineEnd(raw), searchText)) continue;
    f(*line);
  }
}

void ChipCatalogue::FillManufacturerList() {
  if (!OpenDeviceList()) return;
  manufacturers.Clear();
  ScanCategory([this](const DeviceLine& line) {
    auto& items = manufacturers.items;
    if (std::find(items.begin(), items.end(), line.manufacturer) == items.end()) {
      items.push_back(line.manufacturer);
    }
  });
  if (manufacturers.items.empty()) {
    chips.Clear();
    return;
  }
  manufacturers.SelectItem(selectedManufacturer);
  if (manufacturers.selected < 0) {
    manufacturers.selected = 0;
    selectedManufacturer = manufacturers.items[0];
  }
  FillChipList();
  chips.SelectItem(gApp.ChipName);
}

void ChipCatalogue::FillChipList() {
  if (!OpenDeviceList()) return;
  chips.Clear();
  specTexts.clear();
  ScanCategory([this](const DeviceLine& line) {
    // The manufacturer field itself is compared, so a name that merely occurs in another
    // manufacturer's chip name or parameters lists nothing foreign.
    if (line.manufacturer != selectedManufacturer) return;
    if (static_cast<int>(chips.items.size()) >= kMaxListedChips) return;
    specTexts.push_back(line.parameters);
    chips.items.push_back(line.chipName);
  });
  if (chips.selected < 0 && !chips.items.empty()) chips.selected = 0;
}

void ChipCatalogue::PrepareChipDialog() {
  const int remembered = categoryItem;
  categories = CategoryItems(gLink.ModelNumber);
  const int count = static_cast<int>(categories.size());
  if (gLink.ModelNumber == kIcpModel) {
    categoryItem = kIcpCategoryItem;
  } else {
    categoryItem = remembered >= 0 && remembered < count ? remembered : 0;
  }
  categoryNumber = categoryItem + 1;
  categoryTag = std::string(kCategories[static_cast<std::size_t>(categoryItem)].tag);
  FillManufacturerList();
  if (const std::string* m = manufacturers.SelectedItem()) selectedManufacturer = *m;
  FillChipList();
  if (savedChip >= 0 && savedChip < static_cast<int>(chips.items.size()))
    chips.selected = savedChip;
}

void ChipCatalogue::CategoryClicked(int item) {
  const int count = static_cast<int>(categories.size());
  if (item < 0) item = 0;
  if (item >= count) return;
  categoryItem = item;
  categoryNumber = item + 1;
  categoryTag = std::string(kCategories[static_cast<std::size_t>(item)].tag);
  FillManufacturerList();
  if (const std::string* m = manufacturers.SelectedItem()) {
    selectedManufacturer = *m;
    FillChipList();
  }
}

void ChipCatalogue::ManufacturerClicked(int index) {
  if (index < 0 || index >= static_cast<int>(manufacturers.items.size())) return;
  manufacturers.selected = index;
  selectedManufacturer = manufacturers.items[static_cast<std::size_t>(index)];
  FillChipList();
}

void ChipCatalogue::SearchChanged(const std::string& text) {
  searchText = text;
  FillManufacturerList();
  if (const std::string* m = manufacturers.SelectedItem()) {
    selectedManufacturer = *m;
    FillChipList();
  }
}

ChipCatalogue::OkOutcome ChipCatalogue::ChooseChip(int index, SelectionResult* result) {
  if (index < 0 || index >= static_cast<int>(chips.items.size()) ||
      index >= static_cast<int>(specTexts.size())) {
    return OkOutcome::None;
  }
  const std::string entry = chips.items[static_cast<std::size_t>(index)];
  if (!entry.empty() && entry[0] == '-') return OkOutcome::None;
  const ChipChoice choice{specTexts[static_cast<std::size_t>(index)],
                          selectedManufacturer + ": " + entry, entry};
  CloseDeviceList();
  const SelectionResult r = SelectAlgorithm(choice);
  if (r == SelectionResult::Bound) {
    // The dialog shows the chip in force next time, so only a bound choice is remembered.
    savedManufacturer = manufacturers.selected;
    savedChip = index;
    savedCategory = categoryItem;
  }
  if (result) *result = r;
  return OkOutcome::Closed;
}

}  // namespace zelvar
