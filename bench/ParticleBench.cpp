// Particle systems: one frame (update and queueing) of one system of 10,000
// live particles and of 100 systems of 100, on the recording device, in
// particles per second. The counter allocs_per_frame counts calls of the
// global operator new over the steady frames of the timed loop; it must
// show 0.
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
constexpr std::uint32_t kSetMaterial = 3392;

template <class T>
void Send(Object& object, std::uint32_t id, T value) {
  object.ExecuteCommand(id, &value);
}

// Systems 10 units before the camera, each full of long-lived particles.
void RunFrames(benchmark::State& state, int systems, std::uint32_t particles) {
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
    Send(system, kEmitOnActionStart, particles);
    Send(system, kSetLife, 1.0e6f);
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
  frame();
  const long before = AllocationCount();
  for (auto _ : state) frame();
  state.counters["allocs_per_frame"] =
      static_cast<double>(AllocationCount() - before) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * systems * particles);
  ShutdownEngine();
  DestroyEngineServices();
}

void BM_OneSystemOf10000(benchmark::State& state) { RunFrames(state, 1, 10000); }
void BM_HundredSystemsOf100(benchmark::State& state) { RunFrames(state, 100, 100); }
BENCHMARK(BM_OneSystemOf10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HundredSystemsOf100)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();
