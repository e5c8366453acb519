#include "objects/scene/effects/ParticleDevice.h"

#include <memory>

#include "core/files/SerializeStream.h"
#include "core/math/Matrix4.h"
#include "core/math/Random.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

// Each particle's triangle takes the same corner of the texture.
constexpr float kTriangleUv[ParticleDevice::kVerticesPerParticle][2] = {{0, 0}, {1, 0}, {1, 1}};

}  // namespace

ParticleDevice::ParticleDevice(int classId, const char* typeName, std::uint32_t maxParticles,
                               const Vector3& spawnVolume)
    : Object(classId), typeName_(typeName), maxParticles_(maxParticles), spawnVolume_(spawnVolume) {}

ParticleDevice::~ParticleDevice() { FreeTriangles(); }

int ParticleDevice::SetMaxParticlesCommand(CommandArgs args) {
  maxParticles_ = ClampParticlePool(args.Get<std::uint32_t>(), typeName_, GetName());
  return 1;
}

int ParticleDevice::SetMaterialCommand(CommandArgs args) {
  material_.SetName(args.AsString());
  return 1;
}

int ParticleDevice::GetMaterialCommand(CommandArgs args) {
  args.AsString() = material_.GetName();
  return 1;
}

void ParticleDevice::SerializeMaxParticles(SerializeStream& stream) {
  stream.Serialize(maxParticles_);
  if (!stream.IsWriting()) maxParticles_ = ClampParticlePool(maxParticles_, typeName_, GetName());
}

void ParticleDevice::AllocateTriangles(std::size_t count) {
  FreeTriangles();
  vertices_.assign(count * kVerticesPerParticle, ColourVertex{});
  for (std::size_t i = 0; i < vertices_.size(); ++i) {
    vertices_[i].u = kTriangleUv[i % kVerticesPerParticle][0];
    vertices_[i].v = kTriangleUv[i % kVerticesPerParticle][1];
  }
}

// The vertices may sit in this frame's queue: the services keep them until
// the frame has ended.
void ParticleDevice::FreeTriangles() {
  EngineServices* services = GetEngineServices();
  if (services != nullptr && !vertices_.empty()) {
    services->GetRenderQueue().KeepUntilReset(std::make_shared<std::vector<ColourVertex>>(std::move(vertices_)));
  }
  vertices_ = {};
}

AABox ParticleDevice::SpawnBoxWS() {
  Vector3 half;
  Vector3Scale(half, spawnVolume_, 0.5f);
  Vector3 low;
  Vector3Scale(low, half, -1.0f);
  AABox box{low, half};
  return AABoxTransform(box, box, GetWorldMatrix());
}

Vector3 ParticleDevice::RandomPointIn(const AABox& box) {
  return {box.min.x + RandomUnit() * (box.max.x - box.min.x), box.min.y + RandomUnit() * (box.max.y - box.min.y),
          box.min.z + RandomUnit() * (box.max.z - box.min.z)};
}

}  // namespace tge
