#include "support/CatalogueSweep.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>

#include "algorithms/pic/HTOTP.h"
#include "algorithms/registry/Registry.h"
#include "app/core/catalogue/ChipParams.h"
#include "app/core/catalogue/DeviceList.h"
#include "app/core/catalogue/Selection.h"
#include "app/core/describe/ChipUiModel.h"
#include "app/core/runner/AutoProgrammer.h"
#include "app/core/runner/OperationRunner.h"
#include "app/core/startup/SimSocket.h"
#include "link/LinkState.h"
#include "link/Usb.h"
#include "link/usb/SimUsbDriver.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "sim/Programmer.h"
#include "sim/SimTransport.h"
#include "sim/chips/ChipModels.h"
#include "support/FakeServices.h"
#include "support/Pattern.h"

namespace zelvar::test {

namespace {

// The chip parameters and title as the program answers them, from the chosen line.
class SweepServices final : public FakeServices {
 public:
  int ChipParam(const std::string& key) override {
    return static_cast<int>(ParameterValue(gApp.ParameterString, key));
  }
  bool ChipNameContains(const std::string& text) override {
    return gApp.ChipTitle.find(text) != std::string::npos;
  }
};

// A fresh simulated programmer of one model, opened as the program opens it, with the runner.
class Bench {
 public:
  explicit Bench(int model) {
    gApp.Reset();
    gLink.Reset();
    ChineseTexts = 0;
    usb::SetDriver(&driver_);
    SetServices(&fake);
    prog = std::make_unique<sim::Programmer>(model);
    prog->record.keepTranscript = false;
    transport_ = std::make_unique<sim::SimTransport>(*prog);
    driver_.Plug(transport_.get(), kZorProductIds[0]);
    driver_.Drain();
    gLink.UsbProductId = kZorProductIds[0];
    opened = OpenUsbDevice();
    gLink.ModelNumber = model;
    SelectionHooks hooks;
    hooks.setupChosenChip = [this] { runner.SetupChosenChip(); };
    SetSelectionHooks(hooks);
  }
  ~Bench() {
    SetSelectionHooks({});
    CloseUsbDevice();
    usb::SetDriver(nullptr);
    SetServices(nullptr);
    gLink.Reset();
    gApp.Reset();
  }
  Bench(const Bench&) = delete;
  Bench& operator=(const Bench&) = delete;

  SweepServices fake;
  std::unique_ptr<sim::Programmer> prog;
  bool opened = false;
  ChipUiModel ui;
  AutoProgrammer autoPro;
  OperationRunner runner{ui, autoPro};

 private:
  usb::SimUsbDriver driver_;
  std::unique_ptr<sim::SimTransport> transport_;
};

const char* OpName(int code) {
  switch (code) {
    case kOpErase:
      return "Erase";
    case kOpBlank:
      return "Blank";
    case kOpWrite:
      return "Write";
    case kOpVerify:
      return "Verify";
    case kOpConfig:
      return "Config";
    case kOpLock:
      return "Protect";
    case kOpRead:
      return "Read";
    case kOpReadId:
      return "ID";
    case kOpReadConfig:
      return "ReadConfig";
    default:
      return "?";
  }
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class LineRun {
 public:
  LineRun(const SweepLine& line, Bench& b, SweepResult& r, bool refused)
      : line_(line), b_(b), r_(r), refused_(refused) {}

  // Runs `code` through its button; returns the status. Records the step and what it did wrong.
  int Op(int code, const char* label = nullptr) {
    const std::size_t logAt = b_.fake.log.size(), hazardsAt = b_.prog->record.hazards.size();
    switch (code) {
      case kOpErase:
        b_.runner.EraseClick();
        break;
      case kOpBlank:
        b_.runner.BlankClick();
        break;
      case kOpWrite:
        b_.runner.WriteClick();
        break;
      case kOpVerify:
        b_.runner.VerifyClick();
        break;
      case kOpConfig:
        b_.runner.ConfigClick();
        break;
      case kOpLock:
        b_.runner.ProtectClick();
        break;
      case kOpRead:
        b_.runner.ReadClick();
        break;
      case kOpReadId:
        b_.runner.IdClick();
        break;
      case kOpReadConfig:
        b_.runner.ReadConfigClick();
        break;
      default:
        break;
    }
    const int status = gLink.StatusWord;
    const std::string name = label ? label : OpName(code);
    if (refused_ && status == 0) r_.faults.push_back(name + " passes after the set-up refused");
    std::string last;
    bool complete = false;
    lines_.clear();
    for (std::size_t i = logAt; i < b_.fake.log.size(); ++i) {
      const std::string& t = b_.fake.log[i].text;
      lines_.push_back(t);
      if (!t.empty()) last = t;
      if (Contains(t, "Complete")) complete = true;
    }
    r_.steps.push_back(name + (status == 0 ? " ok" : " fail"));
    if (status != 0 && complete) r_.faults.push_back(name + " logs Complete on a failure");
    for (std::size_t i = hazardsAt; i < b_.prog->record.hazards.size(); ++i) {
      r_.faults.push_back(name + " hazard: " + b_.prog->record.hazards[i]);
      break;
    }
    if (b_.prog->VccPin() != 0 || b_.prog->VppPin() != 0 || b_.prog->HighVoltagePin() != 0)
      r_.faults.push_back(name + " leaves a supply on");
    lastLine_ = last;
    return status;
  }
  const std::string& LastLine() const { return lastLine_; }
  // Whether a log line of the last operation holds `text`.
  bool Logged(const std::string& text) const {
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const std::string& l) { return Contains(l, text); });
  }
  bool Offered(int code) const { return b_.ui.OperationAllowed(code); }

