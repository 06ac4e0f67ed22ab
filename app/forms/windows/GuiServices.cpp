#include "app/forms/windows/GuiServices.h"

#include <QApplication>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>

#include "app/core/buffer/BufferFiles.h"
#include "app/forms/windows/Dispinfomation.h"
#include "app/forms/windows/Waitusb.h"
#include "services/Messages.h"
#include "skin/Suiform.h"
#include "skin/Suiprogressbar.h"

namespace zelvar {

namespace {

// Log colours arrive as 0x00BBGGRR.
QColor FromColourRef(int colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

constexpr int kEventIntervalMs = 40;

// A box opened during start-up would otherwise sit behind the always-on-top wait form.
void CloseWaitForm() {
  if (WaitForm) WaitForm->close();
}

}  // namespace

GuiServices::GuiServices() = default;
GuiServices::~GuiServices() {
  delete dispRun1_.data();
}

void GuiServices::CreateProgressWindow() {
  if (!dispRun1_) dispRun1_ = new TDispRun1(mainWindow_.data());
}

bool GuiServices::ProgressWindowExists() {
  return dispRun1_ != nullptr;
}

void GuiServices::AppendLog(int colour, const std::string& line, bool repaint) {
  if (!log_) return;
  QTextCursor cursor(log_->document());
  cursor.movePosition(QTextCursor::End);
  if (!log_->document()->isEmpty()) cursor.insertBlock();
  QTextCharFormat format;
  format.setForeground(FromColourRef(colour));
  // Inserted as plain text: a chip or file name is never read as markup.
  cursor.insertText(QString::fromStdString(line), format);
  log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
  if (repaint) {
    log_->viewport()->repaint();
    KeepPainting();
  }
}

void GuiServices::KeepPainting() {
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventIntervalMs) return;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  sinceEvents_.start();
}

void GuiServices::MessageBox(const std::string& text) {
  CloseWaitForm();
  QMessageBox::information(mainWindow_.data(), QApplication::applicationDisplayName(),
                           QString::fromStdString(text));
}

bool GuiServices::AskYesNo(const std::string& text) {
  CloseWaitForm();
  return QMessageBox::question(mainWindow_.data(), QApplication::applicationDisplayName(),
                               QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

int GuiServices::ConvertMiconFile() {
  return zelvar::ConvertMiconFile();
}

int GuiServices::CheckCdsExtension() {
  return zelvar::CheckCdsExtension();
}

// The platform offers one sound for every kind.
void GuiServices::Beep(BeepKind) {
  QApplication::beep();
}

void GuiServices::CentreProgressWindow() {
  if (!dispRun1_ || !mainWindow_) return;
  const QRect main = mainWindow_->frameGeometry();
  const WindowPos pos = CentredOn(main.left(), main.top(), main.width(), main.height(),
                                  dispRun1_->width(), dispRun1_->height());
  dispRun1_->move(pos.left, pos.top);
}

void GuiServices::SetProgressCaption(const std::string& caption) {
  if (!dispRun1_) return;
  dispRun1_->suiForm1->SetCaption(caption);
}

std::string GuiServices::ProgressCaption() {
  return dispRun1_ ? dispRun1_->suiForm1->GetCaption() : std::string();
}

void GuiServices::SetProgressMax(int max) {
  if (!dispRun1_) return;
  dispRun1_->suiProgressBar1->SetMax(max);
}

void GuiServices::SetProgressPosition(int position) {
  if (!dispRun1_) return;
  dispRun1_->suiProgressBar1->SetPosition(position);
  // Operations run on this thread, so the bar is painted now rather than at the next event.
  if (dispRun1_->isVisible()) dispRun1_->suiProgressBar1->repaint();
  KeepPainting();
}

int GuiServices::ProgressPosition() {
  return dispRun1_ ? dispRun1_->suiProgressBar1->Position() : 0;
}

void GuiServices::ShowProgressWindow() {
  if (!dispRun1_) return;
  dispRun1_->show();
  dispRun1_->raise();
  // Lets the window appear before the operation holds the thread.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  dispRun1_->repaint();
}

void GuiServices::CloseProgressWindow() {
  if (dispRun1_) dispRun1_->close();
}

void GuiServices::Sleep(int ms) {
  if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

void GuiServices::ShowBusy(const std::string& caption) {
  if (showBusy) showBusy(caption);
}

void GuiServices::StepBusy(int step) {
  if (stepBusy) stepBusy(step);
}

void GuiServices::HideBusy() {
  if (hideBusy) hideBusy();
}

BadPinAnswer GuiServices::AskBadPins(const std::vector<int>& pins, int socketPins) {
  return askBadPins ? askBadPins(pins, socketPins) : BadPinAnswer::Cancel;
}

void GuiServices::ShowPlacement(const PlacementRequest& request) {
  if (showPlacement) showPlacement(request);
}

void GuiServices::ShowIspWiring(const std::string& picture) {
  if (showIspWiring) showIspWiring(picture);
}

int GuiServices::ChipParam(const std::string& key) {
  return chipParam ? chipParam(key) : 0;
}

bool GuiServices::ChipNameContains(const std::string& text) {
  return chipNameContains ? chipNameContains(text) : false;
}

}  // namespace zelvar
