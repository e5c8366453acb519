// LEEmitter: presets, the pool and its limits, emission with its residue,
// where particles start, the stopped action, the material table and its
// file record.
#include "core/BaseCommandIds.h"
#include "core/ObjectFlags.h"
#include "core/math/Random.h"
#include "objects/scene/effects/LEEmitter.h"
#include "services/ErrorMessage.h"
#include "services/render/RenderQueue.h"
#include "services/resources/ResourceSet.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetPreset = 15750, kSetMaxParticles = 15752, kSetPerSec = 15754, kSetEmitterMaterial = 15790;
constexpr std::uint32_t kGetPerSec = 15755, kGetSizeEnd = 15767, kGetLife = 15785, kGetPreset = 15751;
constexpr std::uint32_t kSetUseCustom = 15792, kSetCustom = 15794;

template <class T>
T Read(Object& object, std::uint32_t id) {
  T value{};
  object.ExecuteCommand(id, &value);
  return value;
}

class LEEmitterTest : public SceneFixture {
 protected:
  void SetUp() override {
    SceneFixture::SetUp();
    for (int i = 0; i < 10; ++i) AddMaterial("ParticlePreset0" + std::to_string(i) + "Mat");
    AddMaterial("Spark");
    View().SetCameraLookAt({0, 0, -10}, {0, 0, 0});
    SeedRand(5);
  }

  LEEmitter& NewEmitter() {
    LEEmitter& emitter = Add<LEEmitter>(kClassLEEmitter, "Sparks");
    emitter.ExecuteCommand(kCommandInitializeNewObject, nullptr);
    return emitter;
  }

  const PrimitivesCommand* QueuedPoints() {
    for (std::size_t list = 0; list < kListCallbacks; ++list) {
      for (const auto* c : Queued<PrimitivesCommand>(list)) {
        if (c->kind == RenderCommandKind::kPrimitives) return c;
      }
    }
    return nullptr;
  }
};

TEST_F(LEEmitterTest, PresetsAndPoolLimits) {
  LEEmitter& emitter = NewEmitter();
  EXPECT_EQ(Read<std::uint32_t>(emitter, kGetPerSec), 100u);
  Send(emitter, kSetPreset, 12u);
  EXPECT_EQ(Read<std::uint32_t>(emitter, kGetPreset), 12u);
  EXPECT_EQ(Read<std::uint32_t>(emitter, kGetPerSec), 80u);
  EXPECT_FLOAT_EQ(Read<float>(emitter, kGetSizeEnd), 8.0f);
  Send(emitter, kSetPreset, 7u);
  EXPECT_FLOAT_EQ(Read<float>(emitter, kGetLife), 0.78f);

  Send(emitter, kSetMaxParticles, 0u);
  ASSERT_NE(emitter.GetPool(), nullptr);
  EXPECT_EQ(emitter.GetPool()->particles.size(), 1u);
  EXPECT_LT(emitter.GetPool()->particles[0].age, 0.0f);
  ClearErrorMessage();
  Send(emitter, kSetMaxParticles, LEEmitter::kMaxParticlesLimit + 1);
  EXPECT_EQ(emitter.GetMaxParticles(), 1u);
  EXPECT_NE(std::string(GetErrorMessage()), "");
}

TEST_F(LEEmitterTest, EmissionKeepsItsResidue) {
  LEEmitter& emitter = NewEmitter();
  Send(emitter, kSetPerSec, 20u);
  Send(emitter, kSetMaxParticles, 10u);
  for (float expected : {0.32f, 0.64f, 0.96f}) {
    emitter.Step(0.016f, {}, {0, 0, 1});
    EXPECT_NEAR(emitter.GetEmissionResidue(), expected, 1e-5);
  }
  EXPECT_EQ(std::count_if(emitter.GetPool()->particles.begin(), emitter.GetPool()->particles.end(),
                          [](const LEParticle& p) { return p.age >= 0; }),
            0);
  emitter.Step(0.016f, {}, {0, 0, 1});
  EXPECT_NEAR(emitter.GetEmissionResidue(), 0.28f, 1e-5);
  EXPECT_EQ(emitter.GetPool()->particles[0].age, 0.0f);
  EXPECT_LT(emitter.GetPool()->particles[1].age, 0.0f);
}

TEST_F(LEEmitterTest, FirstFrameSpawnsAtTheEmitter) {
  LEEmitter& emitter = NewEmitter();
  emitter.SetPosition({100, 0, 0}, false);
  Send(emitter, kSetMaxParticles, 50u);
  Queue().Reset();
  emitter.Draw();
  std::size_t born = 0;
  for (const LEParticle& p : emitter.GetPool()->particles) {
    if (p.age < 0) continue;
    ++born;
    EXPECT_FLOAT_EQ(p.position.x, 100.0f);
  }
  EXPECT_GT(born, 0u);
}

