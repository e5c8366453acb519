// The frame render on a recording device: the order of its main device
// calls, post effects across a device reset, and the morph blend's choice of
// targets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "services/ResourceDatabase.h"
#include "services/render/EmptyTexture.h"
#include "services/render/FrameRender.h"
#include "services/render/MaterialType.h"
#include "services/render/MorphBlend.h"
#include "services/render/PostEffects.h"
#include "services/render/RenderQueue.h"
#include "services/render/ViewState.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/MorphMeshResource.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge {
namespace {

using gfx::CallType;

// The calls that shape a frame, in order. Render targets are numbered by
// their first use; binding one of them as stage 0's texture is listed too,
// so a target drawn into and then drawn from shows as the same number.
std::vector<std::string> MainCalls(const gfx::RecordingDevice& device,
                                   std::vector<const gfx::Texture*>* targetsOut = nullptr) {
  std::vector<const gfx::Texture*> targets;
  auto name = [&targets](const void* object) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
      if (targets[i] == object) return std::to_string(i + 1);
    }
    return std::string();
  };
  std::vector<std::string> calls;
  for (const gfx::DeviceCall& call : device.Calls()) {
    const std::string type(gfx::CallName(call.type));
    switch (call.type) {
      case CallType::kSetRenderTarget:
        if (call.object && name(call.object).empty()) {
          targets.push_back(static_cast<const gfx::Texture*>(call.object));
        }
        calls.push_back(type + " " + (call.object ? name(call.object) : "back buffer"));
        break;
      case CallType::kSetTexture:
        if (call.a == 0 && call.object && !name(call.object).empty()) calls.push_back(type + " " + name(call.object));
        break;
      case CallType::kBeginScene:
      case CallType::kClear:
      case CallType::kDrawPrimitive:
      case CallType::kDrawIndexedPrimitive:
      case CallType::kDrawPrimitiveUP:
      case CallType::kEndScene:
      case CallType::kPresent:
        calls.push_back(type);
        break;
      default:
        break;
    }
  }
  if (targetsOut) *targetsOut = targets;
  return calls;
}

// With post effects on and a bloom amount: the scene goes into target 1, is
// blurred into target 2, which is shown on the back buffer, and bloomed from
// target 1; then the screen quad of the second pass, and the frame is shown.
const std::vector<std::string> kPostEffectFrame = {
    "SetRenderTarget 1", "BeginScene",      "Clear",           "DrawIndexedPrimitive",
    "SetRenderTarget 2", "SetTexture 1",    "DrawPrimitiveUP", "SetRenderTarget back buffer",
    "SetTexture 2",      "DrawPrimitiveUP", "SetTexture 1",    "DrawPrimitiveUP",
    "DrawPrimitive",     "EndScene",        "Present"};

class FrameRecordingTest : public ::testing::Test {
 protected:
  FrameRecordingTest() {
    view_.SetProjection(std::numbers::pi_v<float> / 2, 1.0f, 1.0f, 100.0f);
    view_.SetCameraLookAt({0, 0, 0}, {0, 0, 1});
    overlay_.materialType = kMaterialSolidColor;
    mesh_.parts.resize(1);
    mesh_.parts[0].radius = 1.0f;
    mesh_.parts[0].geometry = CreateGeometryBuffers(rig_.device.Device(), 3, 1, 0x42, 16, 0, gfx::kPoolManaged);
  }

  static StartupSettings PostEffectSize() {
    StartupSettings settings = test::RecordingRenderDevice::Windowed();
    settings.width = PostEffects::kWidth;
    settings.height = PostEffects::kHeight;
    return settings;
  }

  gfx::RecordingDevice& recording() { return *rig_.recording; }

  // A screen quad queued first and a mesh part queued after it: the passes,
  // not the submission order, put the mesh first.
  void Frame() {
    ASSERT_EQ(frame_.BeginFrame(rig_.device), 1);
    queue_.QueueSprite(&overlay_, {0, 0, 0}, 8, 8, Color{1, 1, 1, 1}, 0);
    Matrix4 world;
    Matrix4Translation(world, 0, 0, 10);
    ASSERT_EQ(queue_.QueueMesh(&mesh_, world, nullptr, nullptr, 1.0f, nullptr), 1);
    frame_.RenderFrame(rig_.device, {});
    frame_.EndFrame(&rig_.device);
  }

  test::RecordingRenderDevice rig_{{}, PostEffectSize()};
  ResourceDatabase db_;
  MaterialResource overlay_;
  MeshResource mesh_;
  ViewState view_;
  RenderQueue queue_{view_};
  PostEffects post_;
  FrameRender frame_{queue_, view_, post_};
};

