// The config-grid widget and the auto-programming dialog mirror their models and pass the user's
// actions to them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <memory>

#include "app/forms/dialogs/Autopro.h"
#include "app/forms/widgets/ConfigGrid.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "support/FakeServices.h"
#include "support/QtApp.h"

namespace zelvar::test {
namespace chip_controls_form_test {

class ChipControlsFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    gLink.Reset();
    SetServices(&fake);
  }
  void TearDown() override {
    SetServices(nullptr);
    gApp.Reset();
    gLink.Reset();
  }

  FakeServices fake;
};

TEST_F(ChipControlsFormTest, TheConfigGridMirrorsTheListAndEditsThroughTheModel) {
  ChipUiModel model;
  ReadChipUiList(
      model,
      {"$Gridw:Addr space", "Addr start", "0000", "Addr end", "0FFFFF", "$Radio1:00,Mode", "a", "b",
       "c", "d", "$Grid1:", "n=F0,v=0,l=1,a=0,b=0,c=1,m=0x01", "n=BODEN,v=1,l=1,a=0,b=6", "$end"},
      0);
  ConfigGrid grid(model);
  ASSERT_EQ(grid.StringGrid1->rowCount(), 2);
  EXPECT_EQ(grid.StringGrid1->item(1, 0)->text(), "BODEN");
  EXPECT_EQ(grid.StringGrid1->item(1, 2)->text(), "Enable");
  EXPECT_EQ(grid.StringGridWord->rowCount(), 2);
  EXPECT_EQ(grid.StringGridWord->item(1, 1)->text(), "0FFFFF");
  EXPECT_EQ(grid.Labels[0]->text(), "Mode");
  EXPECT_EQ(grid.Combos[0]->count(), 4);
  EXPECT_TRUE(grid.Combos[1]->isHidden());

  int edits = 0;
  QObject::connect(&grid, &ConfigGrid::Edited, [&] { ++edits; });
  emit grid.StringGrid1->cellPressed(1, 1);
  EXPECT_EQ(grid.StringGrid1->item(1, 1)->text(), "0");
  EXPECT_EQ(gApp.OptionValues[0], 0);

  grid.StringGrid1->setCurrentCell(1, 1);
  QKeyEvent one(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, "1");
  QApplication::sendEvent(grid.StringGrid1, &one);
  EXPECT_EQ(grid.StringGrid1->item(1, 1)->text(), "1");
  EXPECT_EQ(gApp.OptionValues[0], 0x40);

  grid.Combos[0]->setCurrentIndex(3);
  emit grid.Combos[0]->activated(3);
  EXPECT_EQ(grid.StringGrid1->item(0, 1)->text(), "1");
  EXPECT_EQ(grid.StringGrid1->item(0, 2)->text(), "d");
  EXPECT_EQ(gApp.OptionValues[128], 3);

  grid.StringGridWord->item(1, 1)->setText("7FFF");
  EXPECT_EQ(gApp.OptionValues[65], 0x7FFF);
  EXPECT_EQ(edits, 4);
  EXPECT_EQ(gApp.ProjectModified, 2);
}

TEST_F(ChipControlsFormTest, TheDialogRunsTheWaitUntilStop) {
  AutoProgrammer model;
  int checks = 0;
  model.ports().CheckPinContact = [&](std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                      std::uint32_t) {
    ++checks;
    return 0;
  };
  model.ports().SendWaitCommand = [] {};
  TAutoPro1 dialog(model);
  model.Start(20, 0, 0, 1, 0);
  EXPECT_EQ(dialog.Button1->text(), "Stop");
  EXPECT_TRUE(dialog.Timer1->isActive());
  EXPECT_EQ(dialog.Timer1->interval(), 300);

  dialog.Timer1Timer();
  EXPECT_EQ(dialog.Edit1->text(), "OK,Remove the chip... ");
  EXPECT_EQ(checks, 1);

  // Stop pressed while the dialog is shown modally ends the modal loop.
  QTimer::singleShot(0, dialog.Button1, &QPushButton::click);
  dialog.ShowModal();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(dialog.Timer1->isActive());
  EXPECT_EQ(model.RunResult, 0);
  EXPECT_EQ(fake.LogTexts(), (std::vector<std::string>{"Exit running."}));
}

}  // namespace chip_controls_form_test
}  // namespace zelvar::test
