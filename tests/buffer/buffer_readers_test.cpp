// The HEX, S-record and image readers and the HEX writer, as tables of small files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/core/buffer/BufferReaders.h"
#include "app/core/buffer/HexText.h"
#include "buffer/BufferFixture.h"

namespace zelvar::test {
namespace buffer_readers_test {

using Bytes = std::vector<std::uint8_t>;

// One Intel HEX record with its checksum.
std::string Hex(int type, unsigned address, const Bytes& data) {
  char text[16];
  std::snprintf(text, sizeof text, ":%02X%04X%02X", static_cast<unsigned>(data.size()),
                address & 0xFFFF, type);
  std::string line = text;
  unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8 & 0xFF) + (address & 0xFF) +
                 static_cast<unsigned>(type);
  for (auto b : data) {
    std::snprintf(text, sizeof text, "%02X", b);
    line += text;
    sum += b;
  }
  std::snprintf(text, sizeof text, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + text + "\n";
}

// One S-record with its checksum; `addressBytes` by the type.
std::string S(int type, unsigned address, const Bytes& data) {
  static constexpr int kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};
  const int ab = kAddressBytes[type];
  Bytes rec = {static_cast<std::uint8_t>(ab + data.size() + 1)};
  for (int k = ab - 1; k >= 0; --k) rec.push_back(static_cast<std::uint8_t>(address >> (8 * k)));
  rec.insert(rec.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (auto b : rec) sum += b;
  rec.push_back(static_cast<std::uint8_t>(~sum));
  std::string line = "S" + std::to_string(type);
  char text[4];
  for (auto b : rec) {
    std::snprintf(text, sizeof text, "%02X", b);
    line += text;
  }
  return line + "\n";
}

// The hexadecimal digits in lower case; record marks stay.
std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
  return s;
}
std::string Crlf(const std::string& s) {
  std::string out;
  for (char c : s) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

struct ParseCase {
  const char* name;
  std::string text;
  std::int64_t offset;
  ParseStatus status;
  int line;  // checked when the status is not Ok
  std::int64_t highest;
  std::vector<std::pair<std::int64_t, int>> bytes;  // index and value, -1 for "left at 0xEE"
};

void CheckParse(const ParseCase& c,
                ParseResult (*parse)(std::string_view, std::span<std::uint8_t>, std::int64_t)) {
  std::vector<std::uint8_t> buffer(kCodeBufferSize, 0xEE);
  const ParseResult r = parse(c.text, buffer, c.offset);
  EXPECT_EQ(r.status, c.status) << c.name;
  if (c.status != ParseStatus::Ok) {
    EXPECT_EQ(r.line, c.line) << c.name;
  }
  EXPECT_EQ(r.highest, c.highest) << c.name;
  for (auto [index, value] : c.bytes)
    EXPECT_EQ(buffer[static_cast<std::size_t>(index)], value < 0 ? 0xEE : value)
        << c.name << " at " << std::hex << index;
}

const std::string kEnd = ":00000001FF\n";

TEST(IntelHexParse, RecordTable) {
  const std::string two = Hex(0, 0x10, {0x01, 0x02}) + Hex(0, 0x12, {0x03});
  const std::vector<ParseCase> cases = {
      {"data and end", two + kEnd, 0, ParseStatus::Ok, 0, 0x12, {{0x10, 1}, {0x12, 3}, {0x13, -1}}},
      {"lower-case digits", Lower(two) + kEnd, 0, ParseStatus::Ok, 0, 0x12, {{0x11, 2}}},
      {"CR LF", Crlf(two + kEnd), 0, ParseStatus::Ok, 0, 0x12, {{0x12, 3}}},
      {"no end record", two, 0, ParseStatus::Ok, 0, 0x12, {{0x12, 3}}},
      {"load offset", two, 0x100, ParseStatus::Ok, 0, 0x112, {{0x110, 1}, {0x10, -1}}},
      {"extended linear",
       Hex(4, 0, {0x00, 0x01}) + Hex(0, 0x10, {0xAA}) + kEnd,
       0,
       ParseStatus::Ok,
       0,
       0x10010,
       {{0x10010, 0xAA}, {0x10, -1}}},
      {"extended segment",
       Hex(2, 0, {0x10, 0x00}) + Hex(0, 0x4, {0xAB}) + kEnd,
       0,
       ParseStatus::Ok,
       0,
       0x10004,
       {{0x10004, 0xAB}}},
      {"start address records",
       Hex(3, 0, {0, 0, 1, 0}) + Hex(5, 0, {0, 0, 0, 0x80}) + two + kEnd,
       0,
       ParseStatus::Ok,
       0,
       0x12,
       {{0x10, 1}}},
      {"nothing after the end",
       two + kEnd + Hex(0, 0x20, {9}),
       0,
       ParseStatus::Ok,
       0,
       0x12,
       {{0x20, -1}}},
      {"other lines and a colon inside a line",
       "; note :0100200009D6\n" + two,
       0,
       ParseStatus::Ok,
       0,
       0x12,
       {{0x20, -1}}},
      {"bad checksum stops at its line",
       two + ":0100200009D7\n" + Hex(0, 0x30, {7}),
       0,
       ParseStatus::BadFormat,
       3,
       0x12,
       {{0x12, 3}, {0x20, -1}, {0x30, -1}}},
      {"record cut short does not read the next line",
       ":0300100001\n02030000\n",
       0,
       ParseStatus::BadFormat,
       1,
       -1,
       {{0x10, -1}}},
      {"odd digit", ":0100100001E\n", 0, ParseStatus::BadFormat, 1, -1, {}},
      {"stray character", ":01001000X1EE\n", 0, ParseStatus::BadFormat, 1, -1, {}},
      {"unknown type", two + Hex(6, 0, {1}), 0, ParseStatus::BadFormat, 3, 0x12, {}},
      {"linear base of wrong length", Hex(4, 0, {1}), 0, ParseStatus::BadFormat, 1, -1, {}},
      {"data past the buffer",
       Hex(0, 0, {1, 2, 3, 4}),
       0x1000000,
       ParseStatus::TooBig,
       1,
       0x1000001,
       {{0x1000000, 1}, {0x1000001, 2}}},
      {"record address past the buffer",
       Hex(4, 0, {0x01, 0x00}) + Hex(0, 0x10, {5}),
       0,
       ParseStatus::TooBig,
       2,
       -1,
       {}},
  };
  for (const auto& c : cases) CheckParse(c, ParseIntelHex);
}

TEST(SRecordParse, RecordTable) {
  const std::string data = S(1, 0x10, {1, 2}) + S(2, 0x012345, {3}) + S(3, 0x00ABCDEF, {4});
  const std::vector<ParseCase> cases = {
      {"S1, S2 and S3 data",
       S(0, 0, {'h', 'i'}) + data + S(5, 3, {}) + S(9, 0, {}),
       0,
       ParseStatus::Ok,
       0,
       0xABCDEF,
       {{0x10, 1}, {0x11, 2}, {0x12345, 3}, {0xABCDEF, 4}}},
      {"lower case and CR LF", Crlf(Lower(data)), 0, ParseStatus::Ok, 0, 0xABCDEF, {{0x11, 2}}},
      {"no terminator reads to the end", data, 0, ParseStatus::Ok, 0, 0xABCDEF, {}},
      {"S8 ends the read",
       S(1, 0, {9}) + S(8, 0, {}) + S(1, 1, {8}),
       0,
       ParseStatus::Ok,
       0,
       0,
       {{0, 9}, {1, -1}}},
      {"S7 ends the read", S(7, 0, {}) + S(1, 1, {8}), 0, ParseStatus::Ok, 0, -1, {{1, -1}}},
      {"load offset", S(1, 0x10, {1}), 0x20, ParseStatus::Ok, 0, 0x30, {{0x30, 1}}},
      {"bad checksum",
       S(1, 0, {1}) + "S1040010FF00\n" + S(1, 0x20, {2}),
       0,
       ParseStatus::BadFormat,
       2,
       0,
       {{0x10, -1}, {0x20, -1}}},
      {"count longer than the line", "S1050010FFEB\n", 0, ParseStatus::BadFormat, 1, -1, {}},
      {"S4 does not exist", "S4030000FC\n", 0, ParseStatus::BadFormat, 1, -1, {}},
      {"data past the buffer",
       S(3, 0x1000000, {1, 2, 3}),
       0,
       ParseStatus::TooBig,
       1,
       0x1000001,
       {{0x1000001, 2}}},
  };
  for (const auto& c : cases) CheckParse(c, ParseSRecords);
}

TEST(ImagePlace, ByteLanes) {
  struct Case {
    std::string data;
    int mask, phase;
    std::int64_t offset;
    Bytes stored;
  };
  const std::string six("\x00\x11\x22\x33\x44\x55", 6);
  const std::vector<Case> cases = {
      {six, 0, 0, 0, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}},
      {six.substr(0, 4), 1, 0, 0, {0x00, 0x22}},
      {six.substr(0, 4), 1, 1, 0, {0x11, 0x33}},
      {six, 3, 1, 0, {0x11, 0x55}},
      {six, 3, 3, 0x40, {0x33}},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> buffer(kCodeBufferSize, 0xEE);
    const ParseResult r = PlaceImage(c.data, buffer, c.offset, c.mask, c.phase);
    EXPECT_EQ(r.status, ParseStatus::Ok);
    EXPECT_EQ(r.highest, c.offset + static_cast<std::int64_t>(c.stored.size()) - 1);
    EXPECT_EQ(Bytes(buffer.begin() + c.offset, buffer.begin() + c.offset + c.stored.size() + 1),
              [&] {
                Bytes b = c.stored;
                b.push_back(0xEE);
                return b;
              }())
        << c.mask << "/" << c.phase;
  }
}

TEST(ImagePlace, LongerThanTheBufferIsTooBig) {
  std::vector<std::uint8_t> buffer(kCodeBufferSize, 0xEE);
  const std::string exact(kCodeBufferSize, '\x5A');
  EXPECT_EQ(PlaceImage(exact, buffer, 0, 0, 0).status, ParseStatus::Ok);
  EXPECT_EQ(PlaceImage(exact + "x", buffer, 0, 0, 0).status, ParseStatus::TooBig);
  const ParseResult r = PlaceImage("abcd", buffer, 0x1000000, 0, 0);
  EXPECT_EQ(r.status, ParseStatus::TooBig);
  EXPECT_EQ(r.highest, 0x1000001);
  EXPECT_EQ(PlaceImage("abcdef", buffer, 0x1000000, 1, 0).status, ParseStatus::TooBig);
}

TEST(HexWriter, RecordsAndLinearBase) {
  std::vector<std::uint8_t> data(0x10021);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
  std::string out;
  WriteHexRecords(out, data, 32);
  const std::string first =
      ":20000000000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1FF0\r\n";
  EXPECT_EQ(out, first + ":0100200020BF\r\n:00000001FF");

  WriteHexRecords(out, data, 0x10020);
  const auto linear = out.find(":020000040001F9\r\n");
  ASSERT_NE(linear, std::string::npos);
  EXPECT_EQ(out.compare(linear + 17, 9, ":20000000"), 0);
  EXPECT_EQ(out.find(":02000004"), linear);  // only one, not before 0x10000
  std::vector<std::uint8_t> back(kCodeBufferSize, 0);
  const ParseResult r = ParseIntelHex(out, back, 0);
  EXPECT_EQ(r.status, ParseStatus::Ok);
  EXPECT_EQ(r.highest, 0x10020);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin()));
}

