#include "skin/Suititlebar.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

#include "skin/Suidlg.h"
#include "skin/Suiform.h"
#include "skin/Suipublic.h"

namespace zelvar {

TitleButtonLayout LayoutTitleButtons(const std::vector<TsuiTitleBarButton>& buttons,
                                     const TitleButtonMetrics& m) {
  TitleButtonLayout out;
  out.rects.resize(buttons.size());
  int x = m.width - m.rightBtnXOffset + (m.frameAnswer - 1);
  for (size_t i = 0; i < buttons.size(); ++i) {
    const TsuiTitleBarButton& b = buttons[i];
    if (!b.visible || !b.HasPictures()) continue;
    if (b.type == suiControlBox) {
      out.controlBox = static_cast<int>(i);
      continue;
    }
    const int w = b.picNormal.width();
    x -= b.type == suiClose ? w : w + 1 + m.buttonInterval;
    if (x + w + 1 > m.width) x = m.width - w - 1;
    out.rects[i] = QRect(x, m.rowY, w, b.picNormal.height());
  }
  int left = std::max(0, m.leftBtnXOffset - 4 - (m.frameAnswer - 1));
  if (out.controlBox >= 0) {
    const TsuiTitleBarButton& b = buttons[out.controlBox];
    if (m.drawAppIcon) {
      out.rects[out.controlBox] =
          QRect(left, m.controlBoxY, b.picNormal.width(), b.picNormal.height());
      out.icon = QRect(left + 3, m.controlBoxY, 16, 16);
      left += 21;
    } else {
      out.rects[out.controlBox] =
          QRect(left, m.controlBoxY - 1, b.picNormal.width(), b.picNormal.height());
      left += b.picNormal.width() + 5;
    }
  }
  if (left == 0) left = 6;
  out.captionLeft = left;
  out.captionRight = x;
  return out;
}

TitleSectionLayout LayoutTitleSections(const std::vector<TsuiTitleBarSection>& sections,
                                       const TitleSectionMetrics& m, const QFontMetrics& metrics,
                                       const QString& caption) {
  TitleSectionLayout out;
  out.rects.resize(sections.size());
  const int titleWidth = m.width - 2 * m.frameInset;
  int x = 0;
  int right = m.width;
  int lastLeft = 0;
  int client = -1;
  for (size_t i = 0; i < sections.size(); ++i) {
    const TsuiTitleBarSection& s = sections[i];
    const int h = s.picture.height();
    if (s.capSec) {
      const int next = i + 1 < sections.size() ? sections[i + 1].width : 0;
      out.captionText = FormatStringWithWidth(
          metrics, caption, titleWidth - m.leftBtnXOffset - 21 - m.buttonsWidth - next);
      // An empty caption after a wide left section needs no room at all.
      const int w = std::max(
          0, metrics.horizontalAdvance(out.captionText) + m.leftBtnXOffset + 17 - lastLeft);
      if (!s.picture.isNull()) out.rects[i] = QRect(x, 0, w, h);
      x += w;
    } else if (s.align == suiLeft) {
      if (!s.picture.isNull()) out.rects[i] = QRect(x, 0, s.picture.width(), h);
      x += s.picture.width();
      lastLeft = s.picture.width();
    } else if (s.align == suiRight) {
      right -= s.picture.width();
      if (!s.picture.isNull()) out.rects[i] = QRect(right, 0, s.picture.width(), h);
    } else {
      client = static_cast<int>(i);
    }
  }
  if (client >= 0 && right > x && !sections[client].picture.isNull())
    out.rects[client] = QRect(x, 0, right - x, sections[client].picture.height());
  return out;
}

QString ShortenCaption(const QFontMetrics& metrics, const QString& caption, int width) {
  if (metrics.horizontalAdvance(caption) <= width) return caption;
  QString text = caption;
  while (!text.isEmpty() && metrics.horizontalAdvance(text + "...") > width) text.chop(1);
  return text + "...";
}

TsuiTitleBarPopupMenu::TsuiTitleBarPopupMenu(TsuiTitleBar* titleBar)
    : TsuiPopupMenu(titleBar), titleBar_(titleBar) {
  setObjectName("SystemMenu");
  auto click = [this](TsuiTitleBarBtnType type) {
    auto& buttons = titleBar_->Buttons();
    for (size_t i = 0; i < buttons.size(); ++i) {
      if (buttons[i].type == type && buttons[i].visible) {
        titleBar_->DoClick(static_cast<int>(i));
        if (type != suiMax) return;  // every visible maximise button is clicked
      }
    }
  };
  addAction("Mi&nimize", this, [click] { click(suiMin); });
  addAction("Ma&ximize/Restore", this, [click] { click(suiMax); });
  addSeparator();
  addAction("&Close", this, [this] {
    if (titleBar_->parentWidget() != nullptr) titleBar_->parentWidget()->close();
  });
}

void TsuiTitleBarPopupMenu::Popup(const QPoint& globalPos) {
  auto visible = [this](TsuiTitleBarBtnType type) {
    for (const TsuiTitleBarButton& b : titleBar_->Buttons()) {
      if (b.type == type && b.visible) return true;
    }
    return false;
  };
  const QList<QAction*> items = actions();
  items[0]->setEnabled(visible(suiMin));
  items[1]->setEnabled(visible(suiMax));
  items[3]->setEnabled(visible(suiClose));
  popup(globalPos);
}

TsuiTitleBar::TsuiTitleBar(QWidget* form, TsuiForm* frame) : QWidget(form), frame_(frame) {
  setObjectName("suiTitleBar");
  setMouseTracking(true);
  QFont f = font();
  f.setFamily("Tahoma");
  f.setBold(true);
  setFont(f);
  for (TsuiTitleBarBtnType type : {suiControlBox, suiClose, suiMax, suiMin}) {
    TsuiTitleBarButton b;
    b.type = type;
    buttons_.push_back(b);
  }
  systemMenu_ = new TsuiTitleBarPopupMenu(this);
  SetUIStyle(frame != nullptr ? frame->UIStyle() : OwnerStyle(form));
}

QPoint TsuiTitleBar::Origin() const {
  return InForm() ? QPoint(3, 3) : QPoint(0, 0);
}

void TsuiTitleBar::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void TsuiTitleBar::SetFormActive(bool active) {
  formActive_ = active;
  update();
}

void TsuiTitleBar::SetDrawAppIcon(bool on) {
  drawAppIcon_ = on;
  update();
}

void TsuiTitleBar::SetButtonInterval(int interval) {
  buttonInterval_ = interval;
  update();
}

void TsuiTitleBar::UpdateButtonPictures(TsuiTitleBarButton& b, TsuiUIStyle style) const {
  int first = 0;
  switch (b.type) {
    case suiControlBox:
      first = 1;
      break;
    case suiHelp:
      first = 4;
      break;
    case suiMax:
      first = FormMaximized() ? 10 : 7;
      break;
    case suiMin:
      first = 13;
      break;
    case suiClose:
      first = 16;
      break;
    case suiCustom:
      return;  // a custom button keeps its own pictures
  }
  TsuiUIStyle resolved = style;
  if (UsingFileTheme(FileTheme(), UIStyle(), resolved)) {
    const TsuiFileTheme& theme = *FileTheme();
    b.transparent = theme.GetBool(SKIN2_TITLEBTNTRANS);
    theme.GetBitmap2(SKIN2_TITLEBUTTONS, &b.picNormal, 18, first);
    theme.GetBitmap2(SKIN2_TITLEBUTTONS, &b.picMouseOn, 18, first + 1);
    theme.GetBitmap2(SKIN2_TITLEBUTTONS, &b.picMouseDown, 18, first + 2);
    b.top = theme.GetInt(SKIN2_TITLEBARBUTTONPOSY);
    return;
  }
  b.transparent = GetInsideThemeBool(style, INSIDE_TITLEBTN_TRANSPARENT);
  GetInsideThemeBitmap(style, INSIDE_TITLEBTN, &b.picNormal, 18, first);
  GetInsideThemeBitmap(style, INSIDE_TITLEBTN, &b.picMouseOn, 18, first + 1);
  GetInsideThemeBitmap(style, INSIDE_TITLEBTN, &b.picMouseDown, 18, first + 2);
  b.top = GetInsideThemeInt(style, INSIDE_TITLEBTN_YPOS);
}

void TsuiTitleBar::UpdateInsideTheme(TsuiUIStyle style) {
  auto section = [style](int element, TsuiTitleBarAlign align, bool autoSize) {
    TsuiTitleBarSection s;
    GetInsideThemeBitmap(style, element, &s.picture);
    s.align = align;
    s.autoSize = autoSize;
    s.stretch = align == suiClient;
    if (autoSize) s.width = s.picture.width();
    return s;
  };
  sections_ = {section(INSIDE_TITLE_LEFT, suiLeft, true),
               section(INSIDE_TITLE_RIGHT, suiRight, true),
               section(INSIDE_TITLE_CLIENT, suiClient, false)};
  leftBtnXOffset_ = GetInsideThemeInt(style, INSIDE_TITLE_LEFTBTN_XOFFSET);
  rightBtnXOffset_ = GetInsideThemeInt(style, INSIDE_TITLE_RIGHTBTN_XOFFSET);
  rowY_ = GetInsideThemeInt(style, INSIDE_TITLEBTN_YPOS) - (InForm() ? 3 : 0);
  controlBoxY_ = rowY_;
  if (QWidget* form = Form(); form != nullptr && form->minimumWidth() != form->maximumWidth()) {
    form->setMinimumWidth(
        std::min(form->maximumWidth(), GetInsideThemeInt(style, INSIDE_FORM_MINWIDTH)));
    form->setMinimumHeight(std::min(form->maximumHeight(), 50));
  }
  roundCorner_ = GetInsideThemeInt(style, INSIDE_ROUNDCORNER);
  roundCornerBottom_ = 0;
  fillColour_ = GetInsideThemeQColor(style, INSIDE_FORMCOLOR);
  transparentColour_ = kMagenta;
  seeThroughSections_ = false;
}

void TsuiTitleBar::UpdateFileTheme(const TsuiFileTheme& theme) {
  const bool five = theme.GetBool(SKIN2_TITLEFIVESECT);
  auto section = [&theme](Tsk2SkinBitmapElement element, TsuiTitleBarAlign align, bool autoSize) {
    TsuiTitleBarSection s;
    theme.GetBitmap2(element, &s.picture, 0, 0);
    s.align = align;
    s.autoSize = autoSize;
    s.stretch = align == suiClient;
    s.width = s.picture.width();
    return s;
  };
  if (five) {
    // Left end, the caption's own section, the caption's end, the stretched middle, right end.
    sections_ = {section(SKIN2_TITLEBAR1, suiLeft, true), section(SKIN2_TITLEBAR2, suiLeft, false),
                 section(SKIN2_TITLEBAR3, suiLeft, true),
                 section(SKIN2_TITLEBAR4, suiClient, false),
                 section(SKIN2_TITLEBAR5, suiRight, true)};
    sections_[1].capSec = true;
  } else {
    sections_ = {section(SKIN2_TITLEBAR1, suiLeft, true), section(SKIN2_TITLEBAR3, suiRight, true),
                 section(SKIN2_TITLEBAR2, suiClient, false)};
  }
  const int up = InForm() ? 3 : 0;
  leftBtnXOffset_ = theme.GetInt(SKIN2_TITLEBARICONPOSX);
  rightBtnXOffset_ = theme.GetInt(SKIN2_TITLEBARBUTTONPOSX);
  rowY_ = theme.GetInt(SKIN2_TITLEBARBUTTONPOSY) - up;
  controlBoxY_ = theme.GetInt(SKIN2_TITLEBARICONPOSY) - up;
  captionY_ = theme.GetInt(SKIN2_TITLEBARCAPTIONTOP);
  fillColour_ = theme.GetQColor(SKIN2_FORMCOLOR);
  transparentColour_ = theme.GetQColor(SKIN2_TRANSCOLOR);
  seeThroughSections_ = theme.GetBool(SKIN2_TITLEBARNEEDREGION);
  if (QWidget* form = Form(); form != nullptr && form->minimumWidth() != form->maximumWidth()) {
    const QImage* buttons = theme.GetBitmap(SKIN2_TITLEBUTTONS);
    const int b =
        (buttons != nullptr ? buttons->width() / 18 : 0) * static_cast<int>(buttons_.size()) +
        rightBtnXOffset_;
    const auto width = [&theme](Tsk2SkinBitmapElement e) {
      const QImage* p = theme.GetBitmap(e);
      return p != nullptr ? p->width() : 0;
    };
    const int minWidth = five ? width(SKIN2_TITLEBAR1) + width(SKIN2_TITLEBAR3) + 16 +
                                    std::max(width(SKIN2_TITLEBAR5), b)
                              : width(SKIN2_TITLEBAR1) + std::max(width(SKIN2_TITLEBAR3), b);
    form->setMinimumWidth(std::min(form->maximumWidth(), minWidth));
  }
  roundCorner_ = 0;
  roundCornerBottom_ = 0;
}

void TsuiTitleBar::UIStyleChanged() {
  if (custom_) return;
  const TsuiUIStyle style = Style();
  const TsuiFileTheme* theme = ThemeInUse();
  if (theme != nullptr)
    UpdateFileTheme(*theme);
  else
    UpdateInsideTheme(style);
  for (TsuiTitleBarButton& b : buttons_) UpdateButtonPictures(b, style);
  systemMenu_->SetUIStyle(style);
  QPalette p = palette();
  p.setColor(QPalette::WindowText, theme != nullptr     ? theme->GetQColor(SKIN2_TITLEFONTCOLOR)
                                   : UIStyle() == MacOS ? QColor(0, 0, 0)
                                                        : QColor(255, 255, 255));
  setPalette(p);
  SetAutoSize(true);
  update();
}

void TsuiTitleBar::SetAutoSize(bool on) {
  autoSize_ = on && !sections_.empty();
  // The bar is as high as its first section's picture (inside a frame that includes the
  // window's upper strip).
  if (autoSize_ && !sections_[0].picture.isNull()) setFixedHeight(sections_[0].picture.height());
}

void TsuiTitleBar::SetInactiveCaptionColor(const QColor& colour) {
  inactiveCaptionColor_ = colour;
  update();
}

bool TsuiTitleBar::SetSectionAlign(std::size_t index, TsuiTitleBarAlign align) {
  if (index >= sections_.size()) return false;
  if (align == suiClient &&
      std::any_of(sections_.begin(), sections_.end(),
                  [](const TsuiTitleBarSection& s) { return s.align == suiClient; })) {
    SUIMsgDlg("Sorry, only one section's Align property can be \"suiClient\"", mtError, mbOK,
              DeepBlue);
    return false;
  }
  sections_[index].align = align;
  if (align == suiClient) sections_[index].stretch = true;
  update();
  return true;
}

bool TsuiTitleBar::SetButtonType(std::size_t index, TsuiTitleBarBtnType type) {
  if (index >= buttons_.size()) return false;
  if (type == suiControlBox &&
      std::any_of(buttons_.begin(), buttons_.end(),
                  [](const TsuiTitleBarButton& b) { return b.type == suiControlBox; })) {
    SUIMsgDlg("Sorry, only one button's ButtonType property can be \"suiControlBox\"", mtError,
              mbOK, DeepBlue);
    return false;
  }
  buttons_[index].type = type;
  UpdateButtonPictures(buttons_[index], Style());
  update();
  return true;
}

bool TsuiTitleBar::FormMaximized() const {
  if (frame_ != nullptr) return frame_->IsMaximized();
  return Form() != nullptr && Form()->isMaximized();
}

void TsuiTitleBar::ProcessMaxBtn() {
  if (custom_) return;
  for (TsuiTitleBarButton& b : buttons_) {
    if (b.type == suiMax) UpdateButtonPictures(b, Style());
  }
  update();
}

TitleButtonLayout TsuiTitleBar::ButtonLayout() const {
  TitleButtonMetrics m;
  m.width = width() - 2 * Origin().x();
  m.leftBtnXOffset = leftBtnXOffset_;
  m.rightBtnXOffset = rightBtnXOffset_;
  m.buttonInterval = buttonInterval_;
  m.frameAnswer = frame_ != nullptr ? frame_->BorderWidthAnswer() : 0;
  m.rowY = rowY_;
  m.controlBoxY = controlBoxY_;
  m.drawAppIcon = drawAppIcon_;
  TitleButtonLayout layout = LayoutTitleButtons(buttons_, m);
  const QPoint o = Origin();
  for (QRect& r : layout.rects) {
    if (!r.isNull()) r.translate(o);
  }
  if (!layout.icon.isNull()) layout.icon.translate(o);
  layout.captionLeft += o.x();
  layout.captionRight += o.x();
  return layout;
}

int TsuiTitleBar::ButtonAt(const QPoint& pos) const {
  const TitleButtonLayout layout = ButtonLayout();
  for (size_t i = 0; i < layout.rects.size(); ++i) {
    if (!layout.rects[i].isNull() && layout.rects[i].contains(pos)) return static_cast<int>(i);
  }
  return -1;
}

TitleSectionLayout TsuiTitleBar::SectionLayout() const {
  TitleSectionMetrics m;
  m.width = width();
  m.frameInset = Origin().x();
  m.leftBtnXOffset = leftBtnXOffset_;
  for (const TsuiTitleBarButton& b : buttons_)
    m.buttonsWidth += b.picNormal.width() + buttonInterval_;
  QFont f = font();
  return LayoutTitleSections(sections_, m, QFontMetrics(f), caption_);
}

QString TsuiTitleBar::ShownCaption() const {
  const QString cut = SectionLayout().captionText;
  if (!cut.isEmpty()) return cut;
  const TitleButtonLayout layout = ButtonLayout();
  return ShortenCaption(fontMetrics(), caption_, layout.captionRight - layout.captionLeft);
}

bool TsuiTitleBar::CanPaint() const {
  if (sections_.size() != 3 && sections_.size() != 5) return false;
  for (const TsuiTitleBarSection& s : sections_)
    if (s.picture.isNull()) return false;
  return true;
}

QImage TsuiTitleBar::TitleImage(int index) const {
  if (index >= 0) {
    return sections_.size() > 2 && index < static_cast<int>(sections_.size())
               ? sections_[index].picture
               : QImage();
  }
  const TitleSectionLayout layout = SectionLayout();
  QImage image(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  image.fill(fillColour_.isValid() ? fillColour_ : QColor(Qt::black));
  {
    QPainter p(&image);
    for (size_t i = 0; i < sections_.size(); ++i) {
      if (!layout.rects[i].isNull()) p.drawImage(layout.rects[i], sections_[i].picture);
    }
  }
  if (index == -1 || !seeThroughSections_) return image;
  QImage backdrop(image.size(), QImage::Format_RGB32);
  backdrop.fill(fillColour_.isValid() ? fillColour_ : QColor(Qt::black));
  QPainter(&backdrop).drawImage(0, 0, MaskedImage(image, transparentColour_));
  return backdrop;
}

void TsuiTitleBar::paintEvent(QPaintEvent*) {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(palette().color(QPalette::Window));
  QPainter p(&image);
  // Sections: left ones and the caption's from the left edge, right ones from the right edge,
  // the client one stretched between them. A skin's right end sees through onto its form colour.
  const TitleSectionLayout sections = SectionLayout();
  const bool fromFile = ThemeInUse() != nullptr;
  for (size_t i = 0; i < sections_.size(); ++i) {
    const QRect& r = sections.rects[i];
    if (r.isNull()) continue;
    if (fromFile && sections_[i].align == suiRight && !sections_[i].capSec) {
      p.fillRect(r, fillColour_);
      p.drawImage(r, MaskedImage(sections_[i].picture, transparentColour_));
    } else {
      p.drawImage(r, sections_[i].picture);
    }
  }
  if (frame_ != nullptr) frame_->PaintBorderOver(p);

  // Buttons: the one under the mouse shows its mouse-on (or, pressed, its down) picture.
  const TitleButtonLayout layout = ButtonLayout();
  const int hot = ButtonAt(mapFromGlobal(QCursor::pos()));
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const QRect& r = layout.rects[i];
    if (r.isNull()) continue;
    const TsuiTitleBarButton& b = buttons_[i];
    if (static_cast<int>(i) == layout.controlBox && drawAppIcon_) continue;
    const QImage& pic = static_cast<int>(i) != hot ? b.picNormal
                        : mouseDown_               ? b.picMouseDown
                                                   : b.picMouseOn;
    p.drawImage(r.topLeft(), b.transparent ? MaskedImage(pic, kMagenta) : pic);
  }
  if (!layout.icon.isNull()) {
    const QIcon icon = Form() != nullptr ? Form()->windowIcon() : QApplication::windowIcon();
    if (!icon.isNull()) p.drawPixmap(layout.icon, icon.pixmap(16, 16));
  }

  // The caption, top-aligned with the button row (Protein 3 pixels lower); a skin gives its own
  // caption row.
  p.setFont(font());
  p.setPen(formActive_ ? palette().color(QPalette::WindowText) : inactiveCaptionColor_);
  const QString text = ShownCaption();
  if (!text.isEmpty()) {
    const int y = fromFile ? Origin().y() + captionY_ - 3
                           : Origin().y() + rowY_ + (UIStyle() == Protein ? 3 : 0);
    p.drawText(layout.captionLeft, y + p.fontMetrics().ascent(), text);
  }
  p.end();
  QPainter(this).drawImage(0, 0, image);
}

void TsuiTitleBar::PopupSystemMenu(const QPoint& globalPos) {
  systemMenu_->Popup(globalPos);
}

void TsuiTitleBar::DoClick(int index) {
  if (index < 0 || index >= static_cast<int>(buttons_.size()) || Form() == nullptr) return;
  QWidget* form = Form();
  const TsuiTitleBarButton& b = buttons_[index];
  switch (b.type) {
    case suiMax:
      if (frame_ != nullptr) {
        frame_->ToggleMaximized();
      } else if (form->isMaximized()) {
        form->showNormal();
      } else {
        form->showMaximized();
      }
      ProcessMaxBtn();
      break;
    case suiMin:
      if (frame_ != nullptr && frame_->SubWindow() != nullptr)
        frame_->SubWindow()->showMinimized();
      else
        form->showMinimized();
      break;
    case suiClose:
      if (frame_ != nullptr && frame_->SubWindow() != nullptr)
        frame_->SubWindow()->close();
      else
        form->close();
      break;
    case suiControlBox:
      if (b.controlBoxMenu != nullptr) {
        QPoint at = mapToGlobal(QPoint(0, height()));
        at.setX(std::max(0, at.x()));
        b.controlBoxMenu->popup(at);
      }
      break;
    case suiHelp:
    case suiCustom:
      break;
  }
}

void TsuiTitleBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  mouseDown_ = true;
  update();
  const QPoint pos = event->position().toPoint();
  if (frame_ != nullptr && frame_->BeginEdgeDrag(pos, event->globalPosition().toPoint())) {
    mouseDown_ = false;
    return;
  }
  if (ButtonAt(pos) >= 0 || FormMaximized() || Form() == nullptr) return;
  // A press on the caption moves the window once the mouse moves, so that a double-click still
  // arrives.
  mouseDown_ = false;
  movePending_ = true;
  dragStart_ = event->globalPosition().toPoint();
  formStart_ = Moved()->pos();
}

