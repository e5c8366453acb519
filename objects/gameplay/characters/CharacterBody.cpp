#include "objects/gameplay/characters/CharacterBody.h"

#include <numbers>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/Object.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsMass.h"
#include "objects/scene/animation/SkinMesh.h"
#include "objects/ui/sound/Sound.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr float kCapsuleRadius = 0.6f, kCapsuleLength = 1.0f, kCapsuleHeight = 1.0f;
constexpr std::uint32_t kCapsuleCollisionBits = 2, kCapsuleCategoryBits = 7;
constexpr float kUprightInertia = 0.1f;
constexpr float kSpeakerMinRange = 4.0f, kSpeakerMaxRange = 14.0f;
constexpr std::uint32_t kCommandSetSpeakerMinRange = 1006;

Object* AddOneUp(Object& parent, int classId, const char* name) {
  Object* child = CreateObject(classId, nullptr, parent, name);
  if (child == nullptr) return nullptr;
  child->SetInheritOrientation(false);
  child->SetPosition({0, kCapsuleHeight, 0}, true);
  return child;
}

}  // namespace

void SetUpCharacterBody(Object& object) {
  object.SetInheritOrientation(false);
  object.SetUsePhysics(true);
  object.GetPhysics()->flags |= kPhysicsEnableRigidBody | kPhysicsEnableLocalSpace | kPhysicsNotLockedInSpace;
  GeometryRecord& capsule = object.AddGeometry();
  capsule.info = (capsule.info & ~kGeometryShapeMask) | kGeometryCCylinder | kGeometryUseTransform | kGeometryCallback;
  capsule.position = {0, kCapsuleHeight, 0};
  QuaternionFromYawPitchRoll(capsule.rotation, 0, std::numbers::pi_v<float> / 2, 0);
  capsule.dimension = {kCapsuleRadius, kCapsuleLength, 0};
  capsule.collisionBits = kCapsuleCollisionBits;
  capsule.categoryBits = kCapsuleCategoryBits;
}

SkinMesh* AddCharacterSkin(Object& object, const char* name) {
  auto* skin = static_cast<SkinMesh*>(AddOneUp(object, kClassSkinMesh, name));
  if (skin != nullptr) skin->SetApplyRootMotion(false);
  return skin;
}

Sound* AddCharacterSpeaker(Object& object, const char* name) {
  auto* speaker = static_cast<Sound*>(AddOneUp(object, kClassSound, name));
  if (speaker == nullptr) return nullptr;
  float minRange = kSpeakerMinRange;
  speaker->ExecuteCommand(kCommandSetSpeakerMinRange, &minRange);
  speaker->SetSpeakerMaxRange(kSpeakerMaxRange);
  return speaker;
}

void StartCharacterBody(Object& object, void* args) {
  if (!object.GetActive()) return;
  if (ObjectHooks* hooks = GetObjectHooks()) hooks->CreateObjectPhysics(object);
  if (dBodyID body = ToOde(object.GetBody())) {
    EnableBodyRotation(body, 0);
    SetBodyAngularVel(body, {0, 0, 0});
    SetBodyInertia(body, {kUprightInertia, kUprightInertia, kUprightInertia});
    SetBodyAutoDisable(body, 0);
  }
  PassToCharacterChildren(object, kCommandCreatePhysics, args);
}

void PassToCharacterChildren(Object& object, std::uint32_t id, void* args) {
  if (!object.GetActive()) return;
  const DeletionHold hold;
  for (int i = 0; i < object.GetChildCount(); ++i) {
    Object* child = object.GetChild(i);
    if (child->GetClassId() != kClassSkinMesh && !child->HasFlag(kFlagBlockStartPhysics)) {
      child->ExecuteCommand(id, args);
    }
  }
}

float ActionValue(int action) {
  const EngineServices* services = GetEngineServices();
  return services != nullptr ? services->GetInputActionValue(0, action) : 0.0f;
}

bool ActionPressed(int action) {
  const EngineServices* services = GetEngineServices();
  return services != nullptr && services->IsInputActionPressed(0, action) != 0;
}

bool ActionReleased(int action) {
  const EngineServices* services = GetEngineServices();
  return services != nullptr && services->IsInputActionReleased(0, action) != 0;
}

float AddHealth(float health, float amount, float maximum) {
  health += amount;
  if (health > maximum) health = maximum;
  return health < 0 ? 0.0f : health;
}

bool IsFirstGeometry(const ContactParameters& contact, const GeometryRecord& own) {
  PhysicsGeom* mine = own.transformGeometry != nullptr ? own.transformGeometry : own.geometry;
  return contact.geom.g1 == ToOde(mine);
}

Vector3 StoredNormal(const ContactParameters& contact) {
  const dReal* n = contact.geom.normal;
  return {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])};
}

Vector3 NormalFromOwnSide(const ContactParameters& contact, const GeometryRecord& own) {
  const Vector3 n = StoredNormal(contact);
  return IsFirstGeometry(contact, own) ? n : Vector3{-n.x, -n.y, -n.z};
}

void SetContactPoint(ContactParameters& contact, const Vector3& point) {
  contact.geom.pos[0] = point.x;
  contact.geom.pos[1] = point.y;
  contact.geom.pos[2] = point.z;
}

void SetFrictionDirection(ContactParameters& contact, const Vector3& direction) {
  contact.fdir1[0] = direction.x;
  contact.fdir1[1] = direction.y;
  contact.fdir1[2] = direction.z;
}

Vector3 GetFrictionDirection(const ContactParameters& contact) {
  return {static_cast<float>(contact.fdir1[0]), static_cast<float>(contact.fdir1[1]),
          static_cast<float>(contact.fdir1[2])};
}

}  // namespace tge
