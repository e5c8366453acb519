// Rain and ground detail: one frame of a WeatherDetail with rain, splashes
// and 3,600 ground-detail instances over the triangles of a tiled yard
// collected around it, while the camera and the weather cross the yard over
// 1,000 frames; meshes are built on the recording device. Time is per frame
// of the draw (the collector's update and the weather's drawing into the
// render queue); the counters give the triangles collected, the instances
// placed and the meshes queued per frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "engine/Engine.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/effects/Collector.h"
#include "objects/scene/effects/WeatherDetail.h"
#include "platform/gfx/RecordingDevice.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"

namespace tge {
namespace {

constexpr int kTiles = 70;
constexpr float kTile = 1.0f;
constexpr int kFrames = 1000;
constexpr float kCrossing = 30.0f;

template <class T>
void Send(Object& object, std::uint32_t id, T value) {
  object.ExecuteCommand(id, &value);
}

void RegisterMesh(ResourceDatabase& resources, gfx::Device& device, const std::string& name, float width,
                  float height, bool collectable) {
  std::unique_ptr<MeshResource> mesh = CreateBoxMesh(device, width, height, width);
  if (collectable) mesh->parts[0].flags = kMeshPartCollectable;
  mesh->parts[0].radius = width;
  mesh->parts[0].box = {{-width / 2, -height / 2, -width / 2}, {width / 2, height / 2, width / 2}};
  mesh->SetName(name);
  resources.RegisterResource(std::move(mesh));
}

void RegisterMaterial(ResourceDatabase& resources, const std::string& name) {
  auto material = std::make_unique<MaterialResource>();
  material->SetName(name);
  resources.RegisterResource(std::move(material));
}

Object& Add(Object& parent, int classId, const std::string& name) {
  Object& object = *CreateObject(classId, nullptr, parent, name.c_str());
  object.SetInheritOrientation(false);
  return object;
}

void BM_RainAndGroundDetail(benchmark::State& state) {
  CreateEngineServices();
  EngineServices& services = *GetEngineServices();
  CreateEngine();
  Engine& engine = *GetEngine();
  engine.GetEngineWorld().SetActive(true);
  gfx::RecordingDevice device;
  ResourceDatabase& resources = services.GetResources();
  RegisterMesh(resources, device, "Tile", kTile, 0.1f, true);
  RegisterMesh(resources, device, "det_gro_00", 0.3f, 0.3f, false);
  RegisterMesh(resources, device, "det_gro_01", 0.2f, 0.5f, false);
  for (const char* name : {"ParticleRainMat", "ParticleRainHitMat", "detail_decal_01Mat"}) {
    RegisterMaterial(resources, name);
  }

  auto& yard = static_cast<Space&>(Add(engine, kClassSpace, "Yard"));
  yard.SetLocalBox({{-60, -60, -60}, {60, 60, 60}});
  Send<std::int32_t>(yard, 2028, 1);
  for (int i = 0; i < kTiles; ++i) {
    for (int j = 0; j < kTiles; ++j) {
      Object& tile = Add(yard, kClassMesh, "Tile");
      tile.SetPosition({(static_cast<float>(i) - kTiles / 2.0f) * kTile, -0.05f,
                        (static_cast<float>(j) - kTiles / 2.0f) * kTile},
                       false);
      static_cast<Mesh&>(tile).AddMesh("Tile");
      Send<std::int32_t>(tile, 504, 1);
    }
  }
  Object& weather = Add(yard, kClassWeatherDetail, "Weather");
  for (std::uint32_t id : {7750u, 7752u, 7758u}) Send<std::int32_t>(weather, id, 1);
  auto& collector = static_cast<Collector&>(Add(weather, kClassCollector, "Collector"));
  collector.ExecuteCommand(kCommandInitializeNewObject, nullptr);
  Send<std::int32_t>(collector, 7510, 1);
  Send(collector, 7512, 24.0f);
  Send(collector, 7500, 6.0f);
  Send(collector, 7516, 60000u);
  yard.Precalculate();
  auto& detail = static_cast<WeatherDetail&>(weather);

  RenderQueue& queue = services.GetRenderQueue();
  ViewState& view = services.GetView();
  int frame = 0;
  double placed = 0, queuedMeshes = 0, collected = 0;
  for (auto _ : state) {
    const float x = -kCrossing / 2 + kCrossing * static_cast<float>(frame % kFrames) / kFrames;
    ++frame;
    view.SetCameraLookAt({x, 1.7f, -2}, {x + 1, 1.2f, 6});
    weather.SetPosition({x, 0, 0}, false);
    weather.InvalidateTransform();
    collector.Update();
    weather.Draw();
    state.PauseTiming();
    placed += detail.GetPlacedCount();
    collected += collector.GetTriangleCount();
    for (std::size_t list = 0; list < kListCallbacks; ++list) {
      for (const RenderCommand* c = queue.GetList(list); c != nullptr; c = c->next) {
        queuedMeshes += c->kind == RenderCommandKind::kMeshPart ? 1 : 0;
      }
    }
    queue.Reset();
    state.ResumeTiming();
  }
  const auto frames = static_cast<double>(state.iterations());
  state.counters["triangles_collected"] = collected / frames;
  state.counters["instances_placed"] = placed / frames;
  state.counters["meshes_queued"] = queuedMeshes / frames;
  ShutdownEngine();
  DestroyEngineServices();
}

BENCHMARK(BM_RainAndGroundDetail)->Unit(benchmark::kMicrosecond)->Iterations(kFrames);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();
