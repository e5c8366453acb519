#include "objects/gameplay/physics/PhysicsContact.h"

#include "core/Object.h"
#include "core/ObjectRecords.h"
#include "objects/gameplay/physics/PhysicsGeometry.h"
#include "objects/gameplay/physics/PhysicsLibrary.h"
#include "objects/gameplay/physics/PhysicsWorld.h"

namespace tge {
namespace {

constexpr int kContactCountMask = 0xffff;

bool IsEmptyRay(dGeomID geometry) {
  return dGeomGetClass(geometry) == dRayClass && dGeomRayGetLength(geometry) <= 0;
}

// Pairs of bodies that never need contacts: two sleeping bodies, two bodies
// already joined, and a body with itself (two geometries of one object).
bool CanBodiesTouch(dBodyID a, dBodyID b) {
  if (!a || !b) return true;
  if (a == b) return false;
  if (!dBodyIsEnabled(a) && !dBodyIsEnabled(b)) return false;
  return !AreBodiesConnected(a, b, dJointTypeContact);
}

bool HasFlag(const GeometryRecord* record, std::uint32_t flag) {
  return record && (record->info & flag);
}

// An owner that is not asked leaves the answer as it was. A record asking
// for contacts but owned by nothing has nobody to ask.
int AskOwner(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count,
             int answer) {
  if (!HasFlag(own, kGeometryCallback) || !own->owner) return answer;
  return own->owner->HandleContact(own, other, contacts, count);
}

// Both owners see the same array, the second with what the first wrote; the
// second answer replaces the first unless the first dropped the pair.
int AskOwners(dGeomID a, dGeomID b, ContactParameters* contacts, int count) {
  GeometryRecord* first = GetGeomData(a);
  GeometryRecord* second = GetGeomData(b);
  const int answer = AskOwner(first, second, contacts, count, kContactUsual);
  if (answer == kContactDrop) return kContactDrop;
  return AskOwner(second, first, contacts, count, answer);
}

bool IsEventOnly(dGeomID geometry) { return HasFlag(GetGeomData(geometry), kGeometryEventOnly); }

}  // namespace

void CollideSpace(dSpaceID space, void* data, dNearCallback* callback) {
  if (space) dSpaceCollide(space, data, callback);
}

void CollideSpaces(dGeomID a, dGeomID b, void* data, dNearCallback* callback) {
  if (a && b) dSpaceCollide2(a, b, data, callback);
}

int CollideGeoms(dGeomID a, dGeomID b, int flags, dContactGeom* contacts, int stride) {
  if (!a || !b || a == b || !contacts || (flags & kContactCountMask) == 0 ||
      stride < static_cast<int>(sizeof(dContactGeom))) {
    return 0;
  }
  if (dGeomIsSpace(a) || dGeomIsSpace(b) || IsEmptyRay(a) || IsEmptyRay(b)) return 0;
  return dCollide(a, b, flags, contacts, stride);
}

void AddContact(PhysicsWorld* physics, const ContactParameters& contact) {
  if (!physics || physics->released) return;
  dBodyID first = GetGeomBody(contact.geom.g1);
  dBodyID second = GetGeomBody(contact.geom.g2);
  if (first && first == second) return;
  dJointID joint = dJointCreateContact(physics->world, physics->contactGroup, &contact);
  dJointAttach(joint, first, second);
}

int AreBodiesConnected(dBodyID a, dBodyID b, int jointType) {
  return a && b ? dAreConnectedExcluding(a, b, jointType) : 0;
}

void PhysicsNearCallback(void* data, dGeomID a, dGeomID b) {
  if (IsGeomSpace(a) || IsGeomSpace(b)) {
    CollideSpaces(a, b, data, PhysicsNearCallback);
    return;
  }
  if (!IsGeomEnabled(a) || !IsGeomEnabled(b)) return;
  if (!CanBodiesTouch(GetGeomBody(a), GetGeomBody(b))) return;

  ContactParameters contacts[kMaxContactsPerPair] = {};
  const int count =
      CollideGeoms(a, b, kMaxContactsPerPair, &contacts[0].geom, sizeof(ContactParameters));
  if (count <= 0) return;
  const int answer = AskOwners(a, b, contacts, count);
  if (answer == kContactDrop || IsEventOnly(a) || IsEventOnly(b)) return;
  // Two geometries without a body (triggers sharing a space) push nothing:
  // their owners have seen the contacts, and a joint would join no body.
  if (!GetGeomBody(a) && !GetGeomBody(b)) return;
  for (int i = 0; i < count; ++i) {
    if (answer != kContactKeepSurface) contacts[i].surface.mu = kDefaultContactFriction;
    AddContact(static_cast<PhysicsWorld*>(data), contacts[i]);
  }
}

}  // namespace tge
