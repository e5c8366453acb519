// Steady particle frames allocate nothing: a particle system whose particles
// die and are born every frame, a trail sweeping a circle and a Dev2 swarm,
// each drawn and queued for 100 frames once warm.
#include <cmath>

#include "bench/AllocationCount.h"
#include "objects/scene/effects/Dev2.h"
#include "objects/scene/effects/ParticleSystem.h"
#include "objects/scene/effects/Trail.h"
#include "services/render/RenderQueue.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {
namespace {

template <class T>
void Send(Object& object, std::uint32_t id, T value) {
  object.ExecuteCommand(id, &value);
}

class ParticleFrameAllocationTest : public SceneFixture {};

TEST_F(ParticleFrameAllocationTest, HundredSteadyFramesAllocateNothing) {
  AddMaterial("Smoke");
  View().SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  std::string material = "Smoke";
  auto& system = Add<ParticleSystem>(kClassParticleSystem, "Smoke");
  system.SetPosition({0, 0, 10}, false);
  Send(system, 3332, 1000u);  // SetMaxParticles
  Send(system, 3256, 6000.0f);  // SetParticlesPerSec
  Send(system, 3372, 0.15f);  // SetLife
  system.ExecuteCommand(3392, &material);
  auto& trail = Add<Trail>(kClassTrail, "Ribbon");
  trail.ExecuteCommand(18766, &material);
  Send(trail, 18754, 0.0f);  // TrailMinSampleDistance
  auto& swarm = Add<Dev2>(kClassDev2, "Swarm");
  Send(swarm, 9000, 1u);  // Dev2Type
  swarm.SetPosition({0, 0, 10}, false);
  swarm.ExecuteCommand(9002, &material);
  swarm.Precalculate();
  system.Start();
  trail.Start();

  int frame = 0;
  const auto step = [&] {
    const float angle = 0.1f * static_cast<float>(frame++);
    trail.SetPosition({std::cos(angle), std::sin(angle), 10}, true);
    for (Object* drawn : {static_cast<Object*>(&system), static_cast<Object*>(&trail), static_cast<Object*>(&swarm)}) {
      drawn->Draw();
    }
    Queue().Reset();
  };
  // Warm: the pools are full, the trail wraps round and the queue has grown.
  for (int i = 0; i < 300; ++i) step();
  ASSERT_GT(system.GetLiveCount(), 500u);
  ASSERT_EQ(trail.GetLiveSamples().size(), static_cast<std::size_t>(trail.GetMaxSamples()));
  ASSERT_FALSE(swarm.GetLiveParticles().empty());

  const long before = AllocationCount();
  ASSERT_GT(before, 0) << "the counting operator new is not in effect";
  for (int i = 0; i < 100; ++i) step();
  EXPECT_EQ(AllocationCount() - before, 0);
}

}  // namespace
}  // namespace tge::test
