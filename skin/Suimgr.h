#pragma once
// The choice between a skin file and a built-in style, and the style every skinned control
// carries: file themes, the built-in file theme and the theme manager.
#include <QByteArray>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <functional>
#include <string>

#include "skin/Suithemes.h"

class QWidget;

namespace zelvar {

// A skin file ("ThemeFile") loaded for the controls that point at it. Parented to its form, the
// way a component is owned by one.
class TsuiFileTheme : public QObject {
 public:
  explicit TsuiFileTheme(QObject* owner = nullptr);
  ~TsuiFileTheme() override;

  // Whether a skin file was loaded successfully.
  virtual bool CanUse() const { return ready_; }
  bool Ready() const { return CanUse(); }
  void SetCanUse(bool) {}  // the flag follows the loads alone

  // Finds the file (the name as given, else its file name in the program's directory), loads
  // it and makes every control on the owner form that points at this theme read again. A file
  // found nowhere changes nothing.
  void SetThemeFile(const std::string& fileName);
  const std::string& ThemeFile() const { return themeFile_; }
  // A non-empty password reloads the file with it.
  void SetPassword(const std::string& password);
  const std::string& Password() const { return password_; }
  // Where SetThemeFile looks for a bare file name: the running program's directory unless set.
  static void SetProgramDirectory(const std::string& dir);
  static std::string ProgramDirectory();
  // "Failed to read skin file!" after a load that failed, else empty.
  const std::string& LastError() const { return error_; }

  // A colour word of the skin, -1 when the skin lacks it (see SkinQColor).
  int GetColor(Tsk2SkinColorElement element) const { return mgr_.GetColor(element); }
  QColor GetQColor(Tsk2SkinColorElement element) const { return SkinQColor(GetColor(element)); }
  int GetInt(Tsk2IntElement element) const { return mgr_.GetInt(element); }
  bool GetBool(Tsk2BoolElement element) const { return mgr_.GetBool(element); }
  // The skin's own picture (owned by the theme), or none.
  const QImage* GetBitmap(Tsk2SkinBitmapElement element) const { return mgr_.GetBitmap(element); }
  // The picture into `dest`: whole when `count` or `index` is 0, else frame `index` of `count`.
  void GetBitmap2(Tsk2SkinBitmapElement element, QImage* dest, int count, int index) const;

 private:
  TsuiFileThemeMgr mgr_;
  std::string themeFile_;
  std::string password_;
  std::string error_;
  bool ready_ = false;
};

// A file theme that keeps the skin file's bytes with its form ("SkinData") and loads them
// through a temporary file.
class TsuiBuiltInFileTheme : public TsuiFileTheme {
 public:
  using TsuiFileTheme::TsuiFileTheme;
  // Remembers the file as the source of the stored bytes, then loads it.
  void SetThemeFile2(const std::string& fileName);
  const std::string& SourceFile() const { return sourceFile_; }
  // The source file's bytes as they are stored with the form; empty without a source file.
  QByteArray WriteSkinData() const;
  // Loads stored bytes: written to a fresh temporary ".sui" file, loaded, the file deleted.
  // False when the temporary file cannot be written.
  bool ReadSkinData(const QByteArray& data);

 private:
  std::string sourceFile_;
};

// True: read every value from `fileTheme`. False: read every value from the built-in style left
// in `style`.
bool UsingFileTheme(const TsuiFileTheme* fileTheme, TsuiUIStyle uiStyle, TsuiUIStyle& style);

// The UIStyle and FileTheme that every skinned control publishes. Setting either re-reads the
// control's colours, pictures and flags (UIStyleChanged) and repaints. A file theme that is
// destroyed is let go of as though FileTheme had been set to none.
class TsuiStyled {
 public:
  virtual ~TsuiStyled() { QObject::disconnect(themeGone_); }

  void SetUIStyle(TsuiUIStyle style);
  virtual TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetFileTheme(TsuiFileTheme* theme);
  TsuiFileTheme* FileTheme() const { return fileTheme_.data(); }
  // The built-in style for the values a control reads from the built-in table: DeepBlue while
  // a file theme is in use, for the values a skin file does not carry.
  TsuiUIStyle Style() const;
  // The file theme when the control reads from it (UsingFileTheme), else none.
  const TsuiFileTheme* ThemeInUse() const;
  // One value by the rule every control follows: from the file theme in use, else from the
  // built-in style.
  QColor ThemeColor(int insideElement, Tsk2SkinColorElement fileElement) const;
  bool ThemeBool(int insideElement, Tsk2BoolElement fileElement) const;
  // Frame `index` of `count` (whole with 0) of the skin's picture or the built-in one.
  QImage ThemeBitmap(int insideElement, Tsk2SkinBitmapElement fileElement, int count,
                     int index) const;

 protected:
  virtual void UIStyleChanged() {}
  // The style of the frame on `owner`'s window, as a new control takes it.
  static TsuiUIStyle OwnerStyle(const QWidget* owner);

 private:
  TsuiUIStyle uiStyle_ = DeepBlue;
  QPointer<TsuiFileTheme> fileTheme_;
  QMetaObject::Connection themeGone_;
};

// Gives one UIStyle and one FileTheme to the controls of its form named in CompList.
class TsuiThemeManager : public QObject {
 public:
  explicit TsuiThemeManager(QObject* owner = nullptr);

  // Updates every listed control; OnUIStyleChanged fires only when the value changed.
  void SetUIStyle(TsuiUIStyle style);
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetFileTheme(TsuiFileTheme* theme);
  TsuiFileTheme* FileTheme() const { return fileTheme_.data(); }
  void SetList(const QStringList& names);
  const QStringList& CompList() const { return compList_; }
  std::function<void(TsuiThemeManager*)> OnUIStyleChanged;

  // Only on a form: each listed control (found by object name among the owner's descendants)
  // gets the style, then the file theme. Names that match nothing are skipped.
  void UpdateAll();
  void UpdateTheme() { UpdateAll(); }

 private:
  void Watch(QObject* component);
  TsuiUIStyle uiStyle_ = DeepBlue;
  QPointer<TsuiFileTheme> fileTheme_;
  QMetaObject::Connection themeGone_;
  QStringList compList_;
  QSet<QObject*> watched_;
};

// The controls of the theme manager's form it may list: skinned controls with a name that are
// not theme managers.
QStringList ThemeManagerCandidates(const TsuiThemeManager& manager);

}  // namespace zelvar
