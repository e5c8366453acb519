// SimObject's command table, start, damage, drawing and file record; its
// contacts and per-frame motion are in SimObjectMotion.cpp.
#include "objects/gameplay/props/SimObject.h"

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/props/SensorSupport.h"
#include "objects/gameplay/world/HitMessage.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr std::uint32_t kDefaultCollisionBits = 0x80000;
constexpr std::uint32_t kDefaultCategoryBits = 0x80001;

Resource* Acquire(ResourceRef& ref, const std::string& name, int type) {
  EngineServices* services = GetEngineServices();
  if (!ref && services != nullptr && !name.empty()) ref = services->GetResources().AcquireResource(name, type);
  return ref.Get();
}

}  // namespace

// The hit-effect mask is registered a second time under the minimum time's
// name: by name scripts reach the minimum time, the mask only by id.
// clang-format off
constexpr CommandEntry<SimObject> SimObject::kCommands[] = {
    {13000, "SimObjectAnimated", P, 0, {kValueBool}, FlagSetter<&SimObject::flags_, kAnimated>, FlagGetter<&SimObject::flags_, kAnimated>},
    {13002, "SimObjectEnableBounceEvent", P, 0, {kValueBool}, FlagSetter<&SimObject::flags_, kEnableBounceEvent>, FlagGetter<&SimObject::flags_, kEnableBounceEvent>},
    {13004, "SimObjectEnableSlideEvent", P, 0, {kValueBool}, FlagSetter<&SimObject::flags_, kEnableSlideEvent>, FlagGetter<&SimObject::flags_, kEnableSlideEvent>},
    {13006, "SimObjectEnableRestEvent", P, 0, {kValueBool}, FlagSetter<&SimObject::flags_, kEnableRestEvent>, FlagGetter<&SimObject::flags_, kEnableRestEvent>},
    {13008, "SimObjectEnableHitEvent", P, 0, {kValueBool}, FlagSetter<&SimObject::flags_, kEnableHitEvent>, FlagGetter<&SimObject::flags_, kEnableHitEvent>},
    {13010, "SimObjectHitEventCategory", P, 0, {kValueBool}, FieldSetter<&SimObject::hitEventCategory_>, FieldGetter<&SimObject::hitEventCategory_>},
    {13012, "SimObjectHitEventRepeatTime", P, 0, {kValueFloat}, FieldSetter<&SimObject::hitEventRepeatTime_>, FieldGetter<&SimObject::hitEventRepeatTime_>},
    {13014, "SimObjectUseHitEffect", P, 0, {kValueBool}, FlagSetter<&SimObject::flags_, kUseHitEffect>, FlagGetter<&SimObject::flags_, kUseHitEffect>},
    {13016, "SimObjectUseHitEffectTreshold", P, 0, {kValueFloat}, FieldSetter<&SimObject::hitEffectThreshold_>, FieldGetter<&SimObject::hitEffectThreshold_>},
    {13018, "SimObjectUseHitEffectMinTime", P, 0, {kValueFloat}, FieldSetter<&SimObject::hitEffectMinTime_>, FieldGetter<&SimObject::hitEffectMinTime_>},
    {13020, "SimObjectUseHitEffectMinTime", P, 0, {kValueDword}, FieldSetter<&SimObject::hitEffectMask_>, FieldGetter<&SimObject::hitEffectMask_>},
    {13022, "SimObjectFriction", P, 0, {kValueFloat}, FieldSetter<&SimObject::friction_>, FieldGetter<&SimObject::friction_>},
    {13024, "SimObjectBounce", P, 0, {kValueFloat}, FieldSetter<&SimObject::bounce_>, FieldGetter<&SimObject::bounce_>},
    {13026, "SimObjectMesh", P, 0, {kValueString}, Member<&SimObject::SetMeshCommand>, FieldGetter<&SimObject::meshName_>},
    {13028, "SimObjectSound", P, 0, {kValueString}, Member<&SimObject::SetSoundCommand>, FieldGetter<&SimObject::soundName_>},
    {13030, "SimObjectSoundMinRange", P, 0, {kValueFloat}, FieldSetter<&SimObject::soundMinRange_>, FieldGetter<&SimObject::soundMinRange_>},
    {13032, "SimObjectSoundMaxRange", P, 0, {kValueFloat}, FieldSetter<&SimObject::soundMaxRange_>, FieldGetter<&SimObject::soundMaxRange_>},
    {13034, "SetSimObjectMaterial", C, 0, {kValueString}, Member<&SimObject::SetMaterialCommand>},
    {13035, "SetSimObjectMaterialColor", C, 0, {kValueColor}, Member<&SimObject::SetMaterialColourCommand>},
    {13036, "SimObjectHealth", P, 0, {kValueFloat}, FieldSetter<&SimObject::health_>, FieldGetter<&SimObject::health_>},
    {13038, "SimObjectResiveDamage", P, 0, {kValueDword}, FieldSetter<&SimObject::receiveDamageMask_>, FieldGetter<&SimObject::receiveDamageMask_>},
    {13040, "SimObjectDamage", P, 0, {kValueFloat}, FieldSetter<&SimObject::damage_>, FieldGetter<&SimObject::damage_>},
    {13042, "OnSimObjectBounce", E, 0, {}},
    {13043, "OnSimObjectStartSlide", E, 0, {}},
    {13044, "OnSimObjectStopSlide", E, 0, {}},
    {kEventStartRest, "OnSimObjectStartRest", E, 0, {}},
    {kEventStopRest, "OnSimObjectStopRest", E, 0, {}},
    {kEventHit, "OnSimObjectHit", E, 0, {}},
    {kEventDie, "OnSimObjectDie", E, 0, {}},
};

