#include "services/render/MorphBlend.h"

#include <cstring>

#include "core/math/Vector.h"
#include "platform/gfx/VertexFormat.h"
#include "services/render/LockedVertices.h"
#include "services/resources/MeshResource.h"
#include "services/resources/MorphMeshResource.h"

namespace tge {
namespace {

Vector3 ReadVector(const std::uint8_t* at) {
  Vector3 v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

void WriteVector(std::uint8_t* at, const Vector3& v) { std::memcpy(at, &v, sizeof v); }

const MeshGeometry* UsableTarget(const MorphMeshResource& morph, std::uint32_t index, std::uint32_t part,
                                 const MeshGeometry& destination) {
  if (index >= morph.targets.size()) return nullptr;
  auto* mesh = ResourceCast<MeshResource>(morph.targets[index].mesh);
  if (!mesh || part >= mesh->parts.size()) return nullptr;
  const MeshGeometry* g = mesh->parts[part].geometry.get();
  const bool matches = g && g->vertexBuffer && g->vertexFormat == destination.vertexFormat &&
                       g->vertexSize == destination.vertexSize && g->vertexCount >= destination.vertexCount;
  return matches ? g : nullptr;
}

// Adds weight x the target's element at offset to the destination's (or
// sets it, for the first target).
void BlendElement(std::uint8_t* out, const std::uint8_t* in, int offset, float weight, bool first) {
  const Vector3 target = ReadVector(in + offset);
  Vector3 sum = first ? Vector3{} : ReadVector(out + offset);
  WriteVector(out + offset, Vector3AddScaled(sum, sum, target, weight));
}

}  // namespace

int BlendMorphMesh(MeshResource* destination, MorphMeshResource* morph, std::uint32_t part, std::uint32_t count,
                   const std::uint32_t* indices, const float* weights) {
  if (!destination || !morph || !indices || !weights || part >= destination->parts.size()) return 0;
  const MeshGeometry* g = destination->parts[part].geometry.get();
  if (!g || !g->vertexBuffer) return 0;
  const gfx::VertexLayout layout = gfx::DecodeVertexFormat(g->vertexFormat);
  if (!layout.valid || layout.pretransformed || layout.position < 0) return 0;
  LockedVertices out(*g->vertexBuffer, 0);
  if (!out.Bytes()) return 0;
  int used = 0;
  for (std::uint32_t e = 0; e < count; ++e) {
    const MeshGeometry* target = UsableTarget(*morph, indices[e], part, *g);
    if (!target) continue;
    LockedVertices in(*target->vertexBuffer, gfx::kLockReadOnly);
    if (!in.Bytes()) continue;
    for (std::uint32_t v = 0; v < g->vertexCount; ++v) {
      const std::size_t at = std::size_t{v} * g->vertexSize;
      BlendElement(out.Bytes() + at, in.Bytes() + at, layout.position, weights[e], used == 0);
      if (layout.normal >= 0) BlendElement(out.Bytes() + at, in.Bytes() + at, layout.normal, weights[e], used == 0);
    }
    ++used;
  }
  if (used > 0 && count > 1 && layout.normal >= 0) {
    for (std::uint32_t v = 0; v < g->vertexCount; ++v) {
      std::uint8_t* at = out.Bytes() + std::size_t{v} * g->vertexSize + layout.normal;
      Vector3 normal = ReadVector(at);
      WriteVector(at, Vector3Normalize(normal, normal));
    }
  }
  return used;
}

}  // namespace tge
