// Sky: the box and cloud geometry, the side names filled from side 0, what
// a draw queues and scrolls, and the file record's version gates.
#include "objects/scene/Sky.h"
#include "services/render/RenderQueue.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kLocked = 13750, kDimension = 13754, kCurrent = 13756, kMaterial = 13758, kTop = 13760,
                        kClearSide = 13764, kLayer = 13765, kCloudMaterial = 13767, kDeltaU = 13771,
                        kScaleU = 13775;

class SkyTest : public SceneFixture {
 protected:
  std::vector<const PrimitivesCommand*> QueuedPrimitives() {
    std::vector<const PrimitivesCommand*> out;
    for (std::size_t list = kListLights; list <= kListCallbacks; ++list) {
      for (const RenderCommand* c : Queued<RenderCommand>(list)) {
        if (c->kind == RenderCommandKind::kPrimitives) out.push_back(static_cast<const PrimitivesCommand*>(c));
      }
    }
    return out;
  }

  std::string SideName(Sky& sky, std::int32_t side) {
    Send(sky, kCurrent, side);
    std::string name;
    sky.ExecuteCommand(kMaterial + 1, &name);
    return name;
  }
};

TEST_F(SkyTest, SideZerosNameFillsTheEmptySidesWhoseMaterialsExist) {
  for (const char* name : {"Dusk0000Mat", "Dusk0001Mat", "Dusk0002Mat", "Dusk0004Mat", "Other"}) AddMaterial(name);
  Sky& sky = Add<Sky>(kClassSky);
  Send(sky, kMaterial, std::string("Dusk0000Mat"));  // no side selected: nothing
  EXPECT_EQ(sky.GetSide(0).name, "");
  Send(sky, kCurrent, std::int32_t{2});
  Send(sky, kMaterial, std::string("Other"));
  Send(sky, kCurrent, std::int32_t{0});
  Send(sky, kMaterial, std::string("Dusk0000Mat"));
  const char* expected[] = {"Dusk0000Mat", "Dusk0001Mat", "Other", "", "Dusk0004Mat", ""};
  for (std::int32_t side = 0; side < Sky::kSides; ++side) {
    EXPECT_EQ(SideName(sky, side), expected[side]) << side;
    EXPECT_EQ(bool(sky.GetSide(side).material), expected[side][0] != 0) << side;
  }
  Send(sky, kCurrent, std::int32_t{1});
  sky.ExecuteCommand(kClearSide, nullptr);
  EXPECT_EQ(SideName(sky, 1), "");
  EXPECT_FALSE(sky.GetSide(1).material);
}

TEST_F(SkyTest, BoxFollowsItsSizeAndColoursAndCloudsRebuildOnlyWithTheirLayer) {
  Sky& sky = Add<Sky>(kClassSky);
  Send(sky, kTop, Color{1, 0, 0, 1});
  Send(sky, kDimension, 200.0f);
  const SkySide& front = sky.GetSide(0);
  EXPECT_EQ(front.vertices[1].x, 100.0f);
  EXPECT_EQ(front.vertices[1].y, 500.0f);
  EXPECT_EQ(front.vertices[1].colour, 0xFFFF0000u);
  EXPECT_EQ(front.vertices[2].colour, 0xFFFFFFFFu);
  EXPECT_EQ(sky.GetSide(4).vertices[3].colour, 0xFFFF0000u);
  EXPECT_EQ(sky.GetSide(5).vertices[0].colour, 0xFFFFFFFFu);
  EXPECT_EQ(sky.GetCloudLayer(0).vertices[1].x, -500.0f);  // clouds keep the old size
  Send(sky, kLayer, std::int32_t{0});
  Send(sky, kScaleU, 0.0f);
  EXPECT_FLOAT_EQ(sky.GetCloudLayer(0).scaleU, 0.001f);
  const SkyVertex& corner = sky.GetCloudLayer(0).vertices[3];  // unit (1, 0): the rim's outer edge
  EXPECT_EQ(corner.x, 100.0f);
  EXPECT_FLOAT_EQ(corner.u, 1000.0f);
  EXPECT_EQ(corner.colour >> 24, 0u);
  EXPECT_EQ(sky.GetCloudLayer(0).vertices[0].colour >> 24, 0xFFu);
}