TEST_F(LEEmitterTest, StoppedOrInactiveEmitterNeitherStepsNorDraws) {
  LEEmitter& emitter = NewEmitter();
  Send(emitter, kSetMaxParticles, 50u);
  for (int i = 0; i < 3; ++i) emitter.Draw();
  const LEParticle first = emitter.GetPool()->particles[0];
  emitter.SetFlag(kFlagActionStarted, false);
  Queue().Reset();
  emitter.Draw();
  EXPECT_EQ(emitter.GetPool()->particles[0].age, first.age);
  EXPECT_EQ(QueuedPoints(), nullptr);
  emitter.SetFlag(kFlagActionStarted, true);
  emitter.SetActive(false);
  emitter.Draw();
  EXPECT_EQ(emitter.GetPool()->particles[0].age, first.age);
  emitter.SetActive(true);
  emitter.Draw();
  EXPECT_GT(emitter.GetPool()->particles[0].age, first.age);
  const PrimitivesCommand* points = QueuedPoints();
  ASSERT_NE(points, nullptr);
  EXPECT_EQ(points->format, 0x62u);
  EXPECT_EQ(points->type, 32u);
}

TEST_F(LEEmitterTest, MaterialIndexBeyondTheTableUsesTheFirstAndCustomMaterialWins) {
  LEEmitter& emitter = NewEmitter();
  ResourceSet set(false, Resources().GetSlotCount());
  emitter.ExecuteCommand(kCommandCollectResources, &set);
  Resource* first = Resources().LookupResource("ParticlePreset00Mat", 3);
  Send(emitter, kSetEmitterMaterial, 3u);
  EXPECT_EQ(emitter.GetDrawMaterial(), Resources().LookupResource("ParticlePreset03Mat", 3));
  Send(emitter, kSetEmitterMaterial, 10u);
  EXPECT_EQ(emitter.GetDrawMaterial(), first);
  Send<std::int32_t>(emitter, kSetUseCustom, 1);
  std::string spark = "Spark";
  emitter.ExecuteCommand(kSetCustom, &spark);
  EXPECT_EQ(emitter.GetDrawMaterial(), Resources().LookupResource("Spark", 3));
  Send<std::int32_t>(emitter, kSetUseCustom, 0);
  EXPECT_EQ(emitter.GetDrawMaterial(), first);
}

TEST_F(LEEmitterTest, PoolResizedAfterQueueingKeepsTheQueuedVertices) {
  LEEmitter& emitter = NewEmitter();
  Send(emitter, kSetMaxParticles, 50u);
  Queue().Reset();
  for (int i = 0; i < 3; ++i) emitter.Draw();
  const PrimitivesCommand* points = QueuedPoints();
  ASSERT_NE(points, nullptr);
  const float x = static_cast<const PointVertex*>(points->vertices)[0].x;
  Send(emitter, kSetMaxParticles, 5u);
  EXPECT_EQ(static_cast<const PointVertex*>(points->vertices)[0].x, x);
  Queue().Reset();
}

TEST_F(LEEmitterTest, RecordRoundTripsAndRefusesHugePools) {
  LEEmitter& emitter = NewEmitter();
  Send(emitter, kSetPreset, 4u);
  Send(emitter, kSetMaxParticles, 300u);
  std::unique_ptr<LEEmitter> loaded = RoundTrip(emitter);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetMaxParticles(), 300u);
  EXPECT_EQ(Save(*loaded), Save(emitter));
  std::unique_ptr<LEEmitter> old = RoundTrip(emitter, 72);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(Save(*old, 72), Save(emitter, 72));

  Send(emitter, kSetMaxParticles, LEEmitter::kMaxParticlesLimit);
  std::vector<std::uint8_t> bytes = Save(emitter);
  // Behind the count: the rate, nine floats, three colours, five floats and
  // the empty custom name.
  const std::size_t at = bytes.size() - 4 - 4 * 9 - 16 * 3 - 4 * 5 - 4 - 4;
  std::uint32_t count = 0;
  std::memcpy(&count, bytes.data() + at, 4);
  ASSERT_EQ(count, LEEmitter::kMaxParticlesLimit);
  count += 1;
  std::memcpy(bytes.data() + at, &count, 4);
  EXPECT_EQ(Load<LEEmitter>(kClassLEEmitter, bytes, SerializeStream::kLatestVersion), nullptr);
}

}  // namespace
}  // namespace tge::test
