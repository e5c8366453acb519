// Door's command table, opening and closing, leaf motion and file record.
#include "objects/gameplay/props/Door.h"

#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/CommandAccessors.h"
#include "core/ObjectFactory.h"
#include "core/ObjectRecords.h"
#include "core/files/SerializeStream.h"
#include "core/math/Shapes.h"
#include "objects/gameplay/world/Space.h"
#include "objects/ui/sound/Sound.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr auto P = CommandKind::kProperty;
constexpr auto C = CommandKind::kCommand;
constexpr auto E = CommandKind::kEvent;

constexpr int kEventOnDoorOpen = 9279;
constexpr int kEventOnDoorOpened = 9280;
constexpr int kEventOnDoorClose = 9281;
constexpr int kEventOnDoorClosed = 9282;
constexpr int kEventOnDoorLocked = 9285;
constexpr std::uint32_t kCommandSetSpaceConnectionOpen = 2016;

enum DoorType : std::int32_t { kTurningLeaf = 1, kSlidingLeaf = 2, kTurningPair = 3, kSlidingPair = 4 };

bool Turns(std::int32_t type) { return type == kTurningLeaf || type == kTurningPair; }
bool Slides(std::int32_t type) { return type == kSlidingLeaf || type == kSlidingPair; }
bool HasPair(std::int32_t type) { return type == kTurningPair || type == kSlidingPair; }

// The rotation that turned by angle about axis gives rotation (as RotateBy
// turns a leaf).
Quaternion TurnedBack(const Quaternion& rotation, const Vector3& axis, float angle) {
  return rotation * AxisAngle(axis, -angle);
}

}  // namespace

// clang-format off
constexpr CommandEntry<Door> Door::kCommands[] = {
    {9250, "DoorType", P, 0, {kValueDword}, Member<&Door::SetTypeCommand>, FieldGetter<&Door::type_>},
    {9252, "DoorOpenTime", P, 0, {kValueFloat}, FieldSetter<&Door::openTime_>, FieldGetter<&Door::openTime_>},
    {9254, "DoorCloseTime", P, 0, {kValueFloat}, FieldSetter<&Door::closeTime_>, FieldGetter<&Door::closeTime_>},
    {9256, "DoorAutoCloseTime", P, 0, {kValueFloat}, FieldSetter<&Door::autoCloseTime_>, FieldGetter<&Door::autoCloseTime_>},
    {9258, "DoorOpenOnCollision", P, 0, {kValueBool}, FlagSetter<&Door::doorFlags_, kDoorOpenOnCollision>, FlagGetter<&Door::doorFlags_, kDoorOpenOnCollision>},
    {9260, "DoorAutoClose", P, 0, {kValueBool}, FlagSetter<&Door::doorFlags_, kDoorAutoClose>, FlagGetter<&Door::doorFlags_, kDoorAutoClose>},
    {9262, "DoorNoAutoCloseOnCollision", P, 0, {kValueBool}, FlagSetter<&Door::doorFlags_, kDoorNoAutoCloseOnCollision>, FlagGetter<&Door::doorFlags_, kDoorNoAutoCloseOnCollision>},
    {9264, "DoorOpenAwayFromOpener", P, 0, {kValueBool}, FlagSetter<&Door::doorFlags_, kDoorOpenAwayFromOpener>, FlagGetter<&Door::doorFlags_, kDoorOpenAwayFromOpener>},
    {9266, "DoorLocked", P, 0, {kValueBool}, FlagSetter<&Door::doorFlags_, kDoorLocked>, FlagGetter<&Door::doorFlags_, kDoorLocked>},
    {9268, "DoorLockGroup", P, 0, {kValueDword}, FieldSetter<&Door::lockGroup_>, FieldGetter<&Door::lockGroup_>},
    {9270, "DoorOpenLength", P, 0, {kValueFloat}, FieldSetter<&Door::openLength_>, FieldGetter<&Door::openLength_>},
    {9272, "DoorOpenAngle", P, 0, {kValueFloat}, FieldSetter<&Door::openAngle_>, FieldGetter<&Door::openAngle_>},
    {9274, "DoorOpenAxis", P, 0, {kValueVector3}, FieldSetter<&Door::openAxis_>, FieldGetter<&Door::openAxis_>},
    {9276, "DoorOpen", C, 0, {}, Member<&Door::OpenCommand>},
    {9277, "DoorClose", C, 0, {}, Member<&Door::CloseCommand>},
    {9278, "DoorCalculatePlacement", C, 0, {}, Member<&Door::NothingCommand>},
    {9279, "OnDoorOpen", E, 0, {}},
    {9280, "OnDoorOpened", E, 0, {}},
    {9281, "OnDoorClose", E, 0, {}},
    {9282, "OnDoorClosed", E, 0, {}},
    {9283, "OnDoorLock", E, 0, {}},
    {9284, "OnDoorUnlock", E, 0, {}},
    {9285, "OnDoorLocked", E, 0, {}},
};

