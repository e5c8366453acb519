// A whole frame at scale: a Space holding 19,600 Mesh objects on a 140 x 140
// grid (one box mesh, one material) seen whole by a fixed camera, drawn by
// Engine::RunFrame on the null device. Reported: time per frame, meshes
// drawn per frame (all of them, or the benchmark fails), heap bytes per Mesh
// object and allocations per frame once warm. The rows are made nearest
// first or farthest first; the order must not matter.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>

#include "bench/AllocationCount.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "engine/Engine.h"
#include "objects/gameplay/Space.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Mesh.h"
#include "platform/gfx/NullDevice.h"
#include "services/EngineServices.h"
#include "services/MaterialResource.h"
#include "services/MeshResource.h"
#include "services/RenderDevice.h"


namespace tge {
namespace {

constexpr int kGrid = 140;
constexpr float kSpacing = 0.5f;
constexpr float kBoxSize = 0.2f;

struct Scene {
  Engine* engine = nullptr;
  gfx::NullDevice* device = nullptr;
  double heapPerMesh = 0;
};

void BuildResources(gfx::Device& device) {
  ResourceDatabase& resources = GetEngineServices()->GetResources();
  auto material = std::make_unique<MaterialResource>();
  material->SetName("Grey");
  Resource* kept = material.get();
  resources.RegisterResource(std::move(material));
  std::unique_ptr<MeshResource> box = CreateBoxMesh(device, kBoxSize, kBoxSize, kBoxSize);
  box->SetName("Box");
  box->parts[0].material = kept;
  resources.RegisterResource(std::move(box));
}

void BuildGrid(Space& space, bool nearFirst) {
  for (int row = 0; row < kGrid; ++row) {
    const int depth = nearFirst ? row : kGrid - 1 - row;
    for (int column = 0; column < kGrid; ++column) {
      Object* object = CreateObject(kClassMesh, nullptr, space, "Box");
      object->SetPosition({(static_cast<float>(column) - kGrid / 2.0f) * kSpacing, 0,
                           static_cast<float>(depth) * kSpacing},
                          false);
      static_cast<Mesh*>(object)->AddMesh("Box");
    }
  }
}

bool MakeScene(Scene& scene, bool nearFirst) {
  if (!CreateEngineServices()) return false;
  EngineServices& services = *GetEngineServices();
  services.SetSubsystem(ServiceSlot::kRenderDevice,
                        std::make_unique<RenderDevice>(NullRenderDeviceBackend({640, 480, 60, gfx::kFormatX8R8G8B8})));
  StartupSettings startup;
  startup.renderDeviceEnabled = 1;
  startup.fullScreen = 0;
  startup.width = 640;
  startup.height = 480;
  if (services.Initialize(&startup) != 1 || !CreateEngine()) return false;
  scene.engine = GetEngine();
  scene.engine->GetEngineWorld().SetActive(true);
  scene.engine->SetRunning(true);
  scene.device = static_cast<gfx::NullDevice*>(&GetRenderDevice()->Device());
  BuildResources(*scene.device);

  auto& space = static_cast<Space&>(*CreateObject(kClassSpace, nullptr, *scene.engine, "Room"));
  space.SetLocalBox({{-100, -100, -100}, {100, 100, 100}});
  auto& camera = static_cast<Camera&>(*CreateObject(kClassCamera, nullptr, space, "Camera"));
  camera.SetInheritOrientation(false);
  camera.SetPosition({0, 0, -60}, false);

  const std::size_t before = mallinfo2().uordblks;
  BuildGrid(space, nearFirst);
  scene.heapPerMesh = static_cast<double>(mallinfo2().uordblks - before) / (kGrid * kGrid);
  // The camera takes its viewport at its first update.
  space.Precalculate();
  camera.Update();
  return true;
}

void RunFrames(benchmark::State& state, bool nearFirst) {
  Scene scene;
  if (!MakeScene(scene, nearFirst)) {
    state.SkipWithError("the engine did not start");
    return;
  }
  for (int i = 0; i < 3; ++i) scene.engine->RunFrame();  // warm
  scene.device->ClearCounts();
  const long before = AllocationCount();
  for (auto _ : state) scene.engine->RunFrame();
  const double frames = static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
  const double drawn = static_cast<double>(scene.device->Draws()) / frames;
  state.counters["drawn_per_frame"] = drawn;
  state.counters["heap_bytes_per_mesh"] = scene.heapPerMesh;
  state.counters["allocs_per_frame"] = static_cast<double>(AllocationCount() - before) / frames;
  if (drawn != kGrid * kGrid) state.SkipWithError("not every mesh was drawn");
  ShutdownEngine();
  DestroyEngineServices();
}

void BM_FrameNearRowsFirst(benchmark::State& state) { RunFrames(state, true); }
BENCHMARK(BM_FrameNearRowsFirst)->Unit(benchmark::kMillisecond);

void BM_FrameFarRowsFirst(benchmark::State& state) { RunFrames(state, false); }
BENCHMARK(BM_FrameFarRowsFirst)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();
