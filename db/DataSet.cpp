#include "db/DataSet.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

namespace zelvar {

QString QuoteName(const QString& name) {
  QString quoted = name;
  quoted.replace('"', "\"\"");
  return '"' + quoted + '"';
}

namespace {

// The column's type from its declared SQL type, by SQLite's affinity rules, with BOOL first.
TFieldType TypeOfDeclared(const QString& declared) {
  const QString t = declared.toUpper();
  if (t.contains("BOOL")) return ftBoolean;
  if (t.contains("INT")) return ftInteger;
  if (t.contains("CHAR") || t.contains("CLOB") || t.contains("TEXT")) return ftString;
  if (t.contains("BLOB")) return ftBlob;
  if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB") || t.contains("NUM") ||
      t.contains("DEC"))
    return ftFloat;
  return ftString;
}

QString ErrorText(const QSqlQuery& query) {
  const QSqlError error = query.lastError();
  return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

}  // namespace

// ---- TField -------------------------------------------------------------------------------

TField::TField(TDataSet* dataSet, QString name, TFieldType type, TFieldKind kind)
    : dataSet_(dataSet), name_(std::move(name)), type_(type), kind_(kind) {}

QVariant TField::Value() const {
  return dataSet_->CurrentValue(this);
}

QString TField::TextOf(const QVariant& value) const {
  if (value.isNull()) return {};
  if (type_ == ftBoolean) return value.toBool() ? "True" : "False";
  if (type_ == ftBlob) return value.toByteArray().isEmpty() ? QString() : QString("(BLOB)");
  return value.toString();
}

QString TField::AsString() const {
  return TextOf(Value());
}
bool TField::AsBoolean() const {
  return Value().toBool();
}
qint64 TField::AsInteger() const {
  return Value().toLongLong();
}
QByteArray TField::AsBytes() const {
  return Value().toByteArray();
}

bool TField::CanModify() const {
  if (ReadOnly || !dataSet_->CanModify()) return false;
  if (kind_ == fkLookup) {
    const TField* key = dataSet_->FindField(KeyFields);
    return key && key->CanModify() && LookupDataSet && LookupDataSet->Active();
  }
  return true;
}

bool TField::SetValue(const QVariant& value) {
  return dataSet_->SetFieldValue(this, value);
}

bool TField::SetAsString(const QString& text) {
  if (text.isEmpty()) return SetValue(QVariant());
  bool ok = true;
  switch (type_) {
    case ftInteger: {
      const qlonglong v = text.trimmed().toLongLong(&ok);
      if (ok) return SetValue(v);
      break;
    }
    case ftFloat: {
      const double v = text.trimmed().toDouble(&ok);
      if (ok) return SetValue(v);
      break;
    }
    case ftBoolean: {
      const QString t = text.trimmed();
      if (t.compare("True", Qt::CaseInsensitive) == 0) return SetValue(true);
      if (t.compare("False", Qt::CaseInsensitive) == 0) return SetValue(false);
      ok = false;
      break;
    }
    default:
      return SetValue(text);
  }
  return dataSet_->Fail(QString("'%1' is not a valid value for field '%2'").arg(text, name_));
}

// ---- TDataLink ----------------------------------------------------------------------------

TDataLink::~TDataLink() {
  SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_) std::erase(source_->links_, this);
  source_ = source;
  if (source_) source_->links_.push_back(this);
  StateChanged();
}

TDataSet* TDataLink::DataSet() const {
  return source_ ? source_->DataSet() : nullptr;
}

bool TDataLink::Active() const {
  return source_ && source_->State() != dsInactive;
}

bool TDataLink::Editing() const {
  const TDataSetState s = source_ ? source_->State() : dsInactive;
  return s == dsEdit || s == dsInsert;
}

bool TDataLink::Edit() {
  if (!ReadOnly && Active() && !Editing()) DataSet()->Edit();
  return Editing();
}

void TDataLink::StateChanged() {
  const bool active = Active();
  const bool editing = Editing();
  if (active != active_) {
    active_ = active;
    editing_ = editing;
    ActiveChanged();
    if (active) DataSetChanged();
    return;
  }
  if (editing != editing_) {
    editing_ = editing;
    EditingChanged();
  }
}

