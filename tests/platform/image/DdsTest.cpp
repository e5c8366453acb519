#include <gtest/gtest.h>

#include "platform/image/Image.h"
#include "tests/platform/image/ImageFixtures.h"

namespace tge::image {
namespace {

using test::Bytes;
using test::DdsHeader;

constexpr std::uint32_t kFourCc = 0x4, kRgb = 0x40, kAlpha = 0x1;

std::uint32_t Pixel(const Image& image, std::uint32_t x, std::uint32_t y, std::uint32_t face = 0) {
  const std::uint8_t* p = &image.pixels[face * image.FaceBytes() + (std::size_t(y) * image.width + x) * 4];
  return std::uint32_t(p[0] | p[1] << 8 | p[2] << 16) | std::uint32_t(p[3]) << 24;
}

// Colour block: c0 pure red, c1 pure blue; rows of indices 0, 1, 2, 3.
void RedBlueBlock(Bytes& b, bool c0Larger = true) {
  const std::uint16_t red = 0xF800, blue = 0x001F;
  b.U16(c0Larger ? red : blue).U16(c0Larger ? blue : red);
  for (int row = 0; row < 4; ++row) b.U8(0xE4);  // indices 0,1,2,3 from the left
}

TEST(ImageDds, Dxt1BlocksWithInterpolatedAndTransparentEntries) {
  Bytes b = DdsHeader(4, 4, 1, kFourCc, "DXT1", 0, {0, 0, 0, 0});
  RedBlueBlock(b);
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeImage(b.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(image, 1, 3), 0xFF0000FFu);
  EXPECT_EQ(Pixel(image, 2, 0), 0xFFAA0055u);  // 2/3 red + 1/3 blue
  EXPECT_EQ(Pixel(image, 3, 0), 0xFF5500AAu);

  Bytes transparent = DdsHeader(4, 4, 1, kFourCc, "DXT1", 0, {0, 0, 0, 0});
  RedBlueBlock(transparent, false);  // c0 < c1: three colours and transparent black
  ASSERT_TRUE(DecodeDds(transparent.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 2, 0), 0xFF7F007Fu);
  EXPECT_EQ(Pixel(image, 3, 0), 0x00000000u);
}

TEST(ImageDds, Dxt3AndDxt5Alpha) {
  Bytes dxt3 = DdsHeader(4, 4, 1, kFourCc, "DXT3", 0, {0, 0, 0, 0});
  dxt3.U32(0x0000F0F0).U32(0x00000000);  // alphas: 0, 15, 0, 15 in the first row (nibbles)
  RedBlueBlock(dxt3);
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeDds(dxt3.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0) >> 24, 0u);
  EXPECT_EQ(Pixel(image, 1, 0) >> 24, 255u);
  EXPECT_EQ(Pixel(image, 3, 0) >> 24, 255u);

