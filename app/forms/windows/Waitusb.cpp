#include "app/forms/windows/Waitusb.h"

#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

#include "app/core/pictures/Jpeg.h"
#include "skin/Suiform.h"
#include "skin/Suiimagepanel.h"

namespace zelvar {

TWaitForm* WaitForm = nullptr;

TWaitForm::TWaitForm(QWidget* owner, const std::string& picturePath)
    : QWidget(owner, Qt::SplashScreen | Qt::WindowStaysOnTopHint) {
  setObjectName("WaitForm");
  setFixedSize(212, 146);
  setWindowTitle("Zelvar");
  Frame = new TsuiForm(this);
  Frame->setObjectName("suiForm1");
  Panel = new TsuiImagePanel(Frame);
  Panel->setObjectName("suiImagePanel1");
  Panel->SetPanelCaption("Zelvar");
  Panel->SetDrawStyle(suiStretch);
  auto* layout = new QVBoxLayout(Frame);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Panel);
  SetFormUIStyle(this, MacOS);
  if (const QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - rect().center());
  if (const auto image = DecodeJpegFile(picturePath)) {
    const QImage q(image->rgb.data(), image->width, image->height, image->width * 3,
                   QImage::Format_RGB888);
    Panel->SetPicture(QPixmap::fromImage(q.copy()));
    Panel->SetPanelCaption("");
    hasPicture_ = true;
  }
}

}  // namespace zelvar
