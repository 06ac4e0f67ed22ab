#pragma once
// A thin data-set layer over Qt SQL (the SQLite driver): a data set over one table, the fields of
// its columns and lookup fields, data sources and the data links through which controls follow
// and edit the current record. Non-GUI: the data-aware controls in skin/ are built on it.
//
// The data set reads the table's rows (with their rowid as the key) when it opens and on
// Refresh; Post and Delete write through to the database at once. A write that fails (a
// constraint, a locked database) is reported through OnError and leaves the state as it was, so
// an edit is never dropped silently.
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace zelvar {

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum TFieldType { ftString, ftInteger, ftFloat, ftBoolean, ftBlob };
enum TFieldKind { fkData, fkLookup };

class TDataSet;
class TDataSource;

// A column of the table (fkData) or a value looked up in another data set by a key column of
// this one (fkLookup). A Boolean field reads "True" and "False" as text.
class TField {
 public:
  TField(TDataSet* dataSet, QString name, TFieldType type, TFieldKind kind);
  const QString& FieldName() const { return name_; }
  TFieldType DataType() const { return type_; }
  TFieldKind FieldKind() const { return kind_; }
  TDataSet* DataSet() const { return dataSet_; }
  bool ReadOnly = false;
  bool Required = false;  // NOT NULL in the table

  QVariant Value() const;
  bool IsNull() const { return Value().isNull(); }
  QString AsString() const;
  bool AsBoolean() const;
  qint64 AsInteger() const;
  QByteArray AsBytes() const;
  // The value as text, as a grid shows it.
  QString TextOf(const QVariant& value) const;
  // Each needs the data set in edit or insert state; false (with the data set's error reported)
  // when it is not, when the field cannot be modified, or for text that is no value of the
  // field's type. Empty text writes null. A lookup field writes its key field with the key of
  // the first lookup record whose result equals the value.
  bool SetValue(const QVariant& value);
  bool SetAsString(const QString& text);
  bool SetAsBoolean(bool value) { return SetValue(value); }
  bool CanModify() const;

  // Lookup fields: KeyFields names a field of this data set whose value is searched for in
  // LookupKeyFields of LookupDataSet; the field reads that record's LookupResultField.
  QString KeyFields;
  TDataSet* LookupDataSet = nullptr;
  QString LookupKeyFields;
  QString LookupResultField;

 private:
  friend class TDataSet;
  TDataSet* dataSet_;
  QString name_;
  TFieldType type_;
  TFieldKind kind_;
  int column_ = -1;  // the column in a record for data fields
};

// Something notified by a data source of its data set's changes. The defaults do nothing, but
// DataSetChanged reports the whole record changed.
class TDataLink {
 public:
  TDataLink() = default;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;
  virtual ~TDataLink();

  void SetDataSource(TDataSource* source);
  TDataSource* DataSource() const { return source_; }
  TDataSet* DataSet() const;
  // The source is enabled and its data set open.
  bool Active() const;
  // The data set is in edit or insert state.
  bool Editing() const;
  bool ReadOnly = false;
  // Puts the data set into edit state when it is not editing yet; whether it is editing.
  bool Edit();
  // Asks the link to write what its control holds into the record now.
  void UpdateRecord() { UpdateData(); }

 protected:
  virtual void ActiveChanged() {}
  virtual void EditingChanged() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  // A field's value changed; null: the whole record (another record, a cancel, a refresh).
  virtual void RecordChanged(TField*) {}
  virtual void UpdateData() {}

 private:
  friend class TDataSource;
  void StateChanged();
  TDataSource* source_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
};

// The link a control of one field uses: it re-reads the field on every change of the record and
// writes it back (OnUpdateData) when the control has been modified.
class TFieldDataLink : public TDataLink {
 public:
  void SetFieldName(const QString& name);
  const QString& FieldName() const { return fieldName_; }
  // The field by name while the data set is open, else none.
  TField* Field() const;
  // Not read-only, with a field that can be modified.
  bool CanModify() const;
  bool Edit();
  // The control's value differs from the field's.
  void Modified() { modified_ = true; }
  bool IsModified() const { return modified_; }
  // Shows the field's value again, dropping the control's change.
  void Reset();

  std::function<void()> OnDataChange;
  std::function<void()> OnEditingChange;
  std::function<void()> OnUpdateData;
  std::function<void()> OnActiveChange;

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void RecordChanged(TField* field) override;
  void UpdateData() override;

 private:
  QString fieldName_;
  bool modified_ = false;
};

// Joins data links to a data set.
class TDataSource {
 public:
  TDataSource() = default;
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;
  ~TDataSource();
  void SetDataSet(TDataSet* dataSet);
  TDataSet* DataSet() const { return dataSet_; }
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  // The data set's state; inactive without a data set or while disabled.
  TDataSetState State() const;

 private:
  friend class TDataSet;
  friend class TDataLink;
  enum Event { StateChange, DataSetChange, RecordChange, UpdateRecord };
  void Notify(Event event, TField* field = nullptr);
  TDataSet* dataSet_ = nullptr;
  bool enabled_ = true;
  std::vector<TDataLink*> links_;
};

class TDataSet {
 public:
  // `table` of `database`; the rows in rowid order unless OrderBy names columns.
  TDataSet(const QSqlDatabase& database, const QString& table);
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;
  ~TDataSet();

  QString OrderBy;
  bool ReadOnly = false;

  bool Open();
  void Close();
  bool Active() const { return state_ != dsInactive; }
  TDataSetState State() const { return state_; }

  // Moves post (or cancel, when nothing changed) a pending edit first; a failed post stops them.
  bool First();
  bool Prior();
  bool Next();
  bool Last();
  bool MoveBy(int distance);
  // The record number, 1-based; 0 when empty, -1 while inserting.
  int RecNo() const;
  bool SetRecNo(int recNo);
  int RecordCount() const;
  // The current record's index among the rows a grid shows (a pending insert counted); -1 when
  // there is none.
  int CurrentIndex() const { return current_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return RecordCount() == 0; }
  bool CanModify() const { return Active() && !ReadOnly; }
  // A field value was set since Edit or Insert.
  bool Modified() const { return modified_; }

  // A new record before the current one; Edit of an empty data set inserts.
  bool Insert();
  bool Append();
  bool Edit();
  // Writes the pending record; false, reported, and the state kept, when the database refuses
  // it or a control could not write its value into a field first.
  bool Post();
  void Cancel();
  // Deletes the current record (cancels an insert).
  bool Delete();
  // Reads the rows again, staying on the current record when it is still there.
  bool Refresh();
  // Makes the first record whose field equals the value current.
  bool Locate(const QString& fieldName, const QVariant& value);

  // The data fields, then the lookup fields.
  int FieldCount() const { return static_cast<int>(fields_.size() + lookups_.size()); }
  TField* Fields(int index) const;
  TField* FindField(const QString& name) const;
  // A lookup field, kept over Close and Open.
  TField* AddLookupField(const QString& name, const QString& keyField, TDataSet* lookupDataSet,
                         const QString& lookupKeyField, const QString& lookupResultField);
  // The result field of the first record whose key field equals the value; null when none.
  QVariant Lookup(const QString& keyField, const QVariant& keyValue,
                  const QString& resultField) const;
  // A field's value in record `index` (0-based) without moving; the pending values for the
  // current record while editing.
  QVariant ValueAt(int index, const TField* field) const;

  // The last failure's text, and who hears of failures (a control shows them to the user).
  const QString& LastError() const { return lastError_; }
  std::function<void(const QString&)> OnError;

 private:
  friend class TField;
  friend class TDataSource;
  struct Row {
    qint64 rowid = 0;  // 0: not written yet
    std::vector<QVariant> values;
  };
  bool Fail(const QString& message);
  bool CheckActive();
  bool CheckBrowseMode();
  bool ReadRows(std::vector<Row>& rows);
  bool ReadRow(qint64 rowid, Row& row);
  QString SelectList() const;
  QVariant CurrentValue(const TField* field) const;
  bool SetFieldValue(TField* field, const QVariant& value);
  void SetState(TDataSetState state);
  void Notify(TDataSource::Event event, TField* field = nullptr);
  void DataFieldChanged(TField* field);

  QSqlDatabase db_;
  QString table_;
  TDataSetState state_ = dsInactive;
  std::vector<std::unique_ptr<TField>> fields_;  // made by Open
  std::vector<std::unique_ptr<TField>> lookups_;
  std::vector<Row> rows_;
  int current_ = -1;
  Row buffer_;  // the pending values while editing or inserting
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;
  QString lastError_;
  int failures_ = 0;  // counts Fail, so that a post sees a field its links could not write
  std::vector<TDataSource*> sources_;
};

// Quotes an SQL identifier.
QString QuoteName(const QString& name);

}  // namespace zelvar
