#include "app/core/catalogue/ChipCatalogue.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

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
  if (!open_ && !gApp.DeviceListName.empty() &&
      std::filesystem::is_regular_file(gApp.DeviceListName, error)) {
    std::ifstream file(gApp.DeviceListName, std::ios::binary);
    if (file) {
      std::ostringstream text;
      text << file.rdbuf();
      std::istringstream in(std::move(text).str());
      entries_.clear();
      std::string raw;
      while (ReadDeviceLine(in, raw)) {
        const std::string_view cut = CutAtLineEnd(raw);
        const auto comma = cut.find(',');
        entries_.push_back(
            {raw.substr(0, 3), ParseDeviceLine(raw),
             UpperAscii(comma == std::string_view::npos ? cut : cut.substr(0, comma + 1))});
      }
      open_ = true;
    }
  }
  if (!open_) {
    ShowMessageText(std::string(kNoListMessage));
    return 0;
  }
  return 1;
}

void ChipCatalogue::CloseDeviceList() {
  open_ = false;
  entries_.clear();
}

template <class F>
void ChipCatalogue::ScanCategory(F&& f) const {
  for (const Entry& e : entries_) {
    if (e.rawTag != categoryTag || !e.line) continue;
    if (!searchUpper_.empty() && e.searchHead.find(searchUpper_) == std::string::npos) continue;
    f(*e.line);
  }
}

ChipCatalogue::Filled ChipCatalogue::FillManufacturers() {
  if (!OpenDeviceList()) return Filled::NoList;
  manufacturers.Clear();
  auto& items = manufacturers.items;
  ScanCategory([&items](const DeviceLine& line) {
    if (std::find(items.begin(), items.end(), line.manufacturer) == items.end()) {
      items.push_back(line.manufacturer);
    }
  });
  if (items.empty()) {
    chips.Clear();
    return Filled::Empty;
  }
  manufacturers.SelectItem(selectedManufacturer);
  if (manufacturers.selected < 0) manufacturers.selected = 0;
  selectedManufacturer = items[static_cast<std::size_t>(manufacturers.selected)];
  return Filled::Some;
}

void ChipCatalogue::FillManufacturerList() {
  if (FillManufacturers() != Filled::Some) return;
  FillChips();
  chips.SelectItem(gApp.ChipName);
}

void ChipCatalogue::FillChipList() {
  if (!OpenDeviceList()) return;
  FillChips();
}

void ChipCatalogue::FillChips() {
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
  // The chip the search names exactly comes first ("ATmega8" is not "ATmega88").
  if (!searchUpper_.empty()) {
    for (std::size_t i = 0; i < chips.items.size(); ++i) {
      if (UpperAscii(chips.items[i]) == searchUpper_) {
        chips.selected = static_cast<int>(i);
        break;
      }
    }
  }
  if (chips.selected < 0 && !chips.items.empty()) chips.selected = 0;
}

void ChipCatalogue::RefillLists(bool opening) {
  switch (FillManufacturers()) {
    case Filled::Some:
      FillChips();
      break;
    case Filled::Empty:
      break;
    case Filled::NoList: {
      // The lists shown before stay; the chip list reports the missing file too.
      const std::string* m = manufacturers.SelectedItem();
      if (m) selectedManufacturer = *m;
      if (m || opening) FillChipList();
      break;
    }
  }
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
  RefillLists(true);
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
  RefillLists(false);
}

void ChipCatalogue::ManufacturerClicked(int index) {
  if (index < 0 || index >= static_cast<int>(manufacturers.items.size())) return;
  manufacturers.selected = index;
  selectedManufacturer = manufacturers.items[static_cast<std::size_t>(index)];
  FillChipList();
}

void ChipCatalogue::SearchChanged(const std::string& text) {
  searchText = text;
  searchUpper_ = UpperAscii(text);
  RefillLists(false);
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
