#include "services/RenderDevice.h"

#include <gtest/gtest.h>

#include "services/ErrorMessage.h"
#include "services/ResourceDatabase.h"
#include "services/render/EmptyTexture.h"
#include "services/render/PrimitivePools.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge {
namespace {

using gfx::CallType;
using test::RecordingRenderDevice;

TEST(RenderDevice, CachesPassEachChangeOnceAndKeepTheirTablesApart) {
  RecordingRenderDevice r;
  RenderDevice& rd = r.device;
  rd.SetRenderStateCached(gfx::kRsZEnable, 1);
  rd.SetRenderStateCached(gfx::kRsZEnable, 1);
  rd.SetTextureStageStateCached(0, gfx::kTssColorOp, 3);
  rd.SetTextureStageStateCached(0, gfx::kTssColorOp, 3);
  // Same numbers as the stage state above, in the sampler's own table.
  rd.SetSamplerStateCached(0, gfx::kSampAddressU, 3);
  rd.SetSamplerStateCached(0, gfx::kSampAddressU, 3);
  auto texture = std::unique_ptr<gfx::Texture>();
  ASSERT_EQ(rd.Device().CreateTexture(4, 4, 1, 0, gfx::kFormatA8R8G8B8, gfx::kPoolManaged, &texture),
            gfx::Result::kOk);
  rd.SetTextureCached(2, texture.get());
  rd.SetTextureCached(2, texture.get());
  EXPECT_EQ(r.recording->CountCalls(CallType::kSetRenderState), 1u);
  EXPECT_EQ(r.recording->CountCalls(CallType::kSetTextureStageState), 1u);
  EXPECT_EQ(r.recording->CountCalls(CallType::kSetSamplerState), 1u);
  EXPECT_EQ(r.recording->CountCalls(CallType::kSetTexture), 1u);
  EXPECT_EQ(rd.Device().GetSamplerState(0, gfx::kSampAddressU), 3u);
  rd.SetTextureCached(2, nullptr);
}

TEST(RenderDevice, TextureCacheRebindsWhatTheDeviceNoLongerHolds) {
  RecordingRenderDevice r;
  RenderDevice& rd = r.device;
  auto texture = std::unique_ptr<gfx::Texture>();
  ASSERT_EQ(rd.Device().CreateTexture(4, 4, 1, 0, gfx::kFormatA8R8G8B8, gfx::kPoolManaged, &texture),
            gfx::Result::kOk);
  rd.SetTextureCached(0, texture.get());
  // What a released texture's stage looks like to a new texture made at the
  // same address: the device dropped the binding, the cache still names it.
  rd.Device().SetTexture(0, nullptr);
  rd.SetTextureCached(0, texture.get());
  EXPECT_EQ(rd.Device().GetTexture(0), texture.get());
  rd.SetTextureCached(0, nullptr);
}

TEST(RenderDevice, EveryCacheEntryStartsUnknownSoTheFirstSettingReachesTheDevice) {
  RecordingRenderDevice r;
  // States past the first 166 hold device defaults that a zero cache would hide.
  for (std::uint32_t state : {0u, 165u, 166u, 168u, 255u}) r.device.SetRenderStateCached(state, 0);
  EXPECT_EQ(r.recording->CountCalls(CallType::kSetRenderState), 5u);
  EXPECT_EQ(r.recording->GetRenderState(gfx::kRsColorWriteEnable), 0u);
}

TEST(RenderDevice, WindowedOpensAtTheAskedSizeWithLinearFilters) {
  RecordingRenderDevice r;
  EXPECT_EQ(r.used.width, 64);
  EXPECT_EQ(r.used.height, 32);
  EXPECT_EQ(r.device.GetViewport().width, 64u);
  EXPECT_EQ(r.device.GetViewport().height, 32u);
  EXPECT_EQ(r.recording->GetSamplerState(7, gfx::kSampMipFilter), gfx::kFilterLinear);
  EXPECT_EQ(r.device.GetMaterialTypes().size(), 12u);
  ASSERT_NE(r.device.GetSphereMesh(), nullptr);
  ASSERT_NE(r.device.GetBoxMesh(), nullptr);
  EXPECT_EQ(GetRenderDevice(), &r.device);
  r.device.ReleaseRenderDevice();
  EXPECT_EQ(GetRenderDevice(), nullptr);
  EXPECT_EQ(r.device.GetMaterialTypes().size(), 0u);
}

TEST(RenderDevice, FullScreenSizeFollowsModesAndShaderVersions) {
  const std::vector<gfx::DisplayMode> modes = {{1024, 768, 85, gfx::kFormatX8R8G8B8},
                                               {800, 600, 60, gfx::kFormatX8R8G8B8}};
  struct Case {
    const char* name;
    std::uint32_t pixelShader, bits;
    int width, height;
  };
  const Case cases[] = {
      {"listed mode", 3, 32, 1024, 768},
      {"old pixel shaders run at 800 x 600", 1, 32, 800, 600},
      {"16 bits fall back to the desktop", 3, 16, 1280, 1024},
  };
  for (const Case& c : cases) {
    gfx::DeviceCaps caps;
    caps.pixelShaderVersionMajor = c.pixelShader;
    RenderDevice rd(RecordingRenderDevice::MakeBackend(caps, modes));
    StartupSettings settings;
    settings.fullScreen = 1;
    settings.width = 1024;
    settings.height = 768;
    settings.colorDepth = int(c.bits);
    ASSERT_EQ(rd.InitRenderDevice(settings), 1) << c.name;
    EXPECT_EQ(settings.width, c.width) << c.name;
    EXPECT_EQ(settings.height, c.height) << c.name;
    EXPECT_EQ(rd.Device().GetPresentParameters().backBufferWidth, std::uint32_t(c.width)) << c.name;
    EXPECT_FALSE(rd.Device().GetPresentParameters().windowed) << c.name;
  }
}

TEST(RenderDevice, ChooseDisplayModeTakesExactRefreshThenAPlausibleOneThenTheDesktop) {
  const gfx::DisplayMode desktop{1920, 1080, 60, gfx::kFormatX8R8G8B8};
  const std::vector<gfx::DisplayMode> modes = {{1024, 768, 120, gfx::kFormatX8R8G8B8},
                                               {1024, 768, 75, gfx::kFormatX8R8G8B8},
                                               {1024, 768, 60, gfx::kFormatX8R8G8B8},
                                               {640, 480, 60, gfx::kFormatR5G6B5}};
  gfx::DisplayMode out;
  EXPECT_EQ(ChooseDisplayMode(modes, desktop, out, 1024, 768, 32, 60), 1);
  EXPECT_EQ(out.refreshRate, 60u);
  EXPECT_EQ(ChooseDisplayMode(modes, desktop, out, 1024, 768, 0, 50), 1);
  EXPECT_EQ(out.refreshRate, 75u);
  EXPECT_EQ(ChooseDisplayMode(modes, desktop, out, 640, 480, 16, 60), 0);
  EXPECT_EQ(out.width, 1920u);
  EXPECT_EQ(ChooseDisplayMode({}, desktop, out, 1024, 768, 32, 0), 0);
}

TEST(RenderDevice, CreationFailureReportsItsText) {
  RenderDeviceBackend backend = RecordingRenderDevice::MakeBackend({});
  backend.createDevice = [](const StartupSettings&, const gfx::PresentParameters&, std::string& error) {
    error = "no context";
    return std::unique_ptr<gfx::Device>();
  };
  RenderDevice rd(backend);
  StartupSettings settings = RecordingRenderDevice::Windowed();
  EXPECT_EQ(rd.InitRenderDevice(settings), 0);
  EXPECT_STREQ(GetErrorMessage(), "Error - Creating DirectX 9 Device");
  EXPECT_FALSE(rd.IsOpen());
  EXPECT_EQ(rd.HandleDeviceLost(), 0);
}

TEST(RenderDevice, ResetReleasesTheDefaultPoolAndMakesRenderTargetsAgainAtTheirSize) {
  RecordingRenderDevice r;
  RenderDevice& rd = r.device;
  ResourceDatabase db;
  ResourceRef target = CreateEmptyTexture(db, rd, 32, 16, gfx::kFormatA8R8G8B8, true);
  ASSERT_TRUE(target);
  const float quad[4 * 4] = {};
  ASSERT_EQ(rd.GetPrimitivePools().Draw(rd, quad, 0x42, gfx::kPrimTriangleList, 1, 0), 1);
  Matrix4 projection;
  projection.m[0] = 2;
  rd.SetProjectionMatrix(projection);
  rd.SetRenderStateCached(gfx::kRsZEnable, 1);
  rd.SetRenderStateCached(200, 7);

  r.recording->LoseDevice();
  EXPECT_EQ(rd.HandleDeviceLost(), 0);
  r.recording->AllowReset();
  r.recording->FailCalls(CallType::kReset);
  EXPECT_EQ(rd.HandleDeviceLost(), 0);  // tried again at the next frame
  EXPECT_EQ(static_cast<EmptyTexture*>(target.Get())->GetTexture(), nullptr);
  r.recording->FailCalls(CallType::kReset, gfx::Result::kOk);
  r.recording->ClearCalls();
  ASSERT_EQ(rd.HandleDeviceLost(), 1);

  EXPECT_EQ(r.recording->CountCalls(CallType::kReset), 1u);
  EXPECT_EQ(rd.GetPrimitivePools().GetRing(0x42), nullptr);
  auto* texture = static_cast<EmptyTexture*>(target.Get())->GetTexture();
  ASSERT_NE(texture, nullptr);
  gfx::TextureDesc desc;
  texture->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.width, 32u);
  EXPECT_EQ(desc.height, 16u);
  EXPECT_TRUE(texture->IsRenderTarget());
  gfx::Matrix restored;
  r.recording->GetTransform(gfx::kTransformProjection, &restored);
  EXPECT_EQ(restored.m[0], 2.0f);
  r.recording->ClearCalls();
  rd.SetRenderStateCached(gfx::kRsZEnable, 1);
  rd.SetRenderStateCached(200, 7);
  EXPECT_EQ(r.recording->CountCalls(CallType::kSetRenderState), 2u);
  EXPECT_EQ(rd.HandleDeviceLost(), 1);
}

