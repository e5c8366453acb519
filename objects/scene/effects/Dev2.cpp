// Dev2's command table, pool, the two effects' steps and triangles, and its
// file record.
#include "objects/scene/effects/Dev2.h"

#include <algorithm>
#include <cmath>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/math/Matrix4.h"
#include "core/math/Random.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr std::uint32_t kTriangleList = 4;
constexpr float kSpawnInterval = 0.1f;
constexpr float kArrivalDistance = 0.4f;
constexpr float kAttractRadius = 3.0f;
constexpr float kMoteHalfSize = 0.5f;
constexpr float kSwarmRadius = 60.0f;
constexpr float kSwarmSizeScale = 0.8f;
constexpr float kSwarmFadeIn = 0.2f;
constexpr float kSwarmOpacity = 0.5f;
constexpr float kBoxCheckInterval = 1.0f;

// A particle beyond a wall of the box and still heading away turns back.
void TurnBack(float position, float& velocity, float low, float high) {
  if ((position < low && velocity < 0) || (position > high && velocity > 0)) velocity = -velocity;
}

}  // namespace

// clang-format off
constexpr CommandEntry<Dev2> Dev2::kCommands[] = {
    {9000, "Dev2Type", P, 0, {kValueDword}, FieldSetter<&Dev2::type_>, FieldGetter<&Dev2::type_>},
    {9002, "Dev2Material", P, 0, {kValueString}, Member<&Dev2::SetMaterialCommand>, Member<&Dev2::GetMaterialCommand>},
    {9004, "Dev2MaxParticle", P, 0, {kValueDword}, Member<&Dev2::SetMaxParticlesCommand>, FieldGetter<&Dev2::maxParticles_>},
    {9006, "Dev2SpawnVolume", P, 0, {kValueVector3}, FieldSetter<&Dev2::spawnVolume_>, FieldGetter<&Dev2::spawnVolume_>},
    {9008, "Dev2SpawnVolumeBox", P, 0, {kValueBool}, LowBitFlagSetter<&Dev2::deviceFlags_, kDev2SpawnVolumeBox>, FlagGetter<&Dev2::deviceFlags_, kDev2SpawnVolumeBox>},
    {9010, "Dev2AttractPosition", P, 0, {kValueVector3}, FieldSetter<&Dev2::attractPosition_>, FieldGetter<&Dev2::attractPosition_>},
    {9012, "Dev2AttractVolume", P, 0, {kValueVector3}, FieldSetter<&Dev2::attractVolume_>, FieldGetter<&Dev2::attractVolume_>},
    {9014, "Dev2AttractVolumeBox", P, 0, {kValueBool}, LowBitFlagSetter<&Dev2::deviceFlags_, kDev2AttractVolumeBox>, FlagGetter<&Dev2::deviceFlags_, kDev2AttractVolumeBox>},
    {9016, "Dev2MinOpacity", P, 0, {kValueFloat}, FieldSetter<&Dev2::minOpacity_>, FieldGetter<&Dev2::minOpacity_>},
    {9018, "Dev2MaxOpacity", P, 0, {kValueFloat}, FieldSetter<&Dev2::maxOpacity_>, FieldGetter<&Dev2::maxOpacity_>},
    {9020, "Dev2MinSize", P, 0, {kValueFloat}, FieldSetter<&Dev2::minSize_>, FieldGetter<&Dev2::minSize_>},
    {9022, "Dev2MaxSize", P, 0, {kValueFloat}, FieldSetter<&Dev2::maxSize_>, FieldGetter<&Dev2::maxSize_>},
};

std::span<const CommandEntry<Dev2>> Dev2::Commands() { return kCommands; }
// clang-format on

Dev2::Dev2() : ParticleDevice(kClassDev2, "Dev2", 200, {0, 0, 0}) {}

int Dev2::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Dev2> handlers(kClassDev2, {kCommands});
  handlers.Run(*this, id, args);
  if (id == kCommandCollectResources && args != nullptr) material_.Collect(*static_cast<ResourceSet*>(args));
  return Object::ExecuteCommand(id, args);
}

