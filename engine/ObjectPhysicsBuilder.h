// Building and releasing an object's physics through the physics wrapper:
// its rigid body in its World's physics world, its own collision space and
// one collision geometry (wrapped in a transform when it has an offset) for
// each of its geometry records, with the mass the records give. An
// object's geometries live in its own collision space, which joins its
// World's collision space, or else straight in the World's (see Space.h).
// A Space also builds the geometries of its collision entries.
//
// Building is done once: an object whose physics is already built keeps it,
// so start-up and scripts may ask twice without making a second body.
#pragma once

namespace tge {

class Object;

// False, with nothing built, for an object without a physics record, a
// Space or a World with physics, and when the wrapper refuses a shape.
bool CreateObjectPhysics(Object& object);
// Frees the geometries, the collision space and the body; false for an
// object without a physics record.
bool DestroyObjectPhysics(Object& object);

}  // namespace tge
