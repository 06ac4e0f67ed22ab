#pragma once
// The skinned data-aware controls: each skinned control of its kind bound to a field of a data
// set (db/DataSet.h) through a data source. They show the current record's value, put the data
// set into edit state when the user changes it, and write it back when the record is posted or
// the control is left. The navigator moves through and edits the records; the grid shows them
// all, its vertical skinned bar moving the current record. A data-set operation that fails is
// shown to the user in a message box (ReportDataError) and leaves the data set as it was.
#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>

#include "db/DataSet.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiedit.h"
#include "skin/Suigrid.h"
#include "skin/Suilistbox.h"
#include "skin/Suimemo.h"
#include "skin/Suiradiogroup.h"

class QTimer;

namespace zelvar {

// Shows a data-set failure in a skinned message box (style of `control`'s form).
void ReportDataError(QWidget* control, const QString& message);

// What every control of one field publishes: DataSource, DataField, ReadOnly.
class TsuiDBFieldControl {
 public:
  // The link is let go of without calling back into a control half destroyed.
  virtual ~TsuiDBFieldControl();
  void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataField(const QString& name) { link_.SetFieldName(name); }
  const QString& DataField() const { return link_.FieldName(); }
  void SetReadOnly(bool readOnly);
  bool ReadOnly() const { return link_.ReadOnly; }
  TField* Field() const { return link_.Field(); }
  TFieldDataLink& DataLink() { return link_; }

 protected:
  // Binds the link's events to the control's own.
  void Bind(QWidget* self);
  virtual void DataChange() = 0;
  virtual void UpdateData() = 0;
  virtual void EditingChange() {}
  // Writes the control's change into the record; a refusal is reported, the change kept and
  // the focus taken back.
  bool WriteBack();
  // Leaving the control writes its change.
  void Leave();
  // Set the field; a refusal keeps the control's change (and is reported when the control
  // itself asked for the write).
  bool SetFieldText(const QString& text);
  bool SetFieldValue(const QVariant& value);
  bool Refused(TField* field);
  TFieldDataLink link_;
  QWidget* self_ = nullptr;
  bool loading_ = false;  // set while the control shows the field's value
  bool writeFailed_ = false;
  bool writingBack_ = false;  // the control itself asked for the write
};

class TsuiDBEdit : public TsuiEdit, public TsuiDBFieldControl {
  Q_OBJECT

 public:
  explicit TsuiDBEdit(QWidget* parent = nullptr);

 protected:
  void DataChange() override;
  void UpdateData() override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

class TsuiDBMemo : public TsuiMemo, public TsuiDBFieldControl {
  Q_OBJECT

 public:
  explicit TsuiDBMemo(QWidget* parent = nullptr);
  void SetVScrollBar(TsuiScrollBar* bar);
  void SetHScrollBar(TsuiScrollBar* bar);
  // The bars inside the border: the horizontal one along the bottom, short of the vertical
  // one's width; the vertical one down the right, short of the horizontal one's height.
  void UpdateScrollBarsPos();

 protected:
  bool event(QEvent* event) override;
  void DataChange() override;
  void UpdateData() override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

// A picture field (PNG, JPEG or BMP bytes in a BLOB), drawn to fit inside the border.
class TsuiDBImage : public QWidget, public TsuiStyled, public TsuiDBFieldControl {
  Q_OBJECT

 public:
  explicit TsuiDBImage(QWidget* parent = nullptr);
  void SetBorderColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }
  const QImage& Picture() const { return picture_; }
  // Puts the data set into edit state and stores the picture as PNG; false when refused.
  bool LoadPicture(const QImage& picture);

 protected:
  void UIStyleChanged() override;
  void DataChange() override;
  void UpdateData() override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor borderColour_;
  QImage picture_;
};

// A fixed list of texts; choosing one writes it into the field.
class TsuiDBListBox : public TsuiListBox, public TsuiDBFieldControl {
  Q_OBJECT

 public:
  explicit TsuiDBListBox(QWidget* parent = nullptr);
  void SetItems(const QStringList& items);

 protected:
  void DataChange() override;
  void UpdateData() override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Chosen();
};

// An editable combo box over a list of texts; what is typed or chosen is written into the field.
class TsuiDBComboBox : public TsuiCustomComboBox, public TsuiDBFieldControl {
  Q_OBJECT

