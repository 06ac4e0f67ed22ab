// The one-time-programmable sets' checks of the loaded file before Write, through the services
// hook to the application's own conversion and warning: an MDT part is never burned from a file
// the conversion refused (nothing reaches the programmer), and the EM78P parts warn about a file
// that is not ".CDS" and write it all the same.
#include <algorithm>

#include "app/core/buffer/BufferFiles.h"
#include "memory/ChipFixture.h"
#include "sim/chips/Em78p.h"
#include "sim/chips/Mdt10p.h"
#include "sim/chips/Mdt20xx.h"

namespace zelvar::test {
namespace loaded_file_checks_test {

struct Part {
  const char* set;
  const char* part;
  int row;
  const char* design;
  int cfg;
};

// One line of each MDT set.
constexpr Part kMdtParts[] = {
    {"MDT2000", "MDT2005", 1, "mdt2000", 0},
    {"MDT2051", "MDT2051", 1, "mdt2000", 0},
    {"MDT10P7X", "MDT10P73", 11, "mdt10p73", 0},
    {"MDT10P8PIN", "MDT10P53", 1, "mdt10p8pin", 0},
};

class LoadedFileTest : public ChipFixture {
 protected:
  void SetUp() override {
    ChipFixture::SetUp();
    fake.convertMiconFile = [] { return zelvar::ConvertMiconFile(); };
    fake.checkCdsExtension = [] { return zelvar::CheckCdsExtension(); };
  }

  // The part's programmed words.
  std::vector<std::uint16_t>* ChooseMdt(const Part& p) {
    fake.chipParams = {{"cfg=", p.cfg}};
    const std::string set = p.set;
    if (set == "MDT2000" || set == "MDT2051") {
      auto chip = sim::MakeMdt20xx(p.part);
      Choose(p.set, p.row, chip, std::string("MDT: ") + p.part, p.design);
      held_ = chip;
      return &chip->code;
    }
    auto chip = sim::MakeMdt10p(p.part);
    Choose(p.set, p.row, chip, std::string("MDT: ") + p.part, p.design);
    held_ = chip;
    return &chip->code;
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  // A word image with every word programmed somewhere below 0x3FFF.
  void Image(std::uint32_t words) {
    for (std::uint32_t w = 0; w < words; ++w) {
      gApp.CodeBuffer[2 * w] = static_cast<std::uint8_t>(w * 7);
      gApp.CodeBuffer[2 * w + 1] = static_cast<std::uint8_t>((w >> 3) & 0x1F);
    }
  }

  std::shared_ptr<sim::ChipModel> held_;
};

TEST_F(LoadedFileTest, MdtWriteBurnsOnlyAConvertedImage) {
  struct Case {
    const char* dataFile;
    const char* projectFile;
    bool written;
    const char* question;  // asked before the conversion; empty: none
    const char* line;      // logged; empty: none checked
  };
  const Case cases[] = {
      // The user declines the conversion of an object or HEX file.
      {"/tmp/prog.HEX", "", false, "Change file format?", ""},
      {"/tmp/prog.obj", "", false, "Change file format?", ""},
      {"/tmp/prog.txt", "", false, "", "File format error!"},
      {"", "", false, "", "File format error!"},
      {"/tmp/prog.BIN", "", true, "", ""},
      {"/tmp/prog.mhx", "", true, "", ""},
      // A project's buffer was converted when the project was made.
      {"", "/tmp/job.zor", true, "", ""},
  };
  for (const Part& p : kMdtParts) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(p.set) + " " + c.dataFile + c.projectFile);
      auto* code = ChooseMdt(p);
      ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
      const auto words = static_cast<std::uint32_t>(code->size());
      Image(words);
      gApp.DataFileName = c.dataFile;
      gApp.ProjectFileName = c.projectFile;
      fake.log.clear();
      fake.questions.clear();
      const int status = Run(kOpWrite);
      EXPECT_EQ(status, c.written ? 0 : 1);
      EXPECT_EQ(fake.questions,
                *c.question ? std::vector<std::string>{c.question} : std::vector<std::string>{});
      if (*c.line) {
        EXPECT_TRUE(Logged(c.line)) << LastLine();
      }
      const bool blank =
          std::all_of(code->begin(), code->end(), [](std::uint16_t w) { return w == 0x3FFF; });
      if (c.written) {
        EXPECT_FALSE(blank);
        EXPECT_EQ((*code)[1], (gApp.CodeBuffer[2] | gApp.CodeBuffer[3] << 8) & 0x3FFF);
      } else {
        // Refused before the chip is powered: not a word programmed.
        EXPECT_TRUE(blank);
      }
      EXPECT_EQ(prog->VppPin(), 0);
      EXPECT_EQ(prog->VccPin(), 0);
    }
  }
}

TEST_F(LoadedFileTest, Em78WriteWarnsAboutAFileThatIsNotCdsAndWritesIt) {
  struct Case {
    const char* dataFile;
    const char* projectFile;
    bool warned;
  };
  const Case cases[] = {{"/tmp/prog.hex", "", true},
                        {"/tmp/prog.cds", "", false},
                        {"/tmp/PROG.CDS", "", false},
                        {"/tmp/prog.bin", "/tmp/job.zor", false}};
  const Part parts[] = {{"EMC78P156E", "EM78P156", 1, "em78p156", 0},
                        {"EMC78P451", "EM78P451P", 1, "em78p451", 0}};
  for (const Part& p : parts) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(p.set) + " " + c.dataFile);
      auto chip = sim::MakeEm78p(p.part);
      Choose(p.set, p.row, chip, std::string("EMC: ") + p.part, p.design);
      Image(static_cast<std::uint32_t>(chip->code.size()));
      gApp.DataFileName = c.dataFile;
      gApp.ProjectFileName = c.projectFile;
      fake.log.clear();
      EXPECT_EQ(Run(kOpWrite), 0) << LastLine();
      EXPECT_EQ(Logged("Warning: The file is not .CDS format!"), c.warned);
      EXPECT_EQ(chip->code[1], (gApp.CodeBuffer[2] | gApp.CodeBuffer[3] << 8) & 0x1FFF);
    }
  }
}

}  // namespace loaded_file_checks_test
}  // namespace zelvar::test
