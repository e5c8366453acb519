#include <gtest/gtest.h>

#include <vector>

#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsWorld.h"
#include "objects/gameplay/world/Space.h"
#include "services/EngineServices.h"
#include "tests/engine/EngineTestFixture.h"
#include "tests/engine/FloorCollision.h"
#include "tests/services/TestBytes.h"
#include "tests/support/ManualWorldClock.h"

namespace tge::test {
namespace {

constexpr double kStep = 1.0 / 60;

// The engine's World with physics over two rooms side by side; the left
// room's floor is a collision mesh.
class WorldPhysicsPassesTest : public EngineTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateEngineServices());
    GetEngineServices()->SetDataFolder(data.Folder());
    AddFloorCollision(data, -20, 0, -10, 10);
    EngineTest::SetUp();
    ManualWorldClock::Install();
    world = &engine->GetEngineWorld();
    std::int32_t on = 1;
    world->ExecuteCommand(14250, &on);
    left = &AddRoom("Left", -10);
    right = &AddRoom("Right", 10);
    left->AddCollisionEntry("Floor");
  }

  void TearDown() override {
    EngineTest::TearDown();
    DestroyEngineServices();
  }

  Space& AddRoom(const std::string& name, float x) {
    auto& room = static_cast<Space&>(Add(*engine, name, kClassSpace));
    room.SetWorld(world);
    room.SetPosition({x, 0, 0}, false);
    room.SetLocalBox({{-10, -1, -10}, {10, 10, 10}});
    return room;
  }

  Object& AddCrate(Space& room, const Vector3& at) {
    Object& crate = Add(room, "Crate");
    crate.SetWSOrientation(true);
    crate.SetPosition(at, false);
    crate.SetUsePhysics(true);
    crate.GetPhysics()->flags = kPhysicsEnableRigidBody;
    GeometryRecord& box = crate.AddGeometry();
    box.info = kGeometryBox | kGeometryMassByDensity;
    box.dimension = {1, 1, 1};
    box.collisionBits = 1;
    box.categoryBits = 1;
    return crate;
  }

  // Start-up: the World makes its physics and starts the rooms, then every
  // object builds its physics (twice, as start-up does).
  void Start() {
    world->Precalculate();
    for (Object* room : {static_cast<Object*>(left), static_cast<Object*>(right)}) room->Precalculate();
    world->ExecuteCommand(14272, nullptr);
    for (int i = 0; i < 2; ++i) {
      left->ExecuteCommand(161, nullptr);
      right->ExecuteCommand(161, nullptr);
    }
  }

  void RunFrames(int frames) {
    for (int i = 0; i < frames; ++i) {
      world->PhysicsStep();
      ManualWorldClock::Now() += kStep;
      world->WorldTick();
      world->PostPass();
    }
  }

  TempDataFolder data;
  World* world = nullptr;
  Space* left = nullptr;
  Space* right = nullptr;
};

TEST_F(WorldPhysicsPassesTest, ADroppedBoxComesToRestOnTheFloorMesh) {
  Object& crate = AddCrate(*left, {-10, 3, 0});
  Start();
  ASSERT_NE(world->GetPhysicsWorld(), nullptr);
  EXPECT_EQ(GetPhysicsWorldBodyCount(world->GetPhysicsWorld()), 1);
  ASSERT_EQ(left->GetCollisionEntry(0)->geometries.size(), 1u);
  RunFrames(240);
  EXPECT_NEAR(crate.GetPositionWS().y, 0.5f, 0.05f);
  EXPECT_NEAR(crate.GetPositionWS().x, -10.0f, 0.05f);
  EXPECT_EQ(crate.GetSpace(), left);

  left->ExecuteCommand(163, nullptr);
  EXPECT_TRUE(left->GetCollisionEntry(0)->geometries.empty());
}

TEST_F(WorldPhysicsPassesTest, AnObjectThatMovesIsFiledIntoTheRoomHoldingIt) {
  Object& crate = AddCrate(*right, {10, 0.5f, 0});
  Start();
  EXPECT_EQ(crate.GetSpace(), right);
  crate.SetPosition({-5, 0.5f, 0}, true);
  RunFrames(1);
  EXPECT_EQ(crate.GetSpace(), left);
  EXPECT_EQ(crate.GetParent(), left);

  // Out of every room, an object that is not a prop stays where it is.
  crate.SetPosition({0, -50, 0}, true);
  RunFrames(1);
  EXPECT_EQ(crate.GetParent(), left);
}

// A record loaded into a running World reaches its physics world at once;
// one older than ERP and CFM brings back their defaults and quick steps.
TEST_F(WorldPhysicsPassesTest, ALoadedWorldHandsItsSettingsToItsPhysics) {
  Start();
  PhysicsWorld* physics = world->GetPhysicsWorld();
  ASSERT_NE(physics, nullptr);
  World source;
  float erp = 0.7f;
  source.ExecuteCommand(14254, &erp);
  float cfm = 3.0f;
  source.ExecuteCommand(14256, &cfm);
  std::uint32_t off = 0;
  source.ExecuteCommand(14258, &off);
  struct Case {
    int version;
    float erp;
    float cfm;
    int quickStep;
  };
  for (const Case& c : {Case{36, 0.7f, 3e-5f, 0}, Case{35, 0.2f, 1e-5f, 1}}) {
    SCOPED_TRACE(c.version);
    std::vector<std::uint8_t> bytes(4096);
    SerializeStream out;
    ASSERT_TRUE(out.OpenMemoryBuffer(bytes.size(), "wb", bytes.data()));
    out.SetVersion(c.version);
    ASSERT_TRUE(source.Serialize(out));
    SerializeStream in;
    ASSERT_TRUE(in.OpenMemoryBuffer(static_cast<std::size_t>(out.Tell()), "rb", bytes.data()));
    in.SetVersion(c.version);
    ASSERT_TRUE(world->Serialize(in));
    EXPECT_FLOAT_EQ(dWorldGetERP(physics->world), c.erp);
    EXPECT_FLOAT_EQ(dWorldGetCFM(physics->world), c.cfm);
    EXPECT_EQ(physics->useQuickStep, c.quickStep);
  }
}

}  // namespace
}  // namespace tge::test
