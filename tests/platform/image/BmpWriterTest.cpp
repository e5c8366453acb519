#include <gtest/gtest.h>

#include "platform/image/BmpWriter.h"
#include "platform/image/Image.h"

namespace tge::image {
namespace {

TEST(ImageBmpWriter, WrittenBitmapReadsBackWithTheSameRowsAndColours) {
  Image image;
  image.width = 3;
  image.height = 2;
  for (std::uint8_t i = 0; i < 24; ++i) image.pixels.push_back(i % 4 == 3 ? 255 : std::uint8_t(i * 10));
  const std::vector<std::uint8_t> bytes = EncodeBmp(image);
  Image read;
  std::string error;
  ASSERT_TRUE(DecodeImage(bytes, read, error)) << error;
  EXPECT_EQ(read.width, 3u);
  EXPECT_EQ(read.height, 2u);
  EXPECT_EQ(read.pixels, image.pixels);
}

TEST(ImageBmpWriter, ImageWithoutEnoughPixelsWritesNothing) {
  Image image;
  EXPECT_TRUE(EncodeBmp(image).empty());
  image.width = image.height = 2;
  image.pixels.resize(12);
  EXPECT_TRUE(EncodeBmp(image).empty());
}

}  // namespace
}  // namespace tge::image