// ---- TFieldDataLink -----------------------------------------------------------------------

void TFieldDataLink::SetFieldName(const QString& name) {
  if (name == fieldName_) return;
  fieldName_ = name;
  modified_ = false;
  if (OnDataChange) OnDataChange();
}

TField* TFieldDataLink::Field() const {
  return Active() && !fieldName_.isEmpty() ? DataSet()->FindField(fieldName_) : nullptr;
}

bool TFieldDataLink::CanModify() const {
  const TField* field = Field();
  return !ReadOnly && field && field->CanModify();
}

bool TFieldDataLink::Edit() {
  return CanModify() && TDataLink::Edit();
}

void TFieldDataLink::Reset() {
  RecordChanged(nullptr);
}

void TFieldDataLink::ActiveChanged() {
  modified_ = false;
  if (OnActiveChange) OnActiveChange();
  if (OnDataChange) OnDataChange();
}

void TFieldDataLink::EditingChanged() {
  if (OnEditingChange) OnEditingChange();
}

void TFieldDataLink::RecordChanged(TField* field) {
  if (field && field != Field()) return;
  modified_ = false;
  if (OnDataChange) OnDataChange();
}

void TFieldDataLink::UpdateData() {
  if (!modified_) return;
  modified_ = false;
  if (OnUpdateData) OnUpdateData();
}

// ---- TDataSource --------------------------------------------------------------------------

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) std::erase(dataSet_->sources_, this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->sources_.push_back(this);
  Notify(StateChange);
}

void TDataSource::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(StateChange);
}

TDataSetState TDataSource::State() const {
  return dataSet_ && enabled_ ? dataSet_->State() : dsInactive;
}

void TDataSource::Notify(Event event, TField* field) {
  if (!enabled_ && event != StateChange) return;
  // A link may detach itself or others while it is told; tell those still attached.
  for (TDataLink* link : std::vector<TDataLink*>(links_)) {
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) continue;
    switch (event) {
      case StateChange:
        link->StateChanged();
        break;
      case DataSetChange:
        if (link->Active()) link->DataSetChanged();
        break;
      case RecordChange:
        if (link->Active()) link->RecordChanged(field);
        break;
      case UpdateRecord:
        if (link->Active()) link->UpdateData();
        break;
    }
  }
}

// ---- TDataSet -----------------------------------------------------------------------------

TDataSet::TDataSet(const QSqlDatabase& database, const QString& table)
    : db_(database), table_(table) {}

TDataSet::~TDataSet() {
  for (TDataSource* source : std::vector<TDataSource*>(sources_)) source->SetDataSet(nullptr);
}

bool TDataSet::Fail(const QString& message) {
  ++failures_;
  lastError_ = message;
  if (OnError) OnError(message);
  return false;
}

bool TDataSet::CheckActive() {
  return Active() || Fail("Cannot perform this operation on a closed dataset");
}

QString TDataSet::SelectList() const {
  QString list = "rowid";
  for (const auto& field : fields_) list += ", " + QuoteName(field->FieldName());
  return list;
}

bool TDataSet::ReadRows(std::vector<Row>& rows) {
  QSqlQuery query(db_);
  QString sql = "SELECT " + SelectList() + " FROM " + QuoteName(table_);
  sql += OrderBy.isEmpty() ? QString(" ORDER BY rowid") : " ORDER BY " + OrderBy;
  if (!query.exec(sql)) return Fail(ErrorText(query));
  rows.clear();
  while (query.next()) {
    Row row;
    row.rowid = query.value(0).toLongLong();
    for (size_t i = 0; i < fields_.size(); ++i) row.values.push_back(query.value(int(i) + 1));
    rows.push_back(std::move(row));
  }
  return true;
}

bool TDataSet::ReadRow(qint64 rowid, Row& row) {
  QSqlQuery query(db_);
  query.prepare("SELECT " + SelectList() + " FROM " + QuoteName(table_) + " WHERE rowid = ?");
  query.addBindValue(rowid);
  if (!query.exec()) return Fail(ErrorText(query));
  if (!query.next()) return Fail("Record not found");
  row.rowid = rowid;
  row.values.clear();
  for (size_t i = 0; i < fields_.size(); ++i) row.values.push_back(query.value(int(i) + 1));
  return true;
}

