#pragma once
// What the buffer files and views need of the windows: the format dialog, confirmations, the
// frame caption, the recent list, the buffer view and the pieces that own projects and PLD files.
// The main window installs its implementation; the default one answers as a program without
// windows would (Cancel, No, nothing shown).
#include <string>

namespace zelvar {

struct FileFormatModel;

class BufferUi {
 public:
  virtual ~BufferUi() = default;

  // Shows the file-format dialog modally over `model`; on return `model.ChosenExt` is the chosen
  // format (empty after Cancel) and OK has stored the start address.
  virtual void AskFileFormat(FileFormatModel& model) { CancelModel(model); }
  virtual void SetFrameCaption(const std::string& /*caption*/) {}
  virtual void UpdateRecentMenu(const std::string& /*name*/) {}
  // Redraws whatever view the view kind asks for.
  virtual void ShowBuffer() {}
  // The data-area view after a data load.
  virtual void ShowDataArea() {}
  // A load changed the option words (a configuration word taken from the file): the config grid
  // shows them.
  virtual void OptionWordsChanged() {}

  // Hooks of the pieces that own project and PLD files; false when that piece is not there.
  virtual bool LoadProjectFile(const std::string& /*path*/) { return false; }
  // Shows the PLD window of view kind 1 or 2 after its document took the JEDEC file.
  virtual bool ShowJedecWindow(int /*viewKind*/, const std::string& /*path*/) { return false; }
  virtual bool ShowSvfWindow(const std::string& /*path*/) { return false; }

 private:
  static void CancelModel(FileFormatModel& model);
};

BufferUi& bufferUi();
// Installs `ui` (nullptr restores the default). The caller keeps ownership.
void SetBufferUi(BufferUi* ui);

}  // namespace zelvar
