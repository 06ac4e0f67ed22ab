// The memory-set frame's describe step with config groups, and its dispatch rules, on a set made
// for the test.
#include <gtest/gtest.h>

#include <vector>

#include "algorithms/memory/MemorySet.h"
#include "link/LinkState.h"
#include "support/FakeServices.h"

namespace zelvar::test {
namespace memory_frame_test {

class GroupedSet final : public memory::MemorySet {
 public:
  int runs = 0;

 private:
  void Init() override {}
  memory::TypeFacts Facts() const override { return {0x7FFF, (1ull << 31) | (1ull << 39), 100}; }
  std::span<const char* const> DescribeList() const override {
    static constexpr const char* kList[] = {"$Fonc:", "22 Blank", "$end", "never"};
    return kList;
  }
  std::span<const char* const> ConfigTable() const override {
    static constexpr const char* kTable[] = {"0: first", "n=A,b=0", "1: second", "n=B,b=1",
                                             "n=C,b=2",  " stop",   "n=D",       "2: third",
                                             "n=E,b=3",  "$end"};
    return kTable;
  }
  bool Run(int op) override {
    ++runs;
    return op == 22;
  }
  void SetAddress(std::uint32_t) override {}
};

class MemoryFrame : public ::testing::Test {
 protected:
  void SetUp() override { SetServices(&fake); }
  void TearDown() override {
    SetServices(nullptr);
    gLink.Reset();
  }
  std::vector<std::string> Describe(int group) {
    fake.chipParams["cfg="] = group;
    ChipUiList list(kChipUiListSize);
    set.Dispatch(2, buffer.data(), info.data(), &list);
    std::vector<std::string> out;
    for (const auto& e : list) {
      out.push_back(e);
      if (e == "$end") break;
    }
    return out;
  }
  FakeServices fake;
  GroupedSet set;
  std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(16);
  std::array<std::int32_t, 8> info{};
};

TEST_F(MemoryFrame, DescribeAppendsTheChosenGroupUpToTheNextNonRow) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Describe(0), (V{"$Fonc:", "22 Blank", "$Grid1:", "n=A,b=0", "$end"}));
  EXPECT_EQ(Describe(1), (V{"$Fonc:", "22 Blank", "$Grid1:", "n=B,b=1", "n=C,b=2", "$end"}));
  EXPECT_EQ(Describe(2), (V{"$Fonc:", "22 Blank", "$Grid1:", "n=E,b=3", "$end"}));
  EXPECT_EQ(Describe(7), (V{"$Fonc:", "22 Blank", "$Grid1:", "$end"}));
}

TEST_F(MemoryFrame, DescribeFillsTheInfoRecord) {
  Describe(0);
  EXPECT_EQ(info[0], 0x7FFF);
  EXPECT_EQ(info[3], 8);
  EXPECT_EQ(info[5], 100);
  // Pin 32 (bit 31) and pin 40 (bit 39) survive the split the runner undoes.
  const std::uint64_t mask =
      (std::uint64_t(std::uint32_t(info[7])) << 31) + (std::uint32_t(info[6]) & 0x7FFFFFFF);
  EXPECT_EQ(mask, (1ull << 31) | (1ull << 39));
}

TEST_F(MemoryFrame, DispatchReturnsStatusAndSkipsChipOperationsWithoutRecord) {
  gLink.StatusWord = 1;
  EXPECT_EQ(set.Dispatch(22, buffer.data(), nullptr, nullptr), 1);
  EXPECT_EQ(set.runs, 0);
  std::array<std::int32_t, 144> options{};
  EXPECT_EQ(set.Dispatch(99, buffer.data(), options.data(), nullptr), 1);
  EXPECT_EQ(set.runs, 1);
}

TEST(MemoryFrameAddress, LowByteIsBitReversed) {
  EXPECT_EQ(memory::ReverseBits(0x01), 0x80);
  EXPECT_EQ(memory::ReverseBits(0x55), 0xAA);
  EXPECT_EQ(memory::ReverseBits(0xF0), 0x0F);
}

}  // namespace memory_frame_test
}  // namespace zelvar::test
