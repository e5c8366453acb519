// Dev2 and Dev3: the motes drawn in, the swarm kept in its box, the pool
// fixed at the first Precalculate, Dev3's placement and link, the batches,
// and both file records across their version gates.
#include <cmath>

#include "core/BaseCommandIds.h"
#include "core/math/Random.h"
#include "objects/scene/effects/Dev2.h"
#include "objects/scene/effects/Dev3.h"
#include "services/render/RenderQueue.h"
#include "services/resources/ResourceSet.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetType = 9000, kSetDeviceMaterial = 9002, kSetMaxParticle = 9004, kSetSpawnVolume = 9006;
constexpr std::uint32_t kSetMaxSize = 9022;
constexpr std::uint32_t kSetDev3MaxParticle = 13502, kSetDev3SpawnVolume = 13504;
// The World clamps a frame to 0.1 s; its time factor makes it longer, so
// one spawn falls in each frame.
constexpr float kTimeMul = 1.5f;
constexpr float kDt = 0.15f;

class ParticleDeviceTest : public MotionFixture {
 protected:
  void SetUp() override {
    MotionFixture::SetUp();
    AddMaterial("Mote");
    View().SetCameraLookAt({0, 0, -10}, {0, 0, 0});
    engine->GetEngineWorld().SetTimeMul(kTimeMul);
    SeedRand(3);
  }

  Dev2& NewDev2(std::uint32_t type, std::uint32_t pool) {
    Dev2& dev = AddOwn<Dev2>(*engine, "Motes");
    Send(dev, kSetType, type);
    Send(dev, kSetMaxParticle, pool);
    std::string material = "Mote";
    dev.ExecuteCommand(kSetDeviceMaterial, &material);
    dev.Precalculate();
    return dev;
  }

  // One frame: the queue of the last one is dropped first.
  void DrawFrames(Object& drawn, int count) {
    for (int i = 0; i < count; ++i) {
      Queue().Reset();
      Frame(drawn);
    }
  }
};

void ExpectNear(const ColourVertex& vertex, const Vector3& expected) {
  EXPECT_NEAR(vertex.x, expected.x, 1e-4f);
  EXPECT_NEAR(vertex.y, expected.y, 1e-4f);
  EXPECT_NEAR(vertex.z, expected.z, 1e-4f);
}

TEST_F(ParticleDeviceTest, AttractMotesSpawnAboveAndAreDrawnInFacingTheCamera) {
  Dev2& dev = NewDev2(Dev2::kAttract, 200);
  SeedRand(11);
  const Vector3 spawned{RandomSigned() + 1, RandomSigned() + 2, RandomSigned() + 1};
  SeedRand(11);
  DrawFrames(dev, 1);
  const auto live = dev.GetLiveParticles();
  ASSERT_EQ(live.size(), 1u);
  // Born at its reference distance, it takes the pull of v x 0.5 in its
  // first step.
  Vector3 towards{-spawned.x, -spawned.y, -spawned.z};
  Vector3 velocity{0, 1, 0}, expected;
  Vector3AddScaled(velocity, velocity, towards, 0.5f * kDt);
  Vector3AddScaled(expected, spawned, velocity, kDt);
  EXPECT_NEAR(live[0]->position.x, expected.x, 1e-5f);
  EXPECT_NEAR(live[0]->position.y, expected.y, 1e-5f);
  EXPECT_NEAR(live[0]->referenceDistance, Vector3Length(spawned), 1e-5f);

  // The camera looks along +z: right is -x and up is +y.
  const auto queued = QueuedPrimitives();
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0]->count, 1u);
  const auto* v = static_cast<const ColourVertex*>(queued[0]->vertices);
  const Vector3 at = live[0]->position;
  ExpectNear(v[0], {at.x, at.y - 0.5f, at.z});
  ExpectNear(v[1], {at.x - 0.5f, at.y, at.z});
  ExpectNear(v[2], {at.x + 0.5f, at.y, at.z});
  EXPECT_EQ(v[0].colour, 0xFF1A1A1Au);
  EXPECT_EQ(v[1].u, 1.0f);
  EXPECT_EQ(v[2].v, 1.0f);
  EXPECT_GE(dev.GetBounds().radius, 3.0f);

  // Motes arrive and their records are used again: a pool of 200 never
  // fills in 60 seconds of one spawn a frame.
  DrawFrames(dev, 400);
  EXPECT_LT(dev.GetLiveParticles().size(), 200u);
}

