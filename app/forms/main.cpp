// The program's entry: the wait form, the forms in their order, and the message loop.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/core/startup/ProgrammerStart.h"
#include "app/forms/dialogs/Autopro.h"
#include "app/forms/windows/Forms.h"
#include "app/forms/windows/GuiServices.h"
#include "app/forms/windows/SimSocketWindow.h"
#include "app/forms/windows/Waitusb.h"
#include "link/Usb.h"
#include "services/AppState.h"
#include "services/Messages.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName("Zelvar");
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (const std::string error = zelvar::StartOptionsError(args); !error.empty()) {
    std::fprintf(stderr, "zelvar: %s\n", error.c_str());
    return 2;
  }
  zelvar::GuiServices gui;
  zelvar::SetServices(&gui);
  zelvar::ProgrammerStart programmer;
  zelvar::TSimSocket* socketWindow = nullptr;
  try {
    zelvar::WaitForm = new zelvar::TWaitForm(nullptr);
    zelvar::WaitForm->show();
    zelvar::WaitForm->repaint();
    QApplication::processEvents();

    zelvar::MainSeams seams;
    seams.connectProgrammer = [&] {
      programmer = zelvar::StartProgrammer(args);
      return programmer.connected;
    };
    zelvar::CreateForms(std::move(seams), &gui);
    // The placement picture the chosen line's set shows at set-up says where its chip sits.
    std::optional<zelvar::PlacementRequest> picture;
    gui.showPlacement = [&picture, show = gui.showPlacement](const zelvar::PlacementRequest& r) {
      picture = r;
      if (show) show(r);
    };
    // A chip bound by the chip dialog or by a project goes into a socket that follows the choice.
    QObject::connect(zelvar::MainForm, &zelvar::TMainForm::chipShown, zelvar::MainForm, [&] {
      zelvar::PlaceChosenChip(programmer, zelvar::gApp.ChipName, picture);
      picture.reset();
      if (socketWindow) socketWindow->Refresh();
    });

    zelvar::WaitForm->close();
    delete zelvar::WaitForm;
    zelvar::WaitForm = nullptr;
    if (!programmer.error.empty()) {
      std::fprintf(stderr, "zelvar: %s\n", programmer.error.c_str());
      zelvar::DestroyForms();
      return 2;
    }
    // No user may take a simulated pass for a programmed chip.
    zelvar::MainForm->SetSimulated(programmer.backend && programmer.backend->simulated());
    zelvar::MainForm->ShowProgrammerLines();
    zelvar::MainForm->show();
    // The simulated programmer's socket, so that a chip can be taken out and put back.
    if (programmer.backend && programmer.backend->programmer()) {
      socketWindow = new zelvar::TSimSocket(*programmer.backend->programmer(), zelvar::MainForm,
                                            &programmer.chosen, &programmer.seatMessage);
      socketWindow->show();
      // Run's dialog waits for the chip to be taken out and the next put in: here.
      zelvar::AutoPro1->KeepUsable(socketWindow);
    }
    app.exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "Zelvar", QString::fromStdString(e.what()));
  }
  zelvar::SetServices(nullptr);
  zelvar::DestroyForms();
  programmer.backend.reset();
  return 0;
}
