#include "skin/Suidbctrls.h"

#include <QBuffer>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include "skin/Suiattach.h"
#include "skin/Suidlg.h"
#include "skin/Suipictures.h"
#include "skin/Suipublic.h"
#include "skin/Suiscrollbar.h"

namespace zelvar {

void ReportDataError(QWidget* control, const QString& message) {
  TsuiMessageDialog box;
  box.Caption = "Error";
  box.Text = message;
  box.IconType = TsuiIconType::suiStop;
  if (const auto* styled = dynamic_cast<const TsuiStyled*>(control)) {
    box.SetUIStyle(styled->UIStyle());
    box.SetFileTheme(styled->FileTheme());
  }
  box.ShowModal();
}

// ---- TsuiDBFieldControl -------------------------------------------------------------------

TsuiDBFieldControl::~TsuiDBFieldControl() {
  link_.OnDataChange = nullptr;
  link_.OnUpdateData = nullptr;
  link_.OnEditingChange = nullptr;
  link_.SetDataSource(nullptr);
}

void TsuiDBFieldControl::Bind(QWidget* self) {
  self_ = self;
  link_.OnDataChange = [this] {
    loading_ = true;
    DataChange();
    loading_ = false;
  };
  link_.OnUpdateData = [this] { UpdateData(); };
  link_.OnEditingChange = [this] { EditingChange(); };
}

void TsuiDBFieldControl::SetReadOnly(bool readOnly) {
  link_.ReadOnly = readOnly;
  link_.Reset();
}

bool TsuiDBFieldControl::WriteBack() {
  if (!link_.IsModified()) return true;
  writeFailed_ = false;
  writingBack_ = true;
  link_.UpdateRecord();
  writingBack_ = false;
  return !writeFailed_;
}

void TsuiDBFieldControl::Leave() {
  if (WriteBack() || self_ == nullptr) return;
  QTimer::singleShot(0, self_, [self = self_] { self->setFocus(); });
}

bool TsuiDBFieldControl::SetFieldText(const QString& text) {
  TField* field = Field();
  if (field == nullptr) return false;
  if (field->AsString() == text) return true;
  return field->SetAsString(text) || Refused(field);
}

bool TsuiDBFieldControl::SetFieldValue(const QVariant& value) {
  TField* field = Field();
  if (field == nullptr) return false;
  return field->SetValue(value) || Refused(field);
}

bool TsuiDBFieldControl::Refused(TField* field) {
  // The value stays in the control, still to be written. A post or move that asked for it
  // stops and is reported by whoever started it.
  writeFailed_ = true;
  link_.Modified();
  if (writingBack_) ReportDataError(self_, field->DataSet()->LastError());
  return false;
}

namespace {

// Starts an edit for a change the user typed; the text typed survives an edit that began by
// inserting (an empty data set) and so re-read the field. False when the field cannot change.
template <typename Read, typename Write>
bool BeginEdit(TFieldDataLink& link, bool& loading, Read read, Write write) {
  const auto typed = read();
  if (!link.Edit()) {
    link.Reset();
    return false;
  }
  if (read() != typed) {
    loading = true;
    write(typed);
    loading = false;
  }
  link.Modified();
  return true;
}

}  // namespace

// ---- TsuiDBEdit and TsuiDBMemo ------------------------------------------------------------

TsuiDBEdit::TsuiDBEdit(QWidget* parent) : TsuiEdit(parent) {
  Bind(this);
  connect(this, &QLineEdit::textEdited, this, [this] {
    if (loading_) return;
    const int caret = cursorPosition();
    if (BeginEdit(
            link_, loading_, [this] { return text(); }, [this](const QString& t) { setText(t); }))
      setCursorPosition(caret);
  });
  DataChange();
}

void TsuiDBEdit::DataChange() {
  const TField* field = Field();
  setText(field != nullptr ? field->AsString() : QString());
  setReadOnly(!link_.CanModify());
}

void TsuiDBEdit::UpdateData() {
  SetFieldText(text());
}

void TsuiDBEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && link_.IsModified()) {
    link_.Reset();
    selectAll();
    return;
  }
  TsuiEdit::keyPressEvent(event);
}

void TsuiDBEdit::focusOutEvent(QFocusEvent* event) {
  TsuiEdit::focusOutEvent(event);
  Leave();
}

TsuiDBMemo::TsuiDBMemo(QWidget* parent) : TsuiMemo(parent) {
  Bind(this);
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (loading_) return;
    BeginEdit(
        link_, loading_, [this] { return toPlainText(); },
        [this](const QString& t) { setPlainText(t); });
  });
  DataChange();
}

