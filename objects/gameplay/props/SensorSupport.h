// What the sensor types share (Trigger, PhysicsMagnet, LookAt): geometry 0
// is their sensor, and their physics can be switched off, in which case
// they build none of their own at the physics-start message while their
// children still build theirs.
#pragma once
#include <string>

#include "core/math/Vector.h"

namespace tge {

class Object;
struct GeometryRecord;

// The physics-start message for every child not blocking it; deletions
// asked for meanwhile wait until each child has had it.
void PassPhysicsStartToChildren(Object& object, void* args);
// The editor's default script: script use on, with one empty script record
// for the event of that name.
void AddEmptyEventScript(Object& object, const std::string& eventName);
// The editor's default sensor: geometry 0 an event-only sphere of the given
// radius with the Callback flag and the given collision bits; the object
// gets a transform of its own.
void InitializeSensor(Object& object, float radius, unsigned collisionBits);
// The object that a sensor's contact reports, or null for the level's own
// collision geometry (a Space's), which neither comes nor goes.
Object* ContactObject(const GeometryRecord* other);
// The same, but null also for an object without a rigid body, on which no
// force acts.
Object* ContactBody(const GeometryRecord* other);
// Geometry 0, or null when the object has none.
GeometryRecord* GetSensor(const Object& object);
// Geometry 0's dimension (negative components read as 0), applied to its
// live collision geometry at once; nothing without a geometry 0.
void ResizeSensor(Object& object, const Vector3& dimension);

}  // namespace tge
