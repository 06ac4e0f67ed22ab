// Writes the skin files shipped with the program, from our built-in pictures and our colours:
// each skin takes the pictures of one built-in style, turned to its own hue, and its own palette.
//   make_skins DIR
#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTransform>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "skin/Sui2define.h"
#include "skin/Suipictures.h"
#include "skin/Suithemes.h"
#include "tools/skin/SkinFileWriter.h"

namespace {

using zelvar::skinfile::Record;

struct SkinRecipe {
  const char* file;
  const char* base;  // the built-in style whose pictures it starts from
  int hueShift;      // degrees
  std::vector<std::pair<zelvar::Tsk2SkinColorElement, QColor>> colours;
  // Amber: a five-section title with the caption on a section of its own, round corners cut from
  // the title and the lower border (the window is shaped from them), a three-part lower border
  // and wide side borders. Slate: a three-section title, a plain window and narrow borders.
  bool shaped;
};

const QColor kSeeThrough(255, 0, 255);

// Pixels outside a quarter circle of radius `r` in one corner become see-through.
void CutCorner(QImage& image, int r, bool left, bool top) {
  for (int y = 0; y < r && y < image.height(); ++y) {
    for (int x = 0; x < r && x < image.width(); ++x) {
      const double dx = r - x - 0.5;
      const double dy = r - y - 0.5;
      if (dx * dx + dy * dy <= r * r) continue;
      image.setPixelColor(left ? x : image.width() - 1 - x, top ? y : image.height() - 1 - y,
                          kSeeThrough);
    }
  }
}

// A border strip `w` by `h`: a dark outer line, then the edge colour fading to the form colour.
QImage BorderStrip(int w, int h, const QColor& edge, const QColor& form, bool outerLeft,
                   bool horizontal) {
  QImage out(horizontal ? h : w, horizontal ? w : h, QImage::Format_RGB32);
  for (int i = 0; i < w; ++i) {
    const int depth = outerLeft ? i : w - 1 - i;  // 0 at the window's edge
    const double t = w > 1 ? static_cast<double>(depth) / (w - 1) : 0;
    const QColor c = depth == 0
                         ? edge.darker(160)
                         : QColor::fromRgbF(edge.redF() + (form.redF() - edge.redF()) * t,
                                            edge.greenF() + (form.greenF() - edge.greenF()) * t,
                                            edge.blueF() + (form.blueF() - edge.blueF()) * t);
    for (int j = 0; j < h; ++j) {
      if (horizontal) {
        out.setPixelColor(j, i, c);
      } else {
        out.setPixelColor(i, j, c);
      }
    }
  }
  return out;
}

QImage Recolour(const QImage& picture, int hueShift) {
  QImage out = picture.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) {
      const QColor c = out.pixelColor(x, y);
      if (c == QColor(255, 0, 255)) continue;  // see-through stays see-through
      int h = 0, s = 0, v = 0;
      c.getHsv(&h, &s, &v);
      if (h >= 0) h = (h + hueShift) % 360;
      out.setPixelColor(x, y, QColor::fromHsv(h, s, v));
    }
  }
  return out;
}

