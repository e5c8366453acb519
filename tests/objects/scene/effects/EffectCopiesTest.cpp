// Copies of the effect types hold their own resources: a copy and its
// original destroyed in either order leave every reference count as it was
// before either existed.
#include "core/BaseCommandIds.h"
#include "services/resources/ResourceSet.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

struct EffectCase {
  int classId;
  std::uint32_t setMaterial;  // 0: the type names its materials itself
  const char* material;
};

constexpr EffectCase kCases[] = {
    {kClassCollector, 0, "Slide"},
    {kClassWeatherDetail, 0, "ParticleRainMat"},
    {kClassLEEmitter, 15794, "Slide"},
    {kClassHitEffect, 18540, "Slide"},
    {kClassProjectTexture, 21508, "Slide"},
};

using EffectCopiesTest = SceneFixture;

TEST_F(EffectCopiesTest, CopyAndOriginalGoInEitherOrderWithBalancedReferences) {
  for (const char* name : {"Slide", "ParticleRainMat", "ParticleRainHitMat"}) AddMaterial(name);
  for (const EffectCase& effect : kCases) {
    for (bool copyFirst : {false, true}) {
      SCOPED_TRACE(::testing::Message() << effect.classId << (copyFirst ? " copy first" : " original first"));
      Resource* material = Resources().LookupResource(effect.material, 3);
      const int before = material->GetReferenceCount();
      Object& original = Add<Object>(effect.classId, "Effect");
      original.ExecuteCommand(kCommandInitializeNewObject, nullptr);
      if (effect.setMaterial != 0) {
        std::int32_t on = 1;
        if (effect.classId == kClassLEEmitter) original.ExecuteCommand(15792, &on);
        std::string name = effect.material;
        original.ExecuteCommand(effect.setMaterial, &name);
      }
      ResourceSet set(false, Resources().GetSlotCount());
      original.ExecuteCommand(kCommandCollectResources, &set);
      original.Precalculate();
      Object* copy = engine->GetServices().CloneObject(original, *engine, true, true, false);
      ASSERT_NE(copy, nullptr);
      ResourceSet again(false, Resources().GetSlotCount());
      copy->ExecuteCommand(kCommandCollectResources, &again);
      Queue().Reset();
      copy->Draw();
      Object& first = copyFirst ? *copy : original;
      Object& second = copyFirst ? original : *copy;
      DestroyObjectTree(engine->DetachChild(first));
      DestroyObjectTree(engine->DetachChild(second));
      Queue().Reset();
      EXPECT_EQ(material->GetReferenceCount(), before);
    }
  }
}

}  // namespace
}  // namespace tge::test