bool TDataSet::Open() {
  if (Active()) return true;
  if (!db_.isOpen()) return Fail("The database is not open");
  QSqlQuery info(db_);
  if (!info.exec("PRAGMA table_info(" + QuoteName(table_) + ")")) return Fail(ErrorText(info));
  fields_.clear();
  while (info.next()) {
    auto field = std::make_unique<TField>(this, info.value(1).toString(),
                                          TypeOfDeclared(info.value(2).toString()), fkData);
    field->Required = info.value(3).toInt() != 0;
    field->column_ = static_cast<int>(fields_.size());
    fields_.push_back(std::move(field));
  }
  if (fields_.empty()) return Fail(QString("Table '%1' not found").arg(table_));
  if (!ReadRows(rows_)) {
    fields_.clear();
    return false;
  }
  current_ = rows_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = rows_.empty();
  modified_ = false;
  SetState(dsBrowse);
  return true;
}

void TDataSet::Close() {
  if (!Active()) return;
  SetState(dsInactive);
  rows_.clear();
  fields_.clear();
  current_ = -1;
  bof_ = eof_ = true;
}

void TDataSet::SetState(TDataSetState state) {
  if (state == state_) return;
  state_ = state;
  Notify(TDataSource::StateChange);
}

void TDataSet::Notify(TDataSource::Event event, TField* field) {
  for (TDataSource* source : std::vector<TDataSource*>(sources_)) source->Notify(event, field);
}

bool TDataSet::CheckBrowseMode() {
  if (!CheckActive()) return false;
  if (state_ != dsEdit && state_ != dsInsert) return true;
  const int failures = failures_;
  Notify(TDataSource::UpdateRecord);
  if (failures_ != failures) return false;
  if (modified_) return Post();
  Cancel();
  return true;
}

bool TDataSet::First() {
  if (!CheckBrowseMode()) return false;
  current_ = rows_.empty() ? -1 : 0;
  bof_ = true;
  eof_ = rows_.empty();
  Notify(TDataSource::DataSetChange);
  return true;
}

bool TDataSet::Last() {
  if (!CheckBrowseMode()) return false;
  current_ = static_cast<int>(rows_.size()) - 1;
  eof_ = true;
  bof_ = rows_.empty();
  Notify(TDataSource::DataSetChange);
  return true;
}

bool TDataSet::MoveBy(int distance) {
  if (!CheckBrowseMode()) return false;
  const int count = static_cast<int>(rows_.size());
  if (count == 0) return true;
  const int target = current_ + distance;
  bof_ = target < 0 || (bof_ && distance == 0);
  eof_ = target >= count || (eof_ && distance == 0);
  current_ = std::clamp(target, 0, count - 1);
  Notify(TDataSource::DataSetChange);
  return true;
}

bool TDataSet::Next() {
  return MoveBy(1);
}
bool TDataSet::Prior() {
  return MoveBy(-1);
}

int TDataSet::RecNo() const {
  if (state_ == dsInsert) return -1;
  return current_ + 1;
}

bool TDataSet::SetRecNo(int recNo) {
  if (!CheckBrowseMode()) return false;
  if (rows_.empty()) return true;
  current_ = std::clamp(recNo, 1, static_cast<int>(rows_.size())) - 1;
  bof_ = eof_ = false;
  Notify(TDataSource::DataSetChange);
  return true;
}

int TDataSet::RecordCount() const {
  int count = static_cast<int>(rows_.size());
  if (state_ == dsInsert) --count;  // the pending record is not one yet
  return count;
}

bool TDataSet::Locate(const QString& fieldName, const QVariant& value) {
  const TField* field = FindField(fieldName);
  if (!field || field->FieldKind() != fkData || !CheckBrowseMode()) return false;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].values[field->column_] == value) {
      current_ = static_cast<int>(i);
      bof_ = eof_ = false;
      Notify(TDataSource::DataSetChange);
      return true;
    }
  }
  return false;
}

