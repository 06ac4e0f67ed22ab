// Go, the completion count and Run (auto-programming) with the test set bound.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/Primitives.h"
#include "runner/RunnerFixture.h"
#include "services/Messages.h"

namespace zelvar::test {
namespace go_run_test {

using GoTest = RunnerFixture;

TEST_F(GoTest, RunsTheTickedItemsInOrderAndStopsAtTheFirstFailure) {
  SetGo({21, 22, 23, 24});
  ui.GoGroup.SetChecked(1, false);
  set.results[23] = 1;
  runner.GoClick();
  EXPECT_EQ(set.Ops(), (std::vector<int>{21, 23}));
  // The failed step's progress window closes after its result line.
  EXPECT_EQ(Events(), "contact name:21 name:23 result:1 progress:-1");
  EXPECT_EQ(fake.beeps, (std::vector<BeepKind>{BeepKind::Error}));
  EXPECT_EQ(gApp.CompletedCount, 0);
  EXPECT_EQ(fake.LogTexts(), (std::vector<std::string>{"Start go..."}));
}

TEST_F(GoTest, AnyNonZeroResultIsAFailureOfStatusOne) {
  SetGo({21, 22});
  set.results[21] = 2;
  runner.GoClick();
  EXPECT_EQ(set.Ops(), (std::vector<int>{21}));
  EXPECT_EQ(gLink.StatusWord, 1);
}

TEST_F(GoTest, ARefusedContactCheckStopsAfterTheStartLine) {
  SetGo({21});
  contactResult = 0;
  runner.GoClick();
  EXPECT_TRUE(set.calls.empty());
  EXPECT_EQ(fake.LogTexts(), (std::vector<std::string>{"Start go..."}));
  EXPECT_TRUE(fake.beeps.empty());
}

TEST_F(GoTest, NothingTickedCountsAsASuccessWithTheElapsedTimeInBothLanguages) {
  struct Case {
    int chinese;
    const char* start;
    const char* done;
    const char* caption;
  };
  const Case cases[] = {
      {0, "Start go...", "Complete,  the work expend 2.5 second.", "Complete:    1"},
      {1, "开始运行...", "正常结束,  这次操作用时2.5秒", "已经完成:    1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chinese);
    ChineseTexts = c.chinese;
    fake.log.clear();
    fake.beeps.clear();
    gApp.CompletedCount = 0;
    int now = 1000;
    SetProcessorClock([&now] {
      const int t = now;
      now += 2500;
      return t;
    });
    SetGo({21, 22});
    for (int i = 0; i < 2; ++i) ui.GoGroup.SetChecked(i, false);
    runner.GoClick();
    EXPECT_TRUE(set.calls.empty());
    EXPECT_EQ(fake.LogTexts(), (std::vector<std::string>{c.start, c.done}));
    EXPECT_EQ(fake.beeps, (std::vector<BeepKind>{BeepKind::Success, BeepKind::Tone300Hz}));
    EXPECT_EQ(gApp.CompletedCount, 1);
    EXPECT_EQ(autoPro.Caption, c.caption);
  }
}

TEST_F(GoTest, TheGreenWarningFollowsTheCompletionLineOnAModifiedProject) {
  struct Case {
    const char* file;
    int modified;
    bool warns;
  };
  const Case cases[] = {{"/jobs/job.zor", 1, true},  {"/jobs/JOB.ZOR", 16, true},
                        {"/jobs/job.zor", 0, false}, {"/jobs/job.bin", 1, false},
                        {"/jobs.zor/job", 1, false}, {"", 2, false}};
  gApp.InfoRecord[4] = 1;  // no stamps
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    fake.log.clear();
    set.calls.clear();
    gApp.ProjectFileName = c.file;
    gApp.ProjectModified = c.modified;
    SetGo({23, 24});
    runner.GoClick();
    EXPECT_EQ(set.Ops(), (std::vector<int>{23, 24}));
    ASSERT_EQ(fake.log.size(), c.warns ? 3u : 2u);
    if (c.warns) {
      EXPECT_EQ(fake.log[2].text, "Warnning:  Project modified!");
      EXPECT_EQ(fake.log[2].colour, kGreen);
    }
  }
}

TEST_F(GoTest, CompletionUpdatesTheStatusLineAndStampsWithoutMarkingTheProject) {
  gApp.ChipTitle = "MAKER: CHIP";
  gApp.ProjectFileName = "job.zor";
  for (const std::int32_t word4 : {0, 1}) {
    SCOPED_TRACE(word4);
    events.clear();
    gApp.InfoRecord[4] = word4;
    runner.CountCompletion(0);
    EXPECT_EQ(Events(), word4 == 0 ? "stamps:1" : "");
    EXPECT_EQ(gApp.ProjectModified, 0);
  }
  EXPECT_EQ(statusLine, "MAKER: CHIP  Counter:2");

  // So Run still accepts its own project after a stamped pass.
  passesAllowed = 0;
  SetGo({24});
  runner.RunClick();
  EXPECT_EQ(dialogShows, 1);
  EXPECT_TRUE(fake.boxes.empty());
}

using RunTest = RunnerFixture;

TEST_F(RunTest, RefusesAModifiedProjectOrAMissingBitstreamBeforeAnyWait) {
  struct Case {
    const char* file;
    int modified;
    int model;
    const char* bitstream;
    bool bound;
    const char* box;  // empty: none
    bool redLine;
  };
  const Case cases[] = {
      {"job.zor", 1, 6200, "x.bit", true, "Buffer modified!\nReopen project please.", true},
      {"JOB.ZOR", 2, 6200, "x.bit", true, "Config modified!\nReopen project please.", true},
      {"a/b.Zor", 4, 6200, "x.bit", true, "Setings modified!\nReopen project please.", true},
      {"job.zor", 3, 6200, "x.bit", true, "", true},
      {"job.zor", 16, 6200, "x.bit", true, "", true},
      {"", 0, 6200, "no_part", true, "No chip selected! ", false},
      {"", 0, 6200, "x.bit", false, "No chip selected! ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.modified));
    fake.boxes.clear();
    fake.log.clear();
    fake.beeps.clear();
    gApp.ProjectFileName = c.file;
    gApp.ProjectModified = c.modified;
    gLink.ModelNumber = c.model;
    gLink.LastBitstream = c.bitstream;
    gApp.CurrentDispatcher = c.bound ? &FakeAlgorithmSet::Dispatch : nullptr;
    events.clear();
    runner.RunClick();
    EXPECT_EQ(Events(), "centre");
    EXPECT_EQ(dialogShows, 0);
    EXPECT_EQ(fake.boxes, *c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
    if (c.redLine) {
      ASSERT_EQ(fake.log.size(), 1u);
      EXPECT_EQ(fake.log[0].text, "Project modified!");
      EXPECT_EQ(fake.log[0].colour, kRed);
      EXPECT_EQ(fake.beeps, (std::vector<BeepKind>{BeepKind::Error}));
    }
  }
  EXPECT_TRUE(set.calls.empty());
}

TEST_F(RunTest, ModelsUpTo411RunWithoutABitstream) {
  SetGo({24});
  gLink.ModelNumber = 411;
  gLink.LastBitstream = "no_part";
  runner.RunClick();
  EXPECT_EQ(dialogShows, 1);
  EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(RunTest, RunsASequencePerPlacedChipUntilStop) {
  SetGo({23, 24});
  passesAllowed = 2;
  gApp.InfoRecord[4] = 1;
  runner.RunClick();
  EXPECT_EQ(set.Ops(), (std::vector<int>{23, 24, 23, 24}));
  EXPECT_EQ(dialogShows, 3);
  EXPECT_EQ(gApp.CompletedCount, 2);
  EXPECT_EQ(gLink.AutoRunFlag, 0);
  EXPECT_EQ(fake.LogTexts(),
            (std::vector<std::string>{"Start running of 1 ...", "Complete",
                                      "Start running of 2 ...", "Complete", "Exit running."}));
  EXPECT_EQ(Events(), "centre name:23 name:24 progress:-1 name:23 name:24 progress:-1 progress:-1");
  EXPECT_EQ(autoPro.Caption, "Complete:    2");
}

TEST_F(RunTest, AFailedPassEndsTheLoopWithTheResultLineAndSuppliesOff) {
  SetGo({23, 24});
  passesAllowed = 5;
  set.actions[23] = [] {
    SetVccVoltage(5000);
    SelectVccPin(40);
  };
  set.results[24] = 1;
  ChineseTexts = 1;
  runner.RunClick();
  EXPECT_EQ(set.Ops(), (std::vector<int>{23, 24}));
  EXPECT_EQ(dialogShows, 1);
  // The failed step's progress window closes, as after Go.
  EXPECT_EQ(Events(), "centre name:23 name:24 result:1 progress:-1");
  EXPECT_EQ(fake.LogTexts(), (std::vector<std::string>{"连续运行,编程第1片..."}));
  EXPECT_EQ(fake.beeps, (std::vector<BeepKind>{BeepKind::Error}));
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VccMillivolts(), 0);
}

TEST_F(RunTest, CountsAndStampsOnlyTheChipsItProgrammed) {
  gApp.CompletedCount = 9;
  SetGo({23, 24});
  passesAllowed = 2;
  runner.RunClick();
  EXPECT_EQ(gApp.CompletedCount, 11);
  // The dialog counts this Run's chips, and its first wait asks for a chip Run did not program.
  EXPECT_EQ(autoPro.Caption, "Complete:    2");
  ASSERT_EQ(removalTexts.size(), 2u);
  EXPECT_EQ(removalTexts[0], "Take the chip out of the socket... ");
  EXPECT_EQ(removalTexts[1], "OK,Remove the chip... ");
  EXPECT_EQ(std::count(events.begin(), events.end(), "stamps:1"), 2);

  // A pass that wrote nothing to the chip takes no serial number.
  events.clear();
  SetGo({22, 24});
  runner.GoClick();
  EXPECT_EQ(gApp.CompletedCount, 12);
  EXPECT_EQ(std::count(events.begin(), events.end(), "stamps:1"), 0);

  // Nothing ticked: no pass would do anything, so Run does not start.
  SetGo({23, 24});
  ui.GoGroup.SetChecked(0, false);
  ui.GoGroup.SetChecked(1, false);
  const int shows = dialogShows;
  runner.RunClick();
  EXPECT_EQ(dialogShows, shows);
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"No operation ticked!"});
  EXPECT_EQ(gApp.CompletedCount, 12);
}

}  // namespace go_run_test
}  // namespace zelvar::test
