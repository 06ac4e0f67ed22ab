#pragma once
// The window side of the buffer files for the main window: the format dialog, the Yes/No box,
// the hex view and the open and save dialogs. The main window fills in the hooks it owns
// (caption, recent list, projects, PLD windows) and installs it with SetBufferUi.
#include <QWidget>
#include <functional>
#include <string>

#include "app/core/buffer/BufferUi.h"

class QFileDialog;

namespace zelvar {

class HexView;
class TFileFormat;

// A Windows-style filter ("text|pattern|text|pattern") as a Qt file-dialog filter.
QString QtFileFilter(const char* filter);

class QtBufferUi : public BufferUi {
 public:
  QtBufferUi(QWidget* window, HexView* view, TFileFormat* format);

  void AskFileFormat(FileFormatModel& model) override;
  void SetFrameCaption(const std::string& caption) override;
  void UpdateRecentMenu(const std::string& name) override;
  void ShowBuffer() override;
  void ShowDataArea() override;
  void OptionWordsChanged() override;
  bool LoadProjectFile(const std::string& path) override;
  bool ShowJedecWindow(int viewKind, const std::string& path) override;
  bool ShowSvfWindow(const std::string& path) override;

  // The Open / load button: the open dialog, then LoadBufferFile with start 0.
  void OpenFile();
  // Load data buffer: the open dialog, then LoadDataArea.
  void OpenDataFile();
  // Save: the save dialog with the proposed name and filter, then SaveBuffer.
  void SaveFile();

  // Hooks of the main window and of the project and PLD pieces.
  std::function<void(const std::string&)> setCaption;
  std::function<void(const std::string&)> updateRecent;
  std::function<bool(const std::string&)> loadProject;
  std::function<bool(int, const std::string&)> showJedec;
  std::function<bool(const std::string&)> showSvf;
  std::function<void()> optionWordsChanged;
  // Called with the save dialog just before it opens (a test fills it in and accepts it).
  std::function<void(QFileDialog&)> saveDialogShown;

 private:
  QWidget* window_;
  HexView* view_;
  TFileFormat* format_;
};

}  // namespace zelvar