void TsuiDBMemo::SetVScrollBar(TsuiScrollBar* bar) {
  TsuiMemo::SetVScrollBar(bar);
  UpdateScrollBarsPos();
}

void TsuiDBMemo::SetHScrollBar(TsuiScrollBar* bar) {
  TsuiMemo::SetHScrollBar(bar);
  UpdateScrollBarsPos();
}

void TsuiDBMemo::UpdateScrollBarsPos() {
  const QRect g = geometry();
  const bool rtl = layoutDirection() == Qt::RightToLeft;
  TsuiScrollBar* h = HScrollBar();
  TsuiScrollBar* v = VScrollBar();
  if (h != nullptr) {
    const int x = rtl && v != nullptr ? g.x() + v->width() + 1 : g.x() + 1;
    const int w = v != nullptr ? g.width() - 2 - v->width() : g.width() - 2;
    h->setGeometry(x, g.y() + g.height() - h->height() - 2, w, h->height());
  }
  if (v != nullptr) {
    const int x = rtl ? g.x() + 2 : g.x() + g.width() - v->width() - 2;
    const int height = h != nullptr ? g.height() - 2 - h->height() : g.height() - 2;
    v->setGeometry(x, g.y() + 1, v->width(), height);
  }
  Bars().UpdateScrollBars();
}

bool TsuiDBMemo::event(QEvent* event) {
  const bool result = TsuiMemo::event(event);
  const QEvent::Type type = event->type();
  if (type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show) UpdateScrollBarsPos();
  return result;
}

void TsuiDBMemo::DataChange() {
  const TField* field = Field();
  setPlainText(field != nullptr ? field->AsString() : QString());
  setReadOnly(!link_.CanModify());
}

void TsuiDBMemo::UpdateData() {
  SetFieldText(toPlainText());
}

void TsuiDBMemo::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && link_.IsModified()) {
    link_.Reset();
    return;
  }
  TsuiMemo::keyPressEvent(event);
}

void TsuiDBMemo::focusOutEvent(QFocusEvent* event) {
  TsuiMemo::focusOutEvent(event);
  Leave();
}

// ---- TsuiDBImage --------------------------------------------------------------------------

TsuiDBImage::TsuiDBImage(QWidget* parent) : QWidget(parent) {
  Bind(this);
  SetUIStyle(OwnerStyle(parent));
}

void TsuiDBImage::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

void TsuiDBImage::UIStyleChanged() {
  borderColour_ = ThemeColor(INSIDE_CONTROLBORDERCOLOR, SKIN2_CONTROLBORDERCOLOR);
  update();
}

void TsuiDBImage::DataChange() {
  const TField* field = Field();
  picture_ = field != nullptr ? QImage::fromData(field->AsBytes()) : QImage();
  update();
}

void TsuiDBImage::UpdateData() {
  TField* field = Field();
  if (field == nullptr) return;
  QByteArray bytes;
  if (!picture_.isNull()) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture_.save(&buffer, "PNG");
  }
  SetFieldValue(bytes.isEmpty() ? QVariant() : QVariant(bytes));
}

bool TsuiDBImage::LoadPicture(const QImage& picture) {
  if (!link_.Edit()) return false;
  picture_ = picture;
  link_.Modified();
  update();
  return WriteBack();
}

void TsuiDBImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor back = palette().color(QPalette::Base);
  painter.fillRect(rect(), back);
  if (!picture_.isNull()) {
    const QRect room = rect().adjusted(2, 2, -2, -2);
    QSize size = picture_.size();
    if (size.width() > room.width() || size.height() > room.height())
      size.scale(room.size(), Qt::KeepAspectRatio);
    const QRect target(room.x() + (room.width() - size.width()) / 2,
                       room.y() + (room.height() - size.height()) / 2, size.width(), size.height());
    painter.drawImage(target, picture_);
  }
  if (borderColour_.isValid()) DrawControlBorder(painter, rect(), borderColour_, back, true);
}

// ---- TsuiDBListBox and TsuiDBComboBox -----------------------------------------------------

TsuiDBListBox::TsuiDBListBox(QWidget* parent) : TsuiListBox(parent) {
  Bind(this);
  connect(this, &QListWidget::currentRowChanged, this, [this] { Chosen(); });
}

void TsuiDBListBox::SetItems(const QStringList& items) {
  loading_ = true;
  clear();
  addItems(items);
  DataChange();
  loading_ = false;
}

void TsuiDBListBox::DataChange() {
  const TField* field = Field();
  const QList<QListWidgetItem*> found =
      field != nullptr ? findItems(field->AsString(), Qt::MatchExactly) : QList<QListWidgetItem*>();
  setCurrentRow(found.isEmpty() ? -1 : row(found.first()));
}

