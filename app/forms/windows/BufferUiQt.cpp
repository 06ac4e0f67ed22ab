#include "app/forms/windows/BufferUiQt.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/core/buffer/BufferFiles.h"
#include "app/core/buffer/FileFormat.h"
#include "app/forms/dialogs/Filew.h"
#include "app/forms/widgets/HexView.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar {

namespace {
constexpr const char* kReplaceQuestion = " exists. Replace it?* 已存在。要替换它吗?";
}  // namespace

QString QtFileFilter(const char* filter) {
  const QStringList parts = QString::fromUtf8(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2)
    out << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), parts[i + 1].trimmed());
  return out.join(";;");
}

QtBufferUi::QtBufferUi(QWidget* window, HexView* view, TFileFormat* format)
    : window_(window), view_(view), format_(format) {}

void QtBufferUi::AskFileFormat(FileFormatModel& model) {
  if (format_) {
    format_->Run(model);
  } else {
    model.Cancel();
  }
}

void QtBufferUi::SetFrameCaption(const std::string& caption) {
  if (setCaption) {
    setCaption(caption);
  } else if (window_) {
    window_->setWindowTitle(QString::fromStdString(caption));
  }
}

void QtBufferUi::UpdateRecentMenu(const std::string& name) {
  if (updateRecent) updateRecent(name);
}

void QtBufferUi::ShowBuffer() {
  if (view_) view_->ShowBuffer();
}

void QtBufferUi::ShowDataArea() {
  if (view_) view_->DisplayEE();
}

bool QtBufferUi::LoadProjectFile(const std::string& path) {
  return loadProject && loadProject(path);
}

bool QtBufferUi::ShowJedecWindow(int viewKind, const std::string& path) {
  return showJedec && showJedec(viewKind, path);
}

bool QtBufferUi::ShowSvfWindow(const std::string& path) {
  return showSvf && showSvf(path);
}

void QtBufferUi::OptionWordsChanged() {
  if (optionWordsChanged) optionWordsChanged();
}

void QtBufferUi::OpenFile() {
  const QString name =
      QFileDialog::getOpenFileName(window_, QString(), QString(), QtFileFilter(kOpenFilter));
  if (!name.isEmpty()) LoadBufferFile(name.toStdString(), 0);
}

void QtBufferUi::OpenDataFile() {
  if (gApp.InfoRecord[1] < 1) {
    LoadDataArea("");  // says that the chip has no data area
    return;
  }
  const QString name =
      QFileDialog::getOpenFileName(window_, QString(), QString(), QtFileFilter(kOpenFilter));
  if (!name.isEmpty()) LoadDataArea(name.toStdString());
}

void QtBufferUi::SaveFile() {
  const SaveProposal proposal = ProposeSave();
  QFileDialog dialog(window_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(QtFileFilter(kSaveFilter).split(";;"));
  // The dialog keeps its own form of the filter texts: the choice is taken by its index there.
  const QStringList filters = dialog.nameFilters();
  dialog.selectNameFilter(filters.value(proposal.filterIndex - 1));
  dialog.selectFile(QString::fromStdString(proposal.fileName));
  if (saveDialogShown) saveDialogShown(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const int filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  const std::string typed = dialog.selectedFiles().front().toStdString();
  const std::string name = SaveFileName(typed, filterIndex < 1 ? 1 : filterIndex);
  // The dialog asked about the name typed; a name changed to the format's extension is asked here.
  if (name != typed && QFileInfo::exists(QString::fromStdString(name)) &&
      !services().AskYesNo(name + LocalText(kReplaceQuestion))) {
    return;
  }
  SaveBuffer(typed, filterIndex < 1 ? 1 : filterIndex);
}

}  // namespace zelvar
