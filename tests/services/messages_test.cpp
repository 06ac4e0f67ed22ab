#include "services/Messages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "services/AppState.h"
#include "support/FakeServices.h"

namespace zelvar {
namespace messages_test {

using test::FakeServices;

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    ChineseTexts = 0;
    SetServices(&fake);
  }
  void TearDown() override {
    SetServices(nullptr);
    ChineseTexts = 0;
    gApp.Reset();
  }
  FakeServices fake;
};

struct TextCase {
  const char* text;
  int chinese;
  const char* expected;
};

class LocalTextTest : public MessagesTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(LocalTextTest, GivesTheCurrentLanguage) {
  const TextCase c = GetParam();
  ChineseTexts = c.chinese;
  EXPECT_EQ(LocalText(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocalTextTest,
    ::testing::Values(
        // Bilingual texts split at the first asterisk.
        TextCase{"Go*开始", 0, "Go"}, TextCase{"Go*开始", 1, "开始"}, TextCase{"a*b*c", 1, "b*c"},
        TextCase{"a*b*c", 0, "a"}, TextCase{"*中文", 0, ""},
        // Only the lowest bit of the flag counts.
        TextCase{"Go*开始", 3, "开始"}, TextCase{"Go*开始", 2, "Go"},
        // Without an asterisk English mode keeps the word, Chinese mode looks it up.
        TextCase{"Read", 0, "Read"}, TextCase{"Read", 1, "读"}, TextCase{"Complete", 1, "完成"},
        TextCase{"WriteStatus", 1, "写保护配置"},
        // The lookup is a substring test and the first containing entry wins.
        TextCase{"Write", 1, "写程序代码"}, TextCase{"Secu", 1, "加密保护"},
        TextCase{"Protect", 1, "写保护"}, TextCase{"Config", 1, "写配置"},
        TextCase{"rase", 1, "擦除"},
        // Case-sensitive, and a word no entry contains comes back unchanged.
        TextCase{"read", 1, "read"}, TextCase{"Frobnicate", 1, "Frobnicate"},
        TextCase{"Frobnicate", 0, "Frobnicate"},
        // The end marker is not an entry.
        TextCase{"$End", 1, "$End"},
        // An empty line stays empty instead of matching the first entry.
        TextCase{"", 1, ""}));

TEST_F(MessagesTest, LongTextsAreNeverCut) {
  const std::string path(4000, 'p');
  EXPECT_EQ(LocalText(path + "*" + path + "x"), path);
  ChineseTexts = 1;
  EXPECT_EQ(LocalText(path + "*" + path + "x"), path + "x");
  EXPECT_EQ(LocalText(path), path);
  EXPECT_EQ(StripNote(path + "(note)"), path + "(note)");
  ChineseTexts = 0;
  EXPECT_EQ(StripNote(path + "(note)"), path);
}

TEST_F(MessagesTest, TwoResultsCanBeHeldAtOnce) {
  ChineseTexts = 1;
  const std::string first = LocalText("Go*开始");
  const std::string second = LocalText("Read");
  EXPECT_EQ(first, "开始");
  EXPECT_EQ(second, "读");
}

TEST_F(MessagesTest, StripNoteHidesTheNoteInEnglishOnly) {
  EXPECT_EQ(StripNote("WDTE(看门狗使能)"), "WDTE");
  EXPECT_EQ(StripNote("BODEN (掉电检测) (x)"), "BODEN ");
  EXPECT_EQ(StripNote("CP"), "CP");
  ChineseTexts = 1;
  EXPECT_EQ(StripNote("WDTE(看门狗使能)"), "WDTE(看门狗使能)");
}

TEST_F(MessagesTest, OperationTitlesInBothLanguages) {
  struct Title {
    int code;
    const char* english;
    const char* chinese;
  };
  const Title titles[] = {
      {19, "", ""},
      {20, "UnProtect ", "解除保护"},
      {21, "Erase...", "擦除..."},
      {22, "Blank...", "检查空..."},
      {23, "Write...", "写..."},
      {24, "Verify...", "校对..."},
      {25, "Config...", "写配置..."},
      {26, "Lock...", "保护..."},
      {27, "Read...", "读..."},
      {28, "Read ID...", "读厂家码..."},
      {29, "Read config...", "读配置..."},
      {30, "Read Calibrate...", "读振荡校准..."},
      {31, "Read Data...", "读数据..."},
      {32, "Write data...", "写数据..."},
      {33, "Erase config...", "擦除配置..."},
      {34, "User Info", "写用户信息"},
      {35, "", ""},
      {-1, "", ""},
  };
  for (const Title& t : titles) {
    ChineseTexts = 0;
    EXPECT_EQ(OperationTitle(t.code), t.english) << t.code;
    ChineseTexts = 1;
    EXPECT_EQ(OperationTitle(t.code), t.chinese) << t.code;
  }
}

TEST_F(MessagesTest, ShowOperationNameTitlesAndOpensTheWindow) {
  gApp.CodeLastAddress = 0x7FF;
  ShowOperationName(23);
  EXPECT_EQ(fake.caption, "Write...");
  EXPECT_TRUE(fake.progressShown);
  EXPECT_EQ(fake.progressMax, 0x7FF);
  EXPECT_EQ(fake.progressPosition, 0);
  // A code without a title still opens the window, untitled.
  ShowOperationName(35);
  EXPECT_EQ(fake.caption, "");
  EXPECT_TRUE(fake.progressShown);
}

struct ResultCase {
  int chinese;
  int status;
  int colour;
  const char* line;
  BeepKind beep;
};

class ResultLineTest : public MessagesTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ResultLineTest, FollowsTheTitle) {
  const ResultCase c = GetParam();
  ChineseTexts = c.chinese;
  ShowOperationName(23);
  ShowOperationResult(c.status, 0x1234, 0x5A);
  ASSERT_EQ(fake.log.size(), 1u);
  EXPECT_EQ(fake.log[0].colour, c.colour);
  EXPECT_EQ(fake.log[0].text, c.line);
  EXPECT_EQ(fake.beeps, std::vector<BeepKind>{c.beep});
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, ResultLineTest,
    ::testing::Values(ResultCase{0, 1, kRed, "Write...Error at:01234:(5A)", BeepKind::Error},
                      ResultCase{1, 1, kRed, "写...操作中断,出错地址:01234:(5A)", BeepKind::Error},
                      ResultCase{0, 0, kBlack, "Write...Complete", BeepKind::Success},
                      ResultCase{1, 0, kBlack, "写...完成", BeepKind::Success},
                      // Any non-zero status is a failure.
                      ResultCase{0, 0x80, kRed, "Write...Error at:01234:(5A)", BeepKind::Error}));

TEST_F(MessagesTest, ResultLineIsNotTranslatedAndWidensLongAddresses) {
  ChineseTexts = 1;
  fake.caption = "Read";  // a table word, left as it is
  ShowOperationResult(1, 0xABCDEF, 0x07);
  ASSERT_EQ(fake.log.size(), 1u);
  EXPECT_EQ(fake.log[0].text, "Read操作中断,出错地址:ABCDEF:(07)");
}

// The progress model, with the fake recording positions and sleeps.
struct FinishCase {
  int last;
  int from;
  std::vector<int> steps;  // positions set by the finish before the final one
};

class ProgressFinishTest : public MessagesTest, public ::testing::WithParamInterface<FinishCase> {};

TEST_P(ProgressFinishTest, RunsTheBarUpInTenthsAndCloses) {
  const FinishCase c = GetParam();
  gApp.CodeLastAddress = c.last;
  ShowProgress(0);
  if (c.from > 0) ShowProgress(c.from);
  fake.positions.clear();
  fake.sleeps.clear();
  ShowProgress(-1);
  std::vector<int> expected = c.steps;
  expected.push_back(c.last);
  EXPECT_EQ(fake.positions, expected);
  std::vector<int> sleeps(c.steps.size(), 5);
  sleeps.push_back(100);
  EXPECT_EQ(fake.sleeps, sleeps);
  EXPECT_FALSE(fake.progressShown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressFinishTest,
    ::testing::Values(FinishCase{5, 0, {0, 1, 2, 3, 4}}, FinishCase{5, 3, {3, 4}},
                      FinishCase{1000, 0, {0, 100, 200, 300, 400, 500, 600, 700, 800, 900}},
                      FinishCase{
                          4096, 0, {0, 409, 818, 1227, 1636, 2045, 2454, 2863, 3272, 3681, 4090}},
                      FinishCase{1000, 950, {950}}));

TEST_F(MessagesTest, ProgressOpensAdvancesAndClosesAtTheEnd) {
  gApp.CodeLastAddress = 0x400;
  ShowProgress(0);
  EXPECT_EQ(fake.progressMax, 0x400);
  EXPECT_EQ(fake.events, std::vector<std::string>{"progress:show"});
  ShowProgress(0x100);
  EXPECT_EQ(fake.progressPosition, 0x100);
  EXPECT_TRUE(fake.progressShown);
  ShowProgress(0x400);
  EXPECT_FALSE(fake.progressShown);
  EXPECT_EQ(fake.events, (std::vector<std::string>{"progress:show", "progress:close"}));
  // Every call centres the window first.
  EXPECT_EQ(fake.centred, 3);
  EXPECT_EQ(fake.sleptMs, 0);
}

TEST_F(MessagesTest, LogLinesAreDroppedUntilTheProgressWindowExists) {
  fake.progressWindowExists = false;
  AddMessageLine("Connect*连接");
  AddColouredLine(kRed, "Fault*故障");
  EXPECT_TRUE(fake.log.empty());
  fake.progressWindowExists = true;
  ChineseTexts = 1;
  AddMessageLine("Connect*连接");
  AddColouredLine(kGreen, "Read");
  ASSERT_EQ(fake.log.size(), 2u);
  EXPECT_EQ(fake.log[0].colour, kBlack);
  EXPECT_EQ(fake.log[0].text, "连接");
  EXPECT_EQ(fake.log[1].colour, kGreen);
  EXPECT_EQ(fake.log[1].text, "读");
}

TEST_F(MessagesTest, BoxesAndQuestionsGoOutInTheCurrentLanguage) {
  ChineseTexts = 1;
  ShowMessageText("No chip selected! *还没有选择器件！");
  fake.yesNoAnswers = {true};
  EXPECT_TRUE(AskYesNo("Change file format?*转换?"));
  EXPECT_FALSE(AskYesNo("Again?*再来?"));  // no answer queued: No
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"还没有选择器件！"});
  EXPECT_EQ(fake.questions, (std::vector<std::string>{"转换?", "再来?"}));
}

