// The IC tester's library reader on the libraries the build writes and on damaged copies of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/core/ictest/IcLibrary.h"

namespace zelvar {
namespace ic_library_test {

std::vector<std::uint8_t> ReadFile(const std::string& name) {
  std::ifstream f(std::string(ZELVAR_PROGRAM_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// A record with `n` vectors; every vector carries the 14-pin package code and `flags`.
std::vector<std::uint8_t> Record(const char* number, int n, std::uint8_t mask3 = 0) {
  std::vector<std::uint8_t> r(7 + 9 * n, 0);
  for (int i = 0; i < 3 && number[i]; ++i) r[i] = static_cast<std::uint8_t>(number[i]);
  r[3] = mask3;
  r[5] = static_cast<std::uint8_t>(n);
  for (int v = 0; v < n; ++v) {
    r[7 + 9 * v + 1] = 0x20;
    r[7 + 9 * v + 2] = 0x40;
  }
  return r;
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

const std::vector<std::uint8_t> kEnd = {'E', 0, 0, 0, 0, 0, 0};

TEST(IcLibrary, OurLibrariesIndexEveryChipWithItsSupplyAndName) {
  struct Case {
    const char* file;
    int item;
    const char* chip;
    int supply;
  };
  for (const Case c : {Case{"TTL74.LIB", 0, "74xx00", 27}, Case{"TTL74.LIB", 0, "74xx138", 28},
                       Case{"TTL74.LIB", 0, "74xx244", 30}, Case{"CMOS40.LIB", 1, "4011", 27},
                       Case{"CMOS40.LIB", 1, "40106", 27}, Case{"CMOS45.LIB", 2, "4511", 28},
                       Case{"CMOS45.LIB", 2, "4514", 32}}) {
    SCOPED_TRACE(c.chip);
    const std::vector<std::uint8_t> data = ReadFile(c.file);
    ASSERT_FALSE(data.empty());
    const IcLibrary lib = ParseIcLibrary(data, c.item);
    EXPECT_TRUE(lib.problem.empty());
    EXPECT_GE(lib.chips.size(), 14u);
    const auto it = std::find(lib.names.begin(), lib.names.end(), c.chip);
    ASSERT_NE(it, lib.names.end());
    const IcChip& chip = lib.chips[it - lib.names.begin()];
    EXPECT_EQ(chip.supplyPin, c.supply);
    EXPECT_GT(chip.vectors, 0u);
    EXPECT_LE(chip.vectors, 255u);
  }
  std::size_t total = 0;
  for (const char* f : {"TTL74.LIB", "CMOS40.LIB", "CMOS45.LIB"}) {
    total += ParseIcLibrary(ReadFile(f), 0).chips.size();
  }
  EXPECT_GE(total, 130u);
}

TEST(IcLibrary, AnAliasBorrowsTheNextRecordsVectorsAndSupply) {
  const IcLibrary lib = ParseIcLibrary(ReadFile("TTL74.LIB"), 0);
  const auto index = [&](const char* name) {
    return std::find(lib.names.begin(), lib.names.end(), name) - lib.names.begin();
  };
  const IcChip& alias = lib.chips[index("74xx132")];
  const IcChip& target = lib.chips[index("74xx00")];
  EXPECT_EQ(alias.offset, target.offset);
  EXPECT_EQ(alias.vectors, target.vectors);
  EXPECT_EQ(alias.supplyPin, target.supplyPin);

  // A record without vectors before one with 5 tests with those 5 and the second's supply pin.
  auto second = Record("20", 5);
  for (int v = 0; v < 5; ++v) {
    second[7 + 9 * v + 1] = 0x00;
    second[7 + 9 * v + 2] = 0x24;
  }
  const IcLibrary small = ParseIcLibrary(Join({Record("10", 0), second, kEnd}), 0);
  ASSERT_EQ(small.chips.size(), 2u);
  EXPECT_EQ(small.chips[0].vectors, 5u);
  EXPECT_EQ(small.chips[0].offset, small.chips[1].offset);
  EXPECT_EQ(small.chips[0].supplyPin, 32);
  EXPECT_EQ(small.names[0], "74xx10");
}

TEST(IcLibrary, DamagedFilesStopAtTheEndOfTheirData) {
  const std::vector<std::uint8_t> whole = ReadFile("TTL74.LIB");
  const IcLibrary full = ParseIcLibrary(whole, 0);
  {
    // Cut inside the third record: the first two stay, the rest is reported.
    std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + full.chips[2].offset + 20);
    if (full.chips[2].vectors == 0) cut.resize(full.chips[3].offset + 20);
    const IcLibrary lib = ParseIcLibrary(cut, 0);
    EXPECT_LT(lib.chips.size(), full.chips.size());
    EXPECT_GE(lib.chips.size(), 2u);
    EXPECT_NE(lib.problem.find("ends inside"), std::string::npos);
  }
  {
    // Without its end record the file ends where its data does.
    std::vector<std::uint8_t> open(whole.begin(), whole.end() - 7);
    const IcLibrary lib = ParseIcLibrary(open, 0);
    EXPECT_EQ(lib.chips.size(), full.chips.size());
    EXPECT_TRUE(lib.problem.empty());
  }
  {
    // A header cut short ends the file too.
    const IcLibrary lib = ParseIcLibrary(Join({Record("00", 1), {'0', '1', 0}}), 0);
    EXPECT_EQ(lib.chips.size(), 1u);
  }
}

TEST(IcLibrary, AtMostAThousandChipsWithAMessage) {
  std::vector<std::uint8_t> data;
  for (int i = 0; i < 1005; ++i) {
    const auto r = Record("00", 1);
    data.insert(data.end(), r.begin(), r.end());
  }
  const IcLibrary lib = ParseIcLibrary(data, 0);
  EXPECT_EQ(lib.chips.size(), 1000u);
  EXPECT_NE(lib.problem.find("1000"), std::string::npos);
}

TEST(IcLibrary, TheLastRecordWithoutVectorsHasNoneToBorrow) {
  const IcLibrary lib = ParseIcLibrary(Join({Record("00", 2), Record("03", 0), kEnd}), 0);
  ASSERT_EQ(lib.chips.size(), 2u);
  EXPECT_EQ(lib.chips[1].vectors, 0u);
  EXPECT_EQ(lib.chips[0].vectors, 2u);
}

TEST(IcLibrary, TheChipNumberIsReadFromItsThreeBytesOnly) {
  // "12" and a NUL, then a mask byte that reads as the digit 5: the chip is 12, not 125.
  std::uint8_t h1[] = {'1', '2', 0, '5'};
  EXPECT_EQ(IcChipNumber(h1), 12);
  // Three digits fill the field; the mask after them is no fourth digit.
  std::uint8_t h2[] = {'1', '3', '8', '7'};
  EXPECT_EQ(IcChipNumber(h2), 138);
  const IcLibrary lib = ParseIcLibrary(Join({Record("00", 1, '5'), kEnd}), 1);
  EXPECT_EQ(lib.names[0], "4000");
  EXPECT_EQ(IcChipName(0, 4), "74xx04");
  EXPECT_EQ(IcChipName(2, 11), "4511");
  EXPECT_EQ(IcChipName(1, 106), "40106");
}

TEST(IcLibrary, LoadTimeShuffleFitsTheVectorsToThePorts) {
  auto r = Record("00", 2);
  // Vector 0: the drive image's middle and high bytes; vector 1 a repeat marker left alone.
  std::uint8_t* v = r.data() + 7;
  v[3] = 0x81;  // high byte: bit 0 moves to the middle byte's bit 7, the rest shifts down
  v[4] = 0xF7;  // middle byte: bit 3 (socket pin 20) goes, bits 4-7 close up
  v[6] = 0x03;
  v[7] = 0x18;
  std::uint8_t* m = r.data() + 16;
  m[0] = 0x40;
  m[3] = 0x81;
  m[4] = 0x12;
  IcLibrary lib = ParseIcLibrary(Join({r, kEnd}), 0);
  const std::uint8_t* a = lib.Vector(0, 0);
  EXPECT_EQ(a[4], 0xFF);
  EXPECT_EQ(a[3], 0x40);
  EXPECT_EQ(a[7], 0x88);
  EXPECT_EQ(a[6], 0x01);
  const std::uint8_t* b = lib.Vector(0, 1);
  EXPECT_EQ(b[3], 0x81);
  EXPECT_EQ(b[4], 0x12);
  // The supply pin's bit joins both header masks.
  EXPECT_EQ(lib.data[3] & 0x04, 0x04);
  EXPECT_EQ(lib.data[6] & 0x04, 0x04);
  EXPECT_EQ(IcSupplyPin(0x22, 0x00), 30);
  EXPECT_EQ(IcSupplyPin(0x20, 0x20), 0);
}

}  // namespace ic_library_test
}  // namespace zelvar