std::span<const CommandEntry<Door>> Door::Commands() { return kCommands; }

// clang-format on

Door::Door() : Object(kClassDoor) {}

int Door::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<Door> handlers(kClassDoor, {kCommands});
  handlers.Run(*this, id, args);
  if ((id == kCommandChildDeleted || id == kCommandChildMoved) && args != nullptr) {
    ForgetChild(static_cast<const Object*>(args));
  }
  return Object::ExecuteCommand(id, args);
}

Sound* Door::GetSpeaker() const { return speaker_.Get(); }

void Door::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  door1_.Reset();
  door2_.Reset();
  speaker_.Reset();
}

int Door::SetTypeCommand(CommandArgs args) {
  SetType(args.Get<std::int32_t>());
  return 1;
}

int Door::OpenCommand(CommandArgs) {
  Open(nullptr);
  return 1;
}

int Door::CloseCommand(CommandArgs) {
  Close();
  return 1;
}

int Door::NothingCommand(CommandArgs) { return 1; }

void Door::ForgetChild(const Object* child) {
  if (door1_ == child) door1_.Reset();
  if (door2_ == child) door2_.Reset();
  if (speaker_.Get() == child) speaker_.Reset();
}

void Door::SetType(std::int32_t type) {
  type_ = type;
  CreateObject(kClassMesh, nullptr, *this, "DoorFrame");
  const auto leaf = [this](int classId, const char* name) {
    Object* child = CreateObject(classId, nullptr, *this, name);
    if (child != nullptr) child->SetInheritOrientation(false);
    return child;
  };
  door1_.Set(leaf(kClassMesh, "Door1"));
  speaker_.Set(static_cast<Sound*>(leaf(kClassSound, "DoorSpeaker")));
  if (HasPair(type)) door2_.Set(leaf(kClassMesh, "Door2"));
}

void Door::FindChildren() {
  door1_.Set(FindChildByName("Door1"));
  door2_.Set(FindChildByName("Door2"));
  speaker_.Set(static_cast<Sound*>(FindChildByName("DoorSpeaker", kClassSound)));
}

void Door::JoinConnectionSpace() {
  doorFlags_ &= ~kDoorInConnectionSpace;
  Object* parent = GetParent();
  if (parent == nullptr || parent->GetClassId() != kClassSpace) return;
  auto& space = static_cast<Space&>(*parent);
  if (!space.IsConnection()) return;
  space.SetSpaceFlag(kSpaceConnectionOpen, state_ != DoorState::kClosed);
  doorFlags_ |= kDoorInConnectionSpace | kDoorNoAutoCloseOnCollision;
  GeometryRecord* geometry = GetPhysics() != nullptr && !GetPhysics()->geometries.empty()
                                 ? GetPhysics()->geometries[0].get()
                                 : nullptr;
  if (geometry != nullptr) geometry->info |= kGeometryCallback;
}

