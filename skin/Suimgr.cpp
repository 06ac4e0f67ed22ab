#include "skin/Suimgr.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <QWidget>

#include "skin/Suipublic.h"

namespace zelvar {

namespace {

std::string& ProgramDirectoryOverride() {
  static std::string dir;
  return dir;
}

// The name as given when such a file exists, else its file name in the program's directory
// (this system has no Windows or System directory to look in next); empty when neither exists.
QString FindThemeFile(const QString& name) {
  if (QFileInfo(name).isFile()) return QFileInfo(name).absoluteFilePath();
  const QString dir = QString::fromStdString(TsuiFileTheme::ProgramDirectory());
  const QString inProgramDir = QDir(dir).filePath(QFileInfo(name).fileName());
  if (!dir.isEmpty() && QFileInfo(inProgramDir).isFile()) return inProgramDir;
  return {};
}

}  // namespace

void TsuiFileTheme::SetProgramDirectory(const std::string& dir) {
  ProgramDirectoryOverride() = dir;
}

std::string TsuiFileTheme::ProgramDirectory() {
  if (!ProgramDirectoryOverride().empty()) return ProgramDirectoryOverride();
  if (QCoreApplication::instance() == nullptr) return {};
  return QCoreApplication::applicationDirPath().toStdString();
}

TsuiFileTheme::TsuiFileTheme(QObject* owner) : QObject(owner) {}

TsuiFileTheme::~TsuiFileTheme() = default;

void TsuiFileTheme::SetThemeFile(const std::string& fileName) {
  const bool hadFile = !themeFile_.empty();
  const QString found = FindThemeFile(QString::fromStdString(fileName));
  if (found.isEmpty()) return;
  themeFile_ = found.toStdString();
  ready_ = mgr_.LoadFromFile(themeFile_, password_, &error_);
  auto* form = qobject_cast<QWidget*>(parent());
  if (!ready_ || form == nullptr) return;
  // Every control of the form that points at this theme reads its values again.
  bool frameNoted = false;
  for (QObject* component : form->findChildren<QObject*>()) {
    auto* styled = dynamic_cast<TsuiStyled*>(component);
    if (styled == nullptr || styled->FileTheme() != this) continue;
    if (QString(component->metaObject()->className()).endsWith("TsuiForm")) frameNoted = true;
    styled->SetFileTheme(nullptr);
    styled->SetFileTheme(this);
  }
  if (frameNoted && hadFile) form->update();
}

void TsuiFileTheme::SetPassword(const std::string& password) {
  password_ = password;
  if (!password.empty()) SetThemeFile(themeFile_);
}

void TsuiFileTheme::GetBitmap2(Tsk2SkinBitmapElement element, QImage* dest, int count,
                               int index) const {
  const QImage* picture = GetBitmap(element);
  if (dest == nullptr || picture == nullptr) return;
  if (count == 0 || index == 0)
    *dest = *picture;
  else
    SpitBitmap(*picture, dest, count, index);
}

void TsuiBuiltInFileTheme::SetThemeFile2(const std::string& fileName) {
  sourceFile_ = fileName;
  SetThemeFile(fileName);
}

QByteArray TsuiBuiltInFileTheme::WriteSkinData() const {
  QFile file(QString::fromStdString(sourceFile_));
  if (sourceFile_.empty() || !file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

bool TsuiBuiltInFileTheme::ReadSkinData(const QByteArray& data) {
  const QString base =
      QDir(QDir::tempPath()).filePath(QUuid::createUuid().toString(QUuid::WithBraces));
  QString name = base + ".sui";
  for (int n = 1; QFileInfo::exists(name); ++n) name = base + QString::number(n) + ".sui";
  QFile file(name);
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(data) != data.size()) {
    file.remove();
    return false;
  }
  file.close();
  SetThemeFile(name.toStdString());
  QFile::remove(name);
  return true;
}

bool UsingFileTheme(const TsuiFileTheme* fileTheme, TsuiUIStyle uiStyle, TsuiUIStyle& style) {
  style = uiStyle;
  if (uiStyle != FromThemeFile) return false;
  if (fileTheme != nullptr && fileTheme->CanUse()) return true;
  style = DeepBlue;
  return false;
}

void TsuiStyled::SetUIStyle(TsuiUIStyle style) {
  uiStyle_ = style;
  UIStyleChanged();
}

void TsuiStyled::SetFileTheme(TsuiFileTheme* theme) {
  QObject::disconnect(themeGone_);
  fileTheme_ = theme;
  if (theme != nullptr) {
    // The control's own QObject side bounds the connection's life.
    auto* self = dynamic_cast<QObject*>(this);
    themeGone_ = QObject::connect(theme, &QObject::destroyed, self != nullptr ? self : theme,
                                  [this] { SetFileTheme(nullptr); });
  }
  SetUIStyle(uiStyle_);
}

TsuiUIStyle TsuiStyled::Style() const {
  TsuiUIStyle style = DeepBlue;
  if (UsingFileTheme(FileTheme(), UIStyle(), style)) return DeepBlue;
  return style;
}

const TsuiFileTheme* TsuiStyled::ThemeInUse() const {
  TsuiUIStyle style = DeepBlue;
  return UsingFileTheme(FileTheme(), UIStyle(), style) ? FileTheme() : nullptr;
}

QColor TsuiStyled::ThemeColor(int insideElement, Tsk2SkinColorElement fileElement) const {
  if (const TsuiFileTheme* theme = ThemeInUse()) return theme->GetQColor(fileElement);
  return GetInsideThemeQColor(Style(), insideElement);
}

bool TsuiStyled::ThemeBool(int insideElement, Tsk2BoolElement fileElement) const {
  if (const TsuiFileTheme* theme = ThemeInUse()) return theme->GetBool(fileElement);
  return GetInsideThemeBool(Style(), insideElement);
}

QImage TsuiStyled::ThemeBitmap(int insideElement, Tsk2SkinBitmapElement fileElement, int count,
                               int index) const {
  QImage picture;
  if (const TsuiFileTheme* theme = ThemeInUse())
    theme->GetBitmap2(fileElement, &picture, count, index);
  else
    GetInsideThemeBitmap(Style(), insideElement, &picture, count, index);
  return picture;
}

TsuiUIStyle TsuiStyled::OwnerStyle(const QWidget* owner) {
  return GetSUIFormStyle(owner != nullptr ? owner->window() : nullptr);
}

TsuiThemeManager::TsuiThemeManager(QObject* owner) : QObject(owner) {
  SetUIStyle(DeepBlue);
}

void TsuiThemeManager::SetUIStyle(TsuiUIStyle style) {
  const bool changed = style != uiStyle_;
  uiStyle_ = style;
  UpdateAll();
  if (changed && OnUIStyleChanged) OnUIStyleChanged(this);
}

void TsuiThemeManager::SetFileTheme(TsuiFileTheme* theme) {
  QObject::disconnect(themeGone_);
  fileTheme_ = theme;
  if (theme != nullptr) {
    // A theme that goes leaves none and DeepBlue behind, without touching the controls.
    themeGone_ = connect(theme, &QObject::destroyed, this, [this] {
      fileTheme_ = nullptr;
      uiStyle_ = DeepBlue;
    });
  }
  SetUIStyle(uiStyle_);
}

void TsuiThemeManager::SetList(const QStringList& names) {
  compList_ = names;
  UpdateAll();
}

void TsuiThemeManager::UpdateAll() {
  auto* form = qobject_cast<QWidget*>(parent());
  if (form == nullptr) return;
  for (const QString& name : QStringList(compList_)) {
    QObject* component = form->findChild<QObject*>(name);
    auto* styled = dynamic_cast<TsuiStyled*>(component);
    if (styled == nullptr) continue;
    Watch(component);
    styled->SetUIStyle(uiStyle_);
    styled->SetFileTheme(fileTheme_.data());
  }
}

void TsuiThemeManager::Watch(QObject* component) {
  if (watched_.contains(component)) return;
  watched_.insert(component);
  // A control that leaves the form leaves the list.
  const QString name = component->objectName();
  connect(component, &QObject::destroyed, this, [this, component, name] {
    watched_.remove(component);
    compList_.removeAll(name);
  });
}

QStringList ThemeManagerCandidates(const TsuiThemeManager& manager) {
  QStringList names;
  auto* form = qobject_cast<QWidget*>(manager.parent());
  if (form == nullptr) return names;
  for (QObject* component : form->findChildren<QObject*>()) {
    if (dynamic_cast<TsuiStyled*>(component) != nullptr && !component->objectName().isEmpty())
      names << component->objectName();
  }
  return names;
}

}  // namespace zelvar
