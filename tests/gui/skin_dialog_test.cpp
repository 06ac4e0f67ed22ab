#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <vector>

#include "skin/Suibutton.h"
#include "skin/Suidlg.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_dialog_test {

// Runs `look` on the built form instead of showing it, and answers `result`.
class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = TsuiDialog::Runner(); }
  void TearDown() override { TsuiDialog::Runner() = saved_; }
  template <typename Form>
  void Answer(int result, std::function<void(Form&)> look) {
    TsuiDialog::Runner() = [result, look](QDialog& form) {
      auto* typed = dynamic_cast<Form*>(&form);
      EXPECT_NE(typed, nullptr);
      if (typed != nullptr) look(*typed);
      return result;
    };
  }
  TsuiDialog::ModalRunner saved_;
};

TEST_F(DialogTest, MessageBoxLayoutAndCopiedText) {
  QString copied;
  Answer<TfrmMsg>(1, [&](TfrmMsg& form) {
    EXPECT_EQ(form.width(), 336);
    ASSERT_EQ(form.buttons.size(), 2u);
    TsuiButton* ok = form.buttons[1];  // made last: button 1, leftmost
    TsuiButton* cancel = form.buttons[0];
    EXPECT_EQ(ok->geometry(), QRect(146, 124, 73, 25));
    EXPECT_EQ(cancel->geometry(), QRect(239, 124, 73, 25));
    EXPECT_EQ(ok->Caption(), GetLocaleButtonCaption(mbOK).toStdString());
    EXPECT_TRUE(ok->Default());
    EXPECT_TRUE(cancel->Cancel());
    EXPECT_EQ(ok->ModalResult(), 1);
    EXPECT_EQ(form.height(), 104 + 20 + 25 + 30);
    EXPECT_EQ(form.lbl->x(), 88);
    EXPECT_EQ(form.Image1->pixmap().size(), QSize(42, 42)) << "the warning frame";
    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    copied = QApplication::clipboard()->text();
  });
  EXPECT_EQ(SUIMsgDlg("Erase the chip?", "Zelvar", mtWarning, mbOK | mbCancel, DeepBlue), 1);
  const QString dashes(27, '-');
  const QString buttons = GetLocaleButtonCaption(mbCancel) + "   " + GetLocaleButtonCaption(mbOK);
  EXPECT_EQ(copied,
            QStringList({dashes, "Zelvar", dashes, "Erase the chip?", dashes, buttons, dashes})
                .join("\r\n"));
}

TEST_F(DialogTest, MessageBoxWithoutIconAndWithALongText) {
  Answer<TfrmMsg>(7, [](TfrmMsg& form) {
    EXPECT_EQ(form.width(), 336 - 64);
    EXPECT_EQ(form.lbl->x(), 24);
    EXPECT_TRUE(form.Image1->isHidden());
    ASSERT_EQ(form.buttons.size(), 1u);
    EXPECT_EQ(form.buttons[0]->x(), 272 - 73 - 24);
  });
  EXPECT_EQ(SUIMsgDlg("Done", mtCustom, mbNo, WinXP), 7);
  int labelBottom = 0;
  Answer<TfrmMsg>(2, [&](TfrmMsg& form) {
    EXPECT_GT(form.lbl->height(), 40) << "wrapped at 225 pixels";
    EXPECT_EQ(form.lbl->width(), 225);
    labelBottom = form.lbl->geometry().bottom() + 1;
    EXPECT_EQ(form.buttons[0]->y(), labelBottom + 20);
    EXPECT_EQ(form.height(), labelBottom + 75);
    EXPECT_EQ(form.buttons.size(), 3u);
  });
  TsuiMessageDialog dialog;
  dialog.Text = QString("A long message that wraps over several lines of the box. ").repeated(4);
  dialog.ButtonCount = 3;
  dialog.IconType = TsuiIconType::suiInformation;
  EXPECT_EQ(dialog.ShowModal(), 2);
}

// Each button of a message box answers its own result; a box of more than three buttons keeps
// three, and a Cancel among them.
TEST_F(DialogTest, MessageBoxButtonsAnswerTheirOwnResults) {
  struct Case {
    int buttons;
    std::vector<TsuiMsgButton> shown;  // button 1 first
    std::vector<int> results;
  };
  const Case cases[] = {
      {mbOK | mbHelp, {mbOK, mbHelp}, {1, kMsgDlgHelpResult}},
      {mbHelp, {mbHelp}, {kMsgDlgHelpResult}},
      {mbYes | mbNo | mbHelp, {mbYes, mbNo, mbHelp}, {6, 7, kMsgDlgHelpResult}},
      {mbYes | mbNo | mbOK | mbCancel, {mbYes, mbNo, mbCancel}, {6, 7, 2}},
      {mbAbort | mbRetry | mbIgnore | mbHelp, {mbAbort, mbRetry, mbIgnore}, {3, 4, 5}},
      {mbYes | mbNo | mbCancel | mbYesToAll | mbHelp, {mbYes, mbNo, mbCancel}, {6, 7, 2}},
  };
  for (const Case& k : cases) {
    std::vector<int> results;
    std::vector<QString> captions;
    Answer<TfrmMsg>(0, [&](TfrmMsg& form) {
      // Made from the last slot to the first.
      for (auto it = form.buttons.rbegin(); it != form.buttons.rend(); ++it) {
        results.push_back((*it)->ModalResult());
        captions.push_back(QString::fromStdString((*it)->Caption()));
      }
    });
    SUIMsgDlg("Fuses", "Zelvar", mtConfirmation, k.buttons, DeepBlue);
    EXPECT_EQ(results, k.results) << k.buttons;
    std::vector<QString> expected;
    for (TsuiMsgButton b : k.shown) expected.push_back(GetLocaleButtonCaption(b));
    EXPECT_EQ(captions, expected) << k.buttons;
  }
}

