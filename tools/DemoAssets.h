// The demo game's generated assets: a crate texture drawn in code and a box
// mesh whose every face carries the whole texture.
#pragma once
#include "platform/gfx/Meshes.h"
#include "platform/image/Image.h"

namespace tge {

// A square image of boards inside a dark frame, side pixels wide.
image::Image MakeCrateImage(std::uint32_t side);

// A box of the given edge around its centre: four vertices per face with
// position, normal and one pair of texture coordinates running 0 to 1
// across the face.
gfx::MeshData MakeTexturedBox(float size);

}  // namespace tge
