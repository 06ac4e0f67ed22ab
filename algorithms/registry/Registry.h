#pragma once
// The built algorithm sets by key. A key whose set is not built yet has no dispatcher.
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "services/Dispatcher.h"

namespace zelvar {

// One built set: its key, its dispatcher, and what the device lists and the type-table test know
// of it. The registry generates all of it from the set's class (see Register in Registry.cpp).
struct AlgorithmSet {
  std::string_view key;
  AlgorithmDispatcher dispatch = nullptr;
  int typeRows = 0;                // rows firstRow..typeRows of the type table
  std::string_view requiredItems;  // parameter items every device-list line gives ("vcc= mem=")
  std::string_view (*rowCaption)(int row) = nullptr;  // "" outside the table
  void (*checkTypes)(TypeTableReport&) = nullptr;     // every row against its family's rules
  int firstRow = 1;  // 0 for the few sets whose row 0 is a type rather than "Exit"
};

// Every built set, in registry order.
std::span<const AlgorithmSet> AlgorithmSets();

// The set named `key`, nullptr when that set is not built.
const AlgorithmSet* FindSet(std::string_view key);

// The dispatcher of the set named `key`, nullptr when that set is not built.
AlgorithmDispatcher FindAlgorithmSet(std::string_view key);

// What a device-list line for a set must agree with: its type table holds rows firstRow to
// typeRows, and every line gives the blank-separated parameter items in requiredItems (such as
// "vcc= mem="). built is false for a set that is not built.
struct SetCatalogueFacts {
  bool built = false;
  int firstRow = 1;
  int typeRows = 0;
  std::string_view requiredItems;
};
SetCatalogueFacts CatalogueFacts(std::string_view key);

}  // namespace zelvar
