#pragma once
// The programmer's self-test without a window: with an empty socket it loads the test design and
// checks that VCC, VPP and ground reach the socket pins they should and nowhere else, then
// reports one coded error number.
#include <cstdint>
#include <functional>
#include <vector>

namespace zelvar {

// The socket pins each sub-test walks on a model; empty lists (and socket 0) skip the sub-tests
// that need them.
struct SelfTestPins {
  std::vector<int> vpp, vcc, gnd;
  int socket = 0;
};
SelfTestPins SelfTestPinsFor(int model);

// The code shown to the user: r x 65536 + error x 256 + detail + r, r from 0 to 99.
int SelfTestReportCode(int error, int detail, int r);

// Error numbers.
enum SelfTestError : int {
  kNoVcc = 2,
  kNoVpp = 3,
  kVppShort = 4,
  kResistorNetwork = 5,
  kGroundStuck = 6,
  kGroundSwitch = 7,
  kSocketNotEmpty = 8,
  kNoHighVoltage = 10,
  kNoLogicIdentity = 11,
};

class SelfTest {
 public:
  int error = 0;
  int detail = 0;
  int reportCode = 0;
  // The random part of the report code, 0 to 99; rand() when empty.
  std::function<int()> random;

  // The whole self-test with its report (nothing but a box on models without an FPGA).
  void Run();

 private:
  void Fail(int e, int d, bool counts = true);
  void SocketEmpty();
  void LogicIdentity();
  void HighVoltage();
  void Ground();
  void ResistorNetwork();
  // Selects each of `pins` with `select`; a pin that does not then read high is logged with
  // `line` and fails with `fault`.
  void SupplyWalk(const std::vector<int>& pins, bool (*select)(std::uint8_t), int fault,
                  const char* line, bool stopAtFirst);
  void Vcc();
  void Vpp();

  int model_ = 0;
  SelfTestPins pins_;
};

}  // namespace zelvar
