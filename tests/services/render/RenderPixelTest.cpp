// Pixel probes of the services' drawing on Mesa's software rasteriser:
// textures, materials, meshes and primitives go through the services' own
// calls onto a GL device in a hidden window.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>

#include "core/math/Color.h"
#include "platform/gfx/GlDevice.h"
#include "services/RenderDevice.h"
#include "services/ResourceDatabase.h"
#include "services/render/EmptyTexture.h"
#include "services/render/MaterialType.h"
#include "services/render/MeshDrawing.h"
#include "services/render/PrimitivePools.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/TextureResource.h"
#include "tests/services/TestBytes.h"
#include "tests/support/GlRenderDeviceBackend.h"
#include "tests/support/GlTestWindow.h"

namespace tge {
namespace {

constexpr int kSize = 64;

struct ScreenVertex {  // 0x144
  float x, y, z, rhw;
  std::uint32_t colour;
  float u, v;
};

using test::NearColour;

class RenderPixelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_Window* window = test::SharedGlTestWindow(kSize, kSize);
    ASSERT_NE(window, nullptr) << "SDL video or its window could not start: " << SDL_GetError();
    device_ = std::make_unique<RenderDevice>(test::WindowRenderDeviceBackend(window));
    StartupSettings settings;
    settings.fullScreen = 0;
    settings.width = settings.height = kSize;
    ASSERT_EQ(device_->InitRenderDevice(settings), 1);
    db_.SetDataFolder(folder_.Folder());
  }

  RenderDevice& rd() { return *device_; }
  gfx::GlDevice& gl() { return static_cast<gfx::GlDevice&>(device_->Device()); }
  std::uint32_t Probe(int x, int y) { return gl().ReadPixels().at(std::size_t(y) * kSize + std::size_t(x)); }
  void Clear(std::uint32_t colour) { rd().Device().Clear(gfx::kClearTarget | gfx::kClearZBuffer, colour, 1.0f, 0); }

  // A 32-bit top-down TGA of the given 0xAARRGGBB pixels in the data folder,
  // read by the texture reader in the file's own format.
  ResourceRef TextureFile(const std::string& name, std::uint16_t width, std::uint16_t height,
                          std::initializer_list<std::uint32_t> pixels) {
    constexpr std::uint8_t kTopLeftWithAlpha = 0x28;
    test::Bytes tga;
    tga.Raw("\0\0\2\0\0\0\0\0", 8).U16(0).U16(0).U16(width).U16(height);
    const std::uint8_t depth[2] = {32, kTopLeftWithAlpha};
    tga.Raw(depth, 2);
    for (std::uint32_t p : pixels) tga.U32(p);
    folder_.Write("Data/" + name, tga.data);
    auto texture = std::make_unique<TextureResource>();
    texture->SetName(name);
    texture->SetFileName(name);
    texture->storageMode = kTextureKeepFileFormat;
    return db_.AdoptResource(std::move(texture));
  }

  ResourceRef Material(std::uint32_t type, std::initializer_list<Resource*> layers = {}) {
    ResourceRef material = db_.CreateMaterial();
    SetMaterialType(material.Get(), type);
    std::size_t stage = 0;
    for (Resource* layer : layers) SetMaterialTexture(material.Get(), stage++, layer);
    return material;
  }

  // The pixels [x0, x1) x [y0, y1) as one quad of the quad list, drawn
  // through the primitive rings after the material.
  void DrawRect(Resource* material, float x0, float y0, float x1, float y1, std::uint32_t colour, float z = 0.5f) {
    const ScreenVertex quad[4] = {{x0 - 0.5f, y0 - 0.5f, z, 1, colour, 0, 0},
                                  {x1 - 0.5f, y0 - 0.5f, z, 1, colour, 1, 0},
                                  {x1 - 0.5f, y1 - 0.5f, z, 1, colour, 1, 1},
                                  {x0 - 0.5f, y1 - 0.5f, z, 1, colour, 0, 1}};
    ApplyMaterial(rd(), ResourceCast<MaterialResource>(material), nullptr, 1.0f);
    ASSERT_EQ(rd().GetPrimitivePools().Draw(rd(), quad, 0x144, kEngineQuadList, 1, 0), 1);
  }

  test::TempDataFolder folder_;
  ResourceDatabase db_;
  std::unique_ptr<RenderDevice> device_;
};

