// What the fighting types share (Weapon, Ammunition, AIPlayerFPS): sending
// a hit message, pushing a body that may be asleep, and moving an object
// under another parent where it stands.
#pragma once
#include <cstdint>

#include "core/math/Vector.h"

namespace tge {

class Object;

// Sends ApplyHit to target with one hit block; nothing without a target.
void SendHit(Object* target, Object* attacker, const Vector3& position, const Vector3& direction, float damage,
             std::uint32_t damageGroup, std::uint32_t kind);
// Wakes the object's body and pushes it, at its centre or at a point;
// nothing without a body.
void Push(Object& object, const Vector3& force);
void PushAt(Object& object, const Vector3& force, const Vector3& point);
// Releases the object's physics and files it under parent keeping its world
// placement (its world orientation off); false when it could not move.
bool MoveKeepingPlacement(Object& object, Object& parent);

}  // namespace tge
