// Loading by extension through the format dialog, saving, the PLD hand-over and the set-up
// checks with the external converters.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "app/core/buffer/BufferFiles.h"
#include "app/core/buffer/BufferReaders.h"
#include "app/core/buffer/FileFormat.h"
#include "buffer/BufferFixture.h"

namespace zelvar::test {
namespace buffer_files_test {

class LoadFiles : public BufferFixture {};

TEST_F(LoadFiles, FormatDialogPreselectsByExtension) {
  struct Case {
    const char* name;
    int item;
    const char* ext;
    bool lanes;
  };
  for (const Case& c : std::vector<Case>{{"a.s1", 6, ".S", false},
                                         {"a.S2", 6, ".S", false},
                                         {"a.hex", 1, ".HEX", false},
                                         {"a.mhx", 4, ".MHX", false},
                                         {"a.cds", 3, ".CDS", false},
                                         {"a.binary", 0, ".BIN", true},
                                         {"a.xyz", 0, ".BIN", true},
                                         {"noext", 0, ".BIN", true}}) {
    FileFormatModel m;
    m.Prepare(c.name, 0x2000);
    EXPECT_EQ(m.formatIndex, c.item) << c.name;
    EXPECT_EQ(m.ChosenExt, c.ext) << c.name;
    EXPECT_EQ(m.laneVisible, c.lanes) << c.name;
    EXPECT_EQ(m.startText, "02000");
  }
  FileFormatModel m;
  ChineseTexts = 1;
  m.Prepare("x.bin", 0);
  EXPECT_EQ(m.caption, "文件格式");
  EXPECT_EQ(m.fillItems[1], "填充为'00'");
}

TEST_F(LoadFiles, StartAddressOutsideTheBufferIsRefused) {
  FileFormatModel m;
  m.Prepare("x.bin", 0);
  for (const char* text : {"FFFFFFFF", "1000002", "zz", ""}) {
    m.startText = text;
    EXPECT_FALSE(m.Accept()) << text;
  }
  EXPECT_EQ(fake.boxes.size(), 4u);
  EXPECT_EQ(fake.boxes[0], "Out of range!");
  m.startText = "1000001";
  EXPECT_TRUE(m.Accept());
  EXPECT_EQ(gApp.LoadOffset, 0x1000001);
  m.ChooseLane(5);
  EXPECT_EQ(gApp.LaneMask, 3);
  EXPECT_EQ(gApp.LanePhase, 1);
}

// A cancelled load changes nothing: neither the buffer nor the file name, caption or recent list.
TEST_F(LoadFiles, CancelChangesNothing) {
  const std::string path = Write("a.hex", ":0100000042BD\n");
  ui.formatAnswer = [](FileFormatModel& m) { m.Cancel(); };
  gApp.ProjectModified = 0;
  gApp.DataFileName = "old.bin";
  LoadBufferFile(path, 0);
  EXPECT_EQ(gApp.CodeBuffer[0], 0xFF);
  EXPECT_EQ(gApp.DataFileName, "old.bin");
  EXPECT_EQ(ui.caption, "");
  EXPECT_TRUE(ui.recent.empty());
  EXPECT_EQ(gApp.ProjectModified, 0);

  ui.formatAnswer = [](FileFormatModel& m) { m.Accept(); };
  LoadBufferFile(path, 0);
  EXPECT_EQ(gApp.CodeBuffer[0], 0x42);
  EXPECT_EQ(ui.events.back(), "format:.HEX");
}

TEST_F(LoadFiles, CdsDropsItsFirstTwoBytesWithinTheLoadedRange) {
  const std::string path = Write("p.cds", "\xAA\xBB\x01\x02\x03");
  ui.formatAnswer = [](FileFormatModel& m) {
    m.startText = "10";
    m.Accept();
  };
  gApp.FillMode = 1;
  LoadBufferFile(path, 0);
  EXPECT_EQ(gApp.CodeBuffer[0x0F], 0x00);
  EXPECT_EQ(gApp.CodeBuffer[0x10], 0x01);
  EXPECT_EQ(gApp.CodeBuffer[0x12], 0x03);
  EXPECT_EQ(gApp.CodeBuffer[0x13], 0x00);
  EXPECT_EQ(gApp.LoadedLastAddress, 0x12);

  // At the very end of the buffer nothing is read past it.
  ui.formatAnswer = [](FileFormatModel& m) {
    m.startText = "1000000";
    m.Accept();
  };
  LoadBufferFile(Write("q.cds", "\xAA\xBB"), 0);
  EXPECT_EQ(gApp.LoadedLastAddress, 0xFFFFFF);
}

TEST_F(LoadFiles, ProjectsAndPldFilesGoToTheirOwners) {
  LoadBufferFile("/x/p.ZoR", 0);
  EXPECT_EQ(ui.events, std::vector<std::string>{"project:/x/p.ZoR"});
  EXPECT_EQ(ui.recent, std::vector<std::string>{"/x/p.ZoR"});

  LoadBufferFile("/x/a.jed", 0);
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"Select device first and then load file!"});
  gApp.InfoRecord[3] = 2;
  const std::string jed = Write("a.jed", "L0000 01*\n");
  const std::string svf = Write("b.svf", "SIR 8 TDI (FE);\n");
  LoadBufferFile(jed, 0);
  LoadBufferFile(svf, 0);
  ASSERT_EQ(ui.events.size(), 3u) << ui.events.back() << fake.boxes.back();
  EXPECT_EQ(ui.events[1], "jedec:2:" + jed);
  EXPECT_EQ(ui.events[2], "svf:" + svf);
  EXPECT_EQ(ui.recent.size(), 1u);
}

