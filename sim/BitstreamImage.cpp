#include "sim/BitstreamImage.h"

#include <algorithm>

namespace zelvar::sim {

namespace {
constexpr std::string_view kMagic = "\xFFZBIT1 ";
constexpr std::string_view kEnd = "\nEND\n";
}  // namespace

BitstreamImage ParseBitstream(const std::vector<std::uint8_t>& data) {
  BitstreamImage image;
  const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
  if (!text.starts_with(kMagic)) return image;
  const auto lineEnd = text.find('\n', kMagic.size());
  if (lineEnd == std::string_view::npos) return image;
  image.tag = std::string(text.substr(kMagic.size(), lineEnd - kMagic.size()));
  const auto end = text.find(kEnd, lineEnd);
  if (end == std::string_view::npos) return image;
  const auto rest = text.substr(end + kEnd.size());
  image.whole = std::all_of(rest.begin(), rest.end(), [](char c) { return c == 0; });
  return image;
}

std::vector<std::uint8_t> MakeStandInBitstream(std::string_view tag) {
  std::string text = "Zelvar stand-in bitstream\n";
  text += kMagic;
  text += tag;
  text += kEnd;
  return {text.begin(), text.end()};
}

}  // namespace zelvar::sim
