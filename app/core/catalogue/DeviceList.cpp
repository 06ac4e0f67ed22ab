#include "app/core/catalogue/DeviceList.h"

#include <algorithm>
#include <cctype>

namespace zelvar {

bool IsSkippedLine(std::string_view line) {
  if (line.empty()) return true;
  const auto c = static_cast<unsigned char>(line[0]);
  return c == '#' || c == '/' || c == '-' || c <= 32;
}

std::string_view CutAtLineEnd(std::string_view line) {
  const auto end = std::find_if(line.begin(), line.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c < 32 || c >= 128;
  });
  return line.substr(0, static_cast<std::size_t>(end - line.begin()));
}

std::optional<DeviceLine> ParseDeviceLine(std::string_view raw) {
  if (IsSkippedLine(raw)) return std::nullopt;
  const std::string_view line = CutAtLineEnd(raw);
  if (line.size() <= 4) return std::nullopt;
  const auto blank = line.find(' ', 4);
  if (blank == std::string_view::npos) return std::nullopt;
  DeviceLine d;
  d.tag = std::string(line.substr(0, 3));
  d.manufacturer = std::string(line.substr(4, std::min<std::size_t>(blank - 4, kManufacturerMax)));
  const auto comma = line.find(',', blank + 1);
  d.hasComma = comma != std::string_view::npos;
  if (d.hasComma) {
    d.chipName = std::string(line.substr(blank + 1, comma - blank - 1));
    d.parameters = std::string(line.substr(comma + 1));
  } else {
    d.chipName = std::string(line.substr(blank + 1));
    d.parameters = std::string(kNoParameters);
  }
  return d;
}

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool MatchSearchText(std::string_view line, std::string_view search) {
  if (search.empty()) return true;
  const auto comma = line.find(',');
  const std::string_view head = comma == std::string_view::npos ? line : line.substr(0, comma + 1);
  return UpperAscii(head).find(UpperAscii(search)) != std::string::npos;
}

bool ReadDeviceLine(std::istream& in, std::string& line) {
  line.clear();
  char c;
  while (static_cast<int>(line.size()) < kDeviceLineMax && in.get(c)) {
    line.push_back(c);
    if (c == '\n') break;
  }
  return !line.empty();
}

std::vector<std::string> CategoryItems(int model) {
  std::vector<std::string> items;
  if (model == kIcpModel) {
    items.assign(kIcpCategoryItem, "...");
    items.emplace_back("ICP device*在线编程(ICP)");
    return items;
  }
  const std::size_t count = model >= 6200 ? kCategories.size() : kCategories.size() - 1;
  for (std::size_t i = 0; i < count; ++i) items.emplace_back(kCategories[i].caption);
  return items;
}

DeviceListChoice DeviceListFor(int model, const std::function<int()>& chooseItem) {
  const std::string caption = "ZOR" + std::to_string(model);
  if (model == 411) return {"device411.lst", caption};
  if (model >= 5104 && model <= 5106) return {"device5105.lst", caption};
  if (model == 5107 || model == 5108) return {"device5107.lst", caption};
  if (model == 5148) return {"device5148.lst", caption};
  if (model == 5149) return {"device5149.lst", caption};
  if (model >= 6200) return {"device6200.lst", caption};
  if (model == 57) return {"device57.lst", caption};
  if (model != 0) return {"", caption};
  static constexpr std::array<std::string_view, 4> kFiles = {"device5105.lst", "device5107.lst",
                                                             "device5149.lst", "device6200.lst"};
  const int item = chooseItem ? chooseItem() : kOfflineDefaultItem;
  if (item < 0 || item >= static_cast<int>(kFiles.size())) return {"", caption};
  return {std::string(kFiles[item]), std::string(kOfflineModels[item])};
}

}  // namespace zelvar
