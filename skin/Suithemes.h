#pragma once
// The visual styles: the five built-in styles' element table, its getters, and the style a form's
// frame gives its controls.
#include <QColor>
#include <QImage>
#include <cstdint>
#include <memory>
#include <string>

#include "skin/Sui2define.h"

class QObject;

namespace zelvar {

enum TsuiUIStyle : std::uint8_t {
  FromThemeFile = 0,
  MacOS = 1,
  WinXP = 2,
  DeepBlue = 3,
  Protein = 4,
  BlueGlass = 5
};

enum class TsuiType : std::uint8_t { Int = 0, Color = 1, Str = 2, Bool = 3 };

// Built-in elements, numbered 1 to 48.
enum : int {
  INSIDE_BUTTON = 1,
  INSIDE_BUTTON_TRANSPARENT,
  INSIDE_CHECKBOX,
  INSIDE_RADIOBUTTON,
  INSIDE_TITLEBTN,
  INSIDE_TITLEBTN_TRANSPARENT,
  INSIDE_TITLE_LEFTBTN_XOFFSET,
  INSIDE_TITLE_RIGHTBTN_XOFFSET,
  INSIDE_TITLEBTN_YPOS,
  INSIDE_TITLE_LEFT,
  INSIDE_TITLE_CLIENT,
  INSIDE_TITLE_RIGHT,
  INSIDE_FORM_MINWIDTH,
  INSIDE_ROUNDCORNER,
  INSIDE_FORMCOLOR,
  INSIDE_FORMBORDERCOLOR,
  INSIDE_FORMBORDERWIDTH,
  INSIDE_MENU_SELECTEDBORDERCOLOR,
  INSIDE_MENU_SELECTEDCOLOR,
  INSIDE_MENU_SELECTEDFONTCOLOR,
  INSIDE_MENU_COLOR,
  INSIDE_MENU_FONTCOLOR,
  INSIDE_MENU_BARCOLOR,
  INSIDE_PROGRESSBAR,
  INSIDE_CONTROLBORDERCOLOR,
  INSIDE_CONTROLCOLOR,
  INSIDE_GROUPBOX_FONTCOLOR,
  INSIDE_TRACKBAR_BAR,
  INSIDE_TRACKBAR_SLIDER,
  INSIDE_TRACKBAR_SLIDER_V,
  INSIDE_SCROLLBAR_COLOR,
  INSIDE_SCROLLBAR_BUTTON,
  INSIDE_SCROLLBAR_TRACK,
  INSIDE_CHECKLIST,
  INSIDE_TOOLBAR_BUTTONBORDERCOLOR,
  INSIDE_TOOLBAR_BUTTONCOLOR,
  INSIDE_TOOLBAR_BUTTONDOWNCOLOR,
  INSIDE_SCROLLBUTTON,
  INSIDE_TAB,
  INSIDE_TAB_LINE,
  INSIDE_SIDECHANNEL_HANDLE,
  INSIDE_SIDECHANNEL_BAR,
  INSIDE_SPARE43,
  INSIDE_SPARE44,
  INSIDE_SPARE45,
  INSIDE_SPARE46,
  INSIDE_SPARE47,
  INSIDE_SPARE48
};

// A colour word as the forms store colours: red + 256 x green + 65536 x blue.
using TColor = std::uint32_t;
constexpr TColor RGBColor(int r, int g, int b) {
  return static_cast<TColor>(r) | static_cast<TColor>(g) << 8 | static_cast<TColor>(b) << 16;
}
QColor ToQColor(TColor colour);
TColor FromQColor(const QColor& colour);

// One value of the table: its type, the raw word, and for a Str element the picture's name.
struct InsideThemeEntry {
  TsuiType type = TsuiType::Int;
  std::uint32_t word = 0xFFFFFFFFu;
  const char* name = nullptr;
};

// The one lookup: a style outside MacOS..BlueGlass or an element outside 1..48 gives Int -1.
InsideThemeEntry GetInsideThemeEntry(TsuiUIStyle style, int element);
// Each getter answers a neutral value when the element has another type: colour 0, int -1,
// false.
TColor GetInsideThemeColor(TsuiUIStyle style, int element);
QColor GetInsideThemeQColor(TsuiUIStyle style, int element);
int GetInsideThemeInt(TsuiUIStyle style, int element);
bool GetInsideThemeBool(TsuiUIStyle style, int element);
// The picture of a Str element into `buf`: whole with spitCount 0, else frame spitIndex (1-based)
// of a strip of spitCount frames. A non-picture element leaves `buf` empty when a frame was asked
// for and untouched otherwise.
void GetInsideThemeBitmap(TsuiUIStyle style, int element, QImage* buf, int spitCount = 0,
                          int spitIndex = 0);
void LoadInsideThemeBitmap(TsuiUIStyle style, int element, QImage* buf);

// The style of the first direct TsuiForm child of a window; DeepBlue for anything else.
TsuiUIStyle GetSUIFormStyle(const QObject* component);

}  // namespace zelvar

namespace zelvar {

// ---- Skin files ----

class Tsk2SkinFileReader;

// Owns the reader of one loaded skin file and looks elements up by their key.
class TsuiFileThemeMgr {
 public:
  TsuiFileThemeMgr();
  ~TsuiFileThemeMgr();
  TsuiFileThemeMgr(const TsuiFileThemeMgr&) = delete;
  TsuiFileThemeMgr& operator=(const TsuiFileThemeMgr&) = delete;

  // False without touching the loaded skin when no such file exists; otherwise the old skin goes
  // and the result says whether the new one loaded. `error` gets the reader's message.
  bool LoadFromFile(const std::string& fileName, const std::string& password,
                    std::string* error = nullptr);
  // Without a loaded skin: 0, 0, false and none. A colour the skin lacks reads -1.
  int GetColor(Tsk2SkinColorElement element) const;
  int GetInt(Tsk2IntElement element) const;
  bool GetBool(Tsk2BoolElement element) const;
  const QImage* GetBitmap(Tsk2SkinBitmapElement element) const;

 private:
  std::unique_ptr<Tsk2SkinFileReader> reader_;
};

// A skin-file colour word as a QColor; -1 (absent) and anything outside 24 bits is no colour
// (an invalid QColor), which the controls do not paint.
QColor SkinQColor(int colour);

}  // namespace zelvar
