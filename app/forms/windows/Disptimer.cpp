#include "app/forms/windows/Disptimer.h"

#include <QLabel>
#include <QPainter>
#include <QTransform>
#include <QVBoxLayout>

#include "app/forms/windows/Forms.h"
#include "skin/Suiform.h"

namespace zelvar {

TDispTimer1* DispTimer1 = nullptr;

namespace {

// A quarter-open ring with an arrow head: its turns show that the programmer works.
QPixmap BusyPicture() {
  QPixmap pix(54, 54);
  pix.fill(Qt::white);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 0x80, 0), 6, Qt::SolidLine, Qt::FlatCap));
  p.drawArc(QRect(9, 9, 36, 36), 90 * 16, 270 * 16);
  p.setBrush(QColor(0, 0x80, 0));
  p.setPen(Qt::NoPen);
  p.drawPolygon(QPolygon({QPoint(27, 1), QPoint(39, 9), QPoint(27, 17)}));
  return pix;
}

}  // namespace

TDispTimer1::TDispTimer1(QWidget* owner) : QWidget(owner, Qt::Tool) {
  setObjectName("DispTimer1");
  setFixedSize(124, 100);
  suiForm1 = new TsuiForm(this);
  suiForm1->setObjectName("suiForm1");
  auto* v = new QVBoxLayout(suiForm1);
  Image1 = new QLabel(suiForm1);
  Image1->setObjectName("Image1");
  Image1->setFixedSize(54, 54);
  Image1->setPixmap(BusyPicture());
  v->addWidget(Image1, 0, Qt::AlignCenter);
  SetFormUIStyle(this, MacOS);
}

QImage TDispTimer1::Picture() const {
  return Image1->pixmap().toImage();
}

void ShowBusy(const std::string& caption) {
  if (!DispTimer1) return;
  CentreOnMainForm(DispTimer1);
  DispTimer1->suiForm1->SetCaption(caption);
  DispTimer1->show();
  DispTimer1->repaint();
}

void StepBusy(int step) {
  if (!DispTimer1) return;
  if (step == 0) {
    DispTimer1->show();
    DispTimer1->repaint();
  }
  // 270 degrees: width and height change places, as for any non-square picture.
  DispTimer1->Image1->setPixmap(
      QPixmap::fromImage(DispTimer1->Picture().transformed(QTransform().rotate(270))));
  DispTimer1->Image1->repaint();
}

void CloseBusy() {
  if (DispTimer1) DispTimer1->close();
}

}  // namespace zelvar
