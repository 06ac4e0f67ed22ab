#include "app/forms/widgets/ConfigGrid.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelvar {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

void SetCell(QTableWidget* grid, int row, int column, const QString& text, bool editable) {
  auto* item = grid->item(row, column);
  if (!item) {
    item = new QTableWidgetItem;
    grid->setItem(row, column, item);
  }
  item->setText(text);
  item->setFlags(editable ? item->flags() | Qt::ItemIsEditable
                          : item->flags() & ~Qt::ItemIsEditable);
}

// The config grid's keys as the model takes them: characters, and Enter.
int ModelKey(const QKeyEvent& e) {
  if (e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter) return kKeyEnter;
  const QString text = e.text();
  return text.isEmpty() ? e.key() : text.at(0).unicode();
}

}  // namespace

ConfigGrid::ConfigGrid(ChipUiModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  auto* layout = new QHBoxLayout(this);

  Panel3 = new TsuiPanel(this);
  Panel3->setObjectName("Panel3");
  auto* configLayout = new QVBoxLayout(Panel3);
  configLayout->setContentsMargins(0, 0, 0, 0);
  StringGrid1 = new TsuiStringGrid(Panel3);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->SetColCount(3);
  StringGrid1->SetRowCount(0);
  // Every row is a config bit: no fixed row or column.
  StringGrid1->SetFixedRows(0);
  StringGrid1->SetFixedCols(0);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->installEventFilter(this);
  configLayout->addWidget(StringGrid1);

  suiImagePanel4 = new TsuiImagePanel(this);
  suiImagePanel4->setObjectName("suiImagePanel4");
  auto* radioLayout = new QVBoxLayout(suiImagePanel4);
  for (int k = 0; k < kRadioCombos; ++k) {
    Labels[k] = new QLabel(suiImagePanel4);
    Labels[k]->setObjectName(QString("Label%1").arg(k + 1));
    Combos[k] = new TsuiComboBox(suiImagePanel4);
    Combos[k]->setObjectName(QString("suiComboBoxCfg%1").arg(k + 1));
    radioLayout->addWidget(Labels[k]);
    radioLayout->addWidget(Combos[k]);
    // activated: only the user's choices, never the mirror's.
    connect(Combos[k], &QComboBox::activated, this, [this, k](int i) { ComboActivated(k, i); });
  }
  radioLayout->addStretch(1);  // each label stays above its combo
  layout->addWidget(suiImagePanel4);
  layout->addWidget(Panel3, 0, Qt::AlignTop);
  Panel3->SetHeight2(kPanel3Height);  // laid out now: the opened height is its fixed height

  Panelw = new QFrame(this);
  Panelw->setObjectName("Panelw");
  auto* wordLayout = new QVBoxLayout(Panelw);
  PanelwCaption = new QLabel(Panelw);
  StringGridWord = new TsuiStringGrid(Panelw);
  StringGridWord->setObjectName("StringGridWord");
  StringGridWord->SetColCount(2);
  StringGridWord->SetRowCount(0);
  StringGridWord->SetFixedRows(0);
  StringGridWord->SetFixedCols(0);
  StringGridWord->horizontalHeader()->hide();
  StringGridWord->verticalHeader()->hide();
  wordLayout->addWidget(PanelwCaption);
  wordLayout->addWidget(StringGridWord);
  Panelw->setFixedHeight(kPanel3Height);
  layout->addWidget(Panelw, 0, Qt::AlignTop);

  connect(StringGrid1, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { model_.CurrentRow = row; });
  connect(StringGrid1, &QTableWidget::cellPressed, this, [this](int row, int) {
    model_.CurrentRow = row;
    ConfigGridMouseDown(model_);
    Mirror();
    emit Edited();
  });
  connect(StringGridWord, &QTableWidget::cellChanged, this, &ConfigGrid::WordCellChanged);
  Mirror();
}

void ConfigGrid::Mirror() {
  mirroring_ = true;
  StringGrid1->setRowCount(model_.ConfigRowCount);
  for (int r = 0; r < model_.ConfigRowCount; ++r) {
    for (int c = 0; c < 3; ++c) SetCell(StringGrid1, r, c, Q(model_.Cells[r][c]), false);
  }
  Panel3->setVisible(model_.ConfigPanelVisible);

  for (int k = 0; k < kRadioCombos; ++k) {
    const RadioCombo& combo = model_.Combos[k];
    Combos[k]->clear();
    for (const auto& item : combo.Items) Combos[k]->addItem(Q(item));
    Combos[k]->setCurrentIndex(combo.ItemIndex);
    Combos[k]->setVisible(combo.Visible);
    Labels[k]->setText(Q(combo.Label));
    Labels[k]->setVisible(combo.Visible);
  }
  suiImagePanel4->setVisible(model_.RadioPanelVisible);

  PanelwCaption->setText(Q(model_.WordPanelCaption));
  const int rows = static_cast<int>(model_.WordRows.size());
  StringGridWord->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    SetCell(StringGridWord, r, 0, Q(model_.WordRows[r].Label), false);
    SetCell(StringGridWord, r, 1, Q(model_.WordRows[r].Value), true);
  }
  Panelw->setVisible(model_.WordPanelVisible);
  StringGridWord->setVisible(rows > 0);
  mirroring_ = false;
}

bool ConfigGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StringGrid1 && event->type() == QEvent::KeyPress) {
    ConfigGridKeyDown(model_, ModelKey(*static_cast<QKeyEvent*>(event)));
    Mirror();
    emit Edited();
  }
  return QWidget::eventFilter(watched, event);  // arrows still move the current row
}

void ConfigGrid::ComboActivated(int combo, int index) {
  model_.Combos[combo].SetItemIndex(index);
  ConfigComboChanged(model_);
  Mirror();
  emit Edited();
}

void ConfigGrid::WordCellChanged(int row, int column) {
  if (mirroring_ || column != 1 || row < 0 || row >= static_cast<int>(model_.WordRows.size())) {
    return;
  }
  model_.WordRows[row].Value = StringGridWord->item(row, column)->text().toStdString();
  WordGridEdited(model_);
  emit Edited();
}

}  // namespace zelvar
