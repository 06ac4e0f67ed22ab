#include "skin/Suimainmenu.h"

#include <QActionEvent>

namespace zelvar {

namespace {

// The character after a single "&", upper-cased; 0 for none.
QChar Hotkey(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1].toUpper();
    ++i;  // "&&" is a plain ampersand
  }
  return QChar();
}

bool Valid(QChar c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

QStringList AutoHotkeys(const QStringList& captions) {
  QString used;
  for (const QString& c : captions) {
    if (const QChar k = Hotkey(c); !k.isNull()) used += k;
  }
  QStringList out = captions;
  for (QString& c : out) {
    if (!Hotkey(c).isNull()) continue;
    for (qsizetype i = 0; i < c.size(); ++i) {
      const QChar k = c[i].toUpper();
      if (Valid(k) && !used.contains(k)) {
        used += k;
        c.insert(i, '&');
        break;
      }
    }
  }
  return out;
}

TsuiMainMenu::TsuiMainMenu(QWidget* parent) : QMenuBar(parent), TsuiMenuStyled(this) {
  setStyle(style_);
  SetUIStyle(OwnerStyle(parent));
}

void TsuiMainMenu::SetBarColours(const QColor& from, const QColor& to) {
  style_->barLook.from = from;
  style_->barLook.to = to;
  update();
}

void TsuiMainMenu::actionEvent(QActionEvent* event) {
  QMenuBar::actionEvent(event);
  if (event->type() == QEvent::ActionAdded) style_->ApplyTo(event->action()->menu());
  if (event->type() != QEvent::ActionRemoved) RethinkHotkeys();
}

void TsuiMainMenu::RethinkHotkeys() {
  if (rethinking_) return;
  rethinking_ = true;
  QStringList captions;
  const QList<QAction*> items = actions();
  for (const QAction* a : items) captions << a->text();
  const QStringList keyed = AutoHotkeys(captions);
  for (qsizetype i = 0; i < items.size(); ++i) {
    if (items[i]->text() != keyed[i]) items[i]->setText(keyed[i]);
  }
  rethinking_ = false;
}

}  // namespace zelvar