TEST(RenderDevice, GammaRampScalesOffsetsAndClamps) {
  RecordingRenderDevice r;
  ASSERT_EQ(r.device.SetGamma(1.2f, 1.0f, 300.0f, -10.0f, 0.0f, 0.0f), 1);
  const gfx::GammaRamp& ramp = r.recording->States().gamma;
  EXPECT_EQ(ramp.red[0], 0);
  EXPECT_EQ(ramp.red[100], std::uint16_t((100 * 1.2f - 10) * 256));
  EXPECT_EQ(ramp.green[255], 255 * 256);
  EXPECT_EQ(ramp.blue[255], 65535);
}

TEST(RenderDevice, ProjectsThroughViewportProjectionAndView) {
  RecordingRenderDevice r;
  Matrix4 projection;
  Matrix4PerspectiveFov(projection, 1.0f, 2.0f, 1.0f, 100.0f);
  r.device.SetProjectionMatrix(projection);
  Vector3 screen;
  r.device.ProjectToScreen(screen, Vector3{0, 0, 10});
  EXPECT_NEAR(screen.x, 32.0f, 1e-3);
  EXPECT_NEAR(screen.y, 16.0f, 1e-3);
  EXPECT_GT(screen.z, 0.0f);
  EXPECT_LT(screen.z, 1.0f);
}

}  // namespace
}  // namespace tge
