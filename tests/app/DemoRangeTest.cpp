// The demo's range loaded from the files the demo writer makes: the
// launcher's grenade scatters the stack and deletes itself, the gun's hits
// take spark effects out of the pool "GHE_01" that come back when they end,
// and over a long run the objects do not pile up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectRef.h"
#include "objects/gameplay/world/ObjectPool.h"
#include "tests/app/DemoFixture.h"

namespace tge::test {
namespace {

using DemoRangeTest = OpenedDemoTest;

int CountOfClass(Object& root, int classId) {
  std::vector<Object*> found;
  root.CollectDescendants(found, classId, -1);
  return static_cast<int>(found.size());
}

// The first grenade leaves at 4 s and goes off at the foot of the stack
// after 2.5 s; the stack stands until then.
TEST_F(DemoRangeTest, TheBlastScattersTheStackAndTheGrenadeGoes) {
  ObjectRef<> crates[3];
  for (int i = 0; i < 3; ++i) {
    crates[i].Set(&Find("/DemoWorld/Stage/Range/Stack" + std::to_string(i + 1)));
    ASSERT_NE(crates[i]->GetBody(), nullptr);
  }
  Object& stage = Find("/DemoWorld/Stage");
  Seconds(5.5);
  EXPECT_EQ(CountOfClass(stage, kClassAmmunition), 4) << "the templates, the grenade in flight and the next one";
  Vector3 before[3];
  for (int i = 0; i < 3; ++i) before[i] = crates[i]->GetPositionWS();
  Seconds(1.5);
  int moved = 0;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(crates[i]);
    const Vector3 at = crates[i]->GetPositionWS();
    moved += std::hypot(at.x - before[i].x, at.y - before[i].y, at.z - before[i].z) > 0.5f ? 1 : 0;
  }
  EXPECT_EQ(moved, 3);
  EXPECT_EQ(CountOfClass(stage, kClassAmmunition), 3) << "the grenade that went off is gone";
}

TEST_F(DemoRangeTest, EachHitTakesAnEffectFromThePoolAndGivesItBack) {
  auto& pool = Find<ObjectPool>("/DemoWorld/Stage/Range/GHE_01");
  Object& board = Find("/DemoWorld/Stage/Range/Board");
  bool shown = false, back = false;
  for (int frame = 0; frame < 6 * 60 && !back; ++frame) {
    Frame();
    const Object* store = pool.GetStore();
    if (store == nullptr) continue;
    const bool out = store->GetChildCount() < 4;
    if (out) {
      shown = true;
      ASSERT_EQ(CountOfClass(board, kClassHitEffect), 4 - store->GetChildCount());
    }
    back = shown && !out;
  }
  EXPECT_TRUE(shown);
  EXPECT_TRUE(back);
}

TEST_F(DemoRangeTest, TheObjectCountStaysBoundedOverALongRun) {
  Seconds(10);
  const int settled = Object::GetLiveObjectCount();
  int most = settled;
  for (int second = 0; second < 30; ++second) {
    Seconds(1);
    most = std::max(most, Object::GetLiveObjectCount());
  }
  EXPECT_LE(most, settled + 8);
  // The two weapons' templates, the grenade in the hand and at most one
  // in flight.
  EXPECT_LE(CountOfClass(Find("/DemoWorld/Stage"), kClassAmmunition), 4);
}

}  // namespace
}  // namespace tge::test
