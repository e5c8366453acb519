// Vehicle's command table, the building of its tree from a layout, the
// linking of its children, its recording and its file record. What it does
// every frame is in VehicleDriving.cpp.
#include "objects/gameplay/vehicles/Vehicle.h"

#include <numbers>
#include <optional>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectHooks.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/props/JointHinge2.h"
#include "objects/gameplay/vehicles/VehicleRecording.h"
#include "objects/gameplay/vehicles/Wheel.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/scene/Camera.h"
#include "objects/scene/FrameStorage.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/effects/Collector.h"
#include "objects/ui/sound/Sound.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/resources/MeshResource.h"
#include "services/resources/ResourceSet.h"
#include "services/resources/ResourceType.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;

constexpr std::uint32_t kCommandAddObjectRecordingKey = 204;
constexpr std::uint32_t kCommandPlayObjectRecordingKey = 205;
constexpr std::uint32_t kCommandSetEnableLocalSpace = 115;
constexpr std::uint32_t kCommandGetParticlesPerSec = 3257;
constexpr std::uint32_t kMaterialShift = 16;

constexpr float kDefaultWheelRadius = 0.3f;
constexpr float kBuiltStop = 0.5f;
// Shadow triangles gathered within 6 units, at most 500.
constexpr std::uint32_t kShadowCapacity = 500;
constexpr float kShadowParameter = 2.0f;
constexpr float kShadowRadius = 6.0f;
constexpr const char* kShadowMaterial = "VehicleShadowMat";
// A wheel record in a file: its name's length word and eleven floats.
constexpr std::int64_t kMinWheelRecordBytes = 12 * 4;

// One row of a layout's wheel table. Unset fields keep what the record held.
struct WheelLayout {
  const char* name;
  float x, z;  // in half widths and half lengths
  bool turned;
  std::optional<float> steeringMul;
  float engineMul;
  std::optional<float> brakeMul;
  std::optional<float> handbrakeMul;
};

constexpr WheelLayout kFourWheels[] = {
    {"LF_Wheel", -1, 1, true, -1.0f, 1, 1.0f, 0.0f},
    {"RF_Wheel", 1, 1, false, -1.0f, -1, 1.0f, 0.0f},
    {"LB_Wheel", -1, -1, true, 0.0f, 1, 1.0f, 0.0f},
    {"RB_Wheel", 1, -1, false, 0.0f, -1, 1.0f, 0.0f},
};
constexpr WheelLayout kSixWheels[] = {
    {"LF_Wheel", -1, 1, true, -1.0f, 1, 1.0f, 0.0f},
    {"RF_Wheel", 1, 1, false, -1.0f, -1, 1.0f, 0.0f},
    {"LB_Wheel", -1, -1, true, 1.0f, 1, 1.0f, 0.0f},
    {"RB_Wheel", 1, -1, false, 1.0f, -1, 1.0f, 0.0f},
    {"LM_Wheel", -1, 0, true, {}, 1, {}, {}},
    {"RM_Wheel", 1, 0, false, {}, -1, {}, {}},
};

// The sound entries the vehicle plays, by name.
struct SoundSlot {
  const char* name;
  std::int32_t Vehicle::*index;
};

// A wheel body's sphere, rolling on the ground (category 1) but never
// touching the chassis. Its contacts go through the body's handler, which
// gives a Wheel its tyre grip.
void AddWheelSphere(Object& body, float radius) {
  GeometryRecord& sphere = body.AddGeometry();
  sphere.info |= kGeometryCallback;
  sphere.dimension = {radius, 0, 0};
  sphere.collisionBits = 2;
  sphere.categoryBits = 3;
  sphere.info = (sphere.info & 0xFFFF) | (1u << kMaterialShift);
  body.GetPhysics()->flags |= kPhysicsEnableRigidBody;
}

template <class T>
T* FindLinked(const Object& parent, const char* name, int classId) {
  return static_cast<T*>(parent.FindChildByName(name, classId));
}

}  // namespace