void TsuiDBListBox::Chosen() {
  if (loading_ || currentRow() < 0) return;
  if (!link_.Edit()) {
    link_.Reset();
    return;
  }
  link_.Modified();
  WriteBack();
}

void TsuiDBListBox::UpdateData() {
  if (currentItem() != nullptr) SetFieldText(currentItem()->text());
}

void TsuiDBListBox::focusOutEvent(QFocusEvent* event) {
  TsuiListBox::focusOutEvent(event);
  Leave();
}

TsuiDBComboBox::TsuiDBComboBox(QWidget* parent) : TsuiCustomComboBox(parent) {
  setEditable(true);
  Bind(this);
  connect(this, &QComboBox::editTextChanged, this, [this] { Changed(); });
  connect(this, &QComboBox::activated, this, [this] { WriteBack(); });
}

void TsuiDBComboBox::SetItems(const QStringList& items) {
  loading_ = true;
  clear();
  addItems(items);
  DataChange();
  loading_ = false;
}

void TsuiDBComboBox::hidePopup() {
  QComboBox::hidePopup();
  CloseUp();
}

void TsuiDBComboBox::DataChange() {
  const TField* field = Field();
  const QString text = field != nullptr ? field->AsString() : QString();
  setCurrentIndex(findText(text));
  setEditText(text);
}

void TsuiDBComboBox::Changed() {
  if (loading_) return;
  BeginEdit(
      link_, loading_, [this] { return currentText(); },
      [this](const QString& t) { setEditText(t); });
}

void TsuiDBComboBox::UpdateData() {
  SetFieldText(currentText());
}

void TsuiDBComboBox::focusOutEvent(QFocusEvent* event) {
  TsuiCustomComboBox::focusOutEvent(event);
  Leave();
}

// ---- The lookup controls ------------------------------------------------------------------

TsuiDBLookupControl::~TsuiDBLookupControl() {
  listLink_.changed = [] {};
  listLink_.SetDataSource(nullptr);
}

void TsuiDBLookupControl::BindLookup() {
  listLink_.changed = [this] {
    loading_ = true;
    ListChanged();
    loading_ = false;
  };
}

void TsuiDBLookupControl::SetListSource(TDataSource* source) {
  listLink_.SetDataSource(source);
  listLink_.changed();
}

void TsuiDBLookupControl::SetKeyField(const QString& name) {
  keyField_ = name;
  listLink_.changed();
}

void TsuiDBLookupControl::SetListField(const QString& name) {
  listField_ = name;
  listLink_.changed();
}

TDataSet* TsuiDBLookupControl::ListDataSet() const {
  const TField* field = Field();
  if (field != nullptr && field->FieldKind() == fkLookup) return field->LookupDataSet;
  return listLink_.Active() ? listLink_.DataSet() : nullptr;
}

QString TsuiDBLookupControl::ListFieldName() const {
  const TField* field = Field();
  return field != nullptr && field->FieldKind() == fkLookup ? field->LookupResultField : listField_;
}

QString TsuiDBLookupControl::KeyFieldName() const {
  const TField* field = Field();
  return field != nullptr && field->FieldKind() == fkLookup ? field->LookupKeyFields : keyField_;
}

TField* TsuiDBLookupControl::KeyTarget() const {
  TField* field = Field();
  if (field != nullptr && field->FieldKind() == fkLookup)
    return field->DataSet()->FindField(field->KeyFields);
  return field;
}

QStringList TsuiDBLookupControl::ListTexts() const {
  QStringList texts;
  keys_.clear();
  const TDataSet* list = ListDataSet();
  if (list == nullptr || !list->Active()) return texts;
  const TField* shown = list->FindField(ListFieldName());
  const TField* key = list->FindField(KeyFieldName());
  if (shown == nullptr || key == nullptr) return texts;
  for (int i = 0; i < list->RowCount(); ++i) {
    texts << shown->TextOf(list->ValueAt(i, shown));
    keys_.push_back(list->ValueAt(i, key));
  }
  return texts;
}

int TsuiDBLookupControl::KeyIndex(const QVariant& key) const {
  if (key.isNull()) return -1;
  for (size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i] == key) return static_cast<int>(i);
  return -1;
}

bool TsuiDBLookupControl::ChooseIndex(int index) {
  TField* target = KeyTarget();
  if (target == nullptr || index < 0 || index >= static_cast<int>(keys_.size())) return false;
  if (!link_.Edit()) {
    link_.Reset();
    return false;
  }
  if (target->SetValue(keys_[index])) return true;
  ReportDataError(self_, target->DataSet()->LastError());
  link_.Reset();
  return false;
}

