#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/ObjectHooks.h"
#include "core/ObjectRef.h"
#include "core/math/Random.h"
#include "objects/gameplay/world/ObjectPool.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/effects/HitEffect.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

class ObjectPoolTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    World& world = engine->GetEngineWorld();
    std::int32_t on = 1;
    world.ExecuteCommand(14250, &on);
    world.Precalculate();
    cell = static_cast<Space*>(CreateObject(kClassSpace, nullptr, *engine, "Cell"));
    cell->SetWorld(&world);
    cell->Precalculate();
  }

  ObjectPool& MakePool(std::uint32_t maxSize, std::vector<std::string> templates) {
    auto& pool = static_cast<ObjectPool&>(*CreateObject(kClassObjectPool, nullptr, *engine, "Sparks"));
    pool.ExecuteCommand(8000, &maxSize);
    for (const std::string& name : templates) Add(pool, name);
    return pool;
  }

  Object* Request(ObjectPool& pool) { return pool.GetObject(cell, nullptr, nullptr, 1.0f); }

  static int StoreCount(const ObjectPool& pool) { return pool.GetStore() ? pool.GetStore()->GetChildCount() : 0; }

  Space* cell = nullptr;
};

TEST_F(ObjectPoolTest, EachTemplateGetsItsShareOfMaxSize) {
  struct Case {
    std::uint32_t maxSize, growSize;
    int templates;
    int clones;
  };
  const Case cases[] = {{10, 0, 3, 9}, {10, 50, 3, 9}, {2, 0, 3, 0}, {4, 0, 1, 4}, {5000, 0, 2, 1024}};
  for (const Case& c : cases) {
    std::vector<std::string> names;
    for (int i = 0; i < c.templates; ++i) names.push_back("T" + std::to_string(i));
    ObjectPool& pool = MakePool(c.maxSize, names);
    std::uint32_t grow = c.growSize;
    pool.ExecuteCommand(8002, &grow);
    Object* first = Request(pool);
    EXPECT_EQ(first != nullptr, c.clones > 0) << c.maxSize;
    EXPECT_EQ(StoreCount(pool) + (first ? 1 : 0), c.clones) << c.maxSize;
    if (c.clones == 9) {
      std::vector<Object*> all(pool.GetStore()->GetChildCount());
      for (std::size_t i = 0; i < all.size(); ++i) all[i] = pool.GetStore()->GetChild(static_cast<int>(i));
      for (const char* name : {"T0", "T1", "T2"}) {
        const auto count = std::count_if(all.begin(), all.end(), [name](Object* o) { return o->GetName() == name; });
        EXPECT_GE(count, 2) << name;
      }
    }
    pool.Delete(false);
  }
}

TEST_F(ObjectPoolTest, AnEmptyPoolNeverBuilds) {
  ObjectPool& pool = MakePool(10, {});
  EXPECT_EQ(Request(pool), nullptr);
  EXPECT_TRUE(pool.IsFilled());
  Add(pool, "Late");
  EXPECT_EQ(Request(pool), nullptr);
  EXPECT_EQ(pool.GetStore(), nullptr);
}

TEST_F(ObjectPoolTest, RequestsTakeRandomFreeClonesUntilNoneIsLeft) {
  ObjectPool& pool = MakePool(6, {"Spark"});
  SeedRand(3);
  std::set<Object*> handed;
  std::vector<int> storeIndices;
  for (int i = 0; i < 6; ++i) {
    Object* clone = Request(pool);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetParent(), cell);
    EXPECT_TRUE(clone->GetActive());
    handed.insert(clone);
  }
  EXPECT_EQ(handed.size(), 6u);
  EXPECT_EQ(Request(pool), nullptr);
  EXPECT_EQ(pool.GetObject(nullptr, nullptr, nullptr, 1), nullptr);
  // A deleted clone comes back and is handed out again.
  Object* back = *handed.begin();
  EXPECT_TRUE(back->Delete(false));
  EXPECT_EQ(back->GetParent(), pool.GetStore());
  EXPECT_EQ(Request(pool), back);
}

TEST_F(ObjectPoolTest, APlacementIsMadeRelativeToTheNewParent) {
  cell->SetInheritOrientation(false);
  cell->SetPosition({10, 0, 0}, true);
  ObjectPool& pool = MakePool(1, {"Spark"});
  Matrix4 placement;
  Matrix4Translation(placement, 12, 3, 4);
  Object* clone = pool.GetObject(cell, &placement, nullptr, 1);
  ASSERT_NE(clone, nullptr);
  const Vector3 at = clone->GetPositionWS();
  EXPECT_FLOAT_EQ(at.x, 12);
  EXPECT_FLOAT_EQ(at.y, 3);
  EXPECT_FLOAT_EQ(clone->GetPosition().x, 2);
  EXPECT_EQ(GetPoolHandOut()(pool, *cell, placement, nullptr, 1), nullptr);
}

TEST_F(ObjectPoolTest, APooledHitEffectTakesTheRequestsIntensity) {
  ObjectPool& pool = MakePool(1, {});
  ASSERT_NE(CreateObject(kClassHitEffect, nullptr, pool, "Hit"), nullptr);
  const Vector3 end{0, 0, 5};
  Object* clone = pool.GetObject(cell, nullptr, &end, 0.4f);
  ASSERT_NE(clone, nullptr);
  ASSERT_EQ(clone->GetClassId(), kClassHitEffect);
  EXPECT_FLOAT_EQ(static_cast<HitEffect*>(clone)->GetIntensity(), 0.4f);
}

