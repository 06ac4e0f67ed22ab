#include "algorithms/registry/Registry.h"

#include <utility>

namespace zelvar {

namespace {
// One row per built set: its key and its dispatcher. Families add their sets here.
constexpr std::pair<std::string_view, AlgorithmDispatcher> kSets[] = {
    {"", nullptr},
};
}  // namespace

AlgorithmDispatcher FindAlgorithmSet(std::string_view key) {
  for (const auto& [k, d] : kSets) {
    if (!k.empty() && k == key) return d;
  }
  return nullptr;
}

}  // namespace zelvar