// clang-format off
using V = Vehicle;
using W = WheelRecord;
constexpr CommandEntry<Vehicle> Vehicle::kCommands[] = {
    {3000, "VehicleType", P, 0, {kValueDword}, Member<&V::SetTypeCommand>, FieldGetter<&V::vehicleType_>},
    {3002, "VehicleInputDevice", P, 0, {kValueDword}, FieldSetter<&V::inputDevice_>, FieldGetter<&V::inputDevice_>},
    {3004, "ModifyWheels", P, 0, {kValueDword}, Member<&V::SetModifyWheelsCommand>, FieldGetter<&V::vehicleType_>},
    {3006, "SteeringVelocityMul", P, 0, {kValueFloat}, FieldSetter<&V::steeringVelocityMul_>, FieldGetter<&V::steeringVelocityMul_>},
    {3008, "SteeringForceMul", P, 0, {kValueFloat}, FieldSetter<&V::steeringForceMul_>, FieldGetter<&V::steeringForceMul_>},
    {3010, "EngineVelocityMul", P, 0, {kValueFloat}, FieldSetter<&V::engineVelocityMul_>, FieldGetter<&V::engineVelocityMul_>},
    {3012, "EngineForceMul", P, 0, {kValueFloat}, FieldSetter<&V::engineForceMul_>, FieldGetter<&V::engineForceMul_>},
    {3014, "BrakeForceMul", P, 0, {kValueFloat}, FieldSetter<&V::brakeForceMul_>, FieldGetter<&V::brakeForceMul_>},
    {3016, "HandbrakeForceMul", P, 0, {kValueFloat}, FieldSetter<&V::handbrakeForceMul_>, FieldGetter<&V::handbrakeForceMul_>},
    {3018, "SetWheelList", C, kCommandSetter, {kValueDword}, Member<&V::SetWheelListCommand>},
    {3019, "GetWheelList", C, kCommandGetter | kCommandObjectBlock, {kValuePointer}, Member<&V::GetWheelListCommand>},
    {3020, "WheelName", P, 0, {kValueString}, Member<&V::SetWheelField<&W::name>>, Member<&V::GetWheelField<&W::name>>},
    {3022, "WheelPosition", P, 0, {kValueVector3}, Member<&V::SetWheelField<&W::position>>, Member<&V::GetWheelField<&W::position>>},
    {3024, "WheelSteeringMul", P, 0, {kValueFloat}, Member<&V::SetWheelField<&W::steeringMul>>, Member<&V::GetWheelField<&W::steeringMul>>},
    {3026, "WheelEngineMul", P, 0, {kValueFloat}, Member<&V::SetWheelField<&W::engineMul>>, Member<&V::GetWheelField<&W::engineMul>>},
    {3028, "WheelBrakeMul", P, 0, {kValueFloat}, Member<&V::SetWheelField<&W::brakeMul>>, Member<&V::GetWheelField<&W::brakeMul>>},
    {3030, "WheelHandbrakeMul", P, 0, {kValueFloat}, Member<&V::SetWheelField<&W::handbrakeMul>>, Member<&V::GetWheelField<&W::handbrakeMul>>},
    {3032, "WheelLoStop", P, 0, {kValueFloat}, Member<&V::SetWheelStop<kHinge2LoStop>>, Member<&V::GetWheelStop<kHinge2LoStop>>},
    {3034, "WheelHiStop", P, 0, {kValueFloat}, Member<&V::SetWheelStop<kHinge2HiStop>>, Member<&V::GetWheelStop<kHinge2HiStop>>},
    {3036, "ChassiMesh", P, 0, {kValueString}, FieldSetter<&V::chassisMesh_>, FieldGetter<&V::chassisMesh_>},
    {3038, "CreateWheelMesh", P, 0, {kValueString}, FieldSetter<&V::wheelMesh_>, FieldGetter<&V::wheelMesh_>},
    {3040, "ChassiDimesion", P, 0, {kValueVector3}, FieldSetter<&V::chassisDimension_>, FieldGetter<&V::chassisDimension_>},
    {3042, "SetVehicleMovement", C, kCommandSetter, {kValueFloat}, Member<&V::SetControl<&VehicleControls::throttle>>},
    {3043, "SetVehicleSteering", C, kCommandSetter, {kValueFloat}, Member<&V::SetControl<&VehicleControls::steering>>},
    {3044, "SetVehicleBreak", C, kCommandSetter, {kValueFloat}, Member<&V::SetControl<&VehicleControls::brake>>},
    {3045, "SetVehicleHandbreak", C, kCommandSetter, {kValueFloat}, FieldSetter<&V::handbrake_>},
};