TEST_F(LoadFiles, DataAreaLoadsAtItsStartWithoutClearing) {
  LoadDataArea("/x/a.bin");
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"This chip has not data segment!"});
  gApp.InfoRecord[1] = 0x2000;
  gApp.InfoRecord[2] = 0x100;
  gApp.CodeBuffer[0] = 0x11;
  LoadDataArea(Write("d.bin", "\x22"));
  EXPECT_EQ(gApp.FillMode, 0);
  EXPECT_EQ(gApp.CodeBuffer[0], 0x11);
  EXPECT_EQ(gApp.CodeBuffer[0x2000], 0x22);
  EXPECT_EQ(ui.events.back(), "data-view");
}

TEST_F(LoadFiles, SaveProposalAndFailedSave) {
  EXPECT_EQ(ProposeSave().fileName, "Noname");
  gApp.ProjectFileName = "/p/a.zor";
  EXPECT_EQ(ProposeSave().fileName, "/p/a.zor");
  gApp.DataFileName = "/p/a.HEX";
  EXPECT_EQ(ProposeSave().filterIndex, 2);
  gApp.DataFileName = "/p/a.hex";  // the extension in any case
  EXPECT_EQ(ProposeSave().filterIndex, 2);
  gApp.DataFileName = "/p/a.bin";
  EXPECT_EQ(ProposeSave().filterIndex, 1);
  // The name typed stays when its extension is one the dialog offers, and then names the format.
  EXPECT_EQ(SaveFileName("/p/a.hex", 2), "/p/a.hex");
  EXPECT_EQ(SaveFileName("/p/a.hex", 1), "/p/a.hex");
  EXPECT_EQ(SaveFormat("/p/a.hex", 1), 2);
  EXPECT_EQ(SaveFormat("/p/a.Bin", 2), 1);
  EXPECT_EQ(SaveFileName("/p/a", 2), "/p/a.HEX");
  EXPECT_EQ(SaveFileName("/p/a.txt", 1), "/p/a.BIN");

  EXPECT_FALSE(SaveBuffer((dir / "missing" / "a.hex").string(), 2));
  EXPECT_FALSE(SaveBuffer((dir / "a.jed").string(), 3));  // no fuse-map window
  EXPECT_TRUE(ui.recent.empty());
  EXPECT_EQ(fake.boxes.front(), "Can not create the file! ");
}

TEST_F(LoadFiles, SaveNeverProposesTheSourceAndTheTypedExtensionWins) {
  gApp.DataFileName = Write("src.hex", ":0100000055AA\r\n:00000001FF");
  Write("src_1.hex", "");
  const SaveProposal p = ProposeSave();
  EXPECT_EQ(p.fileName, (dir / "src_2.hex").string());
  EXPECT_EQ(p.filterIndex, 2);

  gApp.CodeLastAddress = 1;
  gApp.CodeBuffer[0] = 0x12;
  gApp.CodeBuffer[1] = 0x34;
  // "x.bin" typed with the HEX filter chosen: a binary file under that very name.
  ASSERT_TRUE(SaveBuffer((dir / "x.bin").string(), 2));
  EXPECT_EQ(Read((dir / "x.bin").string()), "\x12\x34");
  EXPECT_FALSE(std::filesystem::exists(dir / "x.HEX"));
  ASSERT_TRUE(SaveBuffer((dir / "y.hex").string(), 1));
  EXPECT_TRUE(Read((dir / "y.hex").string()).starts_with(":020000001234"));
}

