#include "ui/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
// After <cstdio>, which it needs.
#include <jpeglib.h>

namespace norvane {

namespace {

// libjpeg's default error handler ends the process; ours jumps back out.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void onError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void silence(j_common_ptr, int) {}

// Only plain data between setjmp and longjmp: no destructor is skipped.
bool decodeInto(const std::uint8_t* data, std::size_t size, RgbImage& out) {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onError;
  errors.base.emit_message = silence;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const std::size_t stride = static_cast<std::size_t>(info.output_width) * 3;
  if (info.output_components != 3 || out.rgb.max_size() / stride < info.output_height) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  out.width = static_cast<int>(info.output_width);
  out.height = static_cast<int>(info.output_height);
  out.rgb.resize(stride * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.rgb.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::optional<RgbImage> decodeJpeg(std::span<const std::uint8_t> data) {
  if (data.empty()) return std::nullopt;
  RgbImage image;
  if (!decodeInto(data.data(), data.size(), image)) return std::nullopt;
  return image;
}

}  // namespace norvane
