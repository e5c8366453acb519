// The demo game's generated assets: a crate texture drawn in code, a box
// mesh whose every face carries the whole texture, and sounds as WAVE files.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gfx/Meshes.h"
#include "platform/image/Image.h"

namespace tge {

// A square image of boards inside a dark frame, side pixels wide.
image::Image MakeCrateImage(std::uint32_t side);

// A box of the given edge around its centre: four vertices per face with
// position, normal and one pair of texture coordinates running 0 to 1
// across the face.
gfx::MeshData MakeTexturedBox(float size);

// Mono 16-bit PCM in a RIFF WAVE file, from samples in -1 to 1.
std::vector<std::uint8_t> EncodePcmWave(std::span<const float> samples, std::uint32_t rate);

}  // namespace tge
