// ParticleSystem's drawing: the camera-facing quads it queues after each
// update, four particles at a time, and the walk along the parent's
// subtree.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/ClassIds.h"
#include "core/math/Angles.h"
#include "core/math/Matrix4.h"
#include "core/math/Random.h"
#include "objects/scene/effects/ParticleSystem.h"
#include "services/EngineServices.h"
#include "services/render/Visibility.h"

namespace tge {
namespace {

constexpr float kNodeStepsPerSecond = 8.0f;
constexpr float kNodeTowardsViewer = 0.3f;
constexpr std::uint32_t kTriangleList = 4;
constexpr std::size_t kVerticesPerQuad = 6;

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

// Lane-wise ColorChannelToByte: c < 1 ? c : 1 is std::min(1, c).
UInt4 ChannelBytes(Float4 c) {
  const Float4 clamped = MaxLanes(SplatFloat(0.0f), MinLanes(SplatFloat(1.0f), c));
  return reinterpret_cast<UInt4>(__builtin_convertvector(clamped * 255.0f + 0.5f, Int4));
}

// Lane-wise std::clamp(alpha, 0, 1) x 255 as a byte. For a negative alpha
// the inner min is alpha itself, so the max gives the clamp's 0.
UInt4 AlphaBytes(Float4 alpha) {
  const Float4 clamped = MaxLanes(SplatFloat(0.0f), MinLanes(alpha, SplatFloat(1.0f)));
  return reinterpret_cast<UInt4>(__builtin_convertvector(clamped * 255.0f, Int4));
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
  // Every lane of taken at the cached angle.
  bool Holds(Float4 angles, unsigned taken) const {
    const Int4 same = reinterpret_cast<Int4>(angles) == static_cast<std::int32_t>(bits_);
    return (LaneBits(same) & taken) == taken;
  }
  float Sin() const { return sin_; }
  float Cos() const { return cos_; }

 private:
  // Starts as the angle +0, whose sine is +0 and cosine 1.
  std::uint32_t bits_ = 0;
  float sin_ = 0, cos_ = 1;
};

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

// The camera-facing quads of a frame, written in pool order into the
// system's vertex array: two triangles, six vertices, a live particle. The
// corners are worked out for the four records of a block at once.
class ParticleQuads {
 public:
  // With curves, some source of the pool's particles reads its size and
  // fade curves; without cells, out holds every quad's texture
  // coordinates already.
  ParticleQuads(ColourVertex* out, const Matrix4& toView, float cellSpan, float alphaScale, bool curves, bool cells)
      : out_(out),
        cellSpan_(SplatFloat(cellSpan)),
        alphaFactor_(static_cast<std::uint16_t>(alphaScale)),
        curves_(curves),
        cells_(cells) {
    for (std::size_t i = 0; i < toView_.size(); ++i) toView_[i] = SplatFloat(toView.m[i / 3 * 4 + i % 3]);
  }

  // The quads of the taken records (bits of taken) of a block, count
  // records from first.
  void WriteBlock(const ParticleBlock& block, const Particle* first, std::size_t count, unsigned taken);
  std::size_t GetCount() const { return written_; }

 private:
  // The size and alpha factors of the lanes whose source reads its curves.
  void ApplyCurves(const ParticleBlock& block, const Particle* first, const ParticleRows& rows, unsigned taken,
                   Float4& size, Float4& alpha) const;
  void Turn(Float4 angles, unsigned taken, Float4& sine, Float4& cosine);
  void Emit(Float4 a, Float4 b, Float4 c, Float4 d, const Particle& particle);

