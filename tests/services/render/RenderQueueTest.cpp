// The render queue's lists and sort keys, its arena, and the visibility
// tests it culls with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "services/render/FrameRender.h"
#include "services/render/MaterialType.h"
#include "services/render/MorphBlend.h"
#include "services/render/PostEffects.h"
#include "services/render/RenderQueue.h"
#include "services/render/ViewState.h"
#include "services/resources/FontResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/MorphMeshResource.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge {
namespace {

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;
const Color kWhite{1, 1, 1, 1};

std::vector<float> Keys(const RenderQueue& queue, std::size_t list) {
  std::vector<float> keys;
  for (const RenderCommand* c = queue.GetList(list); c; c = c->next) keys.push_back(c->key);
  return keys;
}

std::size_t Count(const RenderQueue& queue, std::size_t list) { return Keys(queue, list).size(); }

class RenderQueueTest : public ::testing::Test {
 protected:
  RenderQueueTest() {
    view_.SetProjection(kQuarterTurn, 1.0f, 1.0f, 100.0f);
    view_.SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  }

  static std::unique_ptr<MaterialResource> Material(std::uint32_t type, std::uint32_t flags = 0) {
    auto m = std::make_unique<MaterialResource>();
    m->materialType = type;
    m->flags = flags;
    return m;
  }

  // One part of radius 1 at the origin, drawn at depth z.
  int QueueMeshAt(MeshResource& mesh, float z, Resource* material, const gfx::Material* colour = nullptr,
                  float alpha = 1.0f) {
    Matrix4 world;
    Matrix4Translation(world, 0, 0, z);
    return queue_.QueueMesh(&mesh, world, material, colour, alpha, nullptr);
  }

  static std::unique_ptr<MeshResource> OnePart() {
    auto mesh = std::make_unique<MeshResource>();
    mesh->parts.resize(1);
    mesh->parts[0].radius = 1.0f;
    return mesh;
  }

