// Blending morph targets into a mesh part's vertices: positions (and
// normals, when the vertices have them) become the weighted sum of the
// targets' matching parts. A target is used only when its index is in the
// morph mesh's list and its part has the destination's vertex format,
// stride and at least as many vertices; others are passed over.
#pragma once
#include <cstdint>

namespace tge {

class MeshResource;
class MorphMeshResource;

// The first usable target sets the vertices, the others add to them; with
// more than one blend entry the normals are normalised afterwards. Nothing
// changes when no target is usable. Returns the number of targets used.
int BlendMorphMesh(MeshResource* destination, MorphMeshResource* morph, std::uint32_t part, std::uint32_t count,
                   const std::uint32_t* indices, const float* weights);

}  // namespace tge
