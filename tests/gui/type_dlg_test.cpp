#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "app/forms/SelZorDlg.h"
#include "app/forms/TypeDlg.h"
#include "app/services/AppState.h"
#include "link/LinkState.h"
#include "support/CatalogueFixture.h"

namespace zelvar {
namespace {

// One application for the run, destroyed at its end so that nothing it holds counts as a leak.
class AppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "type_dlg_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};
::testing::Environment* const kAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

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
  EXPECT_EQ(chooser.ItemIndex(), 3);
  // The chooser closes itself as soon as it is shown, keeping its default item.
  QMetaObject::invokeMethod(&chooser, "accept", Qt::QueuedConnection);
  TTypeDlg dlg(&chooser);
  EXPECT_EQ(dlg.windowTitle(), "ZOR6200");
  auto* manufacturers = dlg.findChild<QListWidget*>("ListBox1");
  ASSERT_NE(manufacturers, nullptr);
  ASSERT_EQ(manufacturers->count(), 1);  // the MPU category at creation
  EXPECT_EQ(manufacturers->item(0)->text(), "ATMEL");
}

TEST_F(TypeDlgTest, CategorySearchAndOkBindTheChip) {
  gLink.ModelNumber = 6200;
  TTypeDlg dlg(nullptr);
  dlg.PrepareChipDialog();
  const auto radios = dlg.findChildren<QRadioButton*>();
  ASSERT_EQ(radios.size(), 8);
  radios[0]->click();  // EPROM
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

}  // namespace
}  // namespace zelvar
