#include "app/forms/windows/Waitusb.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "app/core/pictures/Jpeg.h"

namespace zelvar {

TWaitForm* WaitForm = nullptr;

TWaitForm::TWaitForm(QWidget* owner, const std::string& picturePath)
    : QWidget(owner, Qt::SplashScreen | Qt::WindowStaysOnTopHint) {
  setObjectName("WaitForm");
  setFixedSize(212, 146);
  Frame = new QLabel("Zelvar", this);
  Frame->setObjectName("suiForm1");
  Frame->setGeometry(0, 0, 212, 20);
  Frame->setAlignment(Qt::AlignCenter);
  Frame->setStyleSheet("background:#1f3f7a;color:white;font-weight:bold;");
  Panel = new QLabel("Zelvar", this);
  Panel->setObjectName("suiImagePanel1");
  Panel->setGeometry(0, 20, 212, 126);
  Panel->setAlignment(Qt::AlignCenter);
  Panel->setScaledContents(true);
  if (const QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - rect().center());
  if (const auto image = DecodeJpegFile(picturePath)) {
    const QImage q(image->rgb.data(), image->width, image->height, image->width * 3,
                   QImage::Format_RGB888);
    Panel->setPixmap(QPixmap::fromImage(q.copy()));
    hasPicture_ = true;
  }
}

}  // namespace zelvar
