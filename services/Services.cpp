#include "services/Services.h"

namespace zelvar {
namespace {

// Answers as a program with no windows would: nothing shown, Cancel on the bad-pin window.
class SilentServices final : public Services {
 public:
  bool ProgressWindowExists() override { return false; }
  void AppendLog(int, const std::string&, bool) override {}
  void MessageBox(const std::string&) override {}
  void Beep(BeepKind) override {}
  void SetProgressCaption(const std::string& c) override { caption_ = c; }
  std::string ProgressCaption() override { return caption_; }
  void SetProgressMax(int) override {}
  void SetProgressPosition(int p) override { position_ = p; }
  int ProgressPosition() override { return position_; }
  void ShowProgressWindow() override {}
  void CloseProgressWindow() override {}
  void Sleep(int) override {}
  void ShowBusy(const std::string&) override {}
  void HideBusy() override {}
  BadPinAnswer AskBadPins(const std::vector<int>&, int) override { return BadPinAnswer::Cancel; }
  void ShowPlacement(const PlacementRequest&) override {}
  void ShowIspWiring(const std::string&) override {}
  int ChipParam(const std::string&) override { return 0; }
  bool ChipNameContains(const std::string&) override { return false; }

 private:
  std::string caption_;
  int position_ = 0;
};

SilentServices gSilent;
Services* gCurrent = &gSilent;

}  // namespace

Services& services() {
  return *gCurrent;
}
void SetServices(Services* s) {
  gCurrent = s ? s : &gSilent;
}

}  // namespace zelvar