TEST_F(ParticleDeviceTest, SwarmStaysInItsBoxFadesInAndDrawsFlatTriangles) {
  Dev2& dev = NewDev2(Dev2::kSwarm, 20);
  dev.SetPosition({10, 0, 0}, true);
  Send(dev, kSetSpawnVolume, Vector3{4, 2, 4});
  Send(dev, kSetMaxSize, 0.5f);
  DrawFrames(dev, 400);
  const auto live = dev.GetLiveParticles();
  ASSERT_EQ(live.size(), 20u);
  // A particle crosses a wall by at most one second of travel before the
  // once-a-second check turns it back.
  const float margin = 0.4f * (1.0f + kDt) + 1e-3f;
  for (const Dev2Particle* particle : live) {
    EXPECT_NEAR(particle->position.x, 10.0f, 2 + margin);
    EXPECT_NEAR(particle->position.y, 0.0f, 1 + margin);
    EXPECT_NEAR(particle->position.z, 0.0f, 2 + margin);
    EXPECT_FLOAT_EQ(particle->colour.a, 0.5f);
  }
  const auto queued = QueuedPrimitives();
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(queued[0]->count, 20u);
  const auto* v = static_cast<const ColourVertex*>(queued[0]->vertices);
  const Vector3 at = live[0]->position;
  ExpectNear(v[0], {at.x, at.y, at.z + 0.4f});
  ExpectNear(v[1], {at.x + 0.4f, at.y, at.z});
  ExpectNear(v[2], {at.x - 0.4f, at.y, at.z});
  EXPECT_EQ(v[0].colour >> 24, 128u);
  EXPECT_GE(dev.GetBounds().radius, 60.0f);
}

TEST_F(ParticleDeviceTest, SwarmOfMoreThanOneBatchQueuesPiecesOf4000) {
  Dev2& dev = NewDev2(Dev2::kSwarm, 4001);
  DrawFrames(dev, 4001);
  ASSERT_EQ(dev.GetLiveParticles().size(), 4001u);
  const auto queued = QueuedPrimitives();
  ASSERT_EQ(queued.size(), 2u);
  EXPECT_EQ(queued[0]->count + queued[1]->count, 4001u);
  EXPECT_EQ(std::max(queued[0]->count, queued[1]->count), Dev2::kBatchParticles);
}

TEST_F(ParticleDeviceTest, PoolIsMadeOnceAndCopiesMakeTheirOwn) {
  Dev2& dev = NewDev2(Dev2::kSwarm, 5);
  const Dev2Particle* first = dev.GetPool().data();
  Send(dev, kSetMaxParticle, 50u);
  dev.Precalculate();
  EXPECT_EQ(dev.GetPool().size(), 5u);
  EXPECT_EQ(dev.GetPool().data(), first);
  DrawFrames(dev, 10);
  EXPECT_EQ(dev.GetLiveParticles().size(), 5u);

  std::unique_ptr<Object> copy = CreateObject(kClassDev2, &dev, nullptr);
  auto& copied = static_cast<Dev2&>(*copy);
  EXPECT_TRUE(copied.GetPool().empty());
  EXPECT_TRUE(copied.GetLiveParticles().empty());
  copied.Precalculate();
  EXPECT_EQ(copied.GetPool().size(), 50u);

  Send(dev, kSetMaxParticle, 100000u);
  EXPECT_EQ(dev.GetMaxParticles(), kMaxParticlePool);
}

TEST_F(ParticleDeviceTest, DeletedWhileItsTrianglesAreQueued) {
  Dev2& dev = NewDev2(Dev2::kSwarm, 10);
  DrawFrames(dev, 3);
  const auto queued = QueuedPrimitives();
  ASSERT_EQ(queued.size(), 1u);
  DestroyObjectTree(engine->DetachChild(dev));
  // The vertices stay until the frame's queue is reset.
  EXPECT_EQ(static_cast<const ColourVertex*>(queued[0]->vertices)[0].u, 0.0f);
  Queue().Reset();
}

