// Software skinning of one part: each vertex's rest position (and normal)
// through its bones' matrices, weighted, written into the mesh part's own
// vertex buffer at that buffer's stride and offsets, so every vertex layout
// with a position takes it and the other elements stay as they are.
#include <algorithm>
#include <cstring>

#include "platform/gfx/VertexFormat.h"
#include "services/render/LockedVertices.h"
#include "services/resources/MeshResource.h"
#include "services/resources/SkinMeshResource.h"

namespace tge {
namespace {

inline void Store(std::uint8_t* at, const Vector3& v) { std::memcpy(at, &v, sizeof v); }

// One influence takes its bone's transform unweighted; several the weighted
// sum of theirs.
Vector3 SkinPosition(const SkinVertex& v, const Matrix4* matrices) {
  Vector3 p = TransformPoint(v.position, matrices[v.bones[0]]);
  if (v.influences == 1) return p;
  p *= v.weights[0];
  for (int k = 1; k < v.influences; ++k) p += TransformPoint(v.position, matrices[v.bones[k]]) * v.weights[k];
  return p;
}

Vector3 SkinNormal(const SkinVertex& v, const Matrix4* matrices) {
  Vector3 n = TransformDirection(v.normal, matrices[v.bones[0]]);
  if (v.influences > 1) {
    n *= v.weights[0];
    for (int k = 1; k < v.influences; ++k) n += TransformDirection(v.normal, matrices[v.bones[k]]) * v.weights[k];
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