  void Expect(bool good, const std::string& fault) {
    if (!good) r_.faults.push_back(fault);
  }

 private:
  const SweepLine& line_;
  Bench& b_;
  SweepResult& r_;
  bool refused_;
  std::string lastLine_;
  std::vector<std::string> lines_;
};

// The word grid's first two rows take the address range ("Addr start", "Addr end").
bool TakesRange(const ChipUiModel& ui) {
  if (ui.WordRows.size() < 2) return false;
  std::string a = ui.WordRows[0].Label, b = ui.WordRows[1].Label;
  std::transform(a.begin(), a.end(), a.begin(), ::tolower);
  std::transform(b.begin(), b.end(), b.begin(), ::tolower);
  return Contains(a, "start") && Contains(b, "end");
}

}  // namespace

void PrintTo(const SweepLine& line, std::ostream* os) {
  *os << line.model << " " << line.key << " " << line.row << " " << line.maker << " "
      << line.chipName;
}

std::string SweepResult::Summary(const SweepLine& line) const {
  std::string s = std::to_string(line.model) + " | " + line.key + " " + std::to_string(line.row) +
                  " | " + line.maker + " " + line.chipName + " | ";
  s += chipModel.empty() ? seat : "model " + chipModel;
  s += " |";
  for (const std::string& step : steps) s += " " + step + ",";
  if (!steps.empty()) s.pop_back();
  s += Passed() ? " | PASS" : " | FAULT: " + faults.front();
  for (std::size_t i = 1; i < faults.size(); ++i) s += "; " + faults[i];
  return s;
}

std::vector<SweepLine> SweepLines(int model) {
  std::vector<SweepLine> lines;
  const std::string file = DeviceListFor(model, [] { return 0; }).file;
  std::ifstream in(std::string(ZELVAR_PROGRAM_DIR) + "/" + file);
  std::string raw;
  while (ReadDeviceLine(in, raw)) {
    const auto l = ParseDeviceLine(raw);
    if (!l || !l->hasComma) continue;
    const auto head = ParseParameterHead(l->parameters);
    if (!head || head->key == "ICTEST") continue;
    SweepLine s;
    s.model = model;
    s.text = std::string(CutAtLineEnd(raw));
    s.maker = l->manufacturer;
    s.chipName = l->chipName;
    s.parameters = l->parameters;
    s.key = head->key;
    s.row = head->typeIndex;
    lines.push_back(std::move(s));
  }
  return lines;
}

std::vector<SweepLine> FirstLinesPerSet(const std::vector<SweepLine>& lines, int perSet) {
  std::map<std::string, int> taken;
  std::vector<SweepLine> out;
  for (const SweepLine& l : lines) {
    if (taken[l.key]++ < perSet) out.push_back(l);
  }
  return out;
}

