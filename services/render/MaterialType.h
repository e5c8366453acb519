// The twelve built-in material types and how a material is made current
// before a draw. A material names its type by index; the type decides
// blending, depth and alpha tests and how the texture stages combine, the
// material adds its colours, its texture layers and a few flags. The render
// queue files its commands into draw lists by the same type ids.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/Types.h"

namespace tge {

class MaterialResource;
class RenderDevice;

enum MaterialTypeId : std::uint32_t {
  kMaterialStandard = 0,
  kMaterialAdd = 1,
  kMaterialWireframeColor = 2,
  kMaterialSolidColor = 3,
  kMaterialTextureFont = 4,
  kMaterialMul = 5,
  kMaterialShadow = 6,
  kMaterialTextureAlpha = 7,
  kMaterialTextureAlphaSortIndependent = 8,
  kMaterialEnvironment = 9,
  kMaterialProjected = 10,
  kMaterialAlphaOverlay = 11,
  kMaterialTypeCount = 12,
};

struct MaterialType {
  std::string name;
  // One per texture the type uses, in stage order.
  std::vector<std::string> layers;
  // 1 for the texture-alpha types, 2 for "Add", "Mul" and "Shadow", else 0.
  int mode = 0;
};

// What the device has made current, kept in the render device.
struct MaterialState {
  static constexpr int kNone = -1;
  int currentType = kNone;
  MaterialResource* current = nullptr;
  // Stands in for the colours of materials with flag 0x1; colours all zero.
  gfx::Material shared;
  // Stage 1 holds a mesh part's second texture.
  bool stageOneBorrowed = false;

  void Forget() {
    currentType = kNone;
    current = nullptr;
  }
};

std::vector<MaterialType> BuildMaterialTypes();

// The environment and alpha-overlay types combine stage 1 themselves.
bool MaterialTypeUsesStageOne(int type);

// Sets the device states of the type and makes it current; an id above 11
// sets nothing but still becomes current.
void ApplyMaterialTypeStates(RenderDevice& device, std::uint32_t type);
// Makes the material current before a draw: its colours (or the override,
// or a copy with the given alpha), its type's states, its textures on
// stages 0 to 3 and its flags. A null material is ignored.
void ApplyMaterial(RenderDevice& device, MaterialResource* material,
                   const gfx::Material* colourOverride, float alpha);

}  // namespace tge
