#include "skin/Suiedit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>

#include "skin/Suibutton.h"
#include "skin/Suipublic.h"

namespace zelvar {

namespace {

// The fields of an edit mask, split at the semicolons that no backslash escapes.
QStringList EditMaskFields(const QString& editMask) {
  QStringList fields{QString()};
  for (qsizetype i = 0; i < editMask.size(); ++i) {
    const QChar c = editMask[i];
    if (c == '\\' && i + 1 < editMask.size()) {
      fields.back() += c;
      fields.back() += editMask[++i];
    } else if (c == ';' && fields.size() < 3) {
      fields << QString();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace

QString QtInputMask(const QString& editMask) {
  const QStringList fields = EditMaskFields(editMask);
  const QString& mask = fields[0];
  if (mask.isEmpty()) return QString();
  static const QString kQtRules = "AaNnXx90Dd#HhBb><!;[]{}\\";
  QString out;
  for (qsizetype i = 0; i < mask.size(); ++i) {
    const QChar c = mask[i];
    if (c == '\\') {
      if (i + 1 < mask.size()) out += QString("\\") + mask[++i];
      continue;
    }
    if (c == '<' && i + 1 < mask.size() && mask[i + 1] == '>') {
      out += '!';
      ++i;
      continue;
    }
    switch (c.unicode()) {
      case '>':
      case '<':
      case '#':
        out += c;
        break;
      case '!':
        break;
      case 'L':
        out += 'A';
        break;
      case 'l':
        out += 'a';
        break;
      case 'A':
        out += 'N';
        break;
      case 'a':
        out += 'n';
        break;
      case 'C':
        out += 'X';
        break;
      case 'c':
        out += 'x';
        break;
      case '0':
        out += '9';
        break;
      case '9':
        out += '0';
        break;
      case '_':
        out += ' ';
        break;
      default:
        if (kQtRules.contains(c)) out += '\\';
        out += c;
    }
  }
  const QChar blank = fields.size() > 2 && !fields[2].isEmpty() ? fields[2][0] : QChar('_');
  return out + ';' + blank;
}

QString FormatFloat(const QString& fullMask, double value) {
  const QString mask = fullMask.section(';', 0, 0);
  const int point = mask.indexOf('.');
  const QString intMask = point < 0 ? mask : mask.left(point);
  const QString fracMask = point < 0 ? QString() : mask.mid(point + 1);
  const int decimals = static_cast<int>(fracMask.count('0') + fracMask.count('#'));
  const int minDecimals = static_cast<int>(fracMask.count('0'));
  const int minDigits = static_cast<int>(intMask.count('0'));
  const bool grouped = intMask.contains(',');
  // Half away from zero, as the decimal text of the rounded magnitude.
  const double scale = std::pow(10.0, decimals);
  const double rounded = std::round(std::fabs(value) * scale) / scale;
  QString digits = QString::number(rounded, 'f', decimals);
  QString whole = digits.section('.', 0, 0);
  QString fraction = decimals > 0 ? digits.section('.', 1, 1) : QString();
  while (fraction.size() > minDecimals && fraction.endsWith('0')) fraction.chop(1);
  if (whole == "0" && minDigits == 0) whole.clear();
  while (whole.size() < minDigits) whole.prepend('0');
  if (grouped) {
    for (int at = static_cast<int>(whole.size()) - 3; at > 0; at -= 3) whole.insert(at, ',');
  }
  QString text = whole;
  if (!fraction.isEmpty()) text += '.' + fraction;
  const bool nonZero = text.contains(QRegularExpression("[1-9]"));
  if (value < 0 && nonZero) text.prepend('-');
  return text;
}

bool NumberEditAccepts(const QString& mask, const QString& text, int caret, QChar key) {
  if (key.isDigit() && key.unicode() < 128) return true;
  if (key == '.' && mask.contains('.') && !text.contains('.')) return true;
  if (key == QChar(8)) return true;
  return key == '-' && mask.contains('-') && caret == 0 && !text.contains('-');
}

int SpinCheckValue(int value, int minValue, int maxValue) {
  if (maxValue == minValue) return value;
  if (value < minValue) return minValue;
  if (value > maxValue) return maxValue;
  return value;
}

bool SpinValidChar(QChar key, bool editorEnabled) {
  const ushort code = key.unicode();
  bool valid = key == '-' || (code >= '0' && code <= '9') || (code < 32 && code != 13);
  if (!editorEnabled && (code >= 32 || code == 8)) valid = false;
  return valid;
}

SpinButtonsLayout LayOutSpinButtons(int width, int height) {
  SpinButtonsLayout layout;
  layout.width = std::max(width, 15);
  const int upHeight = height / 2 + 1;
  layout.up = QRect(0, 0, layout.width, upHeight);
  layout.down = QRect(0, upHeight - 1, layout.width, height - upHeight + 1);
  return layout;
}

namespace {

void DefaultBeep() {
  QApplication::beep();
}

// The key's character for the typing rules; none for keys that type nothing (arrows, Home,
// Delete), which the edit handles as it always does.
bool TypedChar(const QKeyEvent* event, QChar& key) {
  if (event->text().isEmpty() || event->key() == Qt::Key_Delete) return false;
  key = event->text().at(0);
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) key = QChar(13);
  if (event->key() == Qt::Key_Backspace) key = QChar(8);
  return true;
}

}  // namespace

TsuiEdit::TsuiEdit(QWidget* parent) : QLineEdit(parent) {
  setFrame(false);
  setTextMargins(2, 2, 2, 2);
  SetUIStyle(OwnerStyle(parent));
}

void TsuiEdit::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

void TsuiEdit::UIStyleChanged() {
  borderColour_ = ThemeColor(INSIDE_CONTROLBORDERCOLOR, SKIN2_CONTROLBORDERCOLOR);
  EditStyleChanged();
  update();
}

void TsuiEdit::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  if (!borderColour_.isValid()) return;  // a colour the skin lacks is not painted
  QPainter painter(this);
  DrawControlBorder(painter, rect(), borderColour_, palette().color(QPalette::Base), true);
}

TsuiNumberEdit::TsuiNumberEdit(QWidget* parent) : TsuiEdit(parent), Beep(DefaultBeep) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
  SetValue(0);
}

void TsuiNumberEdit::SetValue(double value) {
  value_ = value;
  setText(FormatFloat(mask_, value));
}

void TsuiNumberEdit::TextChanged() {
  const QString t = text();
  if (t.isEmpty() || t == "-") return;
  bool ok = false;
  const double v = QString(t).remove(',').toDouble(&ok);
  if (ok)
    value_ = v;
  else
    SetValue(value_);  // pasted text that is no number: back to the last good value
}

void TsuiNumberEdit::keyPressEvent(QKeyEvent* event) {
  QChar key;
  if (!TypedChar(event, key)) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
  if (NumberEditAccepts(mask_, text(), caret, key)) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (Beep) Beep();
  event->ignore();  // never inserted; Enter and Escape still reach the dialog
}

void TsuiNumberEdit::SelectSigns() {
  if (autoSelectSigns_ < 1) return;
  setSelection(std::max(0, static_cast<int>(text().size()) - autoSelectSigns_), autoSelectSigns_);
}

void TsuiNumberEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  SelectSigns();
}

void TsuiNumberEdit::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  SelectSigns();
}

void TsuiNumberEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (text().isEmpty() || text() == "-") setText("0");
  bool ok = false;
  const double v = QString(text()).remove(',').toDouble(&ok);
  SetValue(ok ? v : value_);
}

TsuiSpinButtons::TsuiSpinButtons(QWidget* parent) : QWidget(parent) {
  up_ = CreateButton();
  up_->SetArrow(suiUp);
  down_ = CreateButton();
  down_->SetArrow(suiDown);
  resize(20, 25);
  const SpinButtonsLayout layout = LayOutSpinButtons(20, 25);
  up_->setGeometry(layout.up);
  down_->setGeometry(layout.down);
}

TsuiArrowButton* TsuiSpinButtons::CreateButton() {
  auto* button = new TsuiArrowButton(this);
  button->setFocusPolicy(Qt::NoFocus);
  button->SetMouseContinuouslyDownInterval(400);
  connect(button, &QAbstractButton::clicked, this, [this, button] { BtnClick(button); });
  button->OnMouseContinuouslyDown = [this, button] { BtnClick(button); };
  return button;
}

void TsuiSpinButtons::BtnClick(TsuiArrowButton* sender) {
  if (sender == up_) {
    if (OnUpClick) OnUpClick(this);
  } else if (OnDownClick) {
    OnDownClick(this);
  }
}