SweepResult SweepOne(const SweepLine& line, int windowBytes) {
  SweepResult r;
  Bench b(line.model);
  if (!b.opened) {
    r.faults.push_back("the simulated programmer did not open");
    return r;
  }
  const SelectionResult chosen =
      SelectAlgorithm({line.parameters, line.maker + ": " + line.chipName, line.chipName});
  if (chosen != SelectionResult::Bound) {
    r.steps.push_back("choice refused");
    return r;
  }
  auto chip = sim::MakeChipModel(line.chipName);
  std::optional<PlacementRequest> picture;
  if (!b.fake.placements.empty()) picture = b.fake.placements.back();
  r.seat = chip ? SeatAsPictured(*b.prog, chip, picture) : "no chip model of this part";
  if (chip && !r.seat.empty()) r.seat = "not seated: " + r.seat;
  // A design the simulator does not have: the seated model never hears the set, and counts as
  // no model.
  if (chip && r.seat.empty() && !b.prog->loadedDesign.empty() && b.prog->design() == nullptr)
    r.seat = "design \"" + b.prog->loadedDesign + "\" not simulated: no model answers";
  const bool seated = chip && r.seat.empty();
  if (seated) r.chipModel = chip->Name();
  if (!b.prog->record.hazards.empty())
    r.faults.push_back("set-up hazard: " + b.prog->record.hazards.front());
  // The set refuses this line on this model at set-up: its operations must refuse too.
  const bool refused = gLink.StatusWord != 0;
  if (refused) r.steps.push_back("set-up refused");

  LineRun run(line, b, r, refused);
  // What a seated model must do, where the set took the line.
  const bool working = seated && !refused;
  try {
    const std::uint32_t last = static_cast<std::uint32_t>(std::max(gApp.CodeLastAddress, 0));
    const bool range = TakesRange(b.ui);
    const std::uint32_t end = range ? std::min<std::uint32_t>(last, windowBytes - 1) : last;
    // The image the sets write: code and, behind it, the data area.
    const std::uint32_t image = std::max<std::uint32_t>(
        last + 1, gApp.InfoRecord[1] > 0 && gApp.InfoRecord[2] > 0
                      ? static_cast<std::uint32_t>(gApp.InfoRecord[1] + gApp.InfoRecord[2])
                      : 0);
    for (std::uint32_t i = 0; i < image && i < gApp.CodeBuffer.size(); ++i)
      gApp.CodeBuffer[i] = PatternByte(i, 0x5A);
    // The byte Verify must find changed.
    std::uint32_t probe = 0;
    // The Holtek set writes a ".OTP" image: the pattern goes into its code and option records.
    if (line.key == "HTOTP") {
      pic::WriteOtpHeader(gApp.CodeBuffer.data(), last + 1);
      for (std::uint32_t i = 0; i <= last; ++i)
        gApp.CodeBuffer[pic::kOtpCodeData + i] = PatternByte(i, 0x5A);
      const std::uint32_t option = pic::WriteOtpTrailer(gApp.CodeBuffer.data(), last + 1);
      for (std::uint32_t i = 0; i < pic::kOtpOptionBytes; ++i)
        gApp.CodeBuffer[option + i] = PatternByte(i, 0xA5);
      probe = pic::kOtpCodeData;
    }
    if (range) {
      gApp.OptionValues[64] = 0;
      gApp.OptionValues[65] = static_cast<std::int32_t>(end);
    }
    // The pulse a user picks for the 21 V and 25 V NMOS EPROM rows ("2716    25v"): 50 ms.
    const AlgorithmSet* set = FindSet(line.key);
    const std::string_view caption = set && set->rowCaption ? set->rowCaption(line.row) : "";
    if (caption.ends_with("21v") || caption.ends_with("25v")) gApp.OptionValues[128] = 7;

    if (run.Offered(kOpReadId)) {
      const int s = run.Op(kOpReadId);
      // With no chip, the line's signature cannot match.
      if (!seated && line.parameters.find('#') != std::string::npos)
        run.Expect(s != 0, "Read ID passes the line's signature with no chip model seated");
    }
    if (run.Offered(kOpErase)) {
      const int s = run.Op(kOpErase);
      if (working) run.Expect(s == 0, "Erase fails on the seated model: " + run.LastLine());
    }
    int wrote = 1;
    // The PLD sets write a loaded JEDEC or SVF file, which their own tests load; here they run
    // the other operations.
    const bool pld = gApp.InfoRecord[3] >= 1 && gApp.InfoRecord[3] <= 3;
    if (pld) r.steps.push_back("Write and Verify need a fuse file");
    if (run.Offered(kOpWrite) && !pld) {
      wrote = run.Op(kOpWrite);
      // A window larger than the chip: Write refuses data where the chip has no memory, or
      // where an option leaves an area out ("No LD"). The pattern is cleared there, 1 KiB at a
      // time, and Write tried again.
      const auto outside = [&] { return run.Logged("no memory") || run.Logged("leaves out"); };
      for (int tries = 0; wrote != 0 && tries < 256 && outside(); ++tries) {
        const std::uint32_t a = gLink.FailAddress;
        std::fill(gApp.CodeBuffer.begin() + a, gApp.CodeBuffer.begin() + ((a | 0x3FF) + 1), 0xFF);
        r.steps.pop_back();
        wrote = run.Op(kOpWrite, "Write(outside the chip cleared)");
      }
      if (working) run.Expect(wrote == 0, "Write fails on the seated model: " + run.LastLine());
      if (!seated) run.Expect(wrote != 0, "Write passes with no chip model seated");
    }
    if (run.Offered(kOpVerify) && !pld) {
      const int s = run.Op(kOpVerify);
      if (working && wrote == 0) run.Expect(s == 0, "Verify fails after Write: " + run.LastLine());
      if (!seated) run.Expect(s != 0, "Verify passes with no chip model seated");
      if (wrote == 0 && s == 0) {
        gApp.CodeBuffer[probe] ^= 0x01;
        run.Expect(run.Op(kOpVerify, "Verify(changed byte)") != 0,
                   "Verify passes over a changed byte");
        gApp.CodeBuffer[probe] ^= 0x01;
      }
    }
    if (run.Offered(kOpRead)) {
      const int s = run.Op(kOpRead);
      if (working) run.Expect(s == 0, "Read fails on the seated model: " + run.LastLine());
    }
    if (run.Offered(kOpReadConfig)) {
      const int s = run.Op(kOpReadConfig);
      // What was read goes back unchanged.
      if (s == 0 && run.Offered(kOpConfig)) run.Op(kOpConfig);
    }
  } catch (const std::exception& e) {
    r.faults.push_back(std::string("exception: ") + e.what());
  }
  return r;
}

}  // namespace zelvar::test