  Bytes dxt5 = DdsHeader(4, 4, 1, kFourCc, "DXT5", 0, {0, 0, 0, 0});
  dxt5.U8(255).U8(0).Raw({0x88, 0x00, 0x00, 0x00, 0x00, 0x00});  // texel 0: a0, texel 1: a1, texel 2: code 2
  RedBlueBlock(dxt5);
  ASSERT_TRUE(DecodeDds(dxt5.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0) >> 24, 255u);
  EXPECT_EQ(Pixel(image, 1, 0) >> 24, 0u);
  EXPECT_EQ(Pixel(image, 2, 0) >> 24, 218u);  // (6 x 255 + 0) / 7
}

TEST(ImageDds, UncompressedCubeMapKeepsTheTopLevelOfEachFace) {
  Bytes b = DdsHeader(2, 2, 2, kRgb | kAlpha, nullptr, 32,
                      {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, 0x200 | 0xFC00);
  for (std::uint32_t face = 0; face < 6; ++face) {
    for (int i = 0; i < 4; ++i) b.U32(0x80000000u | face);  // level 0
    b.U32(0xDEADBEEF);                                        // level 1
  }
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeDds(b.data, image, error)) << error;
  EXPECT_EQ(image.faces, 6u);
  for (std::uint32_t face = 0; face < 6; ++face) EXPECT_EQ(Pixel(image, 1, 1, face), 0x80000000u | face);

  Bytes rgb565 = DdsHeader(1, 1, 1, kRgb, nullptr, 16, {0xF800, 0x07E0, 0x001F, 0});
  rgb565.U16(0x07E0);
  ASSERT_TRUE(DecodeDds(rgb565.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF00FF00u);
}

// The eight- and sixteen-bit formats of Direct3D 9, named by flags and
// masks or by their format number in place of the four-character code; grey
// spreads over red, green and blue, an alpha-only texel is black.
TEST(ImageDds, LuminanceAlphaAndSmallColourFormats) {
  constexpr std::uint32_t kAlphaOnly = 0x2, kLuminance = 0x20000;
  constexpr std::size_t kFourCcOffset = 84;
  struct Case {
    const char* name;
    std::uint8_t number;
    std::uint32_t flags, bits;
    std::initializer_list<std::uint32_t> masks;
    std::uint16_t texel;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"L8", 50, kLuminance, 8, {0xFF, 0, 0, 0}, 0x40, 0xFF404040u},
      {"A8", 28, kAlphaOnly, 8, {0, 0, 0, 0xFF}, 0x80, 0x80000000u},
      {"A8L8", 51, kLuminance | kAlpha, 16, {0xFF, 0, 0, 0xFF00}, 0x8040, 0x80404040u},
      {"R3G3B2", 27, kRgb, 8, {0xE0, 0x1C, 0x03, 0}, 0xE3, 0xFFFF00FFu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes flagged = DdsHeader(2, 1, 1, c.flags, nullptr, c.bits, c.masks);
    Bytes numbered = DdsHeader(2, 1, 1, kFourCc, nullptr, 0, {0, 0, 0, 0});
    numbered.data[kFourCcOffset] = c.number;
    for (Bytes* b : {&flagged, &numbered}) {
      for (int i = 0; i < 2; ++i) c.bits == 8 ? b->U8(c.texel) : b->U16(c.texel);
      Image image;
      std::string error;
      ASSERT_TRUE(DecodeImage(b->data, image, error)) << error;
      EXPECT_EQ(Pixel(image, 1, 0), c.expected);
    }
  }
}

TEST(ImageDds, BadFilesAreRefused) {
  Bytes truncated = DdsHeader(8, 8, 1, kFourCc, "DXT1", 0, {0, 0, 0, 0});
  truncated.Zeros(8);  // one of four blocks
  Bytes partialCube = DdsHeader(4, 4, 1, kFourCc, "DXT1", 0, {0, 0, 0, 0}, 0x200 | 0x0400);
  partialCube.Zeros(8 * 6);
  Bytes unknown = DdsHeader(4, 4, 1, kFourCc, "ATI2", 0, {0, 0, 0, 0});
  unknown.Zeros(16);
  Bytes huge = DdsHeader(1u << 20, 4, 1, kFourCc, "DXT1", 0, {0, 0, 0, 0});
  Bytes chainTooLong = DdsHeader(4, 4, 3, kFourCc, "DXT1", 0, {0, 0, 0, 0});
  chainTooLong.Zeros(16);  // three levels need 24 bytes
  Bytes shortHeader;
  shortHeader.Text("DDS ").U32(124).Zeros(20);
  for (const Bytes* bytes : {&truncated, &partialCube, &unknown, &huge, &chainTooLong, &shortHeader}) {
    Image image;
    std::string error;
    EXPECT_FALSE(DecodeImage(bytes->data, image, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(image.pixels.empty());
  }
}

}  // namespace
}  // namespace tge::image
