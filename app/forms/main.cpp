// The program's entry: the wait form, the forms in their order, and the message loop.
#include <QApplication>
#include <QMessageBox>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "app/forms/Forms.h"
#include "app/forms/GuiServices.h"
#include "app/forms/Waitusb.h"
#include "link/LinkState.h"
#include "link/Usb.h"
#include "sim/Programmer.h"
#include "sim/SimTransport.h"

namespace {

std::unique_ptr<zelvar::sim::Programmer> gSimProgrammer;
std::unique_ptr<zelvar::sim::SimTransport> gSimTransport;

// The model the command line asks the simulated programmer to answer as: --programmer=sim[:MODEL].
// USB programmers are found by the link's connection; until one is found the simulated 6200
// stands in, so the program always comes up.
int SimulatedModel(int argc, char** argv) {
  int model = 6200;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::string prefix = "--programmer=sim:";
    if (arg.rfind(prefix, 0) == 0) {
      try {
        model = std::stoi(arg.substr(prefix.size()));
      } catch (const std::exception&) {
        model = 6200;
      }
    }
  }
  return model;
}

bool ConnectSimulated(int model) {
  gSimProgrammer = std::make_unique<zelvar::sim::Programmer>(model);
  gSimTransport = std::make_unique<zelvar::sim::SimTransport>(*gSimProgrammer);
  zelvar::SetTransport(gSimTransport.get());
  zelvar::gLink.ModelNumber = model;
  const std::string& name = gSimProgrammer->modelName();
  std::strncpy(zelvar::gLink.ProgrammerName, name.c_str(), sizeof zelvar::gLink.ProgrammerName - 1);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName("Zelvar");
  zelvar::GuiServices gui;
  zelvar::SetServices(&gui);
  try {
    zelvar::WaitForm = new zelvar::TWaitForm(nullptr);
    zelvar::WaitForm->show();
    zelvar::WaitForm->repaint();
    QApplication::processEvents();

    zelvar::MainSeams seams;
    const int model = SimulatedModel(argc, argv);
    seams.connectProgrammer = [model] { return ConnectSimulated(model); };
    zelvar::CreateForms(std::move(seams), &gui);

    zelvar::WaitForm->close();
    delete zelvar::WaitForm;
    zelvar::WaitForm = nullptr;
    zelvar::MainForm->ShowProgrammerLines();
    zelvar::MainForm->show();
    app.exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, "Zelvar", QString::fromStdString(e.what()));
  }
  zelvar::SetServices(nullptr);
  zelvar::DestroyForms();
  zelvar::SetTransport(nullptr);
  return 0;
}
