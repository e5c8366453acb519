// What the characters that walk on their animations' root motion share:
// an upright capsule body that never rotates under physics and never falls
// asleep (a sleeping body takes no contact surface motion, so a character
// that stood still for a second could never move again).
#pragma once
#include <cstdint>

#include "core/math/Vector.h"

namespace tge {

class Object;
struct ContactParameters;
struct GeometryRecord;
class SkinMesh;
class Sound;

// The editor's set-up: physics on with a rigid body in a local space of its
// own, free to leave its Space, and geometry 0 a capsule of radius 0.6 and
// length 1.0 lying along z, its centre 1.0 up, with the Callback flag.
void SetUpCharacterBody(Object& object);
// The children every such character carries, made under object with its
// own orientation one unit up: its skinned mesh, which leaves the root
// motion to the character, and its speaker, heard from 4 to 14 units.
SkinMesh* AddCharacterSkin(Object& object, const char* name);
Sound* AddCharacterSpeaker(Object& object, const char* name);
// The physics start (161): when active, the body is built upright and
// awake with an inertia of 0.1 on each axis; then every child but skin
// meshes and those blocking it get the message too.
void StartCharacterBody(Object& object, void* args);
// The same children get id (the joint start, 162), when active.
void PassToCharacterChildren(Object& object, std::uint32_t id, void* args);

// Player 0's input as the characters read it; neutral without services.
float ActionValue(int action);
bool ActionPressed(int action);
bool ActionReleased(int action);
// health + amount, at most maximum, at least 0.
float AddHealth(float health, float amount, float maximum);

// Contact helpers of the characters' contact handlers: whether own is the
// contact's first geometry (its transform when it has one), the normal as
// stored, the normal pointing from own's side, and moving the contact's
// point or first friction direction.
bool IsFirstGeometry(const ContactParameters& contact, const GeometryRecord& own);
Vector3 StoredNormal(const ContactParameters& contact);
Vector3 NormalFromOwnSide(const ContactParameters& contact, const GeometryRecord& own);
void SetContactPoint(ContactParameters& contact, const Vector3& point);
void SetFrictionDirection(ContactParameters& contact, const Vector3& direction);
Vector3 GetFrictionDirection(const ContactParameters& contact);

}  // namespace tge