bool TDataSet::Insert() {
  if (!CheckBrowseMode()) return false;
  if (!CanModify()) return Fail("Cannot modify a read-only dataset");
  if (current_ < 0) current_ = 0;
  buffer_ = Row{0, std::vector<QVariant>(fields_.size())};
  rows_.insert(rows_.begin() + current_, buffer_);
  bof_ = eof_ = false;
  modified_ = false;
  SetState(dsInsert);
  Notify(TDataSource::DataSetChange);
  return true;
}

bool TDataSet::Append() {
  if (!CheckBrowseMode()) return false;
  current_ = static_cast<int>(rows_.size());
  return Insert();
}

bool TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return true;
  if (!CheckActive()) return false;
  if (!CanModify()) return Fail("Cannot modify a read-only dataset");
  if (rows_.empty()) return Insert();
  buffer_ = rows_[current_];
  modified_ = false;
  SetState(dsEdit);
  return true;
}

bool TDataSet::Post() {
  if (!CheckActive()) return false;
  if (state_ != dsEdit && state_ != dsInsert) return true;
  const int failures = failures_;
  Notify(TDataSource::UpdateRecord);
  if (failures_ != failures) return false;  // a control's value was refused, and said so
  QSqlQuery query(db_);
  if (state_ == dsEdit) {
    QStringList sets;
    for (const auto& field : fields_) sets << QuoteName(field->FieldName()) + " = ?";
    query.prepare("UPDATE " + QuoteName(table_) + " SET " + sets.join(", ") + " WHERE rowid = ?");
    for (const QVariant& value : buffer_.values) query.addBindValue(value);
    query.addBindValue(buffer_.rowid);
  } else {
    // Null columns are left out so that the table's defaults apply.
    QStringList names, marks;
    for (const auto& field : fields_) {
      if (buffer_.values[field->column_].isNull()) continue;
      names << QuoteName(field->FieldName());
      marks << "?";
    }
    query.prepare(names.isEmpty() ? "INSERT INTO " + QuoteName(table_) + " DEFAULT VALUES"
                                  : "INSERT INTO " + QuoteName(table_) + " (" + names.join(", ") +
                                        ") VALUES (" + marks.join(", ") + ")");
    for (const QVariant& value : buffer_.values)
      if (!value.isNull()) query.addBindValue(value);
  }
  // The database refused the record: say so and keep it pending, so the user can mend it.
  if (!query.exec()) return Fail(ErrorText(query));
  const qint64 rowid = state_ == dsEdit ? buffer_.rowid : query.lastInsertId().toLongLong();
  Row written;
  if (ReadRow(rowid, written))
    rows_[current_] = std::move(written);
  else
    rows_[current_] = Row{rowid, buffer_.values};
  modified_ = false;
  SetState(dsBrowse);
  Notify(TDataSource::DataSetChange);
  return true;
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  if (state_ == dsInsert) {
    rows_.erase(rows_.begin() + current_);
    if (current_ >= static_cast<int>(rows_.size())) current_ = static_cast<int>(rows_.size()) - 1;
    bof_ = eof_ = rows_.empty();
  }
  modified_ = false;
  SetState(dsBrowse);
  Notify(TDataSource::DataSetChange);
}

bool TDataSet::Delete() {
  if (!CheckActive()) return false;
  if (state_ == dsInsert) {
    Cancel();
    return true;
  }
  if (rows_.empty()) return Fail("Cannot perform this operation on an empty dataset");
  if (!CanModify()) return Fail("Cannot modify a read-only dataset");
  QSqlQuery query(db_);
  query.prepare("DELETE FROM " + QuoteName(table_) + " WHERE rowid = ?");
  query.addBindValue(rows_[current_].rowid);
  if (!query.exec()) return Fail(ErrorText(query));
  if (state_ == dsEdit) SetState(dsBrowse);
  modified_ = false;
  rows_.erase(rows_.begin() + current_);
  if (current_ >= static_cast<int>(rows_.size())) current_ = static_cast<int>(rows_.size()) - 1;
  bof_ = eof_ = rows_.empty();
  Notify(TDataSource::DataSetChange);
  return true;
}

