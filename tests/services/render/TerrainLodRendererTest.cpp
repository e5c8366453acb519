#include "services/render/TerrainLodRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/gfx/DeviceCall.h"
#include "services/render/ViewState.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge {
namespace {

using gfx::CallType;
using Side = TerrainPatch::Side;
using Sides = std::array<int, TerrainPatch::kSideCount>;

constexpr int kSamples = TerrainLodRenderer::kMinSamples;
constexpr float kGridUnit = TerrainLodRenderer::kPatchSize / TerrainPatch::kCells;

// Smooth hills: no two neighbouring samples alike, so flattening shows.
std::vector<std::uint8_t> Hills() {
  std::vector<std::uint8_t> samples(std::size_t(kSamples) * kSamples);
  for (int z = 0; z < kSamples; ++z) {
    for (int x = 0; x < kSamples; ++x) {
      const double h = 128 + 60 * std::sin(x * 0.11) * std::cos(z * 0.07) + 30 * std::sin((x + 2 * z) * 0.23);
      samples[std::size_t(z) * kSamples + std::size_t(x)] = std::uint8_t(std::clamp(h, 0.0, 255.0));
    }
  }
  return samples;
}

struct LodTriangle {
  Vector3 a, b, c;
};

// Signed area in the x-z plane; positive for the winding the strips face up with.
float Area(const LodTriangle& t) { return ((t.b.z - t.a.z) * (t.c.x - t.a.x) - (t.b.x - t.a.x) * (t.c.z - t.a.z)) / 2; }

bool Contains(const LodTriangle& t, float x, float z) {
  const auto edge = [x, z](const Vector3& p, const Vector3& q) {
    return (q.z - p.z) * (x - p.x) - (q.x - p.x) * (z - p.z);
  };
  const float e0 = edge(t.a, t.b), e1 = edge(t.b, t.c), e2 = edge(t.c, t.a);
  return (e0 > 0 && e1 > 0 && e2 > 0) || (e0 < 0 && e1 < 0 && e2 < 0);
}

// The strip's triangles with the winding of odd ones turned back, degenerate
// ones left out.
std::vector<LodTriangle> StripTriangles(const TerrainPatch& patch) {
  const auto& v = patch.Vertices();
  const auto& i = patch.Indices();
  std::vector<LodTriangle> out;
  for (std::size_t k = 0; k + 2 < i.size(); ++k) {
    const auto at = [&v](std::uint16_t n) { return Vector3{v[n].x, v[n].y, v[n].z}; };
    LodTriangle t = k % 2 == 0 ? LodTriangle{at(i[k]), at(i[k + 1]), at(i[k + 2])}
                               : LodTriangle{at(i[k + 1]), at(i[k]), at(i[k + 2])};
    if (std::fabs(Area(t)) > 1e-3f) out.push_back(t);
  }
  return out;
}

Sides SidesFor(int level, int finerMask) {
  Sides sides;
  for (int side = 0; side < TerrainPatch::kSideCount; ++side) {
    sides[std::size_t(side)] = (finerMask >> side) & 1 ? level - 1 : level;
  }
  return sides;
}

TEST(TerrainStrip, EveryLevelAndSetOfFinerSidesCoversThePatchOnceFacingUp) {
  const auto samples = Hills();
  for (int level = 0; level < TerrainPatch::kLevels; ++level) {
    for (int mask = 0; mask < (level > 0 ? 16 : 1); ++mask) {
      SCOPED_TRACE(testing::Message() << "level " << level << " finer sides " << mask);
      TerrainPatch patch;
      patch.Setup({samples.data(), kSamples, kSamples}, 2, 3, {256, 0, 384}, {128, 256, 128});
      patch.Activate();
      patch.Rebuild(level, level, SidesFor(level, mask));
      ASSERT_LE(patch.Indices().size(), std::size_t(TerrainPatch::kMaxIndices));
      float area = 0;
      const auto triangles = StripTriangles(patch);
      for (const LodTriangle& t : triangles) {
        EXPECT_GT(Area(t), 0) << t.a.x << "," << t.a.z << " " << t.b.x << "," << t.b.z << " " << t.c.x << ","
                              << t.c.z;
        area += Area(t);
      }
      EXPECT_NEAR(area, 128.0f * 128.0f, 0.5f);
      for (int cell = 0; cell < 16 * 16; ++cell) {
        for (const auto& [fx, fz] : {std::pair{0.37f, 0.61f}, std::pair{0.71f, 0.23f}}) {
          const float x = 256 + (float(cell % 16) + fx) * kGridUnit, z = 384 + (float(cell / 16) + fz) * kGridUnit;
          const auto covering = std::count_if(triangles.begin(), triangles.end(),
                                              [x, z](const LodTriangle& t) { return Contains(t, x, z); });
          EXPECT_EQ(covering, 1) << "at " << x << ", " << z;
        }
      }
    }
  }
}

TEST(TerrainStrip, LevelZeroIsSeventeenRowsOfSeventeenPointsInOneStrip) {
  const auto samples = Hills();
  TerrainPatch patch;
  patch.Setup({samples.data(), kSamples, kSamples}, 0, 0, {}, {128, 256, 128});
  patch.Activate();
  patch.Rebuild(0, 0, SidesFor(0, 0));
  EXPECT_EQ(patch.Vertices().size(), 289u);
  EXPECT_EQ(patch.Indices().size(), 574u);
  patch.Rebuild(4, 4, SidesFor(4, 0));
  EXPECT_EQ(patch.Vertices().size(), 4u);
  EXPECT_EQ(patch.Indices().size(), 4u);
}

// Height of the coarser patch's edge at t, between its points step apart.
float EdgeHeight(const TerrainPatch& patch, Side side, int t, int step) {
  const auto point = [side](int s) {
    switch (side) {
      case TerrainPatch::kWest: return std::pair{0, s};
      case TerrainPatch::kEast: return std::pair{16, s};
      case TerrainPatch::kRow0: return std::pair{s, 0};
      default: return std::pair{s, 16};
    }
  };
  const int low = t / step * step, high = std::min(low + step, 16);
  const auto [la, lb] = point(low);
  const auto [ha, hb] = point(high);
  const float f = high == low ? 0.0f : float(t - low) / float(high - low);
  return patch.FindVertex(la, lb)->y * (1 - f) + patch.FindVertex(ha, hb)->y * f;
}

TEST(TerrainStrip, AFinerPatchsEdgePointsLieOnTheCoarserPatchsEdge) {
  const auto samples = Hills();
  struct Case {
    const char* what;
    int column, row;  // of the coarser patch; the finer one is at 0, 0
    Side finerSide, coarserSide;
  };
  const Case cases[] = {{"east", 1, 0, TerrainPatch::kEast, TerrainPatch::kWest},
                        {"row 16", 0, 1, TerrainPatch::kRow16, TerrainPatch::kRow0}};
  for (const Case& c : cases) {
    for (int level = 0; level < 4; ++level) {
      SCOPED_TRACE(testing::Message() << c.what << " at level " << level);
      TerrainPatch finer, coarser;
      const TerrainSamples tile{samples.data(), kSamples, kSamples};
      finer.Setup(tile, 0, 0, {}, {128, 256, 128});
      coarser.Setup(tile, c.column, c.row, {128.0f * float(c.column), 0, 128.0f * float(c.row)}, {128, 256, 128});
      finer.SetNeighbour(c.finerSide, &coarser);
      coarser.SetNeighbour(c.coarserSide, &finer);
      finer.Activate();
      coarser.Activate();
      Sides finerSides{4, 4, 4, 4}, coarserSides{4, 4, 4, 4};
      finerSides[std::size_t(c.finerSide)] = level + 1;
      coarserSides[std::size_t(c.coarserSide)] = level;
      finer.Rebuild(level, level, finerSides);
      coarser.Rebuild(level + 1, level + 1, coarserSides);
      for (int t = 0; t <= 16; ++t) {
        const bool east = c.finerSide == TerrainPatch::kEast;
        const TerrainVertex* own = east ? finer.FindVertex(16, t) : finer.FindVertex(t, 16);
        if (!own) continue;
        EXPECT_NEAR(own->y, EdgeHeight(coarser, c.coarserSide, t, LodStep(level + 1)), 1e-3f) << "point " << t;
      }
    }
  }
}

// A camera high over the tile's middle looking down at it.
ViewState ViewFromAbove(float height) {
  ViewState view;
  view.SetProjection(1.2f, 1.0f, 1.0f, 5000.0f);
  view.SetCameraLookAt({1024, height, 1000}, {1024, 0, 1024});
  return view;
}

struct RendererFixture {
  std::vector<std::uint8_t> samples = Hills();
  test::RecordingRenderDevice r;
  TerrainLodRenderer renderer;