TsuiDBLookupListBox::TsuiDBLookupListBox(QWidget* parent) : TsuiListBox(parent) {
  Bind(this);
  BindLookup();
  connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!loading_) ChooseIndex(row);
  });
}

void TsuiDBLookupListBox::ListChanged() {
  clear();
  addItems(ListTexts());
  const TField* target = KeyTarget();
  setCurrentRow(target != nullptr ? KeyIndex(target->Value()) : -1);
}

void TsuiDBLookupListBox::DataChange() {
  ListChanged();
}

TsuiDBLookupComboBox::TsuiDBLookupComboBox(QWidget* parent) : TsuiCustomComboBox(parent) {
  Bind(this);
  BindLookup();
  connect(this, &QComboBox::activated, this, [this](int index) { ChooseIndex(index); });
}

void TsuiDBLookupComboBox::ListChanged() {
  clear();
  addItems(ListTexts());
  const TField* target = KeyTarget();
  setCurrentIndex(target != nullptr ? KeyIndex(target->Value()) : -1);
}

void TsuiDBLookupComboBox::DataChange() {
  ListChanged();
}

// ---- TsuiDBGrid ---------------------------------------------------------------------------

class TsuiDBGrid::Link : public TDataLink {
 public:
  explicit Link(TsuiDBGrid* grid) : grid_(grid) {}

 protected:
  void ActiveChanged() override {
    if (grid_->link_ != nullptr) grid_->Rebuild();
  }
  void DataSetChanged() override { grid_->Rebuild(); }
  void EditingChanged() override { grid_->ShowRow(DataSet()->CurrentIndex()); }
  void RecordChanged(TField*) override {
    if (DataSet() != nullptr) grid_->ShowRow(DataSet()->CurrentIndex());
  }

 private:
  TsuiDBGrid* grid_;
};

TsuiDBGrid::TsuiDBGrid(QWidget* parent) : TsuiStringGrid(parent), link_(new Link(this)) {
  SetFocusedColor(QColor(0, 128, 0));     // clGreen
  SetSelectedColor(QColor(255, 255, 0));  // clYellow
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int previousRow, int) {
            if (row != previousRow) CurrentMoved(row);
          });
  connect(this, &QTableWidget::itemChanged, this,
          [this](QTableWidgetItem* item) { CellEdited(item); });
  Bars().BarMoved = [this](Qt::Orientation orientation, int position) {
    if (orientation != Qt::Vertical || !link_->Active()) return false;
    OnVScrollBarChange(position);
    return true;
  };
  Rebuild();
}

TsuiDBGrid::~TsuiDBGrid() {
  Bars().BarMoved = nullptr;
  Link* link = link_;
  link_ = nullptr;
  delete link;
}

void TsuiDBGrid::SetDataSource(TDataSource* source) {
  link_->SetDataSource(source);
}
TDataSource* TsuiDBGrid::DataSource() const {
  return link_->DataSource();
}

QString TsuiDBGrid::Indicator(TDataSetState state) {
  switch (state) {
    case dsEdit:
      return "I";
    case dsInsert:
      return "*";
    default:
      return QString(QChar(0x25B6));  // a right-pointing triangle
  }
}

void TsuiDBGrid::UIStyleChanged() {
  TsuiStringGrid::UIStyleChanged();
  if (const TsuiFileTheme* theme = ThemeInUse())
    SetFixedFontColor(theme->GetQColor(SKIN2_SELECTEDMENUFONTCOLOR));
}

namespace {
void SetCell(QTableWidget& grid, int row, int col, const QString& text, bool editable) {
  QTableWidgetItem* cell = grid.item(row, col);
  if (cell == nullptr) {
    cell = new QTableWidgetItem;
    grid.setItem(row, col, cell);
  }
  cell->setText(text);
  const Qt::ItemFlags flags =
      editable ? cell->flags() | Qt::ItemIsEditable : cell->flags() & ~Qt::ItemIsEditable;
  if (flags != cell->flags()) cell->setFlags(flags);
}
}  // namespace

void TsuiDBGrid::Rebuild() {
  loading_ = true;
  TDataSet* data = link_->Active() ? link_->DataSet() : nullptr;
  const int fields = data != nullptr ? data->FieldCount() : 0;
  const int rows = data != nullptr ? data->RowCount() : 0;
  SetColCount(fields + 1);
  SetRowCount(rows + 1);
  SetCell(*this, 0, 0, QString(), false);
  setColumnWidth(0, 16);  // the indicator column
  for (int c = 0; c < fields; ++c) SetCell(*this, 0, c + 1, data->Fields(c)->FieldName(), false);
  for (int r = 0; r < rows; ++r) ShowRow(r);
  if (data != nullptr && data->CurrentIndex() >= 0) {
    const int col = std::max(currentColumn(), 1);
    setCurrentCell(data->CurrentIndex() + 1, std::min(col, fields));
  }
  loading_ = false;
  Bars().UpdateScrollBars();
}

