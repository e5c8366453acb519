// Software skinning: SkinPart on 20,000 vertices of four influences over 60
// bones, against a plain loop of the same matrix-vector products over the
// same vertices (the limit), in vertices per second. Then one SkinMesh frame
// (UpdateAnimation, QueueSkinMesh, SkinPart) after a warm-up frame; the
// counter allocs_per_frame counts calls of the global operator new during
// the timed loop and must show 0.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "bench/AllocationCount.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "engine/Engine.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "platform/gfx/RecordingDevice.h"
#include "services/EngineServices.h"
#include "services/resources/AnimationResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/SkinMeshResource.h"


namespace tge {
namespace {

constexpr std::uint32_t kVertices = 20000;
constexpr std::uint32_t kBones = 60;
constexpr std::uint32_t kFormat = 0x12;  // position and normal, 24 bytes
constexpr std::uint32_t kStride = 24;

// Vertex v leans on bones v, v + 1, v + 2, v + 3 (mod 60).
SkinMeshFile MakeSkin(std::uint32_t vertices) {
  SkinMeshFile file;
  file.parts.resize(1);
  file.parts[0].vertices.resize(vertices);
  for (std::uint32_t v = 0; v < vertices; ++v) {
    SkinVertex& s = file.parts[0].vertices[v];
    s.position = {float(v % 100), float(v / 100), 1};
    s.normal = {0, 0, 1};
    s.influences = 4;
    for (std::uint8_t k = 0; k < 4; ++k) {
      s.bones[k] = static_cast<std::uint8_t>((v + k) % kBones);
      s.weights[k] = 0.25f;
    }
  }
  file.bones.resize(kBones);
  for (std::uint32_t b = 0; b < kBones; ++b) {
    file.bones[b].name = "b" + std::to_string(b);
    file.bones[b].boneId = b;
  }
  return file;
}

std::vector<Matrix4> MakeMatrices() {
  std::vector<Matrix4> matrices(kBones);
  for (std::uint32_t b = 0; b < kBones; ++b) {
    Matrix4RotationY(matrices[b], 0.01f * float(b));
    matrices[b].m[12] = float(b);
  }
  return matrices;
}

// A database holding the mesh and its skin, the skin loaded.
struct SkinScene {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "tge_skin_bench";
  gfx::RecordingDevice device;
  ResourceDatabase db;
  SkinMeshResource* skin = nullptr;

