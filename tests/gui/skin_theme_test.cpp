#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "skin/Frmthememgr.h"
#include "skin/Suibutton.h"
#include "skin/Suiform.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suimgr.h"
#include "skin/Suiprogressbar.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_theme_test {

// The skins the build writes into the program directory, where the tests run.
std::string ProgramFile(const char* name) {
  return QDir::current().absoluteFilePath(name).toStdString();
}

TEST(FileTheme, LoadsOurSkinsAndRefusesDamagedOnes) {
  TsuiFileTheme theme;
  EXPECT_FALSE(theme.CanUse());
  EXPECT_EQ(theme.GetColor(SKIN2_FORMCOLOR), 0) << "no skin loaded";
  theme.SetThemeFile("Slate.ssk");
  ASSERT_TRUE(theme.CanUse());
  EXPECT_EQ(theme.ThemeFile(), ProgramFile("Slate.ssk"));
  EXPECT_EQ(theme.GetQColor(SKIN2_FORMCOLOR), QColor(226, 229, 233));
  EXPECT_EQ(theme.GetInt(SKIN2_TITLEBARBUTTONPOSX), -2);
  EXPECT_TRUE(theme.GetBool(SKIN2_BUTTONTRANS));
  QImage frame;
  theme.GetBitmap2(SKIN2_TABCONTROL, &frame, 2, 2);
  ASSERT_NE(theme.GetBitmap(SKIN2_TABCONTROL), nullptr);
  EXPECT_EQ(frame.width(), theme.GetBitmap(SKIN2_TABCONTROL)->width() / 2);
  EXPECT_EQ(theme.GetBitmap(SKIN2_MINIMIZEDTITLE), nullptr) << "a picture our skins leave out";

  // A file found nowhere changes nothing; a damaged one leaves the theme unusable.
  theme.SetThemeFile("NoSuchSkin.ssk");
  EXPECT_TRUE(theme.CanUse());
  EXPECT_EQ(theme.ThemeFile(), ProgramFile("Slate.ssk"));
  QTemporaryDir dir;
  const QString damaged = dir.filePath("Damaged.ssk");
  QFile::copy("Slate.ssk", damaged);
  QFile file(damaged);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  file.resize(file.size() - 100);
  file.close();
  theme.SetThemeFile(damaged.toStdString());
  EXPECT_FALSE(theme.CanUse());
  EXPECT_EQ(theme.LastError(), "Failed to read skin file!");
  EXPECT_EQ(theme.GetColor(SKIN2_FORMCOLOR), 0);
}

TEST(FileTheme, BareNamesAreLookedForInTheProgramDirectory) {
  QTemporaryDir programDir;
  QFile::copy("Amber.ssk", programDir.filePath("Mine.ssk"));
  TsuiFileTheme::SetProgramDirectory(programDir.path().toStdString());
  TsuiFileTheme theme;
  theme.SetThemeFile("/nowhere/Mine.ssk");
  TsuiFileTheme::SetProgramDirectory({});
  EXPECT_TRUE(theme.CanUse());
  EXPECT_EQ(theme.ThemeFile(), programDir.filePath("Mine.ssk").toStdString());
  // An empty password does not reload.
  QFile::remove(programDir.filePath("Mine.ssk"));
  theme.SetPassword("");
  EXPECT_TRUE(theme.CanUse());
  theme.SetPassword("x");
  EXPECT_TRUE(theme.CanUse()) << "the file is gone: nothing changes";
}

TEST(FileTheme, BuiltInThemeLoadsItsStoredBytes) {
  TsuiBuiltInFileTheme source;
  source.SetThemeFile2("Amber.ssk");
  const QByteArray stored = source.WriteSkinData();
  ASSERT_FALSE(stored.isEmpty());
  const QStringList before = QDir::temp().entryList({"*.sui"});
  TsuiBuiltInFileTheme copy;
  ASSERT_TRUE(copy.ReadSkinData(stored));
  EXPECT_TRUE(copy.CanUse());
  EXPECT_EQ(copy.GetQColor(SKIN2_FORMCOLOR), QColor(250, 243, 228));
  EXPECT_EQ(QDir::temp().entryList({"*.sui"}), before) << "the temporary file is deleted";
  TsuiBuiltInFileTheme damaged;
  ASSERT_TRUE(damaged.ReadSkinData(stored.left(stored.size() / 2)));
  EXPECT_FALSE(damaged.CanUse());
  EXPECT_EQ(QDir::temp().entryList({"*.sui"}), before);
}

// A control reads its colours from the skin, and falls back to DeepBlue when the theme dies.
TEST(FileTheme, ControlReadsTheSkinAndFallsBackWhenTheThemeDies) {
  QWidget form;
  auto* theme = new TsuiFileTheme(&form);
  auto* bar = new TsuiProgressBar(&form);
  bar->SetUIStyle(FromThemeFile);
  bar->SetFileTheme(theme);
  EXPECT_EQ(bar->Color(), GetInsideThemeQColor(DeepBlue, INSIDE_CONTROLCOLOR)) << "not loaded";
  // Loading the theme makes the controls pointing at it read again.
  theme->SetThemeFile("Slate.ssk");
  ASSERT_TRUE(theme->CanUse());
  EXPECT_EQ(bar->Color(), theme->GetQColor(SKIN2_CONTROLCOLOR));
  EXPECT_EQ(bar->BorderColor(), QColor(55, 71, 79));
  form.resize(200, 40);
  bar->resize(150, 14);
  QImage shot(bar->size(), QImage::Format_RGB32);
  bar->render(&shot);
  delete theme;
  EXPECT_EQ(bar->FileTheme(), nullptr);
  EXPECT_EQ(bar->Color(), GetInsideThemeQColor(DeepBlue, INSIDE_CONTROLCOLOR));
  EXPECT_EQ(bar->BorderColor(), GetInsideThemeQColor(DeepBlue, INSIDE_CONTROLBORDERCOLOR));
}

