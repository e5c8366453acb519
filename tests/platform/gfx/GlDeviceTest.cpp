// Pixel probes of the GL back-end on Mesa's software rasteriser, through
// SDL's offscreen video driver.
#include "platform/gfx/GlDevice.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "platform/gfx/DisplayModes.h"
#include "platform/gfx/Meshes.h"
#include "tests/support/GlTestWindow.h"

namespace tge::gfx {
namespace {

constexpr std::uint32_t kSize = 64;

struct ScreenVertex {  // format 0x144
  float x, y, z, rhw;
  std::uint32_t colour;
  float u, v;
};

struct ColourVertex {  // format 0x42
  float x, y, z;
  std::uint32_t colour;
};

constexpr std::initializer_list<std::uint32_t> kChecker = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                           0xFFFFFFFF};

using test::NearArgb;

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

class GlDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_Window* window = test::SharedGlTestWindow(kSize, kSize);
    ASSERT_NE(window, nullptr) << "SDL video or its window could not start: " << SDL_GetError();
    PresentParameters parameters;
    parameters.backBufferWidth = parameters.backBufferHeight = kSize;
    std::string error;
    device_ = GlDevice::Create(window, parameters, error);
    ASSERT_NE(device_, nullptr) << "no OpenGL 3.3 core context could be created: " << error;
    device_->SetRenderState(kRsLighting, 0);
  }

  void Clear(std::uint32_t colour) {
    ASSERT_EQ(device_->Clear(kClearTarget | kClearZBuffer, colour, 1.0f, 0), Result::kOk);
  }

  // A screen-space rectangle [x0, x1) x [y0, y1) of whole pixels, drawn with
  // the half-pixel shift that covers exactly those pixels.
  void DrawRect(float x0, float y0, float x1, float y1, std::uint32_t colour, float z = 0.5f) {
    const ScreenVertex quad[4] = {{x0 - 0.5f, y0 - 0.5f, z, 1, colour, 0, 0},
                                  {x1 - 0.5f, y0 - 0.5f, z, 1, colour, 1, 0},
                                  {x0 - 0.5f, y1 - 0.5f, z, 1, colour, 0, 1},
                                  {x1 - 0.5f, y1 - 0.5f, z, 1, colour, 1, 1}};
    ASSERT_EQ(device_->SetFVF(0x144), Result::kOk);
    ASSERT_EQ(device_->DrawPrimitiveUP(kPrimTriangleStrip, 2, quad, sizeof(ScreenVertex)), Result::kOk);
  }

  std::unique_ptr<Texture> SolidTexture(std::uint32_t argb) {
    return MakeTexture(1, 1, {argb});
  }

  // A 2D texture of the given 0xAARRGGBB texels, rows top first.
  std::unique_ptr<Texture> MakeTexture(std::uint32_t width, std::uint32_t height,
                                       std::initializer_list<std::uint32_t> texels) {
    std::unique_ptr<Texture> texture;
    EXPECT_EQ(device_->CreateTexture(width, height, 1, 0, kFormatA8R8G8B8, kPoolManaged, &texture),
              Result::kOk);
    LockedRect rect;
    EXPECT_EQ(texture->LockRect(0, 0, &rect), Result::kOk);
    std::memcpy(rect.bits, texels.begin(), texels.size() * 4);
    texture->UnlockRect(0);
    return texture;
  }

  std::uint32_t Probe(std::uint32_t x, std::uint32_t y, Texture* target = nullptr) {
    const std::vector<std::uint32_t> pixels = device_->ReadPixels(target);
    TextureDesc desc{kSize, kSize, 0};
    if (target != nullptr) target->GetLevelDesc(0, &desc);
    return pixels.at(std::size_t(y) * desc.width + x);
  }

  std::unique_ptr<GlDevice> device_;
};

TEST_F(GlDeviceTest, ClearFillsTheViewportWithThePackedColour) {
  Clear(0xFF336699);
  EXPECT_TRUE(NearArgb(Probe(0, 0), 0xFF336699, 0));
  EXPECT_TRUE(NearArgb(Probe(kSize - 1, kSize - 1), 0xFF336699, 0));
  ASSERT_EQ(device_->SetViewport(Viewport{8, 4, 16, 16, 0, 1}), Result::kOk);
  Clear(0xFFFF0000);
  EXPECT_TRUE(NearArgb(Probe(8, 4), 0xFFFF0000, 0));
  EXPECT_TRUE(NearArgb(Probe(23, 19), 0xFFFF0000, 0));
  EXPECT_TRUE(NearArgb(Probe(7, 4), 0xFF336699, 0));
  EXPECT_TRUE(NearArgb(Probe(8, 20), 0xFF336699, 0));
}

