#pragma once
// A runner on the simulated programmer with the test algorithm set bound and every port recorded
// as one line of events.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "services/AppState.h"
#include "support/FakeAlgorithmSet.h"
#include "support/SimFixture.h"

namespace zelvar::test {

class RunnerFixture : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    gApp.Reset();
    gApp.CurrentDispatcher = &FakeAlgorithmSet::Dispatch;
    gLink.LastBitstream = "bits/test.bit";
    auto& p = runner.ports();
    p.CheckPinContact = [this](std::uint32_t g, std::uint32_t a, std::uint32_t b, std::uint32_t lo,
                               std::uint32_t hi) {
      contactArgs = {static_cast<std::int64_t>(g), a, b, lo, hi};
      events.push_back("contact");
      return contactResult;
    };
    p.ShowOperationName = [this](int c) { events.push_back("name:" + std::to_string(c)); };
    p.ShowOperationResult = [this](int s) { events.push_back("result:" + std::to_string(s)); };
    p.ShowProgress = [this](int v) { events.push_back("progress:" + std::to_string(v)); };
    p.ShowBuffer = [this] { events.push_back("buffer"); };
    p.ShowStatusLine = [this](const std::string& s) { statusLine = s; };
    // The settings form marks the buffer as changed when it writes a stamp.
    p.ApplyStamps = [this](bool advance) {
      events.push_back(advance ? "stamps:1" : "stamps:0");
      gApp.ProjectModified |= 1;
    };
    p.ShowConfigTab = [this] { events.push_back("configtab"); };
    p.CentreAutoDialog = [this] { events.push_back("centre"); };
    p.ShowAutoDialog = [this] { ShowDialog(); };
    autoPro.ports().CheckPinContact = [this](std::uint32_t, std::uint32_t, std::uint32_t,
                                             std::uint32_t, std::uint32_t) {
      gLink.NoChipFlag = socket == kEmpty ? 1 : 0;
      return socket == kNewChip ? 1 : 0;
    };
    autoPro.ports().SendWaitCommand = [] {};
    autoPro.ports().ShowProgress = p.ShowProgress;
  }
  void TearDown() override {
    gApp.Reset();
    SimFixture::TearDown();
  }

  std::string Events() const {
    std::ostringstream out;
    for (std::size_t i = 0; i < events.size(); ++i) out << (i ? " " : "") << events[i];
    return out.str();
  }

  // Binds the Go group to `codes`, every item ticked.
  void SetGo(const std::vector<int>& codes) {
    gApp.GoOpCodes = codes;
    ui.GoGroup.Clear();
    for (std::size_t i = 0; i < codes.size(); ++i) {
      ui.GoGroup.Add("op");
      ui.GoGroup.SetChecked(static_cast<int>(i), true);
    }
  }

  // The user at the socket: takes the programmed chip out, puts the next one in; after
  // `passesAllowed` chips, presses Stop.
  void ShowDialog() {
    ++dialogShows;
    if (dialogShows > passesAllowed) {
      autoPro.Stop();
      return;
    }
    socket = kOldChip;
    autoPro.Tick();
    removalTexts.push_back(autoPro.EditText);
    socket = kEmpty;
    autoPro.Tick();
    socket = kNewChip;
    while (autoPro.TimerOn) autoPro.Tick();
  }

  enum Socket { kOldChip, kEmpty, kNewChip };

  FakeAlgorithmSet set;
  ChipUiModel ui;
  AutoProgrammer autoPro;
  OperationRunner runner{ui, autoPro};
  std::vector<std::string> events;
  std::vector<std::int64_t> contactArgs;
  int contactResult = 1;
  std::string statusLine;
  Socket socket = kOldChip;
  int dialogShows = 0;
  std::vector<std::string> removalTexts;  // what the dialog said while the old chip was in
  int passesAllowed = 0;
};

}  // namespace zelvar::test
