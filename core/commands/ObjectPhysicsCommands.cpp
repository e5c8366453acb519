// The base commands on an object's physics description: the physics flags,
// the list of collision geometries and the current one's properties, and
// the velocities and forces of the rigid body. Without a physics record (or
// a body, for the velocities) they do nothing and getters answer neutral
// values.
#include "core/BaseCommandIds.h"
#include "core/Object.h"
#include "core/commands/BaseCommandTable.h"

namespace tge {
namespace {

constexpr std::uint32_t kMaterialShift = 16;

bool IsOn(CommandArgs args) { return args.Get<std::int32_t>() != 0; }

// The dimension a shape starts with when its type is set.
Vector3 DefaultDimension(std::uint32_t shape) {
  switch (shape) {
    case kGeometrySphere: return {1, 0, 0};
    case kGeometryBox: return {1, 1, 1};
    case kGeometryCCylinder: return {1, 1, 0};
    default: return {0, 1, 0};
  }
}

const char* ShapeName(std::uint32_t shape) {
  switch (shape) {
    case kGeometrySphere: return "Sphere";
    case kGeometryBox: return "Box";
    case kGeometryCCylinder: return "CCylinder";
    default: return "Plane";
  }
}

// The neutral answer of a geometry getter without a current geometry.
template <class T>
T Neutral() {
  if constexpr (std::is_same_v<T, float>) return 1.0f;
  else return T{};
}

}  // namespace

// clang-format off
std::span<const CommandEntry<Object>> Object::PhysicsCommands() {
  using namespace table_terms;
  static const CommandEntry<Object> table[] = {
    {105, "UsePhysics", Kind::kProperty, 0, {kBool}, Member<&Object::SetUsePhysicsCommand>, Member<&Object::GetFlagCommand<kFlagUsePhysics>>},
    {107, "BlockStartPhysics", Kind::kProperty, 0, {kBool}, Member<&Object::SetFlagCommand<kFlagBlockStartPhysics>>, Member<&Object::GetFlagCommand<kFlagBlockStartPhysics>>},
    {109, "StartPhysics", Kind::kCommand, S, {}, Member<&Object::StartPhysicsCommand>},
    {110, "StopPhysics", Kind::kCommand, S, {}, Member<&Object::StopPhysicsCommand>},
    {111, "EnableRigidBody", Kind::kProperty, 0, {kBool}, Member<&Object::SetEnableRigidBodyCommand>, Member<&Object::GetPhysicsFlagCommand<kPhysicsEnableRigidBody>>},
    {113, "RigidBodyUseGeomOrien", Kind::kProperty, 0, {kBool}, Member<&Object::SetPhysicsFlagCommand<kPhysicsRigidBodyUseGeomOrien>>, Member<&Object::GetPhysicsFlagCommand<kPhysicsRigidBodyUseGeomOrien>>},
    {115, "EnableLocalSpace", Kind::kProperty, 0, {kBool}, Member<&Object::SetEnableLocalSpaceCommand>, Member<&Object::GetPhysicsFlagCommand<kPhysicsEnableLocalSpace>>},
    {117, "InheritLocalSpace", Kind::kProperty, 0, {kBool}, Member<&Object::SetPhysicsFlagCommand<kPhysicsInheritLocalSpace>>, Member<&Object::GetPhysicsFlagCommand<kPhysicsInheritLocalSpace>>},
    {119, "NotLockedInSpace", Kind::kProperty, 0, {kBool}, Member<&Object::SetPhysicsFlagCommand<kPhysicsNotLockedInSpace>>, Member<&Object::GetPhysicsFlagCommand<kPhysicsNotLockedInSpace>>},
    {121, "AddGeometry", Kind::kCommand, P | Own, {}, Member<&Object::AddGeometryCommand>},
    {122, "DeleteGeometry", Kind::kCommand, P | Own, {}, Member<&Object::DeleteGeometryCommand>},
    {123, "SetGeometryList", Kind::kCommand, S | Own, {kDword}, Member<&Object::SetGeometryListCommand>},
    {124, "GetGeometryList", Kind::kCommand, G | Own | ObjectBlock, {kDword}, Member<&Object::GetGeometryListCommand>},
    {125, "GeometryType", Kind::kProperty, 0, {kDword}, Member<&Object::SetGeometryTypeCommand>, Member<&Object::GetGeometryTypeCommand>},
    {127, "GeometryPosition", Kind::kProperty, 0, {kVec3}, Member<&Object::SetGeometryFieldCommand<&GeometryRecord::position>>, Member<&Object::GetGeometryFieldCommand<&GeometryRecord::position>>},
    {129, "GeometryRotation", Kind::kProperty, 0, {kQuat}, Member<&Object::SetGeometryFieldCommand<&GeometryRecord::rotation>>, Member<&Object::GetGeometryFieldCommand<&GeometryRecord::rotation>>},
    {131, "GeometryDimension", Kind::kProperty, 0, {kVec3}, Member<&Object::SetGeometryDimensionCommand>, Member<&Object::GetGeometryFieldCommand<&GeometryRecord::dimension>>},
    {133, "GeometryCollisionBits", Kind::kProperty, 0, {kDword}, Member<&Object::SetGeometryFieldCommand<&GeometryRecord::collisionBits>>, Member<&Object::GetGeometryFieldCommand<&GeometryRecord::collisionBits>>},
    {135, "GeometryCategoryBits", Kind::kProperty, 0, {kDword}, Member<&Object::SetGeometryFieldCommand<&GeometryRecord::categoryBits>>, Member<&Object::GetGeometryFieldCommand<&GeometryRecord::categoryBits>>},
    {137, "GeometryHitEffect", Kind::kProperty, 0, {kDword}, Member<&Object::SetGeometryFieldCommand<&GeometryRecord::hitEffectMask>>, Member<&Object::GetGeometryFieldCommand<&GeometryRecord::hitEffectMask>>},
    {139, "GeometryMaterial", Kind::kProperty, 0, {kDword}, Member<&Object::SetGeometryMaterialCommand>, Member<&Object::GetGeometryMaterialCommand>},
    {141, "GeometryMassByDensity", Kind::kProperty, 0, {kBool}, Member<&Object::SetGeometryBitCommand<kGeometryMassByDensity>>, Member<&Object::GetGeometryBitCommand<kGeometryMassByDensity>>},
    {143, "GeometryMass", Kind::kProperty, 0, {kFloat}, Member<&Object::SetGeometryFieldCommand<&GeometryRecord::mass>>, Member<&Object::GetGeometryFieldCommand<&GeometryRecord::mass>>},
    {145, "GeometryCallback", Kind::kProperty, 0, {kBool}, Member<&Object::SetGeometryBitCommand<kGeometryCallback>>, Member<&Object::GetGeometryBitCommand<kGeometryCallback>>},
    {147, "GeometryEventOnly", Kind::kProperty, 0, {kBool}, Member<&Object::SetGeometryBitCommand<kGeometryEventOnly>>, Member<&Object::GetGeometryBitCommand<kGeometryEventOnly>>},
    {149, "GeometryUseTransform", Kind::kProperty, 0, {kBool}, Member<&Object::SetGeometryUseTransformCommand>, Member<&Object::GetGeometryBitCommand<kGeometryUseTransform>>},
    {151, "LinearVelocity", Kind::kProperty, 0, {kVec3}, Member<&Object::ApplyBodyVectorCommand<BodyVector::kSetLinearVelocity>>, Member<&Object::GetLinearVelocityCommand>},
    {153, "AngularVelocity", Kind::kProperty, 0, {kVec3}, Member<&Object::ApplyBodyVectorCommand<BodyVector::kSetAngularVelocity>>, Member<&Object::GetAngularVelocityCommand>},
    {155, "AddLinearVelocity", Kind::kCommand, S, {kVec3}, Member<&Object::ApplyBodyVectorCommand<BodyVector::kAddLinearVelocity>>},
    {156, "AddAngularVelocity", Kind::kCommand, S, {kVec3}, Member<&Object::ApplyBodyVectorCommand<BodyVector::kAddAngularVelocity>>},
    {157, "AddForce", Kind::kCommand, S, {kVec3}, Member<&Object::ApplyBodyVectorCommand<BodyVector::kAddForce>>},
    {158, "AddTorque", Kind::kCommand, S, {kVec3}, Member<&Object::ApplyBodyVectorCommand<BodyVector::kAddTorque>>},
    {159, "AddRelativeForce", Kind::kCommand, S, {kVec3}, Member<&Object::ApplyBodyVectorCommand<BodyVector::kAddRelativeForce>>},
    {160, "AddRelativeTorque", Kind::kCommand, S, {kVec3}, Member<&Object::ApplyBodyVectorCommand<BodyVector::kAddRelativeTorque>>},
  };
  return table;
}
// clang-format on

int Object::SetUsePhysicsCommand(CommandArgs args) {
  SetUsePhysics(IsOn(args));
  return 1;
}

int Object::SetEnableRigidBodyCommand(CommandArgs args) {
  if (!physics_) {
    SetInheritOrientation(false);
    SetUsePhysics(true);
  }
  physics_->flags = IsOn(args) ? (physics_->flags | kPhysicsEnableRigidBody) : (physics_->flags & ~kPhysicsEnableRigidBody);
  return 1;
}

template <std::int32_t Bit>
int Object::SetPhysicsFlagCommand(CommandArgs args) {
  if (physics_) physics_->flags = IsOn(args) ? (physics_->flags | Bit) : (physics_->flags & ~Bit);
  return 1;
}

template <std::int32_t Bit>
int Object::GetPhysicsFlagCommand(CommandArgs args) {
  args.Set<std::int32_t>(physics_ && (physics_->flags & Bit) != 0 ? 1 : 0);
  return 1;
}

// Every descendant inherits the local space setting.
int Object::SetEnableLocalSpaceCommand(CommandArgs args) {
  SetUsePhysics(true);
  SetPhysicsFlagCommand<kPhysicsEnableLocalSpace>(args);
  std::int32_t on = IsOn(args) ? 1 : 0;
  ArgumentBlock block;
  block.Push<std::int32_t>(117).PushPointer(&on);
  SendToChildren(kCommandBroadcast, block.Data());
  return 1;
}

int Object::AddGeometryCommand(CommandArgs) {
  AddGeometry();
  return 1;
}

int Object::DeleteGeometryCommand(CommandArgs) {
  if (physics_) EraseGeometry(physics_->currentGeometry);
  return 1;
}

int Object::SetGeometryListCommand(CommandArgs args) {
  if (physics_) physics_->currentGeometry = args.Get<std::int32_t>();
  return 1;
}

// The block is a list of text strings to append the shape names to; only
// code sends this command (kCommandObjectBlock).
int Object::GetGeometryListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  if (!physics_) return 1;
  for (const auto& geometry : physics_->geometries) names.emplace_back(ShapeName(geometry->Shape()));
  return 1;
}

