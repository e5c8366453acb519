// Software skinning of one part: each vertex's rest position (and normal)
// through its bones' matrices, weighted, written into the mesh part's own
// vertex buffer at that buffer's stride and offsets, so every vertex layout
// with a position takes it and the other elements stay as they are.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/VertexFormat.h"
#include "services/LockedVertices.h"
#include "services/MeshResource.h"
#include "services/SkinMeshResource.h"

namespace tge {
namespace {

inline void AddScaled(Vector3& sum, const Vector3& v, float s) {
  sum.x += v.x * s;
  sum.y += v.y * s;
  sum.z += v.z * s;
}

inline Vector3 Scaled(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }

inline Vector3 Normalized(const Vector3& v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return length > 0 ? Scaled(v, 1.0f / length) : v;
}

inline void Store(std::uint8_t* at, const Vector3& v) { std::memcpy(at, &v, sizeof v); }

// One influence takes its bone's transform unweighted; several the weighted
// sum of theirs.
Vector3 SkinPosition(const SkinVertex& v, const Matrix4* matrices) {
  Vector3 p = TransformPoint(v.position, matrices[v.bones[0]]);
  if (v.influences == 1) return p;
  p = Scaled(p, v.weights[0]);
  for (int k = 1; k < v.influences; ++k) AddScaled(p, TransformPoint(v.position, matrices[v.bones[k]]), v.weights[k]);
  return p;
}

Vector3 SkinNormal(const SkinVertex& v, const Matrix4* matrices) {
  Vector3 n = TransformDirection(v.normal, matrices[v.bones[0]]);
  if (v.influences > 1) {
    n = Scaled(n, v.weights[0]);
    for (int k = 1; k < v.influences; ++k) AddScaled(n, TransformDirection(v.normal, matrices[v.bones[k]]), v.weights[k]);
  }
  return Normalized(n);
}

}  // namespace

void SkinPart(Resource* skin, std::uint32_t part, const Matrix4* matrices, std::size_t matrixCount) {
  auto* s = ResourceCast<SkinMeshResource>(skin);
  auto* mesh = s ? ResourceCast<MeshResource>(s->mesh) : nullptr;
  if (!mesh || !matrices || part >= s->GetFile().parts.size() || part >= mesh->parts.size()) return;
  const SkinPartData& skinPart = s->GetFile().parts[part];
  const MeshGeometry* g = mesh->parts[part].geometry.get();
  if (!skinPart.enabled || !g || !g->vertexBuffer || matrixCount < s->GetFile().bones.size()) return;
  const gfx::VertexLayout layout = gfx::DecodeVertexFormat(g->vertexFormat);
  if (!layout.valid || layout.pretransformed || layout.position < 0 || g->vertexSize < layout.size) return;
  LockedVertices out(*g->vertexBuffer, 0);
  if (!out.Bytes()) return;
  const std::size_t count = std::min<std::size_t>(skinPart.vertices.size(), g->vertexCount);
  std::uint8_t* at = out.Bytes();
  for (std::size_t i = 0; i < count; ++i, at += g->vertexSize) {
    const SkinVertex& v = skinPart.vertices[i];
    Store(at + layout.position, SkinPosition(v, matrices));
    if (layout.normal >= 0) Store(at + layout.normal, SkinNormal(v, matrices));
  }
}

}  // namespace tge
