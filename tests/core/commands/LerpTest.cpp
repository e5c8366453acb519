#include <gtest/gtest.h>

#include "core/trees/ObjectServices.h"
#include "tests/core/WorldTestUtil.h"

namespace tge::test {
namespace {

using LerpTest = WorldTest;


Probe& Movable(Probe& probe) {
  probe.SetInheritOrientation(false);
  return probe;
}

void Lerp(Object& object, std::uint32_t id, const Vector3& to, float time) {
  ArgumentBlock block;
  block.Push(to).Push(time);
  object.ExecuteCommand(id, block.Data());
}

TEST_F(LerpTest, PositionRotationAndScaleEndExactlyOnTheirTargets) {
  Probe& probe = Movable(AddProbe());
  probe.SetPosition({0.1f, 0.2f, 0.3f}, true);
  const Vector3 position{0.7f, -1.3f, 2.9f};
  const Quaternion rotation{0, 0.6f, 0, 0.8f};
  const Vector3 scale{1.1f, 0.3f, 7.7f};
  Lerp(probe, 44, position, 0.25f);
  ArgumentBlock turn;
  turn.Push(rotation).Push(0.25f);
  probe.ExecuteCommand(45, turn.Data());
  Lerp(probe, 46, scale, 0.25f);
  Tick(0.1);
  EXPECT_NE(probe.GetPosition().x, position.x);
  for (int i = 0; i < 3; ++i) Tick(0.1);
  EXPECT_EQ(probe.GetPosition().x, position.x);
  EXPECT_EQ(probe.GetPosition().y, position.y);
  EXPECT_EQ(probe.GetPosition().z, position.z);
  EXPECT_EQ(probe.GetRotation().y, rotation.y);
  EXPECT_EQ(probe.GetRotation().w, rotation.w);
  EXPECT_EQ(probe.GetScale().z, scale.z);
  EXPECT_EQ(probe.GetScheduleLinkCount(), 0);
}

TEST_F(LerpTest, ANewLerpReplacesTheRunningOne) {
  Probe& probe = Movable(AddProbe());
  Lerp(probe, 44, {10, 0, 0}, 0.4f);
  Tick(0.1);
  Lerp(probe, 43, {0, 1, 0}, 0.2f);
  for (int i = 0; i < 6; ++i) Tick(0.1);
  EXPECT_FLOAT_EQ(probe.GetPosition().x, 2.5f) << "the first lerp stopped where it was";
  EXPECT_FLOAT_EQ(probe.GetPosition().y, 1.0f);
}

TEST_F(LerpTest, AByObjectLerpFollowsItsTargetAndEndsWhenItIsGone) {
  Probe& probe = Movable(AddProbe("follower"));
  Probe& target = Movable(AddProbe("target"));
  target.SetPosition({4, 0, 0}, true);
  ArgumentBlock block;
  block.PushPointer(static_cast<Object*>(&target)).Push(0.4f);
  probe.ExecuteCommand(50, block.Data());
  Tick(0.1);
  EXPECT_FLOAT_EQ(probe.GetPosition().x, 1.0f);
  target.SetPosition({8, 0, 0}, true);
  Tick(0.1);
  EXPECT_FLOAT_EQ(probe.GetPosition().x, 4.0f) << "the target is read again every tick";
  target.Delete(false);
  Tick(0.1);
  Tick(0.1);
  EXPECT_FLOAT_EQ(probe.GetPosition().x, 4.0f);
  EXPECT_EQ(probe.GetScheduleLinkCount(), 0);
}

}  // namespace
}  // namespace tge::test
