#pragma once
// The simulated programmer's clock in microseconds: transfers and the designs' waits advance it,
// so that tests measure pulse widths and never sleep.
#include <cstdint>

namespace zelvar::sim {

// Per-transfer cost of the USB link.
struct LatencyModel {
  double transferOverheadUs = 125.0;  // one bulk transfer's turnaround
  double bytesPerUs = 1.0;            // full-speed bulk throughput, about 1 MB/s
  double settleUs = 10.0;             // command 27
};

class SimClock {
 public:
  double Us() const { return now_; }
  void Advance(double us) { now_ += us; }
  // One bulk transfer of `bytes` in either direction.
  void Transfer(std::uint32_t bytes) {
    now_ += latency.transferOverheadUs + bytes / latency.bytesPerUs;
  }
  LatencyModel latency;

 private:
  double now_ = 0;
};

}  // namespace zelvar::sim