TEST_F(GlDeviceTest, PretransformedQuadCoversExactlyItsPixelsFromTheTop) {
  Clear(0xFF000000);
  DrawRect(8, 4, 24, 12, 0xFF00FF00);
  EXPECT_TRUE(NearArgb(Probe(8, 4), 0xFF00FF00, 0));
  EXPECT_TRUE(NearArgb(Probe(23, 11), 0xFF00FF00, 0));
  for (auto [x, y] : {std::pair{7u, 4u}, {24u, 4u}, {8u, 3u}, {8u, 12u}}) {
    EXPECT_TRUE(NearArgb(Probe(x, y), 0xFF000000, 0)) << x << ", " << y;
  }
}

TEST_F(GlDeviceTest, CheckerTextureKeepsOrientationAndColourOrder) {
  const auto texture = MakeTexture(2, 2, kChecker);
  device_->SetTexture(0, texture.get());
  Clear(0xFF000000);
  DrawRect(0, 0, 32, 32, 0xFFFFFFFF);
  EXPECT_TRUE(NearArgb(Probe(4, 4), 0xFFFF0000, 0));     // top-left texel: red
  EXPECT_TRUE(NearArgb(Probe(27, 4), 0xFF00FF00, 0));    // top-right: green
  EXPECT_TRUE(NearArgb(Probe(4, 27), 0xFF0000FF, 0));    // bottom-left: blue
  EXPECT_TRUE(NearArgb(Probe(27, 27), 0xFFFFFFFF, 0));

  // Colour operation modulate: the vertex colour tints the texture.
  DrawRect(32, 32, 64, 64, 0xFF808080);
  EXPECT_TRUE(NearArgb(Probe(59, 59), 0xFF808080, 2));
}

TEST_F(GlDeviceTest, DepthTestKeepsTheNearerQuadInEitherOrder) {
  for (bool nearFirst : {true, false}) {
    Clear(0xFF000000);
    const float zRed = 0.2f, zBlue = 0.6f;
    if (nearFirst) {
      DrawRect(0, 0, 32, 32, 0xFFFF0000, zRed);
      DrawRect(16, 16, 48, 48, 0xFF0000FF, zBlue);
    } else {
      DrawRect(16, 16, 48, 48, 0xFF0000FF, zBlue);
      DrawRect(0, 0, 32, 32, 0xFFFF0000, zRed);
    }
    EXPECT_TRUE(NearArgb(Probe(20, 20), 0xFFFF0000, 0)) << nearFirst;
    EXPECT_TRUE(NearArgb(Probe(40, 40), 0xFF0000FF, 0)) << nearFirst;
  }
}

