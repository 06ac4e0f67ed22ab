#include "app/forms/windows/Forms.h"

#include <QFileDialog>
#include <algorithm>
#include <memory>
#include <sstream>

#include "app/core/buffer/BufferFiles.h"
#include "app/core/catalogue/ChipParams.h"
#include "app/core/catalogue/Selection.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/project/ProjectFile.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "app/core/settings/Stamps.h"
#include "app/core/startup/RecentList.h"
#include "app/forms/dialogs/Autopro.h"
#include "app/forms/dialogs/Filew.h"
#include "app/forms/dialogs/Filldlg.h"
#include "app/forms/dialogs/ICTest.h"
#include "app/forms/dialogs/Search.h"
#include "app/forms/dialogs/SelZorDlg.h"
#include "app/forms/dialogs/Setting.h"
#include "app/forms/dialogs/TypeDlg.h"
#include "app/forms/widgets/ConfigGrid.h"
#include "app/forms/widgets/HexView.h"
#include "app/forms/windows/BufferUiQt.h"
#include "app/forms/windows/Disptimer.h"
#include "app/forms/windows/GuiServices.h"
#include "app/forms/windows/Place.h"
#include "app/forms/windows/Placeisp.h"
#include "app/forms/windows/PldWindows.h"
#include "app/forms/windows/Selftest.h"
#include "app/forms/windows/Showbadpinnum.h"
#include "services/AppState.h"
#include "services/Dispatcher.h"
#include "services/Messages.h"
#include "skin/Suiradiogroup.h"

namespace zelvar {

TFileFormat* FileFormat = nullptr;
TSelZorDlg* SelZorDlg = nullptr;
TTypeDlg* TypeDlg = nullptr;
TAutoPro1* AutoPro1 = nullptr;
TSearchTool* SearchTool = nullptr;
TFillDlg1* FillDlg1 = nullptr;

namespace {

// What stands behind the main window's chip and buffer seams; it outlives the forms it serves.
struct MainParts {
  ChipUiModel chipUi;
  AutoProgrammer autoPro;
  OperationRunner runner{chipUi, autoPro};
  StampSettings settings;
  std::unique_ptr<QtBufferUi> bufferUi;

