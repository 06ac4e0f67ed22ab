#pragma once
// The main window: menus, tool buttons, the operation panel, the buffer and config pages, the log
// and the status bar. Chip operations, files, the hex view and the tool windows live in their own
// units; the window reaches them through MainSeams, and an item whose seam is empty stays
// disabled.
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QScrollArea;
class QTextEdit;
class QToolBar;

namespace zelvar {

class ConfigGrid;
class HexView;
struct ChipUiModel;
struct RunButtonStates;

class TsuiArrowButton;
class TsuiButton;
class TsuiCheckBox;
class TsuiCheckGroup;
class TsuiComboBox;
class TsuiForm;
class TsuiMainMenu;
class TsuiImageButton;
class TsuiPageControl;
class TsuiTabSheet;

// The chip operations of the tool buttons and the Run menu.
enum class ChipOperation { Erase, Blank, Write, Verify, Config, Protect, Read, ReadId, ReadConfig };

struct MainSeams {
  // Start-up.
  std::function<bool()> connectProgrammer;
  std::function<void()> resetConfigTab;
  // Files and projects.
  std::function<void(const std::string& name, bool dataArea)> loadBufferFile;
  std::function<void()> openFile, loadData, saveFile, openProject, saveProject, print;
  // Chips and operations.
  std::function<void()> selectChip, go, runContinuous, setupChosenChip;
  // The user ticked or cleared a step of the Go group.
  std::function<void()> goTicksChanged;
  std::function<void(ChipOperation)> chipOperation;
  // Tool windows.
  std::function<void()> search, fill, checkSum, settings, selfTest, icTester;
};

inline constexpr const char* kMainCaption = "Zelvar Ver 5.40";

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window and runs the start-up steps.
  explicit TMainForm(QWidget* owner = nullptr, MainSeams seams = {});

  // Puts every text of the window into the language `ChineseTexts` names (reduced to its bit).
  void ApplyLanguageTexts();

  // The log.
  void AppendLog(int colour, const std::string& line);
  void ClearLog();
  // The programmer's name, the window caption and the driver version as log lines.
  void ShowProgrammerLines();

  // The recent names in the Reopen items.
  void ShowRecentNames();

  // The frame caption (the window title). On the simulated programmer the title also says so.
  void SetCaption(const std::string& caption);
  std::string Caption() const;
  // Marks the window as running on the simulated programmer: caption and status bar say so in
  // the current language.
  void SetSimulated(bool simulated);
  bool Simulated() const { return simulated_; }

  void ShowStatusLine();
  // The status bar's simple text; it stays while menus show their tips.
  void SetStatusText(const std::string& text);
  std::string StatusText() const;
  // Redraws the hex view for the current view kind.
  void ShowBuffer();
  // Puts the config grid on the config page (it is made over the chip-controls model after the
  // window).
  void HostConfigGrid(ConfigGrid* grid);
  // The config tab's grid keeps the height of all its rows; the tab scrolls over it.
  void FitConfigGrid();
  // The chip controls as the model and the runner say: config grid, Go group, operation items.
  void MirrorChipControls(const ChipUiModel& ui, const RunButtonStates& buttons);
  // The chip labels, caption and status line after the chip dialog bound a chip.
  void ShowChosenChip();
  // The chip labels and status line of the bound chip (a project sets its own caption).
  void ShowChipLabels();

  // Handlers.
  void DisplayCodeClick();
  void DisplayEEClick();
  // The 8- and 16-bit views: view kind 8 or 16, then redrawn.
  void DisplayBitsClick(int bits);
  void suiArrowButton1Click();
  void Configwindow1Click();
  void ClearBufClick();
  void NfClick(int index);
  void Set1Click();
  void Selftest1Click();
  void ICtester1Click();
  void Programmermessage1Click();
  void Manaul1Click();
  void suiImageButtonLangClick();
  void subCopy1Click();
  void subSearch1Click();
  void subFill1Click();
  void subSum1Click();
  // File > Open project and File > Save project as: their dialogs, then the project file.
  void OpenProject1Click();
  void Saveprojectas1Click();
  void ClosePrj1Click();
  // The print dialog, then the hex view on the chosen printer.
  void Print1Click();
  // Prints the hex view's text on `printer` with an empty job title.
  void PrintHexView(QPrinter& printer);
  void suiCheckBox1Click();
  [[noreturn]] void exit1Click();

  // Enables every item whose seam is installed; call after changing seams().
  void RefreshSeams();
  MainSeams& seams() { return seams_; }

  // Chip operations under way (they hold the thread while the window keeps painting): the window
  // is not closed meanwhile.
  int OperationsRunning = 0;
  // The last operation ended: the clicks and keys the desktop held back while it ran are dropped
  // (none may start something or quit), and a refused close is explained.
  void OperationEnded();

  // Fields that are not controls (the data and project file names are gApp's).
  std::string SpareText;

  // Controls, named as the rest of the program knows them.
  TsuiForm* suiForm1 = nullptr;
  TsuiMainMenu* suiMainMenu1 = nullptr;
  QToolBar* suiToolBar1 = nullptr;
  std::map<std::string, TsuiImageButton*> toolButtons;  // suiImageButtonLoad ...
  std::map<std::string, QAction*> actions;              // Open1, subSearch1 ...
  std::map<std::string, QMenu*> menus;                  // File1, EditBuf1 ...
  std::array<QAction*, 4> Nf{};
  TsuiButton* ButtonGo = nullptr;
  TsuiCheckGroup* suiCheckGroup1 = nullptr;
  TsuiCheckBox* suiCheckBox1 = nullptr;
  TsuiButton* suiButtonRun = nullptr;
  TsuiPageControl* suiPageControl1 = nullptr;
  TsuiTabSheet* suiTabSheet1 = nullptr;  // buffer
  TsuiTabSheet* suiTabSheet2 = nullptr;  // config
  HexView* RichEdit1 = nullptr;          // hex view
  QTextEdit* RichEdit2 = nullptr;        // log
  QLabel* LabelCode = nullptr;           // the hex view's checksum lines
  QLabel* LabelData = nullptr;
  TsuiArrowButton* suiArrowButton1 = nullptr;
  ConfigGrid* configGrid = nullptr;     // StringGrid1, the combos and StringGridWord
  QScrollArea* configScroll = nullptr;  // holds configGrid in the config tab
  QLabel* StatusLine = nullptr;         // the status bar's text
  QLabel* SimulatedLabel = nullptr;     // the status bar's mark of the simulated programmer
  QLabel* TypeName = nullptr;
  QLabel* Package = nullptr;
  QMenu* PopupMenu1 = nullptr;

 signals:
  // A chip was bound, by the chip dialog or by a project, and its labels show it.
  void chipShown();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool closeRefused_ = false;  // a close arrived while an operation ran
  bool dropping_ = false;      // OperationEnded is dropping held-back input
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  QWidget* BuildOperationPanel();
  void BuildBufferPage();
  void BuildConfigPage();
  QAction* AddAction(QMenu* menu, const char* name, const char* caption,
                     std::function<void()> handler);

  MainSeams seams_;
  bool mirroring_ = false;
  bool simulated_ = false;
  std::string caption_;  // the caption without the simulated programmer's mark  // the Go group is
                         // being set from the model, not by the user
  // Item name -> the seam that must be installed for it to be enabled.
  std::map<std::string, std::function<bool()>> needs_;
};

extern TMainForm* MainForm;

}  // namespace zelvar
