#include "tools/skin/gallery_data.h"

#include <QBuffer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVBoxLayout>

#include "db/DataSet.h"
#include "skin/Suidbctrls.h"
#include "skin/Suiform.h"
#include "skin/Suiscrollbar.h"

namespace zelvar {
namespace {

// A chip outline with `pins` pins, as PNG bytes.
QByteArray ChipPicture(int pins) {
  QImage image(96, 64, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.fillRect(QRect(16, 14, 64, 36), QColor(40, 40, 40));
  const int side = pins / 2;
  for (int i = 0; i < side && i < 16; ++i) {
    const int x = 18 + i * 60 / std::max(1, std::min(side, 16));
    p.fillRect(QRect(x, 8, 2, 6), Qt::gray);
    p.fillRect(QRect(x, 50, 2, 6), Qt::gray);
  }
  p.setPen(Qt::white);
  p.drawText(QRect(16, 14, 64, 36), Qt::AlignCenter, QString::number(pins));
  p.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// The database, data sets and sources, kept as long as the form.
struct DemoData : QObject {
  explicit DemoData(QObject* owner) : QObject(owner) {
    db = QSqlDatabase::addDatabase("QSQLITE", "skin_gallery_demo");
    db.setDatabaseName(":memory:");
    db.open();
    QSqlQuery q(db);
    q.exec("CREATE TABLE makers (id INTEGER PRIMARY KEY, name TEXT NOT NULL)");
    q.exec("INSERT INTO makers VALUES (1, 'Atmel'), (2, 'Microchip'), (3, 'Winbond'), (4, 'SST')");
    q.exec(
        "CREATE TABLE parts (name TEXT NOT NULL CHECK (name <> ''), maker INTEGER,"
        " pins INTEGER, package TEXT, eeprom BOOLEAN, note TEXT, picture BLOB)");
    const struct {
      const char* name;
      int maker, pins;
      const char* package;
      bool eeprom;
      const char* note;
    } rows[] = {{"AT89C51", 1, 40, "DIP", false, "8051 with 4K flash"},
                {"AT89C2051", 1, 20, "DIP", false, "20-pin 8051"},
                {"PIC16F84A", 2, 18, "DIP", true, "64 bytes of data EEPROM"},
                {"PIC18F452", 2, 40, "PLCC", true, "PIC18 with 256 bytes of EEPROM"},
                {"W27C512", 3, 28, "DIP", false, "electrically erasable EPROM"},
                {"SST39SF010", 4, 32, "PLCC", false, "1 Mbit flash"}};
    for (const auto& r : rows) {
      q.prepare("INSERT INTO parts VALUES (?, ?, ?, ?, ?, ?, ?)");
      for (const QVariant& v :
           {QVariant(r.name), QVariant(r.maker), QVariant(r.pins), QVariant(r.package),
            QVariant(r.eeprom ? 1 : 0), QVariant(r.note), QVariant(ChipPicture(r.pins))})
        q.addBindValue(v);
      q.exec();
    }
    makers = std::make_unique<TDataSet>(db, "makers");
    parts = std::make_unique<TDataSet>(db, "parts");
    parts->AddLookupField("maker_name", "maker", makers.get(), "id", "name");
    makers->Open();
    parts->Open();
    source.SetDataSet(parts.get());
    makerSource.SetDataSet(makers.get());
  }
  QSqlDatabase db;
  std::unique_ptr<TDataSet> makers;
  std::unique_ptr<TDataSet> parts;
  TDataSource source;
  TDataSource makerSource;
};

template <typename C>
C* Bound(TDataSource* source, const char* field) {
  auto* control = new C;
  control->SetDataSource(source);
  control->SetDataField(field);
  return control;
}

}  // namespace

QWidget* DataAwareDemo(int style) {
  auto* holder = new QWidget;
  auto* data = new DemoData(holder);
  auto* frame = new TsuiForm(holder);
  frame->SetCaption("Parts (SQLite)");
  auto* v = new QVBoxLayout(frame);
  auto* navigator = new TsuiDBNavigator;
  navigator->SetDataSource(&data->source);
  navigator->setFixedSize(250, 25);
  v->addWidget(navigator);
  auto* grid = new TsuiDBGrid;
  grid->SetDataSource(&data->source);
  grid->setMinimumHeight(150);
  v->addWidget(grid);
  // The grid's skinned bars are siblings laid over the grid's own, outside the layout.
  auto* bar = new TsuiScrollBar(frame);
  bar->resize(16, 100);
  grid->SetVScrollBar(bar);
  auto* across = new TsuiScrollBar(frame);
  across->resize(100, 16);
  grid->SetHScrollBar(across);

  auto* fields = new QHBoxLayout;
  auto* left = new QFormLayout;
  left->addRow("Name", Bound<TsuiDBEdit>(&data->source, "name"));
  left->addRow("Pins", Bound<TsuiDBEdit>(&data->source, "pins"));
  left->addRow("Maker", Bound<TsuiDBLookupComboBox>(&data->source, "maker_name"));
  auto* package = Bound<TsuiDBComboBox>(&data->source, "package");
  package->SetItems({"DIP", "PLCC", "SOIC", "TSOP"});
  left->addRow("Package", package);
  auto* eeprom = Bound<TsuiDBCheckBox>(&data->source, "eeprom");
  eeprom->SetCaption("Data EEPROM");
  left->addRow("", eeprom);
  auto* note = Bound<TsuiDBMemo>(&data->source, "note");
  note->setMaximumHeight(60);
  left->addRow("Note", note);
  fields->addLayout(left);
  auto* right = new QVBoxLayout;
  auto* radio = Bound<TsuiDBRadioGroup>(&data->source, "package");
  radio->SetCaption(std::string("Package"));
  radio->SetItemTexts({"DIP", "PLCC", "SOIC"});
  radio->setMinimumHeight(90);
  right->addWidget(radio);
  auto* makers = Bound<TsuiDBLookupListBox>(&data->source, "maker");
  makers->SetListSource(&data->makerSource);
  makers->SetKeyField("id");
  makers->SetListField("name");
  makers->setMaximumHeight(80);
  right->addWidget(makers);
  auto* picture = Bound<TsuiDBImage>(&data->source, "picture");
  picture->setFixedSize(100, 68);
  right->addWidget(picture);
  fields->addLayout(right);
  v->addLayout(fields);
  SetFormUIStyle(holder, static_cast<TsuiUIStyle>(style), nullptr);
  holder->resize(560, 520);
  return holder;
}

}  // namespace zelvar