// What a load says when the file is not what its name claims or does not fit the chosen chip.
TEST_F(LoadFiles, FilesThatSayWhatTheyDid) {
  std::string hex128k;  // 128 KiB of 0x5A as HEX, through the writer
  {
    std::vector<std::uint8_t> image(0x20000, 0x5A);
    WriteHexRecords(hex128k, image, 0x1FFFF);
  }
  struct Case {
    const char* name;
    const char* file;
    std::string text;
    std::int32_t chipLast;  // 0: no chip chosen
    bool loads;
    const char* box;     // the box the load shows ("" none)
    const char* chosen;  // the format the dialog offered
    int byte0;           // buffer byte 0 afterwards
  };
  const std::vector<Case> cases = {
      {"text named .hex", "notes.hex", "just some notes\nno records\n", 0x7FFF, false,
       "bad format!", ".HEX", 0x11},
      {"text named .s", "notes.s", "just notes\n", 0x7FFF, false, "bad format!", ".S", 0x11},
      {"128 KiB for a 64 KiB chip", "big.hex", hex128k, 0xFFFF, true,
       "Warning: the file has data beyond the chip's last address FFFF (up to 1FFFF)!", ".HEX",
       0x5A},
      {"above a 27C256", "high.hex", ":020000040001F9\r\n:0100000055AA\r\n:00000001FF", 0x7FFF,
       true, "Warning: the file has data beyond the chip's last address 7FFF (up to 10000)!",
       ".HEX", 0xFF},
      {"inside the chip", "fits.hex", ":0100000055AA\r\n:00000001FF", 0x7FFF, true, "", ".HEX",
       0x55},
      {"no chip chosen", "big2.hex", hex128k, 0, true, "", ".HEX", 0x5A},
      {"s19 by its name", "a.s19", "S00600004844521B\nS1040000AA51\nS9030000FC\n", 0x7FFF, true, "",
       ".S", 0xAA},
      {"HEX by its content", "image.dat", ":0100000055AA\r\n:00000001FF", 0x7FFF, true, "", ".HEX",
       0x55},
      {"S-record named .hex", "mis.hex", "S1040000AA51\nS9030000FC\n", 0x7FFF, true, "", ".S",
       0xAA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gApp.Reset();
    fake.boxes.clear();
    ui.events.clear();
    gApp.FillMode = 2;
    gApp.CodeBuffer[0] = 0x11;
    if (c.chipLast > 0) {
      gApp.ChipName = "27C256";
      gApp.CodeLastAddress = c.chipLast;
    }
    const std::string path = Write(c.file, c.text);
    LoadBufferFile(path, 0);
    EXPECT_EQ(ui.events.front(), std::string("format:") + c.chosen);
    EXPECT_EQ(gApp.DataFileName == path, c.loads);
    EXPECT_EQ(gApp.CodeBuffer[0], c.byte0);
    if (*c.box) {
      ASSERT_EQ(fake.boxes.size(), 1u);
      EXPECT_EQ(fake.boxes[0], c.box);
    } else {
      EXPECT_TRUE(fake.boxes.empty()) << fake.boxes.front();
    }
  }
}

// A 14-bit PIC's HEX file carries its configuration word at 2007h (byte 400Eh): it reaches the
// option words with a line; a file without one, or loaded at another start, leaves them.
TEST_F(LoadFiles, ConfigurationWordFromAPicHexFile) {
  const std::string withConfig = ":0100000055AA\r\n:02400E00843FED\r\n:00000001FF";
  struct Case {
    const char* key;
    std::string text;
    int start;
    std::int32_t word0;
  };
  const std::vector<Case> cases = {{"P16F628A", withConfig, 0, 0x3F84},
                                   {"PIC12F6XX", withConfig, 0, 0x3F84},
                                   {"P16F628A", ":0100000055AA\r\n:00000001FF", 0, 0x1234},
                                   {"P16F628A", withConfig, 0x100, 0x1234},
                                   {"ATMEGAX", withConfig, 0, 0x1234}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " start " + std::to_string(c.start));
    gApp.Reset();
    fake.log.clear();
    ui.events.clear();
    gApp.AlgorithmKey = c.key;
    gApp.OptionValues[0] = 0x1234;
    LoadBufferFile(Write("pic.hex", c.text), c.start);
    EXPECT_EQ(gApp.CodeBuffer[c.start], 0x55);
    EXPECT_EQ(gApp.OptionValues[0], c.word0);
    const bool taken = c.word0 != 0x1234;
    EXPECT_EQ(ui.events.back() == "options", taken);
    EXPECT_EQ(fake.log.size(), taken ? 1u : 0u);
    if (taken) {
      EXPECT_EQ(fake.log[0].text, "Configuration word 1 = 3F84, from the file.");
    }
  }
}

