// The IC tester on the simulated programmer: the libraries the build writes against the logic
// chip models written from the same truth tables, through the link, the ictest design and the
// socket, as the window runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "app/core/ictest/IcTester.h"
#include "link/Bitstream.h"
#include "services/AppState.h"
#include "sim/chips/LogicChip.h"
#include "sim/chips/LogicSheet.h"
#include "support/SimFixture.h"

namespace zelvar {
namespace ic_tester_test {

// The 7400's record as the file holds it, before the load-time adjustments.
std::vector<std::uint8_t> Raw7400() {
  std::ifstream f(std::string(ZELVAR_PROGRAM_DIR) + "/TTL74.LIB", std::ios::binary);
  const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(f),
                                       std::istreambuf_iterator<char>()};
  const IcLibrary lib = ParseIcLibrary(file, 0);
  const auto at = std::find(lib.names.begin(), lib.names.end(), "74xx00") - lib.names.begin();
  const IcChip& c = lib.chips[at];
  return {file.begin() + c.offset, file.begin() + c.offset + 7 + 9 * c.vectors};
}

class IcTesterTest : public test::SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    gApp.Reset();
    gApp.ProgramDir = ZELVAR_PROGRAM_DIR;
  }
  void TearDown() override {
    gApp.Reset();
    SimFixture::TearDown();
  }
  void Place(const char* part) {
    auto chip = sim::MakeLogicChip(part);
    ASSERT_NE(chip, nullptr) << part;
    prog->PlaceChipAtBottom(chip);
  }
  // Opens the tester on library `item` with chip `name` chosen.
  void Open(int item, const std::string& name = "") {
    tester.Prepare(item);
    ASSERT_EQ(prog->loadedDesign, "ictest");
    if (name.empty()) return;
    const auto& names = tester.library.names;
    const auto it = std::find(names.begin(), names.end(), name);
    ASSERT_NE(it, names.end()) << name;
    tester.Choose(static_cast<int>(it - names.begin()));
  }
  int Index(const std::string& name) const {
    const auto& names = tester.library.names;
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
  }

  IcTester tester;
};

TEST_F(IcTesterTest, GoodChipsPassAndAStuckOutputFails) {
  struct Case {
    const char* part;
    int item;
    const char* name;
    const char* voltage;
    const char* result;
  };
  for (const Case c : {Case{"7400", 0, "74xx00", "Voltage=5.0V", "OK!"},
                       Case{"7400:stuck", 0, "74xx00", "Voltage=5.0V", "Bad!!!"},
                       Case{"74LS132", 0, "74xx132", "Voltage=5.0V", "OK!"},
                       Case{"74HC138", 0, "74xx138", "Voltage=3.3V", "OK!"},
                       // Standard TTL does not work at 3.3 V: it drives nothing.
                       Case{"7400", 0, "74xx00", "Voltage=3.3V", "Bad!!!"},
                       Case{"7400", 0, "74xx02", "Voltage=5.0V", "Bad!!!"},
                       Case{"4011", 1, "4011", "Voltage=5.0V", "OK!"},
                       Case{"CD4011B:stuck", 1, "4011", "Voltage=5.0V", "Bad!!!"},
                       Case{"4040", 1, "4040", "Voltage=5.0V", "OK!"},
                       Case{"4511", 2, "4511", "Voltage=5.0V", "OK!"},
                       Case{"4511:stuck", 2, "4511", "Voltage=5.0V", "Bad!!!"}}) {
    SCOPED_TRACE(std::string(c.part) + " as " + c.name + " at " + c.voltage);
    Place(c.part);
    Open(c.item, c.name);
    tester.TestChip(c.voltage);
    EXPECT_EQ(tester.message, c.result);
    EXPECT_EQ(prog->VccPin(), 0);  // the supply leaves the chip after the test
    EXPECT_TRUE(prog->record.hazards.empty())
        << (prog->record.hazards.empty() ? "" : prog->record.hazards[0]);
    EXPECT_TRUE(prog->record.protocolErrors.empty());
  }
  EXPECT_EQ(std::count(fake.beeps.begin(), fake.beeps.end(), BeepKind::Success), 6);
}

// Every chip of every library: its model passes its vectors and its stuck variant fails them.
TEST_F(IcTesterTest, EveryLibraryChipCatchesItsStuckOutput) {
  prog->record.keepTranscript = false;
  const char* prefixes[] = {"74", "40", "45"};
  for (int item = 0; item < 3; ++item) {
    Open(item);
    for (std::size_t i = 0; i < tester.library.chips.size(); ++i) {
      const std::string& name = tester.library.names[i];
      if (name == "-") continue;  // the two end records
      std::string part = item == 0 ? "74" + name.substr(4) : name;
      ASSERT_EQ(part.rfind(prefixes[item], 0), 0u);
      for (const bool stuck : {false, true}) {
        SCOPED_TRACE(part + (stuck ? ":stuck" : ""));
        Place((part + (stuck ? ":stuck" : "")).c_str());
        tester.Choose(static_cast<int>(i));
        tester.TestChip("Voltage=5.0V");
        EXPECT_EQ(tester.message, stuck ? "Bad!!!" : "OK!");
      }
    }
  }
  EXPECT_TRUE(prog->record.hazards.empty());
}

