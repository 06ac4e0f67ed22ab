#include "skin/Suidlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "skin/Suibutton.h"
#include "skin/Suiedit.h"
#include "skin/Suiform.h"
#include "skin/Suipictures.h"
#include "skin/Suipublic.h"
#include "skin/Suititlebar.h"

namespace zelvar {

namespace {

const QString kDashes(27, '-');

// The dialogs' font: "MS Sans Serif" of 11 pixels stands as the desktop's sans serif.
QFont DialogFont() {
  QFont font;
  font.setPixelSize(11);
  return font;
}

QLabel* Label(QWidget* form, const QString& text, int x, int y) {
  auto* label = new QLabel(text, form);
  label->setFont(form->font());
  label->move(x, y);
  label->adjustSize();
  label->setAttribute(Qt::WA_TranslucentBackground);
  return label;
}

TsuiButton* Button(QWidget* form, int x, int y, int result) {
  auto* button = new TsuiButton(form);
  button->setGeometry(x, y, 73, 25);
  button->SetModalResult(result);
  button->SetTransparent(false);
  button->SetFocusedRectMargin(2);
  button->SetMouseContinuouslyDownInterval(100);
  return button;
}

TsuiEdit* Edit(QWidget* form, int x, int y, int w, int h) {
  auto* edit = new TsuiEdit(form);
  edit->setGeometry(x, y, w, h);
  edit->SetUIStyle(DeepBlue);
  edit->SetBorderColor(Qt::black);
  return edit;
}

// The form: a fixed dialog of the given client size, framed in DeepBlue with a close button.
TsuiForm* Frame(QDialog* form, int w, int h) {
  form->setFont(DialogFont());
  form->setFixedSize(w, h);
  auto* frame = new TsuiForm(form);
  frame->SetUIStyle(DeepBlue);
  // The buttons and edits follow the dialog's style and skin through the frame.
  frame->SetUIStyleAutoUpdateSub(true);
  if (frame->TitleBar() != nullptr) {
    for (TsuiTitleBarButton& b : frame->TitleBar()->Buttons()) b.visible = b.type == suiClose;
  }
  return frame;
}

void SetButton(TsuiButton* button, const QString& caption, bool isDefault, bool isCancel) {
  button->SetCaption2(caption.toStdString());
  button->SetDefault(isDefault);
  button->SetCancel(isCancel);
}

void Resize(QDialog& form, int w, int h) {
  form.setFixedSize(w, h);
}

// Widens the edits of an input form to end 50 pixels before its right side and centres the
// buttons; a frame wider than 6 pixels widens the form by twice its width.
void InputFormShow(QDialog& form, TsuiForm& frame, TsuiEdit* first, TsuiEdit* second,
                   TsuiButton* btn1, TsuiButton* btn2) {
  const int right = first->geometry().right() + 1;
  if (form.width() > right + 50) {
    first->resize(form.width() - 50 - first->x(), first->height());
    if (second != nullptr) second->resize(first->width(), second->height());
    btn1->move((form.width() - btn1->width() - btn2->width() - 16) / 2, btn1->y());
    btn2->move(btn1->geometry().right() + 1 + 16, btn2->y());
  }
  if (frame.BorderWidth() > 6) Resize(form, form.width() + 2 * frame.BorderWidth(), form.height());
}

}  // namespace

QString GetLocaleButtonCaption(TsuiMsgButton button) {
  QDialogButtonBox::StandardButton standard = QDialogButtonBox::NoButton;
  switch (button) {
    case mbYes:
      standard = QDialogButtonBox::Yes;
      break;
    case mbNo:
      standard = QDialogButtonBox::No;
      break;
    case mbOK:
      standard = QDialogButtonBox::Ok;
      break;
    case mbCancel:
      standard = QDialogButtonBox::Cancel;
      break;
    case mbAbort:
      standard = QDialogButtonBox::Abort;
      break;
    case mbRetry:
      standard = QDialogButtonBox::Retry;
      break;
    case mbIgnore:
      standard = QDialogButtonBox::Ignore;
      break;
    case mbHelp:
      standard = QDialogButtonBox::Help;
      break;
    case mbAll:
      return "All";
    case mbNoToAll:
      return "No to All";
    case mbYesToAll:
      return "Yes to All";
  }
  QDialogButtonBox box(standard);
  QPushButton* b = box.button(standard);
  return b != nullptr ? b->text() : QString();
}

TsuiDialog::TsuiDialog(QObject* owner) : QObject(owner) {
  captionFont_.setFamily("Tahoma");
  captionFont_.setBold(true);
  SetUIStyle(GetSUIFormStyle(owner));
}

TsuiDialog::ModalRunner& TsuiDialog::Runner() {
  static ModalRunner runner = [](QDialog& form) { return form.exec(); };
  return runner;
}

void TsuiDialog::SetUIStyle(TsuiUIStyle style) {
  uiStyle_ = style;
  TsuiUIStyle resolved = DeepBlue;
  if (UsingFileTheme(fileTheme_.data(), style, resolved)) {
    captionColour_ = fileTheme_->GetQColor(SKIN2_TITLEFONTCOLOR);
    fontColour_ = fileTheme_->GetQColor(SKIN2_CONTROLFONTCOLOR);
    return;
  }
  fontColour_ = Qt::black;
  captionColour_ = style == MacOS ? QColor(Qt::black) : QColor(Qt::white);
}

void TsuiDialog::SetFileTheme(TsuiFileTheme* theme) {
  QObject::disconnect(themeGone_);
  fileTheme_ = theme;
  if (theme != nullptr) {
    themeGone_ = connect(theme, &QObject::destroyed, this, [this] {
      fileTheme_ = nullptr;
      SetUIStyle(DeepBlue);
    });
  }
  SetUIStyle(uiStyle_);
}

int TsuiDialog::Finish(QDialog& form, TsuiForm& frame) {
  frame.ReAssign();
  frame.SetCaption(Caption.toStdString());
  frame.SetFileTheme(fileTheme_.data());
  frame.SetUIStyle(uiStyle_);
  if (frame.TitleBar() != nullptr) {
    frame.TitleBar()->setFont(captionFont_);
    QPalette p = frame.TitleBar()->palette();
    if (captionColour_.isValid()) p.setColor(QPalette::WindowText, captionColour_);
    frame.TitleBar()->setPalette(p);
  }
  QPalette p = form.palette();
  if (fontColour_.isValid()) p.setColor(QPalette::WindowText, fontColour_);
  form.setPalette(p);
  return Runner()(form);
}

TfrmMsg::TfrmMsg(QWidget* parent) : QDialog(parent) {
  suiForm1 = Frame(this, 336, 140);
  lbl = Label(this, QString(), 88, 64);
  lbl->setWordWrap(true);
  lbl->setFixedWidth(225);
  Image1 = new QLabel(this);
  Image1->setGeometry(24, 64, 40, 40);
}

QString TfrmMsg::ClipboardText() const {
  QStringList captions;
  for (const TsuiButton* b : buttons) captions << QString::fromStdString(b->Caption());
  const QString title = suiForm1->TitleBar() != nullptr ? suiForm1->TitleBar()->Caption() : "";
  return QStringList({kDashes, title, kDashes, lbl->text(), kDashes, captions.join("   "), kDashes})
      .join("\r\n");
}

void TfrmMsg::keyPressEvent(QKeyEvent* event) {
  if ((event->modifiers() & Qt::ControlModifier) && event->key() == Qt::Key_C) {
    QApplication::clipboard()->setText(ClipboardText());
    return;
  }
  QDialog::keyPressEvent(event);
}

int TsuiMessageDialog::ShowModal() {
  TfrmMsg form;
  form.setFont(Font());
  form.lbl->setText(Text);
  form.lbl->setFixedHeight(std::max(13, form.lbl->heightForWidth(225)));
  const int bottom = std::max(form.lbl->geometry().bottom(), form.Image1->geometry().bottom()) + 1;
  int width = form.width();
  if (IconType != TsuiIconType::suiNone) {
    form.lbl->move(88, form.lbl->y());
    QImage frame;
    SpitBitmap(LoadResourceBitmap("MSGDLG"), &frame, 4, static_cast<int>(IconType));
    form.Image1->setPixmap(QPixmap::fromImage(frame));
    form.Image1->resize(frame.size());  // auto-size
  } else {
    form.lbl->move(24, form.lbl->y());
    form.Image1->hide();
    if (ButtonCount < 3) width -= 64;
  }
  Resize(form, width, form.height());
  const int count = std::clamp(ButtonCount, 1, 3);
  const QString captions[] = {Button1Caption, Button2Caption, Button3Caption};
  const int results[] = {Button1ModalResult, Button2ModalResult, Button3ModalResult};
  int x = width - 73 - 24;
  for (int i = count; i >= 1; --i) {
    TsuiButton* b = Button(&form, x, bottom + 20, results[i - 1]);
    b->setCursor(ButtonCursor);
    b->SetCaption2(captions[i - 1].toStdString());
    b->SetDefault(results[i - 1] == 1);
    b->SetCancel(results[i - 1] == 2);
    form.buttons.push_back(b);
    x -= 93;
  }
  // Tab order Button1, Button2, Button3; button 1 starts focused.
  for (int i = count - 1; i > 0; --i)
    QWidget::setTabOrder(form.buttons[static_cast<std::size_t>(i)],
                         form.buttons[static_cast<std::size_t>(i - 1)]);
  form.buttons.back()->setFocus();
  Resize(form, width, bottom + 20 + 25 + 30);
  if (form.suiForm1->BorderWidth() > 6)
    Resize(form, form.width() + 2 * form.suiForm1->BorderWidth(), form.height());
  return Finish(form, *form.suiForm1);
}

TfrmInput::TfrmInput(QWidget* parent) : QDialog(parent) {
  suiForm1 = Frame(this, 254, 178);
  lbl_prompt = Label(this, "User name:", 24, 56);
  edt_value = Edit(this, 24, 78, 201, 19);
  btn1 = Button(this, 40, 128, 1);
  btn2 = Button(this, 129, 128, 2);
  setTabOrder(edt_value, btn1);
  setTabOrder(btn1, btn2);
}

int TsuiInputDialog::ShowModal() {
  TfrmInput form;
  form.setFont(Font());
  form.lbl_prompt->setText(PromptText);
  form.lbl_prompt->adjustSize();
  form.edt_value->setText(ValueText);
  form.edt_value->setEchoMode(PasswordChar.isNull() ? QLineEdit::Normal : QLineEdit::Password);
  SetButton(form.btn1, ButtonOKCaption, true, false);
  SetButton(form.btn2, ButtonCancelCaption, false, true);
  form.btn1->move(form.width() / 2 - 8 - form.btn1->width(), form.btn1->y());
  form.btn2->move(form.width() / 2 + 8, form.btn2->y());
  for (TsuiButton* b : {form.btn1, form.btn2}) b->setCursor(ButtonCursor);
  InputFormShow(form, *form.suiForm1, form.edt_value, nullptr, form.btn1, form.btn2);
  const int result = Finish(form, *form.suiForm1);
  if (result == 1) ValueText = form.edt_value->text();
  return result;
}

TfrmPass::TfrmPass(QWidget* parent) : QDialog(parent) {
  suiForm1 = Frame(this, 241, 195);
  lbl1 = Label(this, "User name:", 24, 64);
  lbl2 = Label(this, "Password:", 24, 96);
  edt1 = Edit(this, 88, 62, 121, 19);
  edt2 = Edit(this, 88, 96, 121, 19);
  btn1 = Button(this, 40, 144, 1);
  btn2 = Button(this, 129, 144, 2);
  setTabOrder(edt1, edt2);
  setTabOrder(edt2, btn1);
  setTabOrder(btn1, btn2);
}

int TsuiPasswordDialog::ShowModal() {
  TfrmPass form;
  form.setFont(Font());
  form.lbl1->setText(Item1Caption);
  form.lbl2->setText(Item2Caption);
  form.lbl1->adjustSize();
  form.lbl2->adjustSize();
  form.edt1->setText(Item1Text);
  form.edt2->setText(Item2Text);
  const int w = std::max(form.lbl1->width(), form.lbl2->width());
  form.edt1->move(form.lbl1->x() + w + 5, form.edt1->y());
  form.edt2->move(form.edt1->x(), form.edt2->y());
  form.edt1->setEchoMode(Item1PasswordChar.isNull() ? QLineEdit::Normal : QLineEdit::Password);
  form.edt2->setEchoMode(Item2PasswordChar.isNull() ? QLineEdit::Normal : QLineEdit::Password);
  SetButton(form.btn1, ButtonOKCaption, true, false);
  SetButton(form.btn2, ButtonCancelCaption, false, true);
  Resize(form, form.edt1->x() + form.edt1->width() + 24, form.height());
  form.btn1->move(form.width() / 2 - 8 - form.btn1->width(), form.btn1->y());
  form.btn2->move(form.width() / 2 + 8, form.btn2->y());
  for (TsuiButton* b : {form.btn1, form.btn2}) b->setCursor(ButtonCursor);
  InputFormShow(form, *form.suiForm1, form.edt1, form.edt2, form.btn1, form.btn2);
  const int result = Finish(form, *form.suiForm1);
  if (result == 1) {
    Item1Text = form.edt1->text();
    Item2Text = form.edt2->text();
  }
  return result;
}

namespace {

void FillButtons(TsuiMessageDialog& dialog, int buttons) {
  struct Kind {
    TsuiMsgButton button;
    int result;
  };
  static constexpr Kind kinds[] = {{mbYes, 6},
                                   {mbNo, 7},
                                   {mbOK, 1},
                                   {mbCancel, 2},
                                   {mbAbort, 3},
                                   {mbRetry, 4},
                                   {mbIgnore, 5},
                                   {mbAll, 8},
                                   {mbNoToAll, 9},
                                   {mbYesToAll, 10},
                                   {mbHelp, kMsgDlgHelpResult}};
  std::vector<Kind> chosen;
  for (const Kind& k : kinds)
    if (buttons & k.button) chosen.push_back(k);
  // Three slots. A box of more buttons keeps the first ones in the set order, but a Cancel in
  // the set keeps the last slot, so that the box can always be cancelled.
  if (chosen.size() > 3) {
    const auto cancel = std::find_if(chosen.begin(), chosen.end(),
                                     [](const Kind& k) { return k.button == mbCancel; });
    const Kind last = cancel != chosen.end() && cancel - chosen.begin() >= 2 ? *cancel : chosen[2];
    chosen.resize(2);
    chosen.push_back(last);
  }
  QString* captions[] = {&dialog.Button1Caption, &dialog.Button2Caption, &dialog.Button3Caption};
  int* results[] = {&dialog.Button1ModalResult, &dialog.Button2ModalResult,
                    &dialog.Button3ModalResult};
  for (size_t i = 0; i < chosen.size(); ++i) {
    *captions[i] = GetLocaleButtonCaption(chosen[i].button);
    *results[i] = chosen[i].result;
  }
  dialog.ButtonCount = std::max(static_cast<int>(chosen.size()), 1);
}

TsuiIconType IconFor(TsuiMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return TsuiIconType::suiWarning;
    case mtError:
      return TsuiIconType::suiStop;
    case mtInformation:
      return TsuiIconType::suiInformation;
    case mtConfirmation:
      return TsuiIconType::suiHelp;
    case mtCustom:
      break;
  }
  return TsuiIconType::suiNone;
}

QString AppTitle() {
  return QCoreApplication::instance() != nullptr ? QCoreApplication::applicationName()
                                                 : QString("Default");
}

}  // namespace