std::span<const CommandEntry<Vehicle>> Vehicle::Commands() { return kCommands; }
// clang-format on

Vehicle::Vehicle() : Object(kClassVehicle) {}

// The render queue may still hold the shadow's vertices this frame.
Vehicle::~Vehicle() { KeepUntilFrameEnds(std::move(shadowTriangles_)); }

int Vehicle::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Vehicle> handlers(kClassVehicle, {kCommands});
  handlers.Run(*this, id, args);
  switch (id) {
    case kCommandCollectResources:
      CollectResources(args);
      break;
    case kCommandAddObjectRecordingKey:
      AddInputKey(args);
      break;
    case kCommandPlayObjectRecordingKey: {
      const int played = Object::ExecuteCommand(id, args);
      if (played != 0) PlayInputKey(args);
      return played;
    }
    default:
      break;
  }
  return Object::ExecuteCommand(id, args);
}

Sound* Vehicle::GetSpeaker() const { return speaker_.Get(); }

Camera* Vehicle::GetCamera() const { return camera_.Get(); }

template <auto Field>
int Vehicle::SetControl(CommandArgs args) {
  return StoreArgument(controls_.*Field, args);
}

WheelRecord* Vehicle::SelectedWheel() {
  const auto index = static_cast<std::uint32_t>(selectedWheel_);
  return index < wheels_.size() ? &wheels_[index] : nullptr;
}

template <auto Field>
int Vehicle::SetWheelField(CommandArgs args) {
  if (WheelRecord* wheel = SelectedWheel()) StoreArgument(wheel->*Field, args);
  return 1;
}

template <auto Field>
int Vehicle::GetWheelField(CommandArgs args) {
  if (WheelRecord* wheel = SelectedWheel()) LoadArgument(wheel->*Field, args);
  return 1;
}

template <std::size_t Parameter>
int Vehicle::SetWheelStop(CommandArgs args) {
  WheelRecord* wheel = SelectedWheel();
  if (wheel != nullptr && wheel->joint) wheel->joint->SetParameter(Parameter, args.Get<float>());
  return 1;
}

template <std::size_t Parameter>
int Vehicle::GetWheelStop(CommandArgs args) {
  WheelRecord* wheel = SelectedWheel();
  if (wheel != nullptr && wheel->joint) args.Set(wheel->joint->GetParameter(Parameter));
  return 1;
}

int Vehicle::SetTypeCommand(CommandArgs args) {
  BuildFromType(args.Get<std::int32_t>());
  return 1;
}

int Vehicle::SetModifyWheelsCommand(CommandArgs args) {
  ModifyWheels(args.Get<std::uint32_t>());
  return 1;
}

int Vehicle::SetWheelListCommand(CommandArgs args) {
  selectedWheel_ = args.Get<std::int32_t>();
  return 1;
}

int Vehicle::GetWheelListCommand(CommandArgs args) {
  auto& names = *static_cast<std::vector<std::string>*>(args.Data());
  for (const WheelRecord& wheel : wheels_) names.push_back(wheel.name);
  return 1;
}

// A snapshot: under a deletion hold the children stay in the tree until the
// hold ends.
void Vehicle::DeleteChildren() {
  ObjectHooks* hooks = GetObjectHooks();
  if (hooks == nullptr) return;
  std::vector<Object*> children;
  for (int i = 0; i < GetChildCount(); ++i) children.push_back(GetChild(i));
  for (Object* child : children) hooks->DeleteObject(*child, false);
}

