// The Tools menu's self-test and IC tester on the simulated 6200, through the main window's menu
// items and the tester window's own controls, as a user walks them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "app/core/Backend.h"
#include "app/core/catalogue/Selection.h"
#include "app/forms/dialogs/ICTest.h"
#include "app/forms/windows/Forms.h"
#include "services/AppState.h"
#include "sim/Programmer.h"
#include "sim/chips/LogicChip.h"
#include "support/MainWindowFixture.h"
#include "support/QtApp.h"

namespace zelvar {
namespace programmer_tools_test {

class ProgrammerToolsTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    StartMainWindow();
  }
  sim::Programmer& Sim() { return *programmer.backend->programmer(); }
  void Place(const char* part) { Sim().PlaceChipAtBottom(sim::MakeLogicChip(part)); }
  // Opens the tester from the Tools menu and runs `steps` on the open window, then closes it.
  void WithTester(const std::function<void()>& steps) {
    WhenShown(steps);
    MainForm->actions.at("ICtester1")->trigger();
  }
  // Runs `steps` once the tester window shows (the busy window turns before it does), then
  // closes it with its Exit button.
  static void WhenShown(const std::function<void()>& steps) {
    QTimer::singleShot(0, [steps] {
      if (!ICTestx->isVisible()) return WhenShown(steps);
      steps();
      ICTestx->CancelBtn->click();
    });
  }
  void Pick(const char* name) {
    const auto items = ICTestx->ListBox1->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name;
    ICTestx->ListBox1->setCurrentItem(items[0]);
    emit ICTestx->ListBox1->itemClicked(items[0]);
  }
};

TEST_F(ProgrammerToolsTest, BackCheckPassesOnAnEmptySocket) {
  MainForm->actions.at("Selftest1")->trigger();
  const auto lines = fake.LogTexts();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "The programmer all right "), lines.end());
  EXPECT_TRUE(fake.boxes.empty());
  EXPECT_EQ(gApp.ProjectModified, 32);
  EXPECT_EQ(gLink.LastBitstream, "no_part");
  EXPECT_TRUE(Sim().record.hazards.empty());
}

TEST_F(ProgrammerToolsTest, TestsChipsFromEachLibraryAndPowersDownOnClose) {
  Place("7400");
  // A catalogue line's type index does not choose the library: the tester opens on the 74xxx.
  gApp.TypeIndex = 2;
  WithTester([this] {
    EXPECT_TRUE(ICTestx->isVisible());
    EXPECT_EQ(ICTestx->windowTitle(), "Test  IC (74,40,45)");
    EXPECT_EQ(ICTestx->RadioGroup1->GetItemIndex(), 0);
    EXPECT_GT(ICTestx->ListBox1->count(), 80);
    Pick("74xx00");
    EXPECT_EQ(ICTestx->Number->text(), "74xx00");
    ICTestx->Test1->click();
    EXPECT_EQ(ICTestx->Message->text(), "OK!");

    Place("4011");
    ICTestx->RadioGroup1->Button(1)->click();
    Pick("4011");
    ICTestx->Test1->click();
    EXPECT_EQ(ICTestx->Message->text(), "OK!");

    Place("4511");
    ICTestx->RadioGroup1->Button(2)->click();
    Pick("4511");
    ICTestx->Test1->click();
    EXPECT_EQ(ICTestx->Message->text(), "OK!");
    Place("4511:stuck");
    ICTestx->Test1->click();
    EXPECT_EQ(ICTestx->Message->text(), "Bad!!!");
  });
  EXPECT_FALSE(ICTestx->isVisible());
  EXPECT_EQ(Sim().VccMillivolts(), 0);
  EXPECT_EQ(Sim().VccPin(), 0);
  EXPECT_EQ(gLink.LastBitstream, "no_part");
  EXPECT_TRUE(Sim().record.hazards.empty());
}

TEST_F(ProgrammerToolsTest, SearchFindsAnUnmarkedChip) {
  Place("74HC138");
  WithTester([] {
    ICTestx->ButtonSearch1->click();
    EXPECT_EQ(ICTestx->Message->text(), "Find one.");
    ASSERT_EQ(ICTestx->ListBox2->count(), 1);
    EXPECT_EQ(ICTestx->ListBox2->item(0)->text(), "74xx138");
    EXPECT_EQ(ICTestx->Number->text(), "74xx138");
    EXPECT_EQ(ICTestx->ListBox1->currentItem()->text(), "74xx138");
  });
  EXPECT_TRUE(Sim().record.hazards.empty());
}

TEST_F(ProgrammerToolsTest, TheIcTestKeyTakesTheToolsRoad) {
  bool opened = false;
  WhenShown([&opened] { opened = true; });
  selectionHooks().openIcTester();
  EXPECT_TRUE(opened);
  EXPECT_EQ(gLink.LastBitstream, "no_part");
}

}  // namespace programmer_tools_test
}  // namespace zelvar