  SkinScene() {
    std::filesystem::create_directories(folder / "Data");
    SkinMeshFile file = MakeSkin(kVertices);
    WriteSkinMeshFile((folder / "Data" / "bench.skn").string(), file);
    db.SetDataFolder(folder.string() + "/");
    auto mesh = std::make_unique<MeshResource>();
    mesh->parts.resize(1);
    mesh->parts[0].geometry = CreateGeometryBuffers(device, kVertices, 0, kFormat, kStride, 0, gfx::kPoolManaged);
    auto created = std::make_unique<SkinMeshResource>();
    created->SetFileName("bench.skn");
    created->mesh = mesh.get();
    skin = created.get();
    db.RegisterResource(std::move(mesh));
    db.RegisterResource(std::move(created));
    skin->Load();
  }
  ~SkinScene() { std::filesystem::remove_all(folder); }
};

void BM_SkinPart(benchmark::State& state) {
  SkinScene scene;
  const std::vector<Matrix4> matrices = MakeMatrices();
  for (auto _ : state) SkinPart(scene.skin, 0, matrices.data(), matrices.size());
  state.SetItemsProcessed(state.iterations() * kVertices);
}
BENCHMARK(BM_SkinPart)->Unit(benchmark::kMicrosecond);

inline void Accumulate(float* out, const Vector3& p, const Matrix4& m, float w, float one) {
  out[0] += (p.x * m.m[0] + p.y * m.m[4] + p.z * m.m[8] + one * m.m[12]) * w;
  out[1] += (p.x * m.m[1] + p.y * m.m[5] + p.z * m.m[9] + one * m.m[13]) * w;
  out[2] += (p.x * m.m[2] + p.y * m.m[6] + p.z * m.m[10] + one * m.m[14]) * w;
}

// The same products without the resource, the layout or the lock.
void BM_PlainSkinningLoop(benchmark::State& state) {
  const SkinMeshFile file = MakeSkin(kVertices);
  const std::vector<Matrix4> matrices = MakeMatrices();
  std::vector<float> out(std::size_t{kVertices} * kStride / sizeof(float));
  for (auto _ : state) {
    float* at = out.data();
    for (const SkinVertex& v : file.parts[0].vertices) {
      float position[3] = {0, 0, 0}, normal[3] = {0, 0, 0};
      for (int k = 0; k < 4; ++k) {
        Accumulate(position, v.position, matrices[v.bones[k]], v.weights[k], 1);
        Accumulate(normal, v.normal, matrices[v.bones[k]], v.weights[k], 0);
      }
      const float length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
      std::memcpy(at, position, sizeof position);
      for (int i = 0; i < 3; ++i) at[3 + i] = normal[i] / length;
      at += kStride / sizeof(float);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kVertices);
}
BENCHMARK(BM_PlainSkinningLoop)->Unit(benchmark::kMicrosecond);

// A SkinMesh of 60 bones, each a Bone child, playing a two-key animation.
void BM_SkinMeshFrame(benchmark::State& state) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tge_skin_frame_bench";
  std::filesystem::create_directories(folder / "Data");
  CreateEngineServices();
  EngineServices& services = *GetEngineServices();
  services.SetDataFolder(folder.string() + "/");
  CreateEngine();
  Engine& engine = *GetEngine();
  gfx::RecordingDevice device;
  {
    SkinMeshFile file = MakeSkin(1000);
    WriteSkinMeshFile((folder / "Data" / "frame.skn").string(), file);
    std::vector<AnimationTrack> tracks(kBones);
    for (std::uint32_t b = 0; b < kBones; ++b) {
      tracks[b].boneId = static_cast<std::int32_t>(b);
      tracks[b].positionKeys = {{0, {0, 0, 0}}, {1, {1, 0, 0}}};
      tracks[b].rotationKeys = {{0, {}}, {1, {0, 0.7071f, 0, 0.7071f}}};
    }
    const std::vector<std::uint8_t> bytes = EncodeAnimationFile(tracks);
    std::FILE* out = std::fopen((folder / "Data" / "frame.kfa").c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
  auto mesh = std::make_unique<MeshResource>();
  mesh->SetName("FrameMesh");
  mesh->parts.resize(1);
  mesh->parts[0].radius = 100;
  mesh->parts[0].geometry = CreateGeometryBuffers(device, 1000, 0, kFormat, kStride, 0, gfx::kPoolManaged);
  auto skin = std::make_unique<SkinMeshResource>();
  skin->SetName("FrameSkin");
  skin->SetFileName("frame.skn");
  skin->mesh = mesh.get();
  auto animation = std::make_unique<AnimationResource>();
  animation->SetName("Walk");
  animation->SetFileName("frame.kfa");
  animation->length = 1;
  Resource* skinResource = skin.get();
  services.GetResources().RegisterResource(std::move(mesh));
  services.GetResources().RegisterResource(std::move(skin));
  services.GetResources().RegisterResource(std::move(animation));

  auto& figure = static_cast<SkinMesh&>(*CreateObject(kClassSkinMesh, nullptr, engine, "Figure"));
  for (std::uint32_t b = 1; b < kBones; ++b) CreateObject(kClassBone, nullptr, figure, ("b" + std::to_string(b)).c_str());
  std::string name = "FrameSkin";
  figure.ExecuteCommand(2500, &name);
  figure.AddAnimation("Walk");
  figure.SetAnimate(true);
  figure.SetSkinMeshAnimation("Walk", 0);
  RenderQueue& queue = services.GetRenderQueue();
  auto frame = [&] {
    figure.UpdateAnimation(1.0f / 60);
    figure.Draw();
    SkinPart(skinResource, 0, figure.GetBoneMatrices().data(), figure.GetBoneMatrices().size());
    queue.Reset();
  };
  frame();
  const long before = AllocationCount();
  for (auto _ : state) frame();
  state.counters["allocs_per_frame"] =
      static_cast<double>(AllocationCount() - before) / static_cast<double>(state.iterations());
  ShutdownEngine();
  DestroyEngineServices();
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SkinMeshFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();
