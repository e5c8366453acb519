#include "objects/gameplay/characters/SkinPlayback.h"

#include "objects/scene/animation/SkinMesh.h"

namespace tge {

void SkinPlayback::PlayNow(const std::string& name) const {
  if (SkinMesh* skin = Get()) skin->SetSkinMeshAnimation(name, 0);
}

void SkinPlayback::PlayNext(const std::string& name) const {
  if (SkinMesh* skin = Get()) skin->SetSkinMeshNextAnimation(name);
}

float SkinPlayback::PlayingLength() const {
  const SkinMesh* skin = Get();
  return skin != nullptr ? skin->GetAnimationLength(skin->GetCurrentEntryIndex()) : 0.0f;
}

}  // namespace tge
