// The data-aware controls on SQLite databases made here: each control follows its field as the
// records move and writes the user's change through to the database; the grid and its bar; the
// navigator's sizing, enabling, actions, hints and repeat; failures shown to the user.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <memory>

#include "skin/Suidbctrls.h"
#include "skin/Suidlg.h"
#include "skin/Suiscrollbar.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_dbctrls_test {

class DbControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = TsuiDialog::Runner();
    // Every box is read and answered here: its text is kept, the answer given by `answer_`.
    TsuiDialog::Runner() = [this](QDialog& form) {
      if (auto* box = dynamic_cast<TfrmMsg*>(&form)) boxes_.push_back(box->lbl->text());
      return answer_;
    };
    ASSERT_TRUE(dir_.isValid());
    name_ = QUuid::createUuid().toString();
    db_ = QSqlDatabase::addDatabase("QSQLITE", name_);
    db_.setDatabaseName(dir_.filePath("parts.db"));
    db_.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
    ASSERT_TRUE(db_.open());
    Exec("CREATE TABLE makers (id INTEGER PRIMARY KEY, name TEXT NOT NULL)");
    Exec("INSERT INTO makers VALUES (1, 'Atmel'), (2, 'Microchip'), (3, 'Winbond')");
    Exec(
        "CREATE TABLE parts (name TEXT NOT NULL, maker INTEGER, pins INTEGER, eeprom BOOLEAN,"
        " package TEXT, note TEXT, mark TEXT, picture BLOB)");
    Exec(
        "INSERT INTO parts VALUES ('AT89C51', 1, 40, 0, 'DIP', 'first', 'y', NULL),"
        " ('PIC16F84A', 2, 18, 1, 'SOIC', 'second', 'maybe', NULL),"
        " ('W27C512', 3, 28, 0, 'PLCC', 'third', 'Yes', NULL)");
    makers_ = std::make_unique<TDataSet>(db_, "makers");
    parts_ = std::make_unique<TDataSet>(db_, "parts");
    parts_->AddLookupField("maker_name", "maker", makers_.get(), "id", "name");
    ASSERT_TRUE(makers_->Open());
    ASSERT_TRUE(parts_->Open());
    source_.SetDataSet(parts_.get());
    makerSource_.SetDataSet(makers_.get());
    form_ = std::make_unique<QWidget>();
  }
  void TearDown() override {
    form_.reset();
    parts_.reset();
    makers_.reset();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
    TsuiDialog::Runner() = saved_;
  }
  void Exec(const QString& sql) {
    QSqlQuery query(db_);
    ASSERT_TRUE(query.exec(sql)) << sql.toStdString();
  }
  QVariant Stored(const QString& sql) {
    QSqlQuery query(db_);
    EXPECT_TRUE(query.exec(sql));
    return query.next() ? query.value(0) : QVariant();
  }

  QTemporaryDir dir_;
  QString name_;
  QSqlDatabase db_;
  std::unique_ptr<TDataSet> makers_;
  std::unique_ptr<TDataSet> parts_;
  TDataSource source_;
  TDataSource makerSource_;
  std::unique_ptr<QWidget> form_;
  TsuiDialog::ModalRunner saved_;
  std::vector<QString> boxes_;
  int answer_ = 1;
};

// One control of one field: what it shows, what the user does, what the database then holds.
struct FieldControlCase {
  const char* name;
  const char* field;  // DataField
  std::function<QWidget*(QWidget*, TDataSource*, TDataSource*)> make;
  std::function<QString(QWidget*)> shown;
  QString first, second;  // shown on records 1 and 2
  std::function<void(QWidget*)> change;
  const char* column;  // what the database holds for record 1 afterwards
  QString stored;
};

template <typename C>
C* As(QWidget* w) {
  return static_cast<C*>(w);
}

template <typename C>
QWidget* Bound(QWidget* parent, TDataSource* source, const char* field) {
  auto* control = new C(parent);
  control->SetDataSource(source);
  control->SetDataField(field);
  return control;
}