bool TDataSet::Refresh() {
  if (!CheckBrowseMode()) return false;
  const qint64 rowid = current_ >= 0 ? rows_[current_].rowid : 0;
  std::vector<Row> rows;
  if (!ReadRows(rows)) return false;
  rows_ = std::move(rows);
  current_ = rows_.empty() ? -1 : std::min(current_, static_cast<int>(rows_.size()) - 1);
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].rowid == rowid) current_ = static_cast<int>(i);
  bof_ = eof_ = rows_.empty();
  Notify(TDataSource::DataSetChange);
  return true;
}

TField* TDataSet::Fields(int index) const {
  const int data = static_cast<int>(fields_.size());
  return index < data ? fields_.at(index).get() : lookups_.at(index - data).get();
}

TField* TDataSet::FindField(const QString& name) const {
  for (int i = 0; i < FieldCount(); ++i)
    if (Fields(i)->FieldName().compare(name, Qt::CaseInsensitive) == 0) return Fields(i);
  return nullptr;
}

TField* TDataSet::AddLookupField(const QString& name, const QString& keyField,
                                 TDataSet* lookupDataSet, const QString& lookupKeyField,
                                 const QString& lookupResultField) {
  auto field = std::make_unique<TField>(this, name, ftString, fkLookup);
  field->KeyFields = keyField;
  field->LookupDataSet = lookupDataSet;
  field->LookupKeyFields = lookupKeyField;
  field->LookupResultField = lookupResultField;
  lookups_.push_back(std::move(field));
  return lookups_.back().get();
}

QVariant TDataSet::Lookup(const QString& keyField, const QVariant& keyValue,
                          const QString& resultField) const {
  const TField* key = FindField(keyField);
  const TField* result = FindField(resultField);
  if (!key || !result || keyValue.isNull()) return {};
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i)
    if (ValueAt(i, key) == keyValue) return ValueAt(i, result);
  return {};
}

QVariant TDataSet::ValueAt(int index, const TField* field) const {
  if (!Active() || index < 0 || index >= static_cast<int>(rows_.size()) || !field) return {};
  if (field->FieldKind() == fkLookup) {
    const TField* key = FindField(field->KeyFields);
    if (!key || !field->LookupDataSet || key->FieldKind() != fkData) return {};
    return field->LookupDataSet->Lookup(field->LookupKeyFields, ValueAt(index, key),
                                        field->LookupResultField);
  }
  const bool pending = (state_ == dsEdit || state_ == dsInsert) && index == current_;
  return (pending ? buffer_ : rows_[index]).values[field->column_];
}

QVariant TDataSet::CurrentValue(const TField* field) const {
  return ValueAt(current_, field);
}

bool TDataSet::SetFieldValue(TField* field, const QVariant& value) {
  if (state_ != dsEdit && state_ != dsInsert) return Fail("Dataset not in edit or insert mode");
  if (!field->CanModify())
    return Fail(QString("Field '%1' cannot be modified").arg(field->FieldName()));
  if (field->FieldKind() == fkLookup) {
    TField* key = FindField(field->KeyFields);
    const QVariant keyValue =
        value.isNull()
            ? QVariant()
            : field->LookupDataSet->Lookup(field->LookupResultField, value, field->LookupKeyFields);
    if (!value.isNull() && keyValue.isNull())
      return Fail(
          QString("'%1' is not a value of field '%2'").arg(value.toString(), field->FieldName()));
    return SetFieldValue(key, keyValue);
  }
  QVariant stored = value;
  if (field->DataType() == ftBoolean && !value.isNull()) stored = value.toBool() ? 1 : 0;
  buffer_.values[field->column_] = stored;
  if (state_ == dsInsert || current_ >= 0) modified_ = true;
  DataFieldChanged(field);
  return true;
}

void TDataSet::DataFieldChanged(TField* field) {
  Notify(TDataSource::RecordChange, field);
  for (const auto& lookup : lookups_)
    if (lookup->KeyFields.compare(field->FieldName(), Qt::CaseInsensitive) == 0)
      Notify(TDataSource::RecordChange, lookup.get());
}

}  // namespace zelvar