  ProjectParts project() { return {chipUi, settings}; }
};

std::unique_ptr<MainParts> gParts;

// Marks a chip operation as running for as long as it lives.
struct OperationRunning {
  OperationRunning() {
    if (MainForm) ++MainForm->OperationsRunning;
  }
  ~OperationRunning() {
    if (!MainForm) return;
    --MainForm->OperationsRunning;
    MainForm->OperationEnded();
  }
  OperationRunning(const OperationRunning&) = delete;
  OperationRunning& operator=(const OperationRunning&) = delete;
};

// The seams of the pieces that exist, where the caller left them empty.
void FillSeams(MainSeams& seams, MainParts& parts) {
  auto fill = [](auto& seam, auto f) {
    if (!seam) seam = std::move(f);
  };
  OperationRunner& runner = parts.runner;
  fill(seams.resetConfigTab, [&parts] {
    ResetConfigTab(parts.chipUi);
    if (MainForm && MainForm->configGrid) MainForm->configGrid->Mirror();
  });
  fill(seams.chipOperation, [&runner](ChipOperation op) {
    OperationRunning running;
    runner.OperationClick(kOpErase + static_cast<int>(op));
  });
  // The user's ticks decide which steps Go and Run take: the model follows every tick, and both
  // read them again as they start.
  auto takeTicks = [&parts] {
    TsuiCheckGroup* group = MainForm->suiCheckGroup1;
    for (int i = 0; i < std::min(group->ItemCount(), parts.chipUi.GoGroup.Count()); ++i) {
      parts.chipUi.GoGroup.SetChecked(i, group->GetChecked(i));
    }
  };
  fill(seams.goTicksChanged, takeTicks);
  fill(seams.go, [&runner, takeTicks] {
    OperationRunning running;
    takeTicks();
    runner.GoClick();
  });
  fill(seams.runContinuous, [&runner, takeTicks] {
    OperationRunning running;
    takeTicks();
    runner.RunClick();
  });
  fill(seams.setupChosenChip, [&runner] {
    OperationRunning running;
    runner.SetupChosenChip();
  });
  fill(seams.openFile, [&parts] { parts.bufferUi->OpenFile(); });
  fill(seams.loadData, [&parts] { parts.bufferUi->OpenDataFile(); });
  fill(seams.saveFile, [&parts] { parts.bufferUi->SaveFile(); });
  fill(seams.loadBufferFile, [](const std::string& name, bool) { LoadBufferFile(name, 0); });
  fill(seams.search, [] {
    SearchTool->SetView(MainForm->RichEdit1);
    // First shown beside the hex view's right edge, where it hides the least of the dump.
    if (!SearchTool->isVisible()) {
      const QRect m = MainForm->frameGeometry();
      SearchTool->move(m.right() - SearchTool->sizeHint().width(), m.top() + 120);
    }
    SearchTool->Open();
  });
  fill(seams.openProject, [] {
    const QString path =
        QFileDialog::getOpenFileName(MainForm, {}, {}, QtFileFilter(kProjectFilter));
    if (!path.isEmpty()) OpenProjectFile(path.toStdString());
  });
  fill(seams.saveProject, [] {
    QFileDialog dialog(MainForm, {}, QString::fromStdString(ProposeProjectName()), "*.zor");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("zor");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      SaveProjectAs(dialog.selectedFiles().first().toStdString());
    }
  });
  fill(seams.print, [] { MainForm->Print1Click(); });
  fill(seams.settings, [] {
    Setting1->SetCaptions();
    Setting1->ShowSettings();
    Setting1->exec();
  });
  fill(seams.fill, [] { FillDlg1->RunFill(); });
  fill(seams.checkSum, [] { FillDlg1->RunSum(); });
  fill(seams.selfTest, [] { SelfWin->RunSelfTest(1); });
  fill(seams.icTester, [] { ICTestx->OpenModal(); });
}

void WireRunner(MainParts& parts) {
  RunnerPorts& ports = parts.runner.ports();
  ports.ShowBuffer = [] { MainForm->ShowBuffer(); };
  ports.ShowStatusLine = [](const std::string& text) { MainForm->SetStatusText(text); };
  ports.ApplyStamps = [](bool advance) { Setting1->ApplyStamps(advance); };
  ports.ShowConfigTab = [] { MainForm->Configwindow1Click(); };
  ports.ChipUiChanged = [&parts] {
    MainForm->MirrorChipControls(parts.chipUi, parts.runner.ButtonStates());
  };
  ports.CentreAutoDialog = [] { AutoPro1->CentreOn(*MainForm); };
  ports.ShowAutoDialog = [] { AutoPro1->ShowModal(); };
}

void WireBufferUi(MainParts& parts) {
  parts.bufferUi = std::make_unique<QtBufferUi>(MainForm, MainForm->RichEdit1, FileFormat);
  QtBufferUi& ui = *parts.bufferUi;
  ui.setCaption = [](const std::string& caption) { MainForm->SetCaption(caption); };
  ui.updateRecent = [](const std::string& name) {
    AddRecentName(gApp.RecentNames, name);
    MainForm->ShowRecentNames();
  };
  ui.loadProject = [&parts](const std::string& path) {
    ProjectParts project = parts.project();
    if (!LoadProjectFile(path, project)) return false;
    // The chip controls, labels and settings show what the project restored.
    MainForm->MirrorChipControls(parts.chipUi, parts.runner.ButtonStates());
    MainForm->ShowChipLabels();
    Setting1->ShowSettings();
    return true;
  };
  ui.showJedec = [](int kind, const std::string&) {
    ShowPldWindow(MainForm, kind);
    return true;
  };
  ui.showSvf = [](const std::string&) {
    ShowPldWindow(MainForm, 3);
    return true;
  };
  ui.optionWordsChanged = [&parts] {
    OptionValuesToGrid(parts.chipUi);
    MainForm->MirrorChipControls(parts.chipUi, parts.runner.ButtonStates());
  };
  MainForm->RichEdit1->pldWindows = [](int kind) { ShowPldWindow(MainForm, kind); };
  SetBufferUi(&ui);
}

}  // namespace

OperationRunner* MainRunner() {
  return gParts ? &gParts->runner : nullptr;
}

bool OpenProjectFile(const std::string& path) {
  return bufferUi().LoadProjectFile(path);
}

bool SaveProjectAs(const std::string& path) {
  if (!gParts) return false;
  ProjectParts project = gParts->project();
  return SaveProjectFile(path, project);
}

