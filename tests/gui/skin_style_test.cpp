#include <gtest/gtest.h>

#include <QPainter>
#include <QWidget>
#include <string>

#include "skin/Suibutton.h"
#include "skin/Suiform.h"
#include "skin/Suimgr.h"
#include "skin/Suipictures.h"
#include "skin/Suipublic.h"
#include "skin/Suithemes.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_style_test {

TEST(StyleTable, ValuesAndNeutralAnswers) {
  EXPECT_EQ(GetInsideThemeInt(WinXP, INSIDE_ROUNDCORNER), 13);
  EXPECT_EQ(GetInsideThemeInt(BlueGlass, INSIDE_FORM_MINWIDTH), 270);
  EXPECT_EQ(GetInsideThemeInt(MacOS, INSIDE_TITLE_RIGHTBTN_XOFFSET), -2);
  EXPECT_EQ(GetInsideThemeColor(WinXP, INSIDE_FORMBORDERCOLOR), RGBColor(0, 44, 200));
  EXPECT_EQ(GetInsideThemeColor(Protein, INSIDE_FORMCOLOR), RGBColor(251, 251, 251));
  EXPECT_EQ(GetInsideThemeColor(DeepBlue, INSIDE_MENU_SELECTEDCOLOR), RGBColor(68, 74, 160));
  EXPECT_EQ(GetInsideThemeQColor(WinXP, INSIDE_GROUPBOX_FONTCOLOR), QColor(2, 70, 207));
  EXPECT_TRUE(GetInsideThemeBool(MacOS, INSIDE_BUTTON_TRANSPARENT));
  EXPECT_FALSE(GetInsideThemeBool(WinXP, INSIDE_BUTTON_TRANSPARENT));
  EXPECT_TRUE(GetInsideThemeBool(Protein, INSIDE_TITLEBTN_TRANSPARENT));
  // A getter of another type, a style outside 1..5 or an element outside 1..48 answers neutrally.
  EXPECT_EQ(GetInsideThemeColor(DeepBlue, INSIDE_ROUNDCORNER), 0u);
  EXPECT_EQ(GetInsideThemeInt(DeepBlue, INSIDE_FORMCOLOR), -1);
  EXPECT_FALSE(GetInsideThemeBool(DeepBlue, INSIDE_BUTTON));
  for (TsuiUIStyle bad : {FromThemeFile, static_cast<TsuiUIStyle>(6)}) {
    EXPECT_EQ(GetInsideThemeColor(bad, INSIDE_FORMCOLOR), 0u);
    EXPECT_EQ(GetInsideThemeInt(bad, INSIDE_ROUNDCORNER), -1);
    EXPECT_FALSE(GetInsideThemeBool(bad, INSIDE_BUTTON_TRANSPARENT));
    QImage picture;
    GetInsideThemeBitmap(bad, INSIDE_BUTTON, &picture, 3, 1);
    EXPECT_TRUE(picture.isNull());
  }
  EXPECT_EQ(GetInsideThemeEntry(MacOS, 0).word, 0xFFFFFFFFu);
  EXPECT_EQ(GetInsideThemeEntry(MacOS, 49).type, TsuiType::Int);
  EXPECT_STREQ(GetInsideThemeEntry(DeepBlue, INSIDE_SIDECHANNEL_BAR).name,
               "DEEPBLUE_SIDECHENNEL_BAR");
}

// Every picture a control reads exists in every style, with the frame count it is cut into.
TEST(StyleTable, PicturesExistWithTheirFrames) {
  struct Strip {
    int element;
    int frames;
  };
  const Strip strips[] = {{INSIDE_BUTTON, 3},       {INSIDE_CHECKBOX, 4},
                          {INSIDE_RADIOBUTTON, 4},  {INSIDE_PROGRESSBAR, 1},
                          {INSIDE_TAB, 2},          {INSIDE_TAB_LINE, 1},
                          {INSIDE_SCROLLBUTTON, 4}, {INSIDE_SIDECHANNEL_BAR, 1},
                          {INSIDE_TITLEBTN, 18},    {INSIDE_TITLE_LEFT, 1},
                          {INSIDE_TITLE_CLIENT, 1}, {INSIDE_TITLE_RIGHT, 1}};
  for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    for (const Strip& s : strips) {
      QImage whole;
      GetInsideThemeBitmap(style, s.element, &whole);
      ASSERT_FALSE(whole.isNull()) << int(style) << " " << s.element;
      EXPECT_EQ(whole.width() % s.frames, 0) << int(style) << " " << s.element;
    }
  }
  QImage deepBlue, glass;
  GetInsideThemeBitmap(DeepBlue, INSIDE_SCROLLBUTTON, &deepBlue);
  GetInsideThemeBitmap(BlueGlass, INSIDE_SCROLLBUTTON, &glass);
  EXPECT_EQ(deepBlue, glass) << "one MORE_SCROLLBUTTON";
  for (const char* name : {"MACOS_COMBOBOX_BUTTON", "WINXP_COMBOBOX_BUTTON", "PANEL_BUTTON",
                           "MACOS_FORM_BACKGROUND", "PROTEIN_FORM_BACKGROUND"})
    EXPECT_FALSE(LoadResourceBitmap(name).isNull()) << name;
  // A title's three pieces are equally high, and its buttons fit in it below their row.
  for (TsuiUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    QImage left, client, right, button;
    GetInsideThemeBitmap(style, INSIDE_TITLE_LEFT, &left);
    GetInsideThemeBitmap(style, INSIDE_TITLE_CLIENT, &client);
    GetInsideThemeBitmap(style, INSIDE_TITLE_RIGHT, &right);
    GetInsideThemeBitmap(style, INSIDE_TITLEBTN, &button, 18, 16);
    EXPECT_EQ(left.height(), client.height()) << int(style);
    EXPECT_EQ(right.height(), client.height()) << int(style);
    EXPECT_LE(GetInsideThemeInt(style, INSIDE_TITLEBTN_YPOS) + button.height(), left.height())
        << int(style);
  }
  EXPECT_EQ(LoadResourceBitmap("MENU_CHECKED").size(), QSize(16, 16));
  EXPECT_EQ(LoadResourceBitmap("MACOS_MENU_BAR").size(), QSize(1, 22));
  EXPECT_EQ(LoadResourceBitmap("MACOS_MENU_SELECT").size(), QSize(1, 21));
  EXPECT_EQ(LoadResourceBitmap("PANEL_BUTTON").width() % 4, 0);
  EXPECT_TRUE(LoadResourceBitmap("NO_SUCH_PICTURE").isNull());
}