QWidget* TsuiTitleBar::Moved() const {
  return frame_ != nullptr && frame_->MovedWindow() != nullptr ? frame_->MovedWindow() : Form();
}

void TsuiTitleBar::mouseMoveEvent(QMouseEvent* event) {
  const QPoint global = event->globalPosition().toPoint();
  if (movePending_ && (event->buttons() & Qt::LeftButton) &&
      (global - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
    movePending_ = false;
    // The platform moves the window where it can; elsewhere it is moved by hand.
    // An MDI child's sub-window has no window of its own: it is always moved by hand.
    QWindow* window = Moved() != nullptr ? Moved()->windowHandle() : nullptr;
    dragging_ = window == nullptr || !window->startSystemMove();
  }
  if (dragging_ && Moved() != nullptr) {
    Moved()->move(formStart_ + global - dragStart_);
    return;
  }
  if (frame_ != nullptr) setCursor(frame_->EdgeCursor(event->position().toPoint()));
  update();
}

void TsuiTitleBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  dragging_ = false;
  movePending_ = false;
  const int hot = mouseDown_ ? ButtonAt(event->position().toPoint()) : -1;
  mouseDown_ = false;
  if (hot >= 0) {
    const TsuiTitleBarButton& b = buttons_[hot];
    if (b.type == suiControlBox && b.controlBoxMenu == nullptr) {
      PopupSystemMenu(mapToGlobal(QPoint(0, height())));
    } else {
      const TsuiTitleBarBtnType type = b.type;
      DoClick(hot);
      if (type == suiCustom && OnCustomBtnsClick) {
        OnCustomBtnsClick(hot);
      } else if (type == suiHelp && OnHelpBtnClick) {
        OnHelpBtnClick(hot);
      }
    }
  }
  update();
}

void TsuiTitleBar::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int hot = ButtonAt(event->position().toPoint());
  if (hot < 0) {
    for (size_t i = 0; i < buttons_.size(); ++i) {
      if (buttons_[i].type == suiMax && buttons_[i].visible) {
        DoClick(static_cast<int>(i));
        break;
      }
    }
  } else if (buttons_[hot].type == suiControlBox && Form() != nullptr) {
    Form()->close();
  }
}

void TsuiTitleBar::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  update();
}

}  // namespace zelvar