  ColourVertex* out_;
  // The view matrix's first three columns, row by row, each element in
  // every lane.
  std::array<Float4, 12> toView_;
  Float4 cellSpan_;
  std::uint16_t alphaFactor_;
  bool curves_;
  bool cells_;
  RotationCache rotation_;
  std::size_t written_ = 0;
};

void ParticleQuads::WriteBlock(const ParticleBlock& block, const Particle* first, std::size_t count,
                               unsigned taken) {
  const ParticleRows rows = LoadParticleRows(first, count);
  const std::array<Float4, 12>& m = toView_;
  const Float4 cx = rows.x * m[0] + rows.y * m[3] + rows.z * m[6] + m[9];
  const Float4 cy = rows.x * m[1] + rows.y * m[4] + rows.z * m[7] + m[10];
  const Float4 cz = rows.x * m[2] + rows.y * m[5] + rows.z * m[8] + m[11];
  Float4 size = block.ramp[kRampSize];
  Float4 alpha = block.ramp[kRampAlpha];
  if (curves_) ApplyCurves(block, first, rows, taken, size, alpha);
  Float4 sine, cosine;
  Turn(block.rotation, taken, sine, cosine);
  const Float4 sn = sine * size;
  const Float4 cs = cosine * size;
  // Both factors are bytes: the product fits the lower word.
  const UInt4 scaled = MultiplyWords(AlphaBytes(alpha), alphaFactor_).lower >> 8;
  const UInt4 colour = ChannelBytes(block.ramp[kRampRed]) << 16 | ChannelBytes(block.ramp[kRampGreen]) << 8 |
                       ChannelBytes(block.ramp[kRampBlue]) | scaled << 24;
  const Float4 colours = reinterpret_cast<Float4>(colour);
  // Corners A to D as x, y, z and colour, then turned into one row a lane.
  std::array<Float4, 4> a{cx - cs, cy - sn, cz, colours}, b{cx - sn, cy + cs, cz, colours};
  std::array<Float4, 4> c{cx + sn, cy - cs, cz, colours}, d{cx + cs, cy + sn, cz, colours};
  for (std::array<Float4, 4>* corner : {&a, &b, &c, &d}) {
    TransposeLanes((*corner)[0], (*corner)[1], (*corner)[2], (*corner)[3]);
  }
  for (std::size_t k = 0; k < kParticleLanes; ++k) {
    if ((taken >> k & 1u) != 0) Emit(a[k], b[k], c[k], d[k], first[k]);
  }
}

void ParticleQuads::ApplyCurves(const ParticleBlock& block, const Particle* first, const ParticleRows& rows,
                                unsigned taken, Float4& size, Float4& alpha) const {
  for (std::size_t k = 0; k < kParticleLanes; ++k) {
    if ((taken >> k & 1u) == 0) continue;
    const ParticleSystem& source = *first[k].source;
    if ((source.GetParticleFlags() & kParticleUseTable) == 0) continue;
    size[k] *= ReadParticleCurve(source.GetSizeCurve(), block.sizeIndex[k]);
    alpha[k] *= ReadParticleCurve(source.GetFadeCurve(), rows.fadeIndex[k]);
  }
}

void ParticleQuads::Turn(Float4 angles, unsigned taken, Float4& sine, Float4& cosine) {
  if (rotation_.Holds(angles, taken)) {
    sine = SplatFloat(rotation_.Sin());
    cosine = SplatFloat(rotation_.Cos());
    return;
  }
  sine = cosine = Float4{};
  for (std::size_t k = 0; k < kParticleLanes; ++k) {
    if ((taken >> k & 1u) == 0) continue;
    rotation_.Set(angles[k]);
    sine[k] = rotation_.Sin();
    cosine[k] = rotation_.Cos();
  }
}

// One quad from its corner rows: triangles A B C and C B D, each vertex
// followed by its texture coordinates when they are to be written.
void ParticleQuads::Emit(Float4 a, Float4 b, Float4 c, Float4 d, const Particle& particle) {
  auto* out = reinterpret_cast<std::byte*>(out_ + written_ * kVerticesPerQuad);
  ++written_;
  const Float4* corners[kVerticesPerQuad] = {&a, &b, &c, &c, &b, &d};
  for (std::size_t i = 0; i < kVerticesPerQuad; ++i) {
    std::memcpy(out + i * sizeof(ColourVertex), corners[i], 4 * sizeof(float));
  }
  if (!cells_) return;
  const Float4 row = LoadParticleRow(particle, offsetof(Particle, life));
  const Float4 near = __builtin_shufflevector(row, row, 2, 3, 2, 3);
  const Float4 far = near + cellSpan_;
  const Float4 nearU = __builtin_shufflevector(far, near, 4, 1, 2, 3);
  const Float4 nearV = __builtin_shufflevector(near, far, 4, 1, 2, 3);
  const Float4* cells[kVerticesPerQuad] = {&near, &nearV, &nearU, &nearU, &nearV, &far};
  for (std::size_t i = 0; i < kVerticesPerQuad; ++i) {
    std::memcpy(out + i * sizeof(ColourVertex) + 4 * sizeof(float), cells[i], 2 * sizeof(float));
  }
}

}  // namespace

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

void ParticleSystem::QueueParticles(float alphaScale) {
  EngineServices* services = GetEngineServices();
  if (services == nullptr || liveCount_ == 0) return;
  const Matrix4& view = services->GetView().GetViewMatrix();
  Matrix4 toView = view;
  if ((particleFlags_ & kParticleLocalSpace) != 0 && GetParent() != nullptr) {
    Matrix4Multiply(toView, GetParent()->GetWorldMatrix(), view);
  }
  // Every particle's source is held: the update let the others go.
  const bool curves = std::ranges::any_of(std::span(heldSources_.data(), heldSourceCount_),
                                          [](const ParticleSystem* source) {
                                            return (source->particleFlags_ & kParticleUseTable) != 0;
                                          });
  const float cellSpan = mapStyle_ == 1 ? 0.234375f : 0.984375f;
  ParticleQuads quads(vertices_.data(), toView, cellSpan, alphaScale, curves, cellSpan != writtenCellSpan_);
  const Particle* pool = pool_.data();
  const ParticleBlock* blocks = blocks_.data();
  ForEachLiveBlock([&](std::size_t first, std::size_t count, unsigned taken) {
    quads.WriteBlock(blocks[first / kParticleLanes], pool + first, count, taken);
  });
  writtenCellSpan_ = cellSpan;
  const Matrix4& inverseView = services->GetView().GetInverseViewMatrix();
  RenderQueue& queue = services->GetRenderQueue();
  for (std::size_t first = 0; first < quads.GetCount(); first += kBatchParticles) {
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(quads.GetCount() - first, kBatchParticles));
    queue.QueuePrimitives(&vertices_[first * kVerticesPerQuad], kColourVertexFormat, kTriangleList, count * 2,
                          inverseView, material_.Get(), 1.0f, nullptr, nullptr, nullptr);
  }
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