Record BitmapRecord(zelvar::Tsk2SkinBitmapElement element, const QImage& picture) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "BMP");
  return Record{std::string(zelvar::Skin2Key(element)), zelvar::skinfile::kBitmap,
                std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

std::vector<Record> Records(const SkinRecipe& recipe) {
  using namespace zelvar;
  std::vector<Record> records;
  records.push_back(skinfile::StringRecord("SKINNAME", recipe.file));
  for (const auto& [element, colour] : recipe.colours)
    records.push_back(skinfile::IntegerRecord(std::string(Skin2Key(element)),
                                              static_cast<std::int32_t>(FromQColor(colour))));
  const std::string base = recipe.base;
  const auto picture = [&](const std::string& name) {
    return Recolour(LoadResourceBitmap(base + name), recipe.hueShift);
  };
  const QImage title = picture("_TITLE_CLIENT");
  QImage titleLeft = picture("_TITLE_LEFT");
  QImage titleRight = picture("_TITLE_RIGHT");
  const QImage progress = picture("_PROGRESSBAR");
  const int third = progress.width() / 3;
  const QImage arrows = picture("_SCROLLBAR_BUTTON");
  const QColor form = recipe.colours[2].second;  // SKIN2_FORMCOLOR
  const QColor edge = title.pixelColor(title.width() / 2, title.height() / 2);
  std::vector<std::pair<Tsk2SkinBitmapElement, QImage>> bitmaps;
  if (recipe.shaped) {
    CutCorner(titleLeft, 6, true, true);
    CutCorner(titleRight, 6, false, true);
    // The caption's section is lighter than the rest of the bar; a short piece leads back.
    const QImage caption =
        Recolour(title, 0).scaled(8, title.height()).convertToFormat(QImage::Format_RGB32);
    QImage lighter = caption;
    for (int y = 0; y < lighter.height(); ++y)
      for (int x = 0; x < lighter.width(); ++x)
        lighter.setPixelColor(x, y, lighter.pixelColor(x, y).lighter(125));
    QImage lead(12, title.height(), QImage::Format_RGB32);
    for (int x = 0; x < lead.width(); ++x)
      for (int y = 0; y < lead.height(); ++y)
        lead.setPixelColor(
            x, y, x < lead.width() / 2 ? lighter.pixelColor(0, y) : title.pixelColor(0, y));
    QImage bottomLeft = BorderStrip(6, 8, edge, form, false, true);
    QImage bottomRight = bottomLeft.copy();
    CutCorner(bottomLeft, 6, true, false);
    CutCorner(bottomRight, 6, false, false);
    bitmaps = {{SKIN2_TITLEBAR1, titleLeft},
               {SKIN2_TITLEBAR2, lighter},
               {SKIN2_TITLEBAR3, lead},
               {SKIN2_TITLEBAR4, title},
               {SKIN2_TITLEBAR5, titleRight},
               {SKIN2_FORMLEFTBORDER, BorderStrip(6, 40, edge, form, true, false)},
               {SKIN2_FORMRIGHTBORDER, BorderStrip(6, 40, edge, form, false, false)},
               {SKIN2_FORMBOTTOMBORDER1, bottomLeft},
               {SKIN2_FORMBOTTOMBORDER2, BorderStrip(6, 1, edge, form, false, true)},
               {SKIN2_FORMBOTTOMBORDER3, bottomRight}};
  } else {
    bitmaps = {{SKIN2_TITLEBAR1, titleLeft},
               {SKIN2_TITLEBAR2, title},
               {SKIN2_TITLEBAR3, titleRight},
               {SKIN2_FORMLEFTBORDER, BorderStrip(2, 40, edge, form, true, false)},
               {SKIN2_FORMRIGHTBORDER, BorderStrip(2, 40, edge, form, false, false)},
               // Drawn as a three-part bar: ends and middle alike.
               {SKIN2_FORMBOTTOMBORDER1, BorderStrip(2, 30, edge, form, false, true)}};
  }
  const std::vector<std::pair<Tsk2SkinBitmapElement, QImage>> more = {
      {SKIN2_TITLEBUTTONS, picture("_TITLEBTN")},
      {SKIN2_CHECKEDMENUICON, LoadResourceBitmap("MENU_CHECKED")},
      {SKIN2_BUTTON, picture("_BUTTON")},
      {SKIN2_CHECKBOX, picture("_CHECKBOX")},
      {SKIN2_RADIOBUTTON, picture("_RADIOBUTTON")},
      {SKIN2_PROGRESSBAR1, progress.copy(0, 0, 1, progress.height())},
      {SKIN2_PROGRESSBAR2, progress.copy(third, 0, third, progress.height())},
      {SKIN2_PROGRESSBAR3, progress.copy(2 * third, 0, third, progress.height())},
      {SKIN2_PROGRESSBAR4, progress.copy(progress.width() - 1, 0, 1, progress.height())},
      {SKIN2_TABCONTROL, picture("_TAB")},
      {SKIN2_TABCONTROLLINE, picture("_TAB_LINE")},
      {SKIN2_SIDECHANNELBAR, picture("_SIDECHENNEL_HANDLE")},
      {SKIN2_SIDECHANNELTITLE, picture("_SIDECHENNEL_BAR")},
      {SKIN2_TRACKBAR, picture("_TRACKBAR_BAR")},
      {SKIN2_TRACKBARSLIDER, picture("_TRACKBAR_SLIDER")},
      {SKIN2_TRACKBARVSLIDER, picture("_TRACKBAR_SLIDER_V")},
      // The scroll bar's thumb strip stands upright in a skin file (three frames from the top).
      {SKIN2_SCROLLBAR, picture("_SCROLLBAR_TRACK").transformed(QTransform().rotate(90))},
      {SKIN2_SCROLLBARUPBUTTON, arrows.copy(0, 0, arrows.width() / 2, arrows.height())},
      {SKIN2_SCROLLBARDOWNBUTTON,
       arrows.copy(arrows.width() / 2, 0, arrows.width() / 2, arrows.height())},
  };
  bitmaps.insert(bitmaps.end(), more.begin(), more.end());
  for (const auto& [element, image] : bitmaps) records.push_back(BitmapRecord(element, image));
  const std::vector<std::pair<Tsk2IntElement, int>> ints = {
      {SKIN2_TITLEBARICONPOSX, 4},
      {SKIN2_TITLEBARICONPOSY, 4},
      {SKIN2_TITLEBARCAPTIONTOP, 5},
      {SKIN2_TITLEBARBUTTONPOSX, -2},
      {SKIN2_TITLEBARBUTTONPOSY, 4},
      {SKIN2_TITLEBARREGIONMINY, 0},
      // Only the rows of the round corners are traced.
      {SKIN2_TITLEBARREGIONMAXY, 5},
      {SKIN2_BOTTOMREGIONMINY, 0},
      {SKIN2_BOTTOMREGIONMAXY, 5}};
  for (const auto& [element, value] : ints)
    records.push_back(skinfile::IntegerRecord(std::string(Skin2Key(element)), value));
  const std::vector<std::pair<Tsk2BoolElement, bool>> flags = {
      {SKIN2_TITLEFIVESECT, recipe.shaped},
      {SKIN2_BOTTOMBORDERTHREESECT, recipe.shaped},
      {SKIN2_TITLEBARNEEDREGION, recipe.shaped},
      {SKIN2_BOTTOMBORDERNEEDREGION, recipe.shaped},
      {SKIN2_TITLEBTNTRANS, true},
      {SKIN2_BUTTONTRANS, true},
      {SKIN2_CHECKBOXTRANS, true},
      {SKIN2_RADIOBUTTONTRANS, true},
      {SKIN2_TABCONTROLTRANS, true}};
  for (const auto& [element, value] : flags)
    records.push_back(skinfile::BoolRecord(std::string(Skin2Key(element)), value));
  return records;
}

std::vector<std::pair<zelvar::Tsk2SkinColorElement, QColor>> Palette(QColor form, QColor accent,
                                                                     QColor border, QColor text) {
  using namespace zelvar;
  const QColor white(255, 255, 255);
  return {{SKIN2_TRANSCOLOR, QColor(255, 0, 255)},
          {SKIN2_TITLEFONTCOLOR, white},
          {SKIN2_FORMCOLOR, form},
          {SKIN2_MENUBARSTARTCOLOR, form},
          {SKIN2_MENUBARENDCOLOR, form.darker(110)},
          {SKIN2_TOPSELECTEDMENUCOLOR, accent},
          {SKIN2_TOPSELECTEDMENUBORDERCOLOR, border},
          {SKIN2_TOPSELECTEDMENUFONTCOLOR, white},
          {SKIN2_TOPMENUFONTCOLOR, text},
          {SKIN2_LEFTBARSTARTCOLOR, form},
          {SKIN2_LEFTBARENDCOLOR, accent},
          {SKIN2_MENUITEMCOLOR, form.lighter(105)},
          {SKIN2_MENUITEMFONTCOLOR, text},
          {SKIN2_SELECTEDMENUCOLOR, accent},
          {SKIN2_SELECTEDMENUBORDERCOLOR, border},
          {SKIN2_SELECTEDMENUFONTCOLOR, white},
          {SKIN2_TOOLBARSTARTCOLOR, form},
          {SKIN2_TOOLBARENDCOLOR, form.darker(115)},
          {SKIN2_TOOLBARONCOLOR, accent.lighter(150)},
          {SKIN2_TOOLBARBORDERCOLOR, border},
          {SKIN2_TOOLBARDOWNCOLOR, accent},
          {SKIN2_CONTROLCOLOR, form.lighter(103)},
          {SKIN2_CONTROLBORDERCOLOR, border},
          {SKIN2_CONTROLFONTCOLOR, text},
          {SKIN2_BUTTONFONTCOLOR, text},
          {SKIN2_SCROLLBARCOLOR, form.lighter(108)},
          {SKIN2_TABCONTROLCOLOR, form},
          {SKIN2_TABCONTROLBORDERCOLOR, border},
          {SKIN2_TABCONTROLACTIVEFONTCOLOR, text},
          {SKIN2_TABCONTROLINACTIVEFONTCOLOR, text.lighter(200)},
          {SKIN2_SIDECHANNELCOLOR, form},
          {SKIN2_SIDECHANNELBORDERCOLOR, border}};
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_skins DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  const std::vector<SkinRecipe> recipes = {
      {"Slate.ssk", "DEEPBLUE", 320,
       Palette(QColor(226, 229, 233), QColor(84, 110, 122), QColor(55, 71, 79), QColor(33, 33, 33)),
       false},
      {"Amber.ssk", "PROTEIN", 150,
       Palette(QColor(250, 243, 228), QColor(214, 137, 16), QColor(120, 72, 0), QColor(62, 39, 35)),
       true},
  };
  int failed = 0;
  for (const SkinRecipe& recipe : recipes) {
    const std::vector<std::uint8_t> bytes = zelvar::skinfile::SkinFile(Records(recipe));
    QFile file(dir.filePath(recipe.file));
    if (bytes.empty() || !file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
      std::fprintf(stderr, "cannot write %s\n", recipe.file);
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}
