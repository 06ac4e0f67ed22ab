#pragma once
// A recording stand-in for the application: it keeps every log line, box, beep and progress step,
// and answers Yes/No boxes, the bad-pin window and chip parameters from what a test queued.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "services/Services.h"

namespace zelvar::test {

class FakeServices : public Services {
 public:
  struct LogLine {
    int colour;
    std::string text;
  };

  bool progressWindowExists = true;
  std::vector<LogLine> log;
  std::vector<std::string> boxes;
  std::vector<std::string> questions;  // Yes/No boxes in order
  std::deque<bool> yesNoAnswers;       // No when empty
  std::vector<BeepKind> beeps;
  std::vector<std::string> events;         // progress, busy and picture calls in order
  std::deque<BadPinAnswer> badPinAnswers;  // Cancel when empty
  std::vector<std::vector<int>> badPinCalls;
  std::map<std::string, int> chipParams;
  std::string chipTitle;
  int sleptMs = 0;
  std::string caption;
  int progressMax = 0;
  int progressPosition = 0;
  bool progressShown = false;
  std::vector<int> positions;  // every progress position set, in order
  std::vector<int> sleeps;     // every sleep in milliseconds, in order
  int centred = 0;             // times the progress window was centred

  bool ProgressWindowExists() override { return progressWindowExists; }
  void AppendLog(int colour, const std::string& line, bool) override {
    log.push_back({colour, line});
  }
  void MessageBox(const std::string& text) override { boxes.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (yesNoAnswers.empty()) return false;
    const bool a = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return a;
  }
  void CentreProgressWindow() override { ++centred; }
  void Beep(BeepKind kind) override { beeps.push_back(kind); }
  void SetProgressCaption(const std::string& c) override { caption = c; }
  std::string ProgressCaption() override { return caption; }
  void SetProgressMax(int max) override { progressMax = max; }
  void SetProgressPosition(int p) override {
    progressPosition = p;
    positions.push_back(p);
  }
  int ProgressPosition() override { return progressPosition; }
  void ShowProgressWindow() override {
    progressShown = true;
    events.push_back("progress:show");
  }
  void CloseProgressWindow() override {
    progressShown = false;
    events.push_back("progress:close");
  }
  void Sleep(int ms) override {
    sleptMs += ms;
    sleeps.push_back(ms);
  }
  void ShowBusy(const std::string& c) override { events.push_back("busy:" + c); }
  void StepBusy(int step) override { events.push_back("busy:step " + std::to_string(step)); }
  void HideBusy() override { events.push_back("busy:hide"); }
  BadPinAnswer AskBadPins(const std::vector<int>& pins, int) override {
    badPinCalls.push_back(pins);
    if (badPinAnswers.empty()) return BadPinAnswer::Cancel;
    const BadPinAnswer a = badPinAnswers.front();
    badPinAnswers.pop_front();
    return a;
  }
  void ShowPlacement(const PlacementRequest& r) override {
    events.push_back("place:" + r.file);
    placements.push_back(r);
  }
  std::vector<PlacementRequest> placements;
  void ShowIspWiring(const std::string& p) override { events.push_back("isp:" + p); }
  int ChipParam(const std::string& key) override {
    const auto it = chipParams.find(key);
    return it == chipParams.end() ? 0 : it->second;
  }
  bool ChipNameContains(const std::string& text) override {
    return chipTitle.find(text) != std::string::npos;
  }
  // The loaded-file checks: the file is ready unless a test installs the application's own checks
  // or another answer.
  std::function<int()> convertMiconFile;
  std::function<int()> checkCdsExtension;
  int ConvertMiconFile() override { return convertMiconFile ? convertMiconFile() : 1; }
  int CheckCdsExtension() override { return checkCdsExtension ? checkCdsExtension() : 1; }

  // The log as plain texts.
  std::vector<std::string> LogTexts() const {
    std::vector<std::string> out;
    for (const auto& l : log) out.push_back(l.text);
    return out;
  }
};

}  // namespace zelvar::test
