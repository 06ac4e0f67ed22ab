#pragma once
// The built algorithm sets by key. A key whose set is not built yet has no dispatcher.
#include <string_view>

#include "services/Dispatcher.h"

namespace zelvar {

// The dispatcher of the set named `key`, nullptr when that set is not built.
AlgorithmDispatcher FindAlgorithmSet(std::string_view key);

// What a device-list line for a set must agree with: its TypeTable holds rows 1 to typeRows, and
// every line gives the blank-separated parameter items in requiredItems (such as "vcc= mem=").
// typeRows is 0 for a set whose facts are not recorded.
struct SetCatalogueFacts {
  int typeRows = 0;
  std::string_view requiredItems;
};
SetCatalogueFacts CatalogueFacts(std::string_view key);

}  // namespace zelvar
