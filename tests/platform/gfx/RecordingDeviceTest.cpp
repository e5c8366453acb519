#include "platform/gfx/RecordingDevice.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

namespace tge::gfx {
namespace {

TEST(GfxRecordingDevice, StartsWithTheDefaultStates) {
  RecordingDevice device;
  EXPECT_EQ(device.GetRenderState(kRsZEnable), 1u);
  EXPECT_EQ(device.GetRenderState(kRsCullMode), kCullCounterClockwise);
  EXPECT_EQ(device.GetRenderState(kRsLighting), 1u);
  EXPECT_EQ(device.GetRenderState(kRsFogEnd), std::bit_cast<std::uint32_t>(1.0f));
  EXPECT_EQ(device.GetTextureStageState(0, kTssColorOp), kTopModulate);
  EXPECT_EQ(device.GetTextureStageState(1, kTssColorOp), kTopDisable);
  EXPECT_EQ(device.GetTextureStageState(3, kTssTexCoordIndex), 3u);
  EXPECT_EQ(device.GetSamplerState(2, kSampAddressU), kAddressWrap);
  const Viewport viewport = device.GetViewport();
  EXPECT_EQ(viewport.width, 640u);
  EXPECT_EQ(viewport.height, 480u);
}

TEST(GfxRecordingDevice, RecordsEveryCallInOrderAndRefusesBadIds) {
  RecordingDevice device;
  EXPECT_EQ(device.SetRenderState(kRsZWriteEnable, 0), Result::kOk);
  EXPECT_EQ(device.SetTextureStageState(1, kTssColorOp, kTopAdd), Result::kOk);
  EXPECT_EQ(device.SetSamplerState(0, kSampAddressU, kAddressClamp), Result::kOk);
  EXPECT_EQ(device.SetRenderState(kRenderStateCount, 1), Result::kInvalidCall);
  EXPECT_EQ(device.SetTextureStageState(kMaxStages, 1, 1), Result::kInvalidCall);
  EXPECT_EQ(device.SetTransform(300, Matrix{}), Result::kInvalidCall);
  ASSERT_EQ(device.Calls().size(), 6u);
  EXPECT_EQ(device.Calls()[1].type, CallType::kSetTextureStageState);
  EXPECT_EQ(device.Calls()[1].b, kTssColorOp);
  EXPECT_EQ(device.Calls()[1].c, kTopAdd);
  EXPECT_EQ(device.CountCalls(CallType::kSetRenderState, kRsZWriteEnable), 1u);
  EXPECT_EQ(device.GetRenderState(kRsZWriteEnable), 0u);
  EXPECT_EQ(device.GetSamplerState(0, kSampAddressU), kAddressClamp);
  EXPECT_EQ(CallName(CallType::kDrawPrimitiveUP), "DrawPrimitiveUP");
}

TEST(GfxRecordingDevice, ForcedFailuresAreReturnedAndChangeNothing) {
  RecordingDevice device;
  device.FailCalls(CallType::kSetRenderState);
  EXPECT_EQ(device.SetRenderState(kRsLighting, 0), Result::kFailed);
  EXPECT_EQ(device.GetRenderState(kRsLighting), 1u);
  device.FailCalls(CallType::kCreateTexture, Result::kOutOfMemory);
  std::unique_ptr<Texture> texture;
  EXPECT_EQ(device.CreateTexture(4, 4, 1, 0, kFormatA8R8G8B8, kPoolManaged, &texture),
            Result::kOutOfMemory);
  EXPECT_EQ(texture, nullptr);
  device.FailCalls(CallType::kSetRenderState, Result::kOk);
  EXPECT_EQ(device.SetRenderState(kRsLighting, 0), Result::kOk);
}

TEST(GfxRecordingDevice, LostDeviceResetsOnlyWithoutDefaultPoolResourcesAndRestoresDefaults) {
  RecordingDevice device;
  std::unique_ptr<Texture> target, managed;
  ASSERT_EQ(device.CreateTexture(64, 64, 1, kUsageRenderTarget, kFormatX8R8G8B8, kPoolDefault, &target),
            Result::kOk);
  ASSERT_EQ(device.CreateTexture(8, 8, 0, 0, kFormatDxt1, kPoolManaged, &managed), Result::kOk);
  device.SetRenderState(kRsFogEnable, 1);
  device.SetTexture(0, managed.get());

  device.LoseDevice();
  EXPECT_EQ(device.TestCooperativeLevel(), Result::kDeviceLost);
  EXPECT_EQ(device.Present(), Result::kDeviceLost);
  device.AllowReset();
  EXPECT_EQ(device.TestCooperativeLevel(), Result::kDeviceNotReset);
  PresentParameters parameters = device.GetPresentParameters();
  parameters.backBufferWidth = 800;
  parameters.backBufferHeight = 600;
  EXPECT_EQ(device.Reset(parameters), Result::kInvalidCall);  // the render target is alive
  target.reset();
  EXPECT_EQ(device.Reset(parameters), Result::kOk);
  EXPECT_EQ(device.TestCooperativeLevel(), Result::kOk);
  EXPECT_EQ(device.GetRenderState(kRsFogEnable), 0u);
  EXPECT_EQ(device.GetTexture(0), nullptr);
  EXPECT_EQ(device.GetViewport().width, 800u);
  ASSERT_NE(managed, nullptr);  // managed resources survive a reset
}

TEST(GfxRecordingDevice, DestroyedResourcesAreUnbound) {
  RecordingDevice device;
  std::unique_ptr<Texture> texture;
  std::unique_ptr<VertexBuffer> vertices;
  ASSERT_EQ(device.CreateTexture(4, 4, 1, kUsageRenderTarget, kFormatX8R8G8B8, kPoolDefault, &texture),
            Result::kOk);
  ASSERT_EQ(device.CreateVertexBuffer(48, 0, 0x42, kPoolManaged, &vertices), Result::kOk);
  device.SetTexture(2, texture.get());
  device.SetRenderTarget(texture.get());
  device.SetFVF(0x42);
  device.SetStreamSource(vertices.get(), 0, 16);
  EXPECT_EQ(device.GetViewport().width, 4u);
  texture.reset();
  vertices.reset();
  EXPECT_EQ(device.GetTexture(2), nullptr);
  EXPECT_EQ(device.GetRenderTarget(), nullptr);
  EXPECT_EQ(device.DrawPrimitive(kPrimTriangleList, 0, 1), Result::kInvalidCall);
  EXPECT_EQ(device.LiveResources(), 0u);
}

TEST(GfxRecordingDevice, ResourcesMayOutliveTheirDevice) {
  std::unique_ptr<IndexBuffer> indices;
  {
    RecordingDevice device;
    ASSERT_EQ(device.CreateIndexBuffer(12, 0, kFormatIndex16, kPoolManaged, &indices), Result::kOk);
  }
  void* data = nullptr;
  EXPECT_EQ(indices->Lock(0, 0, 0, &data), Result::kOk);
  EXPECT_EQ(indices->Unlock(), Result::kOk);
}

TEST(GfxRecordingDevice, BufferLocksStayInsideAndTrackWhatChanged) {
  RecordingDevice device;
  std::unique_ptr<VertexBuffer> buffer;
  ASSERT_EQ(device.CreateVertexBuffer(64, kUsageDynamic, 0x42, kPoolDefault, &buffer), Result::kOk);
  void* data = nullptr;
  EXPECT_EQ(buffer->Lock(48, 32, 0, &data), Result::kInvalidCall);
  ASSERT_EQ(buffer->Lock(16, 16, kLockNoOverwrite, &data), Result::kOk);
  EXPECT_EQ(buffer->Lock(0, 0, 0, &data), Result::kInvalidCall);  // already locked
  std::memset(data, 0xAB, 16);
  ASSERT_EQ(buffer->Unlock(), Result::kOk);
  EXPECT_EQ(buffer->Unlock(), Result::kInvalidCall);
  EXPECT_EQ(buffer->Bytes()[16], 0xAB);
  const DirtyRange dirty = buffer->TakeDirtyRange();
  EXPECT_EQ(dirty.begin, 16u);
  EXPECT_EQ(dirty.end, 32u);
  EXPECT_FALSE(dirty.discard);
  EXPECT_TRUE(buffer->TakeDirtyRange().Empty());
  ASSERT_EQ(buffer->Lock(0, 0, kLockDiscard, &data), Result::kOk);
  buffer->Unlock();
  EXPECT_TRUE(buffer->TakeDirtyRange().discard);
}

TEST(GfxRecordingDevice, TexturesKeepEveryLevelAndFaceForReadBack) {
  RecordingDevice device;
  std::unique_ptr<Texture> cube;
  ASSERT_EQ(device.CreateCubeTexture(8, 0, 0, kFormatA4R4G4B4, kPoolManaged, &cube), Result::kOk);
  EXPECT_EQ(cube->LevelCount(), 4u);
  TextureDesc desc;
  ASSERT_EQ(cube->GetLevelDesc(2, &desc), Result::kOk);
  EXPECT_EQ(desc.width, 2u);
  EXPECT_EQ(desc.format, kFormatA4R4G4B4);
  LockedRect rect;
  ASSERT_EQ(cube->LockRect(1, 0, &rect, kFaceNegativeY), Result::kOk);
  EXPECT_EQ(rect.pitch, 8u);
  static_cast<std::uint8_t*>(rect.bits)[5] = 7;
  ASSERT_EQ(cube->UnlockRect(1, kFaceNegativeY), Result::kOk);
  EXPECT_EQ(cube->ReadImage(1, kFaceNegativeY)[5], 7);
  EXPECT_EQ(cube->ReadImage(1, kFacePositiveY)[5], 0);
  EXPECT_EQ(cube->LockRect(4, 0, &rect), Result::kInvalidCall);
  EXPECT_EQ(cube->LockRect(0, 0, &rect, 6), Result::kInvalidCall);

  std::unique_ptr<Texture> target;
  ASSERT_EQ(device.CreateTexture(16, 16, 1, kUsageRenderTarget, kFormatX8R8G8B8, kPoolDefault, &target),
            Result::kOk);
  EXPECT_EQ(target->LockRect(0, 0, &rect), Result::kInvalidCall);
  EXPECT_EQ(device.CreateTexture(16, 16, 1, kUsageRenderTarget, kFormatX8R8G8B8, kPoolManaged, &target),
            Result::kInvalidCall);
  EXPECT_EQ(device.CreateTexture(0, 16, 1, 0, kFormatX8R8G8B8, kPoolManaged, &target), Result::kInvalidCall);
  EXPECT_EQ(device.CreateTexture(16, 16, 1, 0, kFormatR8G8B8, kPoolManaged, &target), Result::kInvalidCall);
}

TEST(GfxRecordingDevice, DrawsThatWouldReadOutsideTheirBuffersAreRefused) {
  RecordingDevice device;
  std::unique_ptr<VertexBuffer> vertices;
  std::unique_ptr<IndexBuffer> indices;
  ASSERT_EQ(device.CreateVertexBuffer(4 * 16, 0, 0x42, kPoolManaged, &vertices), Result::kOk);
  ASSERT_EQ(device.CreateIndexBuffer(6 * 2, 0, kFormatIndex16, kPoolManaged, &indices), Result::kOk);
  void* data = nullptr;
  indices->Lock(0, 0, 0, &data);
  const std::uint16_t values[6] = {0, 1, 2, 2, 1, 4};  // 4 is past the four vertices
  std::memcpy(data, values, sizeof values);
  indices->Unlock();
  device.SetFVF(0x42);
  device.SetStreamSource(vertices.get(), 0, 16);
  device.SetIndices(indices.get());

  EXPECT_EQ(device.DrawPrimitive(kPrimTriangleStrip, 0, 2), Result::kOk);
  EXPECT_EQ(device.LastDraw().vertexCount, 4u);
  EXPECT_EQ(device.DrawPrimitive(kPrimTriangleStrip, 1, 2), Result::kInvalidCall);
  EXPECT_EQ(device.DrawPrimitive(kPrimTriangleList, 0, 0), Result::kInvalidCall);
  EXPECT_EQ(device.DrawPrimitive(8, 0, 1), Result::kInvalidCall);
  EXPECT_EQ(device.DrawIndexedPrimitive(kPrimTriangleList, 0, 0, 4, 0, 1), Result::kOk);
  EXPECT_EQ(device.DrawIndexedPrimitive(kPrimTriangleList, 0, 0, 4, 0, 2), Result::kInvalidCall);
  EXPECT_EQ(device.DrawIndexedPrimitive(kPrimTriangleList, 2, 0, 4, 0, 1), Result::kInvalidCall);
  EXPECT_EQ(device.DrawIndexedPrimitive(kPrimTriangleList, 0, 0, 4, 3, 2), Result::kInvalidCall);
  device.SetStreamSource(vertices.get(), 0, 12);  // stride smaller than the vertex
  EXPECT_EQ(device.DrawPrimitive(kPrimPointList, 0, 1), Result::kInvalidCall);

  const std::uint8_t quad[4 * 16] = {};
  EXPECT_EQ(device.DrawPrimitiveUP(kPrimTriangleStrip, 2, quad, 16), Result::kOk);
  EXPECT_EQ(device.DrawPrimitiveUP(kPrimTriangleStrip, 2, nullptr, 16), Result::kInvalidCall);
  EXPECT_EQ(device.SetFVF(0x40), Result::kInvalidCall);
}

TEST(GfxRecordingDevice, ScenesDoNotNest) {
  RecordingDevice device;
  EXPECT_EQ(device.EndScene(), Result::kInvalidCall);
  EXPECT_EQ(device.BeginScene(), Result::kOk);
  EXPECT_EQ(device.BeginScene(), Result::kInvalidCall);
  EXPECT_EQ(device.Clear(kClearTarget | kClearZBuffer, 0xFF102030, 1.0f, 0), Result::kOk);
  EXPECT_EQ(device.LastClearColor(), 0xFF102030u);
  EXPECT_EQ(device.EndScene(), Result::kOk);
  EXPECT_EQ(device.Present(), Result::kOk);
  EXPECT_EQ(device.Presents(), 1u);
}

}  // namespace
}  // namespace tge::gfx
