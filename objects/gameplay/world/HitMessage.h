// The hit message: what weapons, projectiles, thrown props and attacks send
// to what they hit, as the argument block of ApplyHit. Senders fill it and
// receivers read it through this one struct.
#pragma once
#include <cstdint>

#include "core/math/Vector.h"

namespace tge {

class Object;

// Not registered: sent only by code, in the Weapon's block of ids.
inline constexpr std::uint32_t kApplyHit = 5807;

struct HitMessage {
  Object* attacker = nullptr;
  Vector3 position{};
  Vector3 direction{};
  float damage = 0.0f;
  // 1 to 32 pick a per-group multiplier in the receiver, 0 none; receivers
  // test bit (group & 31) of their damage mask, so -1 reads as group 31.
  std::uint32_t damageGroup = 0;
  // Read by each receiver in its own way (a first-person player: the side
  // hit; a first-person AI: 20 sends it straight to rag doll when it dies).
  std::uint32_t extra = 0;
};

}  // namespace tge
