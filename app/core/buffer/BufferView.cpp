#include "app/core/buffer/BufferView.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "app/core/buffer/HexText.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// The label takes the row's first 9 columns; the one seven-digit label (the buffer's last row)
// gives up a blank so that the bytes keep their columns.
void PutLabel(std::string& row, std::int64_t label, bool wide) {
  char text[16];
  std::snprintf(text, sizeof text,
                wide ? "%06X:  " : "  %04X:  ", static_cast<unsigned>(label & 0xFFFFFFFF));
  row.replace(0, 9, text, 9);
}

bool HasByte(std::span<const std::uint8_t> buffer, std::int64_t i) {
  return i >= 0 && i < static_cast<std::int64_t>(buffer.size());
}

}  // namespace

std::string ByteRowText(std::span<const std::uint8_t> buffer, std::int64_t offset) {
  std::string row(75, ' ');
  PutLabel(row, offset, offset >= 0x10000);
  for (int k = 0; k < kRowBytes; ++k) {
    if (!HasByte(buffer, offset + k)) continue;
    const std::uint8_t b = buffer[static_cast<std::size_t>(offset + k)];
    row[kHexColumn + 3 * k] = kHex[b >> 4];
    row[kHexColumn + 3 * k + 1] = kHex[b & 15];
    row[kCharColumn + k] = DumpChar(b);
  }
  return row;
}

std::string WordRowText(std::span<const std::uint8_t> buffer, std::int64_t offset) {
  std::string row(67, ' ');
  PutLabel(row, offset / 2, offset >= 0x10000);
  for (int w = 0; w < 8; ++w) {
    const std::int64_t lo = offset + 2 * w;
    if (!HasByte(buffer, lo)) continue;  // a range that starts before the buffer
    if (!HasByte(buffer, lo + 1)) break;
    const unsigned word =
        buffer[static_cast<std::size_t>(lo)] | buffer[static_cast<std::size_t>(lo + 1)] << 8;
    for (int d = 0; d < 4; ++d) row[kHexColumn + 5 * w + d] = kHex[word >> (12 - 4 * d) & 15];
  }
  for (int k = 0; k < kRowBytes; ++k) {
    if (HasByte(buffer, offset + k))
      row[51 + k] = DumpChar(buffer[static_cast<std::size_t>(offset + k)]);
  }
  return row;
}

std::vector<std::string> PageRows(std::span<const std::uint8_t> buffer, std::int64_t start,
                                  std::int64_t end, bool words) {
  std::vector<std::string> rows;
  for (std::int64_t at = start; at < start + kPageBytes && at < end; at += kRowBytes)
    rows.push_back(words ? WordRowText(buffer, at) : ByteRowText(buffer, at));
  return rows;
}

int ByteDigitColumn(bool words, int k) {
  // In a word the odd byte is the high one and stands first.
  return words ? kHexColumn + 5 * (k / 2) + (k % 2 ? 0 : 2) : kHexColumn + 3 * k;
}

namespace {
// The code range the view starts from: the chip's size, or the last load while no chip gives one.
AppState::Range CodeViewRange() {
  return {0, gApp.InfoRecord[0] < 1 ? gApp.LoadedLastAddress : gApp.InfoRecord[0]};
}
// The data area as InfoRecord words 1 and 2 give it, added without overflow and kept inside the
// buffer.
AppState::Range DataAreaRange() {
  const std::int64_t start = gApp.InfoRecord[1];
  const std::int64_t end = std::min<std::int64_t>(start + gApp.InfoRecord[2], kCodeBufferSize);
  return {gApp.InfoRecord[1], static_cast<std::int32_t>(std::max(start, end))};
}
}  // namespace

std::vector<std::string> PrepareHexView() {
  gApp.ViewRange = CodeViewRange();
  return PageRows(gApp.CodeBuffer, gApp.ViewRange.start, gApp.ViewRange.end,
                  IsWordView(gApp.InfoRecord[3]));
}

PageAction PageKey(ViewKey key, int caretLine, int lineCount) {
  auto& range = gApp.ViewRange;
  if ((key == ViewKey::Down || key == ViewKey::PageDown) && caretLine >= lineCount - 1 &&
      range.start < range.end) {
    range.start += kPageBytes;
    return PageAction::AppendNext;
  }
  if ((key == ViewKey::Up || key == ViewKey::PageUp) && caretLine == 0 &&
      range.start >= kPageBytes) {
    range.start -= kPageBytes;
    return PageAction::ShowPrevious;
  }
  if (key == ViewKey::Home) {
    range = CodeViewRange();
    return PageAction::Redraw;
  }
  if (key == ViewKey::End && gApp.InfoRecord[1] > 0) {
    range = DataAreaRange();
    return PageAction::Redraw;
  }
  return PageAction::None;
}

