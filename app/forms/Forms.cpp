#include "app/forms/Forms.h"

#include <sstream>

#include "app/forms/Disptimer.h"
#include "app/forms/GuiServices.h"
#include "app/forms/Place.h"
#include "app/forms/Placeisp.h"
#include "app/forms/SelZorDlg.h"
#include "app/forms/Showbadpinnum.h"
#include "app/forms/TypeDlg.h"

namespace zelvar {

TSelZorDlg* SelZorDlg = nullptr;
TTypeDlg* TypeDlg = nullptr;

void CreateForms(MainSeams seams, GuiServices* gui) {
  MainForm = new TMainForm(nullptr, std::move(seams));
  if (gui) {
    gui->SetLog(MainForm->RichEdit2);
    gui->SetMainWindow(MainForm);
  }
  DispTimer1 = new TDispTimer1(MainForm);
  if (gui) gui->CreateProgressWindow();
  // FileFormat is created here.
  SelZorDlg = new TSelZorDlg(MainForm);
  TypeDlg = new TTypeDlg(SelZorDlg, MainForm);
  if (!MainForm->seams().selectChip) {
    MainForm->seams().selectChip = [] {
      TypeDlg->PrepareChipDialog();
      TypeDlg->exec();
    };
    MainForm->RefreshSeams();
  }
  Place1 = new TPlace1(MainForm);
  ShowBadPin = new TShowBadPin(MainForm);
  // Setting1, AutoPro1, IputDlg, InputHexDlg, SelfWin, ICTestx, SearchTool and FillDlg1 are
  // created here.
  PlaceIsp1 = new TPlaceIsp1(MainForm);
  if (gui) InstallWindowHooks(*gui);
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
  // The other forms are children of the main window and go with it.
  delete MainForm;
  MainForm = nullptr;
  DispTimer1 = nullptr;
  SelZorDlg = nullptr;
  TypeDlg = nullptr;
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
