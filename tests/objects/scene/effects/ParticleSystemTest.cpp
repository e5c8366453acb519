// ParticleSystem: the curves, spawning with a fixed seed, the commands, the
// held end of the action, the quads it queues and its file record.
#include <cmath>
#include <numeric>

#include "core/CommandRegistry.h"
#include "core/ObjectFlags.h"
#include "core/math/Random.h"
#include "objects/scene/effects/ParticleSystem.h"
#include "services/render/RenderQueue.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetParticlesPerSec = 3256, kSetUseSpawntrail = 3258, kEmitOnActionStart = 3260;
constexpr std::uint32_t kSetTableSize = 3280, kGetTableSize = 3281, kGetTableFade = 3283, kTableCommand = 3286;
constexpr std::uint32_t kSetReg1 = 3288, kGetReg1 = 3289, kSetSizeMul = 3312, kSetSpeedOffset = 3306;
constexpr std::uint32_t kGetSizeMul = 3313, kGetSpeedOffset = 3307, kSetUseTable = 3284;
constexpr std::uint32_t kSetSizeStart = 3320, kSetSizeEnd = 3324, kSetAlphaEnd = 3330;
constexpr std::uint32_t kSetMaxParticles = 3332, kSetMapOffset = 3336, kSetMapCount = 3338;
constexpr std::uint32_t kSetSpeedMulVar = 3342, kSetColorStart = 3360, kSetColorAddVar = 3362, kSetColorVar = 3364;
constexpr std::uint32_t kGetColorVar = 3365, kSetColorEnd = 3366, kSetSystemSpeed = 3368, kSetLife = 3372;
constexpr std::uint32_t kSetLifeVar = 3374, kSetSystemMaterial = 3392, kSetSphereCull = 3386, kSetRotStart = 3350;
constexpr std::uint32_t kStopDraw = 219;
constexpr std::uint32_t kSetAnimated = 3378;
constexpr float kDt = 0.016f;

class ParticleSystemTest : public SceneFixture {
 protected:
  void SetUp() override {
    SceneFixture::SetUp();
    AddMaterial("Smoke");
    View().SetCameraLookAt({0, 0, 0}, {0, 0, 1});
    SeedRand(7);
  }

  // A still emitter 10 units in front of the camera: particles stay where
  // they spawn, white and fully opaque.
  ParticleSystem& NewSystem(Object& parent, std::uint32_t pool = 100) {
    ParticleSystem& system = Add<ParticleSystem>(parent, kClassParticleSystem, "Smoke");
    system.SetPosition({0, 0, 10}, false);
    Send(system, kSetMaxParticles, pool);
    Send(system, kSetSystemSpeed, 0.0f);
    Send(system, kSetSpeedMulVar, 0.0f);
    Send(system, kSetAlphaEnd, 1.0f);
    Send(system, kSetSizeEnd, -1.0f);
    std::string material = "Smoke";
    system.ExecuteCommand(kSetSystemMaterial, &material);
    system.SetUseAction(true);
    return system;
  }
  ParticleSystem& NewSystem(std::uint32_t pool = 100) { return NewSystem(*engine, pool); }

  // The first live particle after a start that emits one.
  const Particle& SpawnOne(ParticleSystem& system) {
    Send(system, kEmitOnActionStart, 1u);
    Send(system, kSetParticlesPerSec, 0.0f);
    system.Start();
    for (const Particle& particle : system.GetParticles()) {
      if (particle.source != nullptr) return particle;
    }
    ADD_FAILURE() << "nothing spawned";
    return system.GetParticles()[0];
  }
};

