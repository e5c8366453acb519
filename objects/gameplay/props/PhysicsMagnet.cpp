// PhysicsMagnet's command table, choosing, pulling, throwing and glow.
#include "objects/gameplay/props/PhysicsMagnet.h"

#include <cmath>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/props/SensorSupport.h"
#include "objects/gameplay/props/SimObject.h"
#include "objects/ui/UiHooks.h"
#include "services/EngineServices.h"
#include "services/RenderDevice.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;
constexpr std::uint32_t kSensorCollisionBits = 0x80000;
constexpr float kLinearDamping = 20.0f;
constexpr float kLinearDampingFrom = 0.2f;
constexpr float kSpinDamping = 0.4f;
constexpr float kSpinDampingFrom = 4.0f;
constexpr float kPullScale = 1.6f;
constexpr float kPullBone = 280.0f;
constexpr float kPull = 200.0f;
constexpr float kThrowBone = 1600.0f;
constexpr float kThrow = 600.0f;
constexpr float kGlowRise = 4.0f;
constexpr float kGlowSize = 380.0f;
constexpr std::uint32_t kGlowSpriteFlags = 36;

// A sleeping body takes no force: what the magnet pulls or throws wakes.
void Wake(Object& object) {
  if (PhysicsBody* body = object.GetBody()) EnableBody(ToOde(body), 1);
}

float DistanceBetween(Object& a, Object& b) {
  const Vector3 p = a.GetPositionWS();
  const Vector3 q = b.GetPositionWS();
  return Vector3Length({p.x - q.x, p.y - q.y, p.z - q.z});
}

// The sensor's radius: x of a sphere, y of any other shape.
float& RadiusOf(std::uint32_t shape, Vector3& dimension) {
  return shape == kGeometrySphere ? dimension.x : dimension.y;
}

}  // namespace

// clang-format off
constexpr CommandEntry<PhysicsMagnet> PhysicsMagnet::kCommands[] = {
    {1500, "PhysicsMagnetRadius", P, 0, {kValueFloat}, Member<&PhysicsMagnet::SetRadiusCommand>, Member<&PhysicsMagnet::GetRadiusCommand>},
    {1502, "PhysicsMagnetEnable", P, 0, {kValueBool}, Member<&PhysicsMagnet::SetEnableCommand>, Member<&PhysicsMagnet::GetEnableCommand>},
    {1504, "PhysicsMagnetReleaseObjects", C, 0, {kValueFloat}, Member<&PhysicsMagnet::ReleaseObjectsCommand>},
    {1505, "OnPhysicsMagnetEnter", E, 0, {}},
    {1506, "OnPhysicsMagnetExit", E, 0, {}},
    {1507, "OnPhysicsMagnetCollision", E, 0, {}},
};

std::span<const CommandEntry<PhysicsMagnet>> PhysicsMagnet::Commands() { return kCommands; }
// clang-format on

PhysicsMagnet::PhysicsMagnet() : Object(kClassPhysicsMagnet) {}

int PhysicsMagnet::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<PhysicsMagnet> handlers(kClassPhysicsMagnet, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandActionStartStep: ActionStart(); break;
    case kCommandActionStopStep: ActionStop(); break;
    case kCommandActionKillStep: magnetFlags_ &= ~kMagnetEnable; break;
    case kCommandCreatePhysics:
      if (!GetActive()) return 1;
      if ((magnetFlags_ & kMagnetEnable) == 0) {
        PassPhysicsStartToChildren(*this, args);
        return 1;
      }
      break;
    case kCommandInitializeNewObject: InitializeSensor(*this, 1.0f, kSensorCollisionBits); break;
    default: break;
  }
  return Object::ExecuteCommand(id, args);
}

// The pull radius follows at the next Precalculate.
int PhysicsMagnet::SetRadiusCommand(CommandArgs args) {
  GeometryRecord* sensor = GetSensor(*this);
  if (sensor == nullptr) return 1;
  Vector3 dimension = sensor->dimension;
  RadiusOf(sensor->Shape(), dimension) = args.Get<float>();
  ResizeSensor(*this, dimension);
  return 1;
}

