#include "app/core/buffer/BufferTools.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/core/buffer/HexText.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar {
namespace {

std::optional<std::int64_t> ToolAddress(const std::string& text) {
  const auto v = ParseHexNumber(text);
  if (!v || *v > static_cast<std::uint64_t>(kMaxToolAddress)) return std::nullopt;
  return static_cast<std::int64_t>(*v);
}

// Both ends of a tool range, or a message and none.
bool ToolRange(const std::string& startText, const std::string& endText, std::int64_t& start,
               std::int64_t& end) {
  const auto s = ToolAddress(startText);
  const auto e = ToolAddress(endText);
  if (!s || !e) {
    ShowMessageText("Out of range!");
    return false;
  }
  start = *s;
  end = *e;
  return true;
}

}  // namespace

std::string AsciiToHexText(const std::string& ascii) {
  std::string out;
  char pair[4];
  for (std::size_t i = 0; i < ascii.size() && i < kMaxPattern; ++i) {
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(ascii[i]));
    out += pair;
  }
  return out;
}

std::vector<std::uint8_t> HexTextToBytes(const std::string& hex) {
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 1 < hex.size() && out.size() < kMaxPattern; i += 2) {
    const int h = HexDigitValue(hex[i]);
    const int l = HexDigitValue(hex[i + 1]);
    out.push_back(static_cast<std::uint8_t>(h < 0 ? 0 : l < 0 ? h : h * 16 + l));
  }
  return out;
}

std::string BytesToAsciiText(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  for (const std::uint8_t b : bytes) out += b >= 32 && b <= 127 ? static_cast<char>(b) : '.';
  return out;
}

std::optional<std::int64_t> FindNext(const std::vector<std::uint8_t>& pattern) {
  if (pattern.empty()) return std::nullopt;
  const auto& buf = gApp.CodeBuffer;
  const auto n = static_cast<std::int64_t>(std::min(pattern.size(), kMaxPattern));
  const std::int64_t limit = std::min<std::int64_t>(gApp.CodeLastAddress,  // start offsets below
                                                    static_cast<std::int64_t>(buf.size()) - n + 1);
  const std::int64_t from = std::max<std::int64_t>(gApp.SearchCursor, 0);
  if (from < limit) {
    const auto first = buf.begin() + from;
    const auto stop = buf.begin() + limit + n - 1;  // the last compared byte stays in the buffer
    const auto hit = std::search(first, stop, pattern.begin(), pattern.begin() + n);
    if (hit != stop) {
      const std::int64_t at = hit - buf.begin();
      gApp.SearchCursor = static_cast<std::int32_t>(at + n);
      return at;
    }
  }
  gApp.SearchCursor = 0;
  ShowMessageText("Not find!*没有找到!");
  return std::nullopt;
}

bool FillRange(const std::string& startText, const std::string& endText,
               const std::string& valueText) {
  std::int64_t start = 0;
  std::int64_t end = 0;
  if (!ToolRange(startText, endText, start, end)) return false;
  const auto value = ParseHexNumber(valueText);
  if (!value || start > end) return true;
  std::fill(gApp.CodeBuffer.begin() + start, gApp.CodeBuffer.begin() + end + 1,
            static_cast<std::uint8_t>(*value & 0xFF));
  gApp.ProjectModified |= 1;
  return true;
}

void ClearViewRange() {
  // The range is clamped to the buffer: a view range past its end must not write beyond it.
  const auto size = static_cast<std::int64_t>(gApp.CodeBuffer.size());
  const std::int64_t from = std::clamp<std::int64_t>(gApp.ViewRange.start, 0, size);
  const std::int64_t to = std::clamp<std::int64_t>(gApp.ViewRange.end, from, size);
  std::fill(gApp.CodeBuffer.begin() + from, gApp.CodeBuffer.begin() + to, std::uint8_t{0xFF});
  gApp.ProjectModified |= 1;
}

std::optional<std::string> SumRange(const std::string& startText, const std::string& endText) {
  std::int64_t start = 0;
  std::int64_t end = 0;
  if (!ToolRange(startText, endText, start, end)) return std::nullopt;
  std::uint32_t sum = 0;
  for (std::int64_t i = start; i <= end; ++i) sum += gApp.CodeBuffer[static_cast<std::size_t>(i)];
  char text[8];
  std::snprintf(text, sizeof text, "%04X", sum & 0xFFFF);
  return std::string(text);
}

void AcceptThreeNumbers(ThreeNumbers& n, const std::string& start, const std::string& end,
                        const std::string& value) {
  auto take = [](const std::string& text, std::uint32_t& field, std::uint64_t limit) {
    if (const auto v = ParseHexNumber(text))
      field = static_cast<std::uint32_t>(std::min(*v, limit));
  };
  take(start, n.start, kMaxToolAddress);
  take(end, n.end, kMaxToolAddress);
  take(value, n.value, 0xFFFFFFFF);
  n.accepted = 1;
}

NumberTexts NumberToTexts(std::uint32_t value) {
  NumberTexts t;
  char text[64];
  std::snprintf(text, sizeof text, "%x", value);
  t.hex = text;
  std::snprintf(text, sizeof text, "%d", static_cast<std::int32_t>(value));
  t.decimal = text;
  for (int bit = 15; bit >= 0; --bit) t.binary += (value >> bit & 1) ? '1' : '0';
  if (t.binary.compare(0, 8, "00000000") == 0) t.binary.erase(0, 8);
  std::snprintf(text, sizeof text, "%f", static_cast<double>(std::bit_cast<float>(value)));
  t.single = text;
  return t;
}

std::optional<std::uint32_t> TextToNumber(int field, const std::string& full) {
  const std::string text = full.substr(0, 16);
  if (field == 0 || field == 1) {
    const auto v = ParseHexNumber(text);
    if (!v) return std::nullopt;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(*v, 0xFFFFFFFF));
  }
  if (field == 2) {
    char* endp = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &endp, 10);
    if (endp == text.c_str()) return std::nullopt;
    return static_cast<std::uint32_t>(
        static_cast<std::int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)));
  }
  if (field == 3) {
    std::uint32_t v = 0;
    for (const char c : text) v = v << 1 | (c == '1' ? 1u : 0u);
    return v;
  }
  if (field == 4) {
    char* endp = nullptr;
    const float f = std::strtof(text.c_str(), &endp);
    if (endp == text.c_str()) return std::nullopt;
    return std::bit_cast<std::uint32_t>(f);
  }
  return std::nullopt;
}

std::string ConfigItemValue(const std::string& descriptor, const std::string& key) {
  const auto at = descriptor.find(key);
  if (key.empty() || at == std::string::npos) return "0";
  const auto from = at + key.size();
  return descriptor.substr(from, descriptor.find(',', from) - from);
}

}  // namespace zelvar
