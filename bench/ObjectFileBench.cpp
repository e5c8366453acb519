// Loading a generated scene of 10,000 objects from memory: groups of ten
// objects with transforms under a hundred rooms, written once by the
// writer, then read into a fresh parent each iteration. Reports objects per
// second and bytes per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "engine/Engine.h"

namespace {

using namespace tge;

constexpr int kRooms = 100;
constexpr int kObjectsPerRoom = 99;
constexpr int kObjects = kRooms * (kObjectsPerRoom + 1);

void BuildScene(Object& root) {
  for (int room = 0; room < kRooms; ++room) {
    Object* parent = CreateObject(kClassObject, nullptr, root, ("Room" + std::to_string(room)).c_str());
    for (int i = 0; i < kObjectsPerRoom; ++i) {
      Object* object = CreateObject(kClassObject, nullptr, *parent, ("Prop" + std::to_string(i)).c_str());
      object->SetInheritOrientation(false);
      object->SetPosition({static_cast<float>(i), 0, static_cast<float>(room)}, false);
    }
  }
}

void BM_LoadObjectFileFromMemory(benchmark::State& state) {
  CreateEngine();
  Engine& engine = *GetEngine();
  Object* scene = CreateObject(kClassObject, nullptr, engine, "Scene");
  BuildScene(*scene);
  std::vector<std::uint8_t> bytes(8 << 20);
  SerializeStream out;
  out.OpenMemoryBuffer(bytes.size(), "wb", bytes.data());
  engine.SaveObjectFile(*scene, "", false, true, &out);
  bytes.resize(static_cast<std::size_t>(out.Tell()));
  out.Close();

  for (auto _ : state) {
    Object parent;
    SerializeStream in;
    in.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
    if (!engine.GetServices().GetObjectFile().Load(parent, in, "scene")) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(parent.GetChildCount());
  }
  state.counters["objects/s"] =
      benchmark::Counter(static_cast<double>(kObjects) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes.size()) * state.iterations());
  ShutdownEngine();
}
BENCHMARK(BM_LoadObjectFileFromMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