std::vector<FieldControlCase> FieldControlCases() {
  return {
      {"edit", "name",
       [](QWidget* p, TDataSource* s, TDataSource*) { return Bound<TsuiDBEdit>(p, s, "name"); },
       [](QWidget* w) { return As<TsuiDBEdit>(w)->text(); }, "AT89C51", "PIC16F84A",
       [](QWidget* w) {
         As<TsuiDBEdit>(w)->setCursorPosition(7);
         QTest::keyClicks(w, "-24PC");
       },
       "name", "AT89C51-24PC"},
      {"memo", "note",
       [](QWidget* p, TDataSource* s, TDataSource*) { return Bound<TsuiDBMemo>(p, s, "note"); },
       [](QWidget* w) { return As<TsuiDBMemo>(w)->toPlainText(); }, "first", "second",
       [](QWidget* w) {
         As<TsuiDBMemo>(w)->moveCursor(QTextCursor::End);
         QTest::keyClicks(w, " part");
       },
       "note", "first part"},
      {"list box", "package",
       [](QWidget* p, TDataSource* s, TDataSource*) {
         auto* c = As<TsuiDBListBox>(Bound<TsuiDBListBox>(p, s, "package"));
         c->SetItems({"DIP", "PLCC", "SOIC"});
         return c;
       },
       [](QWidget* w) {
         auto* item = As<TsuiDBListBox>(w)->currentItem();
         return item ? item->text() : QString();
       },
       "DIP", "SOIC", [](QWidget* w) { As<TsuiDBListBox>(w)->setCurrentRow(1); }, "package",
       "PLCC"},
      {"combo box", "package",
       [](QWidget* p, TDataSource* s, TDataSource*) {
         auto* c = As<TsuiDBComboBox>(Bound<TsuiDBComboBox>(p, s, "package"));
         c->SetItems({"DIP", "PLCC", "SOIC"});
         return c;
       },
       [](QWidget* w) { return As<TsuiDBComboBox>(w)->currentText(); }, "DIP", "SOIC",
       [](QWidget* w) {
         As<TsuiDBComboBox>(w)->lineEdit()->selectAll();
         QTest::keyClicks(As<TsuiDBComboBox>(w)->lineEdit(), "QFP");
       },
       "package", "QFP"},
      {"check box", "eeprom",
       [](QWidget* p, TDataSource* s, TDataSource*) {
         return Bound<TsuiDBCheckBox>(p, s, "eeprom");
       },
       [](QWidget* w) { return QString(As<TsuiDBCheckBox>(w)->Checked() ? "on" : "off"); }, "off",
       "on", [](QWidget* w) { As<TsuiDBCheckBox>(w)->Click(); }, "eeprom", "1"},
      {"radio group", "pins",
       [](QWidget* p, TDataSource* s, TDataSource*) {
         auto* c = As<TsuiDBRadioGroup>(Bound<TsuiDBRadioGroup>(p, s, "pins"));
         c->SetItemTexts({"18", "28", "40"});
         return c;
       },
       [](QWidget* w) { return QString::number(As<TsuiDBRadioGroup>(w)->GetItemIndex()); }, "2",
       "0", [](QWidget* w) { As<TsuiDBRadioGroup>(w)->Button(1)->Click(); }, "pins", "28"},
      {"lookup combo box", "maker_name",
       [](QWidget* p, TDataSource* s, TDataSource*) {
         return Bound<TsuiDBLookupComboBox>(p, s, "maker_name");
       },
       [](QWidget* w) { return As<TsuiDBLookupComboBox>(w)->currentText(); }, "Atmel", "Microchip",
       [](QWidget* w) { emit As<TsuiDBLookupComboBox>(w)->activated(2); }, "maker", "3"},
      {"lookup list box", "maker",
       [](QWidget* p, TDataSource* s, TDataSource* list) {
         auto* c = As<TsuiDBLookupListBox>(Bound<TsuiDBLookupListBox>(p, s, "maker"));
         c->SetListSource(list);
         c->SetKeyField("id");
         c->SetListField("name");
         return c;
       },
       [](QWidget* w) {
         auto* item = As<TsuiDBLookupListBox>(w)->currentItem();
         return item ? item->text() : QString();
       },
       "Atmel", "Microchip", [](QWidget* w) { As<TsuiDBLookupListBox>(w)->setCurrentRow(1); },
       "maker", "2"},
  };
}

