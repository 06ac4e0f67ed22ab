#pragma once
// JPEG pictures decoded with libjpeg-turbo into 8-bit RGB.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelvar {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3, rows top to bottom
};

// The largest picture decoded (16 Mpixel, 48 MiB of RGB); the program's pictures are far smaller.
inline constexpr std::uint64_t kMaxJpegPixels = 4096ull * 4096ull;

// nullopt when the data is not a JPEG picture that libjpeg can decode, or is larger than
// kMaxJpegPixels.
std::optional<RgbImage> DecodeJpeg(const std::uint8_t* data, std::size_t size);
std::optional<RgbImage> DecodeJpegFile(const std::string& path);

}  // namespace zelvar