void TsuiDBGrid::ShowRow(int record) {
  TDataSet* data = link_->Active() ? link_->DataSet() : nullptr;
  if (data == nullptr || record < 0 || record + 1 >= rowCount()) return;
  const bool loading = loading_;
  loading_ = true;
  const bool current = record == data->CurrentIndex();
  SetCell(*this, record + 1, 0, current ? Indicator(data->State()) : QString(), false);
  for (int c = 0; c < data->FieldCount(); ++c) {
    const TField* field = data->Fields(c);
    SetCell(*this, record + 1, c + 1, field->TextOf(data->ValueAt(record, field)),
            field->CanModify() && !link_->ReadOnly);
  }
  loading_ = loading;
}

void TsuiDBGrid::CurrentMoved(int row) {
  if (loading_ || row < 1 || !link_->Active()) return;
  TDataSet* data = link_->DataSet();
  if (row - 1 == data->CurrentIndex()) return;
  // An untouched insert is dropped by the move, taking its row with it: the rows below it
  // come one up.
  int recNo = row;
  if (data->State() == dsInsert && !data->Modified() && row - 1 > data->CurrentIndex()) --recNo;
  if (!data->SetRecNo(recNo)) {
    ReportDataError(this, data->LastError());
    Rebuild();
  }
}

void TsuiDBGrid::CellEdited(QTableWidgetItem* item) {
  if (loading_ || !link_->Active()) return;
  const int row = item->row();
  const int col = item->column();
  const QString text = item->text();
  TDataSet* data = link_->DataSet();
  if (row < 1 || col < 1 || col > data->FieldCount()) return;
  if (row - 1 != data->CurrentIndex() || !link_->Edit()) {
    Rebuild();
    return;
  }
  TField* field = data->Fields(col - 1);
  if (!field->SetAsString(text)) {
    ReportDataError(this, data->LastError());
    ShowRow(data->CurrentIndex());
  }
}

void TsuiDBGrid::OnVScrollBarChange(int position) {
  TDataSet* data = link_->Active() ? link_->DataSet() : nullptr;
  if (data == nullptr) {
    verticalScrollBar()->setValue(position);
  } else {
    bool ok = true;
    if (position < 2)
      ok = data->First();
    else if (data->RecordCount() > position)
      ok = data->SetRecNo(position);
    else
      ok = data->Last();
    if (!ok) ReportDataError(this, data->LastError());
  }
  viewport()->update();
}

// ---- TsuiDBNavigator ----------------------------------------------------------------------

class TsuiDBNavigator::Link : public TDataLink {
 public:
  explicit Link(TsuiDBNavigator* navigator) : navigator_(navigator) {}

 protected:
  void ActiveChanged() override {
    if (navigator_->link_ != nullptr) navigator_->ActiveChanged();
  }
  void DataSetChanged() override { navigator_->DataChanged(); }
  void EditingChanged() override { navigator_->EditingChanged(); }

 private:
  TsuiDBNavigator* navigator_;
};

TsuiNavButton::TsuiNavButton(TsuiDBNavigator* navigator, TNavigateBtn index)
    : TsuiButton(navigator), navigator_(navigator), index_(index) {
  setFocusPolicy(Qt::NoFocus);
}

void TsuiNavButton::mousePressEvent(QMouseEvent* event) {
  TsuiButton::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  navigator_->BtnMouseDown(this);
  if (!RepeatFlag) return;
  if (timer_ == nullptr) {
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &TsuiNavButton::TimerExpired);
  }
  timer_->setInterval(400);
  timer_->start();
}

void TsuiNavButton::mouseReleaseEvent(QMouseEvent* event) {
  TsuiButton::mouseReleaseEvent(event);
  if (timer_ != nullptr) timer_->stop();
}

void TsuiNavButton::TimerExpired() {
  if (timer_ != nullptr) timer_->setInterval(100);
  if (IsDown() && isEnabled()) navigator_->ClickHandler(this);
}

void TsuiNavButton::paintEvent(QPaintEvent* event) {
  TsuiButton::paintEvent(event);
  if (!navigator_->hasFocus() || navigator_->FocusedButton() != index_) return;
  QPainter painter(this);
  QRect r = rect().adjusted(3, 3, -4, -4);
  if (IsDown()) r.translate(1, 1);
  painter.setPen(QPen(palette().color(QPalette::Shadow), 1, Qt::DotLine));
  painter.drawRect(r);
}

