// Chip set-up and the nine single-operation buttons, with the test set bound.
#include <gtest/gtest.h>

#include "link/CommandQueue.h"
#include "link/LinkFault.h"
#include "link/Primitives.h"
#include "runner/RunnerFixture.h"
#include "services/Messages.h"

namespace zelvar::test {
namespace operation_runner_test {

using SetupTest = RunnerFixture;

TEST_F(SetupTest, CallsOneTwoThreeWithTheirRecordsAfterClearingTheOptions) {
  gApp.OptionValues.fill(7);
  bool clearedBeforeSetup = false;
  set.actions[kOpSetup] = [&] {
    clearedBeforeSetup = std::all_of(gApp.OptionValues.begin(), gApp.OptionValues.end(),
                                     [](std::int32_t w) { return w == 0; });
  };
  set.info = {0x7FFF, 0, 0, 0, 1, 20, 0x0FFFFFFF, 0};
  runner.SetupChosenChip();

  ASSERT_EQ(set.Ops(), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(clearedBeforeSetup);
  for (const auto& c : set.calls) {
    EXPECT_EQ(c.buffer, gApp.CodeBuffer.data());
    EXPECT_EQ(c.list, &gApp.ChipUiList);
  }
  EXPECT_EQ(set.calls[0].record, gApp.InfoRecord.data());
  EXPECT_EQ(set.calls[1].record, gApp.InfoRecord.data());
  EXPECT_EQ(set.calls[2].record, gApp.OptionValues.data());
  EXPECT_EQ(gApp.CodeLastAddress, 0x7FFF);
  EXPECT_EQ(gApp.GroundPin, 20);
  EXPECT_EQ(gApp.ProjectModified, 4);
  EXPECT_EQ(Events(), "buffer");
}

TEST_F(SetupTest, PinMaskIsRebuiltExactlyFromWordsSixAndSeven) {
  // The sets give the low 32 bits in word 6 and the mask divided by 2^31 in word 7.
  const std::uint64_t masks[] = {0x1,           0x80000000ull,     0x80000001ull,
                                 0xFFFFFFFFull, 0x800080000001ull, 0xFFFFFFFFFFFFull};
  for (const std::uint64_t mask : masks) {
    SCOPED_TRACE(mask);
    set.info[6] = static_cast<std::int32_t>(static_cast<std::uint32_t>(mask));
    set.info[7] = static_cast<std::int32_t>(mask >> 31);
    runner.SetupChosenChip();
    EXPECT_EQ(gApp.PinMask, mask);
    events.clear();
    runner.BlankClick();
    EXPECT_EQ(contactArgs, (std::vector<std::int64_t>{0, 0, 0, static_cast<std::uint32_t>(mask),
                                                      static_cast<std::int64_t>(mask >> 32)}));
  }
}

TEST_F(SetupTest, BuildsTheControlsStatusLineAndButtonStatesFromTheList) {
  set.describe = {"$Fonc:", "23 Write", "24 Verify", "$DisTool:", "21,25,", "$end"};
  set.info[6] = 1;
  gApp.ChipTitle = "MAKER: CHIP";
  gApp.CompletedCount = 3;
  runner.SetupChosenChip();
  EXPECT_EQ(gApp.GoOpCodes, (std::vector<int>{23, 24}));
  EXPECT_FALSE(ui.OperationAllowed(kOpErase));
  EXPECT_EQ(statusLine, "MAKER: CHIP  Counter:3");

  struct Case {
    int model;
    std::int32_t word6;
    RunButtonStates states;
  };
  const Case cases[] = {{0, 1, {false, true, false}},
                        {411, 1, {true, true, false}},
                        {412, 0, {true, false, true}},
                        {6200, 1, {true, true, true}}};
  for (const Case& c : cases) {
    gLink.ModelNumber = c.model;
    gApp.InfoRecord[6] = c.word6;
    const RunButtonStates s = runner.ButtonStates();
    EXPECT_EQ(s.GoEnabled, c.states.GoEnabled) << c.model;
    EXPECT_EQ(s.RunEnabled, c.states.RunEnabled) << c.model;
    EXPECT_EQ(s.RunVisible, c.states.RunVisible) << c.model;
  }
}

TEST_F(SetupTest, EntriesOfAPreviousLongerListDoNotShowThrough) {
  set.describe = {"$Fonc:", "21 Erase", "22 Blank", "23 Write", "$end"};
  runner.SetupChosenChip();
  // A set that forgets its "$end" must not pick up the old entries.
  set.describe = {"$Fonc:", "24 Verify"};
  runner.SetupChosenChip();
  EXPECT_EQ(gApp.GoOpCodes, (std::vector<int>{24}));
}

TEST_F(SetupTest, ALinkFaultInSetupEndsOnlyThatCall) {
  set.actions[kOpSetup] = [this] {
    prog->faults.failNextRead = true;
    ReadReply64(gLink.ScratchBuffer.data());
  };
  set.info[0] = 0x1FF;
  runner.SetupChosenChip();
  EXPECT_EQ(set.Ops(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(gApp.CodeLastAddress, 0x1FF);
  EXPECT_EQ(gLink.ModelNumber, 0);
}

// The nine buttons, as one table.
struct HandlerCase {
  const char* name;
  int button;
  std::int32_t dataWords;  // InfoRecord words 1 and 2
  bool configDisabled;     // "29" in the set's "$DisTool:"
  int failing;             // the operation that fails, 0 for none
  std::vector<int> ops;
  const char* events;
  int modified;  // ProjectModified afterwards; it is 1 before
};

class HandlerTest : public RunnerFixture, public ::testing::WithParamInterface<HandlerCase> {};

TEST_P(HandlerTest, RunsItsStepsAfterTheContactCheck) {
  const HandlerCase& c = GetParam();
  gApp.InfoRecord[1] = gApp.InfoRecord[2] = c.dataWords;
  ui.OperationEnabled[kOpReadConfig - kOpErase] = !c.configDisabled;
  if (c.failing) set.results[c.failing] = 1;
  gApp.ProjectModified = 1;
  gLink.AutoRunFlag = 1;

  runner.OperationClick(c.button);

  EXPECT_EQ(set.Ops(), c.ops);
  EXPECT_EQ(Events(), c.events);
  EXPECT_EQ(gApp.ProjectModified, c.modified);
  EXPECT_EQ(gLink.AutoRunFlag, 0);
  EXPECT_EQ(gLink.StatusWord, c.failing ? 1 : 0);
  for (const auto& call : set.calls) {
    // Read and Read config work on copies that replace the buffer and the options only when
    // the whole read succeeded.
    if (c.button != kOpRead) {
      EXPECT_EQ(call.buffer, gApp.CodeBuffer.data());
    }
    if (c.button != kOpRead && c.button != kOpReadConfig) {
      EXPECT_EQ(call.record, gApp.OptionValues.data());
    }
    EXPECT_EQ(call.list, nullptr);
  }
}

const HandlerCase kHandlerCases[] = {
    {"Read", 27, 0, false, 0, {27, 29}, "contact name:27 progress:-1 buffer result:0", 16},
    {"ReadWithData",
     27,
     1,
     false,
     0,
     {27, 31, 29},
     "contact name:27 progress:-1 buffer result:0",
     16},
    {"ReadWithoutConfig",
     27,
     1,
     true,
     0,
     {27, 31},
     "contact name:27 progress:-1 buffer result:0",
     16},
    // A failed Read changes neither the buffer nor the project's state.
    {"ReadFails", 27, 1, false, 27, {27}, "contact name:27 progress:-1 result:1", 1},
    {"ReadDataFails", 27, 1, false, 31, {27, 31}, "contact name:27 progress:-1 result:1", 1},
    {"ReadConfigFailsInRead",
     27,
     1,
     false,
     29,
     {27, 31, 29},
     "contact name:27 progress:-1 result:1",
     1},
    {"Erase", 21, 0, false, 0, {21, 22}, "contact name:21 name:22 progress:-1 result:0", 1},
    {"EraseFails", 21, 0, false, 21, {21}, "contact name:21 progress:-1 result:1", 1},
    {"Blank", 22, 0, false, 0, {22}, "contact name:22 progress:-1 result:0", 1},
    {"Write", 23, 0, false, 0, {23}, "contact name:23 progress:-1 result:0", 1},
    {"WriteFails", 23, 0, false, 23, {23}, "contact name:23 progress:-1 result:1", 1},
    {"Verify", 24, 0, false, 0, {24}, "contact name:24 progress:-1 result:0", 1},
    {"Config", 25, 0, false, 0, {25}, "contact name:25 progress:-1 result:0", 1},
    {"Protect", 26, 0, false, 0, {26}, "contact name:26 progress:-1 result:0", 1},
    {"Id", 28, 0, false, 0, {28}, "contact name:28 progress:-1", 1},
    {"IdFails", 28, 0, false, 28, {28}, "contact name:28 progress:-1", 1},
    {"ReadConfig", 29, 0, false, 0, {29}, "contact name:29 configtab progress:-1 result:0", 16},
    {"ReadConfigFails",
     29,
     0,
     false,
     29,
     {29},
     "contact name:29 configtab progress:-1 result:1",
     16},
};

INSTANTIATE_TEST_SUITE_P(Buttons, HandlerTest, ::testing::ValuesIn(kHandlerCases),
                         [](const auto& info) { return std::string(info.param.name); });

using ContactTest = RunnerFixture;

TEST_F(ContactTest, ARefusedContactCheckEndsEveryButtonSilently) {
  contactResult = 0;
  gApp.ProjectModified = 1;
  for (int code = kOpErase; code <= kOpReadConfig; ++code) {
    events.clear();
    runner.OperationClick(code);
    EXPECT_EQ(Events(), "contact") << code;
  }
  EXPECT_TRUE(set.calls.empty());
  EXPECT_EQ(gApp.ProjectModified, 1);
}

using ReadConfigTest = RunnerFixture;

TEST_F(ReadConfigTest, TheGridShowsTheWordsReadAfterReadAndReadConfig) {
  set.describe = {"$Grid1:", "n=BODEN,v=0,l=1,a=0,b=6", "n=LB1,v=0,l=1,a=3,b=0", "$end"};
  runner.SetupChosenChip();
  ASSERT_EQ(ui.ConfigRowCount, 2);
  // The set writes the words it read into the record it was given.
  set.actions[kOpReadConfig] = [this] {
    std::int32_t* record = set.calls.back().record;
    record[0] = 0x40;
    record[3] = 0;
  };
  for (const int button : {kOpRead, kOpReadConfig}) {
    ui.Cells[0][1] = "0";
    ui.Cells[1][1] = "1";
    runner.OperationClick(button);
    EXPECT_EQ(ui.Cells[0][1], "1") << button;
    EXPECT_EQ(ui.Cells[1][1], "0") << button;
    EXPECT_EQ(gApp.OptionValues[0], 0x40) << button;
  }
  // A failed read leaves the grid and the options as they were.
  set.results[kOpReadConfig] = 1;
  for (const int button : {kOpRead, kOpReadConfig}) {
    ui.Cells[0][1] = "0";
    gApp.OptionValues[0] = 0x11;
    runner.OperationClick(button);
    EXPECT_EQ(ui.Cells[0][1], "0") << button;
    EXPECT_EQ(gApp.OptionValues[0], 0x11) << button;
  }
}

TEST_F(SetupTest, ARefusedRowOrASizePastTheBufferKeepsTheLastAddress) {
  struct Case {
    std::int32_t last;
    bool refused;
    std::int32_t expected;
  };
  const Case cases[] = {{0x7FF, false, 0x7FF},
                        {0xFFFFFF, false, 0xFFFFFF},
                        {0x1FF, true, 0x7FF},
                        {131030299, false, 0x7FF},
                        {-1, false, 0x7FF}};
  gApp.CodeLastAddress = 0x7FF;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.last);
    set.info[0] = c.last;
    set.results.erase(kOpSetup);
    if (c.refused) set.results[kOpSetup] = 1;
    gApp.CodeLastAddress = 0x7FF;
    runner.SetupChosenChip();
    EXPECT_EQ(gApp.CodeLastAddress, c.expected);
  }
}

using DefaultPortsTest = RunnerFixture;

TEST_F(DefaultPortsTest, TitlesAndResultLinesGoThroughTheMessages) {
  OperationRunner plain(ui, autoPro);
  plain.ports().CheckPinContact = runner.ports().CheckPinContact;
  gApp.CodeLastAddress = 16;
  set.results[kOpVerify] = 1;
  gLink.FailAddress = 0x1234;
  gLink.FailByte = 0x5A;
  plain.WriteClick();
  plain.VerifyClick();
  const auto log = fake.LogTexts();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], OperationResultLine(OperationTitle(kOpWrite), 0, 0, 0));
  EXPECT_EQ(log[1], OperationResultLine(OperationTitle(kOpVerify), 1, 0x1234, 0x5A));
  EXPECT_EQ(fake.log[1].colour, kRed);
}

// The runner's guards around every set.
using RunnerMendTest = RunnerFixture;

TEST_F(RunnerMendTest, AStaleFailureDoesNotJudgeTheNextOperation) {
  // The test set, like many real ones, never clears StatusWord on success.
  gLink.StatusWord = 1;
  runner.WriteClick();
  EXPECT_EQ(Events(), "contact name:23 progress:-1 result:0");

  events.clear();
  gLink.StatusWord = 1;
  runner.EraseClick();
  EXPECT_EQ(set.Ops(), (std::vector<int>{23, 21, 22}));
  EXPECT_EQ(Events(), "contact name:21 name:22 progress:-1 result:0");
}

TEST_F(RunnerMendTest, SuppliesAndPinsGoOffAfterAFailureOnly) {
  set.actions[kOpWrite] = [] {
    SetVccVoltage(5000);
    SelectVccPin(40);
    SetVppVoltage(12500);
    SelectVppPin(1);
    SetPinHigh(10);
    FlushCommands();
  };
  for (const bool fails : {false, true}) {
    SCOPED_TRACE(fails);
    set.results[kOpWrite] = fails ? 1 : 0;
    runner.WriteClick();
    EXPECT_EQ(prog->VccPin(), fails ? 0 : 40);
    EXPECT_EQ(prog->VccMillivolts(), fails ? 0 : 5000);
    EXPECT_EQ(prog->VppPin(), fails ? 0 : 1);
    EXPECT_EQ(prog->VppMillivolts(), fails ? 0 : 12500);
    EXPECT_EQ(prog->level[10], fails ? 0 : 1);
  }
}

TEST_F(RunnerMendTest, NoBoundSetIsNeverCalled) {
  gApp.CurrentDispatcher = nullptr;
  for (int code = kOpErase; code <= kOpReadConfig; ++code) runner.OperationClick(code);
  runner.GoClick();
  runner.RunClick();
  runner.SetupChosenChip();
  EXPECT_TRUE(set.calls.empty());
  EXPECT_EQ(Events(), "centre");
  EXPECT_EQ(fake.boxes, std::vector<std::string>(12, "No chip selected! "));
}

TEST_F(RunnerMendTest, ALinkFaultEndsTheOperationAndKeepsProgramAndBuffer) {
  gApp.CodeBuffer[0] = 0x12;
  set.actions[kOpWrite] = [this] {
    prog->faults.failNextRead = true;
    ReadReply64(gLink.ScratchBuffer.data());
  };
  runner.WriteClick();
  EXPECT_EQ(Events(), "contact name:23 progress:-1 result:1");
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.ModelNumber, 0);
  EXPECT_EQ(fake.LogTexts().back(), "Read USB bad! ");
  EXPECT_EQ(gApp.CodeBuffer[0], 0x12);
  EXPECT_NE(gApp.CurrentDispatcher, nullptr);

  // In a sequence the fault stops it like any failure.
  events.clear();
  set.calls.clear();
  SetGo({21, 23, 24});
  runner.GoClick();
  EXPECT_EQ(set.Ops(), (std::vector<int>{21, 23}));
  EXPECT_EQ(fake.beeps.back(), BeepKind::Error);
  EXPECT_EQ(gApp.CompletedCount, 0);
}

// The check had its test supply on: a fault in it ends as any failed operation, with the result
// line.
TEST_F(RunnerMendTest, ALinkFaultInTheContactCheckEndsAsAFailure) {
  runner.ports().CheckPinContact = [](std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                      std::uint32_t) -> int {
    RaiseLinkFault("usb buffer fill! *USB buf溢出");
  };
  runner.VerifyClick();
  EXPECT_TRUE(set.calls.empty());
  EXPECT_EQ(gLink.ModelNumber, 0);
  EXPECT_EQ(Events(), "progress:-1 result:1");
}

}  // namespace operation_runner_test
}  // namespace zelvar::test
