// The hex view's rows, pages, paging keys and byte editing, the checksum line, and the tools:
// find, fill and sum, the three-number dialog and the number converter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/buffer/BufferTools.h"
#include "app/core/buffer/BufferView.h"
#include "buffer/BufferFixture.h"

namespace zelvar::test {
namespace buffer_view_test {

class HexViewModel : public BufferFixture {
 protected:
  void SetUp() override {
    BufferFixture::SetUp();
    for (int i = 0; i < 16; ++i) gApp.CodeBuffer[i] = static_cast<std::uint8_t>(0x7A + i);
  }
};

TEST_F(HexViewModel, ByteRows) {
  const std::string row = ByteRowText(gApp.CodeBuffer, 0);
  EXPECT_EQ(row,
            "  0000:  7A 7B 7C 7D 7E 7F 80 81 82 83 84 85 86 87 88 89   z{|}~\x7f.........."
            "");
  EXPECT_EQ(row.size(), 75u);
  gApp.CodeBuffer[0x10000] = 0x20;
  gApp.CodeBuffer[0x10001] = 0x1F;
  const std::string high = ByteRowText(gApp.CodeBuffer, 0x10000);
  EXPECT_EQ(high.substr(0, 15), "010000:  20 1F ");
  EXPECT_EQ(high.substr(59, 3), " ..");
  // The last row of the buffer holds two bytes; the rest stays blank and the row keeps its width.
  const std::string last = ByteRowText(gApp.CodeBuffer, 0x1000000);
  EXPECT_EQ(last.substr(0, 18), "1000000: 00 00    ");  // beyond 64 KiB the buffer starts at 0
  EXPECT_EQ(last.size(), 75u);
}

TEST_F(HexViewModel, WordRows) {
  const std::string row = WordRowText(gApp.CodeBuffer, 0);
  EXPECT_EQ(row, "  0000:  7B7A 7D7C 7F7E 8180 8382 8584 8786 8988   z{|}~\x7f..........");
  EXPECT_EQ(row.size(), 67u);
  EXPECT_EQ(WordRowText(gApp.CodeBuffer, 0x10000).substr(0, 9), "008000:  ");
  EXPECT_EQ(WordRowText(gApp.CodeBuffer, 0xFFF0).substr(0, 9), "  7FF8:  ");
  // A range that starts before the buffer reads nothing outside it.
  EXPECT_EQ(WordRowText(gApp.CodeBuffer, -1).size(), 67u);
  EXPECT_EQ(ByteDigitColumn(true, 0), 11);  // the even byte is the low half of the word
  EXPECT_EQ(ByteDigitColumn(true, 1), 9);
  EXPECT_EQ(ByteDigitColumn(false, 15), 54);
}

TEST_F(HexViewModel, PagesAndShowBufferRange) {
  EXPECT_EQ(PageRows(gApp.CodeBuffer, 0, 0x7FFF, false).size(), 16u);
  const auto tail = PageRows(gApp.CodeBuffer, 0x7F00, 0x7FFF, false);
  EXPECT_EQ(tail.back().substr(0, 7), "  7FF0:");
  EXPECT_EQ(PageRows(gApp.CodeBuffer, 0, 0x30, false).size(), 3u);

  gApp.LoadedLastAddress = 0x1F;
  EXPECT_EQ(PrepareHexView().size(), 2u);  // no chip: up to the last loaded address
  gApp.InfoRecord[0] = 0xFFFF;
  gApp.InfoRecord[3] = 16;
  const auto rows = PrepareHexView();
  EXPECT_EQ(rows.size(), 16u);
  EXPECT_EQ(rows[0].size(), 67u);
  EXPECT_EQ(gApp.ViewRange.end, 0xFFFF);
}

TEST_F(HexViewModel, PagingKeys) {
  gApp.InfoRecord[0] = 0xFFFF;
  gApp.InfoRecord[1] = 0x10000;
  gApp.InfoRecord[2] = 0x100;
  gApp.ViewRange = {0, 0xFFFF};
  EXPECT_EQ(PageKey(ViewKey::Down, 14, 16), PageAction::None);
  EXPECT_EQ(PageKey(ViewKey::Down, 15, 16), PageAction::AppendNext);
  EXPECT_EQ(gApp.ViewRange.start, 256);
  EXPECT_EQ(PageKey(ViewKey::Up, 1, 32), PageAction::None);
  EXPECT_EQ(PageKey(ViewKey::PageUp, 0, 32), PageAction::ShowPrevious);
  EXPECT_EQ(gApp.ViewRange.start, 0);
  EXPECT_EQ(PageKey(ViewKey::Up, 0, 16), PageAction::None);
  EXPECT_EQ(PageKey(ViewKey::End, 3, 16), PageAction::Redraw);
  EXPECT_EQ(gApp.ViewRange.start, 0x10000);
  EXPECT_EQ(gApp.ViewRange.end, 0x10100);
  EXPECT_EQ(PageKey(ViewKey::Home, 3, 16), PageAction::Redraw);
  EXPECT_EQ(gApp.ViewRange.end, 0xFFFF);
  gApp.ViewRange = {0x100, 0x100};  // at the end: no further page
  EXPECT_EQ(PageKey(ViewKey::PageDown, 0, 1), PageAction::None);
  gApp.InfoRecord[0] = 0;  // no chip: Home goes back to what was loaded
  gApp.LoadedLastAddress = 0x3FF;
  PageKey(ViewKey::Home, 0, 1);
  EXPECT_EQ(gApp.ViewRange.end, 0x3FF);
}

TEST_F(HexViewModel, ByteEditingOnRows) {
  const std::string row = ByteRowText(gApp.CodeBuffer, 0x120);
  struct Case {
    int column;
    char typed;
    bool applied;
    int digitColumn;
    std::int64_t address;
    int value;
    char shown;
  };
  // Row 0x120 holds FF everywhere.
  const std::vector<Case> cases = {
      {9, '4', true, 9, 0x120, 0x4F, 'O'},   {10, 'a', true, 10, 0x120, 0xFA, '.'},
      {11, '2', true, 12, 0x121, 0x2F, '/'},  // the gap after byte 0: next byte's first digit
      {20, '0', true, 21, 0x124, 0x0F, '.'},  // the gap after byte 3 lands on byte 4
      {55, '7', true, 55, 0x12F, 0xF7, '.'}, {12, 'G', false, 0, 0, 0, 0},
      {8, '1', false, 0, 0, 0, 0},           {56, '1', false, 0, 0, 0, 0},
      {59, '1', false, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const ByteEdit e = EditRowDigit(row, c.column, c.typed);
    EXPECT_EQ(e.applied, c.applied) << c.column;
    if (!c.applied) continue;
    EXPECT_EQ(e.digitColumn, c.digitColumn) << c.column;
    EXPECT_EQ(e.address, c.address) << c.column;
    EXPECT_EQ(e.value, c.value) << c.column;
    EXPECT_EQ(e.row[static_cast<std::size_t>(e.charColumn)], c.shown) << c.column;
    EXPECT_EQ(e.row.substr(0, 9), row.substr(0, 9));
  }
  // A typed byte of 0x20 shows as '.'.
  const ByteEdit space = EditRowDigit(EditRowDigit(row, 9, '2').row, 10, '0');
  EXPECT_EQ(space.value, 0x20);
  EXPECT_EQ(space.row[59], '.');
  ASSERT_TRUE(CommitByteEdit(space));
  EXPECT_EQ(gApp.CodeBuffer[0x120], 0x20);
  EXPECT_EQ(gApp.ProjectModified & 1, 1);
  // Six-digit labels parse too.
  EXPECT_EQ(EditRowDigit(ByteRowText(gApp.CodeBuffer, 0xFFFFF0), 54, '1').address, 0xFFFFFF);
}

TEST_F(HexViewModel, ChecksumLine) {
  gApp.CodeLastAddress = 0;
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x10000, 0xFF);
  ChecksumLine line = ShowBufferChecksum();
  EXPECT_EQ(gApp.CodeLastAddress, 65535);
  EXPECT_EQ(line.sum, 0xFFu * 0x10000);
  EXPECT_EQ(line.codeLabel, "Code from 0000 to 0FFFF,Sum=0000");
  EXPECT_EQ(line.dataLabel, "");
  gApp.InfoRecord[1] = 0x2000;
  gApp.InfoRecord[2] = 0x100;
  EXPECT_EQ(ShowBufferChecksum().dataLabel, "Data from 02000 to 020FF");
  gApp.InfoRecord[3] = 2;
  EXPECT_FALSE(ShowBufferChecksum().shown);
  gApp.InfoRecord[3] = 0;
  gApp.CodeLastAddress = 0x7FFFFFFF;  // never summed past the buffer
  EXPECT_TRUE(ShowBufferChecksum().shown);
}

TEST_F(HexViewModel, DataAreaView) {
  EXPECT_FALSE(ViewDataArea());
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"This chip has not data segment! "});
  gApp.InfoRecord[1] = 0x800;
  gApp.InfoRecord[2] = 0x80;
  EXPECT_TRUE(ViewDataArea());
  EXPECT_EQ(gApp.ViewRange.end, 0x880);
  // Words that overflow when added give a range that ends inside the buffer.
  gApp.InfoRecord[1] = 0x7FFFFFF0;
  gApp.InfoRecord[2] = 0x7FFFFFF0;
  EXPECT_TRUE(ViewDataArea());
  EXPECT_GE(gApp.ViewRange.end, gApp.ViewRange.start);
  EXPECT_TRUE(ShowBufferChecksum().shown);
}

