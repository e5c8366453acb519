// Vehicles at scale: twenty four-wheelers built from their type, driven by
// Timer scripts (full throttle, right lock then left lock) over a bumpy
// triangle-mesh level for 600 frames, against the same bodies, geometries
// and hinge-2 joints as plain objects: the chassis a plain Object, each
// wheel a Mesh drawing the wheel mesh, the motors set once. A frame is the
// physics step and the tick, whose last pass draws the Space into the
// render queue, so the two timings differ by the vehicle and wheel logic:
// input, wheel motors, sounds, tyre contacts and the blob shadow laid on the
// triangles of the level's global Collector. The third benchmark draws the
// twenty vehicles of a settled drive alone.
//
// Reported: time per frame; allocs_per_frame, the calls of the global
// operator new per frame once the drive is under way (frames 60 to 600, or
// per drawing of the vehicles); allocating_frames, how many of those frames
// of one drive allocated at all.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/AllocationCount.h"
#include "core/ActiveCameraTable.h"
#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "engine/Engine.h"
#include "objects/gameplay/props/JointHinge2.h"
#include "objects/gameplay/vehicles/Vehicle.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Camera.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/effects/Collector.h"
#include "platform/gfx/NullDevice.h"
#include "services/EngineServices.h"
#include "services/render/RenderQueue.h"
#include "services/resources/CollisionGeometryResource.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/ResourceType.h"
#include "tests/support/NullScene.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

namespace fs = std::filesystem;

constexpr int kColumns = 5, kRows = 4;
constexpr float kVehicleSpacing = 12.0f;
constexpr int kFrames = 600, kWarmFrames = 60;
constexpr double kStep = 1.0 / 60;
constexpr float kLegSeconds = 5.0f;
// The level: a square of kCells x kCells cells of kCellSize, gently rolling.
constexpr int kCells = 40;
constexpr float kCellSize = 2.0f;
constexpr float kHalfLevel = kCells * kCellSize / 2;
constexpr float kBumpHeight = 0.15f;
// The collectable ground the shadows fall on: kTiles x kTiles flat tiles.
constexpr int kTiles = 8;
constexpr float kTileSize = 2 * kHalfLevel / kTiles;
// The "Box" mesh of the null scene is the chassis and the wheel: its top
// gives the wheels a radius of 0.3.
constexpr float kBoxSize = 0.6f;
constexpr float kRideHeight = 0.8f;

constexpr std::uint32_t kSetMeshCollectable = 504;
constexpr std::uint32_t kSetCollectorTriangle = 7510, kSetCollectorRadius = 7512, kSetCollectorHot = 7500;
constexpr std::uint32_t kSetCollectorCapacity = 7516, kSetCollectorGlobal = 7502;
constexpr std::uint32_t kEnableWorldPhysics = 14250, kStartWorld = 14272;

double& Clock() {
  static double now = 0;
  return now;
}

template <class T>
void Send(Object& object, std::uint32_t id, T value) {
  object.ExecuteCommand(id, &value);
}

float GroundHeight(float x, float z) { return kBumpHeight * std::sin(x * 0.7f) * std::cos(z * 0.5f); }

void PutWord(std::ofstream& out, std::uint32_t word) { out.write(reinterpret_cast<const char*>(&word), 4); }
void PutFloat(std::ofstream& out, float value) { out.write(reinterpret_cast<const char*>(&value), 4); }

// The level's collision file: one triangle mesh of collide bits 1.
void WriteLevelCollision(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  constexpr std::uint32_t side = kCells + 1;
  for (std::uint32_t word : {2u, 1u, 0u, 0u, side * side, kCells * kCells * 6u, 1u, 0u}) PutWord(out, word);
  for (std::uint32_t row = 0; row < side; ++row) {
    for (std::uint32_t column = 0; column < side; ++column) {
      const float x = static_cast<float>(column) * kCellSize - kHalfLevel;
      const float z = static_cast<float>(row) * kCellSize - kHalfLevel;
      for (float value : {x, GroundHeight(x, z), z}) PutFloat(out, value);
    }
  }
  for (std::uint32_t row = 0; row < kCells; ++row) {
    for (std::uint32_t column = 0; column < kCells; ++column) {
      const std::uint32_t corner = row * side + column;
      for (std::uint32_t index : {corner, corner + side, corner + 1, corner + 1, corner + side, corner + side + 1}) {
        PutWord(out, index);
      }
    }
  }
}