TEST_F(DbControlsTest, EachControlFollowsItsFieldAndWritesTheUsersChange) {
  for (const FieldControlCase& c : FieldControlCases()) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(parts_->First());
    QWidget* control = c.make(form_.get(), &source_, &makerSource_);
    EXPECT_EQ(c.shown(control), c.first);
    parts_->Next();
    EXPECT_EQ(c.shown(control), c.second);
    parts_->First();
    EXPECT_EQ(c.shown(control), c.first);
    // The user's change starts the edit; the post writes it.
    c.change(control);
    EXPECT_EQ(parts_->State(), dsEdit);
    ASSERT_TRUE(parts_->Post());
    EXPECT_EQ(Stored(QString("SELECT %1 FROM parts WHERE rowid = 1").arg(c.column)).toString(),
              c.stored);
    EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts").toInt(), 3);
    EXPECT_TRUE(boxes_.empty());
    // Closed data set: the user's change starts nothing.
    parts_->Close();
    c.change(control);
    ASSERT_TRUE(parts_->Open());
    EXPECT_EQ(parts_->State(), dsBrowse);
    EXPECT_TRUE(boxes_.empty());
    delete control;
    Exec(
        "UPDATE parts SET name = 'AT89C51', maker = 1, pins = 40, eeprom = 0, package = 'DIP',"
        " note = 'first' WHERE rowid = 1");
    parts_->Refresh();
  }
}

TEST_F(DbControlsTest, ReadOnlyControlsAndDataSetsStartNoEdit) {
  auto* edit = As<TsuiDBEdit>(Bound<TsuiDBEdit>(form_.get(), &source_, "name"));
  auto* check = As<TsuiDBCheckBox>(Bound<TsuiDBCheckBox>(form_.get(), &source_, "eeprom"));
  auto* radio = As<TsuiDBRadioGroup>(Bound<TsuiDBRadioGroup>(form_.get(), &source_, "pins"));
  radio->SetItemTexts({"18", "40"});
  edit->SetReadOnly(true);
  check->SetReadOnly(true);
  radio->SetReadOnly(true);
  EXPECT_TRUE(edit->isReadOnly());
  check->Click();
  radio->Button(0)->Click();
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(radio->GetItemIndex(), 1);
  EXPECT_EQ(parts_->State(), dsBrowse);

  check->SetReadOnly(false);
  parts_->Close();
  parts_->ReadOnly = true;
  parts_->Open();
  check->Click();
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(parts_->State(), dsBrowse);
}

TEST_F(DbControlsTest, CheckBoxMatchesItsValueLists) {
  auto* check = As<TsuiDBCheckBox>(Bound<TsuiDBCheckBox>(form_.get(), &source_, "mark"));
  check->SetValueChecked("Yes;Y");
  check->SetValueUnchecked("No;N");
  EXPECT_TRUE(check->Checked());  // "y"
  parts_->Next();
  EXPECT_FALSE(check->Checked());  // "maybe"
  check->Click();
  ASSERT_TRUE(parts_->Post());
  EXPECT_EQ(Stored("SELECT mark FROM parts WHERE rowid = 2").toString(), "Yes");
  check->Click();
  ASSERT_TRUE(parts_->Post());
  EXPECT_EQ(Stored("SELECT mark FROM parts WHERE rowid = 2").toString(), "No");
  EXPECT_TRUE(TsuiDBCheckBox::ValueMatch("Yes;Y", "YES"));
  EXPECT_FALSE(TsuiDBCheckBox::ValueMatch("Yes;Y", "Ye"));
}