TEST_F(GlDeviceTest, CounterClockwiseTrianglesAreCulledByDefault) {
  Clear(0xFF000000);
  const ScreenVertex triangles[6] = {
      {4, 4, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {28, 4, 0.5f, 1, 0xFFFFFFFF, 0, 0},
      {4, 28, 0.5f, 1, 0xFFFFFFFF, 0, 0},  // clockwise on the screen
      {36, 4, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {36, 28, 0.5f, 1, 0xFFFFFFFF, 0, 0},
      {60, 4, 0.5f, 1, 0xFFFFFFFF, 0, 0}};  // counter-clockwise
  device_->SetFVF(0x144);
  ASSERT_EQ(device_->DrawPrimitiveUP(kPrimTriangleList, 2, triangles, sizeof(ScreenVertex)), Result::kOk);
  EXPECT_TRUE(NearArgb(Probe(8, 8), 0xFFFFFFFF, 0));
  EXPECT_TRUE(NearArgb(Probe(40, 8), 0xFF000000, 0));
}

TEST_F(GlDeviceTest, AlphaBlendingAndAlphaTest) {
  Clear(0xFF0000FF);
  device_->SetTextureStageState(0, kTssAlphaOp, kTopModulate);
  device_->SetTextureStageState(0, kTssAlphaArg2, kTaDiffuse);
  device_->SetRenderState(kRsAlphaBlendEnable, 1);
  device_->SetRenderState(kRsSrcBlend, kBlendSrcAlpha);
  device_->SetRenderState(kRsDestBlend, kBlendInvSrcAlpha);
  DrawRect(0, 0, 32, 32, 0x80FF0000);
  EXPECT_TRUE(NearArgb(Probe(8, 8), 0xFF80007F, 2));
  device_->SetRenderState(kRsAlphaTestEnable, 1);
  device_->SetRenderState(kRsAlphaFunc, kCmpGreaterEqual);
  device_->SetRenderState(kRsAlphaRef, 0x81);
  DrawRect(32, 0, 64, 32, 0x80FF0000);
  EXPECT_TRUE(NearArgb(Probe(40, 8), 0xFF0000FF, 0));
  device_->SetRenderState(kRsAlphaRef, 0x80);
  DrawRect(32, 32, 64, 64, 0x80FF0000);
  EXPECT_TRUE(NearArgb(Probe(40, 40), 0xFF80007F, 2));
}

TEST_F(GlDeviceTest, LinearFogMixesByViewDepth) {
  Clear(0xFF000000);
  device_->SetRenderState(kRsFogEnable, 1);
  device_->SetRenderState(kRsFogVertexMode, kFogLinear);
  device_->SetRenderState(kRsFogColor, 0xFF00FF00);
  device_->SetRenderState(kRsFogStart, Bits(0.0f));
  device_->SetRenderState(kRsFogEnd, Bits(1.0f));
  const ColourVertex quad[4] = {{-1, 1, 0.25f, 0xFFFF0000}, {1, 1, 0.25f, 0xFFFF0000},
                                {-1, -1, 0.25f, 0xFFFF0000}, {1, -1, 0.25f, 0xFFFF0000}};
  device_->SetFVF(0x42);
  ASSERT_EQ(device_->DrawPrimitiveUP(kPrimTriangleStrip, 2, quad, sizeof(ColourVertex)), Result::kOk);
  EXPECT_TRUE(NearArgb(Probe(32, 32), 0xFFBF4000, 2));  // three quarters red, a quarter fog
}

// Left-handed perspective projection, depth 0..1.
Matrix Perspective(float fov, float aspect, float zn, float zf) {
  Matrix m;
  const float y = 1 / std::tan(fov / 2);
  m.m[0] = y / aspect;
  m.m[5] = y;
  m.m[10] = zf / (zf - zn);
  m.m[11] = 1;
  m.m[14] = -zn * zf / (zf - zn);
  m.m[15] = 0;
  return m;
}

TEST_F(GlDeviceTest, SphereUnderDirectionalAndPointLightsMatchesTheLightingFormula) {
  const MeshData sphere = CreateSphereMesh(1.0f, 16, 16);
  std::unique_ptr<VertexBuffer> vertices;
  std::unique_ptr<IndexBuffer> indices;
  const auto vertexBytes = std::uint32_t(sphere.vertices.size() * sizeof(float));
  const auto indexBytes = std::uint32_t(sphere.indices.size() * 2);
  ASSERT_EQ(device_->CreateVertexBuffer(vertexBytes, 0, sphere.vertexFormat, kPoolManaged, &vertices), Result::kOk);
  ASSERT_EQ(device_->CreateIndexBuffer(indexBytes, 0, kFormatIndex16, kPoolManaged, &indices), Result::kOk);
  void* data = nullptr;
  vertices->Lock(0, 0, 0, &data);
  std::memcpy(data, sphere.vertices.data(), vertexBytes);
  vertices->Unlock();
  indices->Lock(0, 0, 0, &data);
  std::memcpy(data, sphere.indices.data(), indexBytes);
  indices->Unlock();

  Matrix world;
  world.m[14] = 4;  // the sphere's -z pole faces the eye at the origin, 3 units away
  device_->SetTransform(kTransformWorld, world);
  device_->SetTransform(kTransformProjection, Perspective(0.8f, 1, 0.5f, 100));
  device_->SetRenderState(kRsLighting, 1);
  device_->SetRenderState(kRsAmbient, 0xFF202020);
  Material material;
  material.diffuse = {0.8f, 0.6f, 0.4f, 1};
  material.ambient = {1, 1, 1, 1};
  device_->SetMaterial(material);
  device_->SetFVF(sphere.vertexFormat);
  device_->SetStreamSource(vertices.get(), 0, sphere.vertexSize);
  device_->SetIndices(indices.get());

  Light directional;
  directional.type = kLightDirectional;
  directional.diffuse = {1, 1, 1, 1};
  directional.direction = {0, -0.6f, 0.8f};  // N . L = 0.8 at the pole
  Light point;
  point.type = kLightPoint;
  point.diffuse = {1, 0.5f, 0.25f, 1};
  point.position = {0, 0, 1};  // 2 units in front of the pole, straight on
  point.range = 10;
  point.attenuation0 = 0.5f;
  point.attenuation1 = 0.25f;

  struct Case {
    const Light* light;
    float r, g, b;  // expected, from ambient + diffuse x colour x N.L x attenuation
  };
  const float ambient = 32.0f / 255.0f;
  const float attenuation = 1.0f / (0.5f + 0.25f * 2);
  const Case cases[] = {
      {&directional, ambient + 0.8f * 0.8f, ambient + 0.6f * 0.8f, ambient + 0.4f * 0.8f},
      {&point, ambient + 0.8f * 1 * attenuation, ambient + 0.6f * 0.5f * attenuation,
       ambient + 0.4f * 0.25f * attenuation}};
  for (const Case& c : cases) {
    device_->SetLight(0, *c.light);
    device_->LightEnable(0, true);
    Clear(0xFF000000);
    ASSERT_EQ(device_->DrawIndexedPrimitive(kPrimTriangleList, 0, 0, sphere.vertexCount, 0,
                                            sphere.TriangleCount()), Result::kOk);
    auto byte = [](float v) { return std::uint32_t(std::lround(std::min(v, 1.0f) * 255)); };
    const std::uint32_t expected = 0xFF000000 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
    EXPECT_TRUE(NearArgb(Probe(kSize / 2, kSize / 2), expected, 4)) << c.light->type;
  }
  EXPECT_TRUE(NearArgb(Probe(1, 1), 0xFF000000, 0));
}

TEST_F(GlDeviceTest, RenderTargetKeepsTopRowFirstWhenSampled) {
  std::unique_ptr<Texture> target;
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, kUsageRenderTarget, kFormatX8R8G8B8, kPoolDefault, &target),
            Result::kOk);
  ASSERT_EQ(device_->SetRenderTarget(target.get()), Result::kOk);
  Clear(0xFF00FF00);
  DrawRect(0, 0, 16, 8, 0xFFFF0000);
  EXPECT_TRUE(NearArgb(Probe(3, 2, target.get()), 0xFFFF0000, 0));
  EXPECT_TRUE(NearArgb(Probe(3, 12, target.get()), 0xFF00FF00, 0));

  ASSERT_EQ(device_->SetRenderTarget(nullptr), Result::kOk);
  EXPECT_EQ(device_->GetViewport().width, kSize);
  Clear(0xFF000000);
  device_->SetTexture(0, target.get());
  DrawRect(0, 0, 32, 32, 0xFFFFFFFF);
  EXPECT_TRUE(NearArgb(Probe(8, 4), 0xFFFF0000, 0));
  EXPECT_TRUE(NearArgb(Probe(8, 28), 0xFF00FF00, 0));
  EXPECT_EQ(device_->Present(), Result::kOk);
}