// A memory copy of an object's file record, the base record alone or its
// type's whole one, read into another object.
bool CopyRecord(Object& from, Object& to, bool baseOnly) {
  SerializeStream out;
  if (!out.OpenMemoryBuffer(1 << 16, "wb")) return false;
  out.SetVersion(SerializeStream::kLatestVersion);
  if (!(baseOnly ? from.Object::Serialize(out) : from.Serialize(out))) return false;
  std::vector<std::uint8_t> bytes(out.GetBuffer(), out.GetBuffer() + out.Tell());
  // The record opens with its class id: the reader's.
  const std::int32_t classId = to.GetClassId();
  std::memcpy(bytes.data(), &classId, sizeof classId);
  SerializeStream in;
  if (!in.OpenMemoryBuffer(bytes.size(), "rb", bytes.data())) return false;
  in.SetVersion(SerializeStream::kLatestVersion);
  return baseOnly ? to.Object::Serialize(in) : to.Serialize(in);
}

// An object of classId with typed's base record (placement, physics,
// geometries) takes typed's children and place; typed goes.
Object& MakePlain(Object& typed, int classId) {
  Object& parent = *typed.GetParent();
  Object& plain = *CreateObject(classId, nullptr, parent, typed.GetName().c_str());
  CopyRecord(typed, plain, true);
  std::vector<Object*> children;
  for (int i = 0; i < typed.GetChildCount(); ++i) children.push_back(typed.GetChild(i));
  for (Object* child : children) plain.AddChild(*child);
  DestroyObjectTree(parent.DetachChild(typed));
  return plain;
}

class VehicleLevel {
 public:
  VehicleLevel() : folder_(fs::temp_directory_path() / "tge_vehicle_bench") {
    fs::create_directories(folder_ / "Data");
    WriteLevelCollision(folder_ / "Data" / "level.col");
  }
  ~VehicleLevel() {
    if (started_) ShutdownNullScene();
    fs::remove_all(folder_);
  }

  // The level with twenty vehicles, or their plain bodies, started as the
  // engine starts a loaded scene. False when the engine did not start.
  bool Build(bool vehicles) {
    started_ = true;
    if (!StartNullScene(scene_, kBoxSize)) return false;
    EngineServices& services = *GetEngineServices();
    services.SetDataFolder(folder_.string() + "/");
    RegisterResource<CollisionGeometryResource>(services.GetResources(), "Level", "level.col");
    auto shadow = std::make_unique<MaterialResource>();
    shadow->SetName("VehicleShadowMat");
    services.GetResources().RegisterResource(std::move(shadow));
    Clock() = 0;
    World::SetClock([] { return Clock(); });
    world_ = &scene_.engine->GetEngineWorld();
    Send<std::int32_t>(*world_, kEnableWorldPhysics, 1);
    Space& room = *scene_.space;
    room.SetWorld(world_);
    room.SetInheritOrientation(false);
    room.SetLocalBox({{-kHalfLevel, -10, -kHalfLevel}, {kHalfLevel, 40, kHalfLevel}});
    room.AddCollisionEntry("Level");
    AddGround();
    for (int i = 0; i < kColumns * kRows; ++i) {
      if (vehicles) {
        AddVehicle(i);
      } else {
        AddPlainVehicle(i);
      }
    }
    Start();
    return true;
  }

  // The physics step, then the tick with the clock advanced, and the drawn
  // frame let go as the device would after drawing it.
  void RunFrame() {
    world_->PhysicsStep();
    Clock() += kStep;
    world_->WorldTick();
    world_->PostPass();
    GetEngineServices()->GetRenderQueue().Reset();
  }

  std::vector<Vehicle*>& GetVehicles() { return vehicles_; }

