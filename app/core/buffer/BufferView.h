#pragma once
// The hex view's model: the row texts of the 8-bit and 16-bit views, the page that is drawn, the
// paging keys, byte editing on a row and the checksum line. Positions are a line of the view and
// a column in that line.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "services/AppState.h"

namespace zelvar {

inline constexpr int kRowBytes = 16;
inline constexpr int kPageBytes = 256;
inline constexpr int kHexColumn = 9;    // first digit of byte 0 in an 8-bit row
inline constexpr int kCharColumn = 59;  // character of byte 0 in an 8-bit row
inline constexpr int kLastHexColumn = 55;

// The view kind (InfoRecord word 3): 1 to 3 are the PLD and SVF windows, 16 the 16-bit view.
inline bool IsWordView(int viewKind) {
  return viewKind == 16;
}
inline bool IsWindowView(int viewKind) {
  return viewKind >= 1 && viewKind <= 3;
}

// The character that stands for a byte in the dump: 0x20..0x7F as itself, others as '.'.
inline char DumpChar(std::uint8_t b) {
  return b >= 0x20 && b <= 0x7F ? static_cast<char>(b) : '.';
}

// The 75-character row of 16 bytes from `offset`; bytes past the buffer's end stay blank.
std::string ByteRowText(std::span<const std::uint8_t> buffer, std::int64_t offset);
// The 67-character row of 8 little-endian words from `offset`, labelled with the word address.
std::string WordRowText(std::span<const std::uint8_t> buffer, std::int64_t offset);

// The rows of one page: from `start` in steps of 16 while below start + 256 and below `end`.
std::vector<std::string> PageRows(std::span<const std::uint8_t> buffer, std::int64_t start,
                                  std::int64_t end, bool words);

// The column of the first hex digit of byte k (0..15) of a row in either view.
int ByteDigitColumn(bool words, int k);

// ShowBuffer's choice of range for the hex views: 0 .. InfoRecord word 0, or 0 .. the last loaded
// address while no chip gives a size. Returns the rows of the first page.
std::vector<std::string> PrepareHexView();

enum class ViewKey { Down, PageDown, Up, PageUp, Home, End, Other };
enum class PageAction { None, AppendNext, ShowPrevious, Redraw };
// The paging keys on the caret's line of a view of `lineCount` lines. Changes `ViewRange`;
// AppendNext: add the page at the new start below the rows shown; ShowPrevious: redraw and put
// the caret three lines further down; Redraw: redraw from the new start.
PageAction PageKey(ViewKey key, int caretLine, int lineCount);

// One typed character on an 8-bit row at `column`. When the column is the blank after a byte,
// the digit lands on the next byte's first digit.
struct ByteEdit {
  bool applied = false;
  std::string row;           // the row with the digit and the byte's character replaced
  int digitColumn = 0;       // where the digit landed
  int charColumn = 0;        // the byte's character column
  std::int64_t address = 0;  // the byte's buffer index
  std::uint8_t value = 0;
};
ByteEdit EditRowDigit(const std::string& row, int column, char typed);
// Stores an applied edit into CodeBuffer and marks the buffer modified; false when not stored.
bool CommitByteEdit(const ByteEdit& edit);

// The checksum line under the view.
struct ChecksumLine {
  bool shown = false;  // false for the PLD views: the labels keep their texts
  std::uint32_t sum = 0;
  std::string codeLabel;
  std::string dataLabel;
};
ChecksumLine ShowBufferChecksum();

// "Go to address": the buffer offset of a typed hexadecimal address (a word address in the 16-bit
// view). "Out of range!" and none when the text is no number or lies past the buffer.
std::optional<std::int64_t> GoToOffset(const std::string& text, bool words);

// The view's scroll bar over `area` in rows of 16 bytes: its maximum (the last page's first row)
// and the value of the row at buffer offset `first`.
struct ViewScroll {
  int maximum = 0;
  int value = 0;
};
ViewScroll ScrollOf(const AppState::Range& area, std::int64_t first);

// The code area (0 .. CodeLastAddress) and the data area (InfoRecord words 1 .. 1 + 2); the data
// view says so and returns false when the chip has none.
void ViewCodeArea();
bool ViewDataArea();

}  // namespace zelvar
