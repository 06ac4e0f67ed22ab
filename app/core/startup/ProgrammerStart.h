#pragma once
// The programmer the program starts on: the back end the command line names, connected. Without
// a --programmer option the programmer on USB is tried first and, when none answers, the
// simulated 6200 stands in, so that the program always comes up on a programmer.
#include <memory>
#include <string>
#include <vector>

#include "app/core/Backend.h"

namespace zelvar {

struct ProgrammerStart {
  std::unique_ptr<Backend> backend;
  bool connected = false;
  bool fellBack = false;  // no programmer on USB; the simulated one answers
  std::string error;      // a malformed --programmer option; nothing was connected
};

ProgrammerStart StartProgrammer(const std::vector<std::string>& args);

}  // namespace zelvar