const QStringList& TsuiDBNavigator::DefaultHints() {
  static const QStringList hints{"First record",  "Prior record",  "Next record", "Last record",
                                 "Insert record", "Delete record", "Edit record", "Post edit",
                                 "Cancel edit",   "Refresh data"};
  return hints;
}

TsuiDBNavigator::TsuiDBNavigator(QWidget* parent) : QWidget(parent), link_(new Link(this)) {
  setFocusPolicy(Qt::TabFocus);
  visible_.fill(true);
  InitButtons();
  InitHints();
  SetBounds(QRect(0, 0, 250, 30));
  SetUIStyle(OwnerStyle(parent));
  ActiveChanged();
}

TsuiDBNavigator::~TsuiDBNavigator() {
  delete link_;
}

void TsuiDBNavigator::InitButtons() {
  const QImage strip = LoadResourceBitmap("DBNAV_BUTTON");
  int x = 0;
  for (int i = 0; i < kNavButtonCount; ++i) {
    auto* button = new TsuiNavButton(this, static_cast<TNavigateBtn>(i));
    button->SetSpacing(-1);
    QImage glyph;
    SpitBitmap(strip, &glyph, kNavButtonCount, i + 1);
    button->SetGlyph(glyph);
    button->setGeometry(x, 0, 20, 18);
    button->setVisible(visible_[i]);
    connect(button, &QAbstractButton::clicked, this, [this, button] { ClickHandler(button); });
    buttons_[i] = button;
    x += 20;
  }
  buttons_[nbPrior]->RepeatFlag = true;
  buttons_[nbNext]->RepeatFlag = true;
}

void TsuiDBNavigator::InitHints() {
  const QStringList& defaults = DefaultHints();
  for (int i = 0; i < kNavButtonCount; ++i) {
    const QString hint = i < hints_.size() && !hints_[i].isEmpty() ? hints_[i] : defaults[i];
    buttons_[i]->setToolTip(hint);
  }
}

void TsuiDBNavigator::SetHints(const QStringList& hints) {
  hints_ = hints.join('\n') == DefaultHints().join('\n') ? QStringList() : hints;
  InitHints();
}

void TsuiDBNavigator::SetAligned(bool aligned) {
  aligned_ = aligned;
  SetBounds(geometry());
}

void TsuiDBNavigator::SetVisibleButtons(const TButtonSet& buttons) {
  int w = width(), h = height();
  visible_ = buttons;
  for (int i = 0; i < kNavButtonCount; ++i) buttons_[i]->setVisible(visible_[i]);
  SetSize(w, h);
  if (QSize(w, h) != size()) SetBounds(QRect(pos(), QSize(w, h)));
  update();
}

void TsuiDBNavigator::CalcMinSize(int& w, int& h) const {
  const int n = std::max<int>(1, std::count(visible_.begin(), visible_.end(), true));
  w = std::max(w, n * 20);
  h = std::max(h, 18);
  if (!aligned_) w = (w / n) * n;
}

void TsuiDBNavigator::SetSize(int& w, int& h) {
  CalcMinSize(w, h);
  const int n = std::max<int>(1, std::count(visible_.begin(), visible_.end(), true));
  buttonWidth_ = w / n;
  if (!aligned_) w = n * buttonWidth_;
  const int remainder = w - n * buttonWidth_;
  int counter = n / 2;
  int x = 0;
  for (int i = 0; i < kNavButtonCount; ++i) {
    if (!visible_[i]) {
      buttons_[i]->setGeometry(w + 1, 0, buttonWidth_, h);
      continue;
    }
    int extra = 0;
    if (remainder != 0) {
      counter -= remainder;
      if (counter < 0) {
        counter += n;
        extra = 1;
      }
    }
    buttons_[i]->setGeometry(x, 0, buttonWidth_ + extra, h);
    x += buttonWidth_ + extra;
  }
}

void TsuiDBNavigator::SetBounds(const QRect& bounds) {
  int w = bounds.width(), h = bounds.height();
  SetSize(w, h);
  sizing_ = true;
  setGeometry(bounds.x(), bounds.y(), w, h);
  sizing_ = false;
}

void TsuiDBNavigator::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (sizing_) return;
  int w = width(), h = height();
  SetSize(w, h);
  if (QSize(w, h) != size()) {
    sizing_ = true;
    resize(w, h);
    sizing_ = false;
  }
}

void TsuiDBNavigator::SetCursor(const QCursor& cursor) {
  setCursor(cursor);
  for (TsuiNavButton* button : buttons_) button->setCursor(cursor);
}