  ViewState view_;
  RenderQueue queue_{view_};
};

TEST_F(RenderQueueTest, ListsKeepDescendingKeysAndEqualKeysInSubmissionOrder) {
  auto standard = Material(kMaterialStandard);
  auto mesh = OnePart();
  for (float z : {5.0f, 5.0f, 7.0f, 9.0f, 2.0f}) QueueMeshAt(*mesh, z, standard.get());
  EXPECT_EQ(Keys(queue_, kListOpaque), (std::vector<float>{9, 7, 5, 5, 2}));
  const RenderCommand* fives = queue_.GetList(kListOpaque)->next->next;
  EXPECT_LT(fives, fives->next);  // carved in submission order

  queue_.QueueText(nullptr, "dropped", {0, 0, 0}, 1, 1, kWhite, 0, 0, 0);
  auto overlay = Material(kMaterialSolidColor);
  for (float z : {3.0f, 1.0f, 2.0f}) queue_.QueueSprite(overlay.get(), {0, 0, z}, 4, 4, kWhite, 0);
  EXPECT_EQ(Keys(queue_, kListOverlay), (std::vector<float>{-1, -2, -3}));  // greater z drawn last
}

TEST_F(RenderQueueTest, MaterialTypeAlphaAndSortBackChooseTheList) {
  struct Case {
    std::uint32_t type;
    std::uint32_t flags;
    float alpha;
    float overrideAlpha;  // 0: no override
    std::size_t list;
    float key;
  };
  const Case cases[] = {
      {kMaterialStandard, 0, 1, 0, kListOpaque, 10},
      {kMaterialStandard, 0, 0.5f, 0, kListBlended, 10},
      {kMaterialStandard, 0, 1, 0.5f, kListBlended, 10},
      {kMaterialStandard, 0, 1, 1, kListOpaque, 10},
      {kMaterialAdd, 0, 1, 0, kListAdditive, 10},
      {kMaterialTextureAlphaSortIndependent, 0, 1, 0, kListSortIndependent, 10},
      {kMaterialProjected, 0, 1, 0, kListBlended, 10},
      {kMaterialMul, kMaterialSortBack, 1, 0, kListBlended, 1010},
      {kMaterialEnvironment, 0, 1, 0, kListOpaque, 10},
  };
  auto mesh = OnePart();
  for (const Case& c : cases) {
    queue_.Reset();
    auto material = Material(c.type, c.flags);
    gfx::Material colour;
    colour.diffuse.a = c.overrideAlpha;
    QueueMeshAt(*mesh, 10, material.get(), c.overrideAlpha > 0 ? &colour : nullptr, c.alpha);
    EXPECT_EQ(Keys(queue_, c.list), std::vector<float>{c.key}) << "type " << c.type << " alpha " << c.alpha;
  }
}

TEST_F(RenderQueueTest, MorphedPartsKeepProjectedMaterialsOpaque) {
  auto projected = Material(kMaterialProjected);
  auto base = OnePart();
  MorphMeshResource morph;
  morph.baseMesh = base.get();
  queue_.QueueLinkedMesh(&morph, Matrix4{}, 0, nullptr, nullptr, nullptr, projected.get(), nullptr, 1.0f);
  EXPECT_EQ(Count(queue_, kListOpaque), 1u);
  EXPECT_EQ(Count(queue_, kListBlended), 0u);
}

TEST_F(RenderQueueTest, PrimitivesAreCulledByTheirSphereAndKeyedByDepth) {
  const float vertices[12] = {};
  const Sphere near{{0, 0, 20}, 1}, behind{{0, 0, -5}, 1};
  EXPECT_EQ(queue_.QueuePrimitives(nullptr, 0x12, 4, 1, Matrix4{}, nullptr, 0, nullptr, &near, nullptr), 0);
  EXPECT_EQ(queue_.QueuePrimitives(vertices, 0x12, 4, 0, Matrix4{}, nullptr, 0, nullptr, &near, nullptr), 0);
  EXPECT_EQ(queue_.QueuePrimitives(vertices, 0x12, 4, 1, Matrix4{}, nullptr, 0, nullptr, &behind, nullptr), 2);
  EXPECT_EQ(queue_.QueuePrimitives(vertices, 0x12, 4, 1, Matrix4{}, nullptr, 0, nullptr, &near, nullptr), 1);
  EXPECT_EQ(queue_.QueuePrimitives(vertices, 0x12, 4, 1, Matrix4{}, nullptr, 0, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(Keys(queue_, kListOpaque), (std::vector<float>{20, 0}));
  EXPECT_EQ(queue_.GetList(kListOpaque)->cull, std::uint32_t(kSphereInside));
  EXPECT_EQ(queue_.GetList(kListOpaque)->next->cull, std::uint32_t(kSphereCrossing));
}

TEST_F(RenderQueueTest, TextTakesItsLengthInWholeBlocksAndAFullArenaBlockMovesOnToANewOne) {
  FontResource font;
  const std::size_t start = queue_.GetFreeRoom();
  queue_.QueueText(&font, "", {0, 0, 0}, 1, 1, kWhite, 0, 0, 0);
  const std::size_t emptyText = start - queue_.GetFreeRoom();
  queue_.QueueText(&font, std::string(15, 'x').c_str(), {0, 0, 0}, 1, 1, kWhite, 0, 0, 0);
  EXPECT_EQ(start - queue_.GetFreeRoom(), 2 * emptyText);
  queue_.QueueText(&font, std::string(16, 'x').c_str(), {0, 0, 0}, 1, 1, kWhite, 0, 0, 0);
  EXPECT_EQ(start - queue_.GetFreeRoom(), 3 * emptyText + RenderQueue::kRecordAlign);
  EXPECT_EQ(static_cast<const TextCommand*>(queue_.GetList(kListOverlay)->next->next)->text, std::string(16, 'x'));

  while (queue_.GetFreeRoom() >= emptyText) queue_.QueueText(&font, "", {0, 0, 0}, 1, 1, kWhite, 0, 0, 0);
  const std::size_t texts = Count(queue_, kListOverlay);
  auto mesh = OnePart();
  EXPECT_EQ(QueueMeshAt(*mesh, 10, nullptr), 1);
  queue_.QueuePointLight({}, 1, 1, 0, 0, kWhite, kWhite);
  queue_.QueueText(&font, "", {0, 0, 0}, 1, 1, kWhite, 0, 0, 0);
  const std::string longText(2 * RenderQueue::kCapacity, 'y');
  queue_.QueueText(&font, longText.c_str(), {0, 0, 0}, 1, 1, kWhite, 0, 0, 0);
  EXPECT_EQ(Count(queue_, kListOpaque) + Count(queue_, kListLights), 2u);
  EXPECT_EQ(Count(queue_, kListOverlay), texts + 2);

  // The blocks are kept: refilling them takes no new ones.
  queue_.Reset();
  EXPECT_EQ(queue_.GetFreeRoom(), RenderQueue::kCapacity);
  EXPECT_EQ(queue_.GetList(kListOverlay), nullptr);
  queue_.QueueText(&font, longText.c_str(), {0, 0, 0}, 1, 1, kWhite, 0, 0, 0);
  EXPECT_EQ(static_cast<const TextCommand*>(queue_.GetList(kListOverlay))->text, longText);
}

// 5,000 meshes, more than one arena block holds, in an order that makes the
// lists interleave: all are kept, each list as inserting one by one orders
// it (descending keys, equal keys in submission order, a key that is not a
// number where inserting put it).
TEST_F(RenderQueueTest, FiveThousandMeshesAreAllKeptInTheOrderOfSortedInsertion) {
  auto mesh = OnePart();
  auto blended = Material(kMaterialTextureAlpha);
  constexpr int kMeshes = 5000;
  std::vector<float> expected;
  for (int i = 0; i < kMeshes; ++i) {
    const float z = 2.0f + static_cast<float>((i * 37) % 90);
    QueueMeshAt(*mesh, z, i % 3 == 0 ? blended.get() : nullptr);
    if (i % 3 != 0) {
      const auto at = std::find_if(expected.begin(), expected.end(), [z](float key) { return key < z; });
      expected.insert(at, z);
    }
  }
  EXPECT_EQ(Count(queue_, kListOpaque) + Count(queue_, kListBlended), std::size_t{kMeshes});
  EXPECT_EQ(Keys(queue_, kListOpaque), expected);

  queue_.Reset();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float z : {5.0f, nan, 3.0f, 7.0f, 3.0f, 9.0f}) QueueMeshAt(*mesh, z, nullptr);
  std::vector<float> order;
  for (const RenderCommand* c = queue_.GetList(kListOpaque); c; c = c->next) {
    order.push_back(std::isnan(c->key) ? -1.0f : c->key);
  }
  EXPECT_EQ(order, (std::vector<float>{9, 7, 5, -1, 3, 3}));
}

TEST_F(RenderQueueTest, SpriteFlagsAlignTheQuadAndLightsSortByType) {
  auto material = Material(kMaterialSolidColor);
  struct Case {
    std::uint32_t flags;
    float left, top;
  };
  for (const Case& c : {Case{0, 10, 20}, Case{kAlignCentreX | kAlignCentreY, 6, 16}, Case{kAlignRight | kAlignBottom, 2, 12},
                        Case{kAlignCentreX | kAlignRight, 6, 20}}) {
    queue_.Reset();
    queue_.QueueSprite(material.get(), {10, 20, 0}, 8, 8, Color{1, 0, 0, 1}, c.flags);
    const auto& quad = static_cast<const ScreenQuadCommand*>(queue_.GetList(kListOverlay))->vertices;
    EXPECT_FLOAT_EQ(quad[0].x, c.left) << c.flags;
    EXPECT_FLOAT_EQ(quad[0].y, c.top) << c.flags;
    EXPECT_FLOAT_EQ(quad[3].x, c.left + 8);
    EXPECT_FLOAT_EQ(quad[3].y, c.top + 8);
    EXPECT_EQ(quad[3].colour, 0xFFFF0000u);
  }
  queue_.QueuePointLight({}, 1, 1, 0, 0, kWhite, kWhite);
  queue_.QueueDirectionalLight({0, -1, 0}, kWhite, kWhite);
  queue_.QueueSpotLight({}, {0, 0, 1}, 1, 1, 0.1f, 0.2f, 1, 0, 0, kWhite, kWhite);
  queue_.QueueDirectionalLight({0, 1, 0}, kWhite, kWhite);
  std::vector<std::uint32_t> types;
  for (const RenderCommand* c = queue_.GetList(kListLights); c; c = c->next) {
    types.push_back(static_cast<const LightCommand*>(c)->light.type);
  }
  EXPECT_EQ(types, (std::vector<std::uint32_t>{3, 3, 2, 1}));
}

TEST(ViewStateTest, SphereTestsUseTheEyePlaneTheFogEndAndClampedSides) {
  ViewState view;
  view.SetProjection(kQuarterTurn, 1.0f, 1.0f, 100.0f);
  view.SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  float depth = 0;
  EXPECT_EQ(view.TestSphereInFrustum({{0, 0, -0.5f}, 1}, &depth, true), kSphereCrossing);
  EXPECT_FLOAT_EQ(depth, -0.5f);
  EXPECT_EQ(view.TestSphereInFrustum({{0, 0, -2}, 1}, nullptr, true), kSphereOutside);
  EXPECT_EQ(view.TestSphereInFrustum({{0, 0, 50}, 1}, nullptr, true), kSphereInside);
  EXPECT_EQ(view.TestSphereInFrustum({{30, 0, 20}, 1}, nullptr, true), kSphereOutside);

  view.SetFog(10, 40, kWhite, 0);
  view.EnableFog(true);
  EXPECT_EQ(view.TestSphereInFrustum({{0, 0, 50}, 1}, nullptr, true), kSphereOutside);
  EXPECT_EQ(view.TestSphereInFrustum({{0, 0, 50}, 1}, nullptr, false), kSphereInside);

  // Wider than a half turn across: the sides would turn over and hide all.
  view.SetProjection(kQuarterTurn * 1.5f, 3.0f, 1.0f, 100.0f);
  view.SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  EXPECT_NE(view.TestSphereInFrustum({{0, 0, 20}, 1}, nullptr, false), kSphereOutside);
  EXPECT_NE(view.TestSphereInFrustum({{60, 0, 20}, 1}, nullptr, false), kSphereOutside);
}

TEST(ViewStateTest, VisibleSpheresLieInEveryPortalVolume) {
  ViewState view;
  view.SetProjection(kQuarterTurn, 1.0f, 1.0f, 1000.0f);
  view.SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  const Sphere left{{-100, 0, 200}, 5}, right{{100, 0, 200}, 5};
  view.AddPortalVolume({{-120, -20, 180}, {-80, 20, 220}});
  EXPECT_TRUE(view.IsSphereVisible(left, true));
  EXPECT_FALSE(view.IsSphereVisible(right, true));
  EXPECT_TRUE(view.IsSphereVisible(right, false));
  view.AddPortalVolume({{80, -20, 180}, {120, 20, 220}});
  EXPECT_FALSE(view.IsSphereVisible(left, true));
  EXPECT_FALSE(view.IsSphereVisible(right, true));
  view.ClearPortalVolumes();
  EXPECT_TRUE(view.IsSphereVisible(right, true));
}

}  // namespace
}  // namespace tge