TEST(HexText, PairsAndNumbers) {
  EXPECT_EQ(HexPairToByte('a', 'F'), 0xAF);
  EXPECT_EQ(HexPairToByte('0', '9'), 0x09);
  EXPECT_EQ(ParseHexNumber("  1f zz"), 0x1Fu);
  EXPECT_EQ(ParseHexNumber("0x10"), 0x10u);
  EXPECT_FALSE(ParseHexNumber("zz"));
  EXPECT_GT(*ParseHexNumber("FFFFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(ChangeFileExt("/a.b/c", ".BIN"), "/a.b/c.BIN");
  EXPECT_EQ(ChangeFileExt("/a/c.hex", ".BIN"), "/a/c.BIN");
}

// The program's readers over files: the fill modes, the messages and the last address.
class ReadFiles : public BufferFixture {};

TEST_F(ReadFiles, FillModesApplyOnlyAfterTheFileOpens) {
  const std::string path = Write("a.hex", Hex(0, 0x10, {0x42}) + kEnd);
  for (const auto& [mode, outside] :
       std::vector<std::pair<int, int>>{{0, 0x5A}, {1, 0}, {2, 0xFF}}) {
    std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.end(), 0x5A);
    gApp.FillMode = mode;
    gApp.DataFileName = path;
    ASSERT_TRUE(ReadIntelHexFile());
    EXPECT_EQ(gApp.CodeBuffer[0x10], 0x42);
    EXPECT_EQ(gApp.CodeBuffer[0x11], outside) << mode;
    EXPECT_EQ(gApp.CodeBuffer[0x1000001], outside) << mode;
    EXPECT_EQ(gApp.LoadedLastAddress, 0x10);
  }
  gApp.DataFileName = (dir / "missing.hex").string();
  EXPECT_FALSE(ReadIntelHexFile());
  EXPECT_EQ(gApp.CodeBuffer[0x11], 0xFF);  // the last fill, untouched
  EXPECT_EQ(fake.boxes.back(), "Can not open the file! ");
}

TEST_F(ReadFiles, BadRecordNamesItsLineAndKeepsWhatCameBefore) {
  gApp.DataFileName = Write("bad.hex", Hex(0, 0, {1}) + ":0100010002FF\n" + Hex(0, 2, {3}));
  EXPECT_FALSE(ReadIntelHexFile()) << "not read whole";
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"bad format! line 2"});
  EXPECT_EQ(gApp.CodeBuffer[0], 1);
  EXPECT_EQ(gApp.CodeBuffer[1], 0xFF);
  EXPECT_EQ(gApp.CodeBuffer[2], 0xFF);
  EXPECT_EQ(gApp.LoadedLastAddress, 0);
  EXPECT_EQ(ui.showBufferCalls, 1);

  gApp.DataFileName = Write("big.s", S(2, 0xFFFFFF, {1, 2, 3, 4}));
  ChineseTexts = 1;
  EXPECT_FALSE(ReadSRecordFile());
  EXPECT_EQ(fake.boxes.back(), "文件太大!");
  EXPECT_EQ(gApp.LoadedLastAddress, 0x1000001);
}

