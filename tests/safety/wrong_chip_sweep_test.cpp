// Every set whose catalogue lines of device6200.lst give an identity ("#" bytes): the first such
// line with a chip model chosen while another of the set's parts (one that answers other "#"
// bytes, in the same package) sits in the socket. Write and Erase, where the set offers them, must
// refuse with a type error line.
#include <map>
#include <set>

#include "SafetyFixture.h"
#include "algorithms/registry/Registry.h"

namespace zelvar::test {
namespace wrong_chip_sweep_test {

struct SweepPair {
  std::string key;
  DeviceLine line;
  std::string seated;
};

void PrintTo(const SweepPair& p, std::ostream* os) {
  *os << p.key << " " << p.line.chipName << " with " << p.seated;
}

// Sets this sweep cannot run, and why (none today).
const std::map<std::string, std::string> kOpen = {};

bool Usable(const DeviceLine& l) {
  return l.chipName.find('*') == std::string::npos &&
         l.chipName.find("(ISP)") == std::string::npos && sim::MakeChipModel(l.chipName);
}

std::vector<SweepPair> Pairs() {
  std::vector<SweepPair> pairs;
  const auto lines = CatalogueLines();
  for (const AlgorithmSet& set : AlgorithmSets()) {
    if (kOpen.count(std::string(set.key))) continue;
    std::vector<std::pair<DeviceLine, std::array<std::uint8_t, 4>>> withId;
    for (const DeviceLine& l : lines) {
      const auto head = ParseParameterHead(l.parameters);
      if (!head || head->key != set.key || head->expectedId[0] == 0 || !Usable(l)) continue;
      withId.push_back({l, head->expectedId});
    }
    // Another part of the set in the same package: the contact check passes and the chip answers.
    const auto pins = [](const DeviceLine& l) {
      return sim::MakeChipModel(l.chipName)->PinCount();
    };
    for (std::size_t i = 1; i < withId.size(); ++i) {
      if (withId[i].second == withId[0].second || pins(withId[i].first) != pins(withId[0].first))
        continue;
      pairs.push_back({std::string(set.key), withId[0].first, withId[i].first.chipName});
      break;
    }
  }
  return pairs;
}

std::string Name(const ::testing::TestParamInfo<SweepPair>& info) {
  std::string n = info.param.key + "_" + info.param.line.chipName + "_with_" + info.param.seated;
  for (char& ch : n) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return n;
}

class WrongChipSweep : public SafetyFixture, public ::testing::WithParamInterface<SweepPair> {};

TEST_P(WrongChipSweep, WriteAndEraseRefuse) {
  const SweepPair& p = GetParam();
  // Model 6300 seats every part upright.
  Connect(6300);
  SetServices(&lines);
  ASSERT_TRUE(Choose(p.line, sim::MakeChipModel(p.seated)));
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.end(), 0x00);
  gApp.OptionValues[64] = 0;
  gApp.OptionValues[65] = 0xFF;
  for (const int op : {kOpWrite, kOpErase}) {
    if (!ui.OperationEnabled[static_cast<std::size_t>(op - kOpErase)]) continue;
    lines.log.clear();
    const int status = Click(op);
    EXPECT_EQ(status, 1) << "operation " << op << ": " << Log();
    EXPECT_TRUE(Logged("Type er") || Logged("型号"))
        << "operation " << op << ": " << Log() << " bad pins "
        << " boxes " << lines.boxes.size() << (lines.boxes.empty() ? "" : lines.boxes.back());
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, WrongChipSweep, ::testing::ValuesIn(Pairs()), Name);

}  // namespace wrong_chip_sweep_test
}  // namespace zelvar::test
