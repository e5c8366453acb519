// ParticleSystem's frame: the update that steps, kills and emits particles,
// the camera-facing quads it queues, and the walk along the parent's subtree.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "core/math/Angles.h"
#include "core/math/Matrix4.h"
#include "core/math/Random.h"
#include "objects/scene/effects/ParticleSystem.h"
#include "services/EngineServices.h"
#include "services/render/Visibility.h"

namespace tge {
namespace {

constexpr std::uint32_t kCommandActionKillPost = 80;
constexpr float kFadeStart = 36.0f;
constexpr float kFadeEnd = 40.0f;
constexpr float kIdleRadius = 20.0f;
constexpr float kNodeStepsPerSecond = 8.0f;
constexpr float kNodeTowardsViewer = 0.3f;
constexpr std::uint32_t kTriangleList = 4;

// The smallest sphere holding the sphere and the point.
Sphere GrownToHold(const Sphere& sphere, const Vector3& point) {
  Vector3 offset;
  Vector3Subtract(offset, point, sphere.centre);
  const float distance = Vector3Length(offset);
  if (distance <= sphere.radius) return sphere;
  const float radius = (distance + sphere.radius) * 0.5f;
  Sphere grown{{}, radius};
  Vector3AddScaled(grown.centre, sphere.centre, offset, (radius - sphere.radius) / distance);
  return grown;
}

std::uint32_t ParticleColour(const Particle& particle, float alpha, std::uint32_t alphaScale) {
  const auto alphaByte = static_cast<std::uint32_t>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f);
  const auto scaled = (alphaByte * alphaScale) >> 8;
  return ColorChannelToByte(particle.colour[0]) << 16 | ColorChannelToByte(particle.colour[1]) << 8 |
         ColorChannelToByte(particle.colour[2]) | (scaled << 24);
}

// The sine and cosine of the last angle asked for: a system's particles
// mostly share their rotation.
class RotationCache {
 public:
  void Set(float angle) {
    const auto bits = std::bit_cast<std::uint32_t>(angle);
    if (bits == bits_) return;
    bits_ = bits;
    sin_ = FloatSin(angle);
    cos_ = FloatCos(angle);
  }
  float Sin() const { return sin_; }
  float Cos() const { return cos_; }

 private:
  // Starts as the angle +0, whose sine is +0 and cosine 1.
  std::uint32_t bits_ = 0;
  float sin_ = 0, cos_ = 1;
};

// One particle's step; true when it is due to leave a trail particle.
bool StepParticle(Particle& particle, const ParticleCurve& speedCurve, bool animated, bool trailing, float dt,
                  std::uint32_t dtFixed) {
  particle.age += dt;
  particle.speedMul += dt * particle.speedMulChange;
  const float speedFactor = particle.speedMul * ReadParticleCurve(speedCurve, particle.speedIndex);
  particle.speedIndex = AdvanceCurveIndex(particle.speedIndex, particle.speedStep, dtFixed);
  particle.sizeIndex = AdvanceCurveIndex(particle.sizeIndex, particle.sizeStep, dtFixed);
  particle.fadeIndex = AdvanceCurveIndex(particle.fadeIndex, particle.fadeStep, dtFixed);
  particle.previous = particle.position;
  Vector3AddScaled(particle.position, particle.position, particle.velocity, speedFactor * dt);
  particle.velocity.y -= dt * particle.gravity * kParticleGravityScale;
  if (animated) {
    particle.frameCounter += dt * particle.framesPerSecond;
    if (std::trunc(particle.frameCounter) != std::trunc(particle.frameShown)) {
      const auto frame = static_cast<std::uint32_t>(particle.frameCounter);
      particle.u = ParticleAtlasCoordinate(frame & 3);
      particle.v = ParticleAtlasCoordinate(frame >> 2);
      particle.frameShown = particle.frameCounter;
    }
  }
  for (int c = 0; c < 3; ++c) particle.colour[c] += dt * particle.colourChange[c];
  particle.spin += dt * particle.spinChange;
  particle.rotation += particle.spin;
  particle.alpha += dt * particle.alphaChange;
  particle.size += dt * particle.sizeChange;
  particle.gravity += dt * particle.gravityChange;
  if (!trailing) return false;
  particle.trailRate += dt * particle.trailRateChange;
  particle.trailCounter += particle.trailRate * dt;
  if (particle.trailCounter <= 1.0f) return false;
  particle.trailCounter -= 1.0f;
  return true;
}

// A child of node that is no particle system, picked at random; null when
// there is none.
Object* PickNode(const Object& node) {
  int count = 0;
  for (int i = 0; i < node.GetChildCount(); ++i) count += node.GetChild(i)->GetClassId() != kClassParticleSystem;
  if (count == 0) return nullptr;
  int pick = Rand() % count;
  for (int i = 0; i < node.GetChildCount(); ++i) {
    Object* child = node.GetChild(i);
    if (child->GetClassId() != kClassParticleSystem && pick-- == 0) return child;
  }
  return nullptr;
}

}  // namespace

