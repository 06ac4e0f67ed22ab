#include "app/core/pictures/Jpeg.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace zelvar {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

// libjpeg's default handler calls exit(); a damaged picture must not end the program.
[[noreturn]] void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void SilenceJpegMessage(j_common_ptr) {}

// Decodes into `out`, which the caller owns, so that nothing with a destructor lives between
// setjmp and longjmp here. False on any libjpeg error.
bool DecodeInto(const std::uint8_t* data, std::size_t size, RgbImage& out) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnJpegError;
  errors.base.output_message = SilenceJpegMessage;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  // A header may claim any size up to 65535 x 65535: refused before anything is allocated for it.
  if (static_cast<std::uint64_t>(info.image_width) * info.image_height > kMaxJpegPixels) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  out.width = static_cast<int>(info.output_width);
  out.height = static_cast<int>(info.output_height);
  out.rgb.assign(static_cast<std::size_t>(out.width) * out.height * 3, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.rgb.data() + static_cast<std::size_t>(info.output_scanline) * out.width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::optional<RgbImage> DecodeJpeg(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0) return std::nullopt;
  RgbImage image;
  if (!DecodeInto(data, size, image)) return std::nullopt;
  return image;
}

std::optional<RgbImage> DecodeJpegFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  return DecodeJpeg(bytes.data(), bytes.size());
}

}  // namespace zelvar
