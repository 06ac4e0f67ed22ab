// The fuse-map window over its document: rows drawn from the map, the fuse under the caret, a
// typed fuse stored in the map and the checksum following it.
#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <algorithm>

#include "app/forms/dialogs/InputDlg.h"
#include "app/forms/windows/PldWindows.h"
#include "services/AppState.h"
#include "services/PldDocuments.h"
#include "support/QtApp.h"

namespace zelvar::test {
namespace pld_windows_test {

TEST(PldWindows, FuseWindowShowsEditsAndSumsTheMap) {
  gApp.Reset();
  gPld.Reset();
  gPld.fuse.exists = true;
  std::fill_n(gApp.CodeBuffer.begin(), 2240, '0');
  QWidget main;
  ShowPldWindow(&main, 1);
  auto* w = main.findChild<TPldFileW*>();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->RichEdit1->document()->blockCount(), 70);
  EXPECT_EQ(w->Edit2->text(), "0000");

  QTextCursor c(w->RichEdit1->document()->findBlockByNumber(1));
  c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 8);
  w->RichEdit1->setTextCursor(c);
  EXPECT_EQ(w->Edit1->text(), "34 ");
  QKeyEvent key(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, "1");
  QApplication::sendEvent(w->RichEdit1, &key);
  EXPECT_EQ(gApp.CodeBuffer[34], '1');
  EXPECT_TRUE(w->RichEdit1->document()->findBlockByNumber(1).text().startsWith("L0032 001"));
  EXPECT_EQ(w->Edit2->text(), "0004");  // fuse 34 is bit 2 of byte 4

  // Fill and MaxAddr show the three-number dialog without waiting, with or without its start
  // and value fields; the map stays as it was.
  w->Fill1->trigger();
  ASSERT_NE(w->numbers, nullptr);
  EXPECT_TRUE(w->numbers->isVisible());
  EXPECT_TRUE(w->numbers->Edit1->isEnabled() && w->numbers->Label3->isEnabled());
  w->MaxAddr1->trigger();
  EXPECT_FALSE(w->numbers->Edit1->isEnabled() || w->numbers->Edit3->isEnabled());
  EXPECT_TRUE(w->numbers->Edit2->isEnabled());
  w->numbers->OKBtn->click();
  EXPECT_EQ(gApp.CodeBuffer[34], '1');

  // Another view kind hides it.
  ShowPldWindow(&main, 8);
  EXPECT_FALSE(w->isVisible());
  gPld.Reset();
  gApp.Reset();
}

}  // namespace pld_windows_test
}  // namespace zelvar::test
