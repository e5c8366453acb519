#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "core/BaseCommandIds.h"
#include "objects/gameplay/physics/PhysicsJoint.h"
#include "objects/gameplay/props/SimJoint.h"
#include "objects/gameplay/world/HitMessage.h"
#include "services/resources/ResourceSet.h"
#include "tests/engine/WorldTestScene.h"
#include "tests/objects/ui/UiObjectFixture.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {
namespace {

class LoggedSimJoint : public SimJoint {
 public:
  int FireEvent(int eventId, Object* sender) override {
    if (eventId == 11287) deaths.push_back(sender);
    return SimJoint::FireEvent(eventId, sender);
  }
  std::vector<Object*> deaths;
};

// The World scene over an engine with a running sound system.
class SimJointTest : public WorldTestSceneOn<UiObjectTest> {
 protected:
  // A hinge about the world's Z axis at the frame, holding a crate 1.5 to
  // the side, with a creak.
  LoggedSimJoint& Hinge(Object& frame) {
    auto& joint = *static_cast<LoggedSimJoint*>(frame.AddChild(std::make_unique<LoggedSimJoint>()));
    joint.SetName("Joint");
    joint.SetWorld(world);
    joint.SetSpace(cell);
    joint.SetInheritOrientation(false);
    joint.SetWSOrientation(true);
    joint.SetPosition(frame.GetPositionWS(), true);
    std::uint32_t axisZ = 2;
    joint.ExecuteCommand(11252, &axisZ);
    // The stops start closed at 0: open them.
    Vector3 lo{-1, -1, 0}, hi{1, 1, 0};
    joint.ExecuteCommand(11256, &lo);
    joint.ExecuteCommand(11258, &hi);
    std::string creak = "Creak";
    joint.ExecuteCommand(11272, &creak);
    Body(joint, "Crate", {1.5f, 5, 0});
    return joint;
  }

  void Hit(SimJoint& joint, float damage, std::uint32_t group, Object* attacker = nullptr) {
    HitMessage hit;
    hit.attacker = attacker;
    hit.damage = damage;
    hit.damageGroup = group;
    joint.ExecuteCommand(kApplyHit, &hit);
  }
};

TEST_F(SimJointTest, DamageCountsOnlyForTheGroupsItTakes) {
  struct Case {
    const char* what;
    std::uint32_t mask;
    std::uint32_t group;
    float health;
    float damage;
    float after;
    bool dies;
  };
  const Case cases[] = {
      {"bit clear", ~(1u << 3), 3, 100, 10, 100, false},
      {"bit set", ~0u, 3, 100, 10, 90, false},
      {"group -1 is bit 31", 1u << 31, 0xFFFFFFFFu, 100, 10, 90, false},
      {"group -1 without bit 31", 0x7FFFFFFFu, 0xFFFFFFFFu, 100, 10, 100, false},
      {"group 33 is bit 1", 1u << 1, 33, 100, 10, 90, false},
      {"exactly 0", ~0u, 0, 10, 10, 0, true},
  };
  Object attacker;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoggedSimJoint joint;
    std::uint32_t mask = c.mask;
    joint.ExecuteCommand(11282, &mask);
    float health = c.health;
    joint.ExecuteCommand(11280, &health);
    Hit(joint, c.damage, c.group, &attacker);
    EXPECT_FLOAT_EQ(joint.GetHealth(), c.after);
    EXPECT_EQ(joint.deaths, c.dies ? std::vector<Object*>{&attacker} : std::vector<Object*>{});
  }
  // Dead and unbroken: every further hit raises the event again.
  LoggedSimJoint joint;
  Hit(joint, 100, 0);
  Hit(joint, 1, 0);
  EXPECT_EQ(joint.deaths.size(), 2u);
}

TEST_F(SimJointTest, DeathBreaksTheJointOnlyWithBreakOnDie) {
  for (bool breakOnDie : {false, true}) {
    SCOPED_TRACE(breakOnDie);
    Object& frame = Placed(*cell, kClassObject, "Frame", {0, 5, 0});
    LoggedSimJoint& joint = Hinge(frame);
    std::int32_t on = breakOnDie ? 1 : 0;
    joint.ExecuteCommand(11284, &on);
    StartPhysics(frame);
    ASSERT_NE(joint.GetJoint(), nullptr);
    EXPECT_EQ(dJointGetType(joint.GetJoint()), dJointTypeHinge);
    Hit(joint, 150, 4);
    EXPECT_EQ(joint.GetJoint() == nullptr, breakOnDie);
    frame.Delete(false);
  }
}