TEST(ParticleCurveTest, ReadsClampJustBelowKnotEightAndIndicesStopThere) {
  ParticleCurve curve{0, 10, 20, 30, 40, 50, 60, 70, 80};
  struct Case {
    float index;
    float value;
  };
  for (const Case& c : {Case{0.5f, 5}, Case{7.5f, 75}, Case{8.25f, 80}, Case{9.5f, 80}, Case{16.5f, 80}}) {
    SCOPED_TRACE(c.index);
    EXPECT_NEAR(ReadParticleCurve(curve, static_cast<std::uint32_t>(c.index * 65536)), c.value, 0.01f);
  }
  // dt 0.016 is 1048 in 16.16; a Life of 1 steps 8 knots a second.
  EXPECT_EQ(static_cast<std::uint32_t>(kDt * 65536), 1048u);
  EXPECT_EQ(AdvanceCurveIndex(0, 524288, 1048), 8384u);
  EXPECT_EQ(AdvanceCurveIndex(0x7F000, 524288, 1048), 0x80000u);
  EXPECT_EQ(AdvanceCurveIndex(0x80000, 524288, 1048), 0x80000u);
  // The product of step and dtFixed does not wrap at 32 bits.
  EXPECT_EQ(AdvanceCurveIndex(0, 5242880, 65536), 0x80000u);
}

TEST_F(ParticleSystemTest, SpawnClampsLifeAndPicksTheAtlasCell) {
  struct Case {
    float life;
    std::uint32_t offset, count;
    float expectedLife, u, v;
  };
  const Case cases[] = {
      {0.05f, 5, 1, 0.1f, 0.2578125f, 0.2578125f},
      {500.0f, 0, 1, 120.0f, 0.0078125f, 0.0078125f},
      {1.0f, 6, 0, 1.0f, 0.5078125f, 0.2578125f},  // MapCount 0: cell MapOffset
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.life);
    ParticleSystem& system = NewSystem();
    Send(system, kSetLife, c.life);
    Send(system, kSetMapOffset, c.offset);
    Send(system, kSetMapCount, c.count);
    const Particle& particle = SpawnOne(system);
    EXPECT_FLOAT_EQ(particle.life, c.expectedLife);
    EXPECT_FLOAT_EQ(particle.u, c.u);
    EXPECT_FLOAT_EQ(particle.v, c.v);
    EXPECT_EQ(particle.fadeStep, static_cast<std::uint32_t>(524288 / c.expectedLife));
    // Without speed or gravity it stays where it spawned.
    EXPECT_FLOAT_EQ(particle.position.z, 10.0f);
    system.UpdateParticles(kDt, {0, 0, 10}, {0, 0, 1});
    EXPECT_FLOAT_EQ(particle.position.z, 10.0f);
    EXPECT_EQ(particle.fadeIndex, static_cast<std::uint32_t>((std::uint64_t{particle.fadeStep} * 1048) >> 16));
  }
}