TEST_F(ParticleDeviceTest, Dev3PlacesItsParticlesOnceAndLinksThePlainObject) {
  Object& group = AddOwn<Object>(*engine, "Group");
  Object& mesh = Add<Object>(group, kClassMesh, "Mesh");
  Object& plain = *CreateObject(kClassObject, nullptr, mesh, "Plain");
  Dev3& dev = AddOwn<Dev3>(group, "Dust");
  dev.SetPosition({0, 5, 0}, true);
  Send(dev, kSetDev3MaxParticle, 30u);
  Send(dev, kSetDev3SpawnVolume, Vector3{2, 4, 6});
  dev.Precalculate();
  EXPECT_EQ(dev.GetLink(), &plain);
  ASSERT_EQ(dev.GetPool().size(), 30u);
  EXPECT_EQ(dev.GetVertices().size(), 90u);
  const std::vector<Dev3Particle> placed(dev.GetPool().begin(), dev.GetPool().end());
  for (const Dev3Particle& particle : placed) {
    EXPECT_LE(std::abs(particle.position.x), 1.0f);
    EXPECT_LE(std::abs(particle.position.y - 5), 2.0f);
    EXPECT_LE(std::abs(particle.position.z), 3.0f);
    EXPECT_EQ(particle.velocity.x, 0.0f);
    EXPECT_EQ(particle.colour.a, 1.0f);
  }
  DrawFrames(group, 5);
  EXPECT_TRUE(QueuedPrimitives().empty());
  EXPECT_EQ(dev.GetPool()[7].position.y, placed[7].position.y);
  DestroyObjectTree(mesh.GetParent()->DetachChild(mesh));
  EXPECT_EQ(dev.GetLink(), nullptr);
}

TEST_F(ParticleDeviceTest, RecordsRoundTripAcrossVersionGates) {
  Dev2& dev2 = NewDev2(Dev2::kSwarm, 64);
  Send(dev2, kSetSpawnVolume, Vector3{1, 2, 3});
  Send(dev2, 9008, 1);
  Send(dev2, 9014, 3);
  Send(dev2, 9016, 0.25f);
  dev2.SetUseAction(true);
  Dev3& dev3 = AddOwn<Dev3>(*engine, "Dust");
  std::string material = "Mote";
  dev3.ExecuteCommand(13500, &material);
  Send(dev3, 13508, 0.3f);
  Send(dev3, 13506, 1);
  for (int version : {0, 1, 12, 13, 81}) {
    SCOPED_TRACE(version);
    for (Object* device : {static_cast<Object*>(&dev2), static_cast<Object*>(&dev3)}) {
      std::unique_ptr<Object> loaded = RoundTrip(*device, version);
      ASSERT_NE(loaded, nullptr);
      EXPECT_EQ(Save(*loaded, version), Save(*device, version));
    }
    std::unique_ptr<Dev2> loaded = RoundTrip(dev2, version);
    std::int32_t box = 0;
    loaded->ExecuteCommand(9009, &box);
    EXPECT_EQ(box, version >= 1 ? 1 : 0);
    std::uint32_t pool = 0;
    loaded->ExecuteCommand(9005, &pool);
    EXPECT_EQ(pool, version >= 13 ? 64u : 200u);
    float size = 0;
    std::unique_ptr<Dev3> loaded3 = RoundTrip(dev3, version);
    loaded3->ExecuteCommand(13509, &size);
    EXPECT_EQ(size, version >= 1 ? 0.3f : 0.1f);
  }
}

TEST_F(ParticleDeviceTest, CollectingResourcesAcquiresTheNamedMaterial) {
  Dev3& dev = AddOwn<Dev3>(*engine, "Dust");
  std::string missing = "NotYet";
  dev.ExecuteCommand(13500, &missing);
  EXPECT_EQ(dev.GetMaterial(), nullptr);
  AddMaterial("NotYet");
  ResourceSet set(false, 4);
  dev.ExecuteCommand(kCommandCollectResources, &set);
  EXPECT_NE(dev.GetMaterial(), nullptr);
  EXPECT_EQ(set.GetResourceSetSize(), 1u);
}

}  // namespace
}  // namespace tge::test
