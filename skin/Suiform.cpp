#include "skin/Suiform.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace zelvar {

TsuiForm::TsuiForm(QWidget* ownerForm) : QWidget(ownerForm) {
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

void TsuiForm::mousePressEvent(QMouseEvent* event) {
  // Taken so that the release comes back here as a click on the frame.
  event->accept();
}

void TsuiForm::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
    OnClick();
}

}  // namespace zelvar