TEST_F(ObjectPoolTest, AReturnedCloneIsStoppedWithoutBodyOrUpdates) {
  ObjectPool& pool = MakePool(1, {});
  Object& body = Add(pool, "Crate");
  body.SetUsePhysics(true);
  body.GetPhysics()->flags = kPhysicsEnableRigidBody;
  GeometryRecord& record = body.AddGeometry();
  record.info = kGeometryBox | kGeometryMassByDensity;
  record.dimension = {1, 1, 1};
  Object* clone = GetPoolHandOut()(pool, *cell, Matrix4{}, nullptr, 1);
  ASSERT_NE(clone, nullptr);
  clone->SetWorld(&engine->GetEngineWorld());
  clone->ExecuteCommand(161, nullptr);
  clone->ExecuteCommand(162, nullptr);
  clone->EnableUpdate();
  ASSERT_NE(clone->GetBody(), nullptr);
  ASSERT_TRUE(clone->HasFlag(kFlagUpdateRegistered));

  EXPECT_TRUE(clone->Delete(false));
  EXPECT_EQ(clone->GetParent(), pool.GetStore());
  EXPECT_EQ(clone->GetBody(), nullptr);
  EXPECT_FALSE(clone->HasFlag(kFlagUpdateRegistered));
  EXPECT_FALSE(clone->GetActive());
  EXPECT_FALSE(clone->HasFlag(kFlagActionStarted));
}

// A clone that fades out over a second when stopped: a new one is stopped in
// the store, a returned one on its way back. Handed out within that second,
// it stays started.
TEST_F(ObjectPoolTest, AHandedOutCloneKeepsNoPendingFadeOut) {
  static double now = 0;
  now = 0;
  World::SetClock([] { return now; });
  World& world = engine->GetEngineWorld();
  const auto tick = [&](double seconds) {
    for (int i = 0; i < static_cast<int>(seconds * 60 + 0.5); ++i) {
      now += 1.0 / 60;
      world.WorldTick();
    }
  };
  ObjectPool& pool = MakePool(1, {});
  pool.SetWorld(&world);
  Object& fader = Add(pool, "Fader");
  fader.SetWorld(&world);
  fader.SetUseAction(true);
  float stopTime = 1;
  fader.ExecuteCommand(63, &stopTime);
  for (int use = 0; use < 2; ++use) {
    SCOPED_TRACE(use);
    Object* clone = Request(pool);
    ASSERT_NE(clone, nullptr);
    ASSERT_EQ(clone->GetWorld(), &world);
    tick(1.5);
    EXPECT_TRUE(clone->HasFlag(kFlagActionStarted));
    EXPECT_EQ(clone->GetActionValue(), 1.0f);
    EXPECT_TRUE(clone->Delete(false));
    tick(0.25);
  }
  World::SetClock(nullptr);
}

TEST_F(ObjectPoolTest, ClonesOutliveTheirPoolAndGoWhenDeleted) {
  ObjectPool& pool = MakePool(2, {"Spark"});
  ObjectRef<Object> clone(Request(pool));
  ASSERT_TRUE(clone);
  pool.Delete(false);
  engine->GetServices().DeletePendingObjects();
  ASSERT_TRUE(clone);
  EXPECT_TRUE(clone->Delete(false));
  engine->GetServices().DeletePendingObjects();
  EXPECT_FALSE(clone);

  // Without its store a pool lets deleted clones go too.
  ObjectPool& second = MakePool(2, {"Spark"});
  ObjectRef<Object> other(Request(second));
  ASSERT_TRUE(other);
  second.GetStore()->Delete(false);
  engine->GetServices().DeletePendingObjects();
  EXPECT_TRUE(other->Delete(false));
  engine->GetServices().DeletePendingObjects();
  EXPECT_FALSE(other);
}

TEST_F(ObjectPoolTest, TheStoreIsNotSavedSoALoadedPoolBuildsTheSameCount) {
  ObjectPool& pool = MakePool(4, {"Spark"});
  ASSERT_NE(Request(pool), nullptr);
  Object& holder = Add(*engine, "Holder");
  ASSERT_TRUE(engine->GetServices().MoveObject(pool, holder));
  ASSERT_TRUE(engine->SaveObjectFile(holder, "pool.sac", false, false, nullptr));
  Object& target = Add(*engine, "Target");
  ASSERT_TRUE(engine->LoadObjectFile(target, "pool.sac"));
  ASSERT_EQ(target.GetChildCount(), 1);
  auto& loaded = static_cast<ObjectPool&>(*target.GetChild(0));
  ASSERT_EQ(loaded.GetClassId(), kClassObjectPool);
  EXPECT_EQ(loaded.GetChildCount(), 1);
  ASSERT_NE(Request(loaded), nullptr);
  EXPECT_EQ(StoreCount(loaded), 3);
  // A clone of a filled pool takes none of the store for a template.
  Object* copy = engine->GetServices().CloneObject(loaded, *engine, true, true, false);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(Request(static_cast<ObjectPool&>(*copy)), nullptr);
  EXPECT_EQ(StoreCount(static_cast<ObjectPool&>(*copy)), 3);
}

}  // namespace
}  // namespace tge::test
