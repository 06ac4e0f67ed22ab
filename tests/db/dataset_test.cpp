// The data-set layer over SQLite databases made here: states, moves at both ends, post and
// cancel written through to the database, lookups, links, and writes the database refuses.
#include "db/DataSet.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

namespace zelvar {
namespace dataset_test {

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "dataset_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

// A database file of its own per test, with a parts table and a makers table.
class DataSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.filePath("parts.db");
    db_ = Connect();
    Exec(db_,
         "CREATE TABLE makers (id INTEGER PRIMARY KEY, name TEXT NOT NULL);"
         "INSERT INTO makers VALUES (1, 'Atmel'), (2, 'Microchip'), (3, 'Winbond');"
         "CREATE TABLE parts (name TEXT NOT NULL CHECK (name <> ''), maker INTEGER,"
         " pins INTEGER, volts REAL, eeprom BOOLEAN, note TEXT DEFAULT 'new');"
         "INSERT INTO parts VALUES ('AT89C51', 1, 40, 5.0, 0, ''),"
         " ('PIC16F84A', 2, 18, 5.0, 1, ''), ('W27C512', 3, 28, 5.0, 0, ''),"
         " ('PIC18F452', 2, 40, 5.0, 1, '');");
  }
  void TearDown() override {
    const QStringList names = connections_;
    connections_.clear();
    db_ = QSqlDatabase();
    for (const QString& name : names) QSqlDatabase::removeDatabase(name);
  }
  QSqlDatabase Connect(const QString& options = "QSQLITE_BUSY_TIMEOUT=0") {
    const QString name = QUuid::createUuid().toString();
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
    db.setDatabaseName(path_);
    db.setConnectOptions(options);
    EXPECT_TRUE(db.open());
    connections_ << name;
    return db;
  }
  static void Exec(QSqlDatabase& db, const QString& script) {
    for (const QString& sql : script.split(';', Qt::SkipEmptyParts)) {
      QSqlQuery query(db);
      ASSERT_TRUE(query.exec(sql)) << sql.toStdString();
    }
  }
  // One value straight from the database, past the data set.
  QVariant Stored(const QString& sql) {
    QSqlQuery query(db_);
    EXPECT_TRUE(query.exec(sql));
    return query.next() ? query.value(0) : QVariant();
  }

  QTemporaryDir dir_;
  QString path_;
  QStringList connections_;
  QSqlDatabase db_;
};

// Records what a link is told, in order.
class RecordingLink : public TDataLink {
 public:
  std::vector<std::string> events;

 protected:
  void ActiveChanged() override { events.push_back(Active() ? "active" : "inactive"); }
  void EditingChanged() override { events.push_back(Editing() ? "editing" : "browsing"); }
  void DataSetChanged() override { events.push_back("dataset"); }
  void RecordChanged(TField* field) override {
    events.push_back("record " + (field ? field->FieldName() : QString("*")).toStdString());
  }
};

TEST_F(DataSetTest, OpensWithFieldsTypedByDeclaredTypesAndClosesAgain) {
  TDataSet parts(db_, "parts");
  EXPECT_EQ(parts.State(), dsInactive);
  ASSERT_TRUE(parts.Open());
  EXPECT_EQ(parts.State(), dsBrowse);
  ASSERT_EQ(parts.FieldCount(), 6);
  const std::vector<TFieldType> types{ftString, ftInteger, ftInteger, ftFloat, ftBoolean, ftString};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(parts.Fields(i)->DataType(), types[i]) << i;
  EXPECT_TRUE(parts.FindField("name")->Required);
  EXPECT_EQ(parts.RecordCount(), 4);
  EXPECT_EQ(parts.RecNo(), 1);
  EXPECT_EQ(parts.FindField("NAME")->AsString(), "AT89C51");
  EXPECT_EQ(parts.FindField("eeprom")->AsString(), "False");
  parts.Close();
  EXPECT_FALSE(parts.Active());
  EXPECT_EQ(parts.FindField("name"), nullptr);

  TDataSet missing(db_, "no such table");
  QString heard;
  missing.OnError = [&](const QString& message) { heard = message; };
  EXPECT_FALSE(missing.Open());
  EXPECT_FALSE(heard.isEmpty());
  EXPECT_FALSE(missing.Active());
}