TEST_F(ReadFiles, ImageLastAddressAndCodeSize) {
  gApp.CodeLastAddress = 0;
  gApp.LoadOffset = 0x10;
  gApp.DataFileName = Write("a.bin", std::string("\x01\x02\x03", 3));
  ASSERT_TRUE(ReadBinaryFile(0, 0));
  EXPECT_EQ(gApp.LoadedLastAddress, 0x12);
  EXPECT_EQ(gApp.CodeLastAddress, 0x12);
  gApp.DataFileName = Write("empty.bin", "");
  ASSERT_TRUE(ReadBinaryFile(0, 0));
  EXPECT_EQ(gApp.LoadedLastAddress, 0x0F);
}

TEST_F(ReadFiles, WritersSayWhenTheyCannotWrite) {
  gApp.CodeLastAddress = 3;
  gApp.CodeBuffer[0] = 0x12;
  gApp.DataFileName = (dir / "out.bin").string();
  ASSERT_TRUE(WriteBinaryFile());
  EXPECT_EQ(Read(gApp.DataFileName), std::string("\x12\xFF\xFF\xFF", 4));
  gApp.DataFileName = (dir / "no" / "out.hex").string();
  EXPECT_FALSE(WriteIntelHexFile());
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"Can not create the file! "});
}

}  // namespace buffer_readers_test
}  // namespace zelvar::test
