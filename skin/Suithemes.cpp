#include "skin/Suithemes.h"

#include <QFileInfo>
#include <QWidget>
#include <array>

#include "skin/Sui2skinreader.h"
#include "skin/Suiform.h"
#include "skin/Suipictures.h"
#include "skin/Suipublic.h"

namespace zelvar {

namespace {

// One row of the table: the element's type and its value in MacOS, WinXP, DeepBlue, Protein and
// BlueGlass.
struct Row {
  TsuiType type;
  std::array<std::uint32_t, 5> words;
  std::array<const char*, 5> names;
};

constexpr Row S(const char* a, const char* b, const char* c, const char* d, const char* e) {
  return {TsuiType::Str, {0, 0, 0, 0, 0}, {a, b, c, d, e}};
}
constexpr Row I(int a, int b, int c, int d, int e) {
  return {
      TsuiType::Int,
      {static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b), static_cast<std::uint32_t>(c),
       static_cast<std::uint32_t>(d), static_cast<std::uint32_t>(e)},
      {}};
}
constexpr Row C(TColor a, TColor b, TColor c, TColor d, TColor e) {
  return {TsuiType::Color, {a, b, c, d, e}, {}};
}
constexpr Row B(bool a, bool b, bool c, bool d, bool e) {
  return {TsuiType::Bool, {a, b, c, d, e}, {}};
}
constexpr TColor Grey(int v) {
  return RGBColor(v, v, v);
}

constexpr std::array<Row, 48> kTable = {{
    // 1-4
    S("MACOS_BUTTON", "WINXP_BUTTON", "DEEPBLUE_BUTTON", "PROTEIN_BUTTON", "BLUEGLASS_BUTTON"),
    B(true, false, false, false, true),
    S("MACOS_CHECKBOX", "WINXP_CHECKBOX", "DEEPBLUE_CHECKBOX", "PROTEIN_CHECKBOX",
      "BLUEGLASS_CHECKBOX"),
    S("MACOS_RADIOBUTTON", "WINXP_RADIOBUTTON", "DEEPBLUE_RADIOBUTTON", "PROTEIN_RADIOBUTTON",
      "BLUEGLASS_RADIOBUTTON"),
    // 5-9
    S("MACOS_TITLEBTN", "WINXP_TITLEBTN", "DEEPBLUE_TITLEBTN", "PROTEIN_TITLEBTN",
      "BLUEGLASS_TITLEBTN"),
    B(false, false, false, true, true),
    I(3, 2, 0, 0, 4),
    I(-2, -2, 0, 0, -3),
    I(4, 5, 2, 2, 6),
    // 10-12
    S("MACOS_TITLE_LEFT", "WINXP_TITLE_LEFT", "DEEPBLUE_TITLE_LEFT", "PROTEIN_TITLE_LEFT",
      "BLUEGLASS_TITLE_LEFT"),
    S("MACOS_TITLE_CLIENT", "WINXP_TITLE_CLIENT", "DEEPBLUE_TITLE_CLIENT", "PROTEIN_TITLE_CLIENT",
      "BLUEGLASS_TITLE_CLIENT"),
    S("MACOS_TITLE_RIGHT", "WINXP_TITLE_RIGHT", "DEEPBLUE_TITLE_RIGHT", "PROTEIN_TITLE_RIGHT",
      "BLUEGLASS_TITLE_RIGHT"),
    // 13-17
    I(130, 150, 130, 130, 270),
    I(0, 13, 0, 0, 11),
    C(Grey(231), RGBColor(239, 235, 222), Grey(232), Grey(251), Grey(231)),
    C(Grey(127), RGBColor(0, 44, 200), 0, 0, 0),
    I(1, 3, 1, 1, 1),
    // 18-23
    C(RGBColor(57, 115, 196), RGBColor(49, 105, 198), RGBColor(68, 74, 160), RGBColor(45, 48, 196),
      RGBColor(94, 94, 236)),
    C(RGBColor(57, 115, 196), RGBColor(198, 211, 239), RGBColor(68, 74, 160), RGBColor(45, 48, 196),
      RGBColor(94, 94, 236)),
    C(Grey(255), 0, Grey(255), Grey(255), Grey(255)),
    C(0, Grey(255), Grey(255), Grey(255), Grey(231)),
    C(0, 0, 0, 0, 0),
    C(0, RGBColor(214, 211, 206), RGBColor(214, 211, 206), RGBColor(214, 211, 206),
      RGBColor(214, 211, 206)),
    // 24-27
    S("MACOS_PROGRESSBAR", "WINXP_PROGRESSBAR", "DEEPBLUE_PROGRESSBAR", "PROTEIN_PROGRESSBAR",
      "BLUEGLASS_PROGRESSBAR"),
    C(Grey(127), Grey(104), 0, 0, 0),
    C(Grey(231), RGBColor(239, 235, 222), Grey(232), Grey(251), Grey(231)),
    C(0, RGBColor(2, 70, 207), 0, 0, 0),
    // 28-30
    S("MACOS_TRACKBAR_BAR", "WINXP_TRACKBAR_BAR", "DEEPBLUE_TRACKBAR_BAR", "PROTEIN_TRACKBAR_BAR",
      "BLUEGLASS_TRACKBAR_BAR"),
    S("MACOS_TRACKBAR_SLIDER", "WINXP_TRACKBAR_SLIDER", "DEEPBLUE_TRACKBAR_SLIDER",
      "PROTEIN_TRACKBAR_SLIDER", "BLUEGLASS_TRACKBAR_SLIDER"),
    S("MACOS_TRACKBAR_SLIDER_V", "WINXP_TRACKBAR_SLIDER_V", "DEEPBLUE_TRACKBAR_SLIDER_V",
      "PROTEIN_TRACKBAR_SLIDER_V", "BLUEGLASS_TRACKBAR_SLIDER_V"),
    // 31-34
    C(Grey(201), Grey(249), Grey(245), Grey(245), Grey(244)),
    S("MACOS_SCROLLBAR_BUTTON", "WINXP_SCROLLBAR_BUTTON", "DEEPBLUE_SCROLLBAR_BUTTON",
      "PROTEIN_SCROLLBAR_BUTTON", "BLUEGLASS_SCROLLBAR_BUTTON"),
    S("MACOS_SCROLLBAR_TRACK", "WINXP_SCROLLBAR_TRACK", "DEEPBLUE_SCROLLBAR_TRACK",
      "PROTEIN_SCROLLBAR_TRACK", "BLUEGLASS_SCROLLBAR_TRACK"),
    S("MACOS_CHECKLIST", "WINXP_CHECKLIST", "DEEPBLUE_CHECKLIST", "PROTEIN_CHECKLIST",
      "BLUEGLASS_CHECKLIST"),
    // 35-37
    C(Grey(71), RGBColor(49, 105, 198), Grey(71), Grey(71), Grey(71)),
    C(Grey(239), RGBColor(198, 211, 239), Grey(239), Grey(239), Grey(239)),
    C(Grey(216), RGBColor(147, 172, 225), Grey(216), Grey(216), Grey(216)),
    // 38-42
    S("MACOS_SCROLLBUTTON", "WINXP_SCROLLBUTTON", "MORE_SCROLLBUTTON", "MORE_SCROLLBUTTON",
      "MORE_SCROLLBUTTON"),
    S("MACOS_TAB", "WINXP_TAB", "DEEPBLUE_TAB", "PROTEIN_TAB", "BLUEGLASS_TAB"),
    S("MACOS_TAB_LINE", "WINXP_TAB_LINE", "DEEPBLUE_TAB_LINE", "PROTEIN_TAB_LINE",
      "BLUEGLASS_TAB_LINE"),
    S("MACOS_SIDECHENNEL_HANDLE", "WINXP_SIDECHENNEL_HANDLE", "DEEPBLUE_SIDECHENNEL_HANDLE",
      "PROTEIN_SIDECHENNEL_HANDLE", "BLUEGLASS_SIDECHENNEL_HANDLE"),
    S("MACOS_SIDECHENNEL_BAR", "WINXP_SIDECHENNEL_BAR", "DEEPBLUE_SIDECHENNEL_BAR",
      "PROTEIN_SIDECHENNEL_BAR", "BLUEGLASS_SIDECHENNEL_BAR"),
    // 43-48: read by no control.
    S("", "", "", "", ""),
    C(0, Grey(255), Grey(255), Grey(255), Grey(255)),
    S("", "", "", "", ""),
    S("", "", "", "", ""),
    I(0, 0, 0, 0, 0),
    C(Grey(231), RGBColor(239, 235, 222), Grey(232), Grey(251), Grey(231)),
}};

}  // namespace