std::span<const ParticleSystem* const> ParticleSystem::HeldSources() {
  heldSourceCount_ = 0;
  for (const ParticleSystem* source = this; source != nullptr && heldSourceCount_ < heldSources_.size();
       source = source->trailSystem_.Get()) {
    if (Holds(source)) break;
    heldSources_[heldSourceCount_++] = source;
  }
  return {heldSources_.data(), heldSourceCount_};
}

bool ParticleSystem::Holds(const ParticleSystem* source) const {
  const auto end = heldSources_.begin() + static_cast<std::ptrdiff_t>(heldSourceCount_);
  return std::find(heldSources_.begin(), end, source) != end;
}

void ParticleSystem::Draw() {
  EngineServices* services = GetEngineServices();
  if (!GetActive() || services == nullptr) return;
  ViewState& view = services->GetView();
  const Sphere bounds = GrownToHold({boundsCentre_, boundsRadius_}, GetPositionWS());
  if ((particleFlags_ & kParticleSphereCull) != 0 && view.TestSphereInFrustum(bounds, nullptr, false) == kSphereOutside) {
    Object::Draw();
    return;
  }
  material_.Acquire();
  float alphaScale = 255.0f;
  bool drawn = static_cast<bool>(material_);
  if ((particleFlags_ & kParticleDistanceFade) != 0) {
    Vector3 offset;
    Vector3Subtract(offset, GetPositionWS(), view.GetCameraPosition());
    cameraDistance_ = Vector3Length(offset);
    if (cameraDistance_ > kFadeEnd) drawn = false;
    if (cameraDistance_ > kFadeStart) alphaScale = std::trunc((kFadeEnd - cameraDistance_) * 0.25f * 255.0f);
    if (alphaScale <= 0) drawn = false;
  }
  if (drawn) {
    if ((particleFlags_ & kParticleNodeAnimated) != 0) MoveAlongNodes();
    if (!UpdateParticles(GetFrameTime(), EmitterPosition(), EmitterDirection())) return;
    QueueParticles(alphaScale);
  }
  Object::Draw();
}

bool ParticleSystem::UpdateParticles(float dt, const Vector3& position, const Vector3& direction) {
  AllocateStorage(-1);
  updatedSinceTick_ = true;
  HeldSources();
  const float big = std::numeric_limits<float>::max();
  Vector3 minimum{big, big, big}, maximum{-big, -big, -big};
  const float frameTime = std::max(dt, 0.0f);
  const auto dtFixed = static_cast<std::uint32_t>(std::min(frameTime * 65536.0f, 4.0e9f));
  currentPosition_ = position;
  StepParticles(frameTime, dtFixed, minimum, maximum);
  if (!SendLastDeathPost()) return false;
  if (liveCount_ == 0) {
    boundsCentre_ = position;
    boundsRadius_ = kIdleRadius;
  } else {
    for (auto [low, high, at] : {std::tuple{&minimum.x, &maximum.x, position.x},
                                 std::tuple{&minimum.y, &maximum.y, position.y},
                                 std::tuple{&minimum.z, &maximum.z, position.z}}) {
      *low = std::min(*low, at);
      *high = std::max(*high, at);
    }
    Vector3Lerp(boundsCentre_, minimum, maximum, 0.5f);
    Vector3 half;
    Vector3Subtract(half, maximum, boundsCentre_);
    boundsRadius_ = Vector3Length(half) + 1.0f;
  }
  Emit(frameTime, direction);
  previousPosition_ = position;
  return true;
}

