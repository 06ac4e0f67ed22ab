#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "support/SimFixture.h"

namespace zelvar::test {
namespace power_contact_test {

// A 40-pin DIP with ground on its pin 20, as an 8051 or a 27C4096 would sit.
struct Dip40 : sim::ChipModel {
  std::string Name() const override { return "dip40"; }
  int PinCount() const override { return 40; }
  std::vector<int> GroundPins() const override { return {20}; }
  int MaxMillivolts(int) const override { return 7000; }
};

// Answers the bad-pin window through a test's own function.
struct AnsweringServices : FakeServices {
  std::function<BadPinAnswer()> answer;
  BadPinAnswer AskBadPins(const std::vector<int>& pins, int socketPins) override {
    badPinCalls.push_back(pins);
    socketSizes.push_back(socketPins);
    return answer ? answer() : BadPinAnswer::Cancel;
  }
  std::vector<int> socketSizes;
};

// Contact checks of a DIP40 seated at the bottom of the socket, on each model family.
class ContactTest : public SimFixture, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    Connect(GetParam());
    SetServices(&answering);
    gApp.Reset();
    gApp.TypeIndex = 1;
    gLink.LastBitstream = "BLib/zor5103.bit";
    prog->PlaceChipAtBottom(chip);
    gnd = static_cast<std::uint32_t>(prog->SocketPinOf(20));
    for (int k = 1; k <= 40; ++k) mask |= std::uint64_t{1} << (prog->SocketPinOf(k) - 1);
  }
  void TearDown() override {
    gApp.Reset();
    SimFixture::TearDown();
  }

  int Check(std::uint32_t ground = 0) {
    return CheckPinContact(ground ? ground : gnd, 0, 0, static_cast<std::uint32_t>(mask),
                           static_cast<std::uint32_t>(mask >> 32));
  }
  int ContactTests() const {
    return static_cast<int>(std::count_if(
        prog->record.transcript.begin(), prog->record.transcript.end(),
        [](const sim::Command& c) { return c.op() == kCmdReadInput && c.bytes[1] == 22; }));
  }
  std::vector<int> BadPins() const {
    return {gLink.BadPinList.begin(), gLink.BadPinList.begin() + gLink.BadPinCount};
  }

  AnsweringServices answering;
  std::shared_ptr<Dip40> chip = std::make_shared<Dip40>();
  std::uint32_t gnd = 0;
  std::uint64_t mask = 0;
};

TEST_P(ContactTest, FullContactRunsTheOperationSilently) {
  gLink.StatusWord = 7;
  EXPECT_EQ(Check(), kContactGood);
  EXPECT_EQ(gLink.StatusWord, 0);
  EXPECT_EQ(gLink.BadPinCount, 0);
  EXPECT_EQ(gLink.NoChipFlag, 0);
  EXPECT_TRUE(answering.boxes.empty());
  EXPECT_TRUE(answering.beeps.empty());
  EXPECT_TRUE(answering.badPinCalls.empty());
  // The test supplies are off again, the ground pin selected, and the sense mode left.
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  EXPECT_TRUE(prog->IsGround(static_cast<int>(gnd)));
  EXPECT_EQ(prog->fpga[27], 0);
  EXPECT_TRUE(prog->record.protocolErrors.empty());
  EXPECT_TRUE(prog->record.hazards.empty());
}

TEST_P(ContactTest, EmptySocketSaysNoChipPlaced) {
  prog->PlaceChip(nullptr, 0);
  EXPECT_EQ(Check(), kContactRefused);
  EXPECT_EQ(gLink.NoChipFlag, 1);
  EXPECT_EQ(gLink.BadPinCount, 39);
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(answering.beeps, std::vector<BeepKind>{BeepKind::Error});
  EXPECT_EQ(answering.boxes, std::vector<std::string>{"No any chip placed! "});
  EXPECT_TRUE(answering.badPinCalls.empty());
}

