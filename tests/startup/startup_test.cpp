#include "app/core/startup/Startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/startup/RecentList.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {
namespace startup_test {

namespace fs = std::filesystem;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gApp.Reset();
    ChineseTexts = 0;
    dir = fs::temp_directory_path() /
          ("zelvar_startup_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
           std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::remove_all(dir);
    gApp.Reset();
    ChineseTexts = 0;
  }

  // Ports that record the order of the window's steps.
  StartupPorts Ports() {
    StartupPorts p;
    p.systemLanguage = [] { return 0; };
    p.programDirectory = [this] { return dir.string() + "/"; };
    for (auto [port, name] : {std::pair{&p.applyLanguageTexts, "language"},
                              {&p.showRecentNames, "recent"},
                              {&p.clearLog, "clear-log"},
                              {&p.showBuffer, "buffer"},
                              {&p.applySelectAll, "select-all"},
                              {&p.resetConfigTab, "config"}}) {
      *port = [this, name = std::string(name)] { steps.push_back(name); };
    }
    p.connectProgrammer = [this] {
      steps.push_back("connect");
      return true;
    };
    return p;
  }

  void WriteRecordFile(const std::vector<std::string>& names, std::size_t recordSize = 300) {
    std::ofstream out(dir / kRecentListName, std::ios::binary);
    for (const auto& n : names) {
      std::string record(recordSize, 'X');  // filler after the NUL is ignored
      record.replace(0, n.size(), n);
      record[n.size()] = '\0';
      out.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
  }

  fs::path dir;
  std::vector<std::string> steps;
};

TEST_F(StartupTest, SetsBufferAndStateInOrder) {
  EXPECT_EQ(gApp.CodeBuffer[0xFFFFFF], 0) << "beyond 64 KiB the buffer starts at zero";
  gApp.CodeBuffer[0x1234] = 0x00;
  gApp.CodeBuffer[0x10000] = 0x5A;
  gApp.CodeLastAddress = 77;
  EXPECT_TRUE(RunStartup(Ports()));

  EXPECT_EQ(gApp.CodeLastAddress, 4096);
  EXPECT_EQ(gApp.InfoRecord[0], 4096);
  EXPECT_TRUE(std::all_of(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x10000,
                          [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(gApp.CodeBuffer[0x10000], 0x5A) << "only the first 64 KiB are filled";
  EXPECT_EQ(gApp.ProgramDir, dir.string() + "/");
  EXPECT_EQ(gApp.RecentListPath, dir.string() + "/LastFileList.tab");
  EXPECT_EQ(steps, (std::vector<std::string>{"language", "connect", "recent", "clear-log", "buffer",
                                             "select-all", "config"}));
}

TEST_F(StartupTest, LanguageComesFromTheSystemBeforeTheTexts) {
  StartupPorts p = Ports();
  p.systemLanguage = [] { return 1; };
  int seen = -1;
  p.applyLanguageTexts = [&] { seen = ChineseTexts; };
  RunStartup(p);
  EXPECT_EQ(seen, 1);
}

TEST_F(StartupTest, NoProgrammerLeavesTheProgramRunning) {
  StartupPorts p = Ports();
  p.connectProgrammer = [] { return false; };
  EXPECT_FALSE(RunStartup(p));
  EXPECT_EQ(gApp.CodeLastAddress, 4096);
  EXPECT_EQ(steps.back(), "config");
}

TEST_F(StartupTest, ReadsRecentNamesFromTheProgramDirectory) {
  WriteRecordFile({"/data/a.hex", "", "/data/c.bin", std::string(299, 'n')});
  RunStartup(Ports());
  EXPECT_EQ(gApp.RecentNames[0], "/data/a.hex");
  EXPECT_EQ(gApp.RecentNames[1], "");
  EXPECT_EQ(gApp.RecentNames[2], "/data/c.bin");
  EXPECT_EQ(gApp.RecentNames[3], std::string(299, 'n'));
  EXPECT_EQ(gApp.RecentNames[4], "");
}

TEST_F(StartupTest, MissingOrShortRecentFileLeavesEmptyNames) {
  gApp.RecentNames[0] = "stale";
  RunStartup(Ports());
  EXPECT_EQ(gApp.RecentNames, RecentList{});

  WriteRecordFile({"/only/one.hex"});
  RecentList names;
  ASSERT_TRUE(LoadRecentNames((dir / kRecentListName).string(), names));
  EXPECT_EQ(names, (RecentList{"/only/one.hex", "", "", "", ""}));
}

TEST_F(StartupTest, SavedListReadsBackAndCutsLongNames) {
  const std::string path = (dir / kRecentListName).string();
  RecentList names{"a.hex", std::string(400, 'L'), "", "d.bin", "fallen-off.hex"};
  ASSERT_TRUE(SaveRecentNames(path, names));
  EXPECT_EQ(fs::file_size(path), 1200u);

  RecentList back;
  ASSERT_TRUE(LoadRecentNames(path, back));
  EXPECT_EQ(back, (RecentList{"a.hex", std::string(299, 'L'), "", "d.bin", ""}));
  EXPECT_FALSE(SaveRecentNames((dir / "no-such-dir" / "x.tab").string(), names));
}

TEST(RecentNames, AddingANamePutsItFirst) {
  struct Case {
    const char* name;
    RecentList after;
  };
  const RecentList before{"a", "b", "c", "d", ""};
  const Case cases[] = {
      {"a", {"a", "b", "c", "d", ""}},   // already first: unchanged
      {"c", {"c", "b", "a", "d", ""}},   // found: swaps with the first
      {"e", {"e", "a", "b", "c", "d"}},  // new: the others move down, the last into entry 4
      {"A", {"A", "a", "b", "c", "d"}},  // names compare exactly
  };
  for (const Case& c : cases) {
    RecentList names = before;
    AddRecentName(names, c.name);
    EXPECT_EQ(names, c.after) << c.name;
  }
}

TEST(StartupLanguage, ChineseOnlyForThePrc) {
  const std::pair<const char*, int> cases[] = {{"zh_CN.UTF-8", 1},
                                               {"zh_CN", 1},
                                               {"zh-CN", 1},
                                               {"zh_CN.GB2312@x", 1},
                                               {"zh_TW.UTF-8", 0},
                                               {"zh_HK", 0},
                                               {"en_US.UTF-8", 0},
                                               {"C", 0},
                                               {"", 0},
                                               {"zh", 0}};
  for (const auto& [name, want] : cases) EXPECT_EQ(LanguageFromLocaleName(name), want) << name;
}

}  // namespace startup_test
}  // namespace zelvar