TEST_F(SimJointTest, TheTypeAndAxisChooseTheJoint) {
  struct Case {
    std::uint32_t type, axis;
    dJointType kind;  // dJointTypeNone: no joint
    Vector3 axis1;
  };
  for (const Case& c : {Case{0, 1, dJointTypeHinge, {0, 1, 0}}, Case{0, 3, dJointTypeHinge, {-1, 0, 0}},
                        Case{1, 5, dJointTypeUniversal, {0, 0, -1}}, Case{2, 0, dJointTypeNone, {}}}) {
    SCOPED_TRACE(::testing::Message() << c.type << " " << c.axis);
    Object& frame = Body(*cell, "Frame", {0, 5, 0});
    LoggedSimJoint& joint = Hinge(frame);
    std::uint32_t type = c.type, axis = c.axis;
    joint.ExecuteCommand(11250, &type);
    joint.ExecuteCommand(11252, &axis);
    StartPhysics(frame);
    if (c.kind == dJointTypeNone) {
      EXPECT_EQ(joint.GetJoint(), nullptr);
    } else {
      ASSERT_NE(joint.GetJoint(), nullptr);
      EXPECT_EQ(dJointGetType(joint.GetJoint()), c.kind);
      dVector3 read;
      if (c.kind == dJointTypeHinge) {
        dJointGetHingeAxis(joint.GetJoint(), read);
      } else {
        dJointGetUniversalAxis1(joint.GetJoint(), read);
      }
      EXPECT_NEAR(read[0], c.axis1.x, 1e-4);
      EXPECT_NEAR(read[1], c.axis1.y, 1e-4);
      EXPECT_NEAR(read[2], c.axis1.z, 1e-4);
    }
    frame.Delete(false);
  }
}

// The creak starts once the hinge turns, grows louder with its speed and
// stops when the joint breaks.
TEST_F(SimJointTest, TheCreakFollowsTheTurnAndStopsAtTheBreak) {
  SoundResource& creak = AddSound("Creak");
  Object& frame = Placed(*cell, kClassObject, "Frame", {0, 5, 0});
  LoggedSimJoint& joint = Hinge(frame);
  std::unique_ptr<ResourceSet> set = Services().GetResources().CreateResourceSet(false);
  joint.ExecuteCommand(kCommandCollectResources, set.get());
  ASSERT_EQ(joint.GetSound(), &creak);
  ASSERT_EQ(Services().GetResources().LoadResource(&creak), 1);
  StartPhysics(frame);
  ASSERT_NE(joint.GetJoint(), nullptr);
  EXPECT_FALSE(IsPlaying(creak));
  std::vector<std::pair<float, std::int32_t>> samples;  // |rate|, volume
  for (int i = 0; i < 40; ++i) {
    RunFrames(1);
    if (IsPlaying(creak)) samples.emplace_back(std::abs(GetHingeAngleRate(joint.GetJoint())), VolumeOf(creak));
  }
  ASSERT_GT(samples.size(), 5u);
  const auto fastest = std::max_element(samples.begin(), samples.end());
  const auto slowest = std::min_element(samples.begin(), samples.end());
  EXPECT_GT(fastest->first, slowest->first + 0.5f);
  EXPECT_GT(fastest->second, slowest->second);
  joint.ExecuteCommand(11286, nullptr);
  EXPECT_EQ(joint.GetJoint(), nullptr);
  EXPECT_FALSE(IsPlaying(creak));
}

TEST_F(SimJointTest, AFileBeforeVersion34KeepsTheDefaultHealthAndDamageKinds) {
  SimJoint source;
  float health = 40;
  source.ExecuteCommand(11280, &health);
  std::uint32_t mask = 3;
  source.ExecuteCommand(11282, &mask);
  Vector3 stop{0.5f, 0.25f, 0};
  source.ExecuteCommand(11262, &stop);
  for (int version : {33, 70}) {
    SCOPED_TRACE(version);
    const std::vector<std::uint8_t> first = SaveRecord(source, version);
    const std::unique_ptr<SimJoint> loaded = LoadRecord<SimJoint>(kClassSimJoint, first, version);
    ASSERT_NE(loaded, nullptr);
    SimJoint& copy = *loaded;
    float read = 0;
    copy.ExecuteCommand(11281, &read);
    EXPECT_FLOAT_EQ(read, version >= 34 ? 40.0f : 100.0f);
    std::uint32_t kinds = 0;
    copy.ExecuteCommand(11283, &kinds);
    EXPECT_EQ(kinds, version >= 34 ? 3u : 0xFFFFFFFFu);
    Vector3 erp;
    copy.ExecuteCommand(11263, &erp);
    EXPECT_FLOAT_EQ(erp.y, 0.25f);
    if (version >= 34) {
      EXPECT_EQ(SaveRecord(copy, version), first);
    }
  }
}

}  // namespace
}  // namespace tge::test