int PhysicsMagnet::GetRadiusCommand(CommandArgs args) {
  GeometryRecord* sensor = GetSensor(*this);
  args.Set<float>(sensor != nullptr ? RadiusOf(sensor->Shape(), sensor->dimension) : 0.0f);
  return 1;
}

int PhysicsMagnet::SetEnableCommand(CommandArgs args) {
  StoreFlagArgument(magnetFlags_, kMagnetEnable, args);
  if ((magnetFlags_ & kMagnetEnable) != 0) EnableGeometries();
  else DisableGeometries();
  return 1;
}

int PhysicsMagnet::GetEnableCommand(CommandArgs args) { return LoadFlagArgument(magnetFlags_, kMagnetEnable, args); }

int PhysicsMagnet::ReleaseObjectsCommand(CommandArgs args) {
  ReleaseObjects(args.Get<float>());
  return 1;
}

void PhysicsMagnet::ActionStart() {
  if ((magnetFlags_ & kMagnetEnable) != 0) return;
  if (ObjectHooks* hooks = GetObjectHooks()) hooks->CreateObjectPhysics(*this);
  magnetTarget_.Reset();
  magnetFlags_ |= kMagnetEnable;
}

void PhysicsMagnet::ActionStop() {
  if ((magnetFlags_ & kMagnetEnable) != 0) {
    ForgetCandidates();
    previousTarget_.Reset();
    if (ObjectHooks* hooks = GetObjectHooks()) hooks->DestroyObjectPhysics(*this);
  }
  magnetFlags_ &= ~kMagnetEnable;
}

void PhysicsMagnet::ForgetCandidates() {
  for (Slots* slots : {&previousCandidates_, &candidates_}) slots->fill({});
  magnetTarget_.Reset();
}

// Inside the physics step: notes each distinct owner with a body, in
// report order. The level's geometry and other bodiless objects cannot be
// pulled, and holding one would keep the magnet from what it can lift.
int PhysicsMagnet::HandleContact(GeometryRecord*, GeometryRecord* other, ContactParameters*, int) {
  Object* owner = ContactBody(other);
  if ((magnetFlags_ & kMagnetEnable) == 0 || owner == nullptr) return 0;
  for (ObjectRef<>& slot : candidates_) {
    if (slot == owner) break;
    if (slot) continue;
    slot.Set(owner);
    if (previousTarget_ == owner) magnetTarget_.Set(owner);
    break;
  }
  return 0;
}

void PhysicsMagnet::Update() {
  if (!GetActive() || HasFlag(kFlagKilled) || (magnetFlags_ & kMagnetEnable) == 0) return;
  const bool holding = static_cast<bool>(magnetTarget_);
  if (holding) {
    candidates_[0] = magnetTarget_;
  } else {
    ChooseTarget();
  }
  if (holding && candidates_[0] && magnetRadius_ > 0) Pull(*candidates_[0].Get(), GetFrameTime());
  previousCandidates_ = candidates_;
  candidates_.fill({});
  previousTarget_ = magnetTarget_;
  magnetTarget_.Reset();
}

// The last candidate within the radius wins; it is pulled from the next
// frame on.
void PhysicsMagnet::ChooseTarget() {
  for (ObjectRef<>& slot : candidates_) {
    Object* candidate = slot.Get();
    if (candidate == nullptr) break;
    const float d = DistanceBetween(*this, *candidate);
    if (std::isfinite(d) && d < magnetRadius_) {
      magnetTarget_ = slot;
      glow_ = 0;
    }
  }
}

