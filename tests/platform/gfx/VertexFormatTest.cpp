#include "platform/gfx/VertexFormat.h"

#include <gtest/gtest.h>

namespace tge::gfx {
namespace {

struct FormatCase {
  std::uint32_t format;
  std::uint32_t size;
  int normal, pointSize, diffuse, specular, texCoord0;
};

TEST(GfxVertexFormat, SizesAndOffsetsOfTheFormatsTheEngineDraws) {
  const FormatCase cases[] = {
      {0x012, 24, 12, -1, -1, -1, -1},   // position + normal
      {0x042, 16, -1, -1, 12, -1, -1},   // position + colour
      {0x062, 20, -1, 12, 16, -1, -1},   // position + point size + colour
      {0x142, 24, -1, -1, 12, -1, 16},   // position + colour + one set
      {0x144, 28, -1, -1, 16, -1, 20},   // pre-transformed + colour + one set
      {0x244, 36, -1, -1, 16, -1, 20},   // pre-transformed + colour + two sets
      {0x102, 20, -1, -1, -1, -1, 12},   // terrain: position + one set
      {0x1D2, 40, 12, -1, 24, 28, 32},   // normal, diffuse, specular, one set
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.format);
    const VertexLayout layout = DecodeVertexFormat(c.format);
    ASSERT_TRUE(layout.valid);
    EXPECT_EQ(layout.size, c.size);
    EXPECT_EQ(VertexSize(c.format), c.size);
    EXPECT_EQ(layout.position, 0);
    EXPECT_EQ(layout.normal, c.normal);
    EXPECT_EQ(layout.pointSize, c.pointSize);
    EXPECT_EQ(layout.diffuse, c.diffuse);
    EXPECT_EQ(layout.specular, c.specular);
    EXPECT_EQ(layout.texCoord[0], c.texCoord0);
  }
  EXPECT_TRUE(DecodeVertexFormat(0x144).pretransformed);
  EXPECT_FALSE(DecodeVertexFormat(0x142).pretransformed);
}

TEST(GfxVertexFormat, CoordinateSizesAndBlendWeights) {
  const std::uint32_t format = (kFvfXyzB1 + 2) | kFvfNormal | (3 << kFvfTexCountShift) |
                               TexCoordSize(0, 3) | TexCoordSize(1, 1) | TexCoordSize(2, 4);
  const VertexLayout layout = DecodeVertexFormat(format);
  ASSERT_TRUE(layout.valid);
  EXPECT_EQ(layout.blendFloats, 2u);
  EXPECT_EQ(layout.normal, 20);
  EXPECT_EQ(layout.texCoord[0], 32);
  EXPECT_EQ(layout.texCoord[1], 44);
  EXPECT_EQ(layout.texCoord[2], 48);
  EXPECT_EQ(layout.size, 64u);
}

TEST(GfxVertexFormat, CodesWithoutPositionOrWithUnknownBitsAreRefused) {
  for (std::uint32_t format : {0x000u, 0x040u, 0x0142u | 0x2000u, 0x0942u}) {
    EXPECT_FALSE(DecodeVertexFormat(format).valid) << format;
    EXPECT_EQ(VertexSize(format), 0u) << format;
  }
}

}  // namespace
}  // namespace tge::gfx
