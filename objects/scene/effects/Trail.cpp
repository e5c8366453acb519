// Trail's command table, sampling, ribbon and file record.
#include "objects/scene/effects/Trail.h"

#include <algorithm>
#include <memory>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr std::uint32_t kTriangleStrip = 5;
enum TrailAxis : std::uint32_t { kAcrossX = 0, kAlongPath = 1, kAcrossY = 2 };

Color Added(const Color& a, const Color& b, float scale) {
  return {a.r + b.r * scale, a.g + b.g * scale, a.b + b.b * scale, a.a + b.a * scale};
}

// Per second over the lifetime; nothing changes without one.
float ChangePerSecond(float from, float to, float lifetime) { return lifetime > 0 ? (to - from) / lifetime : 0.0f; }

}  // namespace

// clang-format off
constexpr CommandEntry<Trail> Trail::kCommands[] = {
    {18750, "TrailAxis", P, 0, {kValueDword}, FieldSetter<&Trail::axis_>, FieldGetter<&Trail::axis_>},
    {18752, "TrailMaxSamples", P, 0, {kValueDword}, Member<&Trail::SetMaxSamplesCommand>, FieldGetter<&Trail::maxSamples_>},
    {18754, "TrailMinSampleDistance", P, 0, {kValueFloat}, FieldSetter<&Trail::minSampleDistance_>, FieldGetter<&Trail::minSampleDistance_>},
    {18758, "TrailStartSize", P, 0, {kValueFloat}, FieldSetter<&Trail::startSize_>, FieldGetter<&Trail::startSize_>},
    {18760, "TrailEndSize", P, 0, {kValueFloat}, FieldSetter<&Trail::endSize_>, FieldGetter<&Trail::endSize_>},
    {18762, "TrailStartColor", P, 0, {kValueColor}, FieldSetter<&Trail::startColour_>, FieldGetter<&Trail::startColour_>},
    {18764, "TrailEndColor", P, 0, {kValueColor}, FieldSetter<&Trail::endColour_>, FieldGetter<&Trail::endColour_>},
    {18766, "TrailMaterial", P, 0, {kValueString}, Member<&Trail::SetMaterialCommand>, Member<&Trail::GetMaterialCommand>},
};

std::span<const CommandEntry<Trail>> Trail::Commands() { return kCommands; }

// The lifetime: answered but never registered.
constexpr CommandEntry<Trail> Trail::kHiddenCommands[] = {
    {18756, "", P, 0, {kValueFloat}, FieldSetter<&Trail::lifetime_>, FieldGetter<&Trail::lifetime_>},
};

std::span<const CommandEntry<Trail>> Trail::HiddenCommands() { return kHiddenCommands; }
// clang-format on

Trail::Trail() : Object(kClassTrail) {}

Trail::~Trail() { FreeStorage(); }

void Trail::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  samples_ = {};
  vertices_ = {};
  live_ = free_ = -1;
  material_.Release();
}

int Trail::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Trail> handlers(kClassTrail, {kCommands, kHiddenCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) {
    material_.Collect(*static_cast<ResourceSet*>(args));
  } else if (id == kCommandActionStartStep) {
    ResetLists();
    lastSamplePosition_ = GetPositionWS();
  }
  return Object::ExecuteCommand(id, args);
}

std::vector<const TrailSample*> Trail::GetLiveSamples() const {
  std::vector<const TrailSample*> out;
  for (std::int32_t i = live_; i >= 0; i = samples_[static_cast<std::size_t>(i)].next) {
    out.push_back(&samples_[static_cast<std::size_t>(i)]);
  }
  return out;
}

int Trail::SetMaxSamplesCommand(CommandArgs args) {
  maxSamples_ = std::clamp(args.Get<std::int32_t>(), kMinSamples, kMaxSamples);
  FreeStorage();
  return 1;
}

int Trail::SetMaterialCommand(CommandArgs args) {
  material_.SetName(args.AsString());
  return 1;
}

int Trail::GetMaterialCommand(CommandArgs args) {
  args.AsString() = material_.GetName();
  return 1;
}

// The vertices may sit in this frame's queue: the services keep them until
// the frame has ended.
void Trail::FreeStorage() {
  EngineServices* services = GetEngineServices();
  if (services != nullptr && !vertices_.empty()) {
    services->GetRenderQueue().KeepUntilReset(std::make_shared<std::vector<ColourVertex>>(std::move(vertices_)));
  }
  vertices_ = {};
  samples_ = {};
  live_ = free_ = -1;
}

void Trail::ResetLists() {
  live_ = -1;
  free_ = samples_.empty() ? -1 : 0;
  for (std::size_t i = 0; i < samples_.size(); ++i) {
    samples_[i].next = i + 1 < samples_.size() ? static_cast<std::int32_t>(i + 1) : -1;
  }
}

Vector3 Trail::SideDirection(const Vector3& d) const {
  Vector3 side = d;
  if (axis_ == kAcrossX) Vector3Cross(side, d, {1, 0, 0});
  if (axis_ == kAcrossY) Vector3Cross(side, d, {0, 1, 0});
  return Vector3Normalize(side, side);
}

// From the free list, else the oldest live sample.
std::int32_t Trail::TakeFreeSample() {
  if (free_ >= 0) {
    const std::int32_t taken = free_;
    free_ = samples_[static_cast<std::size_t>(taken)].next;
    return taken;
  }
  std::int32_t previous = -1;
  std::int32_t oldest = live_;
  while (samples_[static_cast<std::size_t>(oldest)].next >= 0) {
    previous = oldest;
    oldest = samples_[static_cast<std::size_t>(oldest)].next;
  }
  if (previous < 0) {
    live_ = -1;
  } else {
    samples_[static_cast<std::size_t>(previous)].next = -1;
  }
  return oldest;
}

