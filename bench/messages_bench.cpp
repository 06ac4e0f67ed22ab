// The sets call LocalText and the progress steps for every block; with owned strings in place of
// static buffers these must stay far below the cost of a USB block transfer.
#include <benchmark/benchmark.h>

#include "services/AppState.h"
#include "services/Messages.h"

namespace {

void BM_LocalTextBilingual(benchmark::State& state) {
  zelvar::ChineseTexts = static_cast<int>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(zelvar::LocalText("Can't run without device! *脱机不能运行!"));
  }
  zelvar::ChineseTexts = 0;
}
BENCHMARK(BM_LocalTextBilingual)->Arg(0)->Arg(1);

// The longest path through the table: a word that no entry contains.
void BM_LocalTextTableMiss(benchmark::State& state) {
  zelvar::ChineseTexts = 1;
  for (auto _ : state) benchmark::DoNotOptimize(zelvar::LocalText("Frobnicate"));
  zelvar::ChineseTexts = 0;
}
BENCHMARK(BM_LocalTextTableMiss);

// One progress step per block, through the silent services.
void BM_ShowProgressStep(benchmark::State& state) {
  zelvar::gApp.CodeLastAddress = 0x100000;
  int position = 1;
  for (auto _ : state) {
    zelvar::ShowProgress(position);
    position = position % 0xFFFFF + 1;
  }
}
BENCHMARK(BM_ShowProgressStep);

}  // namespace
