// Terrain levels of detail: the demo's tile seen from eight views along a
// camera path, drawn by the level-of-detail renderer against the plain
// full-detail grid (256 x 256 cells, 131,072 triangles, one draw, no
// culling), on a recording device and on the GL device (Mesa's software
// rasteriser drawing into a small target). Counters per view: patches
// drawn, triangles submitted, and allocs_per_frame, the calls of the global
// operator new in the timed frames once the view holds still (must be 0).
// The moving camera also counts the buffers it makes (must be 0).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/AllocationCount.h"
#include "bench/OffscreenGlDevice.h"
#include "demo/assets/DemoTerrain.h"
#include "platform/gfx/GlDevice.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/gfx/States.h"
#include "services/RenderDevice.h"
#include "services/render/TerrainLodRenderer.h"
#include "services/render/TerrainResource.h"
#include "services/render/ViewState.h"

namespace tge {
namespace {

constexpr int kTarget = 128;
constexpr int kSide = TerrainLodRenderer::kMinSamples;
constexpr int kViews = 8;
constexpr int kWarmFrames = 3;

std::unique_ptr<RenderDevice> OpenDevice(bool gl) {
  RenderDeviceBackend backend;
  backend.createDevice = [gl](const StartupSettings&, const gfx::PresentParameters& parameters,
                              std::string& error) -> std::unique_ptr<gfx::Device> {
    if (gl) return MakeOffscreenGlDevice(kTarget, parameters, error);
    return std::make_unique<gfx::RecordingDevice>(parameters);
  };
  auto device = std::make_unique<RenderDevice>(backend);
  StartupSettings settings;
  settings.fullScreen = 0;
  settings.width = settings.height = kTarget;
  if (!device->InitRenderDevice(settings)) return nullptr;
  return device;
}

HeightMapTile DemoTile() {
  const std::vector<std::uint8_t> file = MakeDemoTerrainTile();
  HeightMapTile tile;
  std::string error;
  ParseHeightMapTile(file.data(), file.size(), tile, error);
  return tile;
}

// From the stage in the middle, turning and rising, to high over a corner.
ViewState PathView(int index) {
  const float angle = float(index) * 0.8f;
  const float height = 3.0f + float(index * index) * 12.0f;
  const Vector3 eye{1024 - float(index) * 100, height, 1024 - float(index) * 60};
  ViewState view;
  view.SetProjection(0.9f, 1.3333f, 0.5f, 3000.0f);
  view.SetCameraLookAt(eye, {eye.x + 100 * std::sin(angle), height * 0.6f, eye.z + 100 * std::cos(angle)});
  return view;
}

void Present(RenderDevice& device) {
  device.Device().EndScene();
  device.Device().Present();
  device.Device().BeginScene();
}

void LevelsOfDetail(benchmark::State& state, bool gl) {
  std::unique_ptr<RenderDevice> device = OpenDevice(gl);
  if (!device) {
    state.SkipWithError("no device");
    return;
  }
  const HeightMapTile tile = DemoTile();
  TerrainLodRenderer renderer;
  renderer.SetHeightData({tile.samples.data(), kSide, kSide});
  renderer.Build();
  const ViewState view = PathView(int(state.range(0)));
  device->SetViewMatrix(view.GetViewMatrix());
  device->SetProjectionMatrix(view.GetProjectionMatrix());
  device->Device().BeginScene();
  // The recording device's call log would grow all through the run: each
  // frame starts it afresh, as presenting a frame does on the GL device.
  auto* recording = gl ? nullptr : static_cast<gfx::RecordingDevice*>(&device->Device());
  const auto frame = [&] {
    renderer.Update(*device, view);
    renderer.Draw(*device);
    if (gl) {
      Present(*device);
    } else {
      recording->ClearCalls();
    }
  };
  // The first frames build the patches' buffers and, on Mesa, compile its
  // shader variants (whose JIT allocates through the counted operator new).
  for (int warm = 0; warm < kWarmFrames; ++warm) frame();
  const long before = AllocationCount();
  for (auto _ : state) frame();
  const long allocations = AllocationCount() - before;
  device->Device().EndScene();
  state.counters["patches"] = renderer.GetDrawnPatchCount();
  state.counters["triangles"] = renderer.GetDrawnTriangleCount();
  state.counters["allocs_per_frame"] = double(allocations) / double(state.iterations());
}

// The camera takes the next of the eight views each frame, so patches enter
// and leave the view and change levels all the time. Once every view has
// been seen, a frame makes no buffer and allocates nothing.
void MovingCamera(benchmark::State& state) {
  std::unique_ptr<RenderDevice> device = OpenDevice(false);
  const HeightMapTile tile = DemoTile();
  TerrainLodRenderer renderer;
  renderer.SetHeightData({tile.samples.data(), kSide, kSide});
  renderer.Build();
  std::vector<ViewState> views;
  for (int i = 0; i < kViews; ++i) views.push_back(PathView(i));
  auto& recording = static_cast<gfx::RecordingDevice&>(device->Device());
  device->Device().BeginScene();
  std::size_t next = 0;
  const auto frame = [&] {
    const ViewState& view = views[next];
    next = (next + 1) % views.size();
    device->SetViewMatrix(view.GetViewMatrix());
    device->SetProjectionMatrix(view.GetProjectionMatrix());
    renderer.Update(*device, view);
    renderer.Draw(*device);
    recording.ClearCalls();
  };
  for (int warm = 0; warm < kWarmFrames * kViews; ++warm) frame();
  const long before = AllocationCount();
  for (auto _ : state) frame();
  const long allocations = AllocationCount() - before;
  // Buffers made, counted from the call log over one more round of views.
  std::size_t made = 0;
  for (int i = 0; i < kViews; ++i) {
    renderer.Update(*device, views[next]);
    next = (next + 1) % views.size();
    made += recording.CountCalls(gfx::CallType::kCreateVertexBuffer) +
            recording.CountCalls(gfx::CallType::kCreateIndexBuffer);
    recording.ClearCalls();
  }
  device->Device().EndScene();
  state.counters["allocs_per_frame"] = double(allocations) / double(state.iterations());
  state.counters["buffers_per_frame"] = double(made) / kViews;
}

// Only the level choice: culling, projected errors and neighbour limits.
void ChooseLevels(benchmark::State& state) {
  std::unique_ptr<RenderDevice> device = OpenDevice(false);
  const HeightMapTile tile = DemoTile();
  TerrainLodRenderer renderer;
  renderer.SetHeightData({tile.samples.data(), kSide, kSide});
  renderer.Build();
  const ViewState view = PathView(int(state.range(0)));
  renderer.Update(*device, view);
  for (auto _ : state) renderer.Update(*device, view);
  state.counters["patches"] = renderer.GetTestedPatchCount();
}

// The plain grid: every sample a vertex, two triangles a cell, one draw.
void FullGrid(benchmark::State& state, bool gl) {
  std::unique_ptr<RenderDevice> device = OpenDevice(gl);
  if (!device) {
    state.SkipWithError("no device");
    return;
  }
  const HeightMapTile tile = DemoTile();
  const std::uint32_t cells = kSide - 1;
  std::vector<TerrainVertex> vertices;
  for (int z = 0; z < kSide; ++z) {
    for (int x = 0; x < kSide; ++x) {
      vertices.push_back({float(x) * 8, float(tile.samples[std::size_t(z * kSide + x)]), float(z) * 8, 0, 0});
    }
  }
  std::vector<std::uint32_t> indices;
  for (std::uint32_t z = 0; z < cells; ++z) {
    for (std::uint32_t x = 0; x < cells; ++x) {
      const std::uint32_t a = z * kSide + x, b = a + 1, c = a + kSide, d = c + 1;
      indices.insert(indices.end(), {a, c, b, b, c, d});
    }
  }
  gfx::Device& d = device->Device();
  std::unique_ptr<gfx::VertexBuffer> vb;
  std::unique_ptr<gfx::IndexBuffer> ib;
  d.CreateVertexBuffer(std::uint32_t(vertices.size() * sizeof(TerrainVertex)), gfx::kUsageWriteOnly,
                       TerrainPatch::kVertexFormat, gfx::kPoolManaged, &vb);
  d.CreateIndexBuffer(std::uint32_t(indices.size() * 4), gfx::kUsageWriteOnly, gfx::kFormatIndex32,
                      gfx::kPoolManaged, &ib);
  void* out = nullptr;
  vb->Lock(0, 0, 0, &out);
  std::memcpy(out, vertices.data(), vertices.size() * sizeof(TerrainVertex));
  vb->Unlock();
  ib->Lock(0, 0, 0, &out);
  std::memcpy(out, indices.data(), indices.size() * 4);
  ib->Unlock();
  const ViewState view = PathView(int(state.range(0)));
  device->SetViewMatrix(view.GetViewMatrix());
  device->SetProjectionMatrix(view.GetProjectionMatrix());
  d.BeginScene();
  const std::uint32_t triangles = std::uint32_t(indices.size() / 3);
  for (auto _ : state) {
    d.SetFVF(TerrainPatch::kVertexFormat);
    d.SetStreamSource(vb.get(), 0, sizeof(TerrainVertex));
    d.SetIndices(ib.get());
    d.DrawIndexedPrimitive(gfx::kPrimTriangleList, 0, 0, std::uint32_t(vertices.size()), 0, triangles);
    if (gl) Present(*device);
  }
  d.EndScene();
  state.counters["triangles"] = triangles;
}

void BM_TerrainLodRecording(benchmark::State& state) { LevelsOfDetail(state, false); }
void BM_TerrainLodGl(benchmark::State& state) { LevelsOfDetail(state, true); }
void BM_TerrainChooseLevels(benchmark::State& state) { ChooseLevels(state); }
void BM_TerrainLodMovingCamera(benchmark::State& state) { MovingCamera(state); }
void BM_TerrainFullGridRecording(benchmark::State& state) { FullGrid(state, false); }
void BM_TerrainFullGridGl(benchmark::State& state) { FullGrid(state, true); }

}  // namespace
}  // namespace tge

BENCHMARK(tge::BM_TerrainLodRecording)->DenseRange(0, tge::kViews - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(tge::BM_TerrainLodMovingCamera)->Unit(benchmark::kMicrosecond);
BENCHMARK(tge::BM_TerrainChooseLevels)->DenseRange(0, tge::kViews - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(tge::BM_TerrainFullGridRecording)->DenseRange(0, tge::kViews - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(tge::BM_TerrainLodGl)->DenseRange(0, tge::kViews - 1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(tge::BM_TerrainFullGridGl)->DenseRange(0, tge::kViews - 1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

BENCHMARK_MAIN();