void TsuiDBNavigator::SetDataSource(TDataSource* source) {
  link_->SetDataSource(source);
  ActiveChanged();
}

TDataSource* TsuiDBNavigator::DataSource() const {
  return link_->DataSource();
}

void TsuiDBNavigator::ClickHandler(TsuiNavButton* sender) {
  BtnClick(sender->Index());
}

void TsuiDBNavigator::BtnClick(TNavigateBtn button) {
  if (DataSource() != nullptr && DataSource()->State() != dsInactive) {
    if (BeforeAction) BeforeAction(this, button);
    if (!Run(button)) ReportDataError(this, DataSource()->DataSet()->LastError());
  }
  if (OnClick) OnClick(this, button);
}

bool TsuiDBNavigator::Run(TNavigateBtn button) {
  TDataSet* data = DataSource()->DataSet();
  switch (button) {
    case nbFirst:
      return data->First();
    case nbPrior:
      return data->Prior();
    case nbNext:
      return data->Next();
    case nbLast:
      return data->Last();
    case nbInsert:
      return data->Insert();
    case nbDelete:
      if (ConfirmDelete) {
        TsuiMessageDialog box;
        box.Caption = "Confirm";
        box.Text = "Delete record?";
        box.IconType = TsuiIconType::suiHelp;
        box.ButtonCount = 2;
        box.Button1Caption = GetLocaleButtonCaption(mbOK);
        box.Button2Caption = GetLocaleButtonCaption(mbCancel);
        box.SetUIStyle(UIStyle());
        box.SetFileTheme(FileTheme());
        if (box.ShowModal() == box.Button2ModalResult) return true;
      }
      return data->Delete();
    case nbEdit:
      return data->Edit();
    case nbPost:
      return data->Post();
    case nbCancel:
      data->Cancel();
      return true;
    case nbRefresh:
      return data->Refresh();
  }
  return true;
}

void TsuiDBNavigator::DataChanged() {
  const bool e = isEnabled() && link_->Active();
  const TDataSet* data = e ? link_->DataSet() : nullptr;
  const bool bof = data == nullptr || data->Bof();
  const bool eof = data == nullptr || data->Eof();
  buttons_[nbFirst]->setEnabled(e && !bof);
  buttons_[nbPrior]->setEnabled(e && !bof);
  buttons_[nbNext]->setEnabled(e && !eof);
  buttons_[nbLast]->setEnabled(e && !eof);
  buttons_[nbDelete]->setEnabled(e && data->CanModify() && !(bof && eof));
}

void TsuiDBNavigator::EditingChanged() {
  const bool m = isEnabled() && link_->Active() && link_->DataSet()->CanModify();
  const bool editing = link_->Editing();
  buttons_[nbInsert]->setEnabled(m);
  buttons_[nbEdit]->setEnabled(m && !editing);
  buttons_[nbPost]->setEnabled(m && editing);
  buttons_[nbCancel]->setEnabled(m && editing);
  buttons_[nbRefresh]->setEnabled(m);
}

void TsuiDBNavigator::ActiveChanged() {
  if (!(isEnabled() && link_->Active())) {
    for (TsuiNavButton* button : buttons_) button->setEnabled(false);
    return;
  }
  DataChanged();
  EditingChanged();
}

void TsuiDBNavigator::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) ActiveChanged();
}

void TsuiDBNavigator::UIStyleChanged() {
  for (TsuiNavButton* button : buttons_) {
    if (button == nullptr) continue;
    button->SetFileTheme(FileTheme());
    button->SetUIStyle(UIStyle());
  }
  update();
}

void TsuiDBNavigator::BtnMouseDown(TsuiNavButton* sender) {
  const TNavigateBtn old = focused_;
  focused_ = sender->Index();
  if ((focusPolicy() & Qt::TabFocus) && !hasFocus()) {
    setFocus(Qt::MouseFocusReason);
  } else if (old != focused_) {
    buttons_[old]->update();
    buttons_[focused_]->update();
  }
}

void TsuiDBNavigator::keyPressEvent(QKeyEvent* event) {
  const TNavigateBtn old = focused_;
  switch (event->key()) {
    case Qt::Key_Right:
      for (int i = focused_ + 1; i < kNavButtonCount; ++i)
        if (visible_[i]) {
          focused_ = static_cast<TNavigateBtn>(i);
          break;
        }
      break;
    case Qt::Key_Left:
      for (int i = focused_ - 1; i >= 0; --i)
        if (visible_[i]) {
          focused_ = static_cast<TNavigateBtn>(i);
          break;
        }
      break;
    case Qt::Key_Space:
      if (buttons_[focused_]->isEnabled()) buttons_[focused_]->Click();
      break;
    default:
      break;
  }
  if (old != focused_) {
    buttons_[old]->update();
    buttons_[focused_]->update();
  }
}