// Records of one source follow each other: what the source decides (held
// or let go, its trail) is looked up once per run of them.
void ParticleSystem::StepParticles(float dt, std::uint32_t dtFixed, Vector3& minimum, Vector3& maximum) {
  const ParticleSystem* source = nullptr;
  const ParticleSystem* trail = nullptr;
  bool held = false;
  const bool animated = (particleFlags_ & kParticleAnimatedTexture) != 0;
  Vector3 low = minimum, high = maximum;
  for (std::size_t index = 0; index < pool_.size(); ++index) {
    Particle& particle = pool_[index];
    if (particle.source == nullptr) continue;
    if (particle.source != source) {
      source = particle.source;
      held = Holds(source);
      trail = held ? source->trailSystem_.Get() : nullptr;
      if (trail != nullptr && !Holds(trail)) trail = nullptr;
    }
    if (held && particle.age + dt < particle.life) {
      if (StepParticle(particle, source->speedTable_, animated, trail != nullptr, dt, dtFixed)) {
        Vector3 velocity;
        Vector3Scale(velocity, particle.velocity, particle.speedMul);
        Spawn(*trail, particle.position, particle.previous, velocity, &particle);
      }
      const Vector3& at = particle.position;
      low = {std::min(low.x, at.x), std::min(low.y, at.y), std::min(low.z, at.z)};
      high = {std::max(high.x, at.x), std::max(high.y, at.y), std::max(high.z, at.z)};
      continue;
    }
    particle.source = nullptr;
    FreeRecord(index);
    if (liveCount_ == 0) continue;
    if (--liveCount_ != 0) continue;
    if ((particleFlags_ & kParticleKillPending) != 0) {
      particleFlags_ &= ~kParticleKillPending;
      deathPost_ = kCommandActionKillPost;
    } else if ((particleFlags_ & kParticleStopPending) != 0) {
      particleFlags_ &= ~kParticleStopPending;
      deathPost_ = kCommandActionStopPost;
    } else if (particlesPerSec_ == 0) {
      deathPost_ = kCommandActionStopPost;
    }
  }
  minimum = low;
  maximum = high;
}

bool ParticleSystem::SendLastDeathPost() {
  const std::uint32_t post = deathPost_;
  deathPost_ = 0;
  if (post == 0) return true;
  const DeletionHold hold;
  ExecuteCommand(post, nullptr);
  return !IsRetired();
}

float ParticleSystem::EmissionFactor() const {
  if ((particleFlags_ & kParticleDistanceFade) == 0 || cameraDistance_ <= kFadeStart) return 1.0f;
  return cameraDistance_ >= kFadeEnd ? 0.0f : (kFadeEnd - cameraDistance_) * 0.25f;
}

// At most as many as the pool has room for: the rest could find no record.
void ParticleSystem::Emit(float dt, const Vector3& direction) {
  const float due = GetActionValue() * particlesPerSec_ * EmissionFactor() * dt + emissionResidue_;
  if (!std::isfinite(due)) {
    emissionResidue_ = 0;
    return;
  }
  const float whole = std::trunc(due);
  emissionResidue_ = due - whole;
  const std::uint32_t room = maxParticles_ - std::min(liveCount_, maxParticles_);
  const auto count = whole > 0 ? static_cast<std::uint32_t>(std::min(whole, static_cast<float>(room))) : 0u;
  for (std::uint32_t i = 0; i < count; ++i) Spawn(*this, currentPosition_, previousPosition_, direction, nullptr);
}

void ParticleSystem::QueueParticles(float alphaScale) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr || liveCount_ == 0) return;
  const Matrix4& view = services->GetView().GetViewMatrix();
  Matrix4 inverseView;
  Matrix4Inverse(inverseView, nullptr, view);
  Matrix4 toView = view;
  if ((particleFlags_ & kParticleLocalSpace) != 0 && GetParent() != nullptr) {
    Matrix4Multiply(toView, GetParent()->GetWorldMatrix(), view);
  }
  RenderQueue& queue = services->GetRenderQueue();
  std::size_t next = 0;
  std::size_t written = 0;
  while (next < pool_.size()) {
    const std::size_t first = written;
    const std::uint32_t count = WriteQuads(first, first + kBatchParticles, toView, alphaScale, next);
    if (count == 0) break;
    queue.QueuePrimitives(&vertices_[first * 6], kColourVertexFormat, kTriangleList, count * 2, inverseView,
                          material_.Get(), 1.0f, nullptr, nullptr, nullptr);
    written += count;
  }
}

