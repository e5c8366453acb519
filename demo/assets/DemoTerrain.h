// The demo's ground and sky: one generated terrain tile of smooth hills
// round a flat middle, where the stage stands, and a sky box with a colour
// gradient and a scrolling cloud layer that follows the camera.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/image/Image.h"

namespace tge {

class MaterialResource;
class ResourceDatabase;
struct SceneDescription;

// The image as "<name>.bmp" in dataFolder under the texture "<name>Tex", and
// the material "<name>Mat" over it; null with the error message set when the
// file cannot be written.
MaterialResource* AddTexturedMaterial(ResourceDatabase& resources, const std::filesystem::path& dataFolder,
                                      const std::string& name, const image::Image& image);

// The demo's height-map tile file: a ten-byte header and 257 x 257 samples.
std::vector<std::uint8_t> MakeDemoTerrainTile();

// The stage stands this far along x and along z, on the tile's flat middle.
inline constexpr float kDemoStageOffset = 1024;

// Adds their resources and files to the scene, and, once the scene's own
// objects are built, moves the stage (the Space named stageName below the
// scene's World) onto the flat middle and adds the Terrain and the Sky to
// it. The terrain fog takes the given range and colour, so that it matches
// the stage's Environment.
void AddDemoTerrain(SceneDescription& scene, const std::string& stageName, const std::string& fogScript);

}  // namespace tge