class LoadedTheme : public TsuiFileTheme {
 public:
  bool CanUse() const override { return true; }
};

TEST(StyleChoice, UsingFileThemeMatrix) {
  TsuiFileTheme unloaded;
  LoadedTheme loaded;
  struct Case {
    const TsuiFileTheme* theme;
    TsuiUIStyle asked;
    bool result;
    TsuiUIStyle style;
  };
  const Case cases[] = {
      {nullptr, FromThemeFile, false, DeepBlue},
      {&unloaded, FromThemeFile, false, DeepBlue},
      {&loaded, FromThemeFile, true, FromThemeFile},
      {&loaded, WinXP, false, WinXP},
      {nullptr, MacOS, false, MacOS},
  };
  for (const Case& c : cases) {
    TsuiUIStyle style = Protein;
    EXPECT_EQ(UsingFileTheme(c.theme, c.asked, style), c.result) << int(c.asked);
    EXPECT_EQ(style, c.style) << int(c.asked);
  }
  // The built-in values a control reads beside a usable file theme are DeepBlue's.
  TsuiButton button;
  button.SetFileTheme(&loaded);
  button.SetUIStyle(FromThemeFile);
  EXPECT_EQ(button.Style(), DeepBlue);
}

TEST(StyleChoice, FormStyleComesFromTheFramesDirectChild) {
  EXPECT_EQ(GetSUIFormStyle(nullptr), DeepBlue);
  QObject plain;
  EXPECT_EQ(GetSUIFormStyle(&plain), DeepBlue);
  QWidget bare;
  EXPECT_EQ(GetSUIFormStyle(&bare), DeepBlue);
  QWidget nested;
  auto* panel = new QWidget(&nested);
  TsuiForm inner(nullptr);
  inner.setParent(panel);
  inner.SetUIStyle(MacOS);
  EXPECT_EQ(GetSUIFormStyle(&nested), DeepBlue) << "a frame inside a panel does not count";
  QWidget form;
  auto* frame = new TsuiForm(&form);
  frame->SetUIStyle(MacOS);
  EXPECT_EQ(GetSUIFormStyle(&form), MacOS);
  EXPECT_EQ(GetSUIFormStyle(frame), DeepBlue) << "not a window";
  // A control made on the form takes the form's style.
  TsuiButton* button = new TsuiButton(frame);
  EXPECT_EQ(button->UIStyle(), MacOS);
  SetFormUIStyle(&form, WinXP);
  EXPECT_EQ(button->UIStyle(), WinXP);
  EXPECT_EQ(frame->UIStyle(), WinXP);
  EXPECT_EQ(form.palette().window().color(), QColor(239, 235, 222));
}

TEST(StyleChoice, ContainerReachesOnlyStyledDirectChildren) {
  QWidget container;
  auto* child = new TsuiButton(&container);
  auto* plain = new QWidget(&container);
  auto* grandchild = new TsuiButton(plain);
  child->SetUIStyle(MacOS);
  grandchild->SetUIStyle(MacOS);
  LoadedTheme theme;
  ContainerApplyUIStyle(&container, Protein, &theme);
  EXPECT_EQ(child->UIStyle(), Protein);
  EXPECT_EQ(child->FileTheme(), &theme);
  EXPECT_EQ(grandchild->UIStyle(), MacOS);
  EXPECT_EQ(grandchild->FileTheme(), nullptr);
}

}  // namespace skin_style_test
}  // namespace zelvar