QColor ToQColor(TColor colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

TColor FromQColor(const QColor& colour) {
  return RGBColor(colour.red(), colour.green(), colour.blue());
}

InsideThemeEntry GetInsideThemeEntry(TsuiUIStyle style, int element) {
  if (style < MacOS || style > BlueGlass || element < 1 || element > 48) return {};
  const Row& row = kTable[element - 1];
  const int s = style - MacOS;
  return {row.type, row.words[s], row.type == TsuiType::Str ? row.names[s] : nullptr};
}

TColor GetInsideThemeColor(TsuiUIStyle style, int element) {
  const InsideThemeEntry e = GetInsideThemeEntry(style, element);
  return e.type == TsuiType::Color ? e.word : 0;
}

QColor GetInsideThemeQColor(TsuiUIStyle style, int element) {
  return ToQColor(GetInsideThemeColor(style, element));
}

int GetInsideThemeInt(TsuiUIStyle style, int element) {
  const InsideThemeEntry e = GetInsideThemeEntry(style, element);
  return e.type == TsuiType::Int ? static_cast<int>(e.word) : -1;
}

bool GetInsideThemeBool(TsuiUIStyle style, int element) {
  const InsideThemeEntry e = GetInsideThemeEntry(style, element);
  return e.type == TsuiType::Bool && (e.word & 0xFF) != 0;
}

void LoadInsideThemeBitmap(TsuiUIStyle style, int element, QImage* buf) {
  const InsideThemeEntry e = GetInsideThemeEntry(style, element);
  if (buf == nullptr || e.type != TsuiType::Str || e.name == nullptr || *e.name == '\0') return;
  *buf = LoadResourceBitmap(e.name);
}

void GetInsideThemeBitmap(TsuiUIStyle style, int element, QImage* buf, int spitCount,
                          int spitIndex) {
  if (buf == nullptr) return;
  if (spitCount == 0) {
    LoadInsideThemeBitmap(style, element, buf);
    return;
  }
  QImage whole;
  LoadInsideThemeBitmap(style, element, &whole);
  SpitBitmap(whole, buf, spitCount, spitIndex);
}

TsuiUIStyle GetSUIFormStyle(const QObject* component) {
  const auto* form = qobject_cast<const QWidget*>(component);
  if (form == nullptr || !form->isWindow()) return DeepBlue;
  for (const QObject* child : form->children()) {
    if (const auto* frame = qobject_cast<const TsuiForm*>(child)) return frame->UIStyle();
  }
  return DeepBlue;
}

}  // namespace zelvar