class Tools : public BufferFixture {};

TEST_F(Tools, FindTwiceThenMissThenFindAgain) {
  gApp.CodeBuffer[0x345] = 0x41;
  gApp.CodeBuffer[0x346] = 0x42;
  EXPECT_EQ(AsciiToHexText("AB"), "4142");
  const auto pattern = HexTextToBytes("414");  // the odd last digit is ignored
  EXPECT_EQ(pattern, (std::vector<std::uint8_t>{0x41}));
  const auto ab = HexTextToBytes(AsciiToHexText("AB"));
  EXPECT_EQ(BytesToAsciiText({0x41, 0x1F, 0x7F, 0x80}), "A.\x7f.");

  EXPECT_EQ(FindNext(ab), 0x345);
  EXPECT_EQ(gApp.SearchCursor, 0x347);
  EXPECT_FALSE(FindNext(ab));
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"Not find!"});
  EXPECT_EQ(gApp.SearchCursor, 0);
  EXPECT_EQ(FindNext(ab), 0x345);
}

TEST_F(Tools, FindStaysInsideTheBuffer) {
  gApp.CodeLastAddress = 0x7FFFFFFF;
  gApp.CodeBuffer[0x1000000] = 0x11;
  gApp.CodeBuffer[0x1000001] = 0x22;
  EXPECT_EQ(FindNext({0x11, 0x22}), 0x1000000);
  EXPECT_FALSE(FindNext({0x22, 0xFF}));  // would run past the end
  EXPECT_EQ(HexTextToBytes(std::string(700, 'A')).size(), 300u);
  EXPECT_EQ(AsciiToHexText(std::string(400, 'a')).size(), 600u);
  // Start offsets stay below CodeLastAddress.
  gApp.CodeLastAddress = 0x345;
  gApp.CodeBuffer[0x345] = 0x99;
  EXPECT_FALSE(FindNext({0x99}));
}