void PhysicsMagnet::Pull(Object& target, float dt) {
  const Vector3 p = GetPositionWS();
  const Vector3 q = target.GetPositionWS();
  const Vector3 v{p.x - q.x, p.y - q.y, p.z - q.z};
  const float d = Vector3Length(v);
  if (d >= magnetRadius_) return;
  Wake(target);
  const float m = target.GetMass();
  const Vector3 w = -target.GetLinearVelocity();
  if (Vector3Length(w) > kLinearDampingFrom) target.ApplyBodyVector(BodyVector::kAddForce, w * (kLinearDamping * m));
  const Vector3 a = -target.GetAngularVelocity();
  if (Vector3Length(a) > kSpinDampingFrom) target.ApplyBodyVector(BodyVector::kAddTorque, a * (kSpinDamping * m));
  const float s = (1 - d / magnetRadius_) * kPullScale;
  Vector3 gravity;
  if (World* world = GetWorld()) world->GetPhysicsGravity(gravity);
  target.ApplyBodyVector(BodyVector::kAddForce, gravity * -m);
  const float k = target.GetClassId() == kClassBone ? kPullBone : kPull;
  target.ApplyBodyVector(BodyVector::kAddForce, v * (m * s * k));
  glow_ = std::fmin(glow_ + dt * kGlowRise, 1.0f);
}

void PhysicsMagnet::ReleaseObjects(float strength) {
  if ((magnetFlags_ & kMagnetEnable) == 0 || magnetRadius_ <= 0) return;
  const Slots thrown = previousCandidates_;
  const int count = thrown[0] ? 1 : kCandidateCount;
  const Vector3 z = GetAxisZWS();
  for (int i = 0; i < count; ++i) {
    Object* object = thrown[static_cast<std::size_t>(i)].Get();
    if (object == nullptr || DistanceBetween(*this, *object) >= magnetRadius_) continue;
    Wake(*object);
    const float m = object->GetMass();
    const bool bone = object->GetClassId() == kClassBone;
    object->ApplyBodyVector(BodyVector::kAddForce, z * (m * (bone ? kThrowBone : kThrow) * strength));
    if (object->GetClassId() == kClassSimObject) static_cast<SimObject*>(object)->ArmPush();
  }
  ForgetCandidates();
  previousTarget_.Reset();
}

void PhysicsMagnet::Precalculate() {
  EnableUpdate();
  Object::Precalculate();
  if (GeometryRecord* sensor = GetSensor(*this)) magnetRadius_ = RadiusOf(sensor->Shape(), sensor->dimension);
  EngineServices* services = GetEngineServices();
  if (services != nullptr) glowMaterial_ = services->GetResources().AcquireResource("LightFlare_01Mat", kMaterialResource);
}

void PhysicsMagnet::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  const RenderDevice* device = GetRenderDevice();
  if ((magnetFlags_ & kSingleTarget) != 0 && glowMaterial_ && glow_ > 0 && services != nullptr) {
    if (Object* held = previousTarget_.Get()) glowPosition_ = held->GetPositionWS();
    if (device != nullptr && device->IsOpen()) {
      Vector3 screen;
      device->ProjectToScreen(screen, glowPosition_);
      const UiHooks* ui = GetUiHooks();
      const float sx = ui != nullptr ? ui->GetScreenScaleX() : 1.0f;
      const float sy = ui != nullptr ? ui->GetScreenScaleY() : 1.0f;
      services->GetRenderQueue().QueueSprite(glowMaterial_.Get(), screen, kGlowSize * sx, kGlowSize * sy,
                                             {1, 1, 1, glow_}, kGlowSpriteFlags);
    }
    glow_ -= GetFrameTime();
  }
  Object::Draw();
}

void PhysicsMagnet::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  ForgetCandidates();
}

bool PhysicsMagnet::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() >= 1) {
    std::uint32_t spare[2] = {0, 0};
    stream.Serialize(magnetFlags_);
    stream.Serialize(spare);
  }
  magnetFlags_ |= kSingleTarget;
  return !stream.Failed();
}

void RegisterPhysicsMagnetCommands() {
  RegisterCommandTable<PhysicsMagnet>(BuildCommandRegistry(), kClassPhysicsMagnet, PhysicsMagnet::Commands());
  GetObjectFactory().RegisterType<PhysicsMagnet>(kClassPhysicsMagnet);
}

}  // namespace tge
