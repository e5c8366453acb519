#include "services/resources/ResourceType.h"

#include <array>

namespace tge {
namespace {

constexpr std::array<const char*, kResourceTypeCount> kTypeNames = {
    "Mesh",      "Sound",     "Texture", "Material", "Animation", "Font",
    "Video",     "SkinMesh",  "MorphMesh", "Terrain", "CollisionGeometry", "RawFile"};

}  // namespace

bool IsResourceType(int type) { return type >= 0 && type < kResourceTypeCount; }

const char* GetResourceTypeName(int type) { return IsResourceType(type) ? kTypeNames[type] : "Unknown"; }

}  // namespace tge