TEST_P(ContactTest, LoosePinsAreListedAndTheUserDecides) {
  prog->faults.looseContact[5] = prog->faults.looseContact[36] = true;
  const int socket = GetParam() >= 5149 ? 48 : 40;

  // Cancel.
  gLink.StatusWord = 7;
  EXPECT_EQ(Check(), kContactRefused);
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(BadPins(), (std::vector<int>{5, 36}));
  EXPECT_EQ(gLink.BadPinList[2], 0);
  EXPECT_EQ(gLink.NoChipFlag, 0);
  EXPECT_EQ(answering.badPinCalls, (std::vector<std::vector<int>>{{5, 36}}));
  EXPECT_EQ(answering.socketSizes, std::vector<int>{socket});
  EXPECT_EQ(answering.beeps.size(), 1u);
  EXPECT_TRUE(answering.boxes.empty());

  // Ignore: the operation runs, StatusWord as it was.
  answering.answer = [] { return BadPinAnswer::Ignore; };
  gLink.StatusWord = 7;
  EXPECT_EQ(Check(), kContactIgnored);
  EXPECT_EQ(gLink.StatusWord, 7);

  // Again repeats the whole test: the user pressed the chip down meanwhile.
  answering.badPinCalls.clear();
  prog->record.Clear();
  answering.answer = [&] {
    prog->faults.looseContact.fill(false);
    return BadPinAnswer::Again;
  };
  EXPECT_EQ(Check(), kContactGood);
  EXPECT_EQ(gLink.StatusWord, 0);
  EXPECT_EQ(answering.badPinCalls.size(), 1u);
  EXPECT_EQ(ContactTests(), 2);
  EXPECT_EQ(gLink.BadPinCount, 0);
}

TEST_P(ContactTest, ContinuousProgrammingRefusesWithoutAWord) {
  gLink.AutoRunFlag = 1;
  gLink.DetectPinFlag = 0;  // continuous programming tests all the same
  prog->faults.looseContact[5] = prog->faults.looseContact[36] = true;
  EXPECT_EQ(Check(), kContactRefused);
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(BadPins(), (std::vector<int>{5, 36}));
  prog->PlaceChip(nullptr, 0);
  EXPECT_EQ(Check(), kContactRefused);
  EXPECT_EQ(gLink.NoChipFlag, 1);
  EXPECT_TRUE(answering.beeps.empty());
  EXPECT_TRUE(answering.boxes.empty());
  EXPECT_TRUE(answering.badPinCalls.empty());
}

TEST_P(ContactTest, WrongGroundPinFindsNoChip) {
  // Ground on a pin that is not the chip's: the test voltage does not spread.
  EXPECT_EQ(Check(gnd - 1), kContactRefused);
  EXPECT_EQ(gLink.NoChipFlag, 1);
}

TEST_P(ContactTest, RefusalsBeforeTheTestLeaveStatusWord) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    const char* box;
    bool beep;
  };
  const Case cases[] = {
      {"no chip chosen", [] { gApp.TypeIndex = -1; }, "No chip selected! ", false},
      {"no programmer", [] { gLink.ModelNumber = 0; }, "Can't run without device! ", true},
      {"no bitstream", [] { gLink.LastBitstream = "no_part"; }, "No chip selected! ", true},
  };
  for (const auto& c : cases) {
    gApp.TypeIndex = 1;
    gLink.ModelNumber = GetParam();
    gLink.LastBitstream = "BLib/zor5103.bit";
    answering.boxes.clear();
    answering.beeps.clear();
    c.arrange();
    gLink.StatusWord = 7;
    const auto transfers = prog->record.transfers;
    EXPECT_EQ(Check(), kContactRefused) << c.what;
    EXPECT_EQ(answering.boxes, std::vector<std::string>{c.box}) << c.what;
    EXPECT_EQ(answering.beeps.size(), c.beep ? 1u : 0u) << c.what;
    EXPECT_EQ(gLink.StatusWord, 7) << c.what;
    EXPECT_EQ(prog->record.transfers, transfers) << c.what;
  }
}

TEST_P(ContactTest, RunsWithoutATestWhenDetectionIsOffOrNoPinIsNeeded) {
  prog->PlaceChip(nullptr, 0);  // would fail any test
  gLink.DetectPinFlag = 0;
  EXPECT_EQ(Check(), kContactGood);
  gLink.DetectPinFlag = 1;
  EXPECT_EQ(CheckPinContact(gnd, 0, 0, 0, 0), kContactGood);
  EXPECT_EQ(prog->record.transfers, 0u);
}

INSTANTIATE_TEST_SUITE_P(Models, ContactTest, ::testing::Values(5105, 5149, 6200));

TEST_F(SimFixture, ProgrammersWithoutFpgaSkipTheContactTest) {
  gApp.TypeIndex = 1;
  for (const int model : {57, 411}) {
    Connect(model);
    EXPECT_EQ(CheckPinContact(20, 0, 0, 0xFFFFFFFF, 0xFF), kContactGood) << model;
    EXPECT_EQ(prog->record.transfers, 0u);
  }
  gApp.Reset();
}

