// Collector's command table, following, collecting and gathering, and its
// file record.
#include "objects/scene/effects/Collector.h"

#include <algorithm>
#include <type_traits>

#include "core/ActiveCameraTable.h"
#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/ObjectRef.h"
#include "core/WorldPhysicsHooks.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/render/ViewState.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr std::uint32_t kSetInheritOrientation = 13;
constexpr std::uint32_t kSetWSOrientation = 15;
constexpr float kFarAway = 1e38f;
constexpr std::uint8_t kNoCategory = 255;

ObjectRef<Collector>& GlobalCollector() {
  static ObjectRef<Collector> global;
  return global;
}

}  // namespace

CollectorTriangleList::CollectorTriangleList(std::uint32_t capacity, float parameter, float radius)
    : parameter(parameter),
      radius(radius),
      vertices(capacity * 3u, ColourVertex{}),
      categories(capacity),
      boxes(capacity),
      normals(capacity),
      capacity(capacity) {}

std::shared_ptr<CollectorTriangleList> CreateCollectorTriangleList(std::uint32_t capacity, float parameter,
                                                                   float radius) {
  return std::make_shared<CollectorTriangleList>(capacity, parameter, radius);
}

// clang-format off
constexpr CommandEntry<Collector> Collector::kCommands[] = {
    {7500, "CollectorHotRadius", P, 0, {kValueFloat}, FieldSetter<&Collector::hotRadius_>, FieldGetter<&Collector::hotRadius_>},
    {7502, "CollectorGlobalCollector", P, 0, {kValueBool}, LowBitFlagSetter<&Collector::flags_, kCollectorGlobal>, FlagGetter<&Collector::flags_, kCollectorGlobal>},
    {7504, "CollectorLight", P, 0, {kValueBool}, LowBitFlagSetter<&Collector::flags_, kCollectorLight>, FlagGetter<&Collector::flags_, kCollectorLight>},
    {7506, "CollectorLightRadius", P, 0, {kValueFloat}, FieldSetter<&Collector::lightRadius_>, FieldGetter<&Collector::lightRadius_>},
    {7508, "CollectorLightCategoryBits", P, 0, {kValueDword}, FieldSetter<&Collector::lightCategoryBits_>, FieldGetter<&Collector::lightCategoryBits_>},
    {7510, "CollectorTriangle", P, 0, {kValueBool}, LowBitFlagSetter<&Collector::flags_, kCollectorTriangle>, FlagGetter<&Collector::flags_, kCollectorTriangle>},
    {7512, "CollectorTriangleRadius", P, 0, {kValueFloat}, FieldSetter<&Collector::triangleRadius_>, FieldGetter<&Collector::triangleRadius_>},
    {7514, "CollectorTriangleCategoryBits", P, 0, {kValueDword}, FieldSetter<&Collector::triangleCategoryBits_>, FieldGetter<&Collector::triangleCategoryBits_>},
};

std::span<const CommandEntry<Collector>> Collector::Commands() { return kCommands; }

// The capacity: answered but never registered.
constexpr CommandEntry<Collector> Collector::kHiddenCommands[] = {
    {7516, "", P, 0, {kValueDword}, Member<&Collector::SetCapacityCommand>, FieldGetter<&Collector::capacity_>},
};

std::span<const CommandEntry<Collector>> Collector::HiddenCommands() { return kHiddenCommands; }
// clang-format on

Collector::Collector() : Object(kClassCollector) {}

Collector* Collector::GetGlobal() { return GlobalCollector().Get(); }

int Collector::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Collector> handlers(kClassCollector, {kCommands, kHiddenCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandInitializeNewObject) {
    std::int32_t off = 0, on = 1;
    Object::ExecuteCommand(kSetInheritOrientation, &off);
    Object::ExecuteCommand(kSetWSOrientation, &on);
  }
  return Object::ExecuteCommand(id, args);
}

int Collector::SetCapacityCommand(CommandArgs args) { return SetCapacity(args.Get<std::uint32_t>()) ? 1 : 0; }

bool Collector::SetCapacity(std::uint32_t capacity) {
  if (capacity > kMaxCapacity) {
    return FormatErrorMessage("Collector %s: capacity %u is above %u", GetName().c_str(), capacity, kMaxCapacity);
  }
  capacity_ = capacity;
  if (!vertices_.empty() || !records_.empty()) Allocate();
  return true;
}

// The cache starts empty and the next update collects.
void Collector::Allocate() {
  triangleCount_ = 0;
  vertices_.assign(capacity_ * 3u, Vector3{});
  normals_.assign(capacity_, Vector3{});
  boxes_.assign(capacity_, AABox{});
  runBoxes_.assign((capacity_ + kRun - 1) / kRun, AABox{});
  CollectedTriangle blank;
  blank.triangleByte = kNoCategory;
  records_.assign(capacity_, blank);
  if (GetTransform() != nullptr) SetPosition({kFarAway, kFarAway, kFarAway}, true);
}

