#include "algorithms/memory/JtagRows.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace zelvar::memory {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int ImageBit(std::span<const std::uint8_t> image, int bit) {
  const auto byte = static_cast<std::size_t>(bit / 8);
  return byte < image.size() ? (image[byte] >> (bit % 8)) & 1 : 0;
}

}  // namespace

bool HexTextToBits(std::string_view text, std::span<std::uint8_t> out, int bits) {
  if (bits <= 0) return false;
  const std::size_t bytes = static_cast<std::size_t>((bits + 7) / 8);
  if (text.size() != 2 * bytes || out.size() < bytes) return false;
  for (char c : text) {
    if (HexDigit(c) < 0) return false;
  }
  for (std::size_t i = 0; i < bytes; ++i) {
    const std::size_t at = text.size() - 2 * (i + 1);
    out[i] = static_cast<std::uint8_t>(HexDigit(text[at]) * 16 + HexDigit(text[at + 1]));
  }
  return true;
}

bool HexDigitsToBits(std::string_view text, std::span<std::uint8_t> out, int bits) {
  if (bits <= 0) return false;
  const std::size_t digits = static_cast<std::size_t>((bits + 3) / 4);
  const std::size_t bytes = static_cast<std::size_t>((bits + 7) / 8);
  if (text.size() < digits || out.size() < bytes) return false;
  for (char c : text) {
    if (HexDigit(c) < 0) return false;
  }
  // Leading digits beyond the register's give no bit.
  text.remove_prefix(text.size() - digits);
  // The first digit holds the highest bits; bits beyond the register must be clear.
  if (const int spare = static_cast<int>(digits) * 4 - bits;
      spare > 0 && (HexDigit(text[0]) >> (4 - spare)) != 0)
    return false;
  std::fill_n(out.begin(), bytes, std::uint8_t{0});
  for (std::size_t d = 0; d < digits; ++d) {
    const int v = HexDigit(text[digits - 1 - d]);
    out[d / 2] |= static_cast<std::uint8_t>(d % 2 ? v << 4 : v);
  }
  return true;
}

int ParseJedecField(std::string_view line, int groups, int width, std::span<std::uint8_t> out) {
  if (groups <= 0 || width <= 0 || width > 8 || groups * 8 > kMaxJtagRowBits) return 0;
  if (out.size() < static_cast<std::size_t>(groups) + 1) return 0;
  if (line.size() < 2 || line[0] != 'L') return 0;
  // The fuse groups start after the blank that ends the "L" number.
  std::size_t at = line.find(' ');
  if (at == std::string_view::npos) return 0;
  ++at;
  std::vector<std::uint8_t> slots;
  int fuses = 0;
  bool closed = false;
  std::uint8_t slot = 0;
  for (; at < line.size() && !closed; ++at) {
    const char c = line[at];
    if (c == ' ' || c == '*') {
      if (fuses != width || static_cast<int>(slots.size()) == groups) return 0;
      slots.push_back(slot);
      slot = 0;
      fuses = 0;
      closed = c == '*';
    } else if (c == '0' || c == '1') {
      if (fuses == width) return 0;
      if (c == '1') slot |= static_cast<std::uint8_t>(1 << fuses);
      ++fuses;
    } else {
      return 0;
    }
  }
  if (!closed || static_cast<int>(slots.size()) != groups) return 0;
  // Slots from bit 2 on, behind the two control bits (which stay clear).
  for (int i = 0; i <= groups; ++i) out[static_cast<std::size_t>(i)] = 0;
  for (int i = 0; i < groups; ++i) {
    const unsigned v = static_cast<unsigned>(slots[static_cast<std::size_t>(i)]) << 2;
    out[static_cast<std::size_t>(i)] |= static_cast<std::uint8_t>(v & 0xFF);
    out[static_cast<std::size_t>(i) + 1] |= static_cast<std::uint8_t>(v >> 8);
  }
  return groups;
}

std::string JedecFuseLine(std::span<const std::uint8_t> image, int fuse, int width, int groups) {
  char head[16];
  std::snprintf(head, sizeof head, "L%07d ", fuse);
  std::string line = head;
  for (int g = 0; g < groups; ++g) {
    for (int b = 0; b < width; ++b) line += ImageBit(image, 8 * g + 2 + b) ? '1' : '0';
    line += g + 1 < groups ? ' ' : '*';
  }
  return line;
}

}  // namespace zelvar::memory
