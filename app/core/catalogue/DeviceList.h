#pragma once
// The device list: one plain-text file per programmer model naming every chip with the parameter
// text that binds it to an algorithm set. A line reads
//   TAG MANUFACTURER CHIP NAME,KEY TYPEINDEX [#id id id id] [item=value ...]
#include <array>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvar {

inline constexpr int kDeviceLineMax = 499;  // a 500-byte line buffer
inline constexpr int kManufacturerMax = 31;
inline constexpr int kMaxListedChips = 500;
inline constexpr std::string_view kNoParameters = "---";

// Comments ('#', '/'), separators ('-') and blank lines start with one of these.
bool IsSkippedLine(std::string_view line);

// The line up to its first character below 32 (the line end) or above 127: lists are plain ASCII.
std::string_view CutAtLineEnd(std::string_view line);

struct DeviceLine {
  std::string tag;           // characters 0-2, the category
  std::string manufacturer;  // from character 4 up to the next blank
  std::string chipName;      // after that blank up to the first comma
  std::string parameters;    // after the comma; "---" for a line without one
  bool hasComma = false;
};

// A listed line, cut at its line end; nullopt for a skipped line or one with no blank after the
// manufacturer.
std::optional<DeviceLine> ParseDeviceLine(std::string_view raw);

// `s` in upper case (ASCII), as the search compares.
std::string UpperAscii(std::string_view s);

// An empty search accepts every line; otherwise the search text must occur, ignoring case, in the
// line up to and including its first comma (so the tag, manufacturer or chip name).
bool MatchSearchText(std::string_view line, std::string_view search);

// The next line as a 500-byte line buffer reads it: at most 499 characters, with its line end; the
// rest of a longer line comes as the next line. False at the end of the file.
bool ReadDeviceLine(std::istream& in, std::string& line);

// The chip dialog's categories: the radio item's tag and its bilingual caption.
struct Category {
  std::string_view tag;
  std::string_view caption;
};
inline constexpr std::array<Category, 8> kCategories = {{
    {"EPR", "EPROM*紫外擦除存储器"},
    {"EEP", "EEPROM*电擦除存储器"},
    {"MPU", "MPU*单片机"},
    {"SER", "Serial EE*串口存储器"},
    {"PLD", "GAL/PLD*可编程逻辑器件"},
    {"RAM", "Test SRAM*测试静态SRAM"},
    {"TES", "Test TTL/CMOS*测试TTL/CMOS"},
    {"ISP", "ISP device*在线编程(ISP)"},
}};
inline constexpr std::string_view kCategoryGroupCaption = "Select device*选择器件类型";
inline constexpr int kIcpModel = 57;  // shows only its in-circuit category
inline constexpr int kIcpCategoryItem = 7;

// The category items offered for `model` (bilingual captions).
std::vector<std::string> CategoryItems(int model);

// The chooser's items when no programmer answered, and the list each one shows.
inline constexpr std::array<std::string_view, 4> kOfflineModels = {"ZOR5105+", "ZOR5107", "ZOR5149",
                                                                   "ZOR6200"};
inline constexpr int kOfflineDefaultItem = 3;

struct DeviceListChoice {
  std::string file;     // empty when the model has no list
  std::string caption;  // the chip dialog's caption
};

// The device list of `model`; model 0 asks `chooseItem` for the chooser's item.
DeviceListChoice DeviceListFor(int model, const std::function<int()>& chooseItem);

}  // namespace zelvar
