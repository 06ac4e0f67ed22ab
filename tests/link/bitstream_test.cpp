#include "link/Bitstream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "sim/BitstreamImage.h"
#include "support/SimFixture.h"

namespace zelvar::test {
namespace bitstream_test {

namespace fs = std::filesystem;

// A program directory of its own, so that a test can lay out exactly the files it needs.
class BitstreamTest : public SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    dir = fs::path(::testing::TempDir()) /
          ("bitstream_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
           std::to_string(::getpid()));
    fs::remove_all(dir);
    for (const char* folder : {"BLib", "BLib2", "BLib3"}) fs::create_directories(dir / folder);
    gApp.Reset();
    gApp.ProgramDir = dir.string() + "/";
  }
  void TearDown() override {
    gApp.Reset();
    fs::remove_all(dir);
    SimFixture::TearDown();
  }

  void WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    for (const char* folder : {"BLib", "BLib2", "BLib3"}) {
      std::ofstream out(dir / folder / name, std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }
  }

  // Register writes of `reg` the programmer received.
  int RegisterWrites(int reg) const {
    return static_cast<int>(std::count_if(
        prog->record.transcript.begin(), prog->record.transcript.end(),
        [&](const sim::Command& c) { return c.op() == kCmdSetRegister && c.bytes[1] == reg; }));
  }

  std::vector<std::string> BusyEvents() const {
    std::vector<std::string> out;
    for (const auto& e : fake.events) {
      if (e.starts_with("busy:")) out.push_back(e);
    }
    return out;
  }

  fs::path dir;
};

TEST(BitstreamHeader, DataStartsAtTheFirst0xFFAmongTheFirst100Bytes) {
  struct Case {
    std::size_t size;
    std::vector<std::size_t> ffAt;
    std::size_t start;
  };
  const Case cases[] = {
      {200, {0}, 0},    {200, {37, 50}, 37}, {200, {99}, 99},
      {200, {100}, 99}, {200, {}, 99},       {20, {}, 99},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> data(c.size, 0x20);
    for (const auto at : c.ffAt) data[at] = 0xFF;
    EXPECT_EQ(BitstreamDataStart(data.data(), data.size()), c.start) << c.size;
  }
}

TEST_F(BitstreamTest, StandInFileInstallsItsDesignOnEveryFpgaGroup) {
  WriteFile("zor5103.bit", sim::MakeStandInBitstream("zor5103"));
  for (const int model : {5105, 5149, 6200}) {
    Connect(model);
    gApp.ProgramDir = dir.string();  // no trailing slash: the loader adds it
    LoadBitstream("zor5103.bit");
    EXPECT_EQ(prog->loadedDesign, "zor5103") << model;
    EXPECT_TRUE(prog->bitstreamWhole) << model;
    EXPECT_EQ(gLink.LastBitstream, dir.string() + "/" + BitstreamFolder(model) + "zor5103.bit");
    EXPECT_TRUE(fake.LogTexts().empty()) << model;
    EXPECT_EQ(gLink.CommandCount, 0u);
    EXPECT_TRUE(prog->record.protocolErrors.empty()) << model;
  }
}

TEST_F(BitstreamTest, FileWhoseFirstByteIs0xFFIsSentFromByteZero) {
  std::vector<std::uint8_t> bytes = {0xFF, 1, 2, 3, 0xFF, 5};
  WriteFile("a.bit", bytes);
  Connect(5105);
  LoadBitstream("a.bit");
  ASSERT_EQ(prog->bitstream.size(), 60u);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), prog->bitstream.begin()));
  EXPECT_TRUE(std::all_of(prog->bitstream.begin() + 6, prog->bitstream.end(),
                          [](std::uint8_t b) { return b == 0; }));
}

TEST_F(BitstreamTest, DataEndingOnAPacketBoundaryIsFollowedByAPacketOfZeros) {
  std::vector<std::uint8_t> bytes(10, 'h');
  for (int i = 0; i < 120; ++i) bytes.push_back(static_cast<std::uint8_t>(i == 0 ? 0xFF : i));
  WriteFile("a.bit", bytes);
  for (const int model : {5105, 6200}) {
    Connect(model);
    LoadBitstream("a.bit");
    EXPECT_EQ(RegisterWrites(kBitstreamDataRegister), 3) << model;
    ASSERT_EQ(prog->bitstream.size(), 180u);
    EXPECT_TRUE(std::equal(bytes.begin() + 10, bytes.end(), prog->bitstream.begin()));
    EXPECT_TRUE(std::all_of(prog->bitstream.begin() + 120, prog->bitstream.end(),
                            [](std::uint8_t b) { return b == 0; }));
    // Each packet is one 64-byte transfer with the register command first.
    for (const auto& c : prog->record.transcript) {
      if (c.op() == kCmdSetRegister && c.bytes[1] == kBitstreamDataRegister) {
        EXPECT_EQ(c.offset, 0u);
      }
    }
  }
}