// The first mip generation of a target with a mip chain once moved its
// images and lost what had been drawn into level 0.
TEST_F(GlDeviceTest, MippedRenderTargetKeepsLevelZeroThroughItsFirstMipGeneration) {
  std::unique_ptr<Texture> target, other;
  ASSERT_EQ(device_->CreateTexture(64, 32, 0, kUsageRenderTarget | kUsageAutoGenMipMap, kFormatX8R8G8B8,
                                   kPoolDefault, &target),
            Result::kOk);
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, kUsageRenderTarget, kFormatX8R8G8B8, kPoolDefault, &other),
            Result::kOk);
  ASSERT_EQ(device_->SetRenderTarget(target.get()), Result::kOk);
  Clear(0xFFFF0000);
  ASSERT_EQ(device_->SetRenderTarget(other.get()), Result::kOk);
  EXPECT_TRUE(NearArgb(Probe(3, 3, target.get()), 0xFFFF0000, 0));
  EXPECT_TRUE(NearArgb(Probe(3, 3, target.get()), 0xFFFF0000, 0));
  ASSERT_EQ(device_->SetRenderTarget(nullptr), Result::kOk);
}

TEST_F(GlDeviceTest, SecondStageOperations) {
  const auto grey = SolidTexture(0xFF404040);
  const auto halfRed = SolidTexture(0x80FF0000);
  device_->SetTexture(0, grey.get());
  device_->SetTexture(1, halfRed.get());
  device_->SetTextureStageState(1, kTssColorArg1, kTaTexture);
  device_->SetTextureStageState(1, kTssColorArg2, kTaCurrent);
  struct Case {
    std::uint32_t op;
    std::uint32_t expected;
  };
  const Case cases[] = {{kTopAdd, 0xFFFF4040},
                        {kTopModulate2x, 0xFF800000},
                        {kTopBlendTextureAlpha, 0xFFA02020},
                        {kTopSelectArg2, 0xFF404040},
                        {kTopDisable, 0xFF404040}};
  for (const Case& c : cases) {
    device_->SetTextureStageState(1, kTssColorOp, c.op);
    Clear(0xFF000000);
    DrawRect(0, 0, 16, 16, 0xFFFFFFFF);
    EXPECT_TRUE(NearArgb(Probe(8, 8), c.expected, 2)) << "operation " << c.op;
  }
}

