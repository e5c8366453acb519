// Particle systems: one frame (update and queueing) of one system of 10,000
// live particles and of 100 systems of 100, on the recording device, in
// particles per second; and the churn case, one system whose particles live
// 0.1 s while it emits 100,000 a second, so that about a sixth of the pool
// dies and is born again every frame. The counter allocs_per_frame counts
// calls of the global operator new over the steady frames of the timed
// loop; it must show 0.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/AllocationCount.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "engine/Engine.h"
#include "objects/scene/effects/ParticleSystem.h"
#include "services/EngineServices.h"
#include "services/resources/MaterialResource.h"

namespace tge {
namespace {

constexpr std::uint32_t kSetMaxParticles = 3332, kEmitOnActionStart = 3260, kSetLife = 3372;
constexpr std::uint32_t kSetMaterial = 3392, kSetParticlesPerSec = 3256;
constexpr int kChurnWarmFrames = 30;

template <class T>
void Send(Object& object, std::uint32_t id, T value) {
  object.ExecuteCommand(id, &value);
}

// Systems 10 units before the camera, each full of long-lived particles or,
// churning, with short-lived ones replaced as fast as they die.
void RunFrames(benchmark::State& state, int systems, std::uint32_t particles, bool churn) {
  CreateEngineServices();
  EngineServices& services = *GetEngineServices();
  CreateEngine();
  Engine& engine = *GetEngine();
  auto material = std::make_unique<MaterialResource>();
  material->SetName("Smoke");
  services.GetResources().RegisterResource(std::move(material));
  services.GetView().SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  std::vector<ParticleSystem*> all;
  for (int i = 0; i < systems; ++i) {
    auto& system = static_cast<ParticleSystem&>(
        *CreateObject(kClassParticleSystem, nullptr, engine, ("Smoke" + std::to_string(i)).c_str()));
    system.SetPosition({0, 0, 10}, false);
    Send(system, kSetMaxParticles, particles);
    Send(system, kEmitOnActionStart, churn ? 0u : particles);
    Send(system, kSetLife, churn ? 0.1f : 1.0e6f);
    if (churn) Send(system, kSetParticlesPerSec, 10.0f * static_cast<float>(particles));
    std::string name = "Smoke";
    system.ExecuteCommand(kSetMaterial, &name);
    system.Start();
    all.push_back(&system);
  }
  RenderQueue& queue = services.GetRenderQueue();
  auto frame = [&] {
    for (ParticleSystem* system : all) system->Draw();
    queue.Reset();
  };
  for (int warm = churn ? kChurnWarmFrames : 1; warm > 0; --warm) frame();
  const long before = AllocationCount();
  for (auto _ : state) frame();
  state.counters["allocs_per_frame"] =
      static_cast<double>(AllocationCount() - before) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * systems * particles);
  std::uint32_t live = 0;
  for (const ParticleSystem* system : all) live += system->GetLiveCount();
  state.counters["live"] = live;
  ShutdownEngine();
  DestroyEngineServices();
}

void BM_OneSystemOf10000(benchmark::State& state) { RunFrames(state, 1, 10000, false); }
void BM_HundredSystemsOf100(benchmark::State& state) { RunFrames(state, 100, 100, false); }
void BM_OneSystemChurn(benchmark::State& state) { RunFrames(state, 1, 10000, true); }
BENCHMARK(BM_OneSystemOf10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HundredSystemsOf100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneSystemChurn)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();