TEST_F(RenderPixelTest, NewDeviceIsClearedAndCheckerTextureKeepsOrientationAndColourOrder) {
  EXPECT_TRUE(NearColour(Probe(0, 0), 0xFF000000, 0));
  EXPECT_TRUE(NearColour(Probe(kSize - 1, kSize - 1), 0xFF000000, 0));
  ResourceRef checker = TextureFile("checker.tga", 2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
  ResourceRef material = Material(kMaterialStandard, {checker.Get()});
  rd().SetSamplerStateCached(0, gfx::kSampMinFilter, gfx::kFilterPoint);
  rd().SetSamplerStateCached(0, gfx::kSampMagFilter, gfx::kFilterPoint);
  Clear(0xFF336699);
  EXPECT_TRUE(NearColour(Probe(40, 40), 0xFF336699, 0));
  DrawRect(material.Get(), 0, 0, 32, 32, 0xFFFFFFFF);
  ASSERT_NE(static_cast<TextureResource*>(checker.Get())->GetTexture(), nullptr);
  EXPECT_TRUE(NearColour(Probe(4, 4), 0xFFFF0000, 0));
  EXPECT_TRUE(NearColour(Probe(27, 4), 0xFF00FF00, 0));
  EXPECT_TRUE(NearColour(Probe(4, 27), 0xFF0000FF, 0));
  EXPECT_TRUE(NearColour(Probe(27, 27), 0xFFFFFFFF, 0));
  EXPECT_TRUE(NearColour(Probe(40, 40), 0xFF336699, 0));
}

TEST_F(RenderPixelTest, DepthKeepsTheNearerQuadInEitherOrder) {
  ResourceRef material = Material(kMaterialStandard);
  for (bool nearFirst : {true, false}) {
    Clear(0xFF000000);
    for (int i = 0; i < 2; ++i) {
      if ((i == 0) == nearFirst) {
        DrawRect(material.Get(), 0, 0, 32, 32, 0xFFFF0000, 0.2f);
      } else {
        DrawRect(material.Get(), 16, 16, 48, 48, 0xFF0000FF, 0.6f);
      }
    }
    EXPECT_TRUE(NearColour(Probe(20, 20), 0xFFFF0000, 0)) << nearFirst;
    EXPECT_TRUE(NearColour(Probe(40, 40), 0xFF0000FF, 0)) << nearFirst;
  }
}

// Texture (255, 128, 0, 255) under a white vertex colour of alpha 128 over
// a grey (64) background; the second layer is blue of alpha 128.
TEST_F(RenderPixelTest, EachMaterialTypeBlendsOverTheBackgroundByItsRule) {
  ResourceRef orange = TextureFile("orange.tga", 1, 1, {0xFFFF8000});
  ResourceRef blue = TextureFile("blue.tga", 1, 1, {0x800000FF});
  struct Case {
    std::uint32_t type;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {kMaterialStandard, 0xFF8000},       // opaque, alpha ignored
      {kMaterialAdd, 0xC08040},            // texture x alpha added
      {kMaterialSolidColor, 0xA0A0A0},     // the vertex colour at half alpha
      {kMaterialTextureFont, 0xA06020},    // half over the background
      {kMaterialMul, 0x402000},            // background x texture
      {kMaterialShadow, 0x002040},         // background x (1 - texture)
      {kMaterialTextureAlpha, 0xA06020},
      {kMaterialTextureAlphaSortIndependent, 0xA06020},  // alpha 128 passes
      {kMaterialEnvironment, 0xA060A0},    // the second layer added
      {kMaterialProjected, 0xA06020},
      {kMaterialAlphaOverlay, 0x604060},   // the layers mixed by the second's alpha
  };
  for (const Case& c : cases) {
    Clear(0xFF404040);
    ResourceRef material = Material(c.type, {orange.Get(), blue.Get()});
    DrawRect(material.Get(), 8, 8, 40, 40, 0x80FFFFFF);
    EXPECT_TRUE(NearColour(Probe(20, 20), c.expected)) << "type " << c.type;
    EXPECT_TRUE(NearColour(Probe(50, 50), 0x404040, 0)) << "type " << c.type;
  }
}

gfx::Light DirectionalLight() {
  gfx::Light light;
  light.type = gfx::kLightDirectional;
  light.diffuse = {1, 1, 1, 1};
  light.direction = {0, -0.6f, 0.8f};  // N . L = 0.8 at the pole facing the eye
  return light;
}

gfx::Light PointLight() {
  gfx::Light light;
  light.type = gfx::kLightPoint;
  light.diffuse = {1, 0.5f, 0.25f, 1};
  light.position = {0, 0, 100};  // 200 units straight in front of that pole
  light.range = 1000;
  light.attenuation0 = 1;
  light.attenuation1 = 0.005f;
  return light;
}

TEST_F(RenderPixelTest, BuiltInSphereUnderDirectionalAndPointLightsMatchesTheLightingFormula) {
  Matrix4 world, projection;
  Matrix4Translation(world, 0, 0, 400);  // radius 100: the -z pole is 300 from the eye
  Matrix4PerspectiveFov(projection, 0.8f, 1, 1, 1000);
  rd().SetWorldMatrix(world);
  rd().SetProjectionMatrix(projection);
  rd().SetRenderStateCached(gfx::kRsAmbient, 0xFF202020);
  ResourceRef material = Material(kMaterialStandard);
  auto* m = ResourceCast<MaterialResource>(material.Get());
  m->colors.diffuse = {0.8f, 0.6f, 0.4f, 1};
  m->colors.ambient = {1, 1, 1, 1};
  m->flags &= ~std::uint32_t{kMaterialNoColors};

  const float ambient = 32.0f / 255.0f, attenuation = 1.0f / (1 + 0.005f * 200);
  struct Case {
    gfx::Light light;
    Color expected;
  };
  const Case cases[] = {
      {DirectionalLight(), {ambient + 0.8f * 0.8f, ambient + 0.6f * 0.8f, ambient + 0.4f * 0.8f, 1}},
      {PointLight(), {ambient + 0.8f * attenuation, ambient + 0.6f * 0.5f * attenuation,
                      ambient + 0.4f * 0.25f * attenuation, 1}},
  };
  for (const Case& c : cases) {
    rd().Device().SetLight(0, c.light);
    rd().Device().LightEnable(0, true);
    Clear(0xFF000000);
    rd().Material().Forget();
    ApplyMaterial(rd(), m, nullptr, 1.0f);
    ASSERT_EQ(DrawMeshPart(rd(), rd().GetSphereMesh(), 0), 1);
    EXPECT_TRUE(NearColour(Probe(kSize / 2, kSize / 2), ColorToDword(c.expected), 4)) << c.light.type;
  }
  EXPECT_TRUE(NearColour(Probe(1, 1), 0xFF000000, 0));
}

}  // namespace
}  // namespace tge
