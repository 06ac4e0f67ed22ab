#include "app/core/catalogue/ChipParams.h"

#include <cctype>
#include <cstdint>
#include <utility>

#include "services/AppState.h"

namespace zelvar {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Up to two hex digits at `pos`; missing or non-hex digits end the byte early.
std::uint8_t HexByteAt(std::string_view text, std::size_t pos) {
  int value = 0;
  for (std::size_t i = pos; i < pos + 2 && i < text.size(); ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) break;
    value = value * 16 + d;
  }
  return static_cast<std::uint8_t>(value);
}

std::uint32_t ReadHex(std::string_view s) {
  std::uint32_t v = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) break;
    v = v * 16 + static_cast<std::uint32_t>(d);
  }
  return v;
}

// Signed decimal as a C library read: leading blanks, a sign, digits; saturates at int range.
std::uint32_t ReadDecimal(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  std::int64_t v = 0;
  for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > INT32_MAX) v = INT32_MAX + std::int64_t{1};
  }
  if (negative) v = -v;
  if (v > INT32_MAX) v = INT32_MAX;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
}

}  // namespace

std::optional<ParameterHead> ParseParameterHead(std::string_view text) {
  const auto blank = text.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  ParameterHead head;
  head.key = std::string(text.substr(0, blank));
  for (std::size_t i = blank + 1;
       i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    head.typeIndex = head.typeIndex * 10 + (text[i] - '0');
    if (head.typeIndex > 1000000) break;  // no table is near this long
  }
  const auto hash = text.find('#', blank + 1);
  if (hash != std::string_view::npos) {
    for (std::size_t b = 0; b < head.expectedId.size(); ++b) {
      head.expectedId[b] = HexByteAt(text, hash + 1 + 3 * b);
    }
  }
  return head;
}

std::uint32_t ParameterValue(std::string_view text, std::string_view key) {
  if (key.empty()) return 0;
  const auto at = text.find(key);
  if (at == std::string_view::npos) return 0;
  const auto eq = text.find('=', at);
  if (eq == std::string_view::npos) return 0;
  const std::string_view value = text.substr(eq + 1);
  if (value.size() >= 2 && value[1] == 'x') return ReadHex(value.substr(2));
  return ReadDecimal(value);
}

std::uint32_t ChipParam(std::string_view key) {
  return ParameterValue(gApp.ParameterString, key);
}

int ChipNameContains(std::string_view text) {
  const auto at = std::string_view(gApp.ChipTitle).find(text);
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::optional<std::string> AdapterLabelFor(std::string_view parameters, std::string_view title) {
  static constexpr std::string_view kAdapterItem = "adp=";
  static constexpr std::size_t kAdapterTextMax = 15;
  if (const auto at = parameters.find(kAdapterItem); at != std::string_view::npos) {
    // The adapter's name is one word: it ends at a blank, a control character or the 15th.
    std::string label;
    for (std::size_t i = at + kAdapterItem.size();
         i < parameters.size() && label.size() < kAdapterTextMax; ++i) {
      const auto c = static_cast<unsigned char>(parameters[i]);
      if (c <= 32 || c >= 127) break;
      label.push_back(static_cast<char>(c));
    }
    return label;
  }
  static constexpr std::pair<std::string_view, std::string_view> kPackages[] = {
      {"*P44", "QAD-UNIV-44"},     {"*Q44", "QAD-UNIV-44TQ"},     {"48TSOP", "QAD-UNIV-48TS"},
      {"40TSOP", "QAD-UNIV-40TS"}, {"44P", "QAD-UNIV-44P"},       {"44PS", "QAD-UNIV-44PS"},
      {"32TSOP", "QAD-UNIV-32TS"}, {"32PLCC", "QAD-UNIV-32PLCC"},
  };
  std::optional<std::string> label;
  for (const auto& [code, text] : kPackages) {
    if (title.find(code) != std::string_view::npos) label = std::string(text);
  }
  return label;
}

}  // namespace zelvar
