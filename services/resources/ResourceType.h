// The twelve resource types, by the ids the library file stores.
#pragma once

namespace tge {

enum ResourceType : int {
  kMeshResource = 0,
  kSoundResource = 1,
  kTextureResource = 2,
  kMaterialResource = 3,
  kAnimationResource = 4,
  kFontResource = 5,
  kVideoResource = 6,
  kSkinMeshResource = 7,
  kMorphMeshResource = 8,
  kTerrainResource = 9,
  kCollisionGeometryResource = 10,
  kRawFileResource = 11,
  kResourceTypeCount = 12,
};

bool IsResourceType(int type);
// "Mesh", "Sound" ...; "Unknown" outside 0 to 11.
const char* GetResourceTypeName(int type);

}  // namespace tge
