#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/core/buffer/BufferFiles.h"
#include "app/core/buffer/BufferTools.h"
#include "app/core/catalogue/Selection.h"
#include "app/core/project/ProjectFile.h"
#include "app/core/runner/OperationRunner.h"
#include "app/core/settings/Stamps.h"
#include "buffer/BufferFixture.h"
#include "link/LinkState.h"
#include "services/PldDocuments.h"
#include "support/FakeAlgorithmSet.h"

namespace zelvar::test {
namespace project_file_test {

constexpr const char* kParameters = "P27 13 #1e 8c 00 00 adp=QAD-UNIV-44";

class ProjectFileTest : public BufferFixture {
 protected:
  void SetUp() override {
    BufferFixture::SetUp();
    gLink.Reset();
    gLink.ModelNumber = 6200;
    set.info = {4095, 0, 0, 0, 0, 0, 0, 0};
    set.describe = {"$Gridw:", "Word A", "1234", "Word B", "0", "$end"};
    SelectionHooks hooks;
    hooks.findSet = [](std::string_view name) -> AlgorithmDispatcher {
      return name == "P27" ? &FakeAlgorithmSet::Dispatch : nullptr;
    };
    hooks.setupChosenChip = [this] { runner.SetupChosenChip(); };
    SetSelectionHooks(hooks);
  }
  void TearDown() override {
    SetSelectionHooks({});
    gLink.Reset();
    BufferFixture::TearDown();
  }

  void Choose(const std::string& parameters = kParameters) {
    ASSERT_EQ(SelectAlgorithm({parameters, "ATMEL: AT27C256", "AT27C256"}), SelectionResult::Bound);
  }

  // A chosen chip with a buffer pattern, options, a word-grid text and stamp settings.
  void FillProject(const std::string& parameters = kParameters) {
    Choose(parameters);
    for (int i = 0; i < 0x3000; ++i) gApp.CodeBuffer[i] = static_cast<std::uint8_t>(i * 7);
    gApp.OptionValues[100] = 1;
    gApp.OptionValues[130] = 2;
    gApp.OptionValues[143] = -5;
    chipUi.WordRows[1].Value = "beef";
    settings.Edit1 = "1000";
    settings.Edit2 = "2a";
    settings.CheckBox1 = true;
    settings.CheckBox4 = false;
    settings.CheckBox6 = true;
    gApp.DataFileName = "/data/image.hex";
  }

  bool Save(const std::string& path) {
    ProjectParts parts{chipUi, settings};
    return SaveProjectFile(path, parts);
  }
  bool Load(const std::string& path) {
    ProjectParts parts{chipUi, settings};
    return LoadProjectFile(path, parts);
  }
  // Forgets what FillProject set, as a restart would.
  void Forget() {
    std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x3000, std::uint8_t{0});
    gApp.OptionValues.fill(0);
    settings = {};
    chipUi = {};
    gApp.ChipTitle.clear();
    gApp.ParameterString.clear();
    gApp.CurrentDispatcher = nullptr;
    gApp.ProjectModified = 4;
    gLink.DetectPinFlag = 1;
  }
  void ExpectPattern(int from, int to) {
    for (int i = from; i < to; ++i) {
      ASSERT_EQ(gApp.CodeBuffer[i], static_cast<std::uint8_t>(i * 7)) << "at " << i;
    }
  }
  std::string Path(const std::string& name) { return (dir / name).string(); }

