#include "app/core/describe/DescribeText.h"

#include <algorithm>
#include <charconv>

namespace zelvar {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

bool StartsWith(std::string_view entry, std::string_view prefix) {
  return entry.substr(0, prefix.size()) == prefix;
}

bool IsSectionBreak(const std::string& entry) {
  return entry.empty() || entry[0] == '$';
}

int ListEnd(const ChipUiList& list) {
  const int n = static_cast<int>(std::min<std::size_t>(list.size(), kChipUiListSize));
  for (int i = 0; i < n; ++i) {
    if (StartsWith(list[i], "$end")) return i;
  }
  return n;
}

int FindSection(const ChipUiList& list, std::string_view marker) {
  const int end = ListEnd(list);
  for (int i = 0; i < end; ++i) {
    if (StartsWith(list[i], marker)) return i;
  }
  return -1;
}

std::string DescriptorItem(std::string_view entry, std::string_view key) {
  const auto at = entry.find(key);
  if (at == std::string_view::npos) return "0";
  const auto from = at + key.size();
  const auto comma = entry.find(',', from);
  return std::string(
      entry.substr(from, comma == std::string_view::npos ? entry.npos : comma - from));
}

std::int32_t ParseNumber(std::string_view text) {
  text = Trim(text);
  int base = 10;
  if (StartsWith(text, "0x") || StartsWith(text, "0X")) {
    text.remove_prefix(2);
    base = 16;
  } else if (StartsWith(text, "$")) {
    text.remove_prefix(1);
    base = 16;
  }
  if (text.empty()) return 0;
  if (base == 16) {
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size()) return 0;
    return static_cast<std::int32_t>(value);
  }
  std::int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (ec != std::errc() || end != text.data() + text.size()) return 0;
  return value;
}

std::uint32_t ParseHexWord(std::string_view text) {
  text = Trim(text);
  if (text.size() > 2 && (StartsWith(text, "0x") || StartsWith(text, "0X")) &&
      IsHexDigit(text[2])) {
    text.remove_prefix(2);
  }
  std::uint32_t value = 0;
  for (const char c : text) {
    if (!IsHexDigit(c)) break;
    const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = value * 16 + static_cast<std::uint32_t>(digit);  // wraps as "%x" into 32 bits
  }
  return value;
}

}  // namespace zelvar