TEST_F(BitstreamTest, NewerModelsSkipTheFileTheyHoldAndOldOnesSendItAgain) {
  WriteFile("zor5103.bit", sim::MakeStandInBitstream("zor5103"));
  WriteFile("other.bit", sim::MakeStandInBitstream("other"));
  struct Case {
    int model;
    int loads;
  };
  for (const auto& c : {Case{5105, 3}, Case{5149, 2}, Case{6200, 2}}) {
    Connect(c.model);
    LoadBitstream("zor5103.bit");
    LoadBitstream("zor5103.bit");
    LoadBitstream("other.bit");
    EXPECT_EQ(RegisterWrites(kBitstreamStartRegister), c.loads) << c.model;
    EXPECT_EQ(prog->loadedDesign, "other") << c.model;
  }
}

TEST_F(BitstreamTest, ModelsWithoutFpgaSendNothing) {
  WriteFile("zor5103.bit", sim::MakeStandInBitstream("zor5103"));
  for (const int model : {57, 411, 0}) {
    Connect(model);
    LoadBitstream("zor5103.bit");
    EXPECT_EQ(prog->record.transfers, 0u) << model;
    EXPECT_EQ(gLink.LastBitstream, "no_part") << model;
  }
}

TEST_F(BitstreamTest, MissingFileShowsABoxAndTheProgramGoesOn) {
  WriteFile("zor5103.bit", sim::MakeStandInBitstream("zor5103"));
  for (const int model : {5104, 5105, 5148, 5149, 6200}) {
    Connect(model);
    LoadBitstream("zor5103.bit");
    const auto transfers = prog->record.transfers;
    LoadBitstream("missing.bit");
    LoadBitstream("");  // the folder itself is no bitstream
    ASSERT_EQ(fake.boxes.size(), 2u) << model;
    EXPECT_EQ(fake.boxes[0], "Not find bit file! ");
    EXPECT_EQ(fake.boxes[1], "Not find bit file! ");
    EXPECT_EQ(prog->record.transfers, transfers) << model;
    // The FPGA holds logic no set-up asked for (the previous chip's on the newer models):
    // operations stay refused until a set-up loads a bitstream.
    EXPECT_EQ(gLink.LastBitstream, "no_part") << model;
    fake.boxes.clear();
  }
}

TEST_F(BitstreamTest, ACutOrForeignFileFailsTheEndCheckOnTheFirstModels) {
  // Longer than 136 packets: cut without a message, so the end line never arrives.
  std::vector<std::uint8_t> big = sim::MakeStandInBitstream("big");
  big.insert(big.end() - 4, 136 * 60, 'x');
  WriteFile("big.bit", big);
  WriteFile("junk.bit", std::vector<std::uint8_t>(30, 0xFF));
  Connect(5105);
  LoadBitstream("big.bit");
  EXPECT_EQ(RegisterWrites(kBitstreamDataRegister), kOldModelMaxPackets);
  EXPECT_FALSE(prog->bitstreamWhole);
  EXPECT_EQ(prog->loadedDesign, "");
  LoadBitstream("junk.bit");
  EXPECT_EQ(fake.LogTexts(),
            std::vector<std::string>(2, "Load bit status error!(FPGA bit status error!)"));
  EXPECT_EQ(gLink.LastBitstream, dir.string() + "/BLib/junk.bit");
  EXPECT_EQ(prog->VppPin(), 0);
}

TEST_F(BitstreamTest, NewerModelsStepTheBusyWindowEvery64Packets) {
  std::vector<std::uint8_t> big = sim::MakeStandInBitstream("big");
  big.insert(big.end() - 4, 600 * 60, 'x');
  WriteFile("big.bit", big);
  Connect(6200);
  LoadBitstream("big.bit");
  EXPECT_EQ(RegisterWrites(kBitstreamDataRegister), kNewModelMaxPackets);
  std::vector<std::string> expected = {"busy:Load bit"};
  for (int n = 0; n < kNewModelMaxPackets; n += 64)
    expected.push_back("busy:step " + std::to_string(n));
  expected.push_back("busy:hide");
  EXPECT_EQ(BusyEvents(), expected);
  EXPECT_FALSE(prog->bitstreamWhole);
}

TEST_F(BitstreamTest, NoFpgaAnswerSendsNothingAndTriesAgainNextTime) {
  WriteFile("zor5103.bit", sim::MakeStandInBitstream("zor5103"));
  Connect(5149);
  prog->faults.fpgaPresent = false;
  LoadBitstream("zor5103.bit");
  EXPECT_EQ(fake.LogTexts(), std::vector<std::string>{"Not find FPGA! "});
  EXPECT_EQ(RegisterWrites(kBitstreamDataRegister), 0);
  EXPECT_TRUE(BusyEvents().empty());
  EXPECT_EQ(gLink.LastBitstream, kNoBitstream) << "the FPGA holds nothing";
  prog->faults.fpgaPresent = true;
  LoadBitstream("zor5103.bit");
  EXPECT_EQ(RegisterWrites(kBitstreamStartRegister), 2);
  EXPECT_TRUE(prog->bitstreamWhole);
}

}  // namespace bitstream_test
}  // namespace zelvar::test