// The copy makes its own pool at its first Precalculate.
void Dev2::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  pool_ = {};
  vertices_ = {};
  live_ = free_ = -1;
}

std::vector<const Dev2Particle*> Dev2::GetLiveParticles() const {
  std::vector<const Dev2Particle*> out;
  for (std::int32_t i = live_; i >= 0; i = pool_[static_cast<std::size_t>(i)].next) {
    out.push_back(&pool_[static_cast<std::size_t>(i)]);
  }
  return out;
}

void Dev2::Precalculate() {
  if (pool_.empty() && maxParticles_ > 0) {
    pool_.assign(maxParticles_, Dev2Particle{});
    for (std::size_t i = 0; i + 1 < pool_.size(); ++i) pool_[i].next = static_cast<std::int32_t>(i + 1);
    free_ = 0;
    live_ = -1;
    AllocateTriangles(maxParticles_);
  }
  material_.Acquire();
  Object::Precalculate();
}

Dev2Particle* Dev2::TakeFreeParticle() {
  if (free_ < 0) return nullptr;
  const std::int32_t index = free_;
  Dev2Particle& particle = pool_[static_cast<std::size_t>(index)];
  free_ = particle.next;
  particle.next = live_;
  live_ = index;
  return &particle;
}

template <class Place>
void Dev2::SpawnEvery(float dt, Place place) {
  spawnTimer_ += dt;
  if (spawnTimer_ <= kSpawnInterval) return;
  spawnTimer_ = 0;
  if (Dev2Particle* particle = TakeFreeParticle()) place(*particle);
}

template <class Step>
void Dev2::StepLive(Step step) {
  std::int32_t previous = -1;
  for (std::int32_t index = live_; index >= 0;) {
    Dev2Particle& particle = pool_[static_cast<std::size_t>(index)];
    const std::int32_t next = particle.next;
    if (step(particle)) {
      previous = index;
    } else {
      (previous < 0 ? live_ : pool_[static_cast<std::size_t>(previous)].next) = next;
      particle.next = free_;
      free_ = index;
    }
    index = next;
  }
}

void Dev2::Draw() {
  if (!GetActive()) return;
  if (!pool_.empty()) {
    material_.Acquire();
    const float dt = GetFrameTime();
    const Vector3 origin = GetPositionWS();
    if (type_ == kAttract) DrawAttract(dt, origin);
    if (type_ == kSwarm) DrawSwarm(dt, origin);
  }
  Object::Draw();
}

void Dev2::DrawAttract(float dt, const Vector3& origin) {
  SpawnEvery(dt, [&origin](Dev2Particle& particle) {
    particle.position = {origin.x + RandomSigned() + 1, origin.y + RandomSigned() + 2, origin.z + RandomSigned() + 1};
    particle.velocity = {0, 1, 0};
    particle.colour = {0.1f, 0.1f, 0.1f, 1.0f};
    Vector3 away;
    particle.referenceDistance = Vector3Length(Vector3Subtract(away, origin, particle.position));
  });
  StepLive([&origin, dt](Dev2Particle& particle) {
    Vector3 towards;
    const float d = Vector3Length(Vector3Subtract(towards, origin, particle.position));
    if (d < kArrivalDistance) return false;
    const float k = particle.referenceDistance / d;
    if (k > 1) {
      Vector3 direction;
      Vector3AddScaled(particle.velocity, particle.velocity, Vector3Normalize(direction, towards), k * k * dt);
    } else {
      Vector3AddScaled(particle.velocity, particle.velocity, towards, 0.5f * dt);
    }
    particle.referenceDistance = std::max(particle.referenceDistance, d);
    Vector3AddScaled(particle.position, particle.position, particle.velocity, dt);
    return true;
  });
  Vector3 forward, right, up;
  EngineServices* services = GetEngineServices();
  if (services != nullptr) Vector3Subtract(forward, origin, services->GetView().GetCameraPosition());
  Vector3Normalize(forward, forward);
  Vector3Cross(right, forward, {0, 1, 0});
  Vector3Cross(up, right, forward);
  QueueTriangles(origin, kAttractRadius, kMoteHalfSize, [&](const Vector3& at, Vector3& a, Vector3& b, Vector3& c) {
    Vector3AddScaled(a, at, up, -kMoteHalfSize);
    Vector3AddScaled(b, at, right, kMoteHalfSize);
    Vector3AddScaled(c, at, right, -kMoteHalfSize);
  });
}

