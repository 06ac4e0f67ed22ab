#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "algorithms/registry/Registry.h"
#include "app/core/catalogue/AlgorithmKeys.h"
#include "app/core/catalogue/Selection.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "support/FakeServices.h"

namespace zelvar {
namespace select_algorithm_test {

std::uint8_t FakeSetA(int, std::uint8_t*, std::int32_t*, ChipUiList*) {
  return 0;
}
std::uint8_t FakeSetB(int, std::uint8_t*, std::int32_t*, ChipUiList*) {
  return 0;
}

class SelectAlgorithmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    ChineseTexts = 0;
    SetServices(&fake);
    SelectionHooks hooks;
    hooks.setupChosenChip = [this] { setups.push_back(gApp.AlgorithmKey); };
    hooks.openIcTester = [this] { ++icTesterOpened; };
    // "P27" and "DSRAM" stand built; every other set is not.
    hooks.findSet = [](std::string_view set) -> AlgorithmDispatcher {
      if (set == "P27") return &FakeSetA;
      if (set == "DSRAM") return &FakeSetB;
      return nullptr;
    };
    SetSelectionHooks(hooks);
  }
  void TearDown() override {
    SetSelectionHooks({});
    SetServices(nullptr);
    gApp.Reset();
  }

  // A chip already chosen, as every refusal must leave it.
  void BindPrevious() {
    ASSERT_EQ(
        SelectAlgorithm({"P27 13 #1e 8c 00 00 adp=QAD-UNIV-44", "ATMEL: AT27C256", "AT27C256"}),
        SelectionResult::Bound);
    setups.clear();
    fake.boxes.clear();
  }

  void ExpectPreviousChip() {
    EXPECT_EQ(gApp.ParameterString, "P27 13 #1e 8c 00 00 adp=QAD-UNIV-44");
    EXPECT_EQ(gApp.ChipTitle, "ATMEL: AT27C256");
    EXPECT_EQ(gApp.ChipName, "AT27C256");
    EXPECT_EQ(gApp.AlgorithmKey, "P27");
    EXPECT_EQ(gApp.TypeIndex, 13);
    EXPECT_EQ(gApp.ExpectedId, (std::array<std::uint8_t, 4>{0x1E, 0x8C, 0, 0}));
    EXPECT_EQ(gApp.CurrentDispatcher, &FakeSetA);
    EXPECT_EQ(gApp.AdapterLabel, "QAD-UNIV-44");
    EXPECT_TRUE(setups.empty());
  }

  test::FakeServices fake;
  std::vector<std::string> setups;
  int icTesterOpened = 0;
};

TEST_F(SelectAlgorithmTest, BindsTheSetAndSetsTheChipUp) {
  EXPECT_EQ(gApp.TypeIndex, -1);
  BindPrevious();
  ExpectPreviousChip();
  // A chip without an adapter item or package code keeps the label; TESTRAM binds the DSRAM set.
  ASSERT_EQ(SelectAlgorithm({"TESTRAM 2", "TEST: 6264", "6264"}), SelectionResult::Bound);
  EXPECT_EQ(gApp.CurrentDispatcher, &FakeSetB);
  EXPECT_EQ(gApp.AlgorithmKey, "TESTRAM");
  EXPECT_EQ(gApp.TypeIndex, 2);
  EXPECT_EQ(gApp.ExpectedId, (std::array<std::uint8_t, 4>{}));
  EXPECT_EQ(gApp.ChipName, "6264");
  EXPECT_EQ(gApp.AdapterLabel, "QAD-UNIV-44");
  EXPECT_EQ(setups, std::vector<std::string>{"TESTRAM"});
  EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(SelectAlgorithmTest, RefusalsLeaveThePreviousChipInPlace) {
  BindPrevious();
  struct Case {
    const char* parameters;
    SelectionResult result;
    bool box;
  };
  const Case cases[] = {
      {"NOSUCH 3 vcc=5000", SelectionResult::Refused, true},  // outside the key list
      {"p27 3", SelectionResult::Refused, true},              // keys compare case-sensitively
      {"PW27 1", SelectionResult::Refused, true},             // in the list, set not built
      {"---", SelectionResult::Ignored, false},               // a line without a comma
      {"", SelectionResult::Ignored, false},
  };
  for (const Case& c : cases) {
    fake.boxes.clear();
    EXPECT_EQ(SelectAlgorithm({c.parameters, "OTHER: CHIP 44PS", "CHIP 44PS"}), c.result)
        << c.parameters;
    if (c.box) {
      EXPECT_EQ(fake.boxes, std::vector<std::string>{"Not suport this chip! "}) << c.parameters;
    } else {
      EXPECT_TRUE(fake.boxes.empty()) << c.parameters;
    }
    ExpectPreviousChip();
  }
  EXPECT_EQ(icTesterOpened, 0);
}

TEST_F(SelectAlgorithmTest, IcTesterKeyOpensTheTesterAndKeepsTheChip) {
  BindPrevious();
  EXPECT_EQ(SelectAlgorithm({"ICTEST 5", "TTL: 74LS00", "74LS00"}), SelectionResult::IcTester);
  EXPECT_EQ(icTesterOpened, 1);
  EXPECT_TRUE(fake.boxes.empty());
  ExpectPreviousChip();
}

TEST_F(SelectAlgorithmTest, KeysBindThroughTheSetRegistryByDefault) {
  SetSelectionHooks({});
  EXPECT_EQ(DispatcherForKey("P27"), FindAlgorithmSet("P27"));
  EXPECT_EQ(DispatcherForKey("TESTRAM"), FindAlgorithmSet("DSRAM"));
  EXPECT_EQ(DispatcherForKey("ICTEST"), nullptr);
  EXPECT_EQ(DispatcherForKey("NOSUCH"), nullptr);
}

TEST(AlgorithmKeys, HoldsOneHundredFortyOneDistinctKeys) {
  const std::set<std::string_view> distinct(kAlgorithmKeys.begin(), kAlgorithmKeys.end());
  EXPECT_EQ(distinct.size(), 141u);
  EXPECT_EQ(distinct.count("ICTEST"), 0u);
  EXPECT_EQ(AlgorithmKeyIndex("P27"), 0);
  EXPECT_EQ(AlgorithmKeyIndex("C8051JTAG"), 140);
  EXPECT_EQ(AlgorithmKeyIndex("AMD29f040"), 102);
  EXPECT_EQ(AlgorithmKeyIndex("AMD29F040"), -1);
  std::set<std::string_view> sets;
  for (auto k : kAlgorithmKeys) sets.insert(AlgorithmSetName(k));
  EXPECT_EQ(sets.size(), 140u);
}

}  // namespace select_algorithm_test
}  // namespace zelvar
