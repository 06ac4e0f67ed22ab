#include "skin/Frmthememgr.h"

#include <QFileDialog>
#include <QListWidget>

#include "skin/Suibutton.h"
#include "skin/Suimgr.h"

namespace zelvar {

TfrmMgr::TfrmMgr(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Theme Manager - Zelvar Skin");
  setFixedSize(233, 301);  // a fixed dialog
  List = new QListWidget(this);
  List->setGeometry(8, 8, 217, 245);
  btn_sel = new TsuiButton(this);
  btn_sel->SetCaption2("&Select all");
  btn_sel->setGeometry(8, 264, 69, 25);
  btn_unsel = new TsuiButton(this);
  btn_unsel->SetCaption2("&Unselect all");
  btn_unsel->setGeometry(82, 264, 69, 25);
  btn_ok = new TsuiButton(this);
  btn_ok->SetCaption2("&OK");
  btn_ok->setGeometry(156, 264, 69, 25);
  btn_ok->SetDefault(true);
  btn_ok->SetModalResult(QDialog::Accepted);
  connect(btn_sel, &QPushButton::clicked, this, [this] { btn_selClick(); });
  connect(btn_unsel, &QPushButton::clicked, this, [this] { btn_unselClick(); });
}

void TfrmMgr::btn_selClick() {
  for (int i = 0; i < List->count(); ++i) List->item(i)->setCheckState(Qt::Checked);
}

void TfrmMgr::btn_unselClick() {
  for (int i = 0; i < List->count(); ++i) List->item(i)->setCheckState(Qt::Unchecked);
}

void ThemeManagerEdit(TsuiThemeManager& manager, const TfrmMgrRunner& run) {
  if (qobject_cast<QWidget*>(manager.parent()) == nullptr) return;  // only on a form
  TfrmMgr form;
  for (const QString& name : ThemeManagerCandidates(manager)) {
    auto* item = new QListWidgetItem(name, form.List);
    item->setCheckState(manager.CompList().contains(name) ? Qt::Checked : Qt::Unchecked);
  }
  const int result = run ? run(form) : form.exec();
  if (result == QDialog::Accepted) {
    QStringList names;
    for (int i = 0; i < form.List->count(); ++i) {
      if (form.List->item(i)->checkState() == Qt::Checked) names << form.List->item(i)->text();
    }
    manager.SetList(names);
  }
  manager.UpdateAll();
}

namespace {

QString AskSkinFile(const SkinFileChooser& choose) {
  if (choose) return choose();
  return QFileDialog::getOpenFileName(nullptr, QString(), QString(), "Velmora Skin File (*.ssk)");
}

}  // namespace

void FileThemeEdit(TsuiFileTheme& theme, const SkinFileChooser& choose) {
  const QString file = AskSkinFile(choose);
  if (!file.isEmpty()) theme.SetThemeFile(file.toStdString());
}

void BuiltInFileThemeEdit(TsuiBuiltInFileTheme& theme, const SkinFileChooser& choose) {
  const QString file = AskSkinFile(choose);
  if (!file.isEmpty()) theme.SetThemeFile2(file.toStdString());
}

}  // namespace zelvar
