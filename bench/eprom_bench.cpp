// Write and verify a 27C512 through the P27 set on the simulated programmer. The host's work per
// block (queueing, the simulator's decoding and the chip model) must stay far below what the
// programmer spends on the block: the counters report both and the host's share.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

#include "algorithms/registry/Registry.h"
#include "link/LinkState.h"
#include "link/Usb.h"
#include "link/usb/SimUsbDriver.h"
#include "services/AppState.h"
#include "sim/SimTransport.h"
#include "sim/chips/Eprom.h"
#include "sim/designs/DesignRegistry.h"

namespace {

using namespace zelvar;

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

void BM_WriteVerify27C512(benchmark::State& state) {
  double hostSeconds = 0, simulatedSeconds = 0;
  int failures = 0;
  for (auto _ : state) {
    state.PauseTiming();
    gLink.Reset();
    gApp.Reset();
    sim::Programmer prog(6200);
    prog.record.keepTranscript = false;
    sim::SimTransport transport(prog);
    usb::SimUsbDriver driver;
    usb::SetDriver(&driver);
    driver.Plug(&transport, kZorProductIds[0]);
    gLink.UsbProductId = kZorProductIds[0];
    if (!OpenUsbDevice()) {
      state.SkipWithError("the simulated programmer did not open");
      break;
    }
    gLink.ModelNumber = 6200;
    prog.SetDesign(sim::MakeDesign("zor5103"));
    auto chip = sim::MakeEprom("27C512");
    prog.PlaceChipAtBottom(chip);
    gApp.TypeIndex = 14;
    const AlgorithmDispatcher set = FindAlgorithmSet("P27");
    set(1, gApp.CodeBuffer.data(), gApp.InfoRecord.data(), &gApp.ChipUiList);
    set(2, gApp.CodeBuffer.data(), gApp.InfoRecord.data(), &gApp.ChipUiList);
    gApp.CodeLastAddress = gApp.InfoRecord[0];
    gApp.OptionValues[65] = 0xFFFFFF;
    for (std::uint32_t i = 0; i < 0x10000; ++i) {
      gApp.CodeBuffer[i] = static_cast<std::uint8_t>(i * 13 + (i >> 8));
    }
    const double simStart = prog.clockUs();
    state.ResumeTiming();

    const double cpuStart = CpuSeconds();
    gLink.StatusWord = 0;
    set(23, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
    failures += gLink.StatusWord;
    set(24, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
    failures += gLink.StatusWord;
    hostSeconds += CpuSeconds() - cpuStart;

    state.PauseTiming();
    simulatedSeconds += (prog.clockUs() - simStart) * 1e-6;
    CloseUsbDevice();
    usb::SetDriver(nullptr);
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["host_cpu_s"] = hostSeconds / n;
  state.counters["hardware_s"] = simulatedSeconds / n;
  state.counters["host_share_pct"] = 100.0 * hostSeconds / simulatedSeconds;
  state.counters["failures"] = failures;
}
BENCHMARK(BM_WriteVerify27C512)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
