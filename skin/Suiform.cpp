#include "skin/Suiform.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "skin/Suipictures.h"

namespace zelvar {

TsuiForm::TsuiForm(QWidget* ownerForm) : QWidget(ownerForm) {
  UIStyleChanged();
  if (ownerForm == nullptr) return;
  for (const TsuiForm* other :
       ownerForm->findChildren<TsuiForm*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (other != this) return;  // one frame per form
  }
  owner_ = ownerForm;
  hasTitleBar_ = true;
  caption_ = ownerForm->windowTitle().toStdString();
  // The frame fills the form's client area and holds its other controls.
  if (auto* main = qobject_cast<QMainWindow*>(ownerForm)) {
    main->setCentralWidget(this);
  } else if (ownerForm->layout() == nullptr) {
    auto* layout = new QVBoxLayout(ownerForm);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(this);
  }
}

void TsuiForm::SetCaption(const std::string& caption) {
  if (!hasTitleBar_) return;
  caption_ = caption;
  owner_->setWindowTitle(QString::fromStdString(caption));
  update();
}

std::string TsuiForm::GetCaption() const {
  return hasTitleBar_ ? caption_ : std::string();
}

void TsuiForm::UIStyleChanged() {
  colour_ = GetInsideThemeQColor(Style(), INSIDE_FORMCOLOR);
  update();
}

void TsuiForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // MacOS and Protein lay a pattern; the others fill with the form colour. The pattern follows
  // the style as set, not as resolved.
  const char* pattern = UIStyle() == MacOS     ? "MACOS_FORM_BACKGROUND"
                        : UIStyle() == Protein ? "PROTEIN_FORM_BACKGROUND"
                                               : nullptr;
  if (pattern != nullptr) {
    painter.fillRect(rect(), QBrush(QPixmap::fromImage(LoadResourceBitmap(pattern))));
  } else {
    painter.fillRect(rect(), colour_);
  }
}

void TsuiForm::mousePressEvent(QMouseEvent* event) {
  // Taken so that the release comes back here as a click on the frame.
  event->accept();
}

void TsuiForm::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
    OnClick();
}

void SetFormUIStyle(QWidget* form, TsuiUIStyle style) {
  if (form == nullptr) return;
  TsuiUIStyle resolved = DeepBlue;
  UsingFileTheme(nullptr, style, resolved);
  QPalette palette = form->palette();
  const QColor colour = GetInsideThemeQColor(resolved, INSIDE_FORMCOLOR);
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::Button, colour);
  form->setPalette(palette);
  for (QWidget* child : form->findChildren<QWidget*>()) {
    if (auto* styled = dynamic_cast<TsuiStyled*>(child)) styled->SetUIStyle(style);
  }
}

}  // namespace zelvar
