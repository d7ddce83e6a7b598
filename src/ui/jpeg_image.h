// Decoding the window's JPEG pictures with libjpeg.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace norvane {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // top row first, 3 bytes a pixel, no padding
};

// Nothing for data that is not a JPEG libjpeg can read; never aborts.
std::optional<RgbImage> decodeJpeg(std::span<const std::uint8_t> data);

}  // namespace norvane
