// AIPlayer as an object type: its special properties, its file record and
// old versions, its upright, always awake body walking by surface motion,
// its contact surfaces and the doors it opens on its way.
#include <gtest/gtest.h>

#include <cstring>

#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/props/Door.h"
#include "objects/gameplay/props/Door.h"
#include "tests/engine/characters/CharacterFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kAiMaxHealth = 15014, kAiNormalizedHealth = 15032, kAiExhaustion = 15028,
                        kAiMaxExhaustion = 15030, kAiNormalizedExhaustion = 15033, kIdleLod = 15034,
                        kWalkAnimation = 15002, kCurrentGroupDamage = 15079, kGroupDamageMul = 15081,
                        kGetGroupDamageMul = 15082;

class AIPlayerTest : public CharacterFixture {
 protected:
  Object& Marker(Object& parent, const Vector3& at) {
    Object& marker = AddOwn<Object>(parent, "Marker");
    marker.SetPosition(at, false);
    if (parent.GetClassId() == kClassSpace) marker.SetSpace(static_cast<Space*>(&parent));
    return marker;
  }
  static void Begin(AIPlayer& ai, std::uint32_t command, Object* target) {
    ai.ExecuteCommand(command, &target);
    Send(ai, kInsertLast);
  }

  // A contact of the ai's ball with other's first geometry.
  static ContactParameters Contact(AIPlayer& ai, Object* other, const Vector3& normal) {
    ContactParameters contact;
    std::memset(&contact, 0, sizeof contact);
    contact.geom.g1 = ToOde(ai.GetPhysics()->geometries[0]->geometry);
    contact.geom.g2 = other != nullptr ? ToOde(other->GetPhysics()->geometries[0]->geometry) : nullptr;
    contact.geom.normal[0] = normal.x;
    contact.geom.normal[1] = normal.y;
    contact.geom.normal[2] = normal.z;
    contact.surface.mu = 1;
    return contact;
  }
};

TEST_F(AIPlayerTest, HealthRaisesItsEventAlwaysAndTheGettersGuardTheirDivisorsAndIndex) {
  AIPlayer& ai = AddAI(*room, "AI", {});
  Send(ai, kHealth, 100.0f);
  Send(ai, kHealth, 100.0f);
  EXPECT_EQ(Log(ai).Count(AIPlayer::kEventChangeHealth), 2);
  Send(ai, kHealth, 30.0f);
  EXPECT_FLOAT_EQ(Get<float>(ai, kAiNormalizedHealth), 0.3f);
  Send(ai, kAiMaxHealth, 0.0f);
  Send(ai, kAiExhaustion, 5.0f);
  Send(ai, kAiMaxExhaustion, 0.0f);
  EXPECT_EQ(Get<float>(ai, kAiNormalizedHealth), 0.0f);
  EXPECT_EQ(Get<float>(ai, kAiNormalizedExhaustion), 0.0f);

  Send(ai, kCurrentGroupDamage, 31u);
  Send(ai, kGroupDamageMul, 4.0f);
  EXPECT_FLOAT_EQ(Get<float>(ai, kGetGroupDamageMul), 4.0f);
  Send(ai, kCurrentGroupDamage, 32u);
  Send(ai, kGroupDamageMul, 9.0f);
  float untouched = -1;
  ai.ExecuteCommand(kGetGroupDamageMul, &untouched);
  EXPECT_EQ(untouched, -1.0f);
  EXPECT_FLOAT_EQ(ai.GetSettings().groupDamageMul[31], 4.0f);
}

