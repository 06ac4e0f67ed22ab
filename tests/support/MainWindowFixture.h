#pragma once
// The main window on the simulated 6200, started in a program directory of its own: the program's
// data files (device lists, pictures) are linked in, the recent list is the test's own.
#include <unistd.h>

#include <QListWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "app/core/startup/ProgrammerStart.h"
#include "app/core/startup/RecentList.h"
#include "app/forms/dialogs/TypeDlg.h"
#include "app/forms/windows/Forms.h"
#include "services/AppState.h"
#include "sim/Programmer.h"
#include "sim/chips/Eprom.h"
#include "skin/Suibutton.h"
#include "skin/Suiradiogroup.h"
#include "support/SimFixture.h"

namespace zelvar::test {

class MainWindowFixture : public SimFixture {
 protected:
  // Builds the forms; `seams` may pre-set seams (connectProgrammer is always the simulator's).
  void StartMainWindow(MainSeams seams = {}) {
    gLink.ModelNumber = 0;
    gApp.Reset();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          ("zelvar_" + std::string(info->test_suite_name()) + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (const auto& entry : std::filesystem::directory_iterator(ZELVAR_PROGRAM_DIR)) {
      if (entry.path().filename() == kRecentListName) continue;
      std::filesystem::create_symlink(entry.path(), dir / entry.path().filename());
    }
    oldDir = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    if (!recentNames.empty()) SaveRecentNames(kRecentListName, recentNames);
    CreateMainWindow(std::move(seams));
  }

  // Closes the window as the user does (the recent list is written), ends the program's state
  // and starts it again in the same program directory, with `chip` back in the socket.
  void RestartMainWindow() {
    MainForm->close();
    DestroyForms();
    programmer.backend.reset();
    gLink.Reset();
    gApp.Reset();
    CreateMainWindow({});
    if (chip) programmer.backend->programmer()->PlaceChipAtBottom(chip);
  }

  void CreateMainWindow(MainSeams seams) {
    seams.connectProgrammer = [this] {
      programmer = StartProgrammer({"--programmer=sim:6200"});
      return programmer.connected;
    };
    // The progress window does not exist while the main window is built.
    fake.progressWindowExists = false;
    CreateForms(std::move(seams));
    fake.progressWindowExists = true;
  }
  void TearDown() override {
    DestroyForms();
    programmer.backend.reset();
    if (!oldDir.empty()) std::filesystem::current_path(oldDir);
    if (!dir.empty()) std::filesystem::remove_all(dir);
    gApp.Reset();
    SimFixture::TearDown();
  }

  // Starts the window with a blank `part` at the bottom of the simulated socket, as `chip`.
  void StartWithChip(const char* part) {
    StartMainWindow();
    chip = sim::MakeEprom(part);
    ASSERT_NE(chip, nullptr);
    programmer.backend->programmer()->PlaceChipAtBottom(chip);
  }

  // Chooses `name` of `category` in the chip dialog and presses OK.
  void ChooseChip(const char* category, const QString& name) {
    TypeDlg->PrepareChipDialog();
    for (int i = 0; i < TypeDlg->RadioGroup1->ItemCount(); ++i) {
      if (TypeDlg->RadioGroup1->Button(i)->Caption() == category) {
        TypeDlg->RadioGroup1->Button(i)->Click();
      }
    }
    TypeDlg->OnChange2(name);
    const auto hits = TypeDlg->ListBox2->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(hits.size(), 1);
    TypeDlg->ListBox2->setCurrentItem(hits[0]);
    TypeDlg->ButtonOk->click();
  }

  std::shared_ptr<sim::EpromChip> chip;
  RecentList recentNames;  // written as the recent list before the window starts, when set
  std::filesystem::path dir, oldDir;
  ProgrammerStart programmer;
};

}  // namespace zelvar::test
