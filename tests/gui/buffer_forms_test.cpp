// The buffer forms over their models: the hex view's keys, the format dialog, find, fill and sum
// and the number converter, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>

#include "app/forms/dialogs/Filew.h"
#include "app/forms/dialogs/Filldlg.h"
#include "app/forms/dialogs/InputNum.h"
#include "app/forms/dialogs/Search.h"
#include "app/forms/widgets/HexView.h"
#include "app/forms/windows/BufferUiQt.h"
#include "buffer/BufferFixture.h"
#include "support/QtApp.h"

// fontconfig keeps its caches to the end of the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

namespace zelvar::test {
namespace buffer_forms_test {

class BufferForms : public BufferFixture {
 protected:
  static void Key(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
  }
  static QString Line(HexView& v, int n) {
    return v.dump()->document()->findBlockByNumber(n).text();
  }
};

TEST_F(BufferForms, HexViewShowsPagesAndEditsBytes) {
  HexView view;
  gApp.InfoRecord[0] = 0xFFFF;
  gApp.CodeLastAddress = 0xFFFF;
  gApp.CodeBuffer[0x100] = 0x41;
  view.ShowBuffer();
  EXPECT_EQ(view.dump()->document()->blockCount(), 16);
  EXPECT_EQ(Line(view, 0).left(12), "  0000:  FF ");
  EXPECT_EQ(view.codeLabel()->text().left(24), "Code from 0000 to 0FFFF,");

  view.setCaret(15, 9);
  Key(view.dump(), Qt::Key_Down);
  EXPECT_EQ(view.dump()->document()->blockCount(), 32);
  EXPECT_EQ(view.caretLine(), 16);
  EXPECT_EQ(Line(view, 16).left(12), "  0100:  41 ");

  // The gap after byte 0 of row 0x100: the digit lands on byte 1.
  view.setCaret(16, 11);
  Key(view.dump(), Qt::Key_3, "3");
  Key(view.dump(), Qt::Key_A, "a");
  EXPECT_EQ(gApp.CodeBuffer[0x101], 0x3A);
  EXPECT_EQ(Line(view, 16).mid(12, 2), "3A");
  EXPECT_EQ(Line(view, 16).at(60), QChar(':'));
  EXPECT_EQ(gApp.ProjectModified & 1, 1);
  Key(view.dump(), Qt::Key_G, "g");  // not a digit: nothing stored
  EXPECT_EQ(gApp.CodeBuffer[0x102], 0xFF);

  view.ShowHit(0x2345);
  EXPECT_EQ(gApp.ViewRange.start, 0x2300);
  EXPECT_EQ(view.dump()->textCursor().selectedText(), "FF");
  EXPECT_EQ(view.caretLine(), 4);
}

TEST_F(BufferForms, FormatDialogRefusesAStartOutsideTheBuffer) {
  TFileFormat dialog;
  FileFormatModel model;
  model.Prepare("a.bin", 0);
  dialog.Load(model);
  EXPECT_TRUE(dialog.ModeComboB->isVisibleTo(&dialog));
  dialog.suiComboBox1->setCurrentIndex(1);
  EXPECT_FALSE(dialog.ModeComboB->isVisibleTo(&dialog));
  dialog.Edit1->setText("FFFFFFFF");
  EXPECT_FALSE(dialog.PressOk());
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"Out of range!"});
  EXPECT_EQ(dialog.RadioGroup3->GetItemIndex(), 2);
  dialog.RadioGroup3->SetItemIndex(0);
  dialog.Edit1->setText("200");
  EXPECT_TRUE(dialog.PressOk());
  EXPECT_EQ(model.ChosenExt, ".HEX");
  EXPECT_EQ(gApp.LoadOffset, 0x200);
  EXPECT_EQ(gApp.FillMode, 0);
}

TEST_F(BufferForms, FindFillAndSum) {
  HexView view;
  gApp.CodeLastAddress = 0xFFFF;
  gApp.CodeBuffer[0x10] = 'A';
  gApp.CodeBuffer[0x11] = 'B';
  TSearchTool search;
  search.SetView(&view);
  search.Edit1->setText("AB");
  search.Edit1KeyUp();
  EXPECT_EQ(search.Edit2->text(), "4142");
  search.FindNextClick();
  EXPECT_EQ(view.dump()->textCursor().selectedText(), "41");
  EXPECT_EQ(view.caretLine(), 1);
  // A hit past the range the view walked still gets its page drawn.
  gApp.CodeBuffer[0x8F0F] = 'A';
  gApp.CodeBuffer[0x8F10] = 'B';
  search.FindNextClick();
  EXPECT_EQ(gApp.ViewRange.start, 0x8F00);
  EXPECT_EQ(view.caretLine(), 0);
  EXPECT_EQ(view.caretColumn(), 9 + 3 * 15 + 2);
  EXPECT_EQ(view.dump()->textCursor().selectedText(), "41");

  TFillDlg1 fill;
  fill.setWindowTitle("Sum");
  fill.SetTexts();
  fill.Edit1->setText("0000");
  fill.Edit2->setText("0001");
  fill.suiButton1Click();
  EXPECT_EQ(fill.Edit3->text(), "01FE");
  fill.setWindowTitle("Fill");
  fill.SetTexts();
  EXPECT_EQ(fill.Edit3->text(), "FF");
  fill.Edit3->setText("5a");
  fill.suiButton1Click();
  EXPECT_EQ(gApp.CodeBuffer[1], 0x5A);
}

TEST_F(BufferForms, NumberConverterAndFilters) {
  TIputDlg dlg;
  EXPECT_EQ(dlg.Edit1->text(), "0");
  dlg.Edit2->setText("-1");
  dlg.lastField = 2;
  dlg.OkClick();
  EXPECT_EQ(dlg.Edit1->text(), "ffffffff");
  EXPECT_EQ(dlg.Edit3->text(), "1111111111111111");
  EXPECT_EQ(QtFileFilter("*.bin (Binary)|*.bin|*.hex|*.HEX"),
            "*.bin (Binary) (*.bin);;*.hex (*.HEX)");
}

}  // namespace buffer_forms_test
}  // namespace zelvar::test