TEST_F(Tools, FillAndSum) {
  EXPECT_EQ(SumRange("0000", "0001"), "01FE");
  EXPECT_TRUE(FillRange("10", "1f", "1A5"));
  EXPECT_EQ(gApp.CodeBuffer[0x0F], 0xFF);
  EXPECT_EQ(gApp.CodeBuffer[0x10], 0xA5);
  EXPECT_EQ(gApp.CodeBuffer[0x1F], 0xA5);
  EXPECT_EQ(gApp.CodeBuffer[0x20], 0xFF);
  EXPECT_EQ(SumRange("10", "11"), "014A");
  EXPECT_EQ(SumRange("11", "10"), "0000");
  EXPECT_TRUE(FillRange("11", "10", "00"));
  EXPECT_EQ(gApp.CodeBuffer[0x10], 0xA5);
  EXPECT_TRUE(FillRange("FFFFFF", "FFFFFF", "0"));
  EXPECT_EQ(gApp.CodeBuffer[0xFFFFFF], 0);
  for (const auto& [s, e] : std::vector<std::pair<std::string, std::string>>{
           {"0", "1000000"}, {"0", "FFFFFFFF"}, {"x", "10"}}) {
    EXPECT_FALSE(FillRange(s, e, "00")) << e;
    EXPECT_FALSE(SumRange(s, e)) << e;
  }
  EXPECT_EQ(fake.boxes.size(), 6u);
  EXPECT_EQ(fake.boxes[0], "Out of range!");
}

TEST(ConfigItem, ValuesByKey) {
  const std::string d = "n=Watchdog,v=1,a=3,b=12";
  EXPECT_EQ(ConfigItemValue(d, "n="), "Watchdog");
  EXPECT_EQ(ConfigItemValue(d, "b="), "12");
  EXPECT_EQ(ConfigItemValue(d, "c="), "0");
  EXPECT_EQ(ConfigItemValue("n=,v=1", "n="), "");
}

TEST_F(Tools, ThreeNumbersAndConverter) {
  ThreeNumbers n;
  AcceptThreeNumbers(n, "12", "2000000", "ff");
  EXPECT_EQ(n.start, 0x12u);
  EXPECT_EQ(n.end, 0xFFFFFFu);
  EXPECT_EQ(n.value, 0xFFu);
  EXPECT_EQ(n.accepted, 1);

  const NumberTexts t = NumberToTexts(0x3F800000);
  EXPECT_EQ(t.hex, "3f800000");
  EXPECT_EQ(t.decimal, "1065353216");
  EXPECT_EQ(t.binary, "00000000");
  EXPECT_EQ(t.single, "1.000000");
  EXPECT_EQ(NumberToTexts(0x1A5).binary, "0000000110100101");
  EXPECT_EQ(NumberToTexts(0xFFFFFFFF).decimal, "-1");
  EXPECT_EQ(TextToNumber(1, "ff"), 0xFFu);
  EXPECT_EQ(TextToNumber(2, "-2"), 0xFFFFFFFEu);
  EXPECT_EQ(TextToNumber(3, "101"), 5u);
  EXPECT_EQ(TextToNumber(4, "1.0"), 0x3F800000u);
  EXPECT_FALSE(TextToNumber(2, "x"));
}

}  // namespace buffer_view_test
}  // namespace zelvar::test
