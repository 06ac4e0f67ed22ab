#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include "skin/Suilistbox.h"
#include "skin/Suiscrollbar.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_list_test {

TEST(ListBox, ThumbAndMeasure) {
  EXPECT_EQ(ListThumbLength(100, 0, 40, 10), 20);
  EXPECT_EQ(ListThumbLength(100, 0, 0, 10), 100);
  EXPECT_EQ(ListThumbLength(0, 0, 40, 10), 0);
  TsuiListBox box;
  const QFontMetrics metrics(box.font());
  EXPECT_EQ(box.MeasureString("Zelvar", 0), metrics.horizontalAdvance("Zelvar"));
  EXPECT_EQ(box.MeasureString("Zelvar", -5), metrics.horizontalAdvance("Zelvar"));
  const int line = box.MeasureString("Zelvar", 100);
  EXPECT_GE(line, metrics.height());
  EXPECT_LE(line, metrics.height() + 2) << "one line's height";
}

// A list and its skinned bar keep each other in step: the list's scrolling moves the thumb, the
// thumb scrolls the list, and the bar hides when there is nothing to scroll.
TEST(ListBox, ScrollBarCouplingBothWays) {
  QWidget form;
  form.resize(300, 300);
  form.show();
  auto* box = new TsuiListBox(&form);
  box->setGeometry(10, 10, 120, 100);
  box->show();
  auto* bar = new TsuiScrollBar(&form);
  bar->show();
  box->SetVScrollBar(bar);
  EXPECT_EQ(bar->Orientation(), suiVertical);
  EXPECT_FALSE(bar->isVisible()) << "an empty list has nothing to scroll";
  for (int i = 0; i < 60; ++i) box->addItem(QString("Item %1").arg(i));
  QApplication::processEvents();  // the list lays its items out when it next gets the chance
  QScrollBar* native = box->verticalScrollBar();
  ASSERT_GT(native->maximum(), 0);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->geometry(), QRect(10 + 120 - bar->width() - 2, 11, bar->width(), 98));
  EXPECT_EQ(bar->Max(), native->maximum());
  native->setValue(20);
  EXPECT_EQ(bar->Position(), 20);
  bar->SetPosition(35);
  EXPECT_EQ(native->value(), 35);
  box->setCurrentRow(59);
  box->scrollToItem(box->item(59));
  EXPECT_EQ(bar->Position(), native->maximum()) << "keys and selection reach the thumb";
  box->setEnabled(false);
  EXPECT_FALSE(bar->isEnabled());
  EXPECT_TRUE(bar->isVisible()) << "disabled, not hidden";
  box->setEnabled(true);
  while (box->count() > 3) delete box->takeItem(0);
  QApplication::processEvents();
  EXPECT_FALSE(bar->isVisible());
  // Detached, the bar goes back to neutral values.
  box->SetVScrollBar(nullptr);
  EXPECT_EQ(bar->Max(), 100);
  EXPECT_TRUE(bar->isEnabled());
}

TEST(ListBox, DrawsSelectionAndDisabledColoursAndTheSkinBorder) {
  QWidget form;
  form.show();
  auto* box = new TsuiListBox(&form);
  box->setGeometry(0, 0, 120, 80);
  box->show();
  box->addItems({"One", "Two"});
  box->SetSelectedColor(QColor(200, 30, 30));
  box->SetDisabledTextColor(QColor(0, 200, 0));
  box->setCurrentRow(1);
  box->setEnabled(false);
  QImage shot(box->size(), QImage::Format_RGB32);
  box->render(&shot);
  const QRect item = box->visualItemRect(box->item(1)).translated(box->viewport()->pos());
  EXPECT_EQ(shot.pixelColor(item.right() - 3, item.center().y()), QColor(200, 30, 30));
  EXPECT_EQ(shot.pixelColor(0, 40), GetInsideThemeQColor(DeepBlue, INSIDE_CONTROLBORDERCOLOR));
  auto* theme = new TsuiFileTheme(&form);
  theme->SetThemeFile("Slate.ssk");
  box->SetFileTheme(theme);
  box->SetUIStyle(FromThemeFile);
  EXPECT_EQ(box->BorderColor(), theme->GetQColor(SKIN2_CONTROLBORDERCOLOR));
}

TEST(ListBox, FileAndDirectoryLists) {
  QTemporaryDir dir;
  for (const char* name : {"b.txt", "A.TXT", "c.hex"}) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QDir(dir.path()).mkdir("sub");
  TsuiFileListBox files;
  files.SetDirectory(dir.path());
  EXPECT_EQ(files.count(), 3);
  files.SetMask("*.txt;*.TXT");
  ASSERT_EQ(files.count(), 2);
  EXPECT_EQ(files.item(0)->text(), "A.TXT");
  TsuiDirectoryListBox dirs;
  dirs.SetDirectory(dir.path());
  const int levels = static_cast<int>(QDir::cleanPath(dir.path()).count('/')) + 1;
  ASSERT_EQ(dirs.count(), levels + 1);
  EXPECT_EQ(dirs.item(0)->text(), "/");
  EXPECT_EQ(dirs.currentRow(), levels - 1);
  EXPECT_EQ(dirs.item(levels)->text(), "sub");
  EXPECT_EQ(dirs.DirectoryAt(levels), QDir(dir.path()).filePath("sub"));
}

}  // namespace skin_list_test
}  // namespace zelvar
