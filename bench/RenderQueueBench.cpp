// Queueing and rendering mesh draws: processor time per draw through the
// queue and the frame render, on a recording device and on the GL device
// (Mesa's software rasteriser drawing into a small target). BM_SortDrawList
// sorts lists of 1,000 to 80,000 records with keys in random order, time per
// record.
#include <benchmark/benchmark.h>


#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/math/Random.h"

#include "bench/OffscreenGlDevice.h"
#include "platform/gfx/GlDevice.h"
#include "platform/gfx/RecordingDevice.h"
#include "services/RenderDevice.h"
#include "services/render/FrameRender.h"
#include "services/render/PostEffects.h"
#include "services/render/RenderListSorter.h"
#include "services/render/RenderQueue.h"
#include "services/render/RenderQueue.h"
#include "services/render/ViewState.h"
#include "services/render/ViewState.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"

namespace tge {
namespace {

constexpr int kDraws = 5000;
constexpr int kTarget = 64;

// A small triangle, queued kDraws times at spread depths, then rendered.
void QueueAndRender(benchmark::State& state, bool gl) {
  RenderDeviceBackend backend;
  backend.createDevice = [gl](const StartupSettings&, const gfx::PresentParameters& parameters,
                              std::string& error) -> std::unique_ptr<gfx::Device> {
    if (gl) return MakeOffscreenGlDevice(kTarget, parameters, error);
    return std::make_unique<gfx::RecordingDevice>(parameters);
  };
  RenderDevice device(backend);
  StartupSettings settings;
  settings.fullScreen = 0;
  settings.width = settings.height = kTarget;
  if (!device.InitRenderDevice(settings)) {
    state.SkipWithError("no device");
    return;
  }
  struct Vertex {
    float x, y, z;
    std::uint32_t colour;
  };
  const Vertex vertices[3] = {{-1, 1, 0, 0xFFFFFFFF}, {1, 1, 0, 0xFFFFFFFF}, {0, -1, 0, 0xFFFFFFFF}};
  const std::uint16_t indices[3] = {0, 1, 2};
  MaterialResource material;
  MeshResource mesh;
  mesh.parts.resize(1);
  mesh.parts[0].radius = 1.5f;
  mesh.parts[0].material = &material;
  mesh.parts[0].geometry = CreateGeometryBuffers(device.Device(), 3, 1, 0x42, sizeof(Vertex), 0, gfx::kPoolManaged);
  void* out = nullptr;
  mesh.parts[0].geometry->vertexBuffer->Lock(0, 0, 0, &out);
  std::memcpy(out, vertices, sizeof vertices);
  mesh.parts[0].geometry->vertexBuffer->Unlock();
  mesh.parts[0].geometry->indexBuffer->Lock(0, 0, 0, &out);
  std::memcpy(out, indices, sizeof indices);
  mesh.parts[0].geometry->indexBuffer->Unlock();

  ViewState view;
  view.SetProjection(1.0f, 1.0f, 1.0f, 1000.0f);
  view.SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  RenderQueue queue(view);
  PostEffects post;
  FrameRender frame(queue, view, post);
  std::vector<Matrix4> worlds(kDraws);
  for (int i = 0; i < kDraws; ++i) Matrix4Translation(worlds[std::size_t(i)], 0, 0, 10.0f + float(i % 500));
  for (auto _ : state) {
    frame.BeginFrame(device);
    for (const Matrix4& world : worlds) queue.QueueMesh(&mesh, world, nullptr, nullptr, 1.0f, nullptr);
    frame.RenderFrame(device, {});
    frame.EndFrame(&device);
  }
  state.SetItemsProcessed(state.iterations() * kDraws);
  state.counters["ns_per_draw"] = benchmark::Counter(double(state.iterations()) * kDraws,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_QueueAndRenderRecording(benchmark::State& state) { QueueAndRender(state, false); }
void BM_QueueAndRenderGl(benchmark::State& state) { QueueAndRender(state, true); }

// The records relinked in submission order before every sort, as a frame
// queues them.
void BM_SortDrawList(benchmark::State& state) {
  std::vector<RenderCommand> records(static_cast<std::size_t>(state.range(0)));
  SeedRand(5);
  for (RenderCommand& record : records) record.key = static_cast<float>(Rand()) * 0.01f;
  RenderListSorter sorter;
  for (auto _ : state) {
    for (std::size_t i = 0; i + 1 < records.size(); ++i) records[i].next = &records[i + 1];
    records.back().next = nullptr;
    RenderCommand* tail = nullptr;
    benchmark::DoNotOptimize(sorter.Sort(&records[0], tail));
  }
  state.counters["per_record"] = benchmark::Counter(static_cast<double>(records.size()),
                                                    benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SortDrawList)->Arg(1000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_QueueAndRenderRecording)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_QueueAndRenderGl)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();