TEST_F(SkyTest, DrawFollowsTheCameraScrollsCloudsAndQueuesCloudsThenSides) {
  AddMaterial("SkyMat");
  AddMaterial("CloudMat");
  Sky& sky = Add<Sky>(kClassSky);
  Send(sky, kLocked, std::uint32_t{1});
  Send(sky, kCurrent, std::int32_t{4});
  Send(sky, kMaterial, std::string("SkyMat"));
  Send(sky, kLayer, std::int32_t{1});
  Send(sky, kCloudMaterial, std::string("CloudMat"));
  Send(sky, kDeltaU, 50.0f);
  sky.SetPosition({0, -20, 0}, true);
  sky.Start();
  View().SetCameraLookAt({300, 10, -40}, {300, 10, 0});
  Queue().Reset();
  const float u = sky.GetCloudLayer(1).vertices[0].u;
  sky.Draw();
  EXPECT_EQ(sky.GetPosition().x, 300.0f);
  EXPECT_EQ(sky.GetPosition().y, -20.0f);
  EXPECT_EQ(sky.GetPosition().z, -40.0f);
  const float dt = sky.GetFrameTime();
  ASSERT_GT(dt, 0.0f);
  EXPECT_FLOAT_EQ(sky.GetCloudLayer(1).vertices[0].u, u + dt * 50.0f / 1000.0f);
  const auto queued = QueuedPrimitives();
  ASSERT_EQ(queued.size(), 2u);
  std::vector<std::uint32_t> counts{queued[0]->count, queued[1]->count};
  std::sort(counts.begin(), counts.end());
  EXPECT_EQ(counts, (std::vector<std::uint32_t>{2, 13}));
  EXPECT_EQ(queued[0]->world.m[12], 300.0f);

  Send(sky, kDimension, 0.0f);  // no size: no scrolling, no division by it
  const float before = sky.GetCloudLayer(1).vertices[0].u;
  sky.Draw();
  EXPECT_EQ(sky.GetCloudLayer(1).vertices[0].u, before);
}

TEST_F(SkyTest, UnderAMovedParentTheSkyStillStandsAtTheCamera) {
  Object& holder = Add<Object>(kClassMesh, "Holder");
  holder.SetPosition({1000, 5, 1000}, true);
  Sky& sky = Add<Sky>(holder, kClassSky, "Sky");
  Send(sky, kLocked, std::uint32_t{1});
  sky.Start();
  View().SetCameraLookAt({1010, 10, 990}, {1010, 10, 1000});
  sky.Draw();
  EXPECT_FLOAT_EQ(sky.GetWorldMatrix().m[12], 1010.0f);
  EXPECT_FLOAT_EQ(sky.GetWorldMatrix().m[14], 990.0f);
  EXPECT_FLOAT_EQ(sky.GetWorldMatrix().m[13], 5.0f);
}

TEST_F(SkyTest, FilesBeforeVersion44KeepTheCloudScalesAndBadScalesAreMended) {
  Sky& sky = Add<Sky>(kClassSky);
  Send(sky, kCurrent, std::int32_t{3});
  Send(sky, kMaterial, std::string("West"));
  Send(sky, kLayer, std::int32_t{2});
  Send(sky, kScaleU, 4.0f);
  Send(sky, kDeltaU, 7.0f);
  for (int version : {0, 43, 44, SerializeStream::kLatestVersion}) {
    SCOPED_TRACE(version);
    std::unique_ptr<Sky> loaded = RoundTrip(sky, version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Save(*loaded, version), Save(sky, version));
    EXPECT_EQ(loaded->GetSide(3).name, version >= 1 ? "West" : "");
    EXPECT_EQ(loaded->GetCloudLayer(2).deltaU, version >= 1 ? 7.0f : 0.0f);
    EXPECT_EQ(loaded->GetCloudLayer(2).scaleU, version >= 44 ? 4.0f : 1.0f);
  }
  // A scale of 0 in a file reads as the setter would store it.
  std::vector<std::uint8_t> bytes = Save(sky);
  const std::vector<std::uint8_t> four{0, 0, 0x80, 0x40};
  const auto at = std::search(bytes.begin(), bytes.end(), four.begin(), four.end());
  ASSERT_NE(at, bytes.end());
  std::fill(at, at + 4, 0);
  std::unique_ptr<Sky> mended = Load<Sky>(kClassSky, bytes, SerializeStream::kLatestVersion);
  ASSERT_NE(mended, nullptr);
  EXPECT_FLOAT_EQ(mended->GetCloudLayer(2).scaleU, 0.001f);
}

}  // namespace
}  // namespace tge::test
