#include <gtest/gtest.h>

#include <vector>

#include "link/CommandQueue.h"
#include "link/LinkFault.h"
#include "support/SimFixture.h"

namespace zelvar {
namespace command_queue_test {

using test::SimFixture;

struct PadCase {
  std::uint32_t start;
  int size;  // 1..4
  std::uint32_t commandAt;
  std::uint32_t countAfter;
};

class PaddingTest : public SimFixture, public ::testing::WithParamInterface<PadCase> {};

void Put(int size) {
  switch (size) {
    case 1:
      PutCmd1(0xA1);
      break;
    case 2:
      PutCmd2(0xA1, 0xA2);
      break;
    case 3:
      PutCmd3(0xA1, 0xA2, 0xA3);
      break;
    default:
      PutCmd4(0xA1, 0xA2, 0xA3, 0xA4);
      break;
  }
}

TEST_P(PaddingTest, CommandNeverStraddlesAPacket) {
  const PadCase c = GetParam();
  gLink.CommandBuffer.fill(0xEE);
  gLink.CommandCount = c.start;
  Put(c.size);
  EXPECT_EQ(gLink.CommandCount, c.countAfter);
  for (std::uint32_t i = c.start; i < c.commandAt; ++i) EXPECT_EQ(gLink.CommandBuffer[i], 0) << i;
  for (int k = 0; k < c.size; ++k) EXPECT_EQ(gLink.CommandBuffer[c.commandAt + k], 0xA1 + k);
}

INSTANTIATE_TEST_SUITE_P(Table, PaddingTest,
                         ::testing::Values(PadCase{63, 1, 63, 64},     // a single byte never pads
                                           PadCase{62, 2, 62, 64},     // fits exactly
                                           PadCase{63, 2, 64, 66},     // one 0 byte
                                           PadCase{61, 3, 61, 64},     // fits exactly
                                           PadCase{62, 3, 64, 67},     // two 0 bytes
                                           PadCase{63, 3, 64, 67},     // one 0 byte
                                           PadCase{60, 4, 60, 64},     // fits exactly
                                           PadCase{125, 4, 128, 132},  // three 0 bytes
                                           PadCase{65535, 1, 65535, 65536}));  // fills the queue

TEST_F(SimFixture, FullQueueGoesOutInOneTransfer) {
  gLink.CommandCount = 65535;
  PutCmd1(0);
  FlushCommands();
  EXPECT_EQ(gLink.CommandCount, 0u);
  EXPECT_EQ(prog->record.transfers, 1u);
  EXPECT_TRUE(prog->record.protocolErrors.empty());
  FlushCommands();  // an empty queue sends nothing
  EXPECT_EQ(prog->record.transfers, 1u);
}

struct OverflowCase {
  std::uint32_t start;
  int size;
};

class OverflowTest : public SimFixture, public ::testing::WithParamInterface<OverflowCase> {};

TEST_P(OverflowTest, EndsTheOperationAndTakesTheProgrammerOffline) {
  gLink.CommandCount = GetParam().start;
  EXPECT_THROW(Put(GetParam().size), LinkFault);
  EXPECT_EQ(gLink.CommandCount, 0u);  // discarded, nothing sent
  EXPECT_EQ(prog->record.transfers, 0u);
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.ModelNumber, 0);
  ASSERT_EQ(fake.log.size(), 1u);
  EXPECT_EQ(fake.log[0].text, "usb buffer fill! ");
}

INSTANTIATE_TEST_SUITE_P(Table, OverflowTest,
                         ::testing::Values(OverflowCase{65536, 1}, OverflowCase{65536, 2},
                                           OverflowCase{65533, 4}, OverflowCase{65535, 2}));

TEST_F(SimFixture, ReplyReadReturnsByteZeroAndKeepsTheReply) {
  PutCmd2(23, 1);      // probe answers 0 on an empty socket with no ground
  SetRegister(17, 0);  // model query: the name becomes the next reply
  EXPECT_EQ(ReadReply64(gLink.ScratchBuffer.data()), 'z');
  EXPECT_EQ(std::string(reinterpret_cast<char*>(gLink.ScratchBuffer.data()), 7), "zor6200");
}

TEST_F(SimFixture, ShortOrFailedReadsAreLinkFaultsNotExits) {
  prog->faults.failNextRead = true;
  EXPECT_THROW(ReadReply64(gLink.ScratchBuffer.data()), LinkFault);
  EXPECT_EQ(fake.LogTexts().back(), "Read USB bad! ");
  EXPECT_EQ(gLink.ModelNumber, 0);
  EXPECT_EQ(gLink.StatusWord, 1);

  gLink.ModelNumber = 6200;
  gLink.StatusWord = 0;
  prog->faults.failNextRead = true;
  EXPECT_THROW(ReadBlock256(gLink.ScratchBuffer.data()), LinkFault);
  EXPECT_EQ(fake.LogTexts().back(), "Read bad ");

  // A set's own block read: whatever length it asked for must come whole.
  gLink.ModelNumber = 6200;
  PutCmd2(23, 1);
  FlushCommands();
  EXPECT_THROW(ReadSetBlock(gLink.ScratchBuffer.data(), 1024), LinkFault);
  EXPECT_EQ(gLink.ModelNumber, 0);
  EXPECT_EQ(fake.LogTexts().back(), "Read bad ");

  // No programmer at all: every read comes back short.
  Unplug();
  EXPECT_THROW(ReadReply64(gLink.ScratchBuffer.data()), LinkFault);
}

TEST_F(SimFixture, BlockReadGivesTwoHundredFiftySixBytes) {
  PutCmd2(23, 1);
  EXPECT_EQ(ReadBlock256(gLink.ScratchBuffer.data()), 0);
  EXPECT_TRUE(prog->record.protocolErrors.empty());
}

}  // namespace command_queue_test
}  // namespace zelvar
