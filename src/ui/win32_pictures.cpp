#include "ui/win32_pictures.h"

#include <cstring>

#include "ui/jpeg_image.h"

namespace norvane {

HBITMAP loadJpegResource(int resourceId) {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
  if (found == nullptr) return nullptr;
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found)));
  const auto image = decodeJpeg({data, SizeofResource(nullptr, found)});
  if (!image) return nullptr;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image->width;
  info.bmiHeader.biHeight = -image->height;  // top row first, as decoded
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  // DIB rows are blue-green-red and padded to four bytes.
  const std::size_t stride = (static_cast<std::size_t>(image->width) * 3 + 3) & ~std::size_t{3};
  auto* out = static_cast<std::uint8_t*>(bits);
  for (int y = 0; y < image->height; ++y) {
    const std::uint8_t* from = image->rgb.data() + static_cast<std::size_t>(y) * image->width * 3;
    std::uint8_t* to = out + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < image->width; ++x) {
      to[x * 3] = from[x * 3 + 2];
      to[x * 3 + 1] = from[x * 3 + 1];
      to[x * 3 + 2] = from[x * 3];
    }
  }
  return bitmap;
}

}  // namespace norvane
