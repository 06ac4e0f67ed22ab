// The chip dialog's search at catalogue scale: one keystroke in the search box over a generated
// device list of 20,000 lines, as the dialog's catalogue answers it (filter both lists in memory,
// fill each once). Budget: 10 ms per keystroke.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/core/catalogue/ChipCatalogue.h"
#include "link/LinkState.h"
#include "services/AppState.h"

namespace {

using namespace zelvar;

constexpr int kLines = 20000;

// A list of kLines chips over 8 categories and 60 manufacturers, with parameters and signatures.
std::filesystem::path WriteList() {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("zelvar_catalogue_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream out(dir / "device6200.lst", std::ios::binary);
  out << "# A generated device list\n";
  for (int i = 0; i < kLines; ++i) {
    const auto& category = kCategories[static_cast<std::size_t>(i % kCategories.size())];
    char line[160];
    std::snprintf(line, sizeof line, "%s MAKER%02d AT%dC%04d,P27 %d #1e %02x 00 00 vcc=5000\n",
                  std::string(category.tag).c_str(), i % 60, 27 + i % 3, i, 1 + i % 21, i & 0xFF);
    out << line;
  }
  return dir;
}

// A model 6200 whose program directory holds the generated list, for one benchmark's run.
struct GeneratedList {
  std::filesystem::path dir = WriteList();
  GeneratedList() {
    gApp.Reset();
    gLink.Reset();
    gLink.ModelNumber = 6200;
    gApp.ProgramDir = dir.string();
  }
  ~GeneratedList() {
    std::filesystem::remove_all(dir);
    gApp.Reset();
    gLink.Reset();
  }
};

void BM_SearchKeystroke(benchmark::State& state) {
  const GeneratedList list;
  ChipCatalogue catalogue;
  catalogue.PrepareChipDialog();
  catalogue.CategoryClicked(0);
  // A user typing a name and taking it back, one keystroke per iteration.
  const std::string typed = "AT27C01";
  std::size_t n = 0;
  bool growing = true;
  for (auto _ : state) {
    n = growing ? n + 1 : n - 1;
    if (n == typed.size()) growing = false;
    if (n == 0) growing = true;
    catalogue.SearchChanged(typed.substr(0, n));
    benchmark::DoNotOptimize(catalogue.chips.items.data());
  }
  state.counters["lines"] = kLines;
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

// Opening the dialog: the one read of the whole list.
void BM_OpenDialog(benchmark::State& state) {
  const GeneratedList list;
  ChipCatalogue catalogue;
  for (auto _ : state) {
    catalogue.CloseDeviceList();
    catalogue.PrepareChipDialog();
    benchmark::DoNotOptimize(catalogue.manufacturers.items.data());
  }
}
BENCHMARK(BM_OpenDialog)->Unit(benchmark::kMillisecond);

}  // namespace