TEST_F(LoadFiles, CdsWarningOnlyWithoutProjectOrCdsFile) {
  gApp.DataFileName = "a.bin";
  EXPECT_EQ(CheckCdsExtension(), 1);
  gApp.DataFileName = "a.Cds";
  CheckCdsExtension();
  gApp.DataFileName = "a.bin";
  gApp.ProjectFileName = "p.zor";
  CheckCdsExtension();
  EXPECT_EQ(fake.LogTexts(), std::vector<std::string>{"Warning: The file is not .CDS format!"});
}

TEST_F(LoadFiles, ShortPathCheckTakesEightDotThreeNames) {
  for (const char* ok : {"/any long dir/PROG.HEX", "a.b", "x/PROG_1-2.OBJ"})
    EXPECT_EQ(CheckShortPath(ok), 0) << ok;
  for (const char* bad : {"/d/PROGRAM12.HEX", "/d/a.hexx", "/d/a b.hex", "/d/.hex", "/d\n/a.hex"})
    EXPECT_EQ(CheckShortPath(bad), 1) << bad;
  ASSERT_EQ(fake.boxes.size(), 5u);
  EXPECT_EQ(fake.boxes[0], "/d/PROGRAM12.HEXFile name error!(must be 8.3 format)");
}

// The converters run with an argument list: a directory with blanks and a semicolon reaches
// them intact, and nothing in it is run.
class Converters : public BufferFixture {
 protected:
  void SetUp() override {
    BufferFixture::SetUp();
    programDir = dir / "prog dir; touch HACKED";
    std::filesystem::create_directories(programDir);
    gApp.ProgramDir = programDir.string();
    Script("HEX8MOBJ.exe", "#!/bin/sh\ncp \"$1.HEX\" \"$1.OBJ\"\n");
    Script("CP2MDT.exe", "#!/bin/sh\necho \"$@\" > \"$(dirname \"$1\")/args\"\ncp \"$1\" \"$2\"\n");
  }
  void Script(const char* name, const std::string& text) {
    const auto path = (programDir / name).string();
    std::ofstream(path) << text;
    ::chmod(path.c_str(), 0755);
  }
  std::filesystem::path programDir;
};

TEST_F(Converters, HexIsConvertedAndLoaded) {
  fake.yesNoAnswers = {true};
  gApp.DataFileName = (programDir / "PROG.HEX").string();
  std::ofstream(gApp.DataFileName) << "\x12\x34";
  EXPECT_EQ(ConvertMiconFile(), 1);
  EXPECT_EQ(gApp.DataFileName, (programDir / "PROG.BIN").string());
  EXPECT_EQ(gApp.CodeBuffer[0], 0x12);
  EXPECT_EQ(gApp.CodeBuffer[1], 0x34);
  EXPECT_EQ(ui.caption, gApp.DataFileName);
  EXPECT_EQ(fake.questions, std::vector<std::string>{"Change file format?"});
  EXPECT_EQ(Read((programDir / "args").string()),
            (programDir / "PROG.OBJ").string() + " " + (programDir / "PROG.BIN").string() + "\n");
  EXPECT_FALSE(std::filesystem::exists("HACKED"));
  EXPECT_FALSE(std::filesystem::exists(dir / "HACKED"));
  EXPECT_EQ(fake.LogTexts().back(), "Change file format complete. ");
}

TEST_F(Converters, RefusalsAndFailures) {
  gApp.DataFileName = (programDir / "PROG.OBJ").string();
  EXPECT_EQ(ConvertMiconFile(), 0);  // No

  fake.yesNoAnswers = {true, true};  // the converter finds no .OBJ file and leaves no .BIN
  EXPECT_EQ(ConvertMiconFile(), 0);
  EXPECT_EQ(fake.boxes.back(), "Change file error !");

  std::ofstream((programDir / "EMPTY.OBJ").string()) << "";
  gApp.DataFileName = (programDir / "EMPTY.OBJ").string();
  EXPECT_EQ(ConvertMiconFile(), 0);
  EXPECT_EQ(fake.boxes.back(), "Source file error!");

  gApp.DataFileName = "a.txt";
  EXPECT_EQ(ConvertMiconFile(), 0);
  EXPECT_EQ(fake.LogTexts().back(), "File format error!");
  gApp.DataFileName = "a.mhx";
  EXPECT_EQ(ConvertMiconFile(), 1);
  gApp.ProjectFileName = "a.ZOR";
  gApp.DataFileName = "a.txt";
  EXPECT_EQ(ConvertMiconFile(), 1);
}

}  // namespace buffer_files_test
}  // namespace zelvar::test