// The test voltage of the ground codes, on an empty socket: only the test pins read high.
TEST_F(SimFixture, GroundCodesPutTheTestVoltageOnTheirPins) {
  struct Case {
    int model;
    std::uint32_t code;
    std::uint64_t bits;
  };
  const Case cases[] = {
      {5105, kGroundPins11And30, (1ull << 10) | (1ull << 29)},
      {5149, kGroundPins11And30, (1ull << 10) | (1ull << 29)},
      {6200, kGroundPins11And30, (1ull << 10) | (1ull << 29)},
      {5105, kGroundTestOnPin13, 1ull << 12},
      {6200, kGroundTestOnPin13, 1ull << 12},
      {5105, 20, 1ull << 19},
      {5105, 21, 1ull << 20},
  };
  for (const auto& c : cases) {
    Connect(c.model);
    // The second test pin of code 100 on model 6200 takes the VPP supply as it is set.
    SetVppVoltage(5000);
    TestPinContact(c.code);
    std::uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= std::uint64_t{gLink.ScratchBuffer[i]} << (8 * i);
    EXPECT_EQ(bits, c.bits) << c.model << " " << c.code;
  }
  // Below 6200 code 100 puts VPP on pin 11 and VCC on pin 30.
  Connect(5105);
  TestPinContact(kGroundPins11And30);
  std::vector<std::pair<int, int>> supplies;
  for (const auto& c : prog->record.transcript) {
    if (c.op() == kCmdSetRegister &&
        (c.bytes[1] == kVppPinRegister || c.bytes[1] == kVccPinRegister) && c.bytes[2] != 0) {
      supplies.emplace_back(c.bytes[1], c.bytes[2]);
    }
  }
  EXPECT_EQ(supplies,
            (std::vector<std::pair<int, int>>{{kVppPinRegister, 11}, {kVccPinRegister, 30}}));
}

TEST_F(SimFixture, ContactTestKeepsTheVppVoltageOfTheSet) {
  for (const int model : {5105, 5149, 6200}) {
    Connect(model);
    SetVppVoltage(12500);
    TestPinContact(20);
    EXPECT_EQ(gLink.LastVppMillivolts, 12500) << model;
    FlushCommands();
    EXPECT_EQ(prog->VppMillivolts(), 12500) << model;
  }
}

// Power status on one-byte and two-byte models, healthy and with injected faults.
TEST_F(SimFixture, PowerCheckReportsWeakSuppliesPerModel) {
  enum Fault { kNone, kOverload, kShortOnVcc, kShortElsewhere };
  for (const int model : {5105, 5108, 5149, 6200}) {
    for (const Fault fault : {kNone, kOverload, kShortOnVcc, kShortElsewhere}) {
      Connect(model);
      fake.log.clear();
      SelectVppPin(1);
      SelectVccPin(40);
      prog->faults.powerOverload = fault == kOverload;
      prog->faults.shortedPin = fault == kShortOnVcc ? 40 : fault == kShortElsewhere ? 12 : 0;
      gLink.StatusWord = 7;
      const bool good = fault == kNone || fault == kShortElsewhere;
      SCOPED_TRACE(::testing::Message() << model << " fault " << fault);
      EXPECT_EQ(CheckPower(), good);
      const bool oneByte = model == 5105 || model == 5108;
      if (good) {
        EXPECT_EQ(gLink.StatusWord, 7);
        EXPECT_TRUE(fake.log.empty());
      } else {
        EXPECT_EQ(gLink.StatusWord, 1);
        EXPECT_EQ(fake.LogTexts(), std::vector<std::string>{"Power weakly! "});
      }
      // Only the one-byte models release their supply pins on a weak reply.
      const bool released = oneByte && !good;
      EXPECT_EQ(prog->VppPin(), released ? 0 : 1);
      EXPECT_EQ(prog->VccPin(), released ? 0 : 40);
    }
  }
}

TEST_F(SimFixture, PowerWarningInChinese) {
  Connect(6200);
  ChineseTexts = 1;
  prog->faults.powerOverload = true;
  EXPECT_FALSE(CheckPower());
  EXPECT_EQ(fake.LogTexts(), std::vector<std::string>{"电源供电不足！"});
}

}  // namespace power_contact_test
}  // namespace zelvar::test