 private:
  // Collectable tiles under the global Collector, whose triangles the
  // vehicles' shadows are laid on. A Collector is global when read from a
  // file, as a loaded level's is.
  void AddGround() {
    Space& room = *scene_.space;
    std::unique_ptr<MeshResource> tile = CreateBoxMesh(*scene_.device, kTileSize, 0.1f, kTileSize);
    tile->parts[0].flags = kMeshPartCollectable;
    tile->parts[0].radius = kTileSize;
    tile->parts[0].box = {{-kTileSize / 2, -0.05f, -kTileSize / 2}, {kTileSize / 2, 0.05f, kTileSize / 2}};
    tile->SetName("Tile");
    GetEngineServices()->GetResources().RegisterResource(std::move(tile));
    for (int i = 0; i < kTiles * kTiles; ++i) {
      auto& mesh = static_cast<Mesh&>(*CreateObject(kClassMesh, nullptr, room, "Tile"));
      mesh.SetInheritOrientation(false);
      mesh.SetPosition({(static_cast<float>(i % kTiles) + 0.5f) * kTileSize - kHalfLevel, -0.05f,
                        (static_cast<float>(i / kTiles) + 0.5f) * kTileSize - kHalfLevel},
                       false);
      mesh.AddMesh("Tile");
      Send<std::int32_t>(mesh, kSetMeshCollectable, 1);
    }
    auto& made = static_cast<Collector&>(*CreateObject(kClassCollector, nullptr, room, "Collector"));
    made.ExecuteCommand(kCommandInitializeNewObject, nullptr);
    Send<std::int32_t>(made, kSetCollectorTriangle, 1);
    Send<std::int32_t>(made, kSetCollectorGlobal, 1);
    Send(made, kSetCollectorRadius, 2 * kHalfLevel);
    Send(made, kSetCollectorHot, 1.0f);
    Send<std::uint32_t>(made, kSetCollectorCapacity, 4000);
    auto& global = static_cast<Collector&>(*CreateObject(kClassCollector, nullptr, room, "Collector"));
    CopyRecord(made, global, false);
    DestroyObjectTree(room.DetachChild(made));
    scene_.camera->SetPosition({0, 30, 0}, false);
  }

  Object& AddVehicle(int index) {
    const float x = (static_cast<float>(index % kColumns) - (kColumns - 1) * 0.5f) * kVehicleSpacing;
    const float z = (static_cast<float>(index / kColumns) - (kRows - 1) * 0.5f) * kVehicleSpacing;
    const std::string name = "Car" + std::to_string(index);
    Object& car = AddPlaced(*scene_.space, kClassVehicle, name,
                            "this.SetPosition(" + std::to_string(x) + ", " +
                                std::to_string(GroundHeight(x, z) + kRideHeight) + ", " + std::to_string(z) + ");");
    RunScript(car, "this.SetChassiMesh(Box); this.SetCreateWheelMesh(Box); this.SetChassiDimesion(1.2, 0.5, 1.8); "
                   "this.SetEngineVelocityMul(3); this.SetVehicleType(1);");
    return car;
  }

  // Its driver: full throttle on right lock, then on left lock, over and
  // over.
  void AddDriver(int index) {
    const std::string car = "parent/Car" + std::to_string(index);
    Object& driver = AddTimer(*scene_.space, "Driver" + std::to_string(index), 2 * kLegSeconds, "this.TimerStart();");
    RunScript(driver, "this.AddTimerKey(); this.SetTimerKeyList(0); this.SetTimerKeyTime(0); "
                      "this.SetTimerKeyName(Right); this.AddTimerKey(); this.SetTimerKeyList(1); "
                      "this.SetTimerKeyTime(" + std::to_string(kLegSeconds) + "); this.SetTimerKeyName(Left);");
    SetScriptText(driver, "Right", car + ".SetVehicleSteering(1); " + car + ".SetVehicleMovement(1);");
    SetScriptText(driver, "Left", car + ".SetVehicleSteering(-1);");
    drivers_.push_back(&driver);
  }