ByteEdit EditRowDigit(const std::string& row, int column, char typed) {
  ByteEdit e;
  const char digit = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
  if (HexDigitValue(digit) < 0 || column < kHexColumn || column > kLastHexColumn) return e;
  if (static_cast<int>(row.size()) < kCharColumn + kRowBytes) return e;
  if (row[static_cast<std::size_t>(column)] == ' ') ++column;
  const int k = (column - kHexColumn) / 3;
  const int first = kHexColumn + 3 * k;
  const auto colon = row.find(':');
  const auto label = ParseHexNumber(row.substr(0, colon));
  if (colon == std::string::npos || !label) return e;

  e.row = row;
  e.row[static_cast<std::size_t>(column)] = digit;
  const char high = e.row[static_cast<std::size_t>(first)];
  const char low = e.row[static_cast<std::size_t>(first + 1)];
  if (HexDigitValue(high) < 0 || HexDigitValue(low) < 0) return ByteEdit{};
  e.value = HexPairToByte(high, low);
  e.address = static_cast<std::int64_t>(*label) + k;
  e.digitColumn = column;
  e.charColumn = kCharColumn + k;
  // After an edit a blank counts as a non-printing byte.
  e.row[static_cast<std::size_t>(e.charColumn)] =
      e.value >= 33 && e.value <= 127 ? static_cast<char>(e.value) : '.';
  e.applied = e.address >= 0 && e.address < static_cast<std::int64_t>(gApp.CodeBuffer.size());
  return e;
}

bool CommitByteEdit(const ByteEdit& edit) {
  if (!edit.applied) return false;
  gApp.CodeBuffer[static_cast<std::size_t>(edit.address)] = edit.value;
  gApp.ProjectModified |= 1;
  return true;
}

ChecksumLine ShowBufferChecksum() {
  ChecksumLine line;
  const int kind = gApp.InfoRecord[3];
  if (kind >= 1 && kind <= 7) return line;
  if (gApp.CodeLastAddress < 1) gApp.CodeLastAddress = 65535;
  const auto last = std::min<std::size_t>(static_cast<std::size_t>(gApp.CodeLastAddress),
                                          gApp.CodeBuffer.size() - 1);
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i <= last; ++i) sum += gApp.CodeBuffer[i];
  gApp.BufferSum = sum;
  char text[96];
  std::snprintf(text, sizeof text, "Code from 0000 to %05X,Sum=%04X",
                static_cast<unsigned>(gApp.CodeLastAddress), sum & 0xFFFF);
  line.codeLabel = text;
  const auto& info = gApp.InfoRecord;
  if (info[1] >= 1 && info[2] >= 2) {
    std::snprintf(text, sizeof text, "Data from %05X to %05X", static_cast<unsigned>(info[1]),
                  static_cast<unsigned>(static_cast<std::int64_t>(info[1]) + info[2] - 1));
    line.dataLabel = text;
  }
  line.shown = true;
  line.sum = sum;
  return line;
}

std::optional<std::int64_t> GoToOffset(const std::string& text, bool words) {
  const auto value = ParseHexNumber(text);
  const std::uint64_t offset = value ? (words ? *value * 2 : *value) : 0;
  if (!value || offset >= kCodeBufferSize || (words && *value >= kCodeBufferSize)) {
    ShowMessageText("Out of range!");
    return std::nullopt;
  }
  return static_cast<std::int64_t>(offset);
}

ViewScroll ScrollOf(const AppState::Range& area, std::int64_t first) {
  const std::int64_t rows = (std::int64_t{area.end} - area.start + kRowBytes) / kRowBytes;
  const std::int64_t maximum = std::max<std::int64_t>(0, rows - kPageBytes / kRowBytes);
  const std::int64_t value = std::clamp<std::int64_t>((first - area.start) / kRowBytes, 0, maximum);
  return {static_cast<int>(maximum), static_cast<int>(value)};
}

void ViewCodeArea() {
  gApp.ViewRange = {0, gApp.CodeLastAddress};
}

bool ViewDataArea() {
  if (gApp.InfoRecord[1] < 1) {
    ShowMessageText("This chip has not data segment! *这个芯片没有数据段!");
    return false;
  }
  gApp.ViewRange = DataAreaRange();
  return true;
}

}  // namespace zelvar