TEST_F(DialogTest, InputAndPasswordDialogsCopyBackOnlyAfterOk) {
  TsuiInputDialog input;
  input.ValueText = "old";
  Answer<TfrmInput>(2, [](TfrmInput& form) {
    EXPECT_EQ(form.size(), QSize(254, 178));
    EXPECT_EQ(form.btn1->x(), 127 - 8 - 73);
    EXPECT_EQ(form.btn2->x(), 127 + 8);
    EXPECT_EQ(form.edt_value->text(), "old");
    form.edt_value->setText("typed");
  });
  EXPECT_EQ(input.ShowModal(), 2);
  EXPECT_EQ(input.ValueText, "old");
  Answer<TfrmInput>(1, [](TfrmInput& form) { form.edt_value->setText("typed"); });
  EXPECT_EQ(input.ShowModal(), 1);
  EXPECT_EQ(input.ValueText, "typed");

  TsuiPasswordDialog password;
  Answer<TfrmPass>(1, [](TfrmPass& form) {
    const int w = std::max(form.lbl1->width(), form.lbl2->width());
    EXPECT_EQ(form.edt1->x(), 24 + w + 5);
    EXPECT_EQ(form.edt2->x(), form.edt1->x());
    EXPECT_EQ(form.width(), form.edt1->x() + 121 + 24);
    EXPECT_EQ(form.edt2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.edt1->echoMode(), QLineEdit::Normal);
    form.edt1->setText("admin");
    form.edt2->setText("");
  });
  EXPECT_EQ(password.ShowModal(), 1);
  EXPECT_EQ(password.Item1Text, "admin");
  EXPECT_EQ(password.Item2Text, "") << "no text is validated";
}

TEST_F(DialogTest, SkinColoursAndTheFallBack) {
  TsuiInputDialog dialog;
  EXPECT_EQ(dialog.CaptionFontColor(), QColor(Qt::white));
  dialog.SetUIStyle(MacOS);
  EXPECT_EQ(dialog.CaptionFontColor(), QColor(Qt::black));
  auto* theme = new TsuiFileTheme;
  theme->SetThemeFile("Amber.ssk");
  dialog.SetUIStyle(FromThemeFile);
  dialog.SetFileTheme(theme);
  EXPECT_EQ(dialog.CaptionFontColor(), theme->GetQColor(SKIN2_TITLEFONTCOLOR));
  EXPECT_EQ(dialog.FontColor(), theme->GetQColor(SKIN2_CONTROLFONTCOLOR));
  delete theme;
  EXPECT_EQ(dialog.UIStyle(), DeepBlue);
  EXPECT_EQ(dialog.CaptionFontColor(), QColor(Qt::white));
}

// The buttons and edits wear the dialog's style or skin, not the form's stored DeepBlue.
TEST_F(DialogTest, ControlsWearTheDialogsStyleAndSkin) {
  auto* theme = new TsuiFileTheme;
  theme->SetThemeFile("Amber.ssk");
  ASSERT_TRUE(theme->CanUse());
  struct Case {
    TsuiUIStyle style;
    TsuiFileTheme* theme;
  };
  for (const Case& c : {Case{WinXP, nullptr}, Case{MacOS, nullptr}, Case{FromThemeFile, theme}}) {
    int seen = 0;
    Answer<TfrmMsg>(1, [&](TfrmMsg& form) {
      EXPECT_TRUE(form.suiForm1->UIStyleAutoUpdateSub());
      for (TsuiButton* b : form.buttons) {
        EXPECT_EQ(b->UIStyle(), c.style);
        EXPECT_EQ(b->FileTheme(), c.theme);
        ++seen;
      }
    });
    if (c.theme != nullptr) {
      SUIMsgDlgFromSkinFile("Erase the chip?", mtWarning, mbOK | mbCancel, theme);
    } else {
      SUIMsgDlg("Erase the chip?", mtWarning, mbOK | mbCancel, c.style);
    }
    EXPECT_EQ(seen, 2) << c.style;
    TsuiInputDialog input;
    input.SetUIStyle(c.style);
    input.SetFileTheme(c.theme);
    QColor border;
    Answer<TfrmInput>(2, [&](TfrmInput& form) {
      EXPECT_EQ(form.btn1->UIStyle(), c.style);
      EXPECT_EQ(form.btn2->FileTheme(), c.theme);
      EXPECT_EQ(form.edt_value->UIStyle(), c.style);
      border = form.edt_value->BorderColor();
    });
    input.ShowModal();
    const QColor expected = c.theme != nullptr
                                ? theme->GetQColor(SKIN2_CONTROLBORDERCOLOR)
                                : GetInsideThemeQColor(c.style, INSIDE_CONTROLBORDERCOLOR);
    EXPECT_EQ(border, expected) << c.style;
    TsuiPasswordDialog password;
    password.SetUIStyle(c.style);
    password.SetFileTheme(c.theme);
    Answer<TfrmPass>(2, [&](TfrmPass& form) {
      EXPECT_EQ(form.edt1->UIStyle(), c.style);
      EXPECT_EQ(form.edt2->FileTheme(), c.theme);
      EXPECT_EQ(form.btn1->UIStyle(), c.style);
    });
    password.ShowModal();
  }
  delete theme;
}

}  // namespace skin_dialog_test
}  // namespace zelvar
