// Files written by srec_cat and objcopy, made at test time from a random image, read by our
// readers; and our HEX output read back by srec_cat.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/core/buffer/BufferFiles.h"
#include "app/core/buffer/BufferReaders.h"
#include "buffer/BufferFixture.h"

namespace zelvar::test {
namespace buffer_realfiles_test {

std::string Tool(const char* name) {
  for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
    const std::string path = std::string(dir) + name;
    if (std::filesystem::exists(path)) return path;
  }
  return name;
}

class RealFiles : public BufferFixture {
 protected:
  void SetUp() override {
    BufferFixture::SetUp();
    // Over 1 MiB and not a multiple of 16, so the 64 KiB bases, a short last record and the
    // reader's block boundaries show.
    image.resize(0x12A2B3);
    std::mt19937 rng(7);
    for (auto& b : image) b = static_cast<char>(rng());
    imagePath = Write("image.bin", image);
  }

  // Runs a tool with its arguments; the test fails when it does not succeed.
  void Run(const char* tool, const std::vector<std::string>& args) {
    ASSERT_EQ(RunProgram(Tool(tool), args), 0) << tool;
  }

  std::string Out(const char* name) { return (dir / name).string(); }

  // Reads `path` with `read` at load offset 0 over a buffer of 0x5A, and checks that `image`
  // stands at `at` with the bytes around it untouched.
  template <typename Read>
  void ExpectImage(const std::string& path, Read read, std::int64_t at) {
    std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.end(), 0x5A);
    gApp.FillMode = 0;
    gApp.DataFileName = path;
    ASSERT_TRUE(read()) << path;
    EXPECT_TRUE(fake.boxes.empty()) << path << ": " << fake.boxes.front();
    EXPECT_EQ(
        std::string(gApp.CodeBuffer.begin() + at, gApp.CodeBuffer.begin() + at + image.size()),
        image)
        << path;
    if (at > 0) {
      EXPECT_EQ(gApp.CodeBuffer[at - 1], 0x5A);
    }
    EXPECT_EQ(gApp.CodeBuffer[at + image.size()], 0x5A);
    EXPECT_EQ(gApp.LoadedLastAddress, at + static_cast<std::int64_t>(image.size()) - 1) << path;
  }

  std::string image;
  std::string imagePath;
};

TEST_F(RealFiles, SrecCatOutputsMatchTheImage) {
  Run("srec_cat", {imagePath, "-binary", "-offset", "0x100", "-o", Out("a.hex"), "-intel",
                   "-execution-start-address=0x1234"});
  ExpectImage(Out("a.hex"), ReadIntelHexFile, 0x100);
  Run("srec_cat", {imagePath, "-binary", "-offset", "0x20", "-o", Out("a.s"), "-motorola"});
  ExpectImage(Out("a.s"), ReadSRecordFile, 0x20);
  Run("srec_cat", {imagePath, "-binary", "-o", Out("b.s"), "-motorola", "-address-length=4",
                   "-execution-start-address=0x10"});
  ExpectImage(Out("b.s"), ReadSRecordFile, 0);
}

TEST_F(RealFiles, ObjcopyOutputsMatchTheImage) {
  Run("objcopy", {"-I", "binary", "-O", "ihex", "--change-addresses", "0x20000", "--set-start",
                  "0x20010", imagePath, Out("o.hex")});
  ExpectImage(Out("o.hex"), ReadIntelHexFile, 0x20000);
  Run("objcopy", {"-I", "binary", "-O", "srec", "--srec-forceS3", "--set-start", "0x10", imagePath,
                  Out("o.s")});
  ExpectImage(Out("o.s"), ReadSRecordFile, 0);
  Run("objcopy",
      {"-I", "binary", "-O", "srec", "--change-addresses", "0x30000", imagePath, Out("p.s")});
  ExpectImage(Out("p.s"), ReadSRecordFile, 0x30000);
}

TEST_F(RealFiles, OurHexAndImageReadBackBySrecCat) {
  std::copy(image.begin(), image.end(), gApp.CodeBuffer.begin());
  gApp.CodeLastAddress = static_cast<std::int32_t>(image.size()) - 1;
  ASSERT_TRUE(SaveBuffer(Out("ours.hex"), 2));
  EXPECT_EQ(ui.recent, std::vector<std::string>{Out("ours.hex")});
  Run("srec_cat", {Out("ours.hex"), "-intel", "-o", Out("back.bin"), "-binary"});
  EXPECT_EQ(Read(Out("back.bin")), image);

  ASSERT_TRUE(SaveBuffer(Out("ours"), 1));
  EXPECT_EQ(Read(Out("ours.BIN")), image);
}

TEST_F(RealFiles, ImageLanesAcrossReadBlocks) {
  gApp.DataFileName = imagePath;
  ASSERT_TRUE(ReadBinaryFile(3, 1));
  const std::size_t taken = (image.size() + 2) / 4;
  EXPECT_EQ(gApp.LoadedLastAddress, static_cast<std::int32_t>(taken) - 1);
  for (std::size_t i = 0; i < taken; ++i)
    ASSERT_EQ(gApp.CodeBuffer[i], static_cast<std::uint8_t>(image[4 * i + 1])) << i;
}

}  // namespace buffer_realfiles_test
}  // namespace zelvar::test