void Dev2::DrawSwarm(float dt, const Vector3& origin) {
  SpawnEvery(dt, [this](Dev2Particle& particle) {
    particle.position = RandomPointIn(SpawnBoxWS());
    particle.velocity = {RandomSigned() * 0.4f, RandomSigned() * 0.1f, RandomSigned() * 0.4f};
    particle.colour = {1, 1, 1, 0};
  });
  boxTimer_ += dt;
  const bool check = boxTimer_ > kBoxCheckInterval;
  AABox box;
  if (check) {
    boxTimer_ = 0;
    box = SpawnBoxWS();
  }
  StepLive([&box, check, dt](Dev2Particle& particle) {
    Vector3AddScaled(particle.position, particle.position, particle.velocity, dt);
    if (particle.colour.a < kSwarmOpacity) particle.colour.a = std::min(particle.colour.a + dt * kSwarmFadeIn, kSwarmOpacity);
    if (check) {
      TurnBack(particle.position.x, particle.velocity.x, box.min.x, box.max.x);
      TurnBack(particle.position.y, particle.velocity.y, box.min.y, box.max.y);
      TurnBack(particle.position.z, particle.velocity.z, box.min.z, box.max.z);
    }
    return true;
  });
  const float s = maxSize_ * kSwarmSizeScale;
  QueueTriangles(origin, kSwarmRadius, std::abs(s), [s](const Vector3& at, Vector3& a, Vector3& b, Vector3& c) {
    a = {at.x, at.y, at.z + s};
    b = {at.x + s, at.y, at.z};
    c = {at.x - s, at.y, at.z};
  });
}

template <class Corners>
void Dev2::QueueTriangles(const Vector3& origin, float minimumRadius, float reach, Corners corners) {
  std::size_t written = 0;
  float farthest = 0;
  for (std::int32_t index = live_; index >= 0; index = pool_[static_cast<std::size_t>(index)].next) {
    const Dev2Particle& particle = pool_[static_cast<std::size_t>(index)];
    Vector3 a, b, c, offset;
    corners(particle.position, a, b, c);
    const std::uint32_t colour = ColorToDword(particle.colour);
    ColourVertex* out = &vertices_[written * kVerticesPerParticle];
    for (const Vector3* corner : {&a, &b, &c}) {
      out->x = corner->x;
      out->y = corner->y;
      out->z = corner->z;
      out->colour = colour;
      ++out;
    }
    farthest = std::max(farthest, Vector3Length(Vector3Subtract(offset, particle.position, origin)));
    ++written;
  }
  bounds_ = {origin, std::max(minimumRadius, farthest + reach)};
  EngineServices* services = GetEngineServices();
  if (services == nullptr) return;
  for (std::size_t first = 0; first < written; first += kBatchParticles) {
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(kBatchParticles, written - first));
    services->GetRenderQueue().QueuePrimitives(&vertices_[first * kVerticesPerParticle], kColourVertexFormat,
                                               kTriangleList, count, Matrix4{}, material_.Get(), 1.0f, nullptr,
                                               &bounds_, nullptr);
  }
}

bool Dev2::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(deviceFlags_);
  if (stream.GetVersion() < 13) return !stream.Failed();
  stream.Serialize(type_);
  material_.Serialize(stream);
  SerializeMaxParticles(stream);
  stream.Serialize(spare_);
  for (Vector3* value : {&spawnVolume_, &attractPosition_, &attractVolume_}) stream.Serialize(*value);
  for (float* value : {&minOpacity_, &maxOpacity_, &minSize_, &maxSize_}) stream.Serialize(*value);
  return !stream.Failed();
}

void RegisterDev2Commands() {
  RegisterCommandTable<Dev2>(BuildCommandRegistry(), kClassDev2, Dev2::Commands());
  GetObjectFactory().RegisterType<Dev2>(kClassDev2);
}

}  // namespace tge