TEST_F(IcTesterTest, SearchNamesTheChipInTheSocket) {
  Place("74HC138");
  Open(0);
  tester.Search("Voltage=5.0V");
  EXPECT_EQ(tester.message, "Find one.");
  ASSERT_EQ(tester.matches, std::vector<std::string>{"74xx138"});
  EXPECT_EQ(tester.number, "74xx138");
  EXPECT_EQ(tester.selected, Index("74xx138"));

  // A 7400 matches its own record and every second name of its logic.
  Place("74LS00");
  tester.Search("Voltage=5.0V");
  EXPECT_EQ(tester.message, "Find 6 with same logic device.");
  EXPECT_EQ(tester.number, "74xx03");
  EXPECT_NE(std::find(tester.matches.begin(), tester.matches.end(), "74xx00"),
            tester.matches.end());

  // An empty socket matches nothing.
  prog->PlaceChip(nullptr, 0);
  tester.Search("Voltage=5.0V");
  EXPECT_EQ(tester.message, "Not find!");
  EXPECT_TRUE(tester.matches.empty());
  EXPECT_TRUE(tester.number.empty());
  EXPECT_TRUE(prog->record.hazards.empty());
}

// Every chip of every library is found by Search with its model in the socket, each record from
// a power-up (a counter left by another record's vectors must not fail its own).
TEST_F(IcTesterTest, SearchFindsEveryChipOfEveryLibrary) {
  prog->record.keepTranscript = false;
  const char* libraries[] = {"TTL74", "CMOS40", "CMOS45"};
  for (int item = 0; item < 3; ++item) {
    Open(item);
    for (const sim::logic::ChipDef& c : sim::logic::Chips()) {
      if (c.library != libraries[item] || c.aliasOf >= 0) continue;
      const std::string name = IcChipName(item, c.number);
      SCOPED_TRACE(name);
      char part[16];
      std::snprintf(part, sizeof part,
                    item == 0   ? "74%02d"
                    : item == 1 ? "40%02d"
                                : "45%02d",
                    c.number);
      Place(part);
      tester.Search("Voltage=5.0V");
      EXPECT_NE(std::find(tester.matches.begin(), tester.matches.end(), name),
                tester.matches.end());
      // A transparent latch is not its edge-triggered twin.
      for (const auto& [latch, flipFlop] : {std::pair{"74xx373", "74xx374"},
                                            {"74xx533", "74xx534"},
                                            {"74xx573", "74xx574"},
                                            {"74xx563", "74xx564"}}) {
        const std::string other = name == latch ? flipFlop : name == flipFlop ? latch : "";
        EXPECT_EQ(std::find(tester.matches.begin(), tester.matches.end(), other),
                  tester.matches.end());
      }
    }
  }
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
}

TEST_F(IcTesterTest, SearchLeavesOutTheLastTwoChips) {
  Place("7400");
  Open(0);
  // Ten records of the 7400's test: the search tries chips 0 to 7.
  std::vector<std::uint8_t> data;
  const std::vector<std::uint8_t> whole = Raw7400();
  for (int i = 0; i < 10; ++i) data.insert(data.end(), whole.begin(), whole.end());
  tester.library = ParseIcLibrary(data, 0);
  tester.Search("Voltage=5.0V");
  EXPECT_EQ(tester.message, "Find 8 with same logic device.");
}

TEST_F(IcTesterTest, ARepeatMarkerBeforeTwoVectorsIsIgnored) {
  Place("7400:stuck");
  Open(0);
  // Markers at vectors 0 and 1 with a large count, then the 7400's own vectors.
  std::vector<std::uint8_t> r = Raw7400();
  ASSERT_LE(r[5], 253);
  std::vector<std::uint8_t> markers(18, 0);
  markers[0] = markers[9] = 0x40;
  markers[4] = markers[13] = 0xFF;
  r.insert(r.begin() + 7, markers.begin(), markers.end());
  const int vectors = r[5];
  r[5] = static_cast<std::uint8_t>(r[5] + 2);
  tester.library = ParseIcLibrary(r, 0);
  // The supply pin comes from the first vector, a marker here: set it as the 7400's.
  tester.library.chips[0].supplyPin = 27;
  tester.Choose(0);
  tester.TestChip("Voltage=5.0V");
  EXPECT_EQ(tester.message, "Bad!!!");
  Place("7400");
  tester.TestChip("Voltage=5.0V");
  EXPECT_EQ(tester.message, "OK!");
  EXPECT_EQ(tester.vectorCount, vectors);
}

TEST_F(IcTesterTest, AMissingLibraryLeavesTheListEmpty) {
  gApp.ProgramDir = "/nonexistent/";
  tester.Prepare(2);
  EXPECT_EQ(tester.message, "No librrary file! ");
  EXPECT_TRUE(tester.library.chips.empty());
  tester.TestChip("Voltage=5.0V");
  EXPECT_EQ(tester.message, "Bad!!!");
}

TEST_F(IcTesterTest, ClosingSwitchesEverySupplyOff) {
  Place("4011");
  Open(1, "4011");
  tester.SelectIcSupplyPin(27);
  ASSERT_GT(prog->VccMillivolts(), 0);
  tester.Close();
  EXPECT_EQ(prog->VccMillivolts(), 0);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppMillivolts(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  EXPECT_EQ(IcVoltageMillivolts("Voltage=4.2V"), 4400);
  EXPECT_EQ(IcVoltageMillivolts("Voltage=2.5V"), 2500);
  EXPECT_EQ(IcVoltageMillivolts("anything"), 5000);
}

}  // namespace ic_tester_test
}  // namespace zelvar
