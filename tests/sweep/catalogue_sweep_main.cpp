// catalogue_sweep: every line of every device list (or of the models and sets named) through the
// catalogue sweep, one summary line each, then the count of lines with a model and of faults.
//   catalogue_sweep [--model=6200] [--set=P27] [--per-set=N] [--faults-only]
// Exit status 1 when a line has a fault.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/CatalogueSweep.h"

int main(int argc, char** argv) {
  using namespace zelvar::test;
  std::vector<int> models = {6200, 5149, 5148, 5107, 5105, 411, 57};
  std::string set;
  int perSet = 0;
  bool faultsOnly = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--model=", 0) == 0) {
      models = {std::atoi(a.c_str() + 8)};
    } else if (a.rfind("--set=", 0) == 0) {
      set = a.substr(6);
    } else if (a.rfind("--per-set=", 0) == 0) {
      perSet = std::atoi(a.c_str() + 10);
    } else if (a == "--faults-only") {
      faultsOnly = true;
    } else {
      std::fprintf(
          stderr, "usage: catalogue_sweep [--model=N] [--set=KEY] [--per-set=N] [--faults-only]\n");
      return 2;
    }
  }
  // The sets load their bitstreams from the program directory.
  std::filesystem::current_path(ZELVAR_PROGRAM_DIR);
  int lines = 0, withModel = 0, faults = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int model : models) {
    std::vector<SweepLine> all = SweepLines(model);
    if (perSet > 0) all = FirstLinesPerSet(all, perSet);
    for (const SweepLine& l : all) {
      if (!set.empty() && l.key != set) continue;
      const SweepResult r = SweepOne(l);
      ++lines;
      if (!r.chipModel.empty()) ++withModel;
      if (!r.Passed()) ++faults;
      if (!faultsOnly || !r.Passed()) std::printf("%s\n", r.Summary(l).c_str());
      std::fflush(stdout);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d lines, %d with a seated chip model, %d with a fault (%.0f s)\n", lines, withModel,
              faults, seconds);
  return faults ? 1 : 0;
}