TEST_F(DataSetTest, MovesStopAtBothEndsWithBofAndEof) {
  TDataSet parts(db_, "parts");
  ASSERT_TRUE(parts.Open());
  TField* name = parts.FindField("name");
  EXPECT_TRUE(parts.Bof());
  EXPECT_FALSE(parts.Eof());
  parts.Prior();  // already first
  EXPECT_TRUE(parts.Bof());
  EXPECT_EQ(parts.RecNo(), 1);
  parts.Next();
  EXPECT_FALSE(parts.Bof());
  EXPECT_EQ(name->AsString(), "PIC16F84A");
  parts.Last();
  EXPECT_TRUE(parts.Eof());
  EXPECT_EQ(parts.RecNo(), 4);
  EXPECT_EQ(name->AsString(), "PIC18F452");
  parts.Prior();
  EXPECT_FALSE(parts.Eof());
  parts.Next();  // onto the last record: not past it yet
  EXPECT_FALSE(parts.Eof());
  parts.Next();
  EXPECT_TRUE(parts.Eof());
  EXPECT_EQ(parts.RecNo(), 4);
  parts.First();
  EXPECT_TRUE(parts.Bof());
  EXPECT_EQ(parts.RecNo(), 1);
  parts.SetRecNo(3);
  EXPECT_EQ(name->AsString(), "W27C512");
  parts.SetRecNo(99);
  EXPECT_EQ(parts.RecNo(), 4);
  EXPECT_TRUE(parts.Locate("pins", 18));
  EXPECT_EQ(parts.RecNo(), 2);

  Exec(db_, "DELETE FROM parts");
  ASSERT_TRUE(parts.Refresh());
  EXPECT_TRUE(parts.Bof());
  EXPECT_TRUE(parts.Eof());
  EXPECT_EQ(parts.RecNo(), 0);
  EXPECT_TRUE(parts.IsEmpty());
  EXPECT_TRUE(parts.FindField("name")->IsNull());
}

TEST_F(DataSetTest, EditPostAndCancelGoThroughTheDatabase) {
  TDataSet parts(db_, "parts");
  TDataSource source;
  source.SetDataSet(&parts);
  RecordingLink link;
  link.SetDataSource(&source);
  ASSERT_TRUE(parts.Open());
  EXPECT_EQ(link.events, (std::vector<std::string>{"active", "dataset"}));
  link.events.clear();

  TField* name = parts.FindField("name");
  EXPECT_FALSE(name->SetAsString("X"));  // not in edit state
  ASSERT_TRUE(parts.Edit());
  EXPECT_EQ(parts.State(), dsEdit);
  EXPECT_TRUE(link.Editing());
  ASSERT_TRUE(name->SetAsString("AT89C52"));
  EXPECT_TRUE(parts.Modified());
  parts.Cancel();
  EXPECT_EQ(parts.State(), dsBrowse);
  EXPECT_EQ(name->AsString(), "AT89C51");
  EXPECT_EQ(Stored("SELECT name FROM parts WHERE rowid = 1").toString(), "AT89C51");
  EXPECT_EQ(link.events,
            (std::vector<std::string>{"editing", "record name", "browsing", "dataset"}));

  ASSERT_TRUE(parts.Edit());
  ASSERT_TRUE(name->SetAsString("AT89C52"));
  ASSERT_TRUE(parts.FindField("eeprom")->SetAsBoolean(true));
  ASSERT_TRUE(parts.FindField("volts")->SetAsString("4.5"));
  EXPECT_FALSE(parts.FindField("pins")->SetAsString("forty"));
  ASSERT_TRUE(parts.Post());
  EXPECT_EQ(parts.State(), dsBrowse);
  EXPECT_EQ(Stored("SELECT name FROM parts WHERE rowid = 1").toString(), "AT89C52");
  EXPECT_EQ(Stored("SELECT eeprom FROM parts WHERE rowid = 1").toInt(), 1);
  EXPECT_DOUBLE_EQ(Stored("SELECT volts FROM parts WHERE rowid = 1").toDouble(), 4.5);
  EXPECT_EQ(Stored("SELECT pins FROM parts WHERE rowid = 1").toInt(), 40);
  EXPECT_EQ(parts.FindField("eeprom")->AsString(), "True");

  // A move while editing posts the change first.
  parts.Edit();
  name->SetAsString("AT89C55");
  parts.Next();
  EXPECT_EQ(parts.State(), dsBrowse);
  EXPECT_EQ(Stored("SELECT name FROM parts WHERE rowid = 1").toString(), "AT89C55");
}

