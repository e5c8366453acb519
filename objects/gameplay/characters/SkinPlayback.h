// A character's skin mesh, held weakly as ObjectRef holds any object, with
// the playback calls the character types make (AIPlayer, Horse, PlayerTP).
// Each call does nothing while the character has no skin mesh.
#pragma once
#include <string>

#include "core/ObjectRef.h"

namespace tge {

class SkinMesh;

class SkinPlayback : public ObjectRef<SkinMesh> {
 public:
  using ObjectRef<SkinMesh>::ObjectRef;

  // Starts the named animation at once.
  void PlayNow(const std::string& name) const;
  // Queues the named animation to follow the one playing.
  void PlayNext(const std::string& name) const;
  // The length of the animation playing now; 0 without a skin mesh.
  float PlayingLength() const;
};

}  // namespace tge