  RendererFixture() {
    renderer.SetHeightData({samples.data(), kSamples, kSamples});
    EXPECT_TRUE(renderer.Build());
  }
};

TEST(TerrainLodRenderer, NeighboursInViewEndAtMostOneLevelApartAndEveryActivePatchDraws) {
  RendererFixture f;
  ViewState view;
  view.SetProjection(1.2f, 1.333f, 1.0f, 5000.0f);
  view.SetCameraLookAt({100, 60, 100}, {1500, 0, 1500});
  f.renderer.Update(f.r.device, view);
  f.renderer.Draw(f.r.device);
  EXPECT_EQ(f.renderer.GetTestedPatchCount(), 256);
  ASSERT_GT(f.renderer.GetDrawnPatchCount(), 0);
  EXPECT_LT(f.renderer.GetDrawnPatchCount(), 256);
  EXPECT_EQ(f.r.recording->CountCalls(CallType::kDrawIndexedPrimitive), std::size_t(f.renderer.GetDrawnPatchCount()));
  std::map<int, int> levels;
  for (int j = 0; j < 16; ++j) {
    for (int k = 0; k < 16; ++k) {
      TerrainPatch& p = f.renderer.PatchAt(k, j);
      if (!p.IsActive()) continue;
      ++levels[p.GetBuiltLevel()];
      if (k + 1 < 16 && f.renderer.PatchAt(k + 1, j).IsActive()) {
        EXPECT_LE(std::abs(p.GetBuiltLevel() - f.renderer.PatchAt(k + 1, j).GetBuiltLevel()), 1);
      }
      if (j + 1 < 16 && f.renderer.PatchAt(k, j + 1).IsActive()) {
        EXPECT_LE(std::abs(p.GetBuiltLevel() - f.renderer.PatchAt(k, j + 1).GetBuiltLevel()), 1);
      }
    }
  }
  EXPECT_GT(levels.size(), 1u) << "near patches finer than far ones";
}

TEST(TerrainLodRenderer, PatchesBeyondTheFarLimitAreCulledWhateverTheViewsFarDistance) {
  RendererFixture f;
  ViewState view;
  view.SetProjection(1.0f, 1.0f, 1.0f, 100000.0f);
  view.SetCameraLookAt({1024, 300, -1000}, {1024, 300, 5000});
  f.renderer.Update(f.r.device, view);
  for (int j = 0; j < 16; ++j) {
    // Row j starts 1000 + 128 j units ahead of the camera.
    const bool beyond = 1000.0f + 128.0f * float(j) >= TerrainLodRenderer::kFarLimit;
    for (int k = 0; k < 16; ++k) {
      if (beyond) {
        EXPECT_FALSE(f.renderer.PatchAt(k, j).IsActive()) << k << ", " << j;
      }
    }
  }
  EXPECT_TRUE(f.renderer.PatchAt(8, 0).IsActive());
}

TEST(TerrainLodRenderer, PatchesLeavingTheViewKeepTheirBuffersForTheirReturnAndAResetDropsAndRemakesThem) {
  RendererFixture f;
  const ViewState above = ViewFromAbove(1500);
  f.renderer.Update(f.r.device, above);
  const std::size_t live = f.r.recording->LiveResources();
  EXPECT_GT(f.renderer.GetDrawnPatchCount() + int(live), 0);
  ViewState away;
  away.SetCameraLookAt({1024, 300, -100}, {1024, 300, -5000});
  f.renderer.Update(f.r.device, away);
  f.renderer.Draw(f.r.device);
  EXPECT_EQ(f.renderer.GetDrawnPatchCount(), 0);
  EXPECT_EQ(f.r.recording->LiveResources(), live);
  f.r.recording->ClearCalls();
  f.renderer.Update(f.r.device, above);
  EXPECT_EQ(f.r.recording->CountCalls(CallType::kCreateVertexBuffer) +
                f.r.recording->CountCalls(CallType::kCreateIndexBuffer), 0u);

  // Out of view, every patch still holds buffers the reset must not find.
  f.renderer.Update(f.r.device, away);
  f.r.recording->LoseDevice();
  EXPECT_EQ(f.r.device.HandleDeviceLost(), 0);
  f.r.recording->AllowReset();
  ASSERT_EQ(f.r.device.HandleDeviceLost(), 1);  // no terrain buffer left in the way
  f.r.recording->ClearCalls();
  f.renderer.Update(f.r.device, above);
  f.renderer.Draw(f.r.device);
  EXPECT_GT(f.renderer.GetDrawnPatchCount(), 0);
  EXPECT_EQ(f.r.recording->CountCalls(CallType::kDrawIndexedPrimitive), std::size_t(f.renderer.GetDrawnPatchCount()));
}

TEST(TerrainLodRenderer, AStillViewUploadsNothingAgainAndWithOnePatchTheIndexTotalIsItsCount) {
  RendererFixture f;
  const ViewState above = ViewFromAbove(400);
  f.renderer.Update(f.r.device, above);
  f.r.recording->ClearCalls();
  f.renderer.Update(f.r.device, above);
  EXPECT_EQ(f.r.recording->CountCalls(CallType::kCreateVertexBuffer), 0u);

  ViewState narrow;
  narrow.SetProjection(0.01f, 1.0f, 1.0f, 5000.0f);
  narrow.SetCameraLookAt({64, 500, 64.5f}, {64, 0, 64});
  f.renderer.Update(f.r.device, narrow);
  ASSERT_EQ(f.renderer.PatchAt(0, 0).IsActive(), true);
  int active = 0;
  for (int j = 0; j < 16; ++j) {
    for (int k = 0; k < 16; ++k) active += f.renderer.PatchAt(k, j).IsActive();
  }
  ASSERT_EQ(active, 1);
  EXPECT_EQ(f.renderer.GetIndexTotal(), f.renderer.PatchAt(0, 0).Indices().size());
}

}  // namespace
}  // namespace tge