TEST_F(ParticleSystemTest, CommandsStoreAsTheirNamesSay) {
  const CommandRegistry& registry = BuildCommandRegistry();
  EXPECT_EQ(registry.FindCommandId(kClassParticleSystem, "GetEmitOnActionStart"), 3260);
  EXPECT_EQ(registry.FindCommandId(kClassParticleSystem, "SetEmitOnActionStart"), -1);
  ASSERT_NE(registry.FindCommand(kSetTableSize), nullptr);
  EXPECT_EQ(registry.FindCommand(kSetTableSize)->argumentCount, 9);
  EXPECT_EQ(registry.FindCommand(3382), nullptr);

  ParticleSystem& system = NewSystem();
  float knots[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  system.ExecuteCommand(kSetTableSize, knots);
  for (int i = 0; i < 9; ++i) Send(system, kSetReg1 + 2 * i, 0.5f);
  Send(system, kTableCommand, 1u);  // bit 1 clear: nothing
  EXPECT_EQ(system.GetSizeCurve()[0], 1.0f);
  std::uint32_t copyIn = 3;
  EXPECT_EQ(system.ExecuteCommand(kTableCommand, &copyIn), 200);
  EXPECT_EQ(system.GetSizeCurve()[8], 0.5f);
  Send(system, kTableCommand, 0x12u);  // the fade table into the registers
  float reg = -1;
  system.ExecuteCommand(kGetReg1 + 2, &reg);
  EXPECT_EQ(reg, 1.0f);
  system.ExecuteCommand(kGetTableFade, knots);
  EXPECT_EQ(knots[0], 0.0f);

  Send(system, kSetSizeMul, 2.0f);
  Send(system, kSetSpeedOffset, -1.0f);
  float value = 0;
  system.ExecuteCommand(kGetSizeMul, &value);
  EXPECT_FLOAT_EQ(value, 0.99f);
  system.ExecuteCommand(kGetSpeedOffset, &value);
  EXPECT_EQ(value, 0.0f);
  Send(system, kSetColorVar, Color{0.25f, 0.5f, 0.5f, 0.5f});
  Color colour{9, 9, 9, 9};
  system.ExecuteCommand(kGetColorVar, &colour);
  EXPECT_EQ(colour.r, 0.25f);
  EXPECT_EQ(colour.g, 9.0f);
  Send(system, kSetMaxParticles, 100000u);
  EXPECT_EQ(system.GetMaxParticles(), ParticleSystem::kMaxPoolSize);
  system.ExecuteCommand(kGetTableSize, knots);
  EXPECT_EQ(knots[8], 0.5f);
}

TEST_F(ParticleSystemTest, StopPostsWhenTheTenthParticleDies) {
  ParticleSystem& system = NewSystem();
  Send(system, kEmitOnActionStart, 10u);
  Send(system, kSetLifeVar, 0.5f);
  system.Start();
  ASSERT_EQ(system.GetLiveCount(), 10u);
  system.Stop();
  EXPECT_NE(system.GetParticleFlags() & kParticleStopPending, 0u);
  EXPECT_EQ(system.GetActionValue(), 0.0f);
  for (int frame = 0; frame < 200 && system.GetLiveCount() > 0; ++frame) {
    EXPECT_NE(system.GetAction()->phase, 79);
    system.Update();
    system.Draw();
    EXPECT_LE(system.GetLiveCount(), 10u);
  }
  EXPECT_EQ(system.GetLiveCount(), 0u);
  EXPECT_EQ(system.GetParticleFlags() & kParticleStopPending, 0u);
  EXPECT_EQ(system.GetAction()->phase, 79);
}

TEST_F(ParticleSystemTest, AFrameWithoutUpdateCompletesAPendingStop) {
  struct Case {
    const char* name;
    void (*hide)(ViewState&, ParticleSystem&);
  };
  const Case cases[] = {
      {"culled", [](ViewState& view, ParticleSystem& s) {
         Send(s, kSetSphereCull, 1);
         view.SetCameraLookAt({0, 0, 0}, {0, 0, -1});
       }},
      {"far", [](ViewState&, ParticleSystem& s) { s.SetPosition({0, 0, 40.5f}, true); }},
      {"not drawn", [](ViewState&, ParticleSystem&) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    View().SetCameraLookAt({0, 0, 0}, {0, 0, 1});
    ParticleSystem& system = NewSystem();
    Send(system, kEmitOnActionStart, 10u);
    Send(system, kSetLife, 100.0f);
    system.Start();
    system.Stop();
    system.Update();
    system.Draw();
    c.hide(View(), system);
    system.Update();
    if (std::string(c.name) != "not drawn") system.Draw();
    EXPECT_NE(system.GetAction()->phase, 79);
    system.Update();
    EXPECT_EQ(system.GetLiveCount(), 0u);
    EXPECT_EQ(system.GetAction()->phase, 79);
    EXPECT_EQ(system.GetParticleFlags() & kParticleStopPending, 0u);
  }
}

TEST_F(ParticleSystemTest, KillDeletesOnceTheLastParticleDies) {
  ParticleSystem& system = NewSystem();
  Send(system, kEmitOnActionStart, 3u);
  system.Start();
  system.Kill();
  EXPECT_NE(system.GetParticleFlags() & kParticleKillPending, 0u);
  EXPECT_FALSE(system.HasFlag(kFlagDeleting));
  for (int frame = 0; frame < 100 && system.GetLiveCount() > 0; ++frame) system.Draw();
  EXPECT_TRUE(system.HasFlag(kFlagKilled));
  EXPECT_TRUE(system.HasFlag(kFlagDeleting));
}

TEST_F(ParticleSystemTest, FreesAfterQueueingAndALostTrailSystemAreSafe) {
  ParticleSystem& system = NewSystem();
  Object& holder = Add<Object>(system, kClassObject, "Holder");
  ParticleSystem& trail = NewSystem(holder);
  Send(system, kSetUseSpawntrail, 1);
  ASSERT_EQ(system.GetTrailSystem(), &trail);
  Send(system, 3262, 200.0f);  // SpawnTrailDelayStart: trail particles per second
  Send(system, 3264, 200.0f);
  Send(system, kEmitOnActionStart, 10u);
  Send(system, kSetLife, 100.0f);
  system.Start();
  for (int frame = 0; frame < 5; ++frame) system.Draw();
  EXPECT_GT(system.GetLiveCount(), 10u);
  const std::uint32_t live = system.GetLiveCount();
  // The queued vertices outlive the pool until the frame has ended.
  const auto queued = QueuedPrimitives();
  ASSERT_FALSE(queued.empty());
  system.Stop();
  Send(system, kSetMaxParticles, 50u);
  EXPECT_EQ(system.GetLiveCount(), 0u);
  EXPECT_EQ(system.GetAction()->phase, 79);
  const auto* vertex = static_cast<const ColourVertex*>(queued[0]->vertices);
  EXPECT_NEAR(vertex[0].z, 10.0f, 1.0f);
  Queue().Reset();

  system.ExecuteCommand(kStopDraw, nullptr);
  system.Start();
  for (int frame = 0; frame < 5; ++frame) system.Draw();
  EXPECT_GT(system.GetLiveCount(), 10u);
  EXPECT_LT(system.GetLiveCount(), live + 10);
  holder.DetachChild(trail).reset();
  system.Draw();
  EXPECT_EQ(system.GetTrailSystem(), nullptr);
  std::size_t counted = 0;
  for (const Particle& particle : system.GetParticles()) counted += particle.source != nullptr;
  EXPECT_EQ(counted, system.GetLiveCount());
  for (const Particle& particle : system.GetParticles()) {
    if (particle.source != nullptr) {
      EXPECT_EQ(particle.source, &system);
    }
  }
  Queue().Reset();
}

TEST_F(ParticleSystemTest, QuadsAreUprightSquaresAndTenThousandDrawInBatches) {
  ParticleSystem& system = NewSystem(10000);
  Send(system, kSetSizeStart, 1.0f);
  Send(system, kSetMapOffset, 5u);
  Send(system, kSetMapCount, 1u);
  SpawnOne(system);
  system.Draw();
  auto queued = QueuedPrimitives();
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0]->count, 2u);
  EXPECT_EQ(queued[0]->format, 0x142u);
  const auto* v = static_cast<const ColourVertex*>(queued[0]->vertices);
  const float corners[6][2] = {{-0.7071f, 0.7071f}, {0.7071f, 0.7071f}, {-0.7071f, -0.7071f},
                               {-0.7071f, -0.7071f}, {0.7071f, 0.7071f}, {0.7071f, -0.7071f}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR(v[i].x, corners[i][0], 1e-3f);
    EXPECT_NEAR(v[i].y, corners[i][1], 1e-3f);
    EXPECT_EQ(v[i].colour, 0xFEFFFFFFu);  // alpha 255 x scale 255 >> 8
  }
  EXPECT_FLOAT_EQ(v[0].u, 0.2578125f);
  EXPECT_FLOAT_EQ(v[5].u, 0.4921875f);
  EXPECT_FLOAT_EQ(v[5].v, 0.4921875f);
  Queue().Reset();

  Send(system, kEmitOnActionStart, 10000u);
  Send(system, kSetLife, 100.0f);
  system.ExecuteCommand(kStopDraw, nullptr);
  system.Start();
  system.Draw();
  ASSERT_EQ(system.GetLiveCount(), 10000u);
  queued = QueuedPrimitives();
  std::uint32_t triangles = 0;
  for (const PrimitivesCommand* command : queued) {
    EXPECT_LE(command->count * 3, 12000u);
    triangles += command->count;
  }
  EXPECT_EQ(triangles * 3, 60000u);
  Queue().Reset();
}

