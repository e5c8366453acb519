// Body lookup, lifecycle messages, the parameter block and its file record,
// shared by the joint object types.
#include "objects/gameplay/props/JointObject.h"

#include "core/BaseCommandIds.h"
#include "core/CommandAccessors.h"
#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/physics/PhysicsBody.h"
#include "objects/gameplay/physics/PhysicsHandles.h"
#include "objects/gameplay/physics/PhysicsJoint.h"

namespace tge {

JointBodies FindJointBodies(const Object& joint) {
  JointBodies bodies;
  if (const Object* parent = joint.GetParent()) bodies.first = ToOde(parent->GetBody());
  bodies.second = ToOde(joint.GetBody());
  for (int i = 0; bodies.second == nullptr && i < joint.GetChildCount(); ++i) {
    bodies.second = ToOde(joint.GetChild(i)->GetBody());
  }
  return bodies;
}

void ApplyAutoDisable(dBodyID body, const AutoDisableSettings& settings) {
  SetBodyAutoDisable(body, 1);
  SetBodyAutoDisableLinearThreshold(body, settings.linearThreshold);
  SetBodyAutoDisableAngularThreshold(body, settings.angularThreshold);
  SetBodyAutoDisableTime(body, settings.seconds);
  SetBodyAutoDisableSteps(body, settings.steps);
}

JointObject::JointObject(int classId, std::span<const JointParameterSetter> setters, std::vector<float> defaults,
                         std::span<const std::uint8_t> applyOrder, std::span<const std::uint8_t> fileOrder,
                         bool hasInsertOnAction)
    : Object(classId),
      setters_(setters),
      parameters_(std::move(defaults)),
      applyOrder_(applyOrder),
      fileOrder_(fileOrder),
      hasInsertOnAction_(hasInsertOnAction) {}

JointObject::~JointObject() { ReleaseJoint(); }

void JointObject::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  joint_ = nullptr;
}

int JointObject::ExecuteCommand(std::uint32_t id, void* args) {
  if (id == kCommandInitializeNewObject) SetInheritOrientation(false);
  if (!HandleLifecycle(id, args)) return 0;
  return Object::ExecuteCommand(id, args);
}

bool JointObject::HandleLifecycle(std::uint32_t id, void* args) {
  const bool onAction = hasInsertOnAction_ && (jointFlags_ & kJointInsertOnAction) != 0;
  switch (id) {
    case kCommandStartPhysics:
      if (!GetActive()) return false;
      if (!onAction) CreateJoint();
      return true;
    case kCommandStopPhysics:
      ReleaseJoint();
      return true;
    case kCommandActionStartStep:
    case kCommandActionStopStep:
      if (!onAction) return true;
      Object::ExecuteCommand(id, args);
      if (id == kCommandActionStartStep) {
        CreateJoint();
      } else {
        ReleaseJoint();
      }
      return false;
    default:
      return true;
  }
}

void JointObject::SetParameter(std::size_t index, float value) {
  parameters_[index] = value;
  if (joint_ != nullptr) setters_[index](joint_, value);
}

void JointObject::CreateJoint() {
  ReleaseJoint();
  World* world = GetWorld();
  PhysicsWorld* physics = world != nullptr ? world->GetPhysicsWorld() : nullptr;
  if (physics == nullptr) return;
  joint_ = BuildJoint(physics, FindJointBodies(*this));
  if (joint_ == nullptr) return;
  for (std::uint8_t index : applyOrder_) setters_[index](joint_, parameters_[index]);
}

void JointObject::ReleaseJoint() {
  if (joint_ == nullptr) return;
  DestroyJoint(joint_);
  joint_ = nullptr;
}

Vector3 JointObject::SourceAxis() {
  switch (GetAxisSource()) {
    case 1:
      return GetAxisXWS();
    case 2:
      return GetAxisYWS();
    case 3:
      return GetAxisZWS();
    default:
      return {0, 1, 0};
  }
}

int JointObject::SetAxisCommand(CommandArgs args) {
  jointFlags_ = (jointFlags_ & ~kJointAxisSourceMask) | (args.Get<std::uint32_t>() & kJointAxisSourceMask);
  return 1;
}

int JointObject::GetAxisCommand(CommandArgs args) {
  args.Set<std::uint32_t>(GetAxisSource());
  return 1;
}

int JointObject::SetInsertOnActionCommand(CommandArgs args) {
  return StoreFlagArgument(jointFlags_, kJointInsertOnAction, args);
}

int JointObject::GetInsertOnActionCommand(CommandArgs args) {
  return LoadFlagArgument(jointFlags_, kJointInsertOnAction, args);
}

int JointObject::ReleaseJointCommand(CommandArgs) {
  ReleaseJoint();
  return 1;
}

bool JointObject::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(jointFlags_);
  std::uint32_t spare = 0;
  stream.Serialize(spare);
  for (std::uint8_t index : fileOrder_) stream.Serialize(parameters_[index]);
  return !stream.Failed();
}

}  // namespace tge
