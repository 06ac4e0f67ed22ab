// The put operations run thousands of times per block: they must stay a bounds test and stores.
#include <benchmark/benchmark.h>

#include "link/CommandQueue.h"
#include "link/LinkState.h"

namespace {

void BM_PutMixedCommands(benchmark::State& state) {
  using namespace zelvar;
  for (auto _ : state) {
    gLink.CommandCount = 0;
    for (int i = 0; i < 4096; ++i) {
      PutCmd2(8, 1);
      PutCmd3(10, 2, 3);
      PutCmd4(14, 25, 12, 0);
      PutCmd1(39);
    }
    benchmark::DoNotOptimize(gLink.CommandBuffer.data());
  }
  state.SetItemsProcessed(state.iterations() * 4096 * 4);
}
BENCHMARK(BM_PutMixedCommands);

}  // namespace
