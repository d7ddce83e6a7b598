#include "ui/jpeg_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "support/platform.h"

namespace norvane {
namespace {

std::optional<RgbImage> decodeAsset(const std::string& name) {
  const std::string bytes = testing::readWholeFile(testing::assetPath(name));
  return decodeJpeg({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

std::array<int, 3> pixel(const RgbImage& image, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                          static_cast<std::size_t>(x)) *
                         3;
  return {image.rgb[at], image.rgb[at + 1], image.rgb[at + 2]};
}

TEST(JpegImage, WelcomePictureHasItsButtonAndWhiteRightSide) {
  const auto image = decodeAsset("welcome.jpg");
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 448);
  EXPECT_EQ(image->height, 320);
  // Where the labels sit the picture is white.
  for (int y = 0; y < 320; y += 7) {
    for (int x = 176; x < 448; x += 5) {
      const auto p = pixel(*image, x, y);
      ASSERT_GE(std::min({p[0], p[1], p[2]}), 245) << x << "," << y;
    }
  }
  // The drawn button lies under the transparent link: x 31 to 143, y 287 to 319.
  const auto inside = pixel(*image, 35, 290);
  const auto outside = pixel(*image, 27, 290);
  EXPECT_GT(inside[0] - inside[2], 100) << "the button is orange";
  EXPECT_LT(outside[0] - outside[2], 60) << "left of it is background";
}

TEST(JpegImage, HeaderPicture) {
  const auto image = decodeAsset("header.jpg");
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 448);
  EXPECT_EQ(image->height, 42);
}

TEST(JpegImage, NotAJpegGivesNothing) {
  for (const std::string& bad : {std::string(), std::string("not a picture"),
                                 std::string("\xFF\xD8\xFF\xE0 truncated", 14)}) {
    EXPECT_FALSE(
        decodeJpeg({reinterpret_cast<const std::uint8_t*>(bad.data()), bad.size()}).has_value());
  }
}

}  // namespace
}  // namespace norvane
