// Collector: following its parent with a hot radius, the capacity and its
// changes, gathering into a list, the global collector and its file record.
#include "core/trees/ObjectServices.h"
#include "services/ErrorMessage.h"
#include "tests/objects/scene/GroundFixture.h"

namespace tge::test {
namespace {

class CollectorTest : public GroundFixture {
 protected:
  void SetUp() override {
    GroundFixture::SetUp();
    yard = &AddGround(6, 2.0f, 40, true);
    mover = &Add<Object>(*yard, kClassObject, "Mover");
  }

  void Place(const Vector3& at) {
    mover->SetPosition(at, false);
    mover->InvalidateTransform();
  }

  Space* yard = nullptr;
  Object* mover = nullptr;
};

TEST_F(CollectorTest, KeepsItsCacheWithinTheHotRadiusAndCollectsAgainBeyondIt) {
  Collector& collector = AddCollector(*mover, 4.0f, 1.0f, 500);
  yard->Precalculate();
  collector.Update();
  EXPECT_EQ(collector.GetCollectCount(), 1u);
  const std::uint32_t around = collector.GetTriangleCount();
  EXPECT_GT(around, 0u);
  for (const CollectedTriangle& record : collector.GetTriangleRecords()) EXPECT_LT(record.triangleByte, 256u);

  Place({2.9f, 0, 0});  // within 4 - 1
  collector.Update();
  EXPECT_EQ(collector.GetCollectCount(), 1u);
  Place({3.1f, 0, 0});
  collector.Update();
  EXPECT_EQ(collector.GetCollectCount(), 2u);
  EXPECT_FLOAT_EQ(collector.GetPositionWS().x, 3.1f);
  EXPECT_FLOAT_EQ(collector.GetPreviousPoint().x, 0.0f);
  for (const AABox& box : collector.GetTriangleBoxes()) {
    EXPECT_TRUE(SphereBoxCollide(box.min, box.max, {3.1f, 0, 0}, 4.0f, nullptr, nullptr));
  }
}

TEST_F(CollectorTest, CapacityBoundsTheCacheAndChangesAfterPrecalculateResizeIt) {
  Collector& none = AddCollector(*mover, 10.0f, 1.0f, 0);
  Collector& small = AddCollector(*mover, 10.0f, 1.0f, 500);
  yard->Precalculate();
  none.Update();
  EXPECT_EQ(none.GetTriangleCount(), 0u);
  CollectorTriangleList list(500, 2.0f, 6.0f);
  none.GatherTriangles(list, {});
  EXPECT_EQ(list.count, 0u);

  // The arrays follow the new capacity at once; the next update collects.
  Send(small, kSetCollectorCapacity, 3u);
  small.Update();
  EXPECT_EQ(small.GetTriangleCount(), 3u);
  Send(small, kSetCollectorCapacity, 800u);
  small.Update();
  EXPECT_GT(small.GetTriangleCount(), 3u);

  ClearErrorMessage();
  Send(small, kSetCollectorCapacity, Collector::kMaxCapacity + 1);
  EXPECT_EQ(small.GetCapacity(), 800u);
  EXPECT_NE(std::string(GetErrorMessage()).find("capacity"), std::string::npos);
}

TEST_F(CollectorTest, GatherStopsAtTheListCapacityAndKeepsToItsSphere) {
  Collector& collector = AddCollector(*mover, 8.0f, 1.0f, 1000);
  yard->Precalculate();
  collector.Update();
  ASSERT_GT(collector.GetTriangleCount(), 20u);
  CollectorTriangleList full(20, 2.0f, 50.0f);
  collector.GatherTriangles(full, {});
  EXPECT_EQ(full.count, 20u);
  const Vector3& first = collector.GetTriangleVertices()[0];
  EXPECT_EQ(full.vertices[0].x, first.x);
  EXPECT_EQ(full.categories[0], collector.GetTriangleRecords()[0].triangleByte & 0xFF);

  // Every collected triangle whose box touches the sphere, in order, and no
  // other, wherever the sphere lies among the runs of triangles; the last
  // sphere floats above the ground.
  struct Sphere {
    Vector3 centre;
    float radius;
    bool touches;
  };
  for (const Sphere& sphere : {Sphere{{5, 0, 5}, 0.5f, true}, Sphere{{-3.3f, 0.2f, 1.7f}, 2.5f, true},
                               Sphere{{0, 3, 0}, 1.0f, false}}) {
    CollectorTriangleList near(4000, 6.0f, sphere.radius);
    collector.GatherTriangles(near, sphere.centre);
    std::vector<AABox> touching;
    for (const AABox& box : collector.GetTriangleBoxes()) {
      if (SphereBoxCollide(box.min, box.max, sphere.centre, sphere.radius, nullptr, nullptr)) touching.push_back(box);
    }
    EXPECT_LT(near.count, collector.GetTriangleCount());
    EXPECT_EQ(near.count > 0, sphere.touches);
    ASSERT_EQ(near.count, touching.size());
    for (std::uint32_t i = 0; i < near.count; ++i) {
      EXPECT_EQ(near.boxes[i].min.x, touching[i].min.x);
      EXPECT_EQ(near.boxes[i].max.z, touching[i].max.z);
    }
  }
}

TEST_F(CollectorTest, GlobalCollectorComesFromTheFileAndGoesWithTheObject) {
  Collector& made = AddCollector(*yard, 6.0f, 1.0f, 100);
  Send<std::int32_t>(made, kSetCollectorGlobal, 1);
  EXPECT_EQ(Collector::GetGlobal(), nullptr);
  std::unique_ptr<Collector> loaded = RoundTrip(made);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Collector::GetGlobal(), loaded.get());
  std::vector<std::uint8_t> first = Save(made), second = Save(*loaded);
  EXPECT_EQ(first, second);
  loaded.reset();
  EXPECT_EQ(Collector::GetGlobal(), nullptr);
}

TEST_F(CollectorTest, FileCapacityAboveTheLimitIsRefused) {
  Collector& made = AddCollector(*yard, 6.0f, 1.0f, 100);
  std::vector<std::uint8_t> bytes = Save(made);
  const std::uint32_t huge = Collector::kMaxCapacity + 1;
  std::memcpy(bytes.data() + bytes.size() - 4, &huge, 4);
  EXPECT_EQ(Load<Collector>(kClassCollector, bytes, SerializeStream::kLatestVersion), nullptr);
}

}  // namespace
}  // namespace tge::test
