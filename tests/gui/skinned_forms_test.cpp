// The program's own forms wear the skinned controls: the config grid, the edits of the settings,
// fill and search forms.
#include <gtest/gtest.h>

#include <QVBoxLayout>

#include "app/core/settings/Stamps.h"
#include "app/forms/dialogs/Filldlg.h"
#include "app/forms/dialogs/Search.h"
#include "app/forms/dialogs/Setting.h"
#include "app/forms/widgets/ConfigGrid.h"
#include "app/forms/windows/Waitusb.h"
#include "services/AppState.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"
#include "skin/Suigrid.h"
#include "skin/Suiimagepanel.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skinned_forms_test {

// The config grid: a skinned string grid in the form's style, every row a config bit (none
// painted as a fixed row).
TEST(SkinnedForms, TheConfigGridIsASkinnedGridWithoutFixedCells) {
  gApp.Reset();
  ChipUiModel model;
  ReadChipUiList(
      model, {"$Grid1:", "n=F0,v=0,l=1,a=0,b=0,c=1,m=0x01", "n=BODEN,v=1,l=1,a=0,b=6", "$end"}, 0);
  QWidget holder;
  auto* layout = new QVBoxLayout(&holder);
  auto* grid = new ConfigGrid(model, &holder);
  layout->addWidget(grid);
  SetFormUIStyle(&holder, WinXP);
  holder.resize(600, 300);
  holder.show();
  TsuiStringGrid* strings = grid->StringGrid1;
  EXPECT_EQ(strings->FixedRows(), 0);
  EXPECT_EQ(strings->FixedCols(), 0);
  EXPECT_EQ(strings->BGColor(), GetInsideThemeQColor(WinXP, INSIDE_CONTROLCOLOR));
  ASSERT_EQ(strings->rowCount(), 2);
  EXPECT_EQ(strings->Cells(0, 0), "F0");
  strings->clearSelection();
  strings->setCurrentCell(1, 2);
  QImage shot(strings->size(), QImage::Format_RGB32);
  strings->render(&shot);
  const QRect first =
      strings->visualRect(strings->model()->index(0, 0)).translated(strings->viewport()->pos());
  EXPECT_EQ(shot.pixelColor(first.right() - 2, first.bottom() - 2), strings->BGColor());
  gApp.Reset();
}

// The config tab's combos, radio panel, fold-up panel and word grid are skinned controls that
// take the form's style; the wait form's picture lies on a picture panel.
TEST(SkinnedForms, ConfigTabAndWaitFormControlsWearTheFormsStyle) {
  gApp.Reset();
  ChipUiModel model;
  ReadChipUiList(model,
                 {"$Gridw:Addr space", "Addr start", "0000", "$Radio1:00,Mode", "a", "b",
                  "$Grid1:", "n=F0,v=0,l=1,a=0,b=0,c=1,m=0x01", "$end"},
                 0);
  QWidget holder;
  auto* layout = new QVBoxLayout(&holder);
  auto* grid = new ConfigGrid(model, &holder);
  layout->addWidget(grid);
  SetFormUIStyle(&holder, MacOS);
  for (int k = 0; k < kRadioCombos; ++k) {
    auto* combo = holder.findChild<TsuiComboBox*>(QString("suiComboBoxCfg%1").arg(k + 1));
    ASSERT_NE(combo, nullptr) << k;
    EXPECT_EQ(combo->UIStyle(), MacOS);
    EXPECT_EQ(combo->parentWidget(), grid->suiImagePanel4);
  }
  EXPECT_EQ(grid->Combos[0]->ItemCount(), 2);
  EXPECT_NE(holder.findChild<TsuiImagePanel*>("suiImagePanel4"), nullptr);
  auto* panel3 = holder.findChild<TsuiPanel*>("Panel3");
  ASSERT_NE(panel3, nullptr);
  EXPECT_EQ(panel3->UIStyle(), MacOS);
  EXPECT_EQ(panel3->height(), ConfigGrid::kPanel3Height);
  EXPECT_EQ(grid->Panelw->height(), panel3->Height2());
  auto* words = holder.findChild<TsuiStringGrid*>("StringGridWord");
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(words->UIStyle(), MacOS);
  EXPECT_EQ(words->Cells(1, 0), "0000");

  TWaitForm wait(nullptr, "no such picture.jpg");
  auto* picture = wait.findChild<TsuiImagePanel*>("suiImagePanel1");
  ASSERT_EQ(picture, wait.Panel);
  EXPECT_EQ(picture->PanelCaption(), "Zelvar") << "no picture: the caption shows";
  gApp.Reset();
}

// The edits keep the look their forms store: MacOS with a grey border, whatever the frame wears.
TEST(SkinnedForms, SettingsFillAndSearchEditsAreSkinned) {
  gApp.Reset();
  StampSettings stamps;
  TSetting1 settings(stamps);
  TFillDlg1 fill;
  TSearchTool search;
  const QList<QLineEdit*> edits = {settings.Edit1, settings.Edit6, fill.Edit1,
                                   fill.Edit3,     search.Edit1,   search.Edit2};
  for (QLineEdit* e : edits) {
    ASSERT_NE(e, nullptr);
    const auto* skinned = dynamic_cast<TsuiEdit*>(e);
    ASSERT_NE(skinned, nullptr) << e->objectName().toStdString();
    EXPECT_EQ(skinned->UIStyle(), MacOS);
    EXPECT_EQ(skinned->BorderColor(), QColor(0x7F, 0x7F, 0x7F));
  }
  EXPECT_EQ(fill.Edit2->text(), "ffff");
  gApp.Reset();
}

}  // namespace skinned_forms_test
}  // namespace zelvar