TEST_F(AIPlayerTest, RecordSavesLoadsAndSavesTheSameBytesAndOldVersionsKeepTheirDefaults) {
  AIPlayer& ai = AddAI(*engine, "AI", {});
  Send(ai, kHealth, 55.0f);
  Send(ai, kIdleLod, 0);
  std::string stroll = "Stroll";
  ai.ExecuteCommand(kWalkAnimation, &stroll);
  Send(ai, kCurrentGroupDamage, 4u);
  Send(ai, kGroupDamageMul, 2.5f);
  ExpectStableRecord(ai);
  struct Case {
    int version;
    const char* walk;
    std::uint32_t idleLod;
  };
  for (const Case c : {Case{61, "Walk", 1}, Case{62, "Stroll", 1}, Case{70, "Stroll", 1}, Case{71, "Stroll", 0}}) {
    SCOPED_TRACE(c.version);
    std::unique_ptr<AIPlayer> loaded = RoundTrip(ai, c.version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_FLOAT_EQ(loaded->GetSettings().health, 55);
    EXPECT_FLOAT_EQ(loaded->GetSettings().groupDamageMul[4], 2.5f);
    EXPECT_EQ(loaded->GetSettings().animations[kAIWalk], c.walk);
    EXPECT_EQ(loaded->GetSettings().aiFlags & AIPlayer::kEnableIdleLod, c.idleLod);
  }
}

TEST_F(AIPlayerTest, TheBodyStaysUprightAndAwakeAndWalksByRootMotionAfterIdling) {
  AIPlayer& ai = AddAI(*room, "AI", {});
  Object& goal = Marker(*room, {0, 0.5f, 10});
  Start(*room);
  ASSERT_NE(ai.GetBody(), nullptr);
  ai.ApplyBodyVector(BodyVector::kAddTorque, {50, 80, 30});
  Run(ai, 3);
  EXPECT_TRUE(ai.IsBodyEnabled());
  const Quaternion upright = GetBodyRotation(ToOde(ai.GetBody()));
  EXPECT_NEAR(std::abs(upright.w), 1.0f, 1e-4f);
  EXPECT_NEAR(ai.GetPositionWS().y, 0.5f, 0.05f);
  EXPECT_NEAR(ai.GetPositionWS().z, 0.0f, 0.05f);

  Begin(ai, kRunTo, &goal);
  Run(ai, 2);
  EXPECT_GT(ai.GetRootVelocity().z, 1.0f);
  EXPECT_GT(ai.GetPositionWS().z, 2.0f);
  EXPECT_NEAR(ai.GetPositionWS().x, 0.0f, 0.1f);
}

// Loaded with its level, an AI is attached below its cell without the
// set-Space message: it takes the cell's path mesh when it is linked.
TEST_F(AIPlayerTest, AnAILoadedInALevelTakesItsCellsVisionGraph) {
  Object& graph = *CreateObject(kClassVisionGraph, nullptr, *room, "Graph");
  Object& group = AddOwn<Object>(*room, "Group");
  AIPlayer& ai = AddAI(group, "AI", {});
  ASSERT_EQ(ai.GetVisionGraph(), nullptr);
  Start(*room);
  EXPECT_EQ(ai.GetVisionGraph(), &graph);
}

TEST_F(AIPlayerTest, FloorsTakeSurfaceMotionWallsKeepTheirsAndCharactersGoFrictionless) {
  AIPlayer& ai = AddAI(*room, "AI", {});
  AIPlayer& other = AddAI(*room, "Other", {3, 0, 0});
  Object& goal = Marker(*room, {0, 0.5f, 10});
  Start(*room);
  Begin(ai, kWalkTo, &goal);
  Run(ai, 0.5);
  GeometryRecord* own = ai.GetPhysics()->geometries[0].get();
  GeometryRecord* floorless = nullptr;
  ContactParameters contacts[] = {Contact(ai, nullptr, {0, 1, 0}), Contact(ai, nullptr, {1, 0, 0})};
  contacts[0].geom.pos[1] = 0.02;
  contacts[0].geom.depth = 0.01;
  EXPECT_EQ(ai.HandleContact(own, floorless, contacts, 2), kContactKeepSurface);
  EXPECT_NE(contacts[0].surface.mode & dContactMotion1, 0);
  EXPECT_NEAR(contacts[0].surface.mu, 4.5, 1e-6);
  EXPECT_NEAR(contacts[0].fdir1[2], 1.0, 1e-4);
  EXPECT_NEAR(contacts[0].surface.motion1, ai.GetRootVelocity().z, 1e-5);
  EXPECT_GT(contacts[0].surface.motion1, 1.0);
  EXPECT_EQ(contacts[1].surface.mode, 0);
  EXPECT_EQ(contacts[1].surface.mu, 1.0);

  ContactParameters touching[] = {Contact(ai, &other, {0, 1, 0}), Contact(ai, &other, {0, 0, 1})};
  ai.HandleContact(own, other.GetPhysics()->geometries[0].get(), touching, 2);
  EXPECT_EQ(touching[0].surface.mu, 0.0);
  EXPECT_EQ(touching[1].surface.mu, 0.0);
}

TEST_F(AIPlayerTest, TouchingADoorSensorOnTheWayToATargetElsewhereOpensTheClosedDoor) {
  Space& hall = AddSpace(*engine, "Hall", {60, 0, 0}, 10);
  hall.SetWorld(&engine->GetEngineWorld());
  AIPlayer& ai = AddAI(*room, "AI", {});
  auto& door = AddOwn<Door>(*room, "Door");
  door.SetType(1);
  GeometryRecord& sensor = door.AddGeometry();
  sensor.info |= kGeometryEventOnly;
  sensor.owner = &door;
  Object& elsewhere = Marker(hall, {60, 0.5f, 0});
  Start(*room);

  ai.HandleContact(ai.GetPhysics()->geometries[0].get(), &sensor, nullptr, 0);
  Step(ai);
  EXPECT_EQ(door.GetState(), DoorState::kClosed);  // no target yet

  Begin(ai, kWalkTo, &elsewhere);
  Step(ai);
  EXPECT_EQ(ai.HandleContact(ai.GetPhysics()->geometries[0].get(), &sensor, nullptr, 0), kContactUsual);
  Step(ai);
  EXPECT_NE(door.GetState(), DoorState::kClosed);
}

}  // namespace
}  // namespace tge::test