  // A vehicle's tree with the Vehicle as a plain object and its Wheels as
  // Mesh objects drawing the wheel mesh. The motors hold what the vehicle's
  // drive sets at full throttle (the layout's left wheels turn forwards at
  // +3, the right ones at -3) and the front wheels' steering motor is on.
  void AddPlainVehicle(int index) {
    Object& plain = MakePlain(AddVehicle(index), kClassObject);
    for (int i = 0; i < plain.GetChildCount(); ++i) {
      Object* child = plain.GetChild(i);
      if (child->GetClassId() != kClassJointHinge2) continue;
      auto& joint = static_cast<JointHinge2&>(*child);
      const bool left = joint.GetName()[0] == 'L';
      joint.SetParameter(kHinge2Velocity2, left ? 3.0f : -3.0f);
      joint.SetParameter(kHinge2MaxVelocityForce2, 40.0f);
      if (joint.GetName()[1] == 'F') {
        joint.SetParameter(kHinge2MaxVelocityForce, 20.0f);
        joint.SetParameter(kHinge2FudgeFactor, 0.2f);
      }
      if (Object* wheel = joint.FindChildByName("Wheel", kClassWheel)) {
        static_cast<Mesh&>(MakePlain(*wheel, kClassMesh)).AddMesh("Box");
      }
    }
  }

  // Start-up as the engine does it: the World makes its physics, the room
  // and its objects are started, then their physics, then the joints.
  void Start() {
    Space& room = *scene_.space;
    for (int i = 0; i < room.GetChildCount(); ++i) {
      Object* child = room.GetChild(i);
      if (child->GetClassId() == kClassVehicle) {
        vehicles_.push_back(static_cast<Vehicle*>(child));
      }
    }
    for (std::size_t i = 0; i < vehicles_.size(); ++i) AddDriver(static_cast<int>(i));
    world_->Precalculate();
    room.Precalculate();
    world_->ExecuteCommand(kStartWorld, nullptr);
    room.Start();
    room.ExecuteCommand(kCommandCreatePhysics, nullptr);
    room.ExecuteCommand(kCommandStartPhysics, nullptr);
    GetActiveCameraTable().Set(0, scene_.camera);
    scene_.camera->Update();
    for (Object* driver : drivers_) RunScript(*driver, "this.TimerStart();");
  }

  fs::path folder_;
  bool started_ = false;
  NullScene scene_;
  World* world_ = nullptr;
  std::vector<Vehicle*> vehicles_;
  std::vector<Object*> drivers_;
};

void Drive(benchmark::State& state, bool vehicles) {
  long allocations = 0, allocatingFrames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto level = std::make_unique<VehicleLevel>();
    if (!level->Build(vehicles)) {
      state.SkipWithError("the engine did not start");
      break;
    }
    state.ResumeTiming();
    for (int frame = 0; frame < kWarmFrames; ++frame) level->RunFrame();
    for (int frame = kWarmFrames; frame < kFrames; ++frame) {
      const long before = AllocationCount();
      level->RunFrame();
      const long made = AllocationCount() - before;
      allocations += made;
      allocatingFrames += made != 0 ? 1 : 0;
    }
    state.PauseTiming();
    level.reset();
    state.ResumeTiming();
  }
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["frame"] =
      benchmark::Counter(iterations * kFrames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_frame"] = static_cast<double>(allocations) / (iterations * (kFrames - kWarmFrames));
  state.counters["allocating_frames"] = static_cast<double>(allocatingFrames) / iterations;
}

void BM_DrivenVehicles(benchmark::State& state) { Drive(state, true); }
void BM_PlainBodies(benchmark::State& state) { Drive(state, false); }
BENCHMARK(BM_DrivenVehicles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainBodies)->Unit(benchmark::kMillisecond);

// The twenty vehicles drawn once per iteration after a warm drive: their
// shadows gathered from the Collector and queued, with their meshes.
void BM_VehicleShadows(benchmark::State& state) {
  VehicleLevel level;
  if (!level.Build(true)) {
    state.SkipWithError("the engine did not start");
    return;
  }
  for (int frame = 0; frame < kWarmFrames; ++frame) level.RunFrame();
  RenderQueue& queue = GetEngineServices()->GetRenderQueue();
  auto draw = [&] {
    for (Vehicle* vehicle : level.GetVehicles()) vehicle->Draw();
    queue.Reset();
  };
  draw();
  for (Vehicle* vehicle : level.GetVehicles()) {
    const CollectorTriangleList* list = vehicle->GetShadowTriangles();
    if (list == nullptr || list->count == 0) {
      state.SkipWithError("a vehicle found no ground for its shadow");
      return;
    }
  }
  const long before = AllocationCount();
  for (auto _ : state) draw();
  state.counters["allocs_per_frame"] =
      static_cast<double>(AllocationCount() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_VehicleShadows)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tge

BENCHMARK_MAIN();