TEST_F(FrameRecordingTest, FrameDrawsSceneThenPostEffectsThenOverlayThenPresents) {
  Frame();
  EXPECT_EQ(MainCalls(recording()), (std::vector<std::string>{"BeginScene", "Clear", "DrawIndexedPrimitive",
                                                              "DrawPrimitive", "EndScene", "Present"}));
  post_.Start(rig_.device);
  ASSERT_TRUE(post_.IsEnabled());
  post_.SetBloomAmount(0.5f);
  recording().ClearCalls();
  Frame();
  EXPECT_EQ(MainCalls(recording()), kPostEffectFrame);

  // At 0 the bloom quad is not drawn.
  post_.SetBloomAmount(0);
  recording().ClearCalls();
  Frame();
  std::vector<std::string> withoutBloom = kPostEffectFrame;
  withoutBloom.erase(withoutBloom.begin() + 10, withoutBloom.begin() + 12);
  EXPECT_EQ(MainCalls(recording()), withoutBloom);
}

TEST_F(FrameRecordingTest, ResetMakesThePostTargetsAgainAndTheNextFrameDrawsThroughThem) {
  post_.Start(rig_.device);
  ASSERT_TRUE(post_.IsEnabled());
  recording().LoseDevice();
  recording().ClearCalls();
  EXPECT_EQ(frame_.BeginFrame(rig_.device), 0);
  recording().AllowReset();
  ASSERT_EQ(rig_.device.HandleDeviceLost(), 1);
  EXPECT_EQ(recording().CountCalls(CallType::kBeginScene), 0u);
  EXPECT_EQ(recording().CountCalls(CallType::kCreateTexture, PostEffects::kWidth), 2u);
  EXPECT_EQ(recording().CountCalls(CallType::kCreateTexture), 2u);
  ASSERT_TRUE(post_.IsEnabled());

  post_.SetBloomAmount(0.5f);
  recording().ClearCalls();
  Frame();
  std::vector<const gfx::Texture*> targets;
  EXPECT_EQ(MainCalls(recording(), &targets), kPostEffectFrame);
  ASSERT_EQ(targets.size(), 2u);
  for (const gfx::Texture* target : targets) {
    gfx::TextureDesc desc;
    ASSERT_EQ(target->GetLevelDesc(0, &desc), gfx::Result::kOk);
    EXPECT_EQ(desc.width, PostEffects::kWidth);
    EXPECT_EQ(desc.height, PostEffects::kHeight);
    EXPECT_TRUE(target->IsRenderTarget());
  }
}

// Post effects drop out of the restore list when their targets cannot be
// made again; the render targets listed after them must still be restored.
TEST_F(FrameRecordingTest, ResetWithoutRoomForThePostTargetsSwitchesThemOffAndRestoresTheRest) {
  post_.Start(rig_.device);
  ASSERT_TRUE(post_.IsEnabled());
  const ResourceRef shadows[2] = {CreateEmptyTexture(db_, rig_.device, 32, 16, gfx::kFormatA8R8G8B8, true),
                                  CreateEmptyTexture(db_, rig_.device, 32, 16, gfx::kFormatA8R8G8B8, true)};
  recording().LoseDevice();
  EXPECT_EQ(rig_.device.HandleDeviceLost(), 0);
  recording().AllowReset();
  gfx::DeviceCaps small;
  small.maxTextureWidth = PostEffects::kWidth / 2;
  recording().ChangeCaps(small);
  ASSERT_EQ(rig_.device.HandleDeviceLost(), 1);
  EXPECT_FALSE(post_.IsEnabled());
  for (const ResourceRef& shadow : shadows) EXPECT_NE(static_cast<EmptyTexture*>(shadow.Get())->GetTexture(), nullptr);

  recording().ClearCalls();
  Frame();
  EXPECT_EQ(MainCalls(recording()), (std::vector<std::string>{"BeginScene", "Clear", "DrawIndexedPrimitive",
                                                              "DrawPrimitive", "EndScene", "Present"}));
}

// Vertices of position and normal (format 0x12).
struct MorphVertex {
  Vector3 position, normal;
};
constexpr std::uint32_t kMorphFormat = 0x12;
constexpr std::uint32_t kMorphVertices = 3;

class MorphBlendTest : public ::testing::Test {
 protected:
  // Targets 0 and 1 fit; 1 has a vertex more than it needs. The others are
  // passed over: positions only (at the same stride), a wider stride, a
  // vertex short, no part 0.
  MorphBlendTest() {
    destination_ = Mesh(kMorphFormat, sizeof(MorphVertex), kMorphVertices, 9);
    struct Target {
      std::uint32_t format, stride, vertices;
    };
    const Target targets[] = {{kMorphFormat, sizeof(MorphVertex), kMorphVertices},
                              {kMorphFormat, sizeof(MorphVertex), kMorphVertices + 1},
                              {0x2, sizeof(MorphVertex), kMorphVertices},
                              {kMorphFormat, sizeof(MorphVertex) + 4, kMorphVertices},
                              {kMorphFormat, sizeof(MorphVertex), kMorphVertices - 1}};
    for (std::size_t t = 0; t < std::size(targets); ++t) {
      targets_.push_back(Mesh(targets[t].format, targets[t].stride, targets[t].vertices, float(t + 1)));
    }
    targets_.push_back(std::make_unique<MeshResource>());
    for (const auto& mesh : targets_) morph_.targets.push_back({0, mesh.get()});
  }

