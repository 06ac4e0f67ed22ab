#pragma once
// A test of the buffer files and views: a fresh application state, a recording services fake,
// a recording window side and a scratch folder for files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/core/buffer/BufferUi.h"
#include "app/core/buffer/FileFormat.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/PldDocuments.h"
#include "support/FakeServices.h"

namespace zelvar::test {

// The window side: answers the format dialog with `formatAnswer` and records the rest.
class RecordingBufferUi : public BufferUi {
 public:
  // Called with the prepared model; the default presses OK on the preselected format.
  std::function<void(FileFormatModel&)> formatAnswer = [](FileFormatModel& m) { m.Accept(); };
  std::vector<std::string> events;
  std::vector<std::string> recent;
  std::string caption;
  int showBufferCalls = 0;

  void AskFileFormat(FileFormatModel& m) override {
    events.push_back("format:" + m.ChosenExt);
    formatAnswer(m);
  }
  void SetFrameCaption(const std::string& c) override { caption = c; }
  void UpdateRecentMenu(const std::string& name) override { recent.push_back(name); }
  void ShowBuffer() override { ++showBufferCalls; }
  void ShowDataArea() override { events.push_back("data-view"); }
  void OptionWordsChanged() override { events.push_back("options"); }
  bool LoadProjectFile(const std::string& p) override {
    events.push_back("project:" + p);
    return true;
  }
  bool ShowJedecWindow(int kind, const std::string& p) override {
    events.push_back("jedec:" + std::to_string(kind) + ":" + p);
    return true;
  }
  bool ShowSvfWindow(const std::string& p) override {
    events.push_back("svf:" + p);
    return true;
  }
};

class BufferFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    gPld.Reset();
    ChineseTexts = 0;
    SetServices(&fake);
    SetBufferUi(&ui);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("zelvar_") + info->test_suite_name() + "_" + info->name() + "_" +
                       std::to_string(::getpid());
    std::replace(name.begin(), name.end(), '/', '_');
    dir = std::filesystem::path(::testing::TempDir()) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    SetBufferUi(nullptr);
    SetServices(nullptr);
    gApp.Reset();
    gPld.Reset();
    std::filesystem::remove_all(dir);
  }

  std::string Write(const std::string& name, const std::string& bytes) {
    const auto path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  FakeServices fake;
  RecordingBufferUi ui;
  std::filesystem::path dir;
};

}  // namespace zelvar::test
