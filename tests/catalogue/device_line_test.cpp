#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/core/catalogue/DeviceList.h"

namespace zelvar {
namespace device_line_test {

struct LineCase {
  const char* name;
  std::string raw;
  bool listed;
  const char* tag;
  const char* manufacturer;
  const char* chip;
  const char* parameters;
};

class DeviceLineParse : public ::testing::TestWithParam<LineCase> {};

TEST_P(DeviceLineParse, SplitsOrSkips) {
  const LineCase& c = GetParam();
  const auto line = ParseDeviceLine(c.raw);
  ASSERT_EQ(line.has_value(), c.listed);
  if (!c.listed) return;
  EXPECT_EQ(line->tag, c.tag);
  EXPECT_EQ(line->manufacturer, c.manufacturer);
  EXPECT_EQ(line->chipName, c.chip);
  EXPECT_EQ(line->parameters, c.parameters);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DeviceLineParse,
    ::testing::Values(LineCase{"Comment", "# EPR ATMEL AT27C256,P27 13", false, "", "", "", ""},
                      LineCase{"Slash", "// EPR ATMEL AT27C256,P27 13", false, "", "", "", ""},
                      LineCase{"Dashes", "--------------------", false, "", "", "", ""},
                      LineCase{"Empty", "", false, "", "", "", ""},
                      LineCase{"LineEndOnly", "\r\n", false, "", "", "", ""},
                      LineCase{"LeadingBlank", " EPR ATMEL AT27C256,P27 13", false, "", "", "", ""},
                      LineCase{"NoBlankAfterManufacturer", "EPR ATMEL", false, "", "", "", ""},
                      LineCase{"Full", "EPR ATMEL AT27C256,P27 13 #1e 8c 00 00\r\n", true, "EPR",
                               "ATMEL", "AT27C256", "P27 13 #1e 8c 00 00"},
                      LineCase{"ChipNameWithBlank", "MPU ATMEL AT89C51 *P44,P89C51 1", true, "MPU",
                               "ATMEL", "AT89C51 *P44", "P89C51 1"},
                      LineCase{"NoComma", "EPR ATMEL AT27C256 P27 13\n", true, "EPR", "ATMEL",
                               "AT27C256 P27 13", "---"},
                      LineCase{"NonAsciiEndsTheLine", "EPR ST M27C512,P27 14 \xe5\x86\x99 vcc=5000",
                               true, "EPR", "ST", "M27C512", "P27 14 "},
                      LineCase{"ControlCharEndsTheLine", "EPR ST M27C512,P27 14\tvcc=5000", true,
                               "EPR", "ST", "M27C512", "P27 14"},
                      LineCase{"LongManufacturerCut", "EPR " + std::string(40, 'M') + " X,P27 1",
                               true, "EPR", "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", "X", "P27 1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DeviceLineSearch, MatchesTheHeadIgnoringCase) {
  const std::string line = "EPR ATMEL AT27C256,P27 13 vcc=5000";
  EXPECT_TRUE(MatchSearchText(line, ""));
  EXPECT_TRUE(MatchSearchText(line, "at27"));
  EXPECT_TRUE(MatchSearchText(line, "atmel"));
  EXPECT_TRUE(MatchSearchText(line, "epr a"));
  EXPECT_TRUE(MatchSearchText(line, "256,"));  // the comma itself belongs to the head
  EXPECT_FALSE(MatchSearchText(line, "P27"));  // the parameter text is never searched
  EXPECT_FALSE(MatchSearchText(line, "vcc"));
  EXPECT_TRUE(MatchSearchText("EPR ATMEL AT27C256 P27", "p27"));  // no comma: the whole line
}

TEST(DeviceLineRead, ALongLineContinuesAsTheNextLine) {
  const std::string longLine = "EPR ATMEL X," + std::string(600, 'a');
  std::istringstream in(longLine + "\nEPR ST Y,P27 1\n");
  std::vector<std::string> lines;
  std::string line;
  while (ReadDeviceLine(in, line)) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 499u);
  EXPECT_EQ(lines[1], longLine.substr(499) + "\n");
  EXPECT_EQ(lines[2], "EPR ST Y,P27 1\n");
}

TEST(DeviceListChoice, FileAndCaptionByModel) {
  struct Case {
    int model;
    const char* file;
    const char* caption;
  };
  const Case cases[] = {
      {411, "device411.lst", "ZOR411"},
      {5104, "device5105.lst", "ZOR5104"},
      {5105, "device5105.lst", "ZOR5105"},
      {5106, "device5105.lst", "ZOR5106"},
      {5107, "device5107.lst", "ZOR5107"},
      {5108, "device5107.lst", "ZOR5108"},
      {5148, "device5148.lst", "ZOR5148"},
      {5149, "device5149.lst", "ZOR5149"},
      {6200, "device6200.lst", "ZOR6200"},
      {6400, "device6200.lst", "ZOR6400"},
      {57, "device57.lst", "ZOR57"},
      {5000, "", "ZOR5000"},
      {412, "", "ZOR412"},
  };
  int asked = 0;
  const auto chooser = [&] {
    ++asked;
    return 0;
  };
  for (const Case& c : cases) {
    const DeviceListChoice choice = DeviceListFor(c.model, chooser);
    EXPECT_EQ(choice.file, c.file) << c.model;
    EXPECT_EQ(choice.caption, c.caption) << c.model;
  }
  EXPECT_EQ(asked, 0);
}

TEST(DeviceListChoice, NoProgrammerAsksTheChooser) {
  const char* files[] = {"device5105.lst", "device5107.lst", "device5149.lst", "device6200.lst"};
  const char* captions[] = {"ZOR5105+", "ZOR5107", "ZOR5149", "ZOR6200"};
  for (int item = 0; item < 4; ++item) {
    const DeviceListChoice choice = DeviceListFor(0, [item] { return item; });
    EXPECT_EQ(choice.file, files[item]);
    EXPECT_EQ(choice.caption, captions[item]);
  }
  EXPECT_EQ(DeviceListFor(0, [] { return -1; }).file, "");
}

TEST(DeviceListCategories, ItemsByModel) {
  EXPECT_EQ(CategoryItems(5105).size(), 7u);
  EXPECT_EQ(CategoryItems(0).size(), 7u);
  ASSERT_EQ(CategoryItems(6200).size(), 8u);
  EXPECT_EQ(CategoryItems(6200)[7], "ISP device*在线编程(ISP)");
  const auto icp = CategoryItems(57);
  ASSERT_EQ(icp.size(), 8u);
  EXPECT_EQ(icp[0], "...");
  EXPECT_EQ(icp[7], "ICP device*在线编程(ICP)");
}

}  // namespace device_line_test
}  // namespace zelvar
