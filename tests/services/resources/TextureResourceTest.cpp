#include "services/resources/TextureResource.h"

#include <gtest/gtest.h>

#include "services/ErrorMessage.h"
#include "services/ResourceDatabase.h"
#include "services/render/EmptyTexture.h"
#include "services/render/ShadowTexture.h"
#include "services/resources/MeshResource.h"
#include "tests/services/TestBytes.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge {
namespace {

using gfx::CallType;
using test::RecordingRenderDevice;

TEST(TextureResource, FormatAndSizeFollowTheStorageModeAndTheDevice) {
  struct Case {
    const char* name;
    std::uint8_t bits, mode;
    std::uint32_t stages;
    bool dxt;
    std::uint32_t format, width;
  };
  const Case cases[] = {
      {"file format", 32, kTextureKeepFileFormat, 2, true, gfx::kFormatA8R8G8B8, 0},
      {"16 bits compressed", 16, 1, 4, true, gfx::kFormatDxt1, 0},
      {"32 bits compressed", 32, 1, 4, true, gfx::kFormatDxt3, 0},
      {"halved on two stages", 16, 1, 2, true, gfx::kFormatDxt1, 64},
      {"full size on two stages", 16, kTextureCompressFullSize, 2, true, gfx::kFormatDxt1, 0},
  };
  for (const Case& c : cases) {
    gfx::DeviceCaps caps;
    caps.maxSimultaneousTextures = c.stages;
    RecordingRenderDevice r(caps);
    TextureResource texture;
    texture.width = 128;
    texture.height = 32;
    texture.bitDepth = c.bits;
    texture.storageMode = c.mode;
    const gfx::TextureRequest request = ChooseTextureRequest(texture, r.device);
    EXPECT_EQ(request.format, c.format) << c.name;
    EXPECT_EQ(request.width, c.width) << c.name;
  }
}

TEST(TextureResource, LoadsLazilyAndRefusesBadFiles) {
  RecordingRenderDevice r;
  test::TempDataFolder folder;
  ResourceDatabase db;
  db.SetDataFolder(folder.Folder());
  TextureResource nameless;
  EXPECT_EQ(nameless.Load(), 1);
  EXPECT_EQ(nameless.GetTexture(), nullptr);

  auto created = db.CreateResource(kTextureResource);
  auto* texture = ResourceCast<TextureResource>(created.get());
  db.RegisterResource(std::move(created));
  texture->SetFileName("stone.tga");
  EXPECT_EQ(texture->Load(), 0);
  EXPECT_NE(std::string(GetErrorMessage()).find("Error Opening File"), std::string::npos);
  folder.Write("Data/stone.tga", {1, 2, 3});
  EXPECT_EQ(texture->Load(), 0);
  EXPECT_NE(std::string(GetErrorMessage()).find("stone.tga"), std::string::npos);
  test::Bytes tga;
  tga.Raw("\0\0\2\0\0\0\0\0", 8).U16(0).U16(0).U16(2).U16(2).U16(0x2018);
  for (int i = 0; i < 4; ++i) tga.Raw("\1\2\3", 3);
  folder.Write("Data/stone.tga", tga.data);
  ASSERT_EQ(texture->Load(), 1) << GetErrorMessage();
  ASSERT_NE(texture->GetTexture(), nullptr);
  EXPECT_EQ(texture->GetTexture()->LevelCount(), 2u);  // a full chain
  EXPECT_EQ(texture->Unload(), 1);
  EXPECT_EQ(texture->GetTexture(), nullptr);

  texture->width = 300;
  texture->kind = TextureResource::kCubeMap;
  int width = 0, kind = 0;
  GetTextureInfo(texture, &width, nullptr, nullptr, &kind);
  EXPECT_EQ(width, 300);
  EXPECT_EQ(kind, 2);
  GetTextureInfo(nullptr, &width, nullptr, nullptr, nullptr);
  EXPECT_EQ(width, 0);
}

TEST(EmptyTexture, RenderTargetsNeedPermissionAndAreOwnedByTheirHandles) {
  RecordingRenderDevice r;
  ResourceDatabase db;
  ResourceRef plain = CreateEmptyTexture(db, r.device, 8, 8, gfx::kFormatX8R8G8B8, false);
  ASSERT_TRUE(plain);
  EXPECT_FALSE(static_cast<TextureResource*>(plain.Get())->GetTexture()->IsRenderTarget());
  r.recording->FailCalls(CallType::kCreateTexture);
  EXPECT_FALSE(CreateEmptyTexture(db, r.device, 8, 8, gfx::kFormatX8R8G8B8, true));
  EXPECT_STREQ(GetErrorMessage(), "D3DXCreateTexture");
  EXPECT_EQ(db.GetUnregisteredCount(), 1u);
  plain.Reset();
  EXPECT_EQ(db.GetUnregisteredCount(), 0u);
}

TEST(ShadowTexture, RendersIntoTheTargetAndRestoresTheFrame) {
  RecordingRenderDevice r;
  ResourceDatabase db;
  ResourceRef shadow = CreateEmptyTexture(db, r.device, 128, 128, gfx::kFormatX8R8G8B8, true);
  MeshResource* box = r.device.GetBoxMesh();
  const Matrix4 identity;
  Matrix4 lightView;
  Matrix4Translation(lightView, 0, -5, 0);
  EXPECT_EQ(RenderShadowTexture(r.device, shadow.Get(), identity, lightView, identity, nullptr, false), 0);
  ResourceRef plain = CreateEmptyTexture(db, r.device, 8, 8, gfx::kFormatX8R8G8B8, false);
  EXPECT_EQ(RenderShadowTexture(r.device, plain.Get(), identity, lightView, identity, box, false), 0);

  ASSERT_EQ(r.recording->BeginScene(), gfx::Result::kOk);  // inside the frame's scene
  r.recording->ClearCalls();
  ASSERT_EQ(RenderShadowTexture(r.device, shadow.Get(), identity, lightView, identity, box, true), 1);
  EXPECT_EQ(r.recording->CountCalls(CallType::kDrawIndexedPrimitive), 1u);
  EXPECT_EQ(r.recording->CountCalls(CallType::kDrawPrimitiveUP), 1u);  // the blur
  EXPECT_EQ(r.recording->GetRenderTarget(), nullptr);
  EXPECT_EQ(r.recording->GetViewport().width, 64u);
  gfx::Matrix view;
  r.recording->GetTransform(gfx::kTransformView, &view);
  EXPECT_EQ(view.m[13], 0.0f);
  EXPECT_EQ(r.recording->EndScene(), gfx::Result::kOk);  // the frame's scene is still open
  EXPECT_EQ(GetShadowQuality(r.device), 2);
  EXPECT_EQ(r.device.GetShadowTargets().GetShadowTarget(r.device, 128), 2);
}

// Preparing runs the blurred pass once with no mesh in it and gives the
// frame's target back; a device that cannot blur is left alone.
TEST(ShadowTexture, PreparingRunsTheBlurOnceWithNoMesh) {
  for (const bool canBlur : {true, false}) {
    SCOPED_TRACE(canBlur ? "blurs" : "cannot blur");
    gfx::DeviceCaps caps;
    caps.canAutoGenerateMipMaps = canBlur;
    RecordingRenderDevice r(caps);
    ResourceDatabase db;
    ResourceRef shadow = CreateEmptyTexture(db, r.device, 128, 128, gfx::kFormatX8R8G8B8, true);
    r.recording->ClearCalls();
    PrepareShadowBlur(r.device, shadow.Get());
    EXPECT_EQ(r.recording->CountCalls(CallType::kDrawIndexedPrimitive), 0u);
    EXPECT_EQ(r.recording->CountCalls(CallType::kDrawPrimitiveUP), canBlur ? 1u : 0u);  // the blur
    EXPECT_EQ(r.recording->GetRenderTarget(), nullptr);
    EXPECT_EQ(r.device.GetShadowTargets().HasShadowTarget(128), canBlur);
    r.recording->ClearCalls();
    PrepareShadowBlur(r.device, shadow.Get());
    EXPECT_TRUE(r.recording->Calls().empty());
  }
}

}  // namespace
}  // namespace tge