void Door::Precalculate() {
  FindChildren();
  JoinConnectionSpace();
  if (state_ == DoorState::kOpen) {
    RecordPlacementBeforeOpening();
  } else {
    RecordClosedPlacement();
  }
  EnableUpdate();
  Object::Precalculate();
}

void Door::RecordClosedPlacement() {
  if (Object* leaf = door1_.Get()) {
    closedPosition1_ = leaf->GetPosition();
    closedRotation1_ = leaf->GetRotation();
  }
  if (Object* leaf = door2_.Get()) {
    closedPosition2_ = leaf->GetPosition();
    closedRotation2_ = leaf->GetRotation();
  }
}

void Door::RecordPlacementBeforeOpening() {
  TakeOpeningSpeeds();
  const bool turns = Turns(type_);
  const Vector3 slide = Slides(type_) ? openAxis_ * openLength_ : Vector3{};
  const float angle = turns ? openAngle_ : 0.0f;
  if (Object* leaf = door1_.Get()) {
    Vector3Subtract(closedPosition1_, leaf->GetPosition(), slide);
    closedRotation1_ = TurnedBack(leaf->GetRotation(), openAxis_, angle);
  }
  if (Object* leaf = door2_.Get()) {
    Vector3Add(closedPosition2_, leaf->GetPosition(), slide);
    closedRotation2_ = TurnedBack(leaf->GetRotation(), openAxis_, -angle);
  }
}

void Door::TakeOpeningSpeeds() {
  if (openTime_ == 0) return;
  angleRate_ = openAngle_ / openTime_;
  slideVelocity_ = openAxis_ * (1.0f / openTime_) * openLength_;
}

// Away from the opener: positive when the opener stands on the side Door1's
// local +Z faces.
float Door::OpeningRate(Object* opener) {
  const float rate = openAngle_ / openTime_;
  Object* leaf = door1_.Get();
  if ((doorFlags_ & kDoorOpenAwayFromOpener) == 0 || leaf == nullptr) return rate;
  Vector3 normal;
  Vector3TransformNormal(normal, {0, 0, 1}, leaf->GetWorldMatrix());
  Plane plane;
  PlaneFromPointNormal(plane, leaf->GetPositionWS(), normal);
  Vector3 from;
  if (opener != nullptr) {
    from = opener->GetPositionWS();
  } else if (EngineServices* services = GetEngineServices()) {
    from = services->GetView().GetCameraPosition();
  }
  const float side = Vector3Dot(normal, from) + plane.d;
  return side > 0 ? rate : -rate;
}

void Door::Open(Object* opener) {
  if (state_ != DoorState::kClosed) return;
  if ((doorFlags_ & kDoorLocked) != 0) {
    Play("Locked");
    FireEvent(kEventOnDoorLocked, opener);
    return;
  }
  Play("Open");
  if (openTime_ != 0) {
    angleRate_ = OpeningRate(opener);
    slideVelocity_ = openAxis_ * (1.0f / openTime_) * openLength_;
  }
  RecordClosedPlacement();
  doorTimer_ = 0;
  state_ = DoorState::kOpening;
  if (FireEventStillHere(kEventOnDoorOpen, opener)) SetDoorwayOpen(true);
}

void Door::Close() {
  if (state_ != DoorState::kOpen) return;
  Play("Close");
  if (closeTime_ != 0) {
    const float rate = openAngle_ / closeTime_;
    angleRate_ = angleRate_ > 0 ? -rate : rate;
    slideVelocity_ = openAxis_ * openLength_ * (-1.0f / closeTime_);
  }
  doorTimer_ = 0;
  state_ = DoorState::kClosing;
  FireEvent(kEventOnDoorClose, nullptr);
}

