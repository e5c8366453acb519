// The engine's global hit-effect pools: InitializeGlobalHitEffects finds the
// pools "GHE_01" to "GHE_32", CreateGlobalHitEffect and the object hooks
// spawn through the pool type's hand-out, and pools that went are skipped.
#include <gtest/gtest.h>

#include "core/CommandArgs.h"
#include "core/ObjectHooks.h"
#include "objects/gameplay/world/Space.h"
#include "tests/engine/EngineTestFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kInitializeGlobalHitEffects = 368, kCreateGlobalHitEffect = 373;

// Stands in for the pool type: counts its precalculations.
class StandInPool : public Object {
 public:
  StandInPool() : Object(kClassObjectPool) {}
  void Precalculate() override {
    ++precalculated;
    Object::Precalculate();
  }
  int precalculated = 0;
};

struct HandOut {
  Object* pool;
  Object* parent;
  float translationX;
  float value;
};
std::vector<HandOut> gHandOuts;

Object* RecordHandOut(Object& pool, Object& parent, const Matrix4& placement, const Vector3*, float value) {
  gHandOuts.push_back({&pool, &parent, placement.m[12], value});
  return nullptr;
}

class GlobalHitEffectsTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    gHandOuts.clear();
    SetPoolHandOut(&RecordHandOut);
    space = static_cast<Space*>(CreateObject(kClassSpace, nullptr, *engine, "Yard"));
    target = &Add(*space, "Target");
    target->SetInheritOrientation(false);
    target->SetPosition({4, 0, 0}, false);
    target->SetSpace(space);
  }
  void TearDown() override {
    SetPoolHandOut(nullptr);
    EngineTest::TearDown();
  }

  StandInPool& AddPool(Object& parent, const std::string& name) {
    auto pool = std::make_unique<StandInPool>();
    pool->SetName(name);
    return static_cast<StandInPool&>(*parent.AddChild(std::move(pool)));
  }

  void Create(Object* object, std::uint32_t index) {
    ArgumentBlock block;
    block.PushPointer(object).Push(index);
    engine->ExecuteCommand(kCreateGlobalHitEffect, block.Data());
  }

  Space* space = nullptr;
  Object* target = nullptr;
};

TEST_F(GlobalHitEffectsTest, IndicesZeroOneAndThirtyThreeAllSpawnFromTheFirstPool) {
  StandInPool& first = AddPool(Add(*engine, "Effects"), "GHE_01");
  StandInPool& third = AddPool(*engine, "GHE_03");
  AddPool(*engine, "GHE_02").SetName("Other");
  engine->ExecuteCommand(kInitializeGlobalHitEffects, nullptr);
  EXPECT_EQ(first.precalculated, 1);
  EXPECT_EQ(engine->GetGlobalHitEffectPool(0), &first);
  EXPECT_EQ(engine->GetGlobalHitEffectPool(1), nullptr);
  EXPECT_EQ(engine->GetGlobalHitEffectPool(2), &third);

  for (std::uint32_t index : {0u, 1u, 33u}) Create(target, index);
  ASSERT_EQ(gHandOuts.size(), 3u);
  for (const HandOut& handOut : gHandOuts) {
    EXPECT_EQ(handOut.pool, &first);
    EXPECT_EQ(handOut.parent, space);
    EXPECT_FLOAT_EQ(handOut.translationX, 4.0f);
    EXPECT_FLOAT_EQ(handOut.value, 1.0f);
  }
  gHandOuts.clear();
  GetObjectHooks()->SpawnGlobalHitEffects(0x5, *target, Matrix4{}, nullptr, 0.5f);
  ASSERT_EQ(gHandOuts.size(), 2u);
  EXPECT_EQ(gHandOuts[1].pool, &third);
  EXPECT_FLOAT_EQ(gHandOuts[1].value, 0.5f);
}

TEST_F(GlobalHitEffectsTest, PoolsThatWentTargetsWithoutSpaceAndMissingPathsSpawnNothing) {
  StandInPool& pool = AddPool(*engine, "GHE_01");
  engine->ExecuteCommand(kInitializeGlobalHitEffects, nullptr);
  Create(nullptr, 1);
  Object& nowhere = Add(*engine, "Nowhere");
  Create(&nowhere, 1);
  engine->ExecuteCommand(kCreateGlobalHitEffect, nullptr);
  EXPECT_TRUE(gHandOuts.empty());

  DestroyObjectTree(engine->DetachChild(pool));
  Create(target, 1);
  EXPECT_TRUE(gHandOuts.empty());
}

TEST_F(GlobalHitEffectsTest, WithoutAPoolTypeNothingIsHandedOut) {
  AddPool(*engine, "GHE_01");
  engine->ExecuteCommand(kInitializeGlobalHitEffects, nullptr);
  SetPoolHandOut(nullptr);
  Create(target, 1);
  EXPECT_TRUE(gHandOuts.empty());
}

}  // namespace
}  // namespace tge::test
