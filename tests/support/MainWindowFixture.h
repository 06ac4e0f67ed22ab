#pragma once
// The main window on the simulated 6200, started in a program directory of its own: the program's
// data files (device lists, pictures) are linked in, the recent list is the test's own.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>

#include "app/core/startup/ProgrammerStart.h"
#include "app/core/startup/RecentList.h"
#include "app/forms/windows/Forms.h"
#include "services/AppState.h"
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

  RecentList recentNames;  // written as the recent list before the window starts, when set
  std::filesystem::path dir, oldDir;
  ProgrammerStart programmer;
};

}  // namespace zelvar::test