void Vehicle::BuildFromType(std::int32_t type) {
  if (type == 0) return;
  DeleteChildren();
  SetUsePhysics(false);
  SetUsePhysics(true);
  GetPhysics()->flags |= kPhysicsNotLockedInSpace;
  vehicleType_ = type;
  SetWheelLayout(type);
  BuildChassis();
  const float radius = WheelRadius();
  speaker_.Set(static_cast<Sound*>(CreateObject(kClassSound, nullptr, *this, "VehicleSpeaker")));
  for (WheelRecord& wheel : wheels_) BuildWheel(wheel, radius);
  std::int32_t on = 1;
  ExecuteCommand(kCommandSetEnableLocalSpace, &on);
}

void Vehicle::SetWheelLayout(std::int32_t type) {
  std::span<const WheelLayout> layout;
  if (type == kVehicleFourWheels) layout = kFourWheels;
  if (type == kVehicleSixWheels) layout = kSixWheels;
  if (type == kVehicleNoWheels) wheels_.clear();
  if (layout.empty()) return;
  const Vector3 half{chassisDimension_.x * 0.5f, chassisDimension_.y * 0.6f, chassisDimension_.z * 0.5f};
  Quaternion turned;
  QuaternionFromYawPitchRoll(turned, std::numbers::pi_v<float>, 0, 0);
  wheels_.resize(layout.size());
  for (std::size_t i = 0; i < layout.size(); ++i) {
    const WheelLayout& row = layout[i];
    WheelRecord& wheel = wheels_[i];
    wheel.name = row.name;
    wheel.position = {row.x * half.x, -half.y, row.z * half.z};
    if (row.turned) wheel.rotation = turned;
    wheel.steeringMul = row.steeringMul.value_or(wheel.steeringMul);
    wheel.engineMul = row.engineMul;
    wheel.brakeMul = row.brakeMul.value_or(wheel.brakeMul);
    wheel.handbrakeMul = row.handbrakeMul.value_or(wheel.handbrakeMul);
  }
}

// Two boxes: the chassis and a cabin of half its length on top of it, whose
// contacts reach HandleContact for the crash sounds.
void Vehicle::BuildChassis() {
  SetInheritOrientation(false);
  const Vector3& size = chassisDimension_;
  for (int part = 0; part < 2; ++part) {
    GeometryRecord& box = AddGeometry();
    box.info = (box.info & ~kGeometryShapeMask) | kGeometryBox | kGeometryCallback;
    box.categoryBits = 1;
    box.dimension = part == 0 ? size : Vector3{size.x * 0.95f, size.y, size.z * 0.5f};
    if (part == 1) {
      box.info |= kGeometryUseTransform;
      box.position = {0, size.y, 0};
    }
  }
  GetPhysics()->flags |= kPhysicsEnableRigidBody;
  auto* chassis = static_cast<Mesh*>(CreateObject(kClassMesh, nullptr, *this, "Chassi"));
  if (chassis == nullptr) return;
  chassis->SetInheritOrientation(false);
  chassis->AddMesh(chassisMesh_);
  chassis->SetPosition({0, -size.y * 0.5f, 0}, true);
}

// The top of the wheel mesh's box, or 0.3 without the mesh or when its box
// gives no size (a mesh without parts).
float Vehicle::WheelRadius() const {
  EngineServices* services = GetEngineServices();
  Resource* mesh = services != nullptr ? services->GetResources().LookupResource(wheelMesh_, kMeshResource) : nullptr;
  const float top = mesh != nullptr ? GetMeshBoundingBox(mesh).max.y : 0.0f;
  return top > 0 ? top : kDefaultWheelRadius;
}

JointHinge2* Vehicle::AddWheelJoint(WheelRecord& wheel, float stop) {
  auto* joint = static_cast<JointHinge2*>(CreateObject(kClassJointHinge2, nullptr, *this, wheel.name.c_str()));
  wheel.joint.Set(joint);
  if (joint == nullptr) return nullptr;
  joint->SetInheritOrientation(false);
  joint->SetPosition(wheel.position, true);
  joint->SetRotation(wheel.rotation, true);
  joint->SetParameter(kHinge2LoStop, -stop);
  joint->SetParameter(kHinge2HiStop, stop);
  return joint;
}

