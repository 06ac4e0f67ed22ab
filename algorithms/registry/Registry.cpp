#include "algorithms/registry/Registry.h"

#include <tuple>
#include <utility>

#include "algorithms/mcs51/Sets.h"
#include "algorithms/memory/Sets.h"

namespace zelvar {

namespace {
// One row per built set: its key and its dispatcher. Families add their sets here.
constexpr std::pair<std::string_view, AlgorithmDispatcher> kSets[] = {
    {"P27", P27Dispatch},
    {"PW27", PW27Dispatch},
    {"SST27SF", SST27SFDispatch},
    {"I27CX", I27CXDispatch},
    {"P89C51", P89C51Dispatch},
    {"AT89S5X", AT89S5XDispatch},
    {"AT89S8253", AT89S8253Dispatch},
    {"AT89X8252", AT89X8252Dispatch},
    {"AT89C51RD2", AT89C51RD2Dispatch},
    {"T89C51RD2", T89C51RD2Dispatch},
    {"T89C51RC2", T89C51RC2Dispatch},
};

// One row per set whose type table the device lists are checked against; a set adds its row
// when it lands.
constexpr std::tuple<std::string_view, int, std::string_view> kCatalogueFacts[] = {
    {"P27", 21, ""},
    {"PW27", 5, ""},
    {"SST27SF", 9, ""},
    {"I27CX", 7, "vcc= mem= dly="},
    {"P89C51", 9, ""},
    {"AT89S5X", 3, ""},
    {"AT89S8253", 1, ""},
    {"AT89X8252", 3, ""},
    {"AT89C51RD2", 4, ""},
    {"T89C51RD2", 4, ""},
    {"T89C51RC2", 3, ""},
};
}  // namespace

AlgorithmDispatcher FindAlgorithmSet(std::string_view key) {
  for (const auto& [k, d] : kSets) {
    if (!k.empty() && k == key) return d;
  }
  return nullptr;
}

SetCatalogueFacts CatalogueFacts(std::string_view key) {
  for (const auto& [k, rows, items] : kCatalogueFacts) {
    if (k == key) return {rows, items};
  }
  return {};
}

}  // namespace zelvar
