#include <gtest/gtest.h>

#include "platform/image/Image.h"
#include "tests/platform/image/ImageFixtures.h"

namespace tge::image {
namespace {

using test::Bytes;

// Pixel (x, y) of an image as 0xAARRGGBB.
std::uint32_t Pixel(const Image& image, std::uint32_t x, std::uint32_t y, std::uint32_t face = 0) {
  const std::uint8_t* p = &image.pixels[face * image.FaceBytes() + (std::size_t(y) * image.width + x) * 4];
  return std::uint32_t(p[0] | p[1] << 8 | p[2] << 16) | std::uint32_t(p[3]) << 24;
}

Bytes BmpHeader(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t infoSize,
                std::uint32_t compression, std::uint32_t paletteCount, std::uint32_t extraBeforePixels) {
  Bytes b;
  b.Text("BM").U32(0).U32(0).U32(14 + infoSize + extraBeforePixels).U32(infoSize).U32(std::uint32_t(width))
      .U32(std::uint32_t(height)).U16(1).U16(bits).U32(compression).Zeros(12).U32(paletteCount).U32(0);
  return b;
}

TEST(ImageBmp, TwentyFourBitBottomUpRowsWithPadding) {
  Bytes b = BmpHeader(3, 2, 24, 40, 0, 0, 0);
  b.Raw({0, 0, 255, 0, 255, 0, 255, 0, 0}).Zeros(3);          // bottom row: red, green, blue
  b.Raw({255, 255, 255, 0, 0, 0, 10, 20, 30}).Zeros(3);        // top row: white, black, (30,20,10)
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeImage(b.data, image, error)) << error;
  EXPECT_EQ(image.width, 3u);
  EXPECT_EQ(image.height, 2u);
  EXPECT_EQ(Pixel(image, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(image, 2, 0), 0xFF1E140Au);
  EXPECT_EQ(Pixel(image, 0, 1), 0xFFFF0000u);
  EXPECT_EQ(Pixel(image, 2, 1), 0xFF0000FFu);
}

TEST(ImageBmp, PaletteTopDownAndAlphaBitFields) {
  Bytes paletted = BmpHeader(2, -2, 8, 40, 0, 2, 8);
  paletted.U32(0x00112233).U32(0x00445566).Raw({1, 0, 0, 0, 0, 1, 0, 0});
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeBmp(paletted.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF445566u);  // top-down: first stored row is the top
  EXPECT_EQ(Pixel(image, 1, 1), 0xFF445566u);
  EXPECT_EQ(Pixel(image, 1, 0), 0xFF112233u);

  Bytes fields = BmpHeader(1, 1, 32, 108, 3, 0, 0);
  fields.data.resize(14 + 40);
  fields.U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF).U32(0xFF000000).Zeros(108 - 56);
  fields.U32(0x80102030);
  ASSERT_TRUE(DecodeBmp(fields.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0), 0x80102030u);
}

TEST(ImageBmp, BadFilesAreRefusedWithAReason) {
  struct Case {
    const char* name;
    Bytes bytes;
  };
  Bytes truncated = BmpHeader(4, 4, 24, 40, 0, 0, 0);
  truncated.Zeros(20);
  Bytes huge = BmpHeader(100000, 100000, 24, 40, 0, 0, 0);
  Bytes palette = BmpHeader(1, 1, 4, 40, 0, 17, 0);
  Bytes rle = BmpHeader(1, 1, 8, 40, 1, 0, 0);
  Bytes rleDepth = BmpHeader(1, 1, 24, 40, 1, 0, 0);
  Bytes rleUnended = BmpHeader(2, 1, 8, 40, 1, 1, 4);
  rleUnended.U32(0x00112233).Raw({2, 0});
  Bytes depth = BmpHeader(1, 1, 2, 40, 0, 0, 0);
  Bytes shortHeader;
  shortHeader.Text("BM").Zeros(10);
  Bytes fourBytes;
  fourBytes.Text("BM").Zeros(2);
  const Case cases[] = {{"truncated pixels", truncated}, {"too large", huge},
                        {"palette over depth", palette}, {"run-length without palette", rle},
                        {"run-length at 24 bits", rleDepth}, {"run-length without an end", rleUnended},
                        {"bit depth", depth}, {"short header", shortHeader},
                        {"shorter than the file header", fourBytes}};
  for (const Case& c : cases) {
    Image image;
    std::string error;
    EXPECT_FALSE(DecodeImage(c.bytes.data, image, error)) << c.name;
    EXPECT_TRUE(image.pixels.empty()) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
}

// The palette of the run-length and OS/2 cases: index i is kColours[i].
constexpr std::uint32_t kColours[] = {0xFF000000u, 0xFF112233u, 0xFF445566u, 0xFF778899u};

Bytes PalettedHeader(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t compression) {
  Bytes b = BmpHeader(width, height, bits, 40, compression, 4, 16);
  for (std::uint32_t colour : kColours) b.U32(colour & 0x00FFFFFFu);
  return b;
}

void ExpectIndices(const Image& image, std::initializer_list<std::initializer_list<int>> rows) {
  std::uint32_t y = 0;
  for (const auto& row : rows) {
    std::uint32_t x = 0;
    for (int index : row) {
      EXPECT_EQ(Pixel(image, x, y), kColours[index]) << x << ", " << y;
      ++x;
    }
    ++y;
  }
}

// Runs, an absolute stretch with its padding, an end of line, a jump that
// leaves pixels at index 0, and the end of the bitmap; rows bottom first.
TEST(ImageBmp, RunLengthEightAndFourBits) {
  Image image;
  std::string error;
  Bytes rle8 = PalettedHeader(4, 3, 8, 1);
  rle8.Raw({4, 1, 0, 0});                 // bottom: four of 1
  rle8.Raw({0, 3, 2, 0, 1, 0, 1, 2, 0, 0});  // 2, 0, 1 as they are, then one 2
  rle8.Raw({0, 2, 2, 0, 2, 3, 0, 1});     // two skipped, two of 3, end
  ASSERT_TRUE(DecodeImage(rle8.data, image, error)) << error;
  ExpectIndices(image, {{0, 0, 3, 3}, {2, 0, 1, 2}, {1, 1, 1, 1}});

  Bytes rle4 = PalettedHeader(5, 2, 4, 2);
  rle4.Raw({0, 3, 0x21, 0x00, 2, 0x33, 0, 0});  // bottom: 2, 1, 0 as they are, then 3, 3
  rle4.Raw({5, 0x12, 0, 1});                    // top: 1, 2 alternating
  ASSERT_TRUE(DecodeImage(rle4.data, image, error)) << error;
  ExpectIndices(image, {{1, 2, 1, 2, 1}, {2, 1, 0, 3, 3}});
}

// The OS/2 core header: 16-bit sizes and 3-byte palette entries.
TEST(ImageBmp, Os2CoreHeader) {
  Bytes b;
  b.Text("BM").U32(0).U32(0).U32(14 + 12 + 4 * 3).U32(12).U16(3).U16(1).U16(1).U16(8);
  for (std::uint32_t colour : kColours) b.U16(colour & 0xFFFF).U8((colour >> 16) & 0xFF);
  b.Raw({3, 1, 2, 0});
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeImage(b.data, image, error)) << error;
  ExpectIndices(image, {{3, 1, 2}});

  Bytes trueColour;
  trueColour.Text("BM").U32(0).U32(0).U32(14 + 12).U32(12).U16(1).U16(1).U16(1).U16(24).Raw({10, 20, 30, 0});
  ASSERT_TRUE(DecodeImage(trueColour.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF1E140Au);
}

Bytes TgaHeader(std::uint8_t type, std::uint16_t width, std::uint16_t height, std::uint8_t bits,
                std::uint8_t descriptor, std::uint16_t mapLength = 0, std::uint8_t mapBits = 0) {
  Bytes b;
  b.U8(0).U8(mapLength ? 1 : 0).U8(type).U16(0).U16(mapLength).U8(mapBits).U32(0).U16(width).U16(height)
      .U8(bits).U8(descriptor);
  return b;
}

TEST(ImageTga, TrueColourRunLengthGreyAndMappedImages) {
  Image image;
  std::string error;
  Bytes plain = TgaHeader(2, 2, 2, 24, 0);
  plain.Raw({0, 0, 255, 0, 255, 0, 255, 0, 0, 1, 2, 3});  // bottom row first
  ASSERT_TRUE(DecodeImage(plain.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 1), 0xFFFF0000u);
  EXPECT_EQ(Pixel(image, 1, 0), 0xFF030201u);

  Bytes rle = TgaHeader(10, 3, 1, 32, 0x28);  // top-down, 8 alpha bits
  rle.Raw({0x81, 1, 2, 3, 0x40, 0x00, 9, 8, 7, 0xFF});  // run of 2, then one raw pixel
  ASSERT_TRUE(DecodeTga(rle.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 1, 0), 0x40030201u);
  EXPECT_EQ(Pixel(image, 2, 0), 0xFF070809u);

  Bytes grey = TgaHeader(3, 1, 1, 8, 0x30);  // right-to-left flag on one column
  grey.U8(0x7F);
  ASSERT_TRUE(DecodeTga(grey.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF7F7F7Fu);

  // An unused map of odd entries (here 17 bits, 3 bytes each) is skipped.
  Bytes unusedMap = TgaHeader(2, 1, 1, 24, 0, 2, 17);
  unusedMap.Zeros(6).Raw({4, 5, 6});
  ASSERT_TRUE(DecodeTga(unusedMap.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF060504u);

  Bytes mapped = TgaHeader(1, 2, 1, 8, 0x20, 2, 24);
  mapped.Raw({10, 20, 30, 40, 50, 60}).Raw({1, 0});
  ASSERT_TRUE(DecodeTga(mapped.data, image, error)) << error;
  EXPECT_EQ(Pixel(image, 0, 0), 0xFF3C3228u);
  EXPECT_EQ(Pixel(image, 1, 0), 0xFF1E140Au);
}

TEST(ImageTga, BadFilesAreRefusedWithAReason) {
  Bytes truncatedRle = TgaHeader(10, 4, 4, 24, 0);
  truncatedRle.Raw({0x7F, 1, 2});
  Bytes truncatedPlain = TgaHeader(2, 4, 4, 32, 0);
  truncatedPlain.Zeros(10);
  Bytes badDepth = TgaHeader(2, 1, 1, 12, 0);
  badDepth.Zeros(4);
  Bytes mapWithoutMap = TgaHeader(1, 1, 1, 8, 0);
  mapWithoutMap.Zeros(4);
  for (const Bytes* bytes : {&truncatedRle, &truncatedPlain, &badDepth, &mapWithoutMap}) {
    Image image;
    std::string error;
    EXPECT_FALSE(DecodeTga(bytes->data, image, error));
    EXPECT_EQ(error.rfind("TGA: ", 0), 0u) << error;
  }
  Image image;
  std::string error;
  EXPECT_FALSE(DecodeImage(std::vector<std::uint8_t>{1, 2, 3}, image, error));
  EXPECT_EQ(error, "IMAGE: unknown image format");
}

}  // namespace
}  // namespace tge::image