TEST_F(DbControlsTest, RadioGroupWritesValuesOrCaptions) {
  auto* radio = As<TsuiDBRadioGroup>(Bound<TsuiDBRadioGroup>(form_.get(), &source_, "mark"));
  radio->SetItemTexts({"A", "B"});
  radio->SetValues({"1", ""});
  EXPECT_EQ(radio->GetButtonValue(0), "1");
  EXPECT_EQ(radio->GetButtonValue(1), "B");
  EXPECT_EQ(radio->GetButtonValue(2), "");
  int changes = 0;
  radio->OnChange = [&] { ++changes; };
  radio->Button(0)->Click();
  ASSERT_TRUE(parts_->Post());
  EXPECT_EQ(Stored("SELECT mark FROM parts WHERE rowid = 1").toString(), "1");
  radio->Button(1)->Click();
  ASSERT_TRUE(parts_->Post());
  EXPECT_EQ(Stored("SELECT mark FROM parts WHERE rowid = 1").toString(), "B");
  EXPECT_EQ(changes, 2);
  parts_->Next();  // "maybe": no item
  EXPECT_EQ(radio->GetItemIndex(), -1);
  EXPECT_EQ(radio->Value(), "maybe");
}

TEST_F(DbControlsTest, MemoPlacesBothBarsInsideItsBorder) {
  auto* memo = As<TsuiDBMemo>(Bound<TsuiDBMemo>(form_.get(), &source_, "note"));
  memo->setGeometry(10, 20, 200, 100);
  TsuiScrollBar vertical(form_.get());
  TsuiScrollBar horizontal(form_.get());
  vertical.resize(16, 50);
  horizontal.resize(50, 16);
  memo->SetVScrollBar(&vertical);
  EXPECT_EQ(vertical.geometry(), QRect(192, 21, 16, 98));
  memo->SetHScrollBar(&horizontal);
  EXPECT_EQ(horizontal.geometry(), QRect(11, 102, 182, 16));
  EXPECT_EQ(vertical.geometry(), QRect(192, 21, 16, 82));
  // On screen, they follow the memo.
  form_->show();
  memo->setGeometry(0, 0, 150, 80);
  QApplication::processEvents();
  EXPECT_EQ(horizontal.geometry(), QRect(1, 62, 132, 16));
  EXPECT_EQ(vertical.geometry(), QRect(132, 1, 16, 62));
  memo->SetVScrollBar(nullptr);
  memo->SetHScrollBar(nullptr);
}