void Trail::TakeSample(const Vector3& position) {
  Vector3 moved;
  Vector3Subtract(moved, position, lastSamplePosition_);
  if (Vector3Length(moved) < minSampleDistance_) return;
  const std::int32_t index = TakeFreeSample();
  TrailSample& sample = samples_[static_cast<std::size_t>(index)];
  sample.position = position;
  sample.age = 0;
  sample.colour = startColour_;
  sample.colourChange = {ChangePerSecond(startColour_.r, endColour_.r, lifetime_),
                         ChangePerSecond(startColour_.g, endColour_.g, lifetime_),
                         ChangePerSecond(startColour_.b, endColour_.b, lifetime_),
                         ChangePerSecond(startColour_.a, endColour_.a, lifetime_)};
  sample.halfWidth = startSize_ * 0.5f;
  sample.halfWidthChange = ChangePerSecond(startSize_ * 0.5f, endSize_ * 0.5f, lifetime_);
  sample.next = live_;
  if (live_ >= 0) {
    TrailSample& newest = samples_[static_cast<std::size_t>(live_)];
    Vector3 d;
    Vector3Subtract(d, position, newest.position);
    newest.direction = SideDirection(d);
  }
  live_ = index;
  lastSamplePosition_ = position;
}

void Trail::DropFrom(std::int32_t previous, std::int32_t sample) {
  if (previous < 0) {
    live_ = -1;
  } else {
    samples_[static_cast<std::size_t>(previous)].next = -1;
  }
  while (sample >= 0) {
    const std::int32_t older = samples_[static_cast<std::size_t>(sample)].next;
    samples_[static_cast<std::size_t>(sample)].next = free_;
    free_ = sample;
    sample = older;
  }
}

void Trail::Draw() {
  if (!GetActive()) return;
  if (HasFlag(kFlagActionStarted)) {
    if (samples_.empty()) {
      samples_.assign(static_cast<std::size_t>(maxSamples_), TrailSample{});
      vertices_.assign(static_cast<std::size_t>(maxSamples_) * 2 + 2, ColourVertex{});
      ResetLists();
    }
    if (material_.Acquire() != nullptr) {
      const Vector3 position = GetPositionWS();
      TakeSample(position);
      QueueRibbon(GetFrameTime(), GetActionValue(), position);
    }
  }
  Object::Draw();
}

// The ribbon starts at the object itself and ends fully transparent at the
// oldest sample drawn.
void Trail::QueueRibbon(float dt, float action, const Vector3& position) {
  const std::uint32_t head = ColorToDword({0, 0, 0, action});
  vertices_[0] = {position.x, position.y, position.z, head, 0, 1};
  vertices_[1] = {position.x, position.y, position.z, head, 0, 0};
  std::size_t written = 0;
  std::int32_t previous = -1;
  for (std::int32_t index = live_; index >= 0; previous = index, index = samples_[static_cast<std::size_t>(index)].next) {
    TrailSample& sample = samples_[static_cast<std::size_t>(index)];
    sample.age += dt;
    if (sample.age > lifetime_) {
      DropFrom(previous, index);
      break;
    }
    sample.colour = Added(sample.colour, sample.colourChange, dt);
    sample.halfWidth += dt * sample.halfWidthChange;
    Vector3 side = sample.direction;
    if (index == live_) {
      Vector3 d;
      Vector3Subtract(d, position, sample.position);
      side = SideDirection(d);
    }
    Color colour = sample.colour;
    colour.a *= action;
    const std::uint32_t packed = ColorToDword(colour);
    const float u = static_cast<float>(written);
    Vector3 low, high;
    Vector3AddScaled(low, sample.position, side, -sample.halfWidth);
    Vector3AddScaled(high, sample.position, side, sample.halfWidth);
    ColourVertex* out = &vertices_[2 + written * 2];
    out[0] = {low.x, low.y, low.z, packed, u, 1};
    out[1] = {high.x, high.y, high.z, packed, u, 0};
    ++written;
  }
  EngineServices* services = GetEngineServices();
  if (written == 0 || services == nullptr) return;
  vertices_[written * 2].colour = vertices_[written * 2 + 1].colour = 0;
  services->GetRenderQueue().QueuePrimitives(vertices_.data(), kColourVertexFormat, kTriangleStrip,
                                             static_cast<std::uint32_t>(written * 2), Matrix4{}, material_.Get(),
                                             1.0f, nullptr, nullptr, nullptr);
}

bool Trail::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(axis_);
  std::int32_t samples = maxSamples_;
  stream.Serialize(samples);
  if (!stream.IsWriting()) {
    maxSamples_ = std::clamp(samples, kMinSamples, kMaxSamples);
    FreeStorage();
  }
  for (float* value : {&minSampleDistance_, &lifetime_, &startSize_, &endSize_}) stream.Serialize(*value);
  stream.Serialize(startColour_);
  stream.Serialize(endColour_);
  material_.Serialize(stream);
  return !stream.Failed();
}

void RegisterTrailCommands() {
  RegisterCommandTable<Trail>(BuildCommandRegistry(), kClassTrail, Trail::Commands());
  GetObjectFactory().RegisterType<Trail>(kClassTrail);
}

}  // namespace tge
