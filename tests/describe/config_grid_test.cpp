// The config grid, the radio combos and the word grid in both directions, and their handlers.
#include <gtest/gtest.h>

#include "app/core/describe/ChipUiModel.h"
#include "describe/ChipUiFixture.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::test {
namespace config_grid_test {

class ConfigGridTest : public ChipUiFixture {
 protected:
  // A chip with one radio combo of `items` and the given config rows.
  void Load(const std::vector<std::string>& rows, int items = 4) {
    ChipUiList list = {"$Radio1:00,Mode"};
    for (int i = 0; i < items; ++i) list.push_back("item" + std::to_string(i));
    list.push_back("$Grid1:");
    list.insert(list.end(), rows.begin(), rows.end());
    list.push_back("$end");
    ReadChipUiList(ui, list, 0);
  }
};

TEST_F(ConfigGridTest, TheMeaningColumnFollowsTheActiveLevel) {
  struct Case {
    const char* row;
    const char* meaning;
  };
  const Case cases[] = {{"n=A,v=1,l=1,a=0,b=0", "Enable"}, {"n=A,v=0,l=1,a=0,b=0", "Disable"},
                        {"n=A,v=1,a=0,b=0", "Disable"},    {"n=A,v=0,a=0,b=0", "Enable"},
                        {"n=A,v=1,l=3,a=0,b=0", "Enable"}, {"n=A,v=1,l=2,a=0,b=0", "Disable"}};
  for (const Case& c : cases) {
    Load({c.row});
    EXPECT_EQ(ui.Cells[0][2], c.meaning) << c.row;
  }
  ChineseTexts = 1;
  Load({"n=A,v=1,l=1,a=0,b=0", "n=B,v=1,a=0,b=1"});
  EXPECT_EQ(ui.Cells[0][2], "有效(允许)");
  EXPECT_EQ(ui.Cells[1][2], "无效");
}

TEST_F(ConfigGridTest, RowsInStateOneSetTheirBits) {
  Load({"n=A,v=1,a=0,b=6", "n=B,v=0,a=0,b=1", "n=C,v=1,a=63,b=31", "n=D,v=1,a=2,b=33",
        "n=E,v=1,a=2,b=-1"});
  EXPECT_EQ(gApp.OptionValues[0], 0x40);
  EXPECT_EQ(static_cast<std::uint32_t>(gApp.OptionValues[63]), 0x80000000u);
  // Bit numbers count modulo 32.
  EXPECT_EQ(static_cast<std::uint32_t>(gApp.OptionValues[2]), 0x80000002u);
}

TEST_F(ConfigGridTest, WordsAbove63KeepTheirBitsAcrossRebuilds) {
  Load({"n=A,v=1,a=100,b=3"});
  EXPECT_EQ(gApp.OptionValues[100], 8);
  ui.CurrentRow = 0;
  ConfigGridMouseDown(ui);
  EXPECT_EQ(ui.Cells[0][1], "0");
  EXPECT_EQ(gApp.OptionValues[100], 8);  // set, never cleared here
}

TEST_F(ConfigGridTest, WordIndicesOutsideTheOptionsAreRefusedBothWays) {
  struct Case {
    int word;
    bool refused;
  };
  const Case cases[] = {{-1, true}, {-100, true}, {144, true}, {1000, true},
                        {0, false}, {64, false},  {143, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    fake.boxes.clear();
    gApp.OptionValues.fill(0);
    // An earlier good row stays applied; the pass stops at the bad one.
    Load({"n=A,v=1,a=1,b=0", "n=B,v=1,a=" + std::to_string(c.word) + ",b=2", "n=C,v=1,a=5,b=0"});
    EXPECT_EQ(fake.boxes.size(), c.refused ? 1u : 0u);
    EXPECT_EQ(gApp.OptionValues[1], 1);
    EXPECT_EQ(gApp.OptionValues[5], c.refused ? 0 : 1);

    fake.boxes.clear();
    gApp.OptionValues[1] = 0;
    gApp.OptionValues[5] = 0;
    if (!c.refused) gApp.OptionValues[c.word] = 4;
    OptionValuesToGrid(ui);
    EXPECT_EQ(fake.boxes,
              c.refused ? std::vector<std::string>{"Out of range! "} : std::vector<std::string>{});
    EXPECT_EQ(ui.Cells[0][1], "0");
    EXPECT_EQ(ui.Cells[2][1], c.refused ? "1" : "0");
  }
}

TEST_F(ConfigGridTest, OptionValuesToGridShowsTheWordsAndRebuilds) {
  ReadChipUiList(ui,
                 {"$Gridw:W", "a", "0", "b", "0", "c", "0", "d", "0", "$Grid1:", "n=A,v=0,a=0,b=6",
                  "n=B,v=1,a=1,b=0", "$end"},
                 0);
  gApp.OptionValues[0] = 0x40;
  gApp.OptionValues[1] = 0x2;
  const std::int32_t words[] = {0x5, 0x1234, 0xFFFFF, -1};
  for (int r = 0; r < 4; ++r) gApp.OptionValues[64 + r] = words[r];
  OptionValuesToGrid(ui);
  EXPECT_EQ(ui.Cells[0][1], "1");
  EXPECT_EQ(ui.Cells[1][1], "0");
  EXPECT_EQ(gApp.OptionValues[1], 0);
  const char* texts[] = {"05", "1234", "000FFFFF", "FFFFFFFF"};
  for (int r = 0; r < 4; ++r) EXPECT_EQ(ui.WordRows[r].Value, texts[r]);
  OptionWordsFromGrid(ui);
  for (int r = 0; r < 4; ++r) EXPECT_EQ(gApp.OptionValues[64 + r], words[r]);
}

TEST_F(ConfigGridTest, ComboBoundRowsFollowTheComboAndTheComboFollowsTheRows) {
  Load({"n=F0,v=0,a=0,b=0,c=1,m=0x01", "n=F1,v=0,a=0,b=1,c=1,m=0x02"});
  ui.Combos[0].SetItemIndex(3);
  ConfigComboChanged(ui);
  EXPECT_EQ(ui.Cells[0][1], "1");
  EXPECT_EQ(ui.Cells[1][1], "1");
  EXPECT_EQ(ui.Cells[0][2], "item3");
  EXPECT_EQ(gApp.OptionValues[128], 3);
  EXPECT_EQ(gApp.ProjectModified, 2);
  // The config words follow the combo at once, so a Config right after the choice writes it.
  EXPECT_EQ(gApp.OptionValues[0], 3);

  ui.CurrentRow = 0;
  ConfigGridKeyDown(ui, '0');
  EXPECT_EQ(ui.Combos[0].ItemIndex, 2);
  EXPECT_EQ(ui.Cells[1][2], "item2");
  EXPECT_EQ(gApp.OptionValues[0], 2);

  ui.Combos[0].SetItemIndex(1);
  ConfigComboChanged(ui);
  EXPECT_EQ(gApp.OptionValues[0], 1);
}

TEST_F(ConfigGridTest, ARowWithAComboNumberOutsideOneToFourUsesComboOne) {
  Load({"n=F0,v=1,a=0,b=0,c=7,m=0x02"});
  EXPECT_EQ(ui.Combos[0].ItemIndex, 2);
  EXPECT_EQ(ui.Cells[0][2], "item2");
}

TEST_F(ConfigGridTest, AMaskPastTheItemsSelectsNothing) {
  Load({"n=F0,v=1,a=0,b=0,c=1,m=0x08"}, 3);
  EXPECT_EQ(ui.Combos[0].ItemIndex, -1);
  EXPECT_EQ(ui.Cells[0][2], "");
}

TEST_F(ConfigGridTest, GridMouseAndKeysEditTheCurrentRow) {
  struct Case {
    const char* name;
    const char* before;
    int key;  // 0: a mouse press
    const char* after;
  };
  const Case cases[] = {{"MouseOn", "0", 0, "1"},
                        {"MouseOff", "1", 0, "0"},
                        {"MouseOther", "x", 0, "x"},
                        {"KeyZero", "1", '0', "0"},
                        {"KeyOne", "0", '1', "1"},
                        {"Enter", "1", kKeyEnter, "0"},
                        {"EnterOther", "2", kKeyEnter, "2"},
                        {"OtherKey", "1", 'a', "1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load({"n=A,v=0,l=1,a=0,b=0", "n=B,v=1,l=1,a=0,b=4"});
    gApp.ProjectModified = 16;
    ui.CurrentRow = 1;
    ui.Cells[1][1] = c.before;
    ui.Cells[0][1] = "1";  // edited without a rebuild: any handler must rebuild the word
    c.key ? ConfigGridKeyDown(ui, c.key) : ConfigGridMouseDown(ui);
    EXPECT_EQ(ui.Cells[1][1], c.after);
    EXPECT_EQ(gApp.ProjectModified, 18);
    EXPECT_EQ(gApp.OptionValues[0] & 1, 1);
    EXPECT_EQ((gApp.OptionValues[0] >> 4) & 1, std::string(c.after) == "1" ? 1 : 0);
  }
  // A current row beyond the rows in use edits nothing.
  ui.CurrentRow = 5;
  ui.Cells[5][1] = "0";
  ConfigGridMouseDown(ui);
  EXPECT_EQ(ui.Cells[5][1], "0");
}

TEST_F(ConfigGridTest, AChipWithFewerRowsIgnoresThePreviousChipsRows) {
  Load({"n=A,v=1,a=0,b=0", "n=B,v=1,a=0,b=1,c=2,m=0x01", "n=C,v=1,a=0,b=2"});
  ASSERT_EQ(gApp.OptionValues[0], 7);
  Load({"n=Z,v=1,a=1,b=0"});
  EXPECT_EQ(gApp.OptionValues[0], 0);
  EXPECT_EQ(gApp.OptionValues[1], 1);
  ui.Combos[1].Items = {"x", "y"};
  ui.Combos[1].SetItemIndex(0);
  ConfigComboChanged(ui);
  EXPECT_EQ(ui.Cells[1][1], "");  // the old row is not in use any more
  OptionValuesToGrid(ui);
  EXPECT_EQ(gApp.OptionValues[0], 0);
}

TEST_F(ConfigGridTest, GridToOptionValuesSelectsTheStoredRadioChoices) {
  ReadChipUiList(ui, {"$Radio1:00,A", "a", "b", "$Radio3:00,C", "x", "y", "z", "$end"}, 0);
  gApp.OptionValues[128] = 1;
  gApp.OptionValues[130] = 2;
  gApp.OptionValues[131] = 5;
  GridToOptionValues(ui);
  EXPECT_EQ(ui.Combos[0].ItemIndex, 1);
  EXPECT_EQ(ui.Combos[2].ItemIndex, 2);
  EXPECT_EQ(ui.Combos[3].ItemIndex, -1);
  EXPECT_FALSE(ui.Combos[1].Visible);
}

}  // namespace config_grid_test
}  // namespace zelvar::test