TEST_F(DataSetTest, InsertAndDeleteKeepPositionAndCount) {
  TDataSet parts(db_, "parts");
  ASSERT_TRUE(parts.Open());
  parts.SetRecNo(2);
  ASSERT_TRUE(parts.Insert());
  EXPECT_EQ(parts.State(), dsInsert);
  EXPECT_EQ(parts.RecNo(), -1);
  EXPECT_EQ(parts.RecordCount(), 4);
  EXPECT_TRUE(parts.FindField("name")->IsNull());
  parts.Cancel();
  EXPECT_EQ(parts.RecordCount(), 4);
  EXPECT_EQ(parts.FindField("name")->AsString(), "PIC16F84A");

  ASSERT_TRUE(parts.Insert());
  parts.FindField("name")->SetAsString("27C256");
  parts.FindField("pins")->SetAsString("28");
  ASSERT_TRUE(parts.Post());
  EXPECT_EQ(parts.RecordCount(), 5);
  EXPECT_EQ(parts.RecNo(), 2);
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts").toInt(), 5);
  // The table's default came back with the written record.
  EXPECT_EQ(parts.FindField("note")->AsString(), "new");

  ASSERT_TRUE(parts.Delete());
  EXPECT_EQ(parts.RecordCount(), 4);
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts WHERE name = '27C256'").toInt(), 0);
  EXPECT_EQ(parts.FindField("name")->AsString(), "PIC16F84A");
  parts.Last();
  ASSERT_TRUE(parts.Delete());
  EXPECT_EQ(parts.FindField("name")->AsString(), "W27C512");
  EXPECT_FALSE(parts.Eof());

  // Edit of an empty data set inserts.
  Exec(db_, "DELETE FROM parts");
  parts.Refresh();
  QString heard;
  parts.OnError = [&](const QString& message) { heard = message; };
  EXPECT_FALSE(parts.Delete());
  EXPECT_FALSE(heard.isEmpty());
  ASSERT_TRUE(parts.Edit());
  EXPECT_EQ(parts.State(), dsInsert);
}

TEST_F(DataSetTest, ReadOnlyDataSetRefusesChanges) {
  TDataSet parts(db_, "parts");
  parts.ReadOnly = true;
  ASSERT_TRUE(parts.Open());
  EXPECT_FALSE(parts.CanModify());
  EXPECT_FALSE(parts.Edit());
  EXPECT_FALSE(parts.Insert());
  EXPECT_FALSE(parts.Delete());
  EXPECT_EQ(parts.State(), dsBrowse);
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts").toInt(), 4);
}

