#include "algorithms/registry/Registry.h"

#include <utility>

#include "algorithms/memory/Sets.h"

namespace zelvar {

namespace {
// One row per built set: its key and its dispatcher. Families add their sets here.
constexpr std::pair<std::string_view, AlgorithmDispatcher> kSets[] = {
    {"P27", P27Dispatch},
    {"PW27", PW27Dispatch},
    {"SST27SF", SST27SFDispatch},
    {"I27CX", I27CXDispatch},
};
}  // namespace

AlgorithmDispatcher FindAlgorithmSet(std::string_view key) {
  for (const auto& [k, d] : kSets) {
    if (!k.empty() && k == key) return d;
  }
  return nullptr;
}

}  // namespace zelvar
