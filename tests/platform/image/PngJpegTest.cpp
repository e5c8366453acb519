#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include "platform/image/Image.h"

namespace tge::image {
namespace {

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

// An RGBA PNG of the given size whose pixel (x, y) is (x * 40, y * 40, 200, 100 + x).
std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendPng, nullptr);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<std::uint8_t> row(width * 4);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      row[x * 4 + 0] = std::uint8_t(x * 40);
      row[x * 4 + 1] = std::uint8_t(y * 40);
      row[x * 4 + 2] = 200;
      row[x * 4 + 3] = std::uint8_t(100 + x);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A JPEG of one colour: the pixel's components in the given colour space.
std::vector<std::uint8_t> EncodeJpeg(std::uint32_t width, std::uint32_t height,
                                     std::initializer_list<std::uint8_t> pixel, J_COLOR_SPACE space = JCS_RGB) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = int(pixel.size());
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row;
  for (std::uint32_t x = 0; x < width; ++x) row.insert(row.end(), pixel);
  while (info.next_scanline < height) {
    JSAMPROW rowPointer = row.data();
    jpeg_write_scanlines(&info, &rowPointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

TEST(ImagePng, DecodesToBlueGreenRedAlpha) {
  const std::vector<std::uint8_t> file = EncodePng(3, 2);
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeImage(file, image, error)) << error;
  ASSERT_EQ(image.width, 3u);
  ASSERT_EQ(image.height, 2u);
  const std::uint8_t* p = &image.pixels[(1 * 3 + 2) * 4];  // pixel (2, 1)
  EXPECT_EQ(p[0], 200);
  EXPECT_EQ(p[1], 40);
  EXPECT_EQ(p[2], 80);
  EXPECT_EQ(p[3], 102);
}

TEST(ImagePng, DamagedFilesAreRefusedWithoutEndingTheProcess) {
  std::vector<std::uint8_t> file = EncodePng(8, 8);
  Image image;
  std::string error;
  const std::vector<std::uint8_t> truncated(file.begin(), file.begin() + std::ptrdiff_t(file.size() / 2));
  EXPECT_FALSE(DecodeImage(truncated, image, error));
  EXPECT_EQ(error.rfind("PNG: ", 0), 0u) << error;
  EXPECT_TRUE(image.pixels.empty());

  file[20] ^= 0xFF;  // inside the header chunk: its CRC no longer matches
  EXPECT_FALSE(DecodePng(file, image, error));

  std::vector<std::uint8_t> huge = EncodePng(1, 1);
  huge[16] = 0x7F;  // width 0x7F000001, CRC not fixed: refused either way
  EXPECT_FALSE(DecodePng(huge, image, error));
}

TEST(ImageJpeg, DecodesAndRefusesDamagedFiles) {
  const std::vector<std::uint8_t> file = EncodeJpeg(16, 8, {250, 20, 10});
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeImage(file, image, error)) << error;
  ASSERT_EQ(image.width, 16u);
  ASSERT_EQ(image.height, 8u);
  const std::uint8_t* p = &image.pixels[(4 * 16 + 7) * 4];
  EXPECT_NEAR(p[0], 10, 6);
  EXPECT_NEAR(p[1], 20, 6);
  EXPECT_NEAR(p[2], 250, 6);
  EXPECT_EQ(p[3], 255);

  const std::vector<std::uint8_t> header(file.begin(), file.begin() + 40);
  EXPECT_FALSE(DecodeImage(header, image, error));
  EXPECT_EQ(error.rfind("JPEG: ", 0), 0u) << error;
  EXPECT_TRUE(image.pixels.empty());
  const std::vector<std::uint8_t> garbage = {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3, 4};
  EXPECT_FALSE(DecodeJpeg(garbage, image, error));
}

// libjpeg writes CMYK with an Adobe marker and the inks as given; like the
// tools that write such files, the inks are stored inverted (255 = none).
TEST(ImageJpeg, CmykBecomesColour) {
  const std::vector<std::uint8_t> file = EncodeJpeg(8, 8, {250, 20, 10, 255}, JCS_CMYK);
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeImage(file, image, error)) << error;
  const std::uint8_t* p = &image.pixels[(3 * 8 + 3) * 4];
  EXPECT_NEAR(p[0], 10, 6);
  EXPECT_NEAR(p[1], 20, 6);
  EXPECT_NEAR(p[2], 250, 6);
  EXPECT_EQ(p[3], 255);
}

}  // namespace
}  // namespace tge::image