 public:
  explicit TsuiDBComboBox(QWidget* parent = nullptr);
  void SetItems(const QStringList& items);
  // Closing the list leaves the parent alone.
  virtual void CloseUp() {}
  void hidePopup() override;

 protected:
  void DataChange() override;
  void UpdateData() override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Changed();
};

// The lookup controls list ListField of the list data set and write the chosen record's KeyField
// into DataField. With a lookup field as DataField, the three come from the field.
class TsuiDBLookupControl : public TsuiDBFieldControl {
 public:
  ~TsuiDBLookupControl() override;
  void SetListSource(TDataSource* source);
  TDataSource* ListSource() const { return listLink_.DataSource(); }
  void SetKeyField(const QString& name);
  const QString& KeyField() const { return keyField_; }
  void SetListField(const QString& name);
  const QString& ListField() const { return listField_; }
  // The list's texts and their keys, in list order.
  QStringList ListTexts() const;
  int KeyIndex(const QVariant& key) const;
  // Writes the key of list entry `index`.
  bool ChooseIndex(int index);

 protected:
  virtual void ListChanged() = 0;
  void BindLookup();
  TDataSet* ListDataSet() const;
  QString ListFieldName() const;
  QString KeyFieldName() const;
  // The field that takes the key: the lookup field's key field, or DataField.
  TField* KeyTarget() const;
  mutable std::vector<QVariant> keys_;  // the keys of the texts ListTexts last gave

 private:
  class ListLink : public TDataLink {
   public:
    std::function<void()> changed = [] {};

   protected:
    void ActiveChanged() override { changed(); }
    void DataSetChanged() override { changed(); }
  };
  ListLink listLink_;
  QString keyField_;
  QString listField_;
};

class TsuiDBLookupListBox : public TsuiListBox, public TsuiDBLookupControl {
  Q_OBJECT

 public:
  explicit TsuiDBLookupListBox(QWidget* parent = nullptr);

 protected:
  void DataChange() override;
  void UpdateData() override {}
  void ListChanged() override;
};

class TsuiDBLookupComboBox : public TsuiCustomComboBox, public TsuiDBLookupControl {
  Q_OBJECT

 public:
  explicit TsuiDBLookupComboBox(QWidget* parent = nullptr);

 protected:
  void DataChange() override;
  void UpdateData() override {}
  void ListChanged() override;
};

// The records as rows (row 0 the field names, column 0 the record indicator) and the fields as
// columns. Choosing a row moves the data set; a cell typed into edits the field.
class TsuiDBGrid : public TsuiStringGrid {
  Q_OBJECT

 public:
  explicit TsuiDBGrid(QWidget* parent = nullptr);
  ~TsuiDBGrid() override;
  void SetDataSource(TDataSource* source);
  TDataSource* DataSource() const;
  void SetTitleFontColor(const QColor& colour) { SetFixedFontColor(colour); }
  QColor TitleFontColor() const { return FixedFontColor(); }
  // The vertical bar at `position`: below 2 the first record, within the record count that
  // record number, else the last record.
  void OnVScrollBarChange(int position);
  // The indicator of the current row: browse, edit, insert.
  static QString Indicator(TDataSetState state);

 protected:
  void UIStyleChanged() override;

 private:
  class Link;
  void Rebuild();
  void ShowRow(int record);
  void CurrentMoved(int row);
  void CellEdited(QTableWidgetItem* item);
  Link* link_;
  bool loading_ = false;
};

enum TNavigateBtn {
  nbFirst,
  nbPrior,
  nbNext,
  nbLast,
  nbInsert,
  nbDelete,
  nbEdit,
  nbPost,
  nbCancel,
  nbRefresh
};
constexpr int kNavButtonCount = 10;
using TButtonSet = std::array<bool, kNavButtonCount>;

class TsuiDBNavigator;

// A navigator button: Prior and Next repeat while held, after 400 ms and then every 100 ms.
class TsuiNavButton : public TsuiButton {
  Q_OBJECT