void TsuiSpinButtons::SetUIStyle(TsuiUIStyle style) {
  for (TsuiArrowButton* b : {up_, down_}) b->SetUIStyle(style);
}

TsuiUIStyle TsuiSpinButtons::UIStyle() const {
  return up_ != nullptr ? up_->UIStyle() : DeepBlue;
}

void TsuiSpinButtons::SetFileTheme(TsuiFileTheme* theme) {
  for (TsuiArrowButton* b : {up_, down_}) b->SetFileTheme(theme);
  SetUIStyle(UIStyle());
}

TsuiFileTheme* TsuiSpinButtons::FileTheme() const {
  return up_ != nullptr ? up_->FileTheme() : nullptr;
}

void TsuiSpinButtons::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const SpinButtonsLayout layout = LayOutSpinButtons(width(), height());
  up_->setGeometry(layout.up);
  down_->setGeometry(layout.down);
  if (layout.width != width()) resize(layout.width, height());
}

void TsuiSpinButtons::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up)
    up_->Click();
  else if (event->key() == Qt::Key_Down)
    down_->Click();
}

TsuiSpinEdit::TsuiSpinEdit(QWidget* parent)
    : TsuiEdit(parent), Beep(DefaultBeep), buttons_(new TsuiSpinButtons(this)) {
  buttons_->resize(15, 20);
  buttons_->OnUpClick = [this](TsuiSpinButtons*) { UpClick(); };
  buttons_->OnDownClick = [this](TsuiSpinButtons*) { DownClick(); };
  setText("0");
  EditStyleChanged();
}

int TsuiSpinEdit::Value() const {
  bool ok = false;
  const int v = text().toInt(&ok);
  return ok ? v : MinValue;
}

void TsuiSpinEdit::SetValue(int value) {
  setText(QString::number(SpinCheckValue(value, MinValue, MaxValue)));
}

void TsuiSpinEdit::Refuse() {
  if (Beep) Beep();
}

void TsuiSpinEdit::UpClick() {
  if (isReadOnly()) return Refuse();
  SetValue(Value() + Increment);
}

void TsuiSpinEdit::DownClick() {
  if (isReadOnly()) return Refuse();
  SetValue(Value() - Increment);
}

void TsuiSpinEdit::EditStyleChanged() {
  if (buttons_ == nullptr) return;
  buttons_->SetUIStyle(UIStyle());
  buttons_->SetFileTheme(FileTheme());
}

void TsuiSpinEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  // Inside the two-pixel band, at the right; the text stops short of it.
  buttons_->setGeometry(width() - buttons_->width() - 2, 2, buttons_->width(),
                        std::max(height() - 4, 0));
  setTextMargins(2, 2, buttons_->width() + 4, 2);
}

void TsuiSpinEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up) UpClick();
  if (event->key() == Qt::Key_Down) DownClick();
  if ((event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) &&
      (!EditorEnabled || isReadOnly()))
    return;  // dropped
  QChar key;
  if (TypedChar(event, key) && !SpinValidChar(key, EditorEnabled)) {
    Refuse();
    event->ignore();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TsuiSpinEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (event->reason() != Qt::MouseFocusReason) selectAll();
}

void TsuiSpinEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (SpinCheckValue(Value(), MinValue, MaxValue) != Value()) SetValue(Value());
}

}  // namespace zelvar