TEST_F(DbControlsTest, ImageShowsAndStoresItsPicture) {
  auto* image = As<TsuiDBImage>(Bound<TsuiDBImage>(form_.get(), &source_, "picture"));
  EXPECT_TRUE(image->Picture().isNull());
  QImage red(8, 6, QImage::Format_RGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(image->LoadPicture(red));
  ASSERT_TRUE(parts_->Post());
  const QImage stored =
      QImage::fromData(Stored("SELECT picture FROM parts WHERE rowid = 1").toByteArray());
  EXPECT_EQ(stored.size(), QSize(8, 6));
  parts_->Next();
  EXPECT_TRUE(image->Picture().isNull());
  parts_->Prior();
  EXPECT_EQ(image->Picture().pixelColor(3, 3), QColor(Qt::red));
  image->resize(40, 30);
  EXPECT_FALSE(image->grab().isNull());
}

// A change the database refuses is shown in a box and the edit stays; nothing is lost.
TEST_F(DbControlsTest, RefusedPostIsShownAndTheEditKept) {
  auto* edit = As<TsuiDBEdit>(Bound<TsuiDBEdit>(form_.get(), &source_, "name"));
  auto* navigator = new TsuiDBNavigator(form_.get());
  navigator->SetDataSource(&source_);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  EXPECT_EQ(parts_->State(), dsEdit);
  navigator->BtnClick(nbPost);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_TRUE(boxes_[0].contains("NOT NULL")) << boxes_[0].toStdString();
  EXPECT_EQ(parts_->State(), dsEdit);
  EXPECT_TRUE(navigator->Button(nbPost)->isEnabled());
  EXPECT_EQ(Stored("SELECT name FROM parts WHERE rowid = 1").toString(), "AT89C51");
  // A move would post: refused as well, and the record stays.
  navigator->BtnClick(nbNext);
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(parts_->RecNo(), 1);
  QTest::keyClicks(edit, "AT89C1051");
  navigator->BtnClick(nbPost);
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(Stored("SELECT name FROM parts WHERE rowid = 1").toString(), "AT89C1051");

  // Text that is no number is refused by the field when the edit is left, and kept.
  auto* pins = As<TsuiDBEdit>(Bound<TsuiDBEdit>(form_.get(), &source_, "pins"));
  pins->selectAll();
  QTest::keyClicks(pins, "many");
  QFocusEvent out(QEvent::FocusOut);
  QApplication::sendEvent(pins, &out);
  EXPECT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(parts_->FindField("pins")->AsInteger(), 40);
  EXPECT_EQ(pins->text(), "many");
  EXPECT_TRUE(pins->DataLink().IsModified());
  // The post stops at it too, and keeps the edit.
  navigator->BtnClick(nbPost);
  EXPECT_EQ(boxes_.size(), 4u);
  EXPECT_EQ(parts_->State(), dsEdit);
  EXPECT_EQ(pins->text(), "many");
  pins->selectAll();
  QTest::keyClicks(pins, "44");
  navigator->BtnClick(nbPost);
  EXPECT_EQ(boxes_.size(), 4u);
  EXPECT_EQ(parts_->State(), dsBrowse);
  EXPECT_EQ(Stored("SELECT pins FROM parts WHERE rowid = 1").toInt(), 44);
}

TEST_F(DbControlsTest, GridShowsRecordsAndMovesWithTheCurrentRow) {
  TsuiDBGrid grid(form_.get());
  grid.SetDataSource(&source_);
  ASSERT_EQ(grid.RowCount(), 4);
  ASSERT_EQ(grid.ColCount(), 10);  // indicator, eight columns, the lookup
  EXPECT_EQ(grid.Cells(1, 0), "name");
  EXPECT_EQ(grid.Cells(9, 0), "maker_name");
  EXPECT_EQ(grid.Cells(1, 2), "PIC16F84A");
  EXPECT_EQ(grid.Cells(9, 3), "Winbond");
  EXPECT_EQ(grid.Cells(4, 2), "True");
  EXPECT_EQ(grid.Cells(0, 1), TsuiDBGrid::Indicator(dsBrowse));
  EXPECT_EQ(grid.FocusedColor(), QColor(0, 128, 0));
  EXPECT_EQ(grid.SelectedColor(), QColor(255, 255, 0));

  parts_->Last();
  EXPECT_EQ(grid.currentRow(), 3);
  EXPECT_EQ(grid.Cells(0, 1), "");
  grid.setCurrentCell(2, 1);
  EXPECT_EQ(parts_->RecNo(), 2);

  // Typing into a cell edits the field; the fixed cells take no typing.
  grid.item(2, 3)->setText("20");
  EXPECT_EQ(parts_->State(), dsEdit);
  EXPECT_EQ(grid.Cells(0, 2), TsuiDBGrid::Indicator(dsEdit));
  EXPECT_EQ(parts_->FindField("pins")->AsInteger(), 20);
  EXPECT_FALSE(grid.item(0, 1)->flags() & Qt::ItemIsEditable);
  EXPECT_FALSE(grid.item(2, 0)->flags() & Qt::ItemIsEditable);
  // Moving to another row posts it.
  grid.setCurrentCell(1, 1);
  EXPECT_EQ(parts_->State(), dsBrowse);
  EXPECT_EQ(Stored("SELECT pins FROM parts WHERE rowid = 2").toInt(), 20);

  parts_->Insert();
  EXPECT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.Cells(0, 1), TsuiDBGrid::Indicator(dsInsert));
  parts_->Cancel();
  EXPECT_EQ(grid.RowCount(), 4);
  // Choosing a row below an untouched insert lands on the record shown there.
  parts_->Insert();
  grid.setCurrentCell(4, 1);
  EXPECT_EQ(parts_->State(), dsBrowse);
  EXPECT_EQ(parts_->FindField("name")->AsString(), "W27C512");
  EXPECT_EQ(grid.currentRow(), 3);
  parts_->Close();
  EXPECT_EQ(grid.RowCount(), 1);
}

