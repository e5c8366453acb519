// Wheel's command table, tyre contacts, drawing and file record.
#include "objects/gameplay/vehicles/Wheel.h"

#include <cmath>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/props/JointHinge2.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr std::uint32_t kCommandStopObjectRecording = 199;
constexpr std::uint32_t kCommandPauseObjectRecording = 200;
constexpr std::uint32_t kCommandPlayObjectRecording = 202;

constexpr int kTyreMode = dContactFDir1 | dContactSoftERP | dContactSoftCFM | dContactSlip2 | dContactApprox1;
constexpr double kTyreSoftErp = 0.6;
constexpr double kTyreSoftCfm = 0.000001;

// The direction the tyre rolls in: across the wheel's axle and the up axis.
// False when the two are parallel, which gives no direction.
bool RollingDirection(const Vector3& axle, const Vector3& up, Vector3& out) {
  Vector3Cross(out, axle, up);
  if (!(Vector3LengthSquared(out) > 1e-12f)) return false;
  Vector3Normalize(out, out);
  return true;
}

}  // namespace

// WheelType is registered and saved, but nothing answers or reads it.
// clang-format off
constexpr CommandEntry<Wheel> Wheel::kCommands[] = {
    {8750, "WheelType", P, 0, {kValueDword}},
    {8752, "WheelMesh", P, 0, {kValueString}, Member<&Wheel::SetMeshCommand>, Member<&Wheel::GetMeshCommand>},
};

std::span<const CommandEntry<Wheel>> Wheel::Commands() { return kCommands; }
// clang-format on

Wheel::Wheel() : Object(kClassWheel) {}

int Wheel::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Wheel> handlers(kClassWheel, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandCollectResources:
      if (args != nullptr) {
        AcquireMesh();
        static_cast<ResourceSet*>(args)->AddToResourceSet(mesh_.Get());
      }
      break;
    case kCommandStopObjectRecording:
    case kCommandPauseObjectRecording:
      if (JointHinge2* joint = wheelJoint_.Get()) joint->CreateJoint();
      break;
    case kCommandPlayObjectRecording:
      if (JointHinge2* joint = wheelJoint_.Get()) joint->ReleaseJoint();
      break;
    default:
      break;
  }
  return Object::ExecuteCommand(id, args);
}

JointHinge2* Wheel::GetWheelJoint() const { return wheelJoint_.Get(); }

void Wheel::SetMesh(const std::string& name) {
  meshName_ = name;
  mesh_.Reset();
  AcquireMesh();
}

int Wheel::SetMeshCommand(CommandArgs args) {
  SetMesh(args.AsString());
  return 1;
}

int Wheel::GetMeshCommand(CommandArgs args) {
  args.AsString() = meshName_;
  return 1;
}

void Wheel::AcquireMesh() {
  EngineServices* services = GetEngineServices();
  if (!mesh_ && services != nullptr && !meshName_.empty()) {
    mesh_ = services->GetResources().AcquireResource(meshName_, kMeshResource);
  }
}

// The copy acquires its own mesh when it is first needed.
void Wheel::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  mesh_.Reset();
  vehicle_.Reset();
  wheelJoint_.Reset();
}

void Wheel::Precalculate() {
  Object* parent = GetParent();
  Object* grandparent = parent != nullptr ? parent->GetParent() : nullptr;
  if (grandparent != nullptr && parent->GetClassId() == kClassJointHinge2) {
    wheelJoint_.Set(static_cast<JointHinge2*>(parent));
    vehicle_.Set(grandparent);
  } else {
    wheelJoint_.Reset();
    vehicle_.Reset();
  }
  AcquireMesh();
  Object::Precalculate();
}

void Wheel::Draw() {
  if (!GetActive()) return;
  EngineServices* services = GetEngineServices();
  if (mesh_ && services != nullptr) {
    services->GetRenderQueue().QueueMesh(mesh_.Get(), GetWorldMatrix(), nullptr, nullptr, 1.0f, nullptr);
  }
  Object::Draw();
}

// Without a vehicle each contact's normal stands in for the vehicle's up
// axis; a contact whose up axis lies along the axle gets no friction
// direction. The slip grows with the spin about the wheel's own axle, so
// it does not depend on where the vehicle heads.
int Wheel::HandleContact(GeometryRecord*, GeometryRecord*, ContactParameters* contacts, int count) {
  const Vector3 axle = GetAxisXWS();
  Object* vehicle = vehicle_.Get();
  const Vector3 vehicleUp = vehicle != nullptr ? vehicle->GetAxisYWS() : Vector3{};
  Vector3 unitAxle;
  Vector3Normalize(unitAxle, axle);
  const float spin = std::fabs(Vector3Dot(GetAngularVelocity(), unitAxle));
  const float speed = Vector3Length(GetLinearVelocity());
  for (int i = 0; i < count; ++i) {
    dContact& contact = contacts[i];
    const Vector3 up = vehicle != nullptr ? vehicleUp : Vector3{static_cast<float>(contact.geom.normal[0]), static_cast<float>(contact.geom.normal[1]),
                                                     static_cast<float>(contact.geom.normal[2])};
    Vector3 rolling;
    const bool hasDirection = RollingDirection(axle, up, rolling);
    contact.surface.mode = hasDirection ? kTyreMode : (kTyreMode & ~dContactFDir1);
    contact.surface.mu = contact.surface.mu2 = kFriction;
    contact.surface.soft_erp = kTyreSoftErp;
    contact.surface.soft_cfm = kTyreSoftCfm;
    contact.surface.slip2 = speed * kTyreSlip * spin;
    if (hasDirection) {
      contact.fdir1[0] = rolling.x;
      contact.fdir1[1] = rolling.y;
      contact.fdir1[2] = rolling.z;
    }
  }
  return kContactKeepSurface;
}

bool Wheel::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  stream.Serialize(wheelType_);
  stream.SerializeString(meshName_);
  return !stream.Failed();
}

void RegisterWheelCommands() {
  RegisterCommandTable<Wheel>(BuildCommandRegistry(), kClassWheel, Wheel::Commands());
  GetObjectFactory().RegisterType<Wheel>(kClassWheel);
}

}  // namespace tge
