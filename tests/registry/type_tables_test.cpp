// Every row of every registered set's type table against its family's rules (pins, sizes,
// bitstreams). The test walks the registry: a new set is covered without new test code.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "algorithms/memory/EpromSet.h"
#include "algorithms/memory/GAL3M.h"
#include "algorithms/registry/Registry.h"

namespace zelvar {
namespace type_tables_test {

class TypeTable : public ::testing::TestWithParam<AlgorithmSet> {};

TEST_P(TypeTable, EveryRowKeepsItsFamilyRules) {
  const AlgorithmSet& set = GetParam();
  ASSERT_NE(set.checkTypes, nullptr);
  EXPECT_GE(set.typeRows, set.firstRow);
  EXPECT_FALSE(set.rowCaption(set.typeRows).empty());
  EXPECT_TRUE(set.rowCaption(set.typeRows + 1).empty());
  TypeTableReport report;
  set.checkTypes(report);
  for (const std::string& fault : report.faults) ADD_FAILURE() << set.key << " " << fault;
  // Bitstreams are looked for where the program loads them (the tests run in the program
  // directory).
  for (const std::string& name : report.bitstreams) {
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path("BLib") / name))
        << set.key << ": " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Registry, TypeTable, ::testing::ValuesIn(AlgorithmSets()),
                         [](const auto& info) { return std::string(info.param.key); });

// The rules catch the faults a row can carry.
TEST(EpromRules, CatchSwappedSharedAndMisplacedPins) {
  using memory::EpromType;
  const memory::AddressPins pins{{31, 30, 27, 29, 8, 32, 33, 7, 6, 34, 35, 5}};
  const EpromType good{.name = "27C256",
                       .packagePins = 28,
                       .lastAddress = 0x7FFF,
                       .vccPin = 34,
                       .vppPin = 7,
                       .programPin = 26,
                       .contactMask = SocketPins(8, 34)};
  struct Case {
    const char* what;
    EpromType row;
  };
  auto with = [&](auto change) {
    EpromType t = good;
    change(t);
    return t;
  };
  const Case cases[] = {
      {"VCC on VPP", with([](EpromType& t) { t.vccPin = 7; })},
      {"VCC and VPP swapped", with([](EpromType& t) { std::swap(t.vccPin, t.vppPin); })},
      {"VPP off a 28-pin package", with([](EpromType& t) { t.vppPin = 5; })},
      {"the 24-pin VCC on a 28-pin part", with([](EpromType& t) { t.vccPin = 32; })},
      {"VPP on ground", with([](EpromType& t) { t.vppPin = 20; })},
      {"program pin on VCC", with([](EpromType& t) { t.programPin = 34; })},
      {"VPP outside the socket", with([](EpromType& t) { t.vppPin = 41; })},
      {"VPP on an address line", with([](EpromType& t) { t.vppPin = 33; })},
      {"size not a power of two", with([](EpromType& t) { t.lastAddress = 0x7FFE; })},
      {"mask past the socket", with([](EpromType& t) { t.contactMask |= SocketPins(44, 44); })},
      {"program pin is VPP unmarked", with([](EpromType& t) { t.programPin = 7; })},
  };
  TypeTableReport clean;
  memory::CheckEpromRow(good, pins, clean);
  EXPECT_TRUE(clean.faults.empty()) << clean.faults.front();
  for (const Case& c : cases) {
    TypeTableReport r;
    memory::CheckEpromRow(c.row, pins, r);
    EXPECT_FALSE(r.faults.empty()) << c.what;
  }
}

// A GAL row's caption names the VPP the row applies, to the caption's precision.
TEST(GalRules, CaptionNamesTheRowsVpp) {
  using memory::GalRow;
  struct Case {
    const char* name;
    std::uint32_t vpp;
    bool agrees;
  };
  for (const Case& c :
       {Case{"1: 16V8 16.5V", 16500, true}, Case{"2: 16V8A 12V", 12000, true},
        Case{"2: 22V10B 12V", 12500, true}, Case{"10: GAL16V8D 10.0V", 12000, false},
        Case{"1: 16V8 16.5V", 12000, false}, Case{"x: 16V8", 12000, true}}) {
    TypeTableReport r;
    memory::CheckGalRow(GalRow(c.name, c.vpp, memory::GAL3M::kTypes[1]), r);
    EXPECT_EQ(r.faults.empty(), c.agrees) << c.name;
  }
}

}  // namespace type_tables_test
}  // namespace zelvar