void CreateForms(MainSeams seams, GuiServices* gui) {
  gParts = std::make_unique<MainParts>();
  MainParts& parts = *gParts;
  FillSeams(seams, parts);
  WireRunner(parts);
  MainForm = new TMainForm(nullptr, std::move(seams));
  MainForm->HostConfigGrid(new ConfigGrid(parts.chipUi));
  MainForm->configGrid->Mirror();
  if (gui) {
    gui->SetLog(MainForm->RichEdit2);
    gui->SetMainWindow(MainForm);
    gui->chipParam = [](const std::string& key) { return static_cast<int>(ChipParam(key)); };
    gui->chipNameContains = [](const std::string& text) { return ChipNameContains(text) > 0; };
  }
  DispTimer1 = new TDispTimer1(MainForm);
  if (gui) gui->CreateProgressWindow();
  FileFormat = new TFileFormat(MainForm);
  WireBufferUi(parts);
  SelZorDlg = new TSelZorDlg(MainForm);
  TypeDlg = new TTypeDlg(SelZorDlg, MainForm);
  if (!MainForm->seams().selectChip) {
    MainForm->seams().selectChip = [] {
      TypeDlg->PrepareChipDialog();
      TypeDlg->exec();
    };
  }
  QObject::connect(TypeDlg, &TTypeDlg::chipChosen, MainForm, [](SelectionResult result) {
    if (result == SelectionResult::Bound) MainForm->ShowChosenChip();
  });
  SelectionHooks& hooks = selectionHooks();
  hooks.setupChosenChip = [] {
    if (MainForm->seams().setupChosenChip) MainForm->seams().setupChosenChip();
  };
  // The "ICTEST" key takes the Tools road: refused without an FPGA, and the chosen chip is set
  // up again afterwards, since the tester has replaced its bitstream.
  hooks.openIcTester = [] { MainForm->ICtester1Click(); };
  Place1 = new TPlace1(MainForm);
  ShowBadPin = new TShowBadPin(MainForm);
  Setting1 = new TSetting1(parts.settings, MainForm);
  Setting1->bufferChanged = [] { MainForm->ShowBuffer(); };
  AutoPro1 = new TAutoPro1(parts.autoPro, MainForm);
  // IputDlg and InputHexDlg are created here.
  SelfWin = new TSelfWin(MainForm);
  ICTestx = new TICTestx(MainForm);
  SearchTool = new TSearchTool(MainForm);
  FillDlg1 = new TFillDlg1(MainForm);
  PlaceIsp1 = new TPlaceIsp1(MainForm);
  if (gui) InstallWindowHooks(*gui);
  MainForm->RefreshSeams();
  MainForm->ShowBuffer();
}

void InstallWindowHooks(GuiServices& gui) {
  gui.showBusy = [](const std::string& caption) { ShowBusy(caption); };
  gui.stepBusy = [](int step) { StepBusy(step); };
  gui.hideBusy = [] { CloseBusy(); };
  gui.askBadPins = [](const std::vector<int>& pins, int) {
    switch (AskBadPinsWindow(pins)) {
      case 3:
        return BadPinAnswer::Again;
      case 2:
        return BadPinAnswer::Ignore;
      default:
        return BadPinAnswer::Cancel;
    }
  };
  gui.showPlacement = [](const PlacementRequest& r) {
    if (!r.file.empty()) {
      ShowPlacementFile(r.file);
      return;
    }
    // `offset` counts the socket rows below the chip in the 20-row socket.
    const int firstRow = r.firstRow > 0 ? r.firstRow : 20 - r.offset - r.pins / 2 + 1;
    ShowPlacement(firstRow, r.pins, 0, r.pin1Side);
  };
  gui.showIspWiring = [](const std::string& picture) {
    std::vector<std::string> legend;
    std::istringstream lines(picture);
    for (std::string line; std::getline(lines, line);) legend.push_back(line);
    ShowIspPinPicture(legend);
  };
}

void DestroyForms() {
  SetBufferUi(nullptr);
  selectionHooks().setupChosenChip = nullptr;
  selectionHooks().openIcTester = nullptr;
  // The other forms are children of the main window and go with it.
  delete MainForm;
  MainForm = nullptr;
  gParts.reset();
  DispTimer1 = nullptr;
  FileFormat = nullptr;
  SelZorDlg = nullptr;
  TypeDlg = nullptr;
  Setting1 = nullptr;
  AutoPro1 = nullptr;
  SearchTool = nullptr;
  FillDlg1 = nullptr;
  SelfWin = nullptr;
  ICTestx = nullptr;
  Place1 = nullptr;
  ShowBadPin = nullptr;
  PlaceIsp1 = nullptr;
}

void CentreOnMainForm(QWidget* w) {
  if (!MainForm || !w) return;
  const QRect m = MainForm->frameGeometry();
  w->move(m.left() + (m.width() - w->width()) / 2, m.top() + (m.height() - w->height()) / 2);
}

}  // namespace zelvar
