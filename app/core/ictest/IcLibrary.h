#pragma once
// The IC tester's library files ("TTL74.LIB", "CMOS40.LIB", "CMOS45.LIB"): chip records of a
// 7-byte header and 9-byte test vectors, ended by a record whose first byte is 'E'. Reading one
// indexes its chips and applies the load-time adjustments that fit the vectors to the tester's
// ports. The reader trusts nothing in the file: it stops at the end of the data, drops a record
// that runs past it, and keeps at most 1000 chips.
#include <cstdint>
#include <string>
#include <vector>

namespace zelvar {

inline constexpr int kMaxIcChips = 1000;
inline constexpr int kIcHeaderSize = 7;
inline constexpr int kIcVectorSize = 9;
inline constexpr std::uint8_t kIcRepeatFlag = 0x40;
// The number of the two records without vectors that end each library: Search leaves out a
// library's last two records, so these stand there in place of two chips.
inline constexpr int kIcEndRecordNumber = 999;

// The library files by radio item: 0 "TTL74.LIB", 1 "CMOS40.LIB", 2 "CMOS45.LIB".
const char* IcLibraryFile(int item);

struct IcChip {
  std::uint8_t supplyPin = 0;  // socket pin of the chip's supply, 0 when unknown
  std::uint32_t offset = 0;    // of its record (or of the record whose vectors it borrows)
  std::uint32_t vectors = 0;   // 0: nothing to test with
  std::uint32_t number = 0;
};

struct IcLibrary {
  std::vector<std::uint8_t> data;  // the file, adjusted
  std::vector<IcChip> chips;
  std::vector<std::string> names;
  std::string problem;  // a bilingual note on what was left out, empty when nothing was
  // Byte `b` of vector `index` of the record at `offset`; nullptr outside the data.
  std::uint8_t* Vector(std::uint32_t offset, int index);
};

// The supply pin that bytes 1 and 2 of a chip's first vector give: 27, 28, 30, 32 or 0.
int IcSupplyPin(std::uint8_t b1, std::uint8_t b2);
// The chip number in header bytes 0 to 2: the decimal digits they begin with.
int IcChipNumber(const std::uint8_t* header);
// "74xx138", "4011", "4511" for radio item 0, 1 or 2.
// The chip's name in the list ("-" for an end record).
std::string IcChipName(int item, int number);

// Indexes `data` as a library of radio item `item`.
IcLibrary ParseIcLibrary(std::vector<std::uint8_t> data, int item);
// Reads and indexes the file at `path`; false when it cannot be read.
bool ReadIcLibrary(const std::string& path, int item, IcLibrary& out);

}  // namespace zelvar
