#pragma once
// The skinned dialogs: a message box with an icon and up to three buttons, an input dialog and a
// password dialog. Each ShowModal builds a fresh framed form, shows it and frees it; the layouts
// are plain arithmetic on the form's controls, which the tests read through the modal seam.
#include <QDialog>
#include <QFont>
#include <QString>
#include <functional>

#include "skin/Suimgr.h"

class QLabel;

namespace zelvar {

class TsuiButton;
class TsuiEdit;
class TsuiForm;

// Scoped: the title bar's button kinds already hold a suiHelp. 1 to 4 are the icon frames.
enum class TsuiIconType {
  suiNone = 0,
  suiWarning = 1,
  suiStop = 2,
  suiInformation = 3,
  suiHelp = 4
};

// The standard dialog buttons, in the order a message box takes them.
enum TsuiMsgButton {
  mbYes = 1 << 0,
  mbNo = 1 << 1,
  mbOK = 1 << 2,
  mbCancel = 1 << 3,
  mbAbort = 1 << 4,
  mbRetry = 1 << 5,
  mbIgnore = 1 << 6,
  mbAll = 1 << 7,
  mbNoToAll = 1 << 8,
  mbYesToAll = 1 << 9,
  mbHelp = 1 << 10
};
// The result of a Help button of SUIMsgDlg: a result of its own, so that the caller can tell it
// from the answer of any other button.
inline constexpr int kMsgDlgHelpResult = 11;

enum TsuiMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The caption of a standard button in the desktop's language (Qt's own button texts); All, No to
// All and Yes to All are fixed.
QString GetLocaleButtonCaption(TsuiMsgButton button);

// What every dialog shares: caption, skin, fonts and the modal run.
class TsuiDialog : public QObject {
 public:
  explicit TsuiDialog(QObject* owner = nullptr);

  QString Caption = "suiDialog";
  void SetUIStyle(TsuiUIStyle style);
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  // A theme that is destroyed leaves DeepBlue behind.
  void SetFileTheme(TsuiFileTheme* theme);
  TsuiFileTheme* FileTheme() const { return fileTheme_.data(); }
  void SetFont(const QFont& font) { font_ = font; }
  const QFont& Font() const { return font_; }
  QColor FontColor() const { return fontColour_; }
  void SetCaptionFont(const QFont& font) { captionFont_ = font; }
  const QFont& CaptionFont() const { return captionFont_; }
  QColor CaptionFontColor() const { return captionColour_; }
  Qt::CursorShape ButtonCursor = Qt::PointingHandCursor;

  // Builds the form, shows it modally, frees it; the form's result.
  virtual int ShowModal() = 0;

  // Shows a built form; tests replace it to read the layout and answer for the user.
  using ModalRunner = std::function<int(QDialog&)>;
  static ModalRunner& Runner();

 protected:
  // The common ending: frame caption, style and theme, caption font, the modal run.
  int Finish(QDialog& form, TsuiForm& frame);

 private:
  TsuiUIStyle uiStyle_ = DeepBlue;
  QPointer<TsuiFileTheme> fileTheme_;
  QMetaObject::Connection themeGone_;
  QFont font_;
  QFont captionFont_;
  QColor fontColour_ = Qt::black;
  QColor captionColour_ = Qt::white;
};

class TsuiMessageDialog : public TsuiDialog {
 public:
  using TsuiDialog::TsuiDialog;
  int ButtonCount = 1;  // 1 to 3
  QString Button1Caption = "OK";
  QString Button2Caption = "Cancel";
  QString Button3Caption = "Cancel";
  int Button1ModalResult = 1;
  int Button2ModalResult = 2;
  int Button3ModalResult = 2;
  TsuiIconType IconType = TsuiIconType::suiNone;
  QString Text = "Hello world!";
  int ShowModal() override;
};

class TsuiInputDialog : public TsuiDialog {
 public:
  using TsuiDialog::TsuiDialog;
  QChar PasswordChar;  // none when null
  QString PromptText = "Prompt text:";
  // Shown in the field; after OK, the text typed.
  QString ValueText;
  QString ButtonOKCaption = "OK";
  QString ButtonCancelCaption = "Cancel";
  int ShowModal() override;
};

class TsuiPasswordDialog : public TsuiDialog {
 public:
  using TsuiDialog::TsuiDialog;
  QString Item1Caption = "User name:";
  QString Item2Caption = "Password:";
  QChar Item1PasswordChar;
  QChar Item2PasswordChar = '*';
  QString Item1Text;
  QString Item2Text;
  QString ButtonOKCaption = "OK";
  QString ButtonCancelCaption = "Cancel";
  int ShowModal() override;
};

// The message box's form; Ctrl+C copies it as text.
class TfrmMsg : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmMsg(QWidget* parent = nullptr);
  TsuiForm* suiForm1;
  QLabel* lbl;
  QLabel* Image1;
  std::vector<TsuiButton*> buttons;  // in the order made: the rightmost first
  // The seven lines the box copies: dashes, title, dashes, text, dashes, buttons, dashes.
  QString ClipboardText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class TfrmInput : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmInput(QWidget* parent = nullptr);
  TsuiForm* suiForm1;
  QLabel* lbl_prompt;
  TsuiEdit* edt_value;
  TsuiButton* btn1;
  TsuiButton* btn2;
};

class TfrmPass : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmPass(QWidget* parent = nullptr);
  TsuiForm* suiForm1;
  QLabel* lbl1;
  QLabel* lbl2;
  TsuiEdit* edt1;
  TsuiEdit* edt2;
  TsuiButton* btn1;
  TsuiButton* btn2;
};

// A message box in one call: the buttons of `buttons` (a set of TsuiMsgButton) fill up to three
// slots in the standard order (past three, a Cancel keeps the last slot), the type gives the icon.
// Help answers kMsgDlgHelpResult.
int SUIMsgDlg(const QString& msg, const QString& caption, TsuiMsgDlgType type, int buttons,
              TsuiUIStyle style);
int SUIMsgDlg(const QString& msg, TsuiMsgDlgType type, int buttons, TsuiUIStyle style);
int SUIMsgDlgFromSkinFile(const QString& msg, const QString& caption, TsuiMsgDlgType type,
                          int buttons, TsuiFileTheme* theme);
int SUIMsgDlgFromSkinFile(const QString& msg, TsuiMsgDlgType type, int buttons,
                          TsuiFileTheme* theme);

}  // namespace zelvar
