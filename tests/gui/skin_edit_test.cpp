#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QTest>

#include "skin/Suibutton.h"
#include "skin/Suiedit.h"
#include "skin/Suimgr.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_edit_test {

TEST(EditRules, FormatFloatMasks) {
  struct Case {
    const char* mask;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {"0.00", 1, "1.00"},
      {"0.00", 0, "0.00"},
      {"0.00", -2.375, "-2.38"},
      {"0.00", -0.001, "0.00"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0", 999, "999"},
      {"0", 2.5, "3"},
      {"0.##", 1.5, "1.5"},
      {"0.##", 2, "2"},
      {"#.00", 0.5, ".50"},
      {"000", 7, "007"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFloat(c.mask, c.value), c.text) << c.mask;
}

TEST(EditRules, EditMasksInQtsSyntax) {
  const struct {
    const char* editMask;
    const char* qt;
  } cases[] = {
      {"", ""},
      {"000-9999;1;_", "999-0000;_"},  // '0' required digits, '9' optional ones
      {"!>LL<lll;0;*", ">AA<aaa;*"},
      {"AaCc<>#", "NnXx!#;_"},
      {"\\(00\\);1; ", "\\(99\\); "},
      {"90:00 Hd_b", "09:99 \\H\\d \\b;_"},  // literals Qt would read as rules
      {"0\\;0", "9\\;9;_"},
  };
  for (const auto& c : cases) EXPECT_EQ(QtInputMask(c.editMask), c.qt) << c.editMask;
  TsuiMaskEdit edit;
  edit.SetEditMask("00/00/0000;1;_");
  EXPECT_EQ(edit.EditMask(), "00/00/0000;1;_");
  EXPECT_EQ(edit.inputMask(), "99/99/9999;_");
  QTest::keyClicks(&edit, "1a2");
  EXPECT_EQ(edit.text(), "12//") << "only digits are taken; blanks are not text";
  EXPECT_FALSE(edit.hasAcceptableInput()) << "the required digits are missing";
}

TEST(EditRules, NumberAndSpinKeys) {
  struct Key {
    const char* mask;
    const char* text;
    int caret;
    char key;
    bool accepted;
  };
  const Key keys[] = {
      {"0.00", "12", 2, '7', true},    {"0.00", "12", 2, '.', true},
      {"0.00", "1.2", 3, '.', false},  {"0", "12", 2, '.', false},
      {"-0.00", "12", 0, '-', true},   {"-0.00", "12", 1, '-', false},
      {"-0.00", "-12", 0, '-', false}, {"0.00", "12", 0, '-', false},
      {"0.00", "12", 2, '\b', true},   {"0.00", "12", 2, 'a', false},
      {"0.00", "12", 2, '\r', false},  {"0.00", "12", 2, '\x16', false},
  };
  for (const Key& k : keys)
    EXPECT_EQ(NumberEditAccepts(k.mask, k.text, k.caret, QChar(k.key)), k.accepted)
        << k.mask << " " << k.text << " " << int(k.key);
  struct Spin {
    char key;
    bool editorEnabled;
    bool valid;
  };
  const Spin spins[] = {{'5', true, true},   {'-', true, true},    {'x', true, false},
                        {'\r', true, false}, {'\b', true, true},   {'\x03', true, true},
                        {'5', false, false}, {'\b', false, false}, {'\x03', false, true}};
  for (const Spin& s : spins)
    EXPECT_EQ(SpinValidChar(QChar(s.key), s.editorEnabled), s.valid) << int(s.key);
  struct Range {
    int value, min, max, result;
  };
  const Range ranges[] = {
      {50, 1, 10, 10}, {-3, 1, 10, 1}, {5, 1, 10, 5}, {99, 0, 0, 99}, {-99, 4, 4, -99}};
  for (const Range& r : ranges) EXPECT_EQ(SpinCheckValue(r.value, r.min, r.max), r.result);
  const SpinButtonsLayout pair = LayOutSpinButtons(20, 25);
  EXPECT_EQ(pair.up, QRect(0, 0, 20, 13));
  EXPECT_EQ(pair.down, QRect(0, 12, 20, 13));
  EXPECT_EQ(LayOutSpinButtons(9, 20).width, 15);
}

void Leave(QWidget* edit) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(edit, &out);
}

TEST(NumberEdit, TypingAndLeaving) {
  TsuiNumberEdit edit;
  int beeps = 0;
  edit.Beep = [&] { ++beeps; };
  EXPECT_EQ(edit.text(), "0.00");
  edit.clear();
  QTest::keyClicks(&edit, "1");
  Leave(&edit);
  EXPECT_EQ(edit.text(), "1.00");
  EXPECT_DOUBLE_EQ(edit.Value(), 1);
  edit.setText("-");
  Leave(&edit);
  EXPECT_EQ(edit.text(), "0.00");
  edit.clear();
  Leave(&edit);
  EXPECT_EQ(edit.text(), "0.00");
  edit.setText("2.5");
  edit.setCursorPosition(3);
  QTest::keyClicks(&edit, ".x-");
  EXPECT_EQ(edit.text(), "2.5");
  EXPECT_EQ(beeps, 3);
  // Pasted text that is no number goes back to the last good value.
  edit.setText("12abc");
  EXPECT_EQ(edit.text(), "2.50");
  EXPECT_DOUBLE_EQ(edit.Value(), 2.5);
  // Entering selects the trailing signs (the two decimals).
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(&edit, &in);
  EXPECT_EQ(edit.selectedText(), "50");
}

TEST(SpinEdit, RangeButtonsKeysAndReadOnly) {
  TsuiSpinEdit edit;
  int beeps = 0;
  edit.Beep = [&] { ++beeps; };
  EXPECT_EQ(edit.text(), "0");
  edit.SetValue(-12345);
  EXPECT_EQ(edit.Value(), -12345) << "MinValue = MaxValue: no range";
  edit.MinValue = 1;
  edit.MaxValue = 10;
  edit.SetValue(10);
  edit.Buttons()->UpButton()->Click();
  EXPECT_EQ(edit.Value(), 10);
  edit.Buttons()->DownButton()->Click();
  EXPECT_EQ(edit.Value(), 9);
  QTest::keyClick(&edit, Qt::Key_Down);
  EXPECT_EQ(edit.Value(), 8);
  edit.setText("50");
  Leave(&edit);
  EXPECT_EQ(edit.text(), "10");
  edit.setText("junk");
  EXPECT_EQ(edit.Value(), 1) << "unparsable text reads MinValue";
  edit.SetValue(5);
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_EQ(edit.text(), "5");
  EXPECT_EQ(beeps, 1);
  edit.setReadOnly(true);
  edit.Buttons()->UpButton()->Click();
  QTest::keyClick(&edit, Qt::Key_Up);
  EXPECT_EQ(edit.Value(), 5);
  EXPECT_EQ(beeps, 3);
}

TEST(Edit, BorderFollowsTheStyleAndTheSkin) {
  QWidget form;
  auto* edit = new TsuiEdit(&form);
  EXPECT_EQ(edit->UIStyle(), DeepBlue) << "no frame on the form";
  EXPECT_EQ(edit->BorderColor(), GetInsideThemeQColor(DeepBlue, INSIDE_CONTROLBORDERCOLOR));
  edit->SetUIStyle(MacOS);
  EXPECT_EQ(edit->BorderColor(), GetInsideThemeQColor(MacOS, INSIDE_CONTROLBORDERCOLOR));
  auto* theme = new TsuiFileTheme(&form);
  theme->SetThemeFile("Slate.ssk");
  auto* spin = new TsuiSpinEdit(&form);
  for (TsuiStyled* styled : std::initializer_list<TsuiStyled*>{edit, spin}) {
    styled->SetFileTheme(theme);
    styled->SetUIStyle(FromThemeFile);
  }
  EXPECT_EQ(edit->BorderColor(), theme->GetQColor(SKIN2_CONTROLBORDERCOLOR));
  EXPECT_EQ(spin->Buttons()->FileTheme(), theme);
  EXPECT_EQ(spin->Buttons()->UIStyle(), FromThemeFile);
  delete theme;
  EXPECT_EQ(edit->BorderColor(), GetInsideThemeQColor(DeepBlue, INSIDE_CONTROLBORDERCOLOR));
  EXPECT_EQ(spin->Buttons()->FileTheme(), nullptr);
}

}  // namespace skin_edit_test
}  // namespace zelvar
