#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/forms/SelZorDlg.h"
#include "app/forms/TypeDlg.h"
#include "app/services/AppState.h"
#include "link/LinkState.h"
#include "support/FakeServices.h"

namespace zelvar {
namespace {

namespace fs = std::filesystem;

std::uint8_t FakeEprom(int, std::uint8_t*, std::int32_t*, ChipUiList*) {
  return 0;
}

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

class TypeDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    gLink.Reset();
    SetServices(&fake);
    dir = fs::temp_directory_path() / "zelvar_type_dlg_test";
    fs::create_directories(dir);
    gApp.ProgramDir = dir.string();
    std::ofstream(dir / "device6200.lst") << "# test\n"
                                             "EPR ATMEL AT27C256,P27 13\n"
                                             "EPR AMD AM27C256,P27 13\n"
                                             "MPU ATMEL AT89C51,P89C51 1\n";
    SelectionHooks hooks;
    hooks.findSet = [](std::string_view set) -> AlgorithmDispatcher {
      return set == "P27" ? &FakeEprom : nullptr;
    };
    SetSelectionHooks(hooks);
  }
  void TearDown() override {
    SetSelectionHooks({});
    SetServices(nullptr);
    gApp.Reset();
    gLink.Reset();
    fs::remove_all(dir);
  }

  test::FakeServices fake;
  fs::path dir;
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
  EXPECT_EQ(gApp.CurrentDispatcher, &FakeEprom);
  EXPECT_FALSE(dlg.catalogue().DeviceListOpen());
}

}  // namespace
}  // namespace zelvar
