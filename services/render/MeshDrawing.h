// Drawing one mesh part with the device states its geometry needs: its
// second texture on stage 1, lighting by whether the vertices have normals,
// point sprites for point lists. The material is applied before (see
// MaterialType.h).
#pragma once
#include <cstdint>

namespace tge {

class MeshResource;
class RenderDevice;

// 1 when drawn; 0 for a null mesh, a part index past the parts, an inactive
// part or one without geometry.
int DrawMeshPart(RenderDevice& device, MeshResource* mesh, std::uint32_t part);

// Takes a part's second texture off stage 1 again, unless the current
// material type combines stage 1 itself (its next application restores it).
void ReturnBorrowedStageOne(RenderDevice& device);

// Point sprites with point scaling (factors 0, 0, 1) at the given size, or off.
void SetPointSprites(RenderDevice& device, bool on, float size);

}  // namespace tge
