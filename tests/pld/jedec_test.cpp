// The JEDEC reader and writer of the small-PLD fuse map, the large-PLD text unpacking, and the
// hand-over of JEDEC files from the buffer files and the project file.
#include "services/Jedec.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/core/buffer/BufferFiles.h"
#include "app/core/pld/PldFiles.h"
#include "buffer/BufferFixture.h"
#include "services/PldDocuments.h"

namespace zelvar::test {
namespace jedec_test {

class Jedec : public BufferFixture {
 protected:
  // A GAL16V8 geometry: 32 rows of 64 array fuses and 6 rows more (2240 fuses).
  FuseMapDocument Gal16() {
    FuseMapDocument d;
    d.rowLength = 32;
    d.rowCount = 64;
    return d;
  }
  static std::string Fuses(int from, int count) {
    return std::string(gApp.CodeBuffer.begin() + from, gApp.CodeBuffer.begin() + from + count);
  }
};

// Hand-written after the JEDEC standard: STX, the design field, notes, Q, F, L, V and C fields.
TEST_F(Jedec, ReaderTakesFusesOnlyFromLFields) {
  struct Case {
    const char* name;
    std::string text;
    std::string first12;  // fuses 0..11 after reading
    int fuseCount;
  };
  const std::vector<Case> cases = {
      {"plain", "\x02GAL16V8*\nQF2194*\nL0000 0101*\nL0008 11*\nC0000*\x03", "010100001100", 10},
      {"default fuse 1", "x*\nF1*\nL0004 00*\n", "111100111111", 6},
      {"note with digits", "x*\nN note 1010 0101*\nL0002 1*\n", "001000000000", 3},
      {"test vectors are not fuses", "x*\nL0000 1*\nV0001 0011NN*\nG0*\n", "100000000000", 1},
      {"stops at C", "x*\nL0000 1*\nC0001*\nL0001 1*\n", "100000000000", 1},
      {"blanks inside L", "x*\nL0000 1 1\n 1*\n", "111000000000", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FuseMapDocument d = Gal16();
    std::fill_n(gApp.CodeBuffer.begin(), 20, 'X');
    ASSERT_TRUE(ReadGalJedecText(c.text, d, gApp.CodeBuffer));
    EXPECT_EQ(Fuses(0, 12), c.first12);
    EXPECT_EQ(d.fuseCount, c.fuseCount);
    EXPECT_TRUE(d.loaded);
  }
}

TEST_F(Jedec, ReaderRefusesFusesBeyondTheMapAndKeepsTheBuffer) {
  const std::vector<std::string> bad = {
      "x*\nL2240 1*\n",         // first fuse past the 2240-fuse map
      "x*\nL2239 11*\n",        // runs past its end
      "x*\nL65535 1*\n",        // the old limit
      "x*\nL99999999999 1*\n",  // more digits than a number holds
      "x*\nL 1*\n",             // no number
      "x*\nL0000 1X1*\n",       // not a fuse
  };
  for (const std::string& text : bad) {
    SCOPED_TRACE(text);
    FuseMapDocument d = Gal16();
    gApp.CodeBuffer[0] = 'K';
    EXPECT_FALSE(ReadGalJedecText(text, d, gApp.CodeBuffer));
    EXPECT_EQ(gApp.CodeBuffer[0], 'K');
    EXPECT_FALSE(d.loaded);
  }
}

TEST_F(Jedec, UnreadableAndBadFilesSaySo) {
  FuseMapDocument d = Gal16();
  EXPECT_FALSE(ReadGalJedec((dir / "none.jed").string(), d, gApp.CodeBuffer));
  EXPECT_FALSE(ReadGalJedec(Write("bad.jed", "x*\nL9000 1*\n"), d, gApp.CodeBuffer));
  EXPECT_EQ(fake.boxes,
            (std::vector<std::string>{"Can not open the file!", "JEDEC file format error!"}));
}

TEST_F(Jedec, FuseChecksumIsTheStandardSum) {
  // Bytes 0xFF, 0x00, 0x01 (fuse 16 alone in bit 0), and a partial last byte 0x05.
  const std::string f =
      "11111111"
      "00000000"
      "10000000"
      "101";
  std::vector<std::uint8_t> map(f.begin(), f.end());
  EXPECT_EQ(JedecFuseChecksum(map, 24), 0x0100);
  EXPECT_EQ(JedecFuseChecksum(map, 27), 0x0105);
  EXPECT_EQ(JedecFuseChecksum(map, 100), 0x0105);  // never past the map
}

TEST_F(Jedec, WriterWritesAStandardTransferOfThePartsFuses) {
  FuseMapDocument d;
  d.rowLength = 44;
  d.rowCount = 132;  // a 22V10: 5808 array fuses, 20 S0/S1 and 64 signature fuses
  for (int k = 0; k < d.MapFuses(); ++k) gApp.CodeBuffer[k] = (k * 7 % 5 == 0) ? '1' : '0';
  const std::string text = GalJedecText(d, gApp.CodeBuffer);
  EXPECT_TRUE(text.starts_with("\x02GAL22V10\nVerin*\nQP24*\nQF5892*\nF0*\nL0000 \n"))
      << text.substr(0, 60);
  const auto l = text.find("L0000 \n") + 7;
  const auto star = text.find('*', l);
  const std::string body = text.substr(l, star - l);
  EXPECT_EQ(std::count(body.begin(), body.end(), '1') + std::count(body.begin(), body.end(), '0'),
            5892);  // no padding past the part's fuses
  char tail[32];
  std::snprintf(tail, sizeof tail, "*\nC%04X*\n\x03", JedecFuseChecksum(gApp.CodeBuffer, 5892));
  const auto etx = text.find('\x03');
  ASSERT_NE(etx, std::string::npos);
  EXPECT_EQ(text.substr(0, etx + 1).substr(etx + 1 - std::strlen(tail)), tail);
  // The transmission checksum: the 16-bit sum of STX .. ETX, four digits after ETX.
  unsigned sum = 0;
  for (std::size_t i = 0; i <= etx; ++i) sum += static_cast<unsigned char>(text[i]);
  char transmission[8];
  std::snprintf(transmission, sizeof transmission, "%04X", sum & 0xFFFF);
  EXPECT_EQ(text.substr(etx + 1), transmission);

  // Read back into a cleared map: the same fuses, and the file's own QF and C.
  const std::vector<std::uint8_t> before(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 5892);
  std::fill_n(gApp.CodeBuffer.begin(), 6072, '1');
  FuseMapDocument back = d;
  ASSERT_TRUE(ReadGalJedecText(text, back, gApp.CodeBuffer));
  EXPECT_EQ(back.fuseCount, 5892);
  EXPECT_EQ(back.fileFuses, 5892);
  EXPECT_EQ(back.fileChecksum, JedecFuseChecksum(gApp.CodeBuffer, 5892));
  EXPECT_TRUE(std::equal(before.begin(), before.end(), gApp.CodeBuffer.begin()));
}

// A GAL16V8 file as other tools write it (QF2194, C over all 2194 fuses): the window shows that
// checksum and count; a C the fuses do not give is logged; a QF larger than the part is refused.
TEST_F(Jedec, FileChecksumAndFuseCountAsTheFileHasThem) {
  std::string fuses(2194, '0');
  for (int k = 0; k < 2194; k += 3) fuses[static_cast<std::size_t>(k)] = '1';
  std::vector<std::uint8_t> asMap(fuses.begin(), fuses.end());
  char c[16];
  std::snprintf(c, sizeof c, "C%04X*", JedecFuseChecksum(asMap, 2194));
  const std::string good =
      "\x02GAL16V8*\nQP20*\nQF2194*\nF0*\nL0000 " + fuses + "*\n" + c + "\n\x03";
  gPld.fuse = Gal16();
  ASSERT_TRUE(ReadGalJedec(Write("good.jed", good), gPld.fuse, gApp.CodeBuffer));
  EXPECT_EQ(gPld.fuse.fileFuses, 2194);
  ShowFuseRows();
  char shown[8];
  std::snprintf(shown, sizeof shown, "%04x", gPld.fuse.fileChecksum);
  EXPECT_EQ(FuseWindowChecksum(), shown);
  EXPECT_EQ(FuseWindowCount(), "2194");
  EXPECT_TRUE(fake.log.empty());

  std::string wrong = good;
  wrong.replace(wrong.find("\nC") + 2, 4, "0000");
  ASSERT_TRUE(ReadGalJedec(Write("wrong.jed", wrong), gPld.fuse, gApp.CodeBuffer));
  ASSERT_EQ(fake.log.size(), 1u);
  EXPECT_TRUE(fake.log[0].text.starts_with("Warning: the file's fuse checksum is 0000"))
      << fake.log[0].text;

  FuseMapDocument d = Gal16();
  EXPECT_FALSE(ReadGalJedecText("x*\nQF5892*\nL0000 1*\n", d, gApp.CodeBuffer));
}

TEST_F(Jedec, FuseRowsCaretAndEditing) {
  gPld.fuse = Gal16();
  std::fill_n(gApp.CodeBuffer.begin(), 2240, '0');
  gApp.CodeBuffer[33] = '1';
  const auto lines = ShowFuseRows();
  ASSERT_EQ(lines.size(), 70u);
  EXPECT_EQ(gPld.fuse.fuseCount, 2240);
  EXPECT_EQ(lines[1].substr(0, 8), "L0032 01");
  EXPECT_EQ(FuseCaretText(1, 7), "33 ");
  EXPECT_EQ(FuseCaretText(1, 5), "");
  EXPECT_EQ(FuseCaretText(1, 38), "");  // past the row's 32 fuses
  EXPECT_TRUE(TypeFuse(2, 6, '1'));
  EXPECT_EQ(gApp.CodeBuffer[64], '1');
  EXPECT_FALSE(TypeFuse(2, 6, 'x'));
  gPld.fuse.readOnly = true;
  EXPECT_FALSE(TypeFuse(2, 7, '1'));
}

TEST_F(Jedec, LargePldTextPacksByLanesSkippingNotesAndVectors) {
  JedecTextDocument d;
  d.lines = {"header*", "L0000 1000 0001*", "N note 1111", "V0001 1111*", "L0008 1111 0000*",
             "C1234",   "L0016 1111*"};
  std::vector<std::uint8_t> out(kJedecPackedMax, 0xAA);
  EXPECT_EQ(ReadJedecText(d, out, 1), 2);
  EXPECT_EQ(out[0], 0x81);
  EXPECT_EQ(out[1], 0x0F);
  EXPECT_EQ(out[2], 0x00);
  EXPECT_EQ(d.result, "Lines:2,Len:0002,Sum:0090");
  EXPECT_EQ(d.firstFuseLine, 1);
  EXPECT_EQ(d.blanks, 2);
  // Two lanes: byte 0 holds the even fuses 0..14, byte 1 the odd ones.
  EXPECT_EQ(ReadJedecText(d, out, 2), 2);
  EXPECT_EQ(out[0], 0x31);  // fuses 0,8,10 -> bits 0,4,5
  EXPECT_EQ(out[1], 0x38);  // fuses 7,9,11 -> bits 3,4,5
}

TEST_F(Jedec, LargePldTextLimits) {
  JedecTextDocument none;
  none.lines = {"N only a note"};
  std::vector<std::uint8_t> out(kJedecPackedMax);
  EXPECT_EQ(ReadJedecText(none, out, 1), 0);
  JedecTextDocument longLine;
  longLine.lines = {"L0000 " + std::string(1200, '1')};
  EXPECT_EQ(ReadJedecText(longLine, out, 1), 0);
  JedecTextDocument tooBig;
  tooBig.lines = {"L0000 1"};
  for (int i = 0; i < 600; ++i) tooBig.lines.push_back("L " + std::string(999, '0'));
  EXPECT_EQ(ReadJedecText(tooBig, out, 1), 0);  // 599,400 fuses: more than the text can hold
  std::vector<std::uint8_t> small(1);
  JedecTextDocument twoBytes;
  twoBytes.lines = {"L0000 1111111111*"};
  EXPECT_EQ(ReadJedecText(twoBytes, small, 1), 0);  // never past the output
  EXPECT_EQ(fake.boxes.size(), 4u);
}

TEST_F(Jedec, ReadBackTextUnpacksToTheSameRows) {
  // 5 rows of 13 fuses, 2 bytes a row.
  const int rows = 5, rowLength = 13;
  std::vector<std::uint8_t> data(rows * 2);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<std::uint8_t>((i * 37 + 11) & (i % 2 ? 0x1F : 0xFF));
  JedecTextDocument d;
  d.lines = {"old text"};
  WriteJedecText(d, data.data(), rowLength, rows);
  EXPECT_EQ(d.lines.size(), 1u + 13 + 1);  // the old text is replaced
  EXPECT_EQ(d.lines[2].substr(0, 8), "L000005 ");
  std::vector<std::uint8_t> out(kJedecPackedMax);
  EXPECT_EQ(ReadJedecText(d, out, rows), rowLength);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
}

TEST_F(Jedec, HandOverLoadsAndSavesTheFuseMap) {
  gApp.InfoRecord[3] = 1;
  gPld.fuse = Gal16();
  const std::string path = Write("a.jed", "GAL16V8*\nF0*\nL0000 1*\nL0040 11*\nC0000*\n");
  LoadBufferFile(path, 0);
  EXPECT_EQ(ui.events.back(), "jedec:1:" + path);
  EXPECT_EQ(gApp.CodeBuffer[0], '1');
  EXPECT_EQ(gApp.CodeBuffer[41], '1');
  EXPECT_EQ(gApp.CodeBuffer[42], '0');
  ASSERT_TRUE(SaveBuffer((dir / "out.txt").string(), 3));
  const std::string saved = Read((dir / "out.JED").string());
  FuseMapDocument back = Gal16();
  std::fill_n(gApp.CodeBuffer.begin(), 2240, '0');
  ASSERT_TRUE(ReadGalJedecText(saved, back, gApp.CodeBuffer));
  EXPECT_EQ(gApp.CodeBuffer[41], '1');
  EXPECT_EQ(back.fuseCount, 2194);  // the GAL16V8's fuses, not the map's spare room
}

TEST_F(Jedec, LargePldTextIsLoadedAndSavedWhole) {
  gApp.InfoRecord[3] = 2;
  const std::string path = Write("x.jed", "N x*\nL000000 0101*\nC0002\n");
  LoadBufferFile(path, 0);
  EXPECT_EQ(gPld.jedec.lines, (std::vector<std::string>{"N x*", "L000000 0101*", "C0002"}));
  ASSERT_TRUE(SaveBuffer((dir / "y").string(), 3));
  EXPECT_EQ(Read((dir / "y.JED").string()), "N x*\nL000000 0101*\nC0002\n");
}

}  // namespace jedec_test
}  // namespace zelvar::test