  // Vertex v of a mesh made with value k: position (k, v, 0), normal (0, 0, k)
  // where the layout has them; the rest of a wider stride is zero.
  std::unique_ptr<MeshResource> Mesh(std::uint32_t format, std::uint32_t stride, std::uint32_t count, float k) {
    auto mesh = std::make_unique<MeshResource>();
    mesh->parts.resize(1);
    mesh->parts[0].geometry = CreateGeometryBuffers(device_, count, 0, format, stride, 0, gfx::kPoolManaged);
    std::vector<std::uint8_t> bytes(std::size_t{count} * stride);
    for (std::uint32_t v = 0; v < count; ++v) {
      MorphVertex vertex{{k, float(v), 0}, {0, 0, k}};
      std::memcpy(bytes.data() + std::size_t{v} * stride, &vertex, std::min<std::size_t>(stride, sizeof vertex));
    }
    void* out = nullptr;
    EXPECT_EQ(mesh->parts[0].geometry->vertexBuffer->Lock(0, 0, 0, &out), gfx::Result::kOk);
    std::memcpy(out, bytes.data(), bytes.size());
    mesh->parts[0].geometry->vertexBuffer->Unlock();
    return mesh;
  }

  std::vector<MorphVertex> Blended() {
    std::vector<MorphVertex> vertices(kMorphVertices);
    void* in = nullptr;
    EXPECT_EQ(destination_->parts[0].geometry->vertexBuffer->Lock(0, 0, gfx::kLockReadOnly, &in), gfx::Result::kOk);
    std::memcpy(vertices.data(), in, vertices.size() * sizeof(MorphVertex));
    destination_->parts[0].geometry->vertexBuffer->Unlock();
    return vertices;
  }

  gfx::RecordingDevice device_;
  std::unique_ptr<MeshResource> destination_;
  std::vector<std::unique_ptr<MeshResource>> targets_;
  MorphMeshResource morph_;
};

TEST_F(MorphBlendTest, OnlyTargetsInRangeWithTheSameLayoutAndEnoughVerticesAreBlended) {
  // Every vertex v comes out as position (x, v x ySum, 0), normal (0, 0, normalZ).
  struct Case {
    const char* what;
    std::vector<std::uint32_t> indices;
    std::vector<float> weights;
    int used;
    float x, ySum, normalZ;
  };
  const Case cases[] = {
      {"one target scales, normal not normalised", {0}, {2}, 1, 2, 2, 2},
      {"two targets add, normal normalised", {0, 1}, {1, 0.5f}, 2, 2, 1.5f, 1},
      {"index past the targets", {99, 0}, {7, 2}, 1, 2, 2, 1},
      {"other vertex format", {2, 0}, {7, 2}, 1, 2, 2, 1},
      {"wider stride", {3, 0}, {7, 2}, 1, 2, 2, 1},
      {"a vertex short", {4, 0}, {7, 2}, 1, 2, 2, 1},
      {"no part", {5, 0}, {7, 2}, 1, 2, 2, 1},
      {"bad target after a good one", {1, 4}, {1, 7}, 1, 2, 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BlendMorphMesh(destination_.get(), &morph_, 0, std::uint32_t(c.indices.size()), c.indices.data(),
                             c.weights.data()),
              c.used)
        << c.what;
    const std::vector<MorphVertex> blended = Blended();
    for (std::uint32_t v = 0; v < kMorphVertices; ++v) {
      EXPECT_FLOAT_EQ(blended[v].position.x, c.x) << c.what;
      EXPECT_FLOAT_EQ(blended[v].position.y, float(v) * c.ySum) << c.what;
      EXPECT_FLOAT_EQ(blended[v].normal.z, c.normalZ) << c.what;
    }
  }
}

TEST_F(MorphBlendTest, NoUsableTargetLeavesTheVerticesAlone) {
  const std::vector<MorphVertex> before = Blended();
  const std::uint32_t indices[] = {99, 2, 3, 4, 5};
  const float weights[] = {1, 1, 1, 1, 1};
  EXPECT_EQ(BlendMorphMesh(destination_.get(), &morph_, 0, 5, indices, weights), 0);
  EXPECT_EQ(BlendMorphMesh(destination_.get(), &morph_, 1, 1, indices + 1, weights), 0);
  const std::vector<MorphVertex> after = Blended();
  for (std::uint32_t v = 0; v < kMorphVertices; ++v) {
    EXPECT_EQ(after[v].position.x, before[v].position.x);
    EXPECT_EQ(after[v].position.y, before[v].position.y);
    EXPECT_EQ(after[v].normal.z, before[v].normal.z);
  }
}

}  // namespace
}  // namespace tge
