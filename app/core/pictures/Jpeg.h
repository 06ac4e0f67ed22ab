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

// nullopt when the data is not a JPEG picture that libjpeg can decode.
std::optional<RgbImage> DecodeJpeg(const std::uint8_t* data, std::size_t size);
std::optional<RgbImage> DecodeJpegFile(const std::string& path);

}  // namespace zelvar