 public:
  TsuiNavButton(TsuiDBNavigator* navigator, TNavigateBtn index);
  TNavigateBtn Index() const { return index_; }
  bool RepeatFlag = false;
  QTimer* NavRepeatTimer() const { return timer_; }
  void TimerExpired();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  TsuiDBNavigator* navigator_;
  TNavigateBtn index_;
  QTimer* timer_ = nullptr;
};

class TsuiDBNavigator : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiDBNavigator(QWidget* parent = nullptr);
  ~TsuiDBNavigator() override;

  void SetDataSource(TDataSource* source);
  TDataSource* DataSource() const;
  void SetVisibleButtons(const TButtonSet& buttons);
  const TButtonSet& VisibleButtons() const { return visible_; }
  // User hints laid over the defaults line by line; an empty line keeps the default.
  void SetHints(const QStringList& hints);
  QStringList Hints() const { return hints_; }
  static const QStringList& DefaultHints();
  bool ConfirmDelete = true;
  // The navigator's and every button's cursor.
  void SetCursor(const QCursor& cursor);
  // Aligned to its parent: the width is not snapped to whole buttons.
  void SetAligned(bool aligned);
  bool Aligned() const { return aligned_; }

  TsuiNavButton* Button(TNavigateBtn b) const { return buttons_[b]; }
  TNavigateBtn FocusedButton() const { return focused_; }
  int ButtonWidth() const { return buttonWidth_; }

  // The least size for the visible buttons; the width snapped unless aligned.
  void CalcMinSize(int& w, int& h) const;
  // Lays the buttons out in `w` x `h` (adjusted by CalcMinSize and the snap).
  void SetSize(int& w, int& h);
  // Moves and sizes the navigator, its size adjusted by SetSize first (a resize of a navigator
  // on screen is adjusted as it arrives).
  void SetBounds(const QRect& bounds);
  virtual void BtnClick(TNavigateBtn button);
  void ClickHandler(TsuiNavButton* sender);

  void DataChanged();
  void EditingChanged();
  void ActiveChanged();

  std::function<void(TsuiDBNavigator*, TNavigateBtn)> BeforeAction;
  std::function<void(TsuiDBNavigator*, TNavigateBtn)> OnClick;

 protected:
  void UIStyleChanged() override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class TsuiNavButton;
  class Link;
  void InitButtons();
  void InitHints();
  void BtnMouseDown(TsuiNavButton* sender);
  bool Run(TNavigateBtn button);
  std::array<TsuiNavButton*, kNavButtonCount> buttons_{};
  TButtonSet visible_;
  QStringList hints_;
  Link* link_;
  TNavigateBtn focused_ = nbFirst;
  int buttonWidth_ = 0;
  bool aligned_ = false;
  bool sizing_ = false;
};

// A two-state check box of a field: a Boolean field directly, any other by its text matching one
// of the ';'-separated ValueChecked names (ignoring case).
class TsuiDBCheckBox : public TsuiCheckBox, public TsuiDBFieldControl {
  Q_OBJECT

 public:
  explicit TsuiDBCheckBox(QWidget* parent = nullptr);
  void SetValueChecked(const QString& value);
  const QString& ValueChecked() const { return valueChecked_; }
  void SetValueUnchecked(const QString& value);
  const QString& ValueUnchecked() const { return valueUnchecked_; }
  bool GetFieldState() const;
  static bool ValueMatch(const QString& list, const QString& text);

 protected:
  void DataChange() override;
  void UpdateData() override;
  void DoClick() override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QString valueChecked_ = "True";
  QString valueUnchecked_ = "False";
};

// A radio group of a field: item i stands for Values[i] when that line is there and not empty,
// else for its caption.
class TsuiDBRadioGroup : public TsuiRadioGroup, public TsuiDBFieldControl {
  Q_OBJECT

 public:
  explicit TsuiDBRadioGroup(QWidget* parent = nullptr);
  void SetItemTexts(const QStringList& items);
  void SetValues(const QStringList& values);
  const QStringList& Values() const { return values_; }
  const QString& Value() const { return value_; }
  void SetValue(const QString& text);
  QString GetButtonValue(int index) const;
  bool CanModify() const override;
  std::function<void()> OnChange;

 protected:
  void DataChange() override;
  void UpdateData() override;
  void NewClick() override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QStringList values_;
  QString value_;
  bool inSetValue_ = false;
};

}  // namespace zelvar