namespace zelvar {

// ---- Skin files ----

TsuiFileThemeMgr::TsuiFileThemeMgr() = default;
TsuiFileThemeMgr::~TsuiFileThemeMgr() = default;

bool TsuiFileThemeMgr::LoadFromFile(const std::string& fileName, const std::string& password,
                                    std::string* error) {
  if (!QFileInfo(QString::fromStdString(fileName)).isFile()) return false;
  reader_.reset();
  auto reader = std::make_unique<Tsk2SkinFileReader>(fileName, password);
  if (error != nullptr) *error = reader->Error();
  if (reader->Loaded()) reader_ = std::move(reader);
  return reader_ != nullptr;
}

int TsuiFileThemeMgr::GetColor(Tsk2SkinColorElement element) const {
  return reader_ ? reader_->GetInteger(std::string(Skin2Key(element))) : 0;
}

int TsuiFileThemeMgr::GetInt(Tsk2IntElement element) const {
  return reader_ ? reader_->GetInteger(std::string(Skin2Key(element))) : 0;
}

bool TsuiFileThemeMgr::GetBool(Tsk2BoolElement element) const {
  return reader_ && reader_->GetBool(std::string(Skin2Key(element)));
}

const QImage* TsuiFileThemeMgr::GetBitmap(Tsk2SkinBitmapElement element) const {
  return reader_ ? reader_->GetBitmap(std::string(Skin2Key(element))) : nullptr;
}

QColor SkinQColor(int colour) {
  if (colour < 0 || colour > 0xFFFFFF) return QColor();
  return ToQColor(static_cast<TColor>(colour));
}

}  // namespace zelvar
