// The vehicle's blob shadow: none without the scene's Collector; over
// collected ground the triangles around the vehicle, lifted a little and
// mapped with the shadow texture turned with the vehicle's heading.
#include <algorithm>

#include "core/math/Quaternion.h"
#include "objects/gameplay/vehicles/Vehicle.h"
#include "tests/objects/scene/GroundFixture.h"

namespace tge::test {
namespace {

class VehicleShadowTest : public GroundFixture {
 protected:
  void SetUp() override {
    GroundFixture::SetUp();
    yard = &AddGround(4, 2.0f, 40, true);
    AddMaterial("VehicleShadowMat");
    car = &Add<Vehicle>(*yard, kClassVehicle, "Car");
    car->BuildFromType(kVehicleNoWheels);
    Quaternion turned;
    QuaternionFromYawPitchRoll(turned, 0.7f, 0, 0);
    car->SetPosition({0.3f, 0.5f, -0.4f}, false);
    car->SetRotation(turned, false);
  }

  // How many primitive batches one drawing of the vehicle queues.
  std::size_t DrawnPrimitives() {
    Queue().Reset();
    car->Draw();
    const std::size_t drawn = QueuedPrimitives().size();
    Queue().Reset();
    return drawn;
  }

  Space* yard = nullptr;
  Vehicle* car = nullptr;
};

TEST_F(VehicleShadowTest, OnlyTheCollectedGroundTakesTheShadowTurnedWithTheVehicle) {
  yard->Precalculate();
  EXPECT_EQ(DrawnPrimitives(), 0u);
  EXPECT_EQ(car->GetShadowTriangles(), nullptr);

  AddGlobalCollector(*yard);
  car->Precalculate();
  EXPECT_EQ(DrawnPrimitives(), 1u);
  const CollectorTriangleList* list = car->GetShadowTriangles();
  ASSERT_NE(list, nullptr);
  ASSERT_GT(list->count, 0u);
  // The texture spans 2.8 units across the vehicle and 4.6 along it, its
  // middle under the vehicle's centre.
  const Vector3 centre = car->GetPositionWS();
  const Vector3 across = car->GetAxisXWS();
  const Vector3 along = car->GetAxisZWS();
  for (std::uint32_t i = 0; i < list->count * 3u; ++i) {
    const ColourVertex& vertex = list->vertices[i];
    const Vector3 offset{centre.x - vertex.x, 0, centre.z - vertex.z};
    EXPECT_NEAR(vertex.u, 0.5f + Vector3Dot(offset, across) / 2.8f, 1e-4f);
    EXPECT_NEAR(vertex.v, 0.5f + Vector3Dot(offset, along) / 4.6f, 1e-4f);
  }
  // The tiles' tops lie at y = 0 and the shadow just above them.
  float highest = -1;
  for (std::uint32_t i = 0; i < list->count * 3u; ++i) highest = std::max(highest, list->vertices[i].y);
  EXPECT_FLOAT_EQ(highest, 0.02f);
}

}  // namespace
}  // namespace tge::test