TEST(FileTheme, AColourTheSkinLacksIsNoColour) {
  EXPECT_FALSE(SkinQColor(-1).isValid());
  EXPECT_FALSE(SkinQColor(0x1000000).isValid());
  EXPECT_EQ(SkinQColor(0x0000FF), QColor(255, 0, 0));
}

TEST(ThemeManager, UpdatesListedControlsAndForgetsRemovedOnes) {
  QWidget form;
  auto* first = new TsuiProgressBar(&form);
  first->setObjectName("first");
  auto* second = new TsuiProgressBar(&form);
  second->setObjectName("second");
  auto* theme = new TsuiFileTheme(&form);
  theme->SetThemeFile("Amber.ssk");
  TsuiThemeManager manager(&form);
  EXPECT_EQ(manager.UIStyle(), DeepBlue);
  int fired = 0;
  manager.OnUIStyleChanged = [&](TsuiThemeManager* sender) {
    EXPECT_EQ(sender, &manager);
    ++fired;
  };
  manager.SetList({"first", "missing", "second"});
  manager.SetFileTheme(theme);
  EXPECT_EQ(fired, 0);
  manager.SetUIStyle(FromThemeFile);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(first->FileTheme(), theme);
  EXPECT_EQ(second->Color(), theme->GetQColor(SKIN2_CONTROLCOLOR));
  // The same style again updates the controls but fires nothing.
  second->SetUIStyle(WinXP);
  manager.SetUIStyle(FromThemeFile);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(second->UIStyle(), FromThemeFile);
  delete first;
  EXPECT_EQ(manager.CompList(), QStringList({"missing", "second"}));
  EXPECT_EQ(ThemeManagerCandidates(manager), QStringList({"second"}));
  // The theme going leaves none and DeepBlue in the manager, without touching the controls.
  delete theme;
  EXPECT_EQ(manager.FileTheme(), nullptr);
  EXPECT_EQ(manager.UIStyle(), DeepBlue);
  EXPECT_EQ(second->UIStyle(), FromThemeFile);
}

// The editor lists the form's skinned controls, ticked as the manager lists them, and keeps the
// ticked ones on OK.
TEST(ThemeManager, EditorPicksTheControls) {
  QWidget form;
  for (const char* name : {"bar1", "bar2", "bar3"})
    (new TsuiProgressBar(&form))->setObjectName(name);
  TsuiThemeManager manager(&form);
  manager.SetList({"bar2"});
  ThemeManagerEdit(manager, [](TfrmMgr& editor) {
    EXPECT_EQ(editor.size(), QSize(233, 301));
    EXPECT_EQ(editor.List->count(), 3);
    EXPECT_EQ(editor.List->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(editor.List->item(0)->checkState(), Qt::Unchecked);
    editor.btn_selClick();
    editor.List->item(1)->setCheckState(Qt::Unchecked);
    return int(QDialog::Accepted);
  });
  EXPECT_EQ(manager.CompList(), QStringList({"bar1", "bar3"}));
  ThemeManagerEdit(manager, [](TfrmMgr& editor) {
    editor.btn_unselClick();
    return int(QDialog::Rejected);
  });
  EXPECT_EQ(manager.CompList(), QStringList({"bar1", "bar3"})) << "cancelled";
  TsuiBuiltInFileTheme theme;
  BuiltInFileThemeEdit(theme, [] { return QString("Amber.ssk"); });
  EXPECT_TRUE(theme.CanUse());
  EXPECT_FALSE(theme.WriteSkinData().isEmpty());
}

// Check boxes, radio buttons and panels read their pictures and colours from the skin.
TEST(FileTheme, CheckBoxesAndPanelsTakeTheSkin) {
  QWidget form;
  auto* theme = new TsuiFileTheme(&form);
  theme->SetThemeFile("Amber.ssk");
  auto* box = new TsuiCheckBox(&form);
  auto* radio = new TsuiRadioButton(&form);
  auto* panel = new TsuiPanel(&form);
  SetFormUIStyle(&form, FromThemeFile, theme);
  QImage unchecked;
  theme->GetBitmap2(SKIN2_CHECKBOX, &unchecked, 4, 2);
  EXPECT_EQ(box->Picture(), unchecked);
  radio->SetChecked(true);
  QImage checked;
  theme->GetBitmap2(SKIN2_RADIOBUTTON, &checked, 4, 1);
  EXPECT_EQ(radio->Picture(), checked);
  EXPECT_EQ(panel->BorderColor(), theme->GetQColor(SKIN2_CONTROLBORDERCOLOR));
  EXPECT_EQ(panel->CaptionFontColor(), theme->GetQColor(SKIN2_CONTROLFONTCOLOR));
  delete theme;
  EXPECT_EQ(panel->BorderColor(), GetInsideThemeQColor(DeepBlue, INSIDE_CONTROLBORDERCOLOR));
}

}  // namespace skin_theme_test
}  // namespace zelvar
