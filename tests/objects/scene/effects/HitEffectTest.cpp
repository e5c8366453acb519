// HitEffect: the decal at the hit following intensity and action value, the
// sparks and puffs, the trail, resource release and its file record.
#include "core/BaseCommandIds.h"
#include "core/math/Random.h"
#include "objects/scene/effects/HitEffect.h"
#include "services/render/RenderQueue.h"
#include "services/resources/ResourceSet.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetParticleMaterial = 18508, kSetParticleLifetime = 18514, kSetSmokeMaterial = 18520;
constexpr std::uint32_t kSetSmokeLifetime = 18526, kSetTrailMaterial = 18532, kSetDecalMaterial = 18540;
constexpr std::uint32_t kSetParticleSpread = 18518, kSetSmokeSpread = 18530;

void SetName(Object& object, std::uint32_t id, const std::string& name) {
  std::string value = name;
  object.ExecuteCommand(id, &value);
}

class HitEffectTest : public SceneFixture {
 protected:
  void SetUp() override {
    SceneFixture::SetUp();
    for (const char* name : {"Decal", "Spark", "Smoke", "Streak"}) AddMaterial(name);
    View().SetCameraLookAt({0, 5, -5}, {0, 0, 0});
    SeedRand(3);
  }

  HitEffect& NewEffect(std::initializer_list<std::pair<std::uint32_t, const char*>> parts) {
    HitEffect& effect = Add<HitEffect>(kClassHitEffect, "Hit");
    for (const auto& [id, name] : parts) SetName(effect, id, name);
    ResourceSet set(false, Resources().GetSlotCount());
    effect.ExecuteCommand(kCommandCollectResources, &set);
    effect.SetPosition({1, 0, 2}, false);
    effect.Precalculate();
    return effect;
  }

  std::vector<const PrimitivesCommand*> Primitives() {
    std::vector<const PrimitivesCommand*> out;
    for (std::size_t list = 0; list < kListCallbacks; ++list) {
      for (const auto* c : Queued<PrimitivesCommand>(list)) {
        if (c->kind == RenderCommandKind::kPrimitives) out.push_back(c);
      }
    }
    return out;
  }

  void DrawFrame(HitEffect& effect) {
    Queue().Reset();
    effect.Draw();
  }
};

