#include "app/forms/windows/Placeisp.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>

#include "app/core/pictures/IspPicture.h"
#include "app/forms/windows/Forms.h"
#include "services/Messages.h"

namespace zelvar {

TPlaceIsp1* PlaceIsp1 = nullptr;

namespace {

constexpr int kHeaderHeight = 84;
constexpr int kLegendHeight = 170;

QColor FromColourRef(std::uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace

TPlaceIsp1::TPlaceIsp1(QWidget* owner) : QDialog(owner) {
  setObjectName("PlaceIsp1");
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setFixedSize(286, 264);
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(0, 0, 286, kHeaderHeight);
  Image2 = new QLabel(this);
  Image2->setObjectName("Image2");
  Image2->setGeometry(0, kHeaderHeight + 4, 286, kLegendHeight);
  for (QLabel* l : {Image1, Image2}) l->installEventFilter(this);
}

void TPlaceIsp1::mouseReleaseEvent(QMouseEvent*) {
  accept();
}

bool TPlaceIsp1::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == Image1 || watched == Image2) && event->type() == QEvent::MouseButtonRelease) {
    accept();
  }
  return QDialog::eventFilter(watched, event);
}

void DrawIspPinPicture(TPlaceIsp1* form, const std::vector<std::string>& legend) {
  form->setWindowTitle(QString::fromStdString(LocalText("ISP pin config*在线编程针脚定义 ")));

  QPixmap header(form->Image1->width(), form->Image1->height());
  header.fill(Qt::white);
  QPainter h(&header);
  h.setPen(QPen(Qt::black, 3));
  for (const IspHeaderPin& pin : IspHeaderPins()) {
    h.drawRect(pin.square.left, pin.square.top, 20, 20);
    h.drawText(pin.label.x, pin.label.y + 11, QString::number(pin.number));
  }
  h.end();
  form->Image1->setPixmap(header);

  QPixmap legendPicture(form->Image2->width(), form->Image2->height());
  legendPicture.fill(Qt::white);
  QPainter l(&legendPicture);
  for (const IspLegendRow& row : IspLegendRows(legend)) {
    l.setPen(Qt::black);
    l.setBrush(FromColourRef(row.colour));
    l.drawRect(row.swatch.left, row.swatch.top, 16, 8);
    l.setBrush(Qt::white);
    l.drawText(row.text.x, row.text.y + 11, QString::fromStdString(row.line));
  }
  l.end();
  form->Image2->setPixmap(legendPicture);
}

void ShowIspPinPicture(const std::vector<std::string>& legend) {
  if (!PlaceIsp1) return;
  DrawIspPinPicture(PlaceIsp1, legend);
  CentreOnMainForm(PlaceIsp1);
  PlaceIsp1->exec();
}

}  // namespace zelvar
