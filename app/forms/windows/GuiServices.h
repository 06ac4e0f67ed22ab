#pragma once
// The services as the program's windows give them: the log is the main window's rich-text log,
// the progress window is TDispRun1, and the windows that belong to other forms (busy, bad pins,
// pictures) and the chosen chip's parameters are reached through hooks their owners fill in.
// User-interface thread only.
#include <QElapsedTimer>
#include <QPointer>
#include <QTextEdit>
#include <functional>
#include <string>
#include <vector>

#include "app/forms/windows/Dispinfomation.h"
#include "services/Services.h"

namespace zelvar {

class GuiServices final : public Services {
 public:
  GuiServices();
  ~GuiServices() override;
  GuiServices(const GuiServices&) = delete;
  GuiServices& operator=(const GuiServices&) = delete;

  // The main window's log; nothing is written while none is set.
  void SetLog(QTextEdit* log) { log_ = log; }
  // The window that message boxes belong to and that the progress window centres on.
  void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }
  // Creates the progress window once, after the main window. Until then log lines are dropped and
  // progress calls do nothing.
  void CreateProgressWindow();
  TDispRun1* DispRun1() const { return dispRun1_.data(); }

  // Hooks filled by the forms that own these windows and by the catalogue.
  std::function<void(const std::string& caption)> showBusy;
  std::function<void(int step)> stepBusy;
  std::function<void()> hideBusy;
  std::function<BadPinAnswer(const std::vector<int>& pins, int socketPins)> askBadPins;
  std::function<void(const PlacementRequest& request)> showPlacement;
  std::function<void(const std::string& picture)> showIspWiring;
  std::function<int(const std::string& key)> chipParam;
  std::function<bool(const std::string& text)> chipNameContains;

  bool ProgressWindowExists() override;
  void AppendLog(int colour, const std::string& line, bool repaint) override;
  void MessageBox(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  int ConvertMiconFile() override;
  int CheckCdsExtension() override;
  void Beep(BeepKind kind) override;
  void CentreProgressWindow() override;
  void SetProgressCaption(const std::string& caption) override;
  std::string ProgressCaption() override;
  void SetProgressMax(int max) override;
  void SetProgressPosition(int position) override;
  int ProgressPosition() override;
  void ShowProgressWindow() override;
  void CloseProgressWindow() override;
  void Sleep(int ms) override;
  void ShowBusy(const std::string& caption) override;
  void StepBusy(int step) override;
  void HideBusy() override;
  BadPinAnswer AskBadPins(const std::vector<int>& pins, int socketPins) override;
  void ShowPlacement(const PlacementRequest& request) override;
  void ShowIspWiring(const std::string& picture) override;
  int ChipParam(const std::string& key) override;
  bool ChipNameContains(const std::string& text) override;

 private:
  // Chip operations hold this thread: from their progress and log lines the window is repainted
  // and answers the desktop every few tens of milliseconds, with user input held off.
  void KeepPainting();

  QElapsedTimer sinceEvents_;
  QPointer<QTextEdit> log_;
  QPointer<QWidget> mainWindow_;
  // A child of the main window when there is one; deleted here when it still exists.
  QPointer<TDispRun1> dispRun1_;
};

}  // namespace zelvar
