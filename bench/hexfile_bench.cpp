// Loading and saving a 16 MiB image as Intel HEX (about 46 MB) must take at most half of what
// srec_cat takes for the same HEX-to-HEX conversion on the same machine. Both run here; the
// srec_cat row's "zelvar_share" counter is our time over its time (at most 0.5).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "app/core/buffer/BufferFiles.h"
#include "app/core/buffer/BufferReaders.h"
#include "services/AppState.h"

namespace {

using namespace zelvar;
constexpr std::int32_t kImageSize = 16 * 1024 * 1024;

// A HEX file of a random 16 MiB image, written once per run.
struct Files {
  std::filesystem::path dir;
  std::string in, ours, theirs;
  Files() {
    dir = std::filesystem::temp_directory_path() / ("zelvar_hex_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    in = (dir / "in.hex").string();
    ours = (dir / "ours.hex").string();
    theirs = (dir / "theirs.hex").string();
    std::mt19937 rng(1);
    for (std::int32_t i = 0; i < kImageSize; ++i)
      gApp.CodeBuffer[i] = static_cast<std::uint8_t>(rng());
    gApp.CodeLastAddress = kImageSize - 1;
    gApp.DataFileName = in;
    WriteIntelHexFile();
  }
  ~Files() { std::filesystem::remove_all(dir); }
};

Files& files() {
  static Files f;
  return f;
}

double gOurSeconds = 0;

void BM_ZelvarLoadSaveHex(benchmark::State& state) {
  Files& f = files();
  double total = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    gApp.DataFileName = f.in;
    if (!ReadIntelHexFile() || gApp.LoadedLastAddress != kImageSize - 1) {
      state.SkipWithError("load failed");
      break;
    }
    gApp.CodeLastAddress = kImageSize - 1;
    gApp.DataFileName = f.ours;
    if (!WriteIntelHexFile()) {
      state.SkipWithError("save failed");
      break;
    }
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  if (state.iterations() > 0) gOurSeconds = total / static_cast<double>(state.iterations());
  state.SetBytesProcessed(state.iterations() * std::int64_t{kImageSize});
}
BENCHMARK(BM_ZelvarLoadSaveHex)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_SrecCatHexToHex(benchmark::State& state) {
  Files& f = files();
  double total = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    if (RunProgram("/usr/bin/srec_cat", {f.in, "-intel", "-o", f.theirs, "-intel"}) != 0) {
      state.SkipWithError("srec_cat failed or is not installed");
      break;
    }
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  if (state.iterations() > 0 && total > 0)
    state.counters["zelvar_share"] =
        gOurSeconds / (total / static_cast<double>(state.iterations()));
  state.SetBytesProcessed(state.iterations() * std::int64_t{kImageSize});
}
BENCHMARK(BM_SrecCatHexToHex)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

namespace {

// The two halves in memory, without the file system.
void BM_ParseHexInMemory(benchmark::State& state) {
  std::string text;
  FileLines file(files().in);
  for (auto piece = file.Next(); !piece.empty(); piece = file.Next()) text.append(piece);
  for (auto _ : state) {
    const ParseResult r = ParseIntelHex(text, gApp.CodeBuffer, 0);
    benchmark::DoNotOptimize(r.highest);
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t{kImageSize});
}
BENCHMARK(BM_ParseHexInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteHexInMemory(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t size = 0;
    WriteHexRecords(gApp.CodeBuffer, kImageSize - 1, [&size](std::string_view piece) {
      size += piece.size();
      return true;
    });
    benchmark::DoNotOptimize(size);
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t{kImageSize});
}
BENCHMARK(BM_WriteHexInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