TEST_F(GlDeviceTest, TextureTransformsExpandTwoCoordinatesWithOneAndProject) {
  const auto checker = MakeTexture(2, 2, kChecker);
  device_->SetTexture(0, checker.get());
  Matrix half;
  half.m[0] = half.m[5] = 0.5f;
  Matrix shifted = half;
  shifted.m[8] = 0.5f;  // third row: the translation of two-coordinate sets
  Matrix deep;
  deep.m[10] = 2;  // (u, v, 1) becomes (u, v, 2): projected, (u / 2, v / 2)
  struct Case {
    std::uint32_t flags;
    Matrix matrix;
    std::uint32_t expected;  // the whole quad shows one texel
  };
  const Case cases[] = {{kTtfCount2, half, 0xFFFF0000},
                        {kTtfCount2, shifted, 0xFF00FF00},
                        {kTtfCount3 | kTtfProjected, deep, 0xFFFF0000},
                        {kTtfDisable, deep, 0xFFFFFFFF}};
  for (const Case& c : cases) {
    device_->SetTextureStageState(0, kTssTextureTransformFlags, c.flags);
    device_->SetTransform(kTransformTexture0, c.matrix);
    Clear(0xFF000000);
    DrawRect(0, 0, 32, 32, 0xFFFFFFFF);
    EXPECT_TRUE(NearArgb(Probe(28, 28), c.expected, 0)) << "flags " << c.flags;
  }
}

TEST_F(GlDeviceTest, PointSpritesShowTheWholeTextureUpright) {
  struct PointVertex {  // format 0x62: position, point size, colour
    float x, y, z, size;
    std::uint32_t colour;
  };
  const auto checker = MakeTexture(2, 2, kChecker);
  device_->SetTexture(0, checker.get());
  device_->SetRenderState(kRsPointSpriteEnable, 1);
  const PointVertex point = {0, 0, 0.5f, 16, 0xFFFFFFFF};
  Clear(0xFF000000);
  device_->SetFVF(0x62);
  ASSERT_EQ(device_->DrawPrimitiveUP(kPrimPointList, 1, &point, sizeof point), Result::kOk);
  EXPECT_TRUE(NearArgb(Probe(26, 26), 0xFFFF0000, 0));
  EXPECT_TRUE(NearArgb(Probe(37, 26), 0xFF00FF00, 0));
  EXPECT_TRUE(NearArgb(Probe(26, 37), 0xFF0000FF, 0));
  EXPECT_TRUE(NearArgb(Probe(20, 20), 0xFF000000, 0));
}

TEST_F(GlDeviceTest, ReflectionVectorSamplesTheCubeFaceBehindTheEye) {
  std::unique_ptr<Texture> cube;
  ASSERT_EQ(device_->CreateCubeTexture(1, 1, 0, kFormatX8R8G8B8, kPoolManaged, &cube), Result::kOk);
  const std::uint32_t colours[6] = {0xFF100000, 0xFF200000, 0xFF300000, 0xFF400000, 0xFF500000, 0xFF0000FF};
  for (std::uint32_t face = 0; face < 6; ++face) {
    LockedRect rect;
    ASSERT_EQ(cube->LockRect(0, 0, &rect, face), Result::kOk);
    std::memcpy(rect.bits, &colours[face], 4);
    cube->UnlockRect(0, face);
  }
  struct NormalVertex {  // format 0x12
    float x, y, z, nx, ny, nz;
  };
  const NormalVertex quad[4] = {{-1, 1, 0.5f, 0, 0, -1}, {1, 1, 0.5f, 0, 0, -1},
                                {-1, -1, 0.5f, 0, 0, -1}, {1, -1, 0.5f, 0, 0, -1}};
  device_->SetTexture(0, cube.get());
  device_->SetTextureStageState(0, kTssTexCoordIndex, kTciCameraSpaceReflectionVector);
  Clear(0xFF000000);
  device_->SetFVF(0x12);
  ASSERT_EQ(device_->DrawPrimitiveUP(kPrimTriangleStrip, 2, quad, sizeof(NormalVertex)), Result::kOk);
  EXPECT_TRUE(NearArgb(Probe(32, 32), 0xFF0000FF, 0));  // the negative z face
}

