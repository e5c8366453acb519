// Pixel probes of whole frames on Mesa's software GL: fog, sprite coverage
// on the fill rule, text placed by its measure, and the blur feedback of the
// post effects.
#include <cmath>
#include <numbers>

#include "services/render/MaterialType.h"
#include "services/render/TextDrawing.h"
#include "services/resources/FontResource.h"
#include "tests/services/render/GlFrameFixture.h"

namespace tge {
namespace {

using test::NearColour;

class FramePixelTest : public test::GlFrameFixture {};

TEST_F(FramePixelTest, FogClearsToItsColourAndMixesHalfwayAtMidDistance) {
  view_.SetProjection(std::numbers::pi_v<float> / 2, 1.0f, 1.0f, 100.0f);
  view_.SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  view_.SetFog(10.0f, 30.0f, Color{1, 0, 0, 1}, 0);
  view_.EnableFog(true);
  ResourceRef material = Material(kMaterialSolidColor, nullptr, kMaterialFog);
  auto square = Square(4.0f, 0xFF0000FF, material.Get());
  // Corners 20 units from the eye: the fog runs by range, halfway to its end.
  Matrix4 world;
  Matrix4Translation(world, 0, 0, std::sqrt(400.0f - 32.0f));
  queue = [&] { EXPECT_EQ(queue_.QueueMesh(square.get(), world, nullptr, nullptr, 1.0f, nullptr), 1); };
  Frame();
  EXPECT_TRUE(NearColour(Probe(1, 1), 0xFF0000, 0));
  EXPECT_TRUE(NearColour(Probe(32, 32), 0x800080, 4));

  view_.EnableFog(false);
  Frame();
  EXPECT_TRUE(NearColour(Probe(1, 1), 0x000000, 0));
  EXPECT_TRUE(NearColour(Probe(32, 32), 0x0000FF, 0));
}

// Pixel centres lie on whole coordinates, so the quad's edges fall on them:
// the left and top edges take their pixels, the right and bottom ones do not.
TEST_F(FramePixelTest, SpriteCoversExactlyItsPixels) {
  ResourceRef material = Material(kMaterialSolidColor);
  queue = [&] { queue_.QueueSprite(material.Get(), {10, 20, 0}, 32, 32, Color{0, 1, 0, 1}, 0); };
  Frame();
  for (int x = 8; x < 45; ++x) {
    for (int y = 18; y < 55; ++y) {
      const bool inside = x >= 10 && x < 42 && y >= 20 && y < 52;
      ASSERT_TRUE(NearColour(Probe(x, y), inside ? 0x00FF00 : 0, 0)) << x << ", " << y;
    }
  }
}

class TextPixelTest : public FramePixelTest {
 protected:
  // Glyphs of solid white as wide as their advance, 12 pixels high.
  void SetUp() override {
    FramePixelTest::SetUp();
    white_ = PlainTexture("white.tga", 0xFFFFFFFF);
    material_ = Material(kMaterialTextureFont, white_.Get());
    test::Bytes file;
    file.U32(1).F32(12).F32(0).F32(12).F32(0).U16(0).U16(0).U32(1);
    file.F32(0).F32(0).F32(1).F32(1).U16(0).U16(5).U16(5).U16(0);
    folder_.Write("Data/plain.fnt", file.data);
    auto font = std::make_unique<FontResource>();
    font->SetFileName("plain.fnt");
    font->material = material_.Get();
    font_ = db_.AdoptResource(std::move(font));
  }

  ResourceRef white_, material_, font_;
};

TEST_F(TextPixelTest, LineLandsWhereItsMeasureSays) {
  const TextStyle style{0, 1, 1, 1, kAlignRight};
  float width = 0, height = 0;
  ASSERT_EQ(MeasureTextUtf8("abcd", true, &width, &height, font_.Get(), style), 1);
  EXPECT_FLOAT_EQ(width, 24.0f);
  EXPECT_FLOAT_EQ(height, 12.0f);
  queue = [&] {
    queue_.QueueText(font_.Get(), "abcd", {50, 30, 0}, 1, 1, Color{1, 1, 1, 1}, 0, 1, kAlignRight | kAlignCentreY);
  };
  Frame();
  // Four glyphs of 5 pixels, one apart, ending one short of the position.
  for (int x = 24; x < 52; ++x) {
    const bool lit = x >= 26 && x < 50 && (x - 26) % 6 != 5;
    EXPECT_TRUE(NearColour(Probe(x, 30), lit ? 0xFFFFFF : 0, 0)) << x;
  }
  EXPECT_TRUE(NearColour(Probe(27, 24), 0xFFFFFF, 0));
  EXPECT_TRUE(NearColour(Probe(27, 23), 0, 0));
  EXPECT_TRUE(NearColour(Probe(27, 35), 0xFFFFFF, 0));
  EXPECT_TRUE(NearColour(Probe(27, 36), 0, 0));
}

class PostEffectPixelTest : public test::GlFrameFixture {
 protected:
  void SetUp() override { Open(PostEffects::kWidth, PostEffects::kHeight); }
};

TEST_F(PostEffectPixelTest, BlurMixesWithThePreviousFrameAndZeroReplacesIt) {
  post_.Start(rd());
  ASSERT_TRUE(post_.IsEnabled());
  view_.EnableFog(true);
  view_.SetFog(1, 2, Color{1, 0, 0, 1}, 0);
  Frame();
  EXPECT_TRUE(NearColour(Probe(500, 200), 0xFF0000));
  post_.SetBlurAmount(0.5f);
  view_.SetFog(1, 2, Color{0, 0, 1, 1}, 0);
  Frame();
  EXPECT_TRUE(NearColour(Probe(500, 200), 0x800080, 4));
  post_.SetBlurAmount(0.1f);
  PostEffectActions less;
  less.blurLess = true;
  Frame(less);
  EXPECT_FLOAT_EQ(post_.GetBlurAmount(), 0.0f);
  EXPECT_TRUE(NearColour(Probe(500, 200), 0x0000FF));
}

}  // namespace
}  // namespace tge