// A wheel that does not steer gets no steering motor: its stops hold it
// straight.
void Vehicle::BuildWheel(WheelRecord& wheel, float radius) {
  JointHinge2* joint = AddWheelJoint(wheel, wheel.steeringMul != 0 ? kBuiltStop : 0.0f);
  auto* body = joint != nullptr ? static_cast<Wheel*>(CreateObject(kClassWheel, nullptr, *joint, "Wheel")) : nullptr;
  if (body == nullptr) return;
  body->SetMesh(wheelMesh_);
  AddWheelSphere(*body, radius * 0.98f);
}

void Vehicle::ModifyWheels(std::uint32_t value) {
  const auto selected = static_cast<std::uint32_t>(selectedWheel_);
  if (value == 1) {
    if (selected < wheels_.size()) wheels_.erase(wheels_.begin() + selected);
    return;
  }
  if (value != 0 || FindChildByName("Chassi", kClassMesh) == nullptr) return;
  const std::size_t at = selected < wheels_.size() ? selected : 0;
  WheelRecord added;
  added.name = "Wheel_" + std::to_string(wheels_.size());
  WheelRecord& wheel = *wheels_.insert(wheels_.begin() + static_cast<std::ptrdiff_t>(at), std::move(added));
  JointHinge2* joint = AddWheelJoint(wheel, 0);
  auto* body = joint != nullptr ? static_cast<Mesh*>(CreateObject(kClassMesh, nullptr, *joint, "Wheel")) : nullptr;
  if (body == nullptr) return;
  body->AddMesh(wheelMesh_);
  AddWheelSphere(*body, kDefaultWheelRadius);
}

void Vehicle::Precalculate() {
  LinkChildren();
  if (Collector::GetGlobal() != nullptr) {
    KeepUntilFrameEnds(std::move(shadowTriangles_));
    shadowTriangles_ = CreateCollectorTriangleList(kShadowCapacity, kShadowParameter, kShadowRadius);
  }
  if (EngineServices* services = GetEngineServices()) {
    shadowMaterial_ = services->GetResources().AcquireResource(kShadowMaterial, kMaterialResource);
  }
  FindSoundEntries();
  EnableUpdate();
  Object::Precalculate();
}

void Vehicle::LinkChildren() {
  for (WheelRecord& wheel : wheels_) wheel.joint.Set(FindLinked<JointHinge2>(*this, wheel.name.c_str(), kClassJointHinge2));
  speaker_.Set(FindLinked<Sound>(*this, "VehicleSpeaker", kClassSound));
  exhaust_.Set(FindLinked<Object>(*this, "PS", kClassParticleSystem));
  exhaust2_.Set(FindLinked<Object>(*this, "PS2", kClassParticleSystem));
  playerPosition_.Set(FindChildByName("PlayerPosition"));
  camera_.Set(FindLinked<Camera>(*this, "VehicleCamera", kClassCamera));
  weapon_.Set(static_cast<Weapon*>(FindChildByClass(kClassWeapon)));
  if (Object* exhaust = exhaust_.Get()) exhaust->ExecuteCommand(kCommandGetParticlesPerSec, &exhaustBaseRate_);
}

// A later entry of a name replaces an earlier one.
void Vehicle::FindSoundEntries() {
  static constexpr SoundSlot kSlots[] = {
      {"EngineLoop", &Vehicle::engineLoopSound_}, {"EngineStart", &Vehicle::engineStartSound_},
      {"Crash", &Vehicle::crashSound_},           {"Crash2", &Vehicle::crash2Sound_},
      {"Tires", &Vehicle::tiresSound_},
  };
  for (const SoundSlot& slot : kSlots) this->*slot.index = -1;
  Sound* speaker = speaker_.Get();
  if (speaker == nullptr) return;
  for (unsigned i = 0; i < speaker->GetEntryCount(); ++i) {
    const std::string name = speaker->GetEntryName(static_cast<int>(i));
    for (const SoundSlot& slot : kSlots) {
      if (name == slot.name) this->*slot.index = static_cast<std::int32_t>(i);
    }
  }
}