  FakeAlgorithmSet set;
  ChipUiModel chipUi;
  AutoProgrammer autoPro;
  OperationRunner runner{chipUi, autoPro};
  StampSettings settings;
};

TEST_F(ProjectFileTest, RoundTripRestoresChipOptionsGridSettingsAndBuffer) {
  FillProject();
  const std::string path = Path("job.zor");
  ASSERT_TRUE(Save(path));
  EXPECT_EQ(ui.caption, path);
  EXPECT_EQ(ui.recent, std::vector<std::string>{path});
  EXPECT_EQ(gApp.DataFileName, "");
  EXPECT_EQ(gApp.ProjectModified, 0);

  // A 4096-byte code area and no data area: the header block and the code.
  const std::string bytes = Read(path);
  ASSERT_EQ(bytes.size(), 4096u + 4096u);
  const std::string head = std::string(kProjectHeaderLine) + "\n/data/image.hex\n6200\n" +
                           kParameters + "\nATMEL: AT27C256\n144\n0\n";
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_NE(bytes.find("\n2\n1234\nbeef\n1000\n2a\n"), std::string::npos);
  EXPECT_NE(bytes.find(std::string("\n1\n\x01\x00\x00\x01\x01\x00", 9)), std::string::npos)
      << "the six check bytes follow the settings texts";

  Forget();
  ui.recent.clear();
  ASSERT_TRUE(Load(path));
  EXPECT_EQ(gApp.ParameterString, kParameters);
  EXPECT_EQ(gApp.ChipTitle, "ATMEL: AT27C256");
  EXPECT_EQ(gApp.ChipName, "AT27C256");
  EXPECT_EQ(gApp.OptionValues[100], 1);
  EXPECT_EQ(gApp.OptionValues[130], 2);
  EXPECT_EQ(gApp.OptionValues[143], -5);
  ASSERT_EQ(chipUi.WordRows.size(), 2u);
  EXPECT_EQ(chipUi.WordRows[1].Value, "beef");
  EXPECT_EQ(gApp.OptionValues[65], 0xBEEF) << "the grid's words are read back from its texts";
  EXPECT_EQ(settings.Edit1, "1000");
  EXPECT_EQ(settings.Edit2, "2a");
  EXPECT_TRUE(settings.CheckBox1);
  EXPECT_FALSE(settings.CheckBox4);
  EXPECT_TRUE(settings.CheckBox6);
  EXPECT_EQ(gLink.DetectPinFlag, 0) << "the project's contact switch is in force";
  ExpectPattern(0, 4096);
  EXPECT_EQ(ui.caption, path + "    [AT27C256]");
  EXPECT_EQ(ui.recent, std::vector<std::string>{path});
  EXPECT_EQ(gApp.ProjectFileName, path);
  EXPECT_EQ(gApp.DataFileName, "");
  EXPECT_EQ(gApp.ProjectModified, 0);
  EXPECT_TRUE(fake.boxes.empty());
  EXPECT_TRUE(fake.log.empty());
}

TEST_F(ProjectFileTest, LargePldProjectCarriesItsJedecText) {
  set.info = {13780, 0, 0, 2, 0, 0, 0, 0};  // the JEDEC text window's view kind
  FillProject();
  gPld.jedec.exists = true;
  gPld.jedec.lines = {"N design*", "L0000000 01010101*", "C1234"};
  const std::string path = Path("cpld.zor");
  ASSERT_TRUE(Save(path));
  EXPECT_EQ(Read(path).substr(4096), "N design*\nL0000000 01010101*\nC1234\n");

  gPld.Reset();
  Forget();
  ASSERT_TRUE(Load(path));
  EXPECT_TRUE(gPld.jedec.exists);
  EXPECT_EQ(gPld.jedec.lines,
            (std::vector<std::string>{"N design*", "L0000000 01010101*", "C1234"}));
  EXPECT_EQ(gApp.CodeBuffer[0], 0) << "the buffer is not read from a text";
}

TEST_F(ProjectFileTest, DataAreaFollowsAsASecondRunFromZero) {
  set.info = {0x1FFF, 0x2000, 0x100, 0, 0, 0, 0, 0};
  FillProject();
  const std::string path = Path("data.zor");
  ASSERT_TRUE(Save(path));
  const std::string bytes = Read(path);
  ASSERT_EQ(bytes.size(), 4096u + 0x2000u + 0x2101u);
  for (int i = 0; i <= 0x2100; ++i) {
    ASSERT_EQ(static_cast<std::uint8_t>(bytes[4096 + 0x2000 + i]),
              static_cast<std::uint8_t>(i * 7));
  }
  Forget();
  ASSERT_TRUE(Load(path));
  ExpectPattern(0, 0x2100);
  EXPECT_EQ(gApp.CodeBuffer[0x2100], 0) << "the file's last byte is not read";
}

TEST_F(ProjectFileTest, ShortFileLoadsWithFillAndAWarning) {
  set.info = {0x1FFF, 0x2000, 0x100, 0, 0, 0, 0, 0};
  FillProject();
  const std::string path = Path("short.zor");
  ASSERT_TRUE(Save(path));
  struct Case {
    std::size_t keep;  // buffer bytes left in the file
    int patternTo;     // the pattern stands up to here, 0xFF after it up to 0x2100
  };
  for (const Case& c :
       {Case{0x1000, 0x1000}, Case{0x2000 + 0x80, 0x2000}, Case{0x2000 + 0x2080, 0x2080}}) {
    const std::string cut = Write("cut.zor", Read(path).substr(0, 4096 + c.keep));
    Forget();
    fake.log.clear();
    ASSERT_TRUE(Load(cut)) << c.keep;
    ExpectPattern(0, c.patternTo);
    for (int i = c.patternTo; i < 0x2100; ++i) ASSERT_EQ(gApp.CodeBuffer[i], 0xFF) << i;
    ASSERT_EQ(fake.log.size(), 1u);
    EXPECT_EQ(fake.log[0].text.rfind("Warning: the project file ends early", 0), 0u);
  }
}

TEST_F(ProjectFileTest, EveryChangeOfBufferOptionsOrSettingsStopsRun) {
  FillProject();
  const std::string path = Path("job.zor");
  ASSERT_TRUE(Save(path));
  const std::string cut = Write("cut.zor", Read(path).substr(0, 4096 + 0x100));
  const std::string jed = Write("a.jed", "L0000 01*\n");
  const std::string svf = Write("b.svf", "SIR 8 TDI (FE);\n");
  struct Case {
    const char* name;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"fill", [] { ASSERT_TRUE(FillRange("0", "f", "aa")); }},
      {"clear buffer",
       [] {
         gApp.ViewRange = {0, 0x100};
         ClearViewRange();
       }},
      {"JEDEC file",
       [&] {
         gApp.InfoRecord[3] = 2;
         LoadBufferFile(jed, 0);
       }},
      {"SVF file", [&] { LoadBufferFile(svf, 0); }},
      {"word grid",
       [this] {
         chipUi.WordRows[0].Value = "55";
         WordGridEdited(chipUi);
       }},
      {"settings", [] { SettingsEdited(); }},
      {"project cut short", [&] { ASSERT_TRUE(Load(cut)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Load(path));
    ASSERT_EQ(gApp.ProjectModified, 0);
    c.change();
    EXPECT_NE(gApp.ProjectModified, 0);
    fake.log.clear();
    runner.RunClick();
    ASSERT_FALSE(fake.log.empty());
    EXPECT_EQ(fake.log.back().text, "Project modified!");
    EXPECT_EQ(fake.log.back().colour, kRed);
  }
}

TEST_F(ProjectFileTest, LongLinesKeepTheLinesAfterThemInPlace) {
  // Ordinary Linux paths pass 100 bytes; the parameter text carries items past 100 too.
  const std::string longParameters =
      "P27 13 #1e 8c 00 00 " + std::string(90, 'x') + " cfg=7 adp=QAD-UNIV-40";
  FillProject(longParameters);
  gApp.DataFileName = "/home/user/" + std::string(140, 'd') + "/image.hex";
  const std::string path = Path("long.zor");
  ASSERT_TRUE(Save(path));
  Forget();
  ASSERT_TRUE(Load(path));
  EXPECT_EQ(gApp.ParameterString, longParameters);
  EXPECT_EQ(gApp.AdapterLabel, "QAD-UNIV-40");
  EXPECT_EQ(gApp.OptionValues[143], -5);
  EXPECT_EQ(settings.Edit2, "2a");
  ExpectPattern(0, 4096);

  // A file written by the old rule (the path cut at 100 bytes) loads the same.
  const std::string bytes = Read(path);
  std::string head = bytes.substr(0, 4096);
  const auto from = head.find("/home/user/");
  head.erase(from + 100, head.find('\n', from) - from - 100);
  head.resize(4096, '\0');
  Forget();
  ASSERT_TRUE(Load(Write("old.zor", head + bytes.substr(4096))));
  EXPECT_EQ(gApp.OptionValues[143], -5);
  ExpectPattern(0, 4096);
}

TEST_F(ProjectFileTest, TextLinesStopBeforeControlAndHighBytes) {
  std::string out;
  WriteTextLine(out,
                "ab\xC3\xA9"
                "cd");
  WriteTextLine(out, "one\rtwo");
  WriteTextLine(out, std::string(120, 'z'));
  EXPECT_EQ(out, "ab\none\n" + std::string(100, 'z') + "\n");

  const std::string path = Write("lines.txt",
                                 "ab\xC3\xA9"
                                 "cd\n" +
                                     std::string(150, 'q') + "\nlast");
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(ReadTextLine(f), "ab");
  EXPECT_EQ(ReadTextLine(f), std::string(100, 'q'));
  EXPECT_EQ(ReadTextLine(f), "last");
  EXPECT_EQ(ReadTextLine(f), std::nullopt);
  std::fclose(f);
}

TEST_F(ProjectFileTest, RefusedFilesLeaveTheProgramAsItWas) {
  FillProject();
  const std::string path = Path("good.zor");
  ASSERT_TRUE(Save(path));
  const std::string good = Read(path);
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string b = good;
    b.replace(b.find(from), from.size(), to);
    return b;
  };
  struct Case {
    const char* what;
    std::string bytes;  // empty: no such file
    const char* box;
  };
  const Case cases[] = {
      {"missing file", "", "Can not open this file! "},
      {"wrong first line", "Zor program file\n" + good.substr(good.find('\n') + 1),
       "File format error! "},
      {"unknown set", replaced(kParameters, "XYZ 1"), "File format error! "},
      {"no chip", replaced(kParameters, "---"), "File format error! "},
      {"tester key", replaced(kParameters, "ICTEST 1"), "File format error! "},
      {"damaged count", replaced("\n144\n", "\n14x\n"), "File format error! "},
      {"cut in the header", good.substr(0, 300), "File format error! "},
  };
  for (const Case& c : cases) {
    // Another chip and buffer are in force.
    set.info = {0x7FFF, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(SelectAlgorithm({"P27 5", "AMD: AM27C512", "AM27C512"}), SelectionResult::Bound);
    gApp.ProjectFileName = "/open/before.zor";
    gApp.ProjectModified = 1;
    gApp.CodeBuffer[5] = 0x55;
    gApp.OptionValues[3] = 9;
    fake.boxes.clear();
    const std::string file = c.bytes.empty() ? Path("absent.zor") : Write("bad.zor", c.bytes);
    EXPECT_FALSE(Load(file)) << c.what;
    ASSERT_FALSE(fake.boxes.empty()) << c.what;
    EXPECT_EQ(fake.boxes.back(), c.box) << c.what;
    EXPECT_EQ(gApp.ChipTitle, "AMD: AM27C512") << c.what;
    EXPECT_EQ(gApp.CodeLastAddress, 0x7FFF) << c.what;
    EXPECT_EQ(gApp.CodeBuffer[5], 0x55) << c.what;
    EXPECT_EQ(gApp.OptionValues[3], 9) << c.what;
    EXPECT_EQ(gApp.ProjectFileName, "/open/before.zor") << c.what;
    EXPECT_EQ(gApp.ProjectModified, 1) << c.what;
  }
  // A first line that only starts as a project's is accepted.
  ASSERT_TRUE(Load(Write("other.zor", "Zor programmer 2\n" + good.substr(good.find('\n') + 1))));
}

TEST_F(ProjectFileTest, FailedSaveSaysSoAndKeepsTheOldProject) {
  FillProject();
  const std::string path = Path("kept.zor");
  ASSERT_TRUE(Save(path));
  const std::string before = Read(path);
  ui.recent.clear();
  gApp.ProjectModified = 1;
  EXPECT_FALSE(Save(Path("no/such/dir/x.zor")));
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0], "Can not write this file! ");
  EXPECT_TRUE(ui.recent.empty());
  EXPECT_EQ(gApp.ProjectFileName, path);
  EXPECT_EQ(gApp.ProjectModified, 1);

  // Settings that do not fit before offset 4096 are refused rather than overwritten.
  settings.Edit3 = std::string(90, 'a');
  chipUi.WordRows.assign(64, {"w", std::string(99, '1')});
  EXPECT_FALSE(Save(path));
  EXPECT_EQ(Read(path), before);
}

TEST_F(ProjectFileTest, ProposedNameComesFromProjectThenDataFile) {
  EXPECT_EQ(ProposeProjectName(), "Noname.zor");
  gApp.DataFileName = "/d/image.HEX";
  EXPECT_EQ(ProposeProjectName(), "/d/image.zor");
  gApp.ProjectFileName = "/p/job.zor";
  EXPECT_EQ(ProposeProjectName(), "/p/job.zor");
}

}  // namespace project_file_test
}  // namespace zelvar::test