TEST_F(DataSetTest, LookupFieldReadsAndWritesThroughItsKey) {
  TDataSet makers(db_, "makers");
  TDataSet parts(db_, "parts");
  TField* maker = parts.AddLookupField("maker_name", "maker", &makers, "id", "name");
  ASSERT_TRUE(makers.Open());
  ASSERT_TRUE(parts.Open());
  EXPECT_EQ(parts.FindField("maker_name"), maker);
  EXPECT_EQ(maker->FieldKind(), fkLookup);
  EXPECT_EQ(maker->AsString(), "Atmel");
  parts.Next();
  EXPECT_EQ(maker->AsString(), "Microchip");
  EXPECT_EQ(makers.Lookup("name", "Winbond", "id").toInt(), 3);
  EXPECT_TRUE(makers.Lookup("name", "Nobody", "id").isNull());

  TDataSource source;
  source.SetDataSet(&parts);
  RecordingLink link;
  link.SetDataSource(&source);
  link.events.clear();
  ASSERT_TRUE(parts.Edit());
  ASSERT_TRUE(maker->SetAsString("Winbond"));
  EXPECT_EQ(parts.FindField("maker")->AsInteger(), 3);
  EXPECT_EQ(link.events,
            (std::vector<std::string>{"editing", "record maker", "record maker_name"}));
  EXPECT_FALSE(maker->SetAsString("Nobody"));
  EXPECT_EQ(parts.FindField("maker")->AsInteger(), 3);
  ASSERT_TRUE(parts.Post());
  EXPECT_EQ(Stored("SELECT maker FROM parts WHERE rowid = 2").toInt(), 3);
  // A lookup data set that is closed answers nothing.
  makers.Close();
  EXPECT_TRUE(maker->IsNull());
}

TEST_F(DataSetTest, FieldLinkWritesTheControlsValueBeforePostAndResets) {
  TDataSet parts(db_, "parts");
  TDataSource source;
  source.SetDataSet(&parts);
  TFieldDataLink link;
  QString shown, control;
  int changes = 0;
  link.OnDataChange = [&] {
    ++changes;
    shown = link.Field() ? link.Field()->AsString() : QString();
  };
  link.OnUpdateData = [&] { link.Field()->SetAsString(control); };
  link.SetDataSource(&source);
  link.SetFieldName("name");
  EXPECT_EQ(link.Field(), nullptr);
  ASSERT_TRUE(parts.Open());
  EXPECT_EQ(shown, "AT89C51");
  EXPECT_TRUE(link.CanModify());
  link.ReadOnly = true;
  EXPECT_FALSE(link.Edit());
  link.ReadOnly = false;

  // The control's typing: edit, mark modified; the post writes it.
  ASSERT_TRUE(link.Edit());
  control = "AT89S51";
  link.Modified();
  ASSERT_TRUE(parts.Post());
  EXPECT_EQ(Stored("SELECT name FROM parts WHERE rowid = 1").toString(), "AT89S51");
  EXPECT_EQ(shown, "AT89S51");

  // Reset drops the control's change.
  link.Edit();
  control = "junk";
  link.Modified();
  link.Reset();
  EXPECT_FALSE(link.IsModified());
  EXPECT_EQ(shown, "AT89S51");
  parts.Cancel();

  // Disabling the source or closing the data set leaves the link without a field.
  source.SetEnabled(false);
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(link.Field(), nullptr);
  EXPECT_EQ(shown, "");
  source.SetEnabled(true);
  EXPECT_EQ(shown, "AT89S51");
  parts.Close();
  EXPECT_EQ(shown, "");
}