// Records are taken lowest first, so the draw order of a pool does not
// depend on how it was filled.
TEST_F(ParticleSystemTest, SpawnTakesTheLowestFreeRecordAndNothingWhenThePoolIsFull) {
  ParticleSystem& system = NewSystem(4);
  Send(system, kSetParticlesPerSec, 0.0f);
  system.AllocateStorage(-1);
  const Vector3 at{0, 0, 10}, forward{0, 0, 1};
  for (float life : {0.1f, 100.0f, 0.1f, 100.0f}) {
    Send(system, kSetLife, life);
    system.Spawn(system, at, at, forward, nullptr);
  }
  system.UpdateParticles(0.2f, at, forward);
  ASSERT_EQ(system.GetLiveCount(), 2u);
  Send(system, kSetLife, 50.0f);
  for (int i = 0; i < 3; ++i) system.Spawn(system, at, at, forward, nullptr);
  EXPECT_EQ(system.GetLiveCount(), 4u);
  const float lives[] = {50.0f, 100.0f, 50.0f, 100.0f};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(system.GetParticles()[i].life, lives[i]) << i;
}

// Particles of one pool with other rotations between them: each quad is
// turned by its own particle's angle.
TEST_F(ParticleSystemTest, EachQuadTurnsByItsOwnParticlesRotation) {
  ParticleSystem& system = NewSystem(3);
  Send(system, kSetSizeStart, 1.0f);
  Send(system, kSetParticlesPerSec, 0.0f);
  system.Start();
  const Vector3 at{0, 0, 10}, forward{0, 0, 1};
  for (float rotation : {0.0f, 0.7853982f, 0.0f}) {
    Send(system, kSetRotStart, rotation);
    system.Spawn(system, at, at, forward, nullptr);
  }
  system.Draw();
  auto queued = QueuedPrimitives();
  ASSERT_EQ(queued.size(), 1u);
  ASSERT_EQ(queued[0]->count, 6u);
  const auto* v = static_cast<const ColourVertex*>(queued[0]->vertices);
  // Upright squares have their first corner at (-0.7071, 0.7071); the turned
  // one at (-1, 0).
  const float firstCorner[3][2] = {{-0.7071f, 0.7071f}, {-1, 0}, {-0.7071f, 0.7071f}};
  for (int quad = 0; quad < 3; ++quad) {
    EXPECT_NEAR(v[quad * 6].x, firstCorner[quad][0], 1e-3f) << quad;
    EXPECT_NEAR(v[quad * 6].y, firstCorner[quad][1], 1e-3f) << quad;
  }
  Queue().Reset();
}