int Object::SetGeometryTypeCommand(CommandArgs args) {
  GeometryRecord* geometry = GetCurrentGeometry();
  if (geometry == nullptr) return 1;
  const std::uint32_t shape = args.Get<std::uint32_t>() & kGeometryShapeMask;
  geometry->info = (geometry->info & ~kGeometryShapeMask) | shape;
  geometry->dimension = DefaultDimension(shape);
  return 1;
}

int Object::GetGeometryTypeCommand(CommandArgs args) {
  const GeometryRecord* geometry = GetCurrentGeometry();
  args.Set<std::uint32_t>(geometry ? geometry->Shape() : 0);
  return 1;
}

// Resizing a live collision geometry belongs to the physics wrapper.
int Object::SetGeometryDimensionCommand(CommandArgs args) {
  GeometryRecord* geometry = GetCurrentGeometry();
  if (geometry == nullptr) return 1;
  Vector3 dimension = args.Get<Vector3>();
  for (float* c : {&dimension.x, &dimension.y, &dimension.z}) *c = *c < 0 ? 0 : *c;
  geometry->dimension = dimension;
  return 1;
}

int Object::SetGeometryMaterialCommand(CommandArgs args) {
  GeometryRecord* geometry = GetCurrentGeometry();
  if (geometry == nullptr) return 1;
  const std::uint32_t material = args.Get<std::uint32_t>() & 0xFFFF;
  geometry->info = (geometry->info & 0xFFFF) | (material << kMaterialShift);
  return 1;
}