// The database refuses the record: the failure is heard and the edit stays pending.
TEST_F(DataSetTest, FailedPostIsReportedAndKeepsTheEdit) {
  TDataSet parts(db_, "parts");
  std::vector<QString> heard;
  parts.OnError = [&](const QString& message) { heard.push_back(message); };
  ASSERT_TRUE(parts.Open());

  struct Case {
    const char* what;
    TDataSetState state;
  };
  for (const Case& c : {Case{"edit", dsEdit}, Case{"insert", dsInsert}}) {
    SCOPED_TRACE(c.what);
    heard.clear();
    ASSERT_TRUE(c.state == dsEdit ? parts.Edit() : parts.Insert());
    parts.FindField("name")->SetAsString("");  // null: NOT NULL refuses it
    parts.FindField("pins")->SetAsString("8");
    EXPECT_FALSE(parts.Post());
    EXPECT_EQ(parts.State(), c.state);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_TRUE(heard[0].contains("NOT NULL", Qt::CaseInsensitive)) << heard[0].toStdString();
    EXPECT_EQ(parts.FindField("pins")->AsString(), "8");
    // A move would post: it fails too and the record stays where it is.
    EXPECT_FALSE(parts.Next());
    EXPECT_EQ(parts.State(), c.state);
    parts.FindField("name")->SetAsString("27C64");
    ASSERT_TRUE(parts.Post());
    EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts WHERE name = '27C64' AND pins = 8").toInt(),
              c.state == dsEdit ? 1 : 2);
  }

  // A control whose value its field refuses stops the post before the database sees it.
  TDataSource source;
  source.SetDataSet(&parts);
  TFieldDataLink link;
  link.SetDataSource(&source);
  link.SetFieldName("pins");
  link.OnUpdateData = [&] { link.Field()->SetAsString("eight"); };
  ASSERT_TRUE(link.Edit());
  link.Modified();
  heard.clear();
  EXPECT_FALSE(parts.Post());
  EXPECT_EQ(heard.size(), 1u);
  EXPECT_EQ(parts.State(), dsEdit);
  link.Modified();
  EXPECT_FALSE(parts.Next());
  EXPECT_EQ(parts.State(), dsEdit);
  link.SetDataSource(nullptr);
  parts.Cancel();

  // The CHECK constraint the same way.
  parts.Edit();
  parts.FindField("name")->SetValue(QString(""));
  EXPECT_FALSE(parts.Post());
  EXPECT_EQ(parts.State(), dsEdit);
  parts.Cancel();
}

TEST_F(DataSetTest, LockedDatabaseKeepsTheEditUntilItIsFree) {
  TDataSet parts(db_, "parts");
  QString heard;
  parts.OnError = [&](const QString& message) { heard = message; };
  ASSERT_TRUE(parts.Open());
  QSqlDatabase other = Connect();
  Exec(other, "BEGIN EXCLUSIVE");

  ASSERT_TRUE(parts.Edit());
  parts.FindField("name")->SetAsString("AT89C2051");
  EXPECT_FALSE(parts.Post());
  EXPECT_TRUE(heard.contains("locked")) << heard.toStdString();
  EXPECT_EQ(parts.State(), dsEdit);
  EXPECT_EQ(parts.FindField("name")->AsString(), "AT89C2051");
  heard.clear();
  EXPECT_FALSE(parts.Delete());
  EXPECT_FALSE(heard.isEmpty());

  Exec(other, "COMMIT");
  ASSERT_TRUE(parts.Post());
  EXPECT_EQ(Stored("SELECT name FROM parts WHERE rowid = 1").toString(), "AT89C2051");
}

TEST_F(DataSetTest, RefreshSeesOtherWritersAndStaysOnTheRecord) {
  TDataSet parts(db_, "parts");
  ASSERT_TRUE(parts.Open());
  parts.SetRecNo(3);
  Exec(db_, "DELETE FROM parts WHERE rowid = 1; UPDATE parts SET pins = 32 WHERE rowid = 3");
  ASSERT_TRUE(parts.Refresh());
  EXPECT_EQ(parts.RecordCount(), 3);
  EXPECT_EQ(parts.RecNo(), 2);
  EXPECT_EQ(parts.FindField("pins")->AsInteger(), 32);
}

TEST_F(DataSetTest, NamesAreQuoted) {
  Exec(db_,
       "CREATE TABLE \"odd \"\"name\" (\"a b\" TEXT); INSERT INTO \"odd \"\"name\" VALUES ('x')");
  TDataSet odd(db_, "odd \"name");
  ASSERT_TRUE(odd.Open());
  ASSERT_TRUE(odd.Edit());
  odd.FindField("a b")->SetAsString("y');DROP TABLE parts;--");
  ASSERT_TRUE(odd.Post());
  EXPECT_EQ(Stored("SELECT \"a b\" FROM \"odd \"\"name\"").toString(), "y');DROP TABLE parts;--");
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM parts").toInt(), 4);
}

}  // namespace dataset_test
}  // namespace zelvar