std::span<const CommandEntry<SimObject>> SimObject::Commands() { return kCommands; }
// clang-format on

SimObject::SimObject() : Object(kClassSimObject) {}

int SimObject::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<SimObject> handlers(kClassSimObject, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandInitializeNewObject: {
      // A box of no volume would have no mass: the new prop is a unit cube.
      GeometryRecord& box = AddGeometry();
      box.info = (box.info & ~kGeometryShapeMask) | kGeometryBox | kGeometryCallback;
      box.dimension = {1, 1, 1};
      box.collisionBits = kDefaultCollisionBits;
      box.categoryBits = kDefaultCategoryBits;
      GetPhysics()->flags |= kPhysicsEnableRigidBody;
      SetInheritOrientation(false);
      break;
    }
    case kCommandCollectResources:
      if (args != nullptr) {
        auto* set = static_cast<ResourceSet*>(args);
        ResolveMesh();
        ResolveSound();
        set->AddToResourceSet(mesh_.Get());
        set->AddToResourceSet(sound_.Get());
      }
      break;
    // The body is made at the action start. A prop opened from a file gets
    // no action start, so a started one without a body makes it here.
    case kCommandCreatePhysics:
      if (!GetActive()) return 1;
      if (HasFlag(kFlagActionStarted)) ActionStart();
      PassPhysicsStartToChildren(*this, args);
      return 1;
    case kCommandActionStartStep: ActionStart(); break;
    case static_cast<std::uint32_t>(kEventOnStopDraw): DisableUpdate(); break;
    case kApplyHit:
      if (args != nullptr) ApplyHit(*static_cast<const HitMessage*>(args));
      break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

int SimObject::SetMeshCommand(CommandArgs args) {
  meshName_ = args.AsString();
  mesh_.Reset();
  return 1;
}

int SimObject::SetSoundCommand(CommandArgs args) {
  soundName_ = args.AsString();
  sound_.Reset();
  return 1;
}

int SimObject::SetMaterialCommand(CommandArgs args) {
  material_.Reset();
  Acquire(material_, args.AsString(), kMaterialResource);
  return 1;
}

// White is no override at all.
int SimObject::SetMaterialColourCommand(CommandArgs args) {
  const Color colour = args.Get<Color>();
  if (colour.r == 1 && colour.g == 1 && colour.b == 1 && colour.a == 1) {
    materialColour_.reset();
    return 1;
  }
  const gfx::ColorValue value{colour.r, colour.g, colour.b, colour.a};
  materialColour_ = gfx::Material{value, value, {}, {}, 0};
  return 1;
}

void SimObject::ResolveMesh() { Acquire(mesh_, meshName_, kMeshResource); }

void SimObject::ResolveSound() { Acquire(sound_, soundName_, kSoundResource); }

void SimObject::ActionStart() {
  ObjectPhysics* physics = GetPhysics();
  if (physics == nullptr || physics->body != nullptr) return;
  lastPosition_ = GetPositionWS();
  if (ObjectHooks* hooks = GetObjectHooks()) hooks->CreateObjectPhysics(*this);
  if ((flags_ & kAnimated) != 0 && physics->body != nullptr) {
    SetBodyGravityMode(ToOde(physics->body), 0);
    SetWSOrientation(false);
  }
  awake_ = true;
  ResolveSound();
  EngineServices* services = GetEngineServices();
  if (services == nullptr || !sound_) return;
  services->UpdateSoundVolume(sound_.Get(), 0);
  services->StartSound(sound_.Get(), 1);
  services->SetSoundDistances(sound_.Get(), soundMinRange_, soundMaxRange_);
}

void SimObject::ApplyHit(const HitMessage& hit) {
  if ((receiveDamageMask_ & (1u << (hit.damageGroup & 31))) != 0) TakeDamage(hit.damage, hit.attacker);
}

void SimObject::TakeDamage(float damage, Object* sender) {
  if (health_ > 0 && health_ - damage <= 0) {
    const DeletionHold hold;
    FireEvent(kEventDie, sender);
  }
  health_ -= damage;
}

void SimObject::Draw() {
  if (!GetActive()) return;
  const float action = GetActionValue();
  EngineServices* services = GetEngineServices();
  if (action > 0 && services != nullptr) {
    ResolveMesh();
    if (mesh_) {
      services->GetRenderQueue().QueueMesh(mesh_.Get(), GetWorldMatrix(), material_.Get(), GetMaterialColour(),
                                           action, nullptr);
    }
  }
  Object::Draw();
}

// A first hit may be reported at once.
void SimObject::Precalculate() {
  hitEventTimer_ = hitEventRepeatTime_;
  ResolveMesh();
  Object::Precalculate();
}

// The clone resolves its resources by name again.
void SimObject::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  mesh_.Reset();
  sound_.Reset();
  hitObject_.Reset();
  touchedCharacter_.Reset();
  materialColour_.reset();
}

bool SimObject::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version >= 1) {
    std::uint32_t reserved = 0;
    stream.Serialize(flags_);
    stream.Serialize(reserved);
    stream.Serialize(hitEffectMask_);
    stream.Serialize(hitEffectThreshold_);
    stream.Serialize(hitEffectMinTime_);
  }
  if (version >= 14) stream.SerializeString(meshName_);
  if (version >= 15) {
    stream.SerializeString(soundName_);
    stream.Serialize(soundMinRange_);
    stream.Serialize(soundMaxRange_);
  }
  if (version >= 19) {
    stream.Serialize(hitEventCategory_);
    stream.Serialize(hitEventRepeatTime_);
  }
  if (version >= 20) {
    stream.Serialize(friction_);
    stream.Serialize(bounce_);
  }
  if (version >= 34) {
    stream.Serialize(health_);
    stream.Serialize(receiveDamageMask_);
    stream.Serialize(damage_);
  }
  return !stream.Failed();
}

void RegisterSimObjectCommands() {
  RegisterCommandTable<SimObject>(BuildCommandRegistry(), kClassSimObject, SimObject::Commands());
  GetObjectFactory().RegisterType<SimObject>(kClassSimObject);
}

}  // namespace tge
