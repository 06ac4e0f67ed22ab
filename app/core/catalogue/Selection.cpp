#include "app/core/catalogue/Selection.h"

#include <utility>

#include "algorithms/registry/Registry.h"
#include "app/core/catalogue/AlgorithmKeys.h"
#include "app/core/catalogue/ChipParams.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {

namespace {
SelectionHooks gHooks;
}  // namespace

SelectionHooks& selectionHooks() {
  return gHooks;
}
void SetSelectionHooks(SelectionHooks hooks) {
  gHooks = std::move(hooks);
}

AlgorithmDispatcher DispatcherForKey(std::string_view key) {
  if (AlgorithmKeyIndex(key) < 0) return nullptr;
  const std::string_view set = AlgorithmSetName(key);
  return gHooks.findSet ? gHooks.findSet(set) : FindAlgorithmSet(set);
}

SelectionResult SelectAlgorithm(const ChipChoice& choice) {
  const std::string text = choice.parameterString.substr(0, kParameterStringMax);
  const auto head = ParseParameterHead(text);
  if (!head) return SelectionResult::Ignored;

  if (head->key == kIcTesterKey) {
    // The tester replaces the bitstream; its opener sets the chosen chip up again afterwards.
    if (gHooks.openIcTester) gHooks.openIcTester();
    return SelectionResult::IcTester;
  }

  const AlgorithmDispatcher dispatcher = DispatcherForKey(head->key);
  if (!dispatcher) {
    // Refused before anything is stored, so the next operation still runs the previous chip.
    ShowMessageText("Not suport this chip! *暂时不能选择!");
    return SelectionResult::Refused;
  }

  gApp.ParameterString = text;
  gApp.ChipTitle = choice.chipTitle;
  gApp.ChipName = choice.chipName;
  gApp.AlgorithmKey = head->key;
  gApp.TypeIndex = head->typeIndex;
  gApp.ExpectedId = head->expectedId;
  gApp.CurrentDispatcher = dispatcher;
  if (gHooks.setupChosenChip) gHooks.setupChosenChip();
  if (auto label = AdapterLabelFor(text, gApp.ChipTitle)) gApp.AdapterLabel = std::move(*label);
  return SelectionResult::Bound;
}

}  // namespace zelvar