TEST_F(MessagesTest, CentredPositionRoundsHalvesTowardZero) {
  EXPECT_EQ(CentredOn(100, 50, 800, 600, 243, 65).left, 100 + 400 - 121);
  EXPECT_EQ(CentredOn(100, 50, 800, 600, 243, 65).top, 50 + 300 - 32);
  EXPECT_EQ(CentredOn(-10, -20, 1, 1, 243, 65).left, -10 - 121);
  EXPECT_EQ(CentredOn(-10, -20, 1, 1, 243, 65).top, -20 - 32);
}

TEST_F(MessagesTest, LanguageTextsCoverTheMainWindowInOrder) {
  const auto& texts = MainWindowTexts();
  ASSERT_EQ(texts.size(), 65u);
  std::set<std::string> names;
  for (const auto& [control, text] : texts) {
    EXPECT_TRUE(names.insert(control).second) << control;
    EXPECT_NE(text.find('*'), std::string::npos) << control;
  }
  EXPECT_EQ(texts.front().first, "suiCheckBox1");
  EXPECT_EQ(texts.back().first, "suiTabSheet2");

  ChineseTexts = 3;
  std::vector<std::pair<std::string, std::string>> applied;
  ApplyLanguageTexts(
      [&](const std::string& c, const std::string& t) { applied.emplace_back(c, t); });
  EXPECT_EQ(ChineseTexts, 1);
  ASSERT_EQ(applied.size(), 65u);
  EXPECT_EQ(applied[1], (std::pair<std::string, std::string>{"ButtonGo", "开始"}));
  EXPECT_EQ(applied.back().second, " 器件配置 ");

  ChineseTexts = 2;
  applied.clear();
  ApplyLanguageTexts(
      [&](const std::string& c, const std::string& t) { applied.emplace_back(c, t); });
  EXPECT_EQ(ChineseTexts, 0);
  EXPECT_EQ(applied[64].second, " Config  ");
  EXPECT_EQ(applied[63].second, " Buffer  ");
}

}  // namespace messages_test
}  // namespace zelvar
