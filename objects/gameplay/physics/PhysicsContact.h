// Collide calls, contact joints and the engine's one near callback, through
// which every touching pair of geometries passes.
//
// The World's physics tick collides its spaces with PhysicsNearCallback and
// its PhysicsWorld record as the data; the callback turns each touching pair
// into contact joints in the record's contact group, which the next
// StepPhysicsWorld uses and then empties. Geometries whose record asks for it
// hand their contacts to the owning object's HandleContact first, which may
// rewrite the surfaces or drop the pair.
#pragma once
#include <ode/ode.h>

namespace tge {

struct PhysicsWorld;

// The library's contact record (surface parameters, contact geometry, fdir1)
// under the engine's name, so the object model can name it without the
// library's headers. Arrays of it have the library's stride.
struct ContactParameters : dContact {};
static_assert(sizeof(ContactParameters) == sizeof(dContact));

// What Object::HandleContact answers. Any other answer counts as
// kContactUsual.
constexpr int kContactUsual = 0;        // the pair gets the default friction
constexpr int kContactDrop = 1;         // no joints, and the other owner is not asked
constexpr int kContactKeepSurface = 2;  // the surfaces stay as the handler wrote them

// Contacts the near callback keeps per pair; more touching points are dropped.
constexpr int kMaxContactsPerPair = 16;
// The friction a contact gets unless a contact handler filled in its surface.
constexpr float kDefaultContactFriction = 0.02f;

// The callback for every pair of potentially touching members of the space.
void CollideSpace(dSpaceID space, void* data, dNearCallback* callback);
// The callback for every pair with one member from a and one from b
// (either a geometry or a space).
void CollideSpaces(dGeomID a, dGeomID b, void* data, dNearCallback* callback);
// Writes up to the low 16 bits of flags contact points, stride bytes apart;
// returns how many. Spaces, a geometry with itself and a ray of length 0
// give none.
int CollideGeoms(dGeomID a, dGeomID b, int flags, dContactGeom* contacts, int stride);
// A contact joint in the record's world and contact group, attached to the
// bodies of the contact's two geometries (either may be none). A null
// record, or two geometries of one body, make no joint.
void AddContact(PhysicsWorld* physics, const ContactParameters& contact);
// 1 when the bodies are joined by a joint of a type other than jointType.
int AreBodiesConnected(dBodyID a, dBodyID b, int jointType);
// data is the PhysicsWorld record. Asks the owners of geometries with the
// Callback flag about the pair's contacts (the first geometry's owner first,
// the second's seeing what the first wrote; the later answer counts) and
// makes no joints when a geometry is EventOnly or neither has a body.
void PhysicsNearCallback(void* data, dGeomID a, dGeomID b);

}  // namespace tge