// A copy links its own children at its Precalculate and makes its own
// shadow list: none of the original's is its.
void Vehicle::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  for (WheelRecord& wheel : wheels_) wheel.joint.Reset();
  playerPosition_.Reset();
  speaker_.Reset();
  exhaust_.Reset();
  exhaust2_.Reset();
  camera_.Reset();
  weapon_.Reset();
  shadowTriangles_.reset();
  shadowMaterial_.Reset();
}

void Vehicle::CollectResources(void* set) {
  if (set == nullptr) return;
  EngineServices* services = GetEngineServices();
  if (!shadowMaterial_ && services != nullptr) {
    shadowMaterial_ = services->GetResources().AcquireResource(kShadowMaterial, kMaterialResource);
  }
  static_cast<ResourceSet*>(set)->AddToResourceSet(shadowMaterial_.Get());
}

std::unique_ptr<ObjectRecording> Vehicle::MakeRecording() const { return std::make_unique<VehicleRecording>(); }

// The recording is the vehicle's own kind: MakeRecording made it, and the
// scheduled call carries it.
VehicleRecording* Vehicle::OwnRecording() const {
  return static_cast<VehicleRecording*>(GetRecording());
}

void Vehicle::AddInputKey(void* args) {
  VehicleRecording* recording = OwnRecording();
  if (args == nullptr || recording == nullptr || CommandArgs(args).GetPointer<ObjectRecording>() != recording) return;
  recording->inputKeys.push_back({controls_.steering, spareInput_, controls_.throttle});
}

void Vehicle::PlayInputKey(void* args) {
  VehicleRecording* recording = OwnRecording();
  if (args == nullptr || recording == nullptr || CommandArgs(args).GetPointer<ObjectRecording>() != recording) return;
  Vector3 inputs;
  if (!recording->SampleInputs(inputs)) return;
  controls_.steering = inputs.x;
  spareInput_ = inputs.y;
  controls_.throttle = inputs.z;
}

bool Vehicle::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  stream.Serialize(vehicleFlags_);
  if (stream.GetVersion() > 42) stream.Serialize(inputDevice_);
  for (float* value : {&steeringVelocityMul_, &steeringForceMul_, &engineVelocityMul_, &engineForceMul_,
                       &brakeForceMul_, &handbrakeForceMul_}) {
    stream.Serialize(*value);
  }
  for (float& value : reserved_) stream.Serialize(value);
  auto count = static_cast<std::uint32_t>(wheels_.size());
  stream.Serialize(count);
  if (stream.Failed()) return false;
  if (!stream.IsWriting()) {
    if (count * kMinWheelRecordBytes > stream.GetSize() - stream.Tell()) {
      FormatErrorMessage("Vehicle %s: %u wheels are more than the file holds", GetName().c_str(), count);
      return false;
    }
    wheels_.assign(count, WheelRecord{});
  }
  for (WheelRecord& wheel : wheels_) {
    stream.SerializeString(wheel.name);
    stream.Serialize(wheel.position);
    stream.Serialize(wheel.rotation);
    for (float* value : {&wheel.steeringMul, &wheel.brakeMul, &wheel.handbrakeMul, &wheel.engineMul}) {
      stream.Serialize(*value);
    }
  }
  if (!stream.IsWriting() && GetPhysics() != nullptr) GetPhysics()->flags |= kPhysicsNotLockedInSpace;
  return !stream.Failed();
}

void RegisterVehicleCommands() {
  RegisterCommandTable<Vehicle>(BuildCommandRegistry(), kClassVehicle, Vehicle::Commands());
  GetObjectFactory().RegisterType<Vehicle>(kClassVehicle);
}

}  // namespace tge