TEST_F(DbControlsTest, GridVerticalBarMovesTheRecord) {
  Exec("CREATE TABLE many (n INTEGER)");
  for (int i = 1; i <= 50; ++i) Exec(QString("INSERT INTO many VALUES (%1)").arg(i));
  TDataSet many(db_, "many");
  ASSERT_TRUE(many.Open());
  TDataSource source;
  source.SetDataSet(&many);
  TsuiDBGrid grid(form_.get());
  grid.SetDataSource(&source);
  struct Case {
    int position, recNo;
  };
  for (const Case& c : {Case{30, 30}, Case{0, 1}, Case{49, 49}, Case{1, 1}, Case{50, 50},
                        Case{2, 2}, Case{60, 50}}) {
    grid.OnVScrollBarChange(c.position);
    EXPECT_EQ(many.RecNo(), c.recNo) << c.position;
  }
  // Through an attached bar.
  TsuiScrollBar bar(form_.get());
  grid.resize(200, 120);
  grid.SetVScrollBar(&bar);
  bar.SetMax(100);
  bar.SetPosition(30);
  EXPECT_EQ(many.RecNo(), 30);
  EXPECT_EQ(grid.currentRow(), 30);
  grid.SetVScrollBar(nullptr);
}

TEST_F(DbControlsTest, NavigatorSizesItsButtons) {
  TsuiDBNavigator nav(form_.get());
  EXPECT_EQ(nav.size(), QSize(250, 30));
  EXPECT_EQ(nav.ButtonWidth(), 25);
  for (int i = 0; i < kNavButtonCount; ++i)
    EXPECT_EQ(nav.Button(TNavigateBtn(i))->geometry(), QRect(25 * i, 0, 25, 30)) << i;

  struct Case {
    int width, height;
    bool aligned;
    int visible;  // the first n buttons
    int wantWidth, wantHeight, buttonWidth;
  };
  for (const Case& c :
       {Case{203, 30, false, 10, 200, 30, 20}, Case{150, 10, false, 10, 200, 18, 20},
        Case{100, 25, false, 4, 100, 25, 25}, Case{103, 25, false, 4, 100, 25, 25},
        Case{5, 5, false, 0, 20, 18, 20}, Case{253, 30, true, 10, 253, 30, 25}}) {
    SCOPED_TRACE(testing::Message() << c.width << " " << c.visible << " aligned " << c.aligned);
    TsuiDBNavigator n(form_.get());
    n.SetAligned(c.aligned);
    TButtonSet visible{};
    for (int i = 0; i < c.visible; ++i) visible[i] = true;
    n.SetVisibleButtons(visible);
    n.SetBounds(QRect(0, 0, c.width, c.height));
    EXPECT_EQ(n.size(), QSize(c.wantWidth, c.wantHeight));
    EXPECT_EQ(n.ButtonWidth(), c.buttonWidth);
    int x = 0;
    for (int i = 0; i < kNavButtonCount; ++i) {
      const QRect g = n.Button(TNavigateBtn(i))->geometry();
      if (!visible[i]) {
        EXPECT_EQ(g.x(), n.width() + 1) << i;
        continue;
      }
      EXPECT_EQ(g.x(), x) << i;
      EXPECT_GE(g.width(), c.buttonWidth);
      EXPECT_LE(g.width(), c.buttonWidth + 1);
      x += g.width();
    }
    if (c.visible > 0) {
      EXPECT_EQ(x, c.wantWidth);
    }
  }
  // On screen, a resize is snapped as it arrives.
  form_->show();
  nav.resize(203, 30);
  QApplication::processEvents();
  EXPECT_EQ(nav.size(), QSize(200, 30));
  EXPECT_EQ(nav.Button(nbRefresh)->geometry(), QRect(180, 0, 20, 30));
}