void Collector::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  vertices_ = {};
  normals_ = {};
  boxes_ = {};
  runBoxes_ = {};
  records_ = {};
  triangleCount_ = 0;
  collectCount_ = 0;
  followed_ = previous_[0] = previous_[1] = Vector3{};
}

void Collector::Precalculate() {
  if ((flags_ & kCollectorTriangle) != 0 && capacity_ > 0) Allocate();
  SetPosition({kFarAway, kFarAway, kFarAway}, true);
  EnableUpdate();
  Object::Precalculate();
}

// A collector with nowhere to collect from (no Space yet, the camera not yet
// in its viewport) or that found nothing there (meshes load at their first
// drawing, after the first update) keeps its old point and tries again next
// frame.
void Collector::Update() {
  if (!GetActive()) return;
  Vector3 point;
  if ((flags_ & kCollectorGlobal) != 0) {
    if (EngineServices* services = GetEngineServices()) point = services->GetView().GetCameraPosition();
  } else if (Object* parent = GetParent()) {
    const Matrix4& world = parent->GetWorldMatrix();
    point = {world.m[12], world.m[13], world.m[14]};
  }
  if ((flags_ & kCollectorTriangle) == 0) return;
  if (IsWithinRadius(GetPositionWS(), triangleRadius_ - hotRadius_, point)) return;
  Space* space = CollectingSpace();
  WorldPhysicsHooks* hooks = GetWorldPhysicsHooks();
  if (records_.empty() || space == nullptr || hooks == nullptr) return;
  const int count = hooks->CollectTriangles(*space, point, triangleRadius_, vertices_.data(), normals_.data(),
                                            boxes_.data(), records_.data(), capacity_);
  triangleCount_ = static_cast<std::uint32_t>(std::clamp(count, 0, static_cast<int>(capacity_)));
  if (triangleCount_ == 0) return;
  BoxRuns();
  previous_[1] = previous_[0];
  previous_[0] = followed_;
  followed_ = point;
  SetPosition(point, true);
  InvalidateTransform();
  ++collectCount_;
}

// Its own Space; the global collector's is the Space of the first viewport's
// camera.
Space* Collector::CollectingSpace() const {
  if ((flags_ & kCollectorGlobal) == 0) return GetSpace();
  ViewCamera* camera = GetActiveCameraTable().Get(0);
  return camera != nullptr ? camera->GetSpace() : nullptr;
}

// Triangles are collected mesh by mesh, so a run of them mostly lies close
// together: a sphere misses the boxes of most runs.
void Collector::BoxRuns() {
  for (std::uint32_t first = 0; first < triangleCount_; first += kRun) {
    AABox run = boxes_[first];
    for (std::uint32_t t = first + 1; t < std::min(triangleCount_, first + kRun); ++t) run = BoxUnion(run, boxes_[t]);
    runBoxes_[first / kRun] = run;
  }
}

// A triangle's box lies in its run's box, so a run whose box misses the
// sphere holds no triangle that touches it.
void Collector::GatherTriangles(CollectorTriangleList& list, const Vector3& centre) const {
  list.count = 0;
  for (std::uint32_t first = 0; first < triangleCount_ && list.count < list.capacity; first += kRun) {
    if (!SphereTouchesBox(runBoxes_[first / kRun], centre, list.radius)) continue;
    const std::uint32_t end = std::min(triangleCount_, first + kRun);
    for (std::uint32_t t = first; t < end && list.count < list.capacity; ++t) {
      if (SphereTouchesBox(boxes_[t], centre, list.radius)) AppendTriangle(list, t);
    }
  }
}

void Collector::AppendTriangle(CollectorTriangleList& list, std::uint32_t t) const {
  ColourVertex* out = &list.vertices[list.count * 3u];
  for (int c = 0; c < 3; ++c) {
    const Vector3& p = vertices_[t * 3u + c];
    out[c].x = p.x;
    out[c].y = p.y;
    out[c].z = p.z;
  }
  list.categories[list.count] = static_cast<std::uint8_t>(records_[t].triangleByte);
  list.boxes[list.count] = boxes_[t];
  list.normals[list.count] = normals_[t];
  ++list.count;
}

bool Collector::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(flags_);
  stream.Serialize(hotRadius_);
  stream.Serialize(spare_);
  stream.Serialize(lightRadius_);
  stream.Serialize(lightCategoryBits_);
  stream.Serialize(triangleRadius_);
  stream.Serialize(triangleCategoryBits_);
  std::uint32_t capacity = capacity_;
  stream.Serialize(capacity);
  if (stream.Failed()) return false;
  if (!stream.IsWriting()) {
    if (!SetCapacity(capacity)) return false;
    if ((flags_ & kCollectorGlobal) != 0) GlobalCollector().Set(this);
  }
  return true;
}

void RegisterCollectorCommands() {
  RegisterCommandTable<Collector>(BuildCommandRegistry(), kClassCollector, Collector::Commands());
  GetObjectFactory().RegisterType<Collector>(kClassCollector);
}

}  // namespace tge