TEST_F(HitEffectTest, DecalIsASmallSquareAtTheHitWithAlphaOfIntensityTimesActionValue) {
  HitEffect& effect = NewEffect({{kSetDecalMaterial, "Decal"}});
  effect.SetIntensity(0.5f);
  effect.ExecuteCommand(kCommandActionStartStep, nullptr);
  DrawFrame(effect);
  std::vector<const PrimitivesCommand*> queued = Primitives();
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0]->count, 2u);
  EXPECT_EQ(queued[0]->type, 4u);
  EXPECT_FLOAT_EQ(queued[0]->world.m[12], 1.0f);
  const auto* v = static_cast<const ColourVertex*>(queued[0]->vertices);
  EXPECT_FLOAT_EQ(v[0].x, -0.04f);
  EXPECT_FLOAT_EQ(v[5].y, 0.04f);
  EXPECT_FLOAT_EQ(v[0].z, 0.01f);
  const std::uint32_t alpha = static_cast<std::uint32_t>(0.5f * effect.GetActionValue() * 255.0f + 0.5f);
  EXPECT_NEAR(static_cast<double>(v[0].colour >> 24), alpha, 1.0);
  EXPECT_EQ(v[0].colour & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(HitEffectTest, IntensityHalvesSparkSpeedAndSmokeAlpha) {
  HitEffect& full = NewEffect({{kSetParticleMaterial, "Spark"}, {kSetSmokeMaterial, "Smoke"}});
  HitEffect& half = NewEffect({{kSetParticleMaterial, "Spark"}, {kSetSmokeMaterial, "Smoke"}});
  for (HitEffect* effect : {&full, &half}) {
    Send(*effect, kSetParticleSpread, 0.0f);
    Send(*effect, kSetSmokeSpread, 0.0f);
  }
  half.SetIntensity(0.5f);
  full.StartEffect();
  half.StartEffect();
  const HitEffectParticle& fast = full.GetBuffers().sparks.particles[0];
  const HitEffectParticle& slow = half.GetBuffers().sparks.particles[0];
  EXPECT_EQ(full.GetBuffers().sparks.particles.size(), HitEffect::kSparkCount);
  EXPECT_EQ(full.GetBuffers().puffs.particles.size(), HitEffect::kPuffCount);
  EXPECT_FLOAT_EQ(Vector3Length(slow.velocity), Vector3Length(fast.velocity) * 0.5f);
  EXPECT_FLOAT_EQ(half.GetBuffers().puffs.particles[0].colour.a, 0.5f);
  EXPECT_FLOAT_EQ(full.GetBuffers().puffs.particles[0].colour.a, 1.0f);
}

TEST_F(HitEffectTest, SparksFadeAndGrowOverTheirLifeThenStop) {
  HitEffect& effect = NewEffect({{kSetParticleMaterial, "Spark"}});
  effect.StartEffect();
  const float dt = effect.GetFrameTime();
  const int frames = static_cast<int>(1.1f / dt);
  for (int i = 0; i < frames; ++i) DrawFrame(effect);
  const HitEffectParticle& spark = effect.GetBuffers().sparks.particles[0];
  const float age = static_cast<float>(frames) * dt;
  EXPECT_NEAR(spark.colour.a, 1.0f - age / 2.2f, 1e-3);
  EXPECT_NEAR(spark.size, 0.05f + age * (0.15f / 2.2f), 1e-3);
  ASSERT_EQ(Primitives().size(), 1u);
  EXPECT_EQ(Primitives()[0]->count, HitEffect::kSparkCount * 2);
  for (int i = 0; i < frames + 5; ++i) DrawFrame(effect);
  EXPECT_TRUE(Primitives().empty());
}

TEST_F(HitEffectTest, ZeroLifetimeSpawnsNothing) {
  HitEffect& effect = NewEffect({{kSetParticleMaterial, "Spark"}, {kSetSmokeMaterial, "Smoke"}});
  Send(effect, kSetParticleLifetime, 0.0f);
  Send(effect, kSetSmokeLifetime, -1.0f);
  effect.StartEffect();
  DrawFrame(effect);
  EXPECT_TRUE(Primitives().empty());
  for (const HitEffectParticle& spark : effect.GetBuffers().sparks.particles) EXPECT_EQ(spark.fade, 0.0f);
}

TEST_F(HitEffectTest, TrailRunsToItsEndAndFadesOut) {
  HitEffect& effect = NewEffect({{kSetTrailMaterial, "Streak"}});
  effect.StartAtPosition({1, 0, 12});
  effect.StartEffect();
  const auto& trail = effect.GetBuffers().trail;
  EXPECT_FLOAT_EQ(trail[0].y, 0.03f);
  EXPECT_FLOAT_EQ(trail[5].z, 12.0f);
  EXPECT_FLOAT_EQ(effect.GetTrailAlpha(), 1.0f);
  for (int i = 0; i < 60; ++i) DrawFrame(effect);  // one second at 2 units a second
  EXPECT_FLOAT_EQ(effect.GetTrailAlpha(), 0.0f);
  EXPECT_TRUE(Primitives().empty());
}

TEST_F(HitEffectTest, NamingAMaterialAgainReleasesItUntilTheNextCollection) {
  HitEffect& effect = NewEffect({{kSetParticleMaterial, "Spark"}});
  Resource* spark = Resources().LookupResource("Spark", kMaterialResource);
  ASSERT_NE(spark, nullptr);
  const int held = spark->GetReferenceCount();
  SetName(effect, kSetParticleMaterial, "Spark");
  EXPECT_EQ(spark->GetReferenceCount(), held - 1);
  ResourceSet set(false, Resources().GetSlotCount());
  effect.ExecuteCommand(kCommandCollectResources, &set);
  EXPECT_EQ(spark->GetReferenceCount(), held);
}

TEST_F(HitEffectTest, RecordRoundTripsAtOldAndNewVersions) {
  HitEffect& effect = NewEffect({{kSetDecalMaterial, "Decal"}, {kSetTrailMaterial, "Streak"}});
  Send(effect, kSetParticleLifetime, 3.0f);
  for (int version : {54, SerializeStream::kLatestVersion}) {
    std::unique_ptr<HitEffect> loaded = RoundTrip(effect, version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Save(*loaded, version), Save(effect, version));
  }
}

}  // namespace
}  // namespace tge::test