// Each frame's quads carry the cells of the live particles in pool order,
// however many were born, died or turned to another cell since the last.
TEST_F(ParticleSystemTest, QuadsCarryTheLiveParticlesCellsEveryFrame) {
  for (bool animated : {false, true}) {
    SCOPED_TRACE(animated);
    ParticleSystem& system = NewSystem(8);
    Send(system, kSetMapCount, 16u);
    Send(system, kSetLife, 0.3f);
    Send(system, kSetLifeVar, 0.6f);
    Send(system, kSetParticlesPerSec, 60.0f);
    Send(system, kSetAnimated, animated ? 1 : 0);
    system.Start();
    for (int frame = 0; frame < 40; ++frame) {
      if (frame == 20) system.Stop();  // then deaths without births
      system.Draw();
      std::vector<const Particle*> live;
      for (const Particle& particle : system.GetParticles()) {
        if (particle.source != nullptr) live.push_back(&particle);
      }
      const auto queued = QueuedPrimitives();
      ASSERT_EQ(queued.size(), live.empty() ? 0u : 1u) << frame;
      if (live.empty()) continue;
      ASSERT_EQ(queued[0]->count, 2 * live.size()) << frame;
      const auto* v = static_cast<const ColourVertex*>(queued[0]->vertices);
      for (std::size_t quad = 0; quad < live.size(); ++quad) {
        EXPECT_EQ(v[quad * 6].u, live[quad]->u) << frame << ", " << quad;
        EXPECT_EQ(v[quad * 6 + 5].v, live[quad]->v + 0.234375f) << frame << ", " << quad;
      }
      Queue().Reset();
    }
  }
}