// What a draw leaves bound on the texture units it does not sample, read
// back from GL: a software driver makes pixel code for every unit's format
// and sampler state, so units left holding an earlier draw's textures would
// have the first draw after any new texture build code of its own.
TEST_F(GlDeviceTest, ADrawLeavesNoEarlierTextureOnTheUnitsItDoesNotUse) {
  std::unique_ptr<Texture> cube;
  ASSERT_EQ(device_->CreateCubeTexture(1, 1, 0, kFormatX8R8G8B8, kPoolManaged, &cube), Result::kOk);
  const auto grey = SolidTexture(0xFF808080);
  const auto red = SolidTexture(0xFFFF0000);
  device_->SetTexture(0, grey.get());
  device_->SetTexture(1, red.get());
  device_->SetTexture(2, cube.get());
  device_->SetSamplerState(1, kSampAddressU, kAddressClamp);
  DrawRect(0, 0, 8, 8, 0xFFFFFFFF);
  device_->SetTexture(1, nullptr);
  device_->SetTexture(2, nullptr);
  DrawRect(0, 0, 8, 8, 0xFFFFFFFF);
  auto bound = [](GLuint unit, GLenum binding) {
    glActiveTexture(GL_TEXTURE0 + unit);
    GLint name = 0;
    glGetIntegerv(binding, &name);
    GLint sampler = 0;
    glGetIntegerv(GL_SAMPLER_BINDING, &sampler);
    glActiveTexture(GL_TEXTURE0);
    return name != 0 || sampler != 0;
  };
  EXPECT_TRUE(bound(0, GL_TEXTURE_BINDING_2D)) << "the stage in use";
  for (GLuint unit = 1; unit < 4; ++unit) EXPECT_FALSE(bound(unit, GL_TEXTURE_BINDING_2D)) << "unit " << unit;
  for (GLuint unit = 4; unit < 8; ++unit) EXPECT_FALSE(bound(unit, GL_TEXTURE_BINDING_CUBE_MAP)) << "unit " << unit;
}

TEST_F(GlDeviceTest, GammaRampIsAppliedWhenTheBackBufferIsShown) {
  GammaRamp ramp;
  for (int i = 0; i < 256; ++i) {
    ramp.red[i] = std::uint16_t(65535 - i * 257);  // inverted
    ramp.green[i] = std::uint16_t(i * 257);
    ramp.blue[i] = 0;
  }
  device_->SetGammaRamp(ramp);
  // The second present follows a draw that empties the unit the ramp sat on.
  for (int present = 0; present < 2; ++present) {
    SCOPED_TRACE(present);
    Clear(0xFF20C0FF);
    if (present == 1) DrawRect(40, 40, 48, 48, 0xFFFFFFFF);
    ASSERT_EQ(device_->Present(), Result::kOk);
    EXPECT_TRUE(NearArgb(Probe(5, 5), 0xFF20C0FF, 0));  // the back buffer itself is untouched
    std::uint32_t shown = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadPixels(5, 5, 1, 1, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &shown);
    EXPECT_TRUE(NearArgb(shown, 0xFFDFC000, 1));
  }
}

TEST_F(GlDeviceTest, DesktopModeIsReportedAndUnknownDisplaysAreNot) {
  DisplayMode desktop;
  ASSERT_TRUE(GetDesktopDisplayMode(desktop));
  EXPECT_GT(desktop.width, 0u);
  EXPECT_GT(desktop.height, 0u);
  EXPECT_NE(desktop.format, 0u);
  EXPECT_FALSE(GetDesktopDisplayMode(desktop, 99));
  EXPECT_TRUE(ListDisplayModes(99).empty());
}

}  // namespace
}  // namespace tge::gfx