TEST_F(DbControlsTest, NavigatorEnablesButtonsByState) {
  TsuiDBNavigator nav(form_.get());
  std::vector<TNavigateBtn> clicked;
  nav.OnClick = [&](TsuiDBNavigator*, TNavigateBtn b) { clicked.push_back(b); };
  auto enabled = [&] {
    std::string on;
    for (int i = 0; i < kNavButtonCount; ++i)
      on += nav.Button(TNavigateBtn(i))->isEnabled() ? '1' : '0';
    return on;
  };
  // Buttons: first prior next last insert delete edit post cancel refresh.
  EXPECT_EQ(enabled(), "0000000000");
  nav.BtnClick(nbNext);  // no data source: still heard
  EXPECT_EQ(clicked, std::vector<TNavigateBtn>{nbNext});

  nav.SetDataSource(&source_);
  EXPECT_EQ(enabled(), "0011111001");
  parts_->Next();
  EXPECT_EQ(enabled(), "1111111001");
  parts_->Last();
  EXPECT_EQ(enabled(), "1100111001");
  parts_->Edit();
  EXPECT_EQ(enabled(), "1100110111");
  parts_->Cancel();
  nav.setEnabled(false);
  EXPECT_EQ(enabled(), "0000000000");
  nav.setEnabled(true);
  EXPECT_EQ(enabled(), "1100111001");
  source_.SetEnabled(false);
  EXPECT_EQ(enabled(), "0000000000");
  nav.BtnClick(nbFirst);
  EXPECT_EQ(parts_->RecNo(), 3);
  source_.SetEnabled(true);
  parts_->Close();
  EXPECT_EQ(enabled(), "0000000000");
  parts_->ReadOnly = true;
  parts_->Open();
  EXPECT_EQ(enabled(), "0011000000");
  Exec("DELETE FROM parts");
  parts_->Close();
  parts_->ReadOnly = false;
  parts_->Open();
  EXPECT_EQ(enabled(), "0000101001");
}

TEST_F(DbControlsTest, NavigatorButtonsActAndConfirmDelete) {
  TsuiDBNavigator nav(form_.get());
  nav.SetDataSource(&source_);
  std::vector<std::string> heard;
  nav.BeforeAction = [&](TsuiDBNavigator*, TNavigateBtn b) {
    heard.push_back("before " + std::to_string(b));
  };
  nav.OnClick = [&](TsuiDBNavigator*, TNavigateBtn b) {
    heard.push_back("click " + std::to_string(b));
  };
  nav.Button(nbLast)->Click();
  EXPECT_EQ(parts_->RecNo(), 3);
  EXPECT_EQ(heard, (std::vector<std::string>{"before 3", "click 3"}));
  nav.Button(nbPrior)->Click();
  EXPECT_EQ(parts_->RecNo(), 2);
  nav.Button(nbFirst)->Click();
  nav.Button(nbNext)->Click();
  EXPECT_EQ(parts_->RecNo(), 2);
  nav.Button(nbEdit)->Click();
  EXPECT_EQ(parts_->State(), dsEdit);
  nav.Button(nbCancel)->Click();
  EXPECT_EQ(parts_->State(), dsBrowse);
  nav.Button(nbInsert)->Click();
  EXPECT_EQ(parts_->State(), dsInsert);
  parts_->FindField("name")->SetAsString("27C010");
  nav.Button(nbPost)->Click();
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts").toInt(), 4);

  // Deleting asks first; Cancel keeps the record, OK deletes it.
  answer_ = 2;
  nav.Button(nbDelete)->Click();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "Delete record?");
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts").toInt(), 4);
  EXPECT_EQ(heard.back(), "click 5");
  answer_ = 1;
  nav.Button(nbDelete)->Click();
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts").toInt(), 3);
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts WHERE name = '27C010'").toInt(), 0);
  nav.ConfirmDelete = false;
  nav.Button(nbDelete)->Click();
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts").toInt(), 2);

  Exec("INSERT INTO parts (name) VALUES ('93C46')");
  nav.Button(nbRefresh)->Click();
  EXPECT_EQ(parts_->RecordCount(), 3);
}

