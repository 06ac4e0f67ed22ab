// Every line of every device list the build writes from the catalogue: it parses, names a known
// key, and for a built set names an existing row with the items the set needs; in the catalogue,
// each such line names the caption of the row it means.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "algorithms/registry/Registry.h"
#include "app/core/catalogue/AlgorithmKeys.h"
#include "app/core/catalogue/ChipParams.h"
#include "app/core/catalogue/DeviceList.h"

namespace zelvar {
namespace device_lists_test {

const char* const kLists[] = {"device411.lst",  "device5105.lst", "device5107.lst",
                              "device5148.lst", "device5149.lst", "device6200.lst",
                              "device57.lst"};

std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class DeviceListFile : public ::testing::TestWithParam<const char*> {};

TEST_P(DeviceListFile, EveryLineIsWellFormed) {
  const std::string text = ReadFile(GetParam());
  ASSERT_FALSE(text.empty()) << GetParam() << " missing from the program directory";
  EXPECT_EQ(text[0], '#') << "a list starts with its header comment";

  std::istringstream physical(text);
  std::string line;
  int number = 0;
  std::set<std::tuple<std::string, std::string, std::string>> seen;
  while (std::getline(physical, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = std::string(GetParam()) + ":" + std::to_string(number);
    EXPECT_LE(line.size(), static_cast<std::size_t>(kDeviceLineMax)) << where;
    for (char ch : line) {
      const auto c = static_cast<unsigned char>(ch);
      EXPECT_TRUE(c >= 32 && c < 127) << where << ": not plain ASCII or a control character";
    }
    if (IsSkippedLine(line)) continue;

    const auto d = ParseDeviceLine(line);
    ASSERT_TRUE(d.has_value()) << where;
    EXPECT_EQ(line[3], ' ') << where;
    bool knownTag = false;
    for (const auto& c : kCategories) knownTag = knownTag || c.tag == d->tag;
    EXPECT_TRUE(knownTag) << where << ": category " << d->tag;
    const auto blank = line.find(' ', 4);
    EXPECT_LE(blank - 4, static_cast<std::size_t>(kManufacturerMax)) << where;
    EXPECT_FALSE(d->manufacturer.empty()) << where;
    EXPECT_TRUE(d->hasComma) << where;
    EXPECT_FALSE(d->chipName.empty() || d->chipName[0] == '-') << where;
    EXPECT_TRUE(seen.insert({d->tag, d->manufacturer, d->chipName}).second)
        << where << ": listed twice";

    const auto head = ParseParameterHead(d->parameters);
    ASSERT_TRUE(head.has_value()) << where;
    if (head->key == kIcTesterKey) continue;
    ASSERT_GE(AlgorithmKeyIndex(head->key), 0) << where << ": key " << head->key;

    const std::string_view set = AlgorithmSetName(head->key);
    const SetCatalogueFacts facts = CatalogueFacts(set);
    if (!facts.built) {
      // A set that has landed has facts, so that its lines are checked from then on.
      EXPECT_EQ(FindAlgorithmSet(set), nullptr) << where << ": set " << set << " has no facts";
      continue;
    }
    EXPECT_GE(head->typeIndex, facts.firstRow) << where;
    EXPECT_LE(head->typeIndex, facts.typeRows) << where;
    std::istringstream items{std::string(facts.requiredItems)};
    std::string item;
    while (items >> item) {
      EXPECT_NE((" " + d->parameters).find(" " + item), std::string::npos)
          << where << ": needs " << item;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllModels, DeviceListFile, ::testing::ValuesIn(kLists),
                         [](const auto& info) {
                           std::string name = info.param;
                           return name.substr(6, name.size() - 10);
                         });

// Atmel's 27C256 row of the EPROM set (VPP 13.0 V), not a 2716 row.
TEST(DeviceListRows, AT27C256BindsThe27C256Row) {
  for (const char* list :
       {"device5105.lst", "device5107.lst", "device5148.lst", "device5149.lst", "device6200.lst"}) {
    std::istringstream in(ReadFile(list));
    std::string line;
    bool found = false;
    while (ReadDeviceLine(in, line)) {
      const auto d = ParseDeviceLine(line);
      if (!d || d->manufacturer != "ATMEL" || d->chipName != "AT27C256") continue;
      found = true;
      const auto head = ParseParameterHead(d->parameters);
      ASSERT_TRUE(head.has_value());
      EXPECT_EQ(head->key, "P27") << list;
      EXPECT_EQ(head->typeIndex, 22) << list;
    }
    EXPECT_TRUE(found) << list;
  }
}

// A catalogue line of a built set carries the caption of the row it names, and the number still
// points at that row.
TEST(DeviceCatalogue, RowNumbersPointAtTheirCaptions) {
  std::istringstream in(ReadFile(ZELVAR_SOURCE_DIR "/data/devices.txt"));
  std::string line;
  int number = 0, checked = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string where = "devices.txt:" + std::to_string(number);
    const auto first = line.find(" | ");
    if (line.empty() || line[0] == '#' || line[0] == '@' || first == std::string::npos) continue;
    std::string text = line.substr(first + 3);
    std::string caption;
    if (const auto second = text.rfind(" | "); second != std::string::npos) {
      caption = text.substr(second + 3);
      text.resize(second);
    }
    const auto d = ParseDeviceLine(text);
    if (!d) continue;
    const auto head = ParseParameterHead(d->parameters);
    if (!head || head->key == kIcTesterKey) continue;
    const AlgorithmSet* set = FindSet(AlgorithmSetName(head->key));
    if (!set) continue;
    ASSERT_FALSE(caption.empty()) << where << ": a line of set " << set->key << " names its row";
    EXPECT_EQ(set->rowCaption(head->typeIndex), caption) << where;
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

}  // namespace device_lists_test
}  // namespace zelvar
