#include "app/core/buffer/HexText.h"

#include <algorithm>
#include <cctype>

namespace zelvar {

std::uint8_t HexPairToByte(char high, char low) {
  const int h = HexDigitValue(high);
  const int l = HexDigitValue(low);
  return static_cast<std::uint8_t>((h < 0 ? 0 : h) * 16 + (l < 0 ? 0 : l));
}

std::optional<std::uint64_t> ParseHexNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      HexDigitValue(text[i + 2]) >= 0)
    i += 2;
  if (i >= text.size() || HexDigitValue(text[i]) < 0) return std::nullopt;
  std::uint64_t value = 0;
  for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i) {
    value = std::min<std::uint64_t>(value * 16 + HexDigitValue(text[i]), 0x1FFFFFFFFull);
  }
  return value;
}

std::string FileExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(dot);
}

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  return path.substr(0, path.size() - FileExtension(path).size()) + ext;
}

}  // namespace zelvar
