#pragma once
// The built algorithm sets by key. A key whose set is not built yet has no dispatcher.
#include <string_view>

#include "app/services/Dispatcher.h"

namespace zelvar {

// The dispatcher of the set named `key`, nullptr when that set is not built.
AlgorithmDispatcher FindAlgorithmSet(std::string_view key);

}  // namespace zelvar
