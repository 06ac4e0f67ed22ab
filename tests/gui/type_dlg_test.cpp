#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "app/forms/dialogs/SelZorDlg.h"
#include "app/forms/dialogs/TypeDlg.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "skin/Suilistbox.h"
#include "skin/Suiradiogroup.h"
#include "skin/Suiscrollbar.h"  // Suilistbox.h holds a QPointer to the bar
#include "support/CatalogueFixture.h"
#include "support/QtApp.h"

namespace zelvar {
namespace type_dlg_test {

class TypeDlgTest : public test::CatalogueFixture {
 protected:
  void SetUp() override {
    CatalogueFixture::SetUp();
    Write("device6200.lst",
          "# test\n"
          "EPR ATMEL AT27C256,P27 13\n"
          "EPR AMD AM27C256,P27 13\n"
          "MPU ATMEL AT89C51,P89C51 1\n");
  }
};

TEST_F(TypeDlgTest, NoProgrammerAsksTheChooserAndShowsTheList) {
  TSelZorDlg chooser;
  EXPECT_EQ(chooser.windowTitle(), "ZOR Programmer Modal");
  EXPECT_EQ(chooser.RadioGroup1->GetItemIndex(), 3);
  // The chooser closes itself as soon as it is shown, keeping its default item.
  QMetaObject::invokeMethod(&chooser, "accept", Qt::QueuedConnection);
  TTypeDlg dlg(&chooser);
  EXPECT_EQ(dlg.windowTitle(), "ZOR6200");
  auto* manufacturers = dlg.findChild<QListWidget*>("ListBox1");
  ASSERT_NE(manufacturers, nullptr);
  ASSERT_EQ(manufacturers->count(), 1);  // the MPU category at creation
  EXPECT_EQ(manufacturers->item(0)->text(), "ATMEL");
  EXPECT_NE(dynamic_cast<TsuiListBox*>(manufacturers), nullptr) << "the lists are skinned";
  EXPECT_NE(dynamic_cast<TsuiListBox*>(dlg.findChild<QListWidget*>("ListBox2")), nullptr);
}

TEST_F(TypeDlgTest, CategorySearchAndOkBindTheChip) {
  gLink.ModelNumber = 6200;
  TTypeDlg dlg(nullptr);
  dlg.PrepareChipDialog();
  ASSERT_EQ(dlg.RadioGroup1->ItemCount(), 8);
  dlg.RadioGroup1->Button(0)->Click();  // EPROM
  auto* manufacturers = dlg.findChild<QListWidget*>("ListBox1");
  auto* chips = dlg.findChild<QListWidget*>("ListBox2");
  ASSERT_EQ(manufacturers->count(), 2);
  manufacturers->setCurrentRow(1);
  ASSERT_EQ(chips->count(), 1);
  EXPECT_EQ(chips->item(0)->text(), "AM27C256");

  dlg.OnChange2("at27");
  ASSERT_EQ(manufacturers->count(), 1);
  ASSERT_EQ(chips->count(), 1);

  int chosen = 0;
  QObject::connect(&dlg, &TTypeDlg::chipChosen, [&](SelectionResult r) {
    EXPECT_EQ(r, SelectionResult::Bound);
    ++chosen;
  });
  dlg.findChild<QPushButton*>("ButtonOk")->click();
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(gApp.ChipTitle, "ATMEL: AT27C256");
  EXPECT_EQ(gApp.TypeIndex, 13);
  EXPECT_EQ(gApp.CurrentDispatcher, &test::FakeEpromSet);
  EXPECT_FALSE(dlg.catalogue().DeviceListOpen());
}

}  // namespace type_dlg_test
}  // namespace zelvar
