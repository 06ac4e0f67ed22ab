#include "app/forms/windows/Place.h"

#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include "app/core/pictures/Placement.h"
#include "app/forms/windows/Forms.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {

TPlace1* Place1 = nullptr;

namespace {

QRect ToRect(const Box& b) {
  return QRect(QPoint(b.left, b.top), QPoint(b.right, b.bottom));
}

}  // namespace

TPlace1::TPlace1(QWidget* owner) : QDialog(owner) {
  setObjectName("Place1");
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
  setFixedSize(193, 298);
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(16, 12, kPlacementPictureWidth, kPlacementPictureHeight);
  QPixmap blank(kPlacementPictureWidth, kPlacementPictureHeight);
  blank.fill(Qt::white);
  Image1->setPixmap(blank);
  Image1->installEventFilter(this);
}

void TPlace1::mouseReleaseEvent(QMouseEvent*) {
  accept();
}

bool TPlace1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) accept();
  return QDialog::eventFilter(watched, event);
}

void DrawPlacement(TPlace1* form, int firstRow, int pinCount, int /*unused*/, int pin1Side) {
  const PlacementDrawing d = MakePlacementDrawing(gLink.ModelNumber, firstRow, pinCount, pin1Side);
  QPixmap picture(kPlacementPictureWidth, kPlacementPictureHeight);
  picture.fill(Qt::white);
  QPainter p(&picture);
  p.setPen(QColor(0x00, 0x80, 0x00));
  for (const Box& b : d.socket) p.drawRect(ToRect(b));
  p.drawEllipse(ToRect(d.lever.circle));
  p.drawText(d.lever.text.x, d.lever.text.y + 10, QString::fromUtf8("(扳手)"));
  p.setPen(Qt::black);
  for (const Box& b : d.chipPins) p.drawRect(ToRect(b));
  p.drawRect(ToRect(d.body));
  p.drawEllipse(ToRect(d.pin1Circle));
  p.drawText(d.pin1Text.x, d.pin1Text.y + 10, "Pin 1");
  p.setPen(Qt::white);
  for (const Box& line : d.pin1Clear) p.drawLine(line.left, line.top, line.right, line.bottom);
  p.end();
  form->Image1->setPixmap(picture);
}

bool LoadPlacementPicture(TPlace1* form, const std::string& name) {
  const QString path =
      QString::fromStdString(gApp.ProgramDir + PlacementFolder(gLink.ModelNumber) + name);
  QImage image;
  if (!QFileInfo::exists(path) || !image.load(path)) {
    ShowMessageText("Can't open this file! *不能打开Place文件");
    return false;
  }
  QPixmap picture = form->Image1->pixmap();
  QPainter p(&picture);
  p.drawImage(0, 0, image);
  p.end();
  form->Image1->setPixmap(picture);
  return true;
}

void ShowPlacement(int firstRow, int pinCount, int unused, int pin1Side) {
  if (!Place1) return;
  DrawPlacement(Place1, firstRow, pinCount, unused, pin1Side);
  CentreOnMainForm(Place1);
  Place1->exec();
}

void ShowPlacementFile(const std::string& name) {
  if (!Place1) return;
  LoadPlacementPicture(Place1, name);
  CentreOnMainForm(Place1);
  Place1->exec();
}

}  // namespace zelvar