void TsuiDBNavigator::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  buttons_[focused_]->update();
}

void TsuiDBNavigator::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  buttons_[focused_]->update();
}

// ---- TsuiDBCheckBox -----------------------------------------------------------------------

TsuiDBCheckBox::TsuiDBCheckBox(QWidget* parent) : TsuiCheckBox(parent) {
  Bind(this);
}

bool TsuiDBCheckBox::ValueMatch(const QString& list, const QString& text) {
  for (const QString& name : list.split(';'))
    if (name.trimmed().compare(text, Qt::CaseInsensitive) == 0) return true;
  return false;
}

bool TsuiDBCheckBox::GetFieldState() const {
  const TField* field = Field();
  if (field == nullptr || field->IsNull()) return false;
  if (field->DataType() == ftBoolean) return field->AsBoolean();
  return ValueMatch(valueChecked_, field->AsString());
}

void TsuiDBCheckBox::SetValueChecked(const QString& value) {
  valueChecked_ = value;
  link_.Reset();
}

void TsuiDBCheckBox::SetValueUnchecked(const QString& value) {
  valueUnchecked_ = value;
  link_.Reset();
}

void TsuiDBCheckBox::DataChange() {
  SetChecked(GetFieldState());
}

void TsuiDBCheckBox::UpdateData() {
  TField* field = Field();
  if (field == nullptr) return;
  if (field->DataType() == ftBoolean) {
    if (field->IsNull() || field->AsBoolean() != Checked()) SetFieldValue(Checked());
    return;
  }
  SetFieldText((Checked() ? valueChecked_ : valueUnchecked_).section(';', 0, 0).trimmed());
}

void TsuiDBCheckBox::DoClick() {
  if (!link_.Edit()) return;
  TsuiCheckBox::DoClick();
  link_.Modified();
  WriteBack();
}

void TsuiDBCheckBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    link_.Reset();
    return;
  }
  TsuiCheckBox::keyPressEvent(event);
}

void TsuiDBCheckBox::focusOutEvent(QFocusEvent* event) {
  TsuiCheckBox::focusOutEvent(event);
  Leave();
}

// ---- TsuiDBRadioGroup ---------------------------------------------------------------------

TsuiDBRadioGroup::TsuiDBRadioGroup(QWidget* parent) : TsuiRadioGroup(parent) {
  Bind(this);
}

void TsuiDBRadioGroup::SetItemTexts(const QStringList& items) {
  std::vector<std::string> texts;
  for (const QString& item : items) texts.push_back(item.toStdString());
  inSetValue_ = true;
  SetItems(texts);
  inSetValue_ = false;
  value_.clear();
  link_.Reset();
}

void TsuiDBRadioGroup::SetValues(const QStringList& values) {
  values_ = values;
  value_.clear();
  link_.Reset();
}

QString TsuiDBRadioGroup::GetButtonValue(int index) const {
  if (index >= 0 && index < values_.size() && !values_[index].isEmpty()) return values_[index];
  if (index >= 0 && index < ItemCount()) return QString::fromStdString(Items()[index]);
  return {};
}

void TsuiDBRadioGroup::SetValue(const QString& text) {
  if (text == value_ && (text.isEmpty() || GetItemIndex() >= 0)) return;
  inSetValue_ = true;
  int index = -1;
  for (int i = 0; i < ItemCount(); ++i)
    if (GetButtonValue(i) == text) {
      index = i;
      break;
    }
  SetItemIndex(index);
  inSetValue_ = false;
  value_ = text;
  if (OnChange) OnChange();
}

void TsuiDBRadioGroup::DataChange() {
  const TField* field = Field();
  SetValue(field != nullptr ? field->AsString() : QString());
}

void TsuiDBRadioGroup::UpdateData() {
  if (Field() != nullptr) SetFieldText(value_);
}

void TsuiDBRadioGroup::NewClick() {
  if (inSetValue_ || loading_) return;
  if (GetItemIndex() >= 0) SetValue(GetButtonValue(GetItemIndex()));
  if (link_.Editing()) {
    link_.Modified();
    WriteBack();
  }
}

bool TsuiDBRadioGroup::CanModify() const {
  return const_cast<TFieldDataLink&>(link_).Edit();
}

void TsuiDBRadioGroup::focusOutEvent(QFocusEvent* event) {
  TsuiRadioGroup::focusOutEvent(event);
  Leave();
}

}  // namespace zelvar
