#include "app/forms/windows/Showbadpinnum.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "app/core/pictures/BadPins.h"
#include "app/forms/windows/Forms.h"
#include "link/LinkState.h"
#include "services/Messages.h"

namespace zelvar {

TShowBadPin* ShowBadPin = nullptr;

TShowBadPin::TShowBadPin(QWidget* owner) : QDialog(owner) {
  setObjectName("ShowBadPin");
  setFixedSize(300, 245);
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(10, 10, kBadPinPictureWidth, kBadPinPictureHeight);
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setWordWrap(true);
  Label1->setGeometry(155, 10, 135, 60);
  struct {
    QPushButton** button;
    const char* name;
    int answer;
    int top;
  } buttons[] = {
      {&Button3, "Button3", 3, 90}, {&Button1, "Button1", 0, 130}, {&Button2, "Button2", 2, 170}};
  for (auto& b : buttons) {
    *b.button = new QPushButton(this);
    (*b.button)->setObjectName(b.name);
    (*b.button)->setGeometry(175, b.top, 95, 28);
    connect(*b.button, &QPushButton::clicked, this, [this, answer = b.answer] {
      BadPinAnswer = answer;
      accept();
    });
  }
  setWindowFlag(Qt::WindowStaysOnTopHint);
}

void DrawBadPins(TShowBadPin* form, const std::vector<int>& badPins) {
  form->Label1->setText(
      QString::fromStdString(LocalText("Some pins not contacted(red):*有如下引脚接触不良(红色)")));
  form->Button3->setText(QString::fromStdString(LocalText("Again*再探测")));
  form->Button2->setText(QString::fromStdString(LocalText("Ignore*忽略")));
  form->Button1->setText(QString::fromStdString(LocalText("Cancel*取消")));

  const BadPinDrawing d = MakeBadPinDrawing(gLink.ModelNumber, badPins);
  QPixmap picture(kBadPinPictureWidth, kBadPinPictureHeight);
  picture.fill(QApplication::palette().color(QPalette::ToolTipBase));
  QPainter p(&picture);
  const QColor green(0x00, 0x80, 0x00);
  p.setPen(green);
  const Box& c = d.lever.circle;
  p.drawEllipse(QRect(QPoint(c.left, c.top), QPoint(c.right - 1, c.bottom - 1)));
  p.drawText(QRect(d.lever.text.x, d.lever.text.y, 90, 14), Qt::AlignLeft | Qt::AlignTop,
             QString::fromStdString(LocalText("(Spanner)*(扳手)")));
  auto fill = [&p](const Box& b, const QColor& colour) {
    p.fillRect(QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)), colour);
  };
  for (const Box& b : d.pins) fill(b, green);
  for (const Box& b : d.marked) fill(b, Qt::red);
  p.end();
  form->Image1->setPixmap(picture);
}

}  // namespace zelvar

namespace zelvar {

int AskBadPinsWindow(const std::vector<int>& badPins) {
  if (!ShowBadPin) return 0;
  DrawBadPins(ShowBadPin, badPins);
  CentreOnMainForm(ShowBadPin);
  ShowBadPin->exec();
  return ShowBadPin->BadPinAnswer;
}

}  // namespace zelvar