int Object::GetGeometryMaterialCommand(CommandArgs args) {
  const GeometryRecord* geometry = GetCurrentGeometry();
  args.Set<std::uint32_t>(geometry ? geometry->info >> kMaterialShift : 0);
  return 1;
}

int Object::SetGeometryUseTransformCommand(CommandArgs args) {
  if (physics_ && (physics_->flags & kPhysicsEnableRigidBody) != 0) SetGeometryBitCommand<kGeometryUseTransform>(args);
  return 1;
}

template <auto Field>
int Object::SetGeometryFieldCommand(CommandArgs args) {
  using T = std::remove_reference_t<decltype(std::declval<GeometryRecord&>().*Field)>;
  if (GeometryRecord* geometry = GetCurrentGeometry()) geometry->*Field = args.Get<T>();
  return 1;
}

template <auto Field>
int Object::GetGeometryFieldCommand(CommandArgs args) {
  using T = std::remove_reference_t<decltype(std::declval<GeometryRecord&>().*Field)>;
  const GeometryRecord* geometry = GetCurrentGeometry();
  args.Set<T>(geometry ? geometry->*Field : Neutral<T>());
  return 1;
}

template <std::uint32_t Bit>
int Object::SetGeometryBitCommand(CommandArgs args) {
  if (GeometryRecord* geometry = GetCurrentGeometry()) {
    geometry->info = IsOn(args) ? (geometry->info | Bit) : (geometry->info & ~Bit);
  }
  return 1;
}

template <std::uint32_t Bit>
int Object::GetGeometryBitCommand(CommandArgs args) {
  const GeometryRecord* geometry = GetCurrentGeometry();
  args.Set<std::int32_t>(geometry && (geometry->info & Bit) != 0 ? 1 : 0);
  return 1;
}

template <BodyVector What>
int Object::ApplyBodyVectorCommand(CommandArgs args) {
  ApplyBodyVector(What, args.Get<Vector3>());
  return 1;
}

int Object::GetLinearVelocityCommand(CommandArgs args) {
  args.Set(GetLinearVelocity());
  return 1;
}

int Object::GetAngularVelocityCommand(CommandArgs args) {
  args.Set(GetAngularVelocity());
  return 1;
}

}  // namespace tge