TEST_F(ParticleSystemTest, DistanceFadeScalesAlphaAndEmission) {
  ParticleSystem& system = NewSystem();
  system.SetPosition({0, 0, 37}, true);
  Send(system, kSetParticlesPerSec, 100.0f);
  Send(system, kSetLife, 100.0f);
  system.Start();
  for (int frame = 0; frame < 60; ++frame) system.UpdateParticles(1.0f / 60, {0, 0, 37}, {0, 0, 1});
  EXPECT_EQ(system.GetLiveCount(), 100u);  // no camera distance measured yet
  system.ExecuteCommand(kStopDraw, nullptr);
  for (int frame = 0; frame < 60; ++frame) system.Draw();
  EXPECT_NEAR(system.GetLiveCount(), 75u, 1u);
  const auto queued = QueuedPrimitives();
  ASSERT_FALSE(queued.empty());
  EXPECT_EQ(static_cast<const ColourVertex*>(queued.back()->vertices)[0].colour >> 24, 190u);
}

TEST_F(ParticleSystemTest, RecordRoundTripsAcrossVersionGates) {
  ParticleSystem& system = NewSystem();
  Send(system, kSetUseTable, 1);
  Send(system, kSetUseSpawntrail, 1);
  Send(system, 3266, 2u);
  Send(system, kSetColorStart, Color{0.5f, 0.25f, 0.125f, 1});
  Send(system, kSetColorAddVar, Color{0, 0, 0, 0});
  Send(system, kSetColorEnd, Color{0, 0, 0, 1});
  Send(system, 3390, Vector3{2, 3, 4});
  Send(system, kEmitOnActionStart, 4u);
  for (int version : {3, 4, 66, 67, 80, 81}) {
    SCOPED_TRACE(version);
    std::unique_ptr<ParticleSystem> loaded = RoundTrip(system, version);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ((loaded->GetParticleFlags() & kParticleSphereCull) != 0, version <= 80);
    // Older files gain the flags their version implies; then the record holds.
    std::unique_ptr<ParticleSystem> again = RoundTrip(*loaded, version);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Save(*again, version), Save(*loaded, version));
    if (version == 81) {
      EXPECT_EQ(Save(*loaded, version), Save(system, version));
    }
    Vector3 box;
    loaded->ExecuteCommand(3391, &box);
    EXPECT_EQ(box.x, version >= 67 ? 2.0f : 1.0f);
  }
  system.Start();
  system.Stop();
  ASSERT_NE(system.GetParticleFlags() & kParticleStopPending, 0u);
  std::unique_ptr<ParticleSystem> loaded = RoundTrip(system);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetParticleFlags() & (kParticleStopPending | kParticleKillPending), 0u);
  std::unique_ptr<Object> copy = CreateObject(kClassParticleSystem, &system, nullptr);
  ASSERT_NE(copy, nullptr);
  auto& copied = static_cast<ParticleSystem&>(*copy);
  EXPECT_EQ(copied.GetLiveCount(), 0u);
  EXPECT_EQ(copied.GetParticleFlags() & kParticleStopPending, 0u);
  EXPECT_TRUE(copied.GetParticles().empty());
}

}  // namespace
}  // namespace tge::test
