#include "platform/gfx/TextureLoader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/gfx/RecordingDevice.h"
#include "tests/platform/image/ImageFixtures.h"

namespace tge::gfx {
namespace {

using image::test::Bytes;

// A 32-bit top-down BMP (opaque) of the given 0x00RRGGBB pixels.
std::vector<std::uint8_t> Bmp(std::uint32_t width, std::uint32_t height,
                              std::initializer_list<std::uint32_t> pixels) {
  Bytes b;
  b.Text("BM").U32(0).U32(0).U32(54).U32(40).U32(width).U32(std::uint32_t(-std::int32_t(height)))
      .U16(1).U16(32).U32(0).Zeros(12).U32(0).U32(0);
  for (std::uint32_t p : pixels) b.U32(p);
  return b.data;
}

std::uint32_t Word(const std::vector<std::uint8_t>& bytes, std::size_t index) {
  std::uint32_t value;
  std::memcpy(&value, &bytes[index * 4], 4);
  return value;
}

TEST(GfxTextureLoader, BuildsTheMipChainByHalving) {
  RecordingDevice device;
  std::unique_ptr<Texture> texture;
  std::string error;
  const auto file = Bmp(4, 2, {0x000000, 0x0000FF, 0x00FF00, 0x00FF00,
                               0x000000, 0x0000FF, 0x00FF00, 0x00FF00});
  ASSERT_EQ(LoadTextureFromMemory(device, file, {}, &texture, error), Result::kOk) << error;
  ASSERT_EQ(texture->LevelCount(), 3u);
  EXPECT_EQ(Word(texture->ReadImage(0), 1), 0xFF0000FFu);
  const auto level1 = texture->ReadImage(1);
  ASSERT_EQ(level1.size(), 2u * 1 * 4);
  EXPECT_EQ(Word(level1, 0), 0xFF000080u);
  EXPECT_EQ(Word(level1, 1), 0xFF00FF00u);
  EXPECT_EQ(Word(texture->ReadImage(2), 0), 0xFF008040u);
}

TEST(GfxTextureLoader, ScalesAndPacksIntoTheAskedFormat) {
  RecordingDevice device;
  std::unique_ptr<Texture> texture;
  std::string error;
  const auto file = Bmp(2, 2, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000});
  TextureRequest request;
  request.width = request.height = 1;
  request.levels = 1;
  request.format = kFormatR5G6B5;
  ASSERT_EQ(LoadTextureFromMemory(device, file, request, &texture, error), Result::kOk) << error;
  const auto image = texture->ReadImage(0);
  ASSERT_EQ(image.size(), 2u);
  EXPECT_EQ(image[0] | image[1] << 8, 0xF800);

  request.format = kFormatDxt5;  // kept decompressed
  ASSERT_EQ(LoadTextureFromMemory(device, file, request, &texture, error), Result::kOk) << error;
  TextureDesc desc;
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.format, kFormatA8R8G8B8);
}

TEST(GfxTextureLoader, CubeTexturesNeedSixFaces) {
  RecordingDevice device;
  std::unique_ptr<Texture> texture;
  std::string error;
  Bytes cube = image::test::DdsHeader(1, 1, 1, 0x40, nullptr, 32, {0xFF0000, 0xFF00, 0xFF, 0}, 0xFE00);
  for (std::uint32_t face = 0; face < 6; ++face) cube.U32(face * 40);
  TextureRequest request;
  request.height = 2;
  ASSERT_EQ(LoadCubeTextureFromMemory(device, cube.data, request, &texture, error), Result::kOk) << error;
  EXPECT_EQ(texture->Kind(), TextureKind::kCube);
  EXPECT_EQ(Word(texture->ReadImage(0, kFaceNegativeZ), 3), 0xFF0000C8u);

  EXPECT_EQ(LoadCubeTextureFromMemory(device, Bmp(1, 1, {0}), request, &texture, error), Result::kFailed);
  EXPECT_EQ(texture, nullptr);
  EXPECT_FALSE(error.empty());
  const std::vector<std::uint8_t> junk = {'B', 'M', 1, 2};
  EXPECT_EQ(LoadTextureFromMemory(device, junk, {}, &texture, error), Result::kFailed);
  EXPECT_EQ(texture, nullptr);
}

}  // namespace
}  // namespace tge::gfx
