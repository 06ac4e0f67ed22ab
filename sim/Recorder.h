#pragma once
// What the simulated programmer saw, for tests: the commands it carried out, the protocol errors
// (bytes no real programmer would take) and the hazards (what would harm a real chip).
#include <cstdint>
#include <string>
#include <vector>

#include "sim/Command.h"

namespace zelvar::sim {

struct Recorder {
  std::vector<Command> transcript;
  std::vector<std::string> protocolErrors;
  std::vector<std::string> hazards;
  std::uint32_t transfers = 0;
  bool keepTranscript = true;

  void Clear() {
    transcript.clear();
    protocolErrors.clear();
    hazards.clear();
  }
  // A hazard that repeats the one before it (the same pin on every pin change) is kept once.
  void Hazard(const std::string& text) {
    if (hazards.empty() || hazards.back() != text) hazards.push_back(text);
  }
  void ProtocolError(const std::string& text) { protocolErrors.push_back(text); }
};

}  // namespace zelvar::sim