// Quads for pool records from next on, into vertex slots first to end;
// next is left after the last record read.
std::uint32_t ParticleSystem::WriteQuads(std::size_t first, std::size_t end, const Matrix4& toView,
                                         float alphaScale, std::size_t& next) {
  const float t = mapStyle_ == 1 ? 0.234375f : 0.984375f;
  const auto alphaFactor = static_cast<std::uint32_t>(alphaScale);
  RotationCache rotation;
  std::size_t slot = first;
  for (; next < pool_.size() && slot < end; ++next) {
    const Particle& particle = pool_[next];
    const ParticleSystem* p = particle.source;
    if (p == nullptr) continue;
    const Vector3 c = TransformPoint(particle.position, toView);
    float s = particle.size;
    float a = particle.alpha;
    if ((p->particleFlags_ & kParticleUseTable) != 0) {
      s *= ReadParticleCurve(p->sizeTable_, particle.sizeIndex);
      a *= ReadParticleCurve(p->fadeTable_, particle.fadeIndex);
    }
    rotation.Set(particle.rotation);
    const float sn = rotation.Sin() * s;
    const float cs = rotation.Cos() * s;
    const std::uint32_t colour = ParticleColour(particle, a, alphaFactor);
    const float u = particle.u, v = particle.v;
    const ColourVertex A{c.x - cs, c.y - sn, c.z, colour, u, v};
    const ColourVertex B{c.x - sn, c.y + cs, c.z, colour, u + t, v};
    const ColourVertex C{c.x + sn, c.y - cs, c.z, colour, u, v + t};
    const ColourVertex D{c.x + cs, c.y + sn, c.z, colour, u + t, v + t};
    ColourVertex* out = &vertices_[slot * 6];
    out[0] = A;
    out[1] = B;
    out[2] = C;
    out[3] = C;
    out[4] = B;
    out[5] = D;
    ++slot;
  }
  return static_cast<std::uint32_t>(slot - first);
}

void ParticleSystem::StartNodeWalk() {
  Object* parent = GetParent();
  nodeRoot_.Set(parent);
  previousNode_.Set(parent);
  targetNode_.Set(parent);
  nodeProgress_ = 0;
  if (parent == nullptr || parent->GetChildCount() == 0) return;
  targetNode_.Set(parent->GetChild(Rand() % parent->GetChildCount()));
  particleFlags_ |= kParticleNodeDescending;
}

// One edge every eighth of a second: from the parent down a random branch to
// a leaf, back up, and down again. A node that is gone restarts the walk.
void ParticleSystem::MoveAlongNodes() {
  if (!nodeRoot_ || !previousNode_ || !targetNode_) StartNodeWalk();
  Object* root = nodeRoot_.Get();
  if (root == nullptr) return;
  nodeProgress_ += GetFrameTime() * kNodeStepsPerSecond;
  if (nodeProgress_ > 1.0f) {
    Object* target = targetNode_.Get();
    previousNode_.Set(target);
    if (target == root) {
      if (Object* node = PickNode(*root)) targetNode_.Set(node);
      particleFlags_ |= kParticleNodeDescending;
    } else if ((particleFlags_ & kParticleNodeDescending) != 0 && target->GetChildCount() > 0) {
      targetNode_.Set(target->GetChild(Rand() % target->GetChildCount()));
    } else {
      targetNode_.Set(target->GetParent());
      particleFlags_ &= ~kParticleNodeDescending;
      if (!targetNode_) targetNode_.Set(root);
    }
    nodeProgress_ = 0;
  }
  EngineServices* services = GetEngineServices();
  Vector3 place;
  Vector3Lerp(place, previousNode_->GetPositionWS(), targetNode_->GetPositionWS(), nodeProgress_);
  if (services != nullptr) {
    Vector3AddScaled(place, place, services->GetView().GetCameraForward(), -kNodeTowardsViewer);
  }
  SetPosition(place, true);
}

}  // namespace tge
