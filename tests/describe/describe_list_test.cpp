// Reading a set's describe list into the chip controls.
#include <gtest/gtest.h>

#include "app/core/describe/ChipUiModel.h"
#include "app/core/describe/DescribeText.h"
#include "describe/ChipUiFixture.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::test {
namespace describe_list_test {

using DescribeListTest = ChipUiFixture;

TEST(DescribeTextTest, NumbersAndItems) {
  struct NumberCase {
    const char* text;
    std::int32_t value;
  };
  const NumberCase numbers[] = {
      {"12", 12},        {"-1", -1},         {"0x1F", 31},      {"0X01", 1}, {"$FF", 255},
      {"$FFFFFFFF", -1}, {" 7 ", 7},         {"", 0},           {"abc", 0},  {"12ab", 0},
      {"0x", 0},         {"99999999999", 0}, {"0x1FFFFFFFF", 0}};
  for (const auto& c : numbers) EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;

  struct ItemCase {
    const char* entry;
    const char* key;
    const char* value;
  };
  const ItemCase items[] = {{"n=BODEN,v=1,a=0,b=6", "n=", "BODEN"},
                            {"n=BODEN,v=1,a=0,b=6", "b=", "6"},
                            {"n=BODEN,v=1,a=0,b=6", "l=", "0"},
                            {"n=FOSC0,v=1,a=0,b=0,c=1,m=0x01", "m=", "0x01"},
                            {"n=AP Lock(加密),v=0", "n=", "AP Lock(加密)"},
                            {"v=1,a=", "a=", ""},
                            // The key's first occurrence counts, even inside a name.
                            {"n=Data,a=1", "a=", "1"},
                            {"n=Beta=2,a=1", "a=", "2"}};
  for (const auto& c : items) EXPECT_EQ(DescriptorItem(c.entry, c.key), c.value) << c.entry;

  struct HexCase {
    const char* text;
    std::uint32_t value;
  };
  const HexCase hex[] = {{"0000", 0},
                         {"0FFFFF", 0xFFFFF},
                         {"0FFFFFF", 0xFFFFFF},
                         {"ffff", 0xFFFF},
                         {"0x10", 0x10},
                         {"12zz", 0x12},
                         {"zz", 0},
                         {"", 0},
                         {"1FFFFFFFF", 0xFFFFFFFF}};
  for (const auto& c : hex) EXPECT_EQ(ParseHexWord(c.text), c.value) << c.text;
}

TEST_F(DescribeListTest, AnEpromListInBothLanguages) {
  const ChipUiList list = {"$Fonc:",
                           "22 Blank",
                           "23 Write*写入",
                           "24 Verify",
                           "$DisTool:",
                           "21,25,26,29,30,31,",
                           "$Gridw:Addr(地址范围)",
                           "Addr start",
                           "0000",
                           "Addr end",
                           "0FFFFFF",
                           "$Radio1:04,Delay(写延迟)",
                           "100 uS",
                           "200 uS",
                           "1 mS",
                           "2 mS",
                           "5 mS(慢)",
                           "$end",
                           "$Fonc:",
                           "21 Erase"};
  for (const int chinese : {0, 1}) {
    SCOPED_TRACE(chinese);
    ChineseTexts = chinese;
    ReadChipUiList(ui, list, 0);
    EXPECT_EQ(gApp.GoOpCodes, (std::vector<int>{22, 23, 24}));
    // Plain English names go through the translation table in Chinese mode.
    const std::vector<std::string> names =
        chinese ? std::vector<std::string>{"检查空", "写入", "校对"}
                : std::vector<std::string>{"Blank", "Write", "Verify"};
    EXPECT_EQ(ui.GoGroup.Items, names);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(ui.GoGroup.GetChecked(i));
    for (int code = kOpErase; code <= kOpReadConfig; ++code) {
      const bool off = code == 21 || code == 25 || code == 26 || code == 29;
      EXPECT_EQ(ui.OperationAllowed(code), !off) << code;
    }
    EXPECT_EQ(ui.WordPanelCaption, chinese ? "Addr(地址范围)" : "Addr");
    ASSERT_EQ(ui.WordRows.size(), 2u);
    EXPECT_EQ(ui.WordRows[1].Label, "Addr end");
    EXPECT_TRUE(ui.WordPanelVisible);
    EXPECT_EQ(gApp.OptionValues[64], 0);
    EXPECT_EQ(gApp.OptionValues[65], 0xFFFFFF);
    const RadioCombo& combo = ui.Combos[0];
    EXPECT_EQ(combo.Label, chinese ? "Delay(写延迟)" : "Delay");
    EXPECT_EQ(combo.Items.size(), 5u);
    EXPECT_EQ(combo.Items[4], chinese ? "5 mS(慢)" : "5 mS");
    EXPECT_EQ(combo.ItemIndex, 4);
    EXPECT_EQ(gApp.OptionValues[128], 4);
    EXPECT_TRUE(ui.RadioPanelVisible);
    EXPECT_FALSE(ui.Combos[1].Visible);
    EXPECT_EQ(ui.ConfigRowCount, 0);
    EXPECT_FALSE(ui.ConfigPanelVisible);
  }
}

TEST_F(DescribeListTest, SectionEdgeCases) {
  struct Case {
    const char* name;
    ChipUiList list;
    std::vector<int> goCodes;
    std::size_t wordRows;
    bool radioShown;
    int radio1Index;
    int word128;
  };
  const Case cases[] = {
      {"RadioWithNote",
       {"$Radio1:00,Erase(擦除方式)", "CHIP(快)", "SECTOR(慢)", "$end"},
       {},
       0,
       true,
       0,
       0},
      {"RadioDefaultPastItems", {"$Radio1:09,Speed", "a", "b", "c", "$end"}, {}, 0, true, 2, 2},
      {"RadioWithoutItems", {"$Radio1:03,Speed", "$end"}, {}, 0, true, -1, 0},
      {"RadioShortMarker", {"$Radio1", "a", "$end"}, {}, 0, true, 0, 0},
      {"LaterRadioReplaces",
       {"$Radio1:00,A", "x", "$Radio1:01,B", "y", "z", "$end"},
       {},
       0,
       true,
       1,
       1},
      {"NothingAfterEnd", {"$end", "$Fonc:", "21 Erase", "$Radio1:00,A", "x"}, {}, 0, false, -1, 0},
      {"NoEndMarker", {"$Fonc:", "21 Erase", "22 Blank"}, {21, 22}, 0, false, -1, 0},
      {"WordLabelWithoutValue",
       {"$Gridw:W", "Addr start", "0010", "Addr end", "$end"},
       {},
       2,
       false,
       -1,
       0},
      {"FoncEndsAtDollar",
       {"$Fonc:", "21 Erase", "$Fonc2", "22 Blank", "$end"},
       {21},
       0,
       false,
       -1,
       0},
      // A row without its two-digit code runs nothing and takes no place in the Go group.
      {"FoncRowWithoutCode",
       {"$Fonc:", "21 Erase", " Lock", "24 Verify", "$end"},
       {21, 24},
       0,
       false,
       -1,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gApp.OptionValues.fill(0);
    ReadChipUiList(ui, c.list, 0);
    EXPECT_EQ(gApp.GoOpCodes, c.goCodes);
    EXPECT_EQ(ui.WordRows.size(), c.wordRows);
    EXPECT_EQ(ui.Combos[0].Visible, c.radioShown);
    EXPECT_EQ(ui.RadioPanelVisible, c.radioShown);
    EXPECT_EQ(ui.Combos[0].ItemIndex, c.radio1Index);
    EXPECT_EQ(gApp.OptionValues[128], c.word128);
  }
  ReadChipUiList(ui, {"$Radio1:00,Erase(擦除方式)", "x", "$end"}, 0);
  EXPECT_EQ(ui.Combos[0].Label, "Erase");
}

TEST_F(DescribeListTest, SectionsAreBounded) {
  ChipUiList list = {"$Fonc:"};
  for (int i = 0; i < 25; ++i) list.push_back("23 Write " + std::to_string(i));
  list.push_back("$Gridw:Words");
  for (int i = 0; i < 70; ++i) {
    list.push_back("w" + std::to_string(i));
    list.push_back("1");
  }
  list.push_back("$Grid1:");
  for (int i = 0; i < 70; ++i) list.push_back("n=R,v=1,a=0,b=" + std::to_string(i % 32));
  list.push_back("$end");

  ReadChipUiList(ui, list, 0);
  EXPECT_EQ(gApp.GoOpCodes.size(), 20u);
  EXPECT_EQ(ui.GoGroup.Count(), 20);
  EXPECT_EQ(ui.WordRows.size(), 64u);
  EXPECT_EQ(gApp.OptionValues[127], 1);
  EXPECT_EQ(gApp.OptionValues[128], 0);  // word 128 is the first radio word, not a grid row
  EXPECT_EQ(ui.ConfigRowCount, 64);
  EXPECT_TRUE(ui.ConfigPanelVisible);
}

TEST_F(DescribeListTest, DisToolAndSearchFollowOnlyAListThatHasTheSection) {
  ui.OperationEnabled.fill(false);
  ui.SearchEnabled = false;
  ReadChipUiList(ui, {"$Fonc:", "21 Erase", "$end"}, 0);
  EXPECT_FALSE(ui.OperationAllowed(kOpRead));
  EXPECT_FALSE(ui.SearchEnabled);

  struct Case {
    int viewKind;
    bool search;
  };
  for (const Case c :
       {Case{0, true}, Case{1, false}, Case{7, false}, Case{8, true}, Case{16, true}}) {
    ReadChipUiList(ui, {"$DisTool:", "28,", "$end"}, c.viewKind);
    EXPECT_EQ(ui.SearchEnabled, c.search) << c.viewKind;
    EXPECT_TRUE(ui.OperationAllowed(kOpRead));
    EXPECT_FALSE(ui.OperationAllowed(kOpReadId));
  }
}

TEST_F(DescribeListTest, AListWithoutGoOrWordSectionsLeavesThemEmpty) {
  ReadChipUiList(ui, {"$Fonc:", "21 Erase", "$Gridw:A", "Addr start", "0100", "$end"}, 0);
  ASSERT_EQ(gApp.OptionValues[64], 0x100);
  gApp.OptionValues[64] = 0;
  ReadChipUiList(ui, {"$end"}, 0);
  EXPECT_TRUE(gApp.GoOpCodes.empty());
  EXPECT_EQ(ui.GoGroup.Count(), 0);
  EXPECT_TRUE(ui.WordRows.empty());
  EXPECT_FALSE(ui.WordPanelVisible);
  EXPECT_EQ(gApp.OptionValues[64], 0);
}

TEST_F(DescribeListTest, ConfigRowsLoadFromTheDescriptors) {
  ChineseTexts = 0;
  ReadChipUiList(ui,
                 {"$DisShow:", "1", "$Grid1:", "n=AP Lock(加密),v=1,l=1,a=3,b=0",
                  "n=FOSC0,v=0,a=0,b=0,c=1,m=0x01", "n=X,l=257,c=$2,m=$F0,a=2,b=40", "$end"},
                 0);
  ASSERT_EQ(ui.ConfigRowCount, 3);
  EXPECT_TRUE(ui.ConfigPanelVisible);  // the rows decide, whatever "$DisShow:" says
  EXPECT_EQ(ui.Cells[0][0], "AP Lock");
  EXPECT_EQ(ui.Cells[0][1], "1");
  EXPECT_EQ(ui.Cells[2][1], "0");  // no "v=": "0"
  const ConfigTabRecord& r = ui.ConfigTab[2];
  EXPECT_EQ(r.ActiveLevel, 1);  // kept as a byte
  EXPECT_EQ(r.ComboNumber, 2);
  EXPECT_EQ(r.ComboMask, 0xF0);
  EXPECT_EQ(r.WordIndex, 2);
  EXPECT_EQ(r.BitNumber, 40);
  EXPECT_EQ(gApp.OptionValues[3], 1);
}

TEST_F(DescribeListTest, ABlankFirstRowIsReportedAndLoadsNothing) {
  ReadChipUiList(ui, {"$Grid1:", "n=A,v=1,a=0,b=0", "$end"}, 0);
  ASSERT_EQ(ui.ConfigRowCount, 1);
  ReadChipUiList(ui, {"$Grid1:", "", "n=A,v=1,a=0,b=0", "$end"}, 0);
  EXPECT_EQ(fake.boxes, (std::vector<std::string>{"Blank data! "}));
  EXPECT_EQ(ui.ConfigRowCount, 0);
  EXPECT_FALSE(ui.ConfigPanelVisible);

  fake.boxes.clear();
  ReadChipUiList(ui, {"$Grid1:", "$end"}, 0);
  EXPECT_TRUE(fake.boxes.empty());
  EXPECT_EQ(ui.ConfigRowCount, 0);
  ChipUiList atTheEdge(kChipUiListSize);
  atTheEdge.back() = "$Grid1:";
  EXPECT_EQ(LoadConfigDescriptors(ui, atTheEdge, kChipUiListSize), 0);
  EXPECT_EQ(fake.boxes, (std::vector<std::string>{"Blank data! "}));
}

TEST_F(DescribeListTest, ResetGivesEachRowItsWordByEights) {
  ui.Cells[9][0] = "old";
  ui.ConfigTab[9].ComboMask = 3;
  ResetConfigTab(ui);
  EXPECT_EQ(ui.Cells[9][0], "");
  EXPECT_EQ(ui.ConfigTab[9].ComboMask, 0);
  EXPECT_EQ(ui.ConfigTab[9].WordIndex, 1);
  EXPECT_EQ(ui.ConfigTab[63].WordIndex, 7);
}

TEST(PanelPlacementTest, TheWordPanelSitsRightOfTheConfigPanel) {
  const PanelRect r = PlaceOptionWordPanel({10, 20, 300, 50}, 180, 120);
  EXPECT_EQ(r.left, 314);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.width, 120);
  EXPECT_EQ(r.height, 180);
}

}  // namespace describe_list_test
}  // namespace zelvar::test
