#pragma once
// An algorithm set for tests: it records every dispatcher call, describes itself with a list and an
// InfoRecord that the test sets, and fails, faults or acts on the link as the test asks. Like many
// real sets it writes StatusWord only on failure.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Dispatcher.h"

namespace zelvar::test {

class FakeAlgorithmSet {
 public:
  struct Call {
    int op;
    std::uint8_t* buffer;
    std::int32_t* record;
    ChipUiList* list;
  };

  std::vector<Call> calls;
  std::array<std::int32_t, 8> info{};
  ChipUiList describe{"$end"};
  std::map<int, std::uint8_t> results;           // failing operations and their status
  std::map<int, std::function<void()>> actions;  // run inside an operation, before its result

  FakeAlgorithmSet() {
    current = this;
    gApp.CurrentDispatcher = &Dispatch;
  }
  ~FakeAlgorithmSet() {
    if (current == this) current = nullptr;
  }
  FakeAlgorithmSet(const FakeAlgorithmSet&) = delete;
  FakeAlgorithmSet& operator=(const FakeAlgorithmSet&) = delete;

  std::vector<int> Ops() const {
    std::vector<int> out;
    for (const auto& c : calls) out.push_back(c.op);
    return out;
  }

  static std::uint8_t Dispatch(int op, std::uint8_t* buffer, std::int32_t* record,
                               ChipUiList* list) {
    FakeAlgorithmSet& self = *current;
    self.calls.push_back({op, buffer, record, list});
    if (op == kOpDescribe) {
      for (int i = 0; i < 8; ++i) record[i] = self.info[static_cast<std::size_t>(i)];
      for (std::size_t i = 0; i < self.describe.size() && i < list->size(); ++i) {
        (*list)[i] = self.describe[i];
      }
    }
    if (const auto a = self.actions.find(op); a != self.actions.end()) a->second();
    const auto r = self.results.find(op);
    if (r == self.results.end()) return gLink.StatusWord;  // success leaves the status alone
    gLink.StatusWord = r->second;
    return r->second;
  }

  static inline FakeAlgorithmSet* current = nullptr;
};

}  // namespace zelvar::test
