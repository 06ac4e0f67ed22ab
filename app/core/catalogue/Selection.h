#pragma once
// Binding a chosen chip to its algorithm set.
#include <functional>
#include <string>
#include <string_view>

#include "services/Dispatcher.h"

namespace zelvar {

// What the chip dialog (or the project loader) hands over for one chip.
struct ChipChoice {
  std::string parameterString;
  std::string chipTitle;  // manufacturer, ": ", chip name
  std::string chipName;
};

enum class SelectionResult {
  Ignored,   // a parameter text without a blank: nothing changes
  IcTester,  // the "ICTEST" key: the IC tester was opened, the chip stays as it was
  Refused,   // a key outside the list or a set not built: a box, nothing changes
  Bound,     // the chip is chosen and set up
};

// The neighbours selection calls; each may be left empty.
struct SelectionHooks {
  // Sets the newly bound chip up (dispatcher operations 1, 2 and 3 and the chip's controls).
  std::function<void()> setupChosenChip;
  // Opens the IC tester as the Tools menu does, re-setting up the chosen chip afterwards.
  std::function<void()> openIcTester;
  // The dispatcher of a set by name; FindAlgorithmSet when empty.
  std::function<AlgorithmDispatcher(std::string_view)> findSet;
};

SelectionHooks& selectionHooks();
void SetSelectionHooks(SelectionHooks hooks);

// The dispatcher that `key` binds: nullptr for a key outside the list or a set not built.
AlgorithmDispatcher DispatcherForKey(std::string_view key);

// Cuts the choice's parameter text into key, type row and expected ID and binds the set. Only a
// bound choice changes the chosen chip, and then all of it at once: ParameterString, ChipTitle,
// ChipName, AlgorithmKey, TypeIndex, ExpectedId, CurrentDispatcher and AdapterLabel.
SelectionResult SelectAlgorithm(const ChipChoice& choice);

}  // namespace zelvar