TEST_F(DbControlsTest, NavigatorHintsKeysAndRepeat) {
  TsuiDBNavigator nav(form_.get());
  EXPECT_EQ(nav.Button(nbRefresh)->toolTip(), "Refresh data");
  nav.SetHints({"", "Back"});
  EXPECT_EQ(nav.Button(nbFirst)->toolTip(), "First record");
  EXPECT_EQ(nav.Button(nbPrior)->toolTip(), "Back");
  EXPECT_EQ(nav.Button(nbNext)->toolTip(), "Next record");
  nav.SetHints(TsuiDBNavigator::DefaultHints());
  EXPECT_TRUE(nav.Hints().isEmpty());
  nav.SetHints(QStringList(12, "x"));  // lines past the tenth are ignored
  EXPECT_EQ(nav.Button(nbRefresh)->toolTip(), "x");

  nav.SetDataSource(&source_);
  TButtonSet visible;
  visible.fill(true);
  visible[nbPrior] = false;
  nav.SetVisibleButtons(visible);
  QTest::keyClick(&nav, Qt::Key_Right);  // skips the hidden Prior
  EXPECT_EQ(nav.FocusedButton(), nbNext);
  QTest::keyClick(&nav, Qt::Key_Space);
  EXPECT_EQ(parts_->RecNo(), 2);
  QTest::keyClick(&nav, Qt::Key_Left);
  EXPECT_EQ(nav.FocusedButton(), nbFirst);
  QTest::keyClick(&nav, Qt::Key_Left);
  EXPECT_EQ(nav.FocusedButton(), nbFirst);
  for (int i = 0; i < 12; ++i) QTest::keyClick(&nav, Qt::Key_Right);
  EXPECT_EQ(nav.FocusedButton(), nbRefresh);

  // Next held down: after 400 ms, then every 100 ms, until released.
  parts_->First();
  TsuiNavButton* next = nav.Button(nbNext);
  QTest::mousePress(next, Qt::LeftButton);
  EXPECT_EQ(nav.FocusedButton(), nbNext);
  ASSERT_NE(next->NavRepeatTimer(), nullptr);
  EXPECT_TRUE(next->NavRepeatTimer()->isActive());
  EXPECT_EQ(next->NavRepeatTimer()->interval(), 400);
  next->TimerExpired();
  EXPECT_EQ(next->NavRepeatTimer()->interval(), 100);
  EXPECT_EQ(parts_->RecNo(), 2);
  QTest::mouseRelease(next, Qt::LeftButton);
  EXPECT_FALSE(next->NavRepeatTimer()->isActive());
  EXPECT_EQ(parts_->RecNo(), 3);  // the release clicks once more
  EXPECT_EQ(nav.Button(nbLast)->NavRepeatTimer(), nullptr);
}

}  // namespace skin_dbctrls_test
}  // namespace zelvar
