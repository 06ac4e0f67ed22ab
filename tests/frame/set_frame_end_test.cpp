// The frame every set stands on ends each chip operation with the socket released, however the
// set's handler ends: supplies off their pins, every logic driver low, the result kept, and the
// supply levels left as the set chose them for the next operation.
#include <gtest/gtest.h>

#include <array>
#include <span>

#include "algorithms/frame/SetFrame.h"
#include "link/CommandQueue.h"
#include "link/LinkFault.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "support/SimFixture.h"

namespace zelvar::test {
namespace set_frame_end_test {

// A set whose handlers leave VCC, VPP and the 12 V switch on and drivers high (one on a pin of
// the wide socket), then succeed, fail, or fault part-way.
class CarelessSet final : public frame::SetFrame {
 protected:
  void Init() override {}
  frame::TypeFacts Facts() const override { return {}; }
  std::span<const char* const> DescribeList() const override { return kList; }
  bool Run(int op) override {
    if (op == kOpReadId) return false;  // not this set's operation
    SetVccVoltage(5000);
    SelectVccPin(40);
    SetVppVoltage(12500);
    SelectVppPin(1);
    SetRegister(kHighVoltagePinRegister, 24);
    for (std::uint8_t pin : {2, 13, 21, 44}) SetPinHigh(pin);
    FlushCommands();
    if (op == kOpVerify) gLink.StatusWord = 1;
    if (op == kOpErase) SetVppVoltage(99000);  // refused: throws SupplyRefused
    return true;
  }

 private:
  static constexpr std::array<const char*, 1> kList{"$end"};
};

class SetFrameEnd : public SimFixture {
 protected:
  // Dispatches `op`; true when a fault came out of it.
  bool Dispatch(int op) {
    try {
      set.Dispatch(op, buffer.data(), record.data(), nullptr);
    } catch (const OperationFault&) {
      return true;
    }
    return false;
  }
  CarelessSet set;
  std::array<std::uint8_t, 64> buffer{};
  std::array<std::int32_t, kOptionWords> record{};
};

TEST_F(SetFrameEnd, EveryOutcomeEndsWithTheSocketReleasedAndTheResultKept) {
  struct Case {
    int op;
    bool fault;
    int status;
  };
  for (const Case c :
       {Case{kOpRead, false, 0}, Case{kOpVerify, false, 1}, Case{kOpErase, true, 1}}) {
    Connect(6200);
    EXPECT_EQ(Dispatch(c.op), c.fault) << c.op;
    EXPECT_EQ(gLink.StatusWord, c.status) << c.op;
    ExpectEndState("operation " + std::to_string(c.op));
    // The next operation selects its pins again at the levels set-up chose.
    EXPECT_EQ(prog->VccMillivolts(), 5000) << c.op;
  }
}

TEST_F(SetFrameEnd, AnOperationTheSetDoesNotHandleSendsNothing) {
  gLink.StatusWord = 1;
  EXPECT_FALSE(Dispatch(kOpReadId));
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(prog->record.transcript.empty());
}

}  // namespace set_frame_end_test
}  // namespace zelvar::test