int SUIMsgDlg(const QString& msg, const QString& caption, TsuiMsgDlgType type, int buttons,
              TsuiUIStyle style) {
  TsuiMessageDialog dialog;
  dialog.Text = msg;
  FillButtons(dialog, buttons);
  dialog.IconType = IconFor(type);
  dialog.SetUIStyle(style);
  dialog.Caption = caption;
  return dialog.ShowModal();
}

int SUIMsgDlg(const QString& msg, TsuiMsgDlgType type, int buttons, TsuiUIStyle style) {
  return SUIMsgDlg(msg, AppTitle(), type, buttons, style);
}

int SUIMsgDlgFromSkinFile(const QString& msg, const QString& caption, TsuiMsgDlgType type,
                          int buttons, TsuiFileTheme* theme) {
  TsuiMessageDialog dialog;
  dialog.Text = msg;
  FillButtons(dialog, buttons);
  dialog.IconType = IconFor(type);
  dialog.SetUIStyle(FromThemeFile);
  dialog.SetFileTheme(theme);
  dialog.Caption = caption;
  return dialog.ShowModal();
}

int SUIMsgDlgFromSkinFile(const QString& msg, TsuiMsgDlgType type, int buttons,
                          TsuiFileTheme* theme) {
  return SUIMsgDlgFromSkinFile(msg, AppTitle(), type, buttons, theme);
}

}  // namespace zelvar
