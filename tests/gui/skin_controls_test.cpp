#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiform.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suipagecontrol.h"
#include "skin/Suiprogressbar.h"
#include "skin/Suiradiogroup.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_controls_test {

// A radio group of three items whose OnClick calls are counted.
class RadioGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    group.SetItems({"Bin", "Hex", "Motorola"});
    group.OnClick = [this] { ++clicks; };
  }
  std::vector<bool> States() const {
    std::vector<bool> out;
    for (int i = 0; i < group.ButtonCount(); ++i) out.push_back(group.Button(i)->Checked());
    return out;
  }
  TsuiRadioGroup group;
  int clicks = 0;
};

TEST_F(RadioGroupTest, SetItemIndexChecksOneItemAndIgnoresOutOfRange) {
  EXPECT_EQ(group.GetItemIndex(), -1);
  group.SetItemIndex(1);
  EXPECT_EQ(group.GetItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  for (int bad : {3, 4, -2, -100}) {
    group.SetItemIndex(bad);
    EXPECT_EQ(group.GetItemIndex(), 1) << bad;
  }
  EXPECT_EQ(clicks, 1);
  group.SetItemIndex(2);
  EXPECT_EQ(States(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(clicks, 2);
  // The same index again changes nothing and fires nothing.
  group.SetItemIndex(2);
  EXPECT_EQ(clicks, 2);
}

TEST_F(RadioGroupTest, MinusOneUnchecksEveryItemSilently) {
  group.SetItemIndex(0);
  clicks = 0;
  group.SetItemIndex(-1);
  EXPECT_EQ(group.GetItemIndex(), -1);
  EXPECT_EQ(States(), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(clicks, 0);
}

TEST_F(RadioGroupTest, ClickingACheckedItemKeepsItChecked) {
  group.Button(0)->Click();
  EXPECT_EQ(group.GetItemIndex(), 0);
  EXPECT_EQ(clicks, 1);
  group.Button(0)->Click();
  EXPECT_EQ(group.GetItemIndex(), 0);
  EXPECT_EQ(clicks, 1);
  group.Button(2)->Click();
  EXPECT_EQ(States(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(clicks, 2);
}

TEST(RadioGroupEmpty, HasNoItemIndex) {
  TsuiRadioGroup group;
  group.SetItemIndex(0);
  EXPECT_EQ(group.GetItemIndex(), -1);
  group.SetItemIndex(-1);
  EXPECT_EQ(group.GetItemIndex(), -1);
}

TEST(CheckGroup, GetCheckedIsFalseOutsideTheItems) {
  TsuiCheckGroup group;
  int clicks = 0;
  group.OnClick = [&] { ++clicks; };
  group.SetItems({"Erase", "Blank", "Write"});
  for (int i = 0; i < 3; ++i) group.SetChecked(i, true);
  EXPECT_FALSE(group.GetChecked(-1));
  EXPECT_FALSE(group.GetChecked(3));
  EXPECT_TRUE(group.GetChecked(2));
  EXPECT_EQ(clicks, 3);
  // Setting a state to its own value runs nothing; a change in either direction fires.
  group.SetChecked(1, true);
  EXPECT_EQ(clicks, 3);
  group.SetChecked(1, false);
  EXPECT_FALSE(group.GetChecked(1));
  EXPECT_EQ(clicks, 4);
  // Setting an item that does not exist is an error, not a write past the list.
  EXPECT_THROW(group.SetChecked(3, true), std::out_of_range);
  EXPECT_THROW(group.SetChecked(-1, true), std::out_of_range);
  EXPECT_FALSE(group.GetItemEnabled(5));
}

TEST(CheckGroup, ItemChangesKeepOneButtonPerCaptionInOrder) {
  TsuiCheckGroup group;
  group.SetItems({"a", "b", "c", "d"});
  group.SetChecked(0, true);
  group.SetItems({"x", "y"});
  ASSERT_EQ(group.ButtonCount(), 2);
  EXPECT_EQ(group.Button(0)->Caption(), "x");
  EXPECT_EQ(group.Button(1)->Caption(), "y");
  EXPECT_TRUE(group.GetChecked(0));  // surviving buttons keep their state
  group.ClearItems();
  EXPECT_EQ(group.ButtonCount(), 0);
  EXPECT_FALSE(group.GetChecked(0));
}

TEST(CheckGroup, ItemsFillColumnsTopToBottom) {
  TsuiCheckGroup group;
  group.resize(300, 120);
  group.SetColumns(3);
  group.SetItems({"0", "1", "2", "3", "4", "5", "6"});
  std::vector<int> xs;
  std::vector<int> ys;
  for (int i = 0; i < group.ButtonCount(); ++i) {
    xs.push_back(group.Button(i)->x());
    ys.push_back(group.Button(i)->y());
  }
  EXPECT_EQ(std::set<int>(xs.begin(), xs.begin() + 3).size(), 1u);
  EXPECT_EQ(std::set<int>(xs.begin() + 3, xs.begin() + 6).size(), 1u);
  EXPECT_LT(xs[0], xs[3]);
  EXPECT_LT(xs[3], xs[6]);
  EXPECT_LT(ys[0], ys[1]);
  EXPECT_LT(ys[1], ys[2]);
  EXPECT_EQ(ys[3], ys[0]);
  EXPECT_EQ(ys[6], ys[0]);
  // A negative column count is ignored.
  group.SetColumns(-1);
  EXPECT_EQ(group.Columns(), 3);
}

TEST(CheckBox, UnchangedStateRunsNothing) {
  TsuiCheckBox box;
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  box.SetChecked(false);
  EXPECT_EQ(clicks, 0);
  box.SetChecked(true);
  box.SetChecked(true);
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(clicks, 1);
  box.Click();  // a user's click toggles
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 2);
}

TEST(RadioButton, CheckingOneUnchecksItsGroupOnly) {
  QWidget parent;
  TsuiRadioButton a(&parent);
  TsuiRadioButton b(&parent);
  TsuiRadioButton other(&parent);
  other.SetGroupIndex(1);
  a.SetChecked(true);
  other.SetChecked(true);
  b.SetChecked(true);
  EXPECT_FALSE(a.Checked());
  EXPECT_TRUE(b.Checked());
  EXPECT_TRUE(other.Checked());
}

TEST(Form, CaptionGoesToTheTitleAndTheWindow) {
  QWidget window;
  TsuiForm frame(&window);
  frame.SetCaption("Write...");
  EXPECT_EQ(frame.GetCaption(), "Write...");
  EXPECT_EQ(window.windowTitle().toStdString(), "Write...");
  // A second frame on the same form, or one without a form, is a plain panel.
  TsuiForm second(&window);
  second.SetCaption("other");
  EXPECT_EQ(second.GetCaption(), "");
  EXPECT_EQ(window.windowTitle().toStdString(), "Write...");
  TsuiForm loose(nullptr);
  loose.SetCaption("loose");
  EXPECT_EQ(loose.GetCaption(), "");
}

TEST(TabSheet, CaptionRedrawsTheTabsAndKeepsTheActivePage) {
  TsuiPageControl pages;
  auto* buffer = new TsuiTabSheet(&pages);
  auto* config = new TsuiTabSheet(&pages);
  buffer->SetCaption(" Buffer  ");
  pages.SetActivePage(buffer);
  config->SetCaption(" 器件配置 ");
  EXPECT_EQ(pages.tabText(1).toStdString(), " 器件配置 ");
  EXPECT_EQ(pages.tabText(0).toStdString(), " Buffer  ");
  EXPECT_EQ(pages.ActivePage(), buffer);
  EXPECT_EQ(config->PageIndex(), 1);
  TsuiTabSheet alone;
  alone.SetCaption("x");
  EXPECT_EQ(alone.Caption(), "x");
  EXPECT_EQ(alone.PageIndex(), -1);
}

TEST(Buttons, CaptionAndArrowAreStored) {
  TsuiButton go;
  go.SetCaption2("Go");
  EXPECT_EQ(go.Caption(), "Go");
  EXPECT_EQ(go.text().toStdString(), "Go");
  TsuiArrowButton arrow;
  EXPECT_EQ(arrow.Arrow(), suiUp);
  arrow.SetArrow(suiDown);
  EXPECT_EQ(arrow.Arrow(), suiDown);
}

TEST(ProgressBar, StoresWithoutRangeChecks) {
  TsuiProgressBar bar;
  EXPECT_EQ(bar.Caption(), "50%");
  bar.SetMax(100);
  bar.SetPosition(33);
  EXPECT_EQ(bar.Position(), 33);
  EXPECT_EQ(bar.Caption(), "33%");
  bar.SetPosition(1);
  EXPECT_EQ(bar.GetWidthFromPosition(149), 1);
  bar.SetPosition(150);
  EXPECT_EQ(bar.Position(), 150);
  EXPECT_EQ(bar.Caption(), "150%");
  EXPECT_EQ(bar.GetWidthFromPosition(149), 149);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.GetWidthFromPosition(149), 0);
  bar.SetMax(0);  // max equal to min: no division
  EXPECT_EQ(bar.Caption(), "0%");
  EXPECT_EQ(bar.GetWidthFromPosition(149), 0);
}

TEST(Panel, Height2AppliesOnlyWhileOpen) {
  TsuiPanel panel;
  panel.SetHeight2(150);
  EXPECT_EQ(panel.Height2(), 150);
  EXPECT_EQ(panel.height(), 150);
  panel.Push();
  EXPECT_TRUE(panel.Pushed());
  panel.SetHeight2(120);
  EXPECT_EQ(panel.height(), TsuiPanel::kTitleHeight);
  panel.Pop();
  EXPECT_EQ(panel.height(), 120);
}

TEST(ComboBox, ItemIndexIsMinusOneWithoutSelection) {
  TsuiComboBox combo;
  EXPECT_EQ(combo.ItemIndex(), -1);
  combo.AddItem("5V");
  combo.AddItem("3.3V");
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.ItemText(1), "3.3V");
}

// The drive box lists this system's mount points (as the kernel reports them) and starts on the
// one holding the working directory.
TEST(ComboBox, DriveBoxListsTheMountPoints) {
  TsuiDriveComboBox drives;
  QFile mounts("/proc/self/mounts");
  ASSERT_TRUE(mounts.open(QIODevice::ReadOnly));
  QStringList points;
  for (const QByteArray& line : mounts.readAll().split('\n')) {
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() > 1) points << QString::fromUtf8(fields[1]).replace("\\040", " ");
  }
  ASSERT_GT(drives.ItemCount(), 0);
  EXPECT_GE(drives.findText("/"), 0);
  for (int i = 0; i < drives.ItemCount(); ++i)
    EXPECT_TRUE(points.contains(drives.itemText(i))) << drives.itemText(i).toStdString();
  const QString here = QDir::currentPath();
  EXPECT_TRUE(drives.Drive() == "/" || here == drives.Drive() ||
              here.startsWith(drives.Drive() + '/'))
      << drives.Drive().toStdString();
  drives.SetDrive("/");
  EXPECT_EQ(drives.Drive(), "/");
  EXPECT_FALSE(drives.DroppedDown());
}

TEST(ComboBox, FilterBoxShowsDescriptionsAndGivesTheMask) {
  TsuiFilterComboBox filter;
  EXPECT_EQ(filter.ItemCount(), 1);
  EXPECT_EQ(filter.Mask(), "*.*");
  filter.SetFilter("Intel HEX (*.hex)|*.hex|Binary (*.bin)|*.bin;*.rom|Dangling");
  ASSERT_EQ(filter.ItemCount(), 2) << "a description without a mask is left out";
  EXPECT_EQ(filter.ItemText(0), "Intel HEX (*.hex)");
  EXPECT_EQ(filter.Mask(), "*.hex");
  filter.SetItemIndex(1);
  EXPECT_EQ(filter.Mask(), "*.bin;*.rom");
  filter.SetFilter("");
  EXPECT_EQ(filter.Mask(), "");
}

}  // namespace skin_controls_test
}  // namespace zelvar
