// Skinned figures of boxes for the demo: each limb a box that follows a
// bone of its own, with animations that swing the limbs about x and move
// the root. Their resources (mesh, skin, animations) are written by the
// engine's own encoders.
#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/math/Shapes.h"
#include "core/math/Vector.h"
#include "services/ResourceDatabase.h"
#include "services/resources/AnimationResource.h"

namespace tge {

class MaterialResource;
class Object;

// One limb: its bone (id and name), the joint it turns about (relative to
// the figure's root) and its box, hanging from the joint by its offset.
struct BoxLimb {
  const char* name;
  std::uint32_t boneId;
  Vector3 joint;
  Vector3 size;
  Vector3 boxOffset;
  // How far the limb swings about x while moving (radians, signed).
  float swing;
  // The limb's turn about x in a seated pose (radians).
  float seat = 0;
};

// A figure's mesh and skin resources, their part's bounds and material.
struct BoxSkinDescription {
  const char* meshName;
  const char* skinName;
  MaterialResource* material;
  float radius;
  AABox box;
};

// One animation: over length, every limb swings by amount x its own swing
// forth and back, the root bobs up and back and travels by travel; a seated
// one holds the limbs at their seat turns.
struct LimbMotion {
  float length;
  float amount;
  float bob;
  Vector3 travel{};
  bool seated = false;
};

// Registers the figure's mesh and skin and writes their files into
// dataFolder; false with the error message set when a file cannot be
// written.
bool AddBoxSkin(ResourceDatabase& resources, const std::filesystem::path& dataFolder,
                const BoxSkinDescription& description, std::span<const BoxLimb> limbs);

std::vector<AnimationTrack> LimbTracks(std::span<const BoxLimb> limbs, const LimbMotion& motion);

// An animation's name (after a prefix the caller gives) and motion.
struct NamedLimbMotion {
  const char* name;
  LimbMotion motion;
};

// Registers prefix + name for each motion and writes its file.
bool AddLimbAnimations(ResourceDatabase& resources, const std::filesystem::path& dataFolder,
                       std::span<const BoxLimb> limbs, const std::string& prefix,
                       std::span<const NamedLimbMotion> motions);

// A material of one colour, lit, for a figure's boxes.
MaterialResource& AddFigureMaterial(ResourceDatabase& resources, const std::string& name, float red, float green,
                                    float blue);

// Sets skin up as the named skin playing the named animations, with a Bone
// child per limb.
void DressBoxSkin(Object& skin, const char* skinName, std::span<const BoxLimb> limbs,
                  std::span<const char* const> animations);

}  // namespace tge