void Door::Update() {
  if (!GetActive()) return;
  const float dt = GetFrameTime();
  switch (state_) {
    case DoorState::kOpening:
      doorTimer_ += dt;
      if (doorTimer_ > openTime_) {
        FinishOpening();
      } else {
        MoveLeaves(dt);
      }
      break;
    case DoorState::kClosing:
      doorTimer_ += dt;
      if (doorTimer_ > closeTime_) {
        FinishClosing();
      } else {
        MoveLeaves(dt);
      }
      break;
    case DoorState::kOpen:
      if ((doorFlags_ & kDoorAutoClose) == 0) break;
      doorTimer_ += dt;
      if (doorTimer_ <= autoCloseTime_) break;
      if ((doorFlags_ & kDoorNoAutoCloseOnCollision) != 0 && (doorFlags_ & kDoorCollided) != 0) break;
      Close();
      break;
    case DoorState::kClosed:
      break;
  }
  doorFlags_ &= ~kDoorCollided;
}

void Door::MoveLeaves(float dt) {
  Object* first = door1_.Get();
  Object* second = HasPair(type_) ? door2_.Get() : nullptr;
  if (Turns(type_)) {
    if (first != nullptr) first->RotateBy(AxisAngle(openAxis_, angleRate_ * dt));
    if (second != nullptr) second->RotateBy(AxisAngle(openAxis_, -angleRate_ * dt));
  } else if (Slides(type_)) {
    if (first != nullptr) first->AddPosition(slideVelocity_ * dt);
    if (second != nullptr) second->AddPosition(slideVelocity_ * -dt);
  }
}

void Door::FinishOpening() {
  Play("Opened");
  doorTimer_ = 0;
  state_ = DoorState::kOpen;
  FireEvent(kEventOnDoorOpened, nullptr);
}

void Door::FinishClosing() {
  Play("Closed");
  if (Object* leaf = door1_.Get()) {
    leaf->SetPosition(closedPosition1_, true);
    leaf->SetRotation(closedRotation1_, true);
  }
  if (Object* leaf = door2_.Get()) {
    leaf->SetPosition(closedPosition2_, true);
    leaf->SetRotation(closedRotation2_, true);
  }
  doorTimer_ = 0;
  state_ = DoorState::kClosed;
  if (FireEventStillHere(kEventOnDoorClosed, nullptr)) SetDoorwayOpen(false);
}

void Door::Play(const char* entry) {
  if (Sound* speaker = speaker_.Get()) speaker->PlaySoundEntry(entry);
}

void Door::SetDoorwayOpen(bool open) {
  Object* parent = GetParent();
  if ((doorFlags_ & kDoorInConnectionSpace) == 0 || parent == nullptr) return;
  std::int32_t value = open ? 1 : 0;
  parent->ExecuteCommand(kCommandSetSpaceConnectionOpen, &value);
}

int Door::HandleContact(GeometryRecord*, GeometryRecord*, ContactParameters*, int) {
  doorFlags_ |= kDoorCollided;
  return 0;
}

bool Door::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  if (stream.GetVersion() < 1) return !stream.Failed();
  stream.Serialize(doorFlags_);
  stream.Serialize(type_);
  auto state = static_cast<std::int32_t>(state_);
  stream.Serialize(state);
  for (float* value : {&openTime_, &closeTime_, &autoCloseTime_}) stream.Serialize(*value);
  stream.Serialize(lockGroup_);
  stream.Serialize(openAxis_);
  stream.Serialize(openLength_);
  stream.Serialize(openAngle_);
  // A state the door does not know reads as Closed.
  if (!stream.IsWriting()) state_ = state >= 0 && state <= 3 ? static_cast<DoorState>(state) : DoorState::kClosed;
  return !stream.Failed();
}

void RegisterDoorCommands() {
  RegisterCommandTable<Door>(BuildCommandRegistry(), kClassDoor, Door::Commands());
  GetObjectFactory().RegisterType<Door>(kClassDoor);
}

}  // namespace tge
