// Mounting and dismounting: the player hangs itself under the transport's
// "PlayerPosition" without physics while it rides, and gets off where its
// skin mesh's pelvis stands.
#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/characters/PlayerTP.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/SkinMesh.h"

namespace tge {
namespace {

constexpr std::uint32_t kCommandStartPhysicsNow = 109, kCommandStopPhysicsNow = 110;
constexpr float kRidingSmoothing = 0.95f;
constexpr float kRidingHeight = 0.7f, kRidingDistance = 2.0f;
constexpr Vector3 kDismountTarget{-0.7f, -0.4f, 0};

// The right side when both sides are marked and the player stands nearer
// the right one; ties go left.
bool MountsRight(PlayerTP& player, Object& transport) {
  Object* left = transport.FindChildByName("EnterExitLeftPosition");
  Object* right = transport.FindChildByName("EnterExitRightPosition");
  return left != nullptr && right != nullptr && player.GetDistanceTo(*right) < player.GetDistanceTo(*left);
}

bool IsRiding(PlayerTPState state) {
  return state == PlayerTPState::kMounting || state == PlayerTPState::kRiding ||
         state == PlayerTPState::kDismounting || state == PlayerTPState::kDismounted;
}

}  // namespace

void PlayerTP::SetRidingCamera(Object* target) {
  Camera* camera = camera_.Get();
  if (camera == nullptr) return;
  camera->SetPositionSmooth(kRidingSmoothing);
  camera->SetTargetSmooth(kRidingSmoothing);
  camera->SetPositionYOffset(cameraHeight_ + kRidingHeight);
  camera->SetPositionDistance(cameraDistance_ + kRidingDistance);
  if (target != nullptr) camera->SetTargetObject(target);
}

// Only a Vehicle or a Horse with a "PlayerPosition" is a transport.
void PlayerTP::EnterTransport(Object* transport) {
  if (transport == nullptr || IsRiding(state_)) return;
  const int classId = transport->GetClassId();
  Object* position = transport->FindChildByName("PlayerPosition");
  ObjectHooks* hooks = GetObjectHooks();
  if (position == nullptr || hooks == nullptr || (classId != kClassVehicle && classId != kClassHorse)) return;
  const bool right = MountsRight(*this, *transport);
  StartMount(*transport, skinMesh_.Get(), right);
  const char* targetName = classId == kClassHorse ? "HorseCameraTarget" : "VehicleCameraTarget";
  SetRidingCamera(transport->FindChildByName(targetName));
  ExecuteCommand(kCommandStopPhysicsNow, nullptr);
  if (!hooks->MoveObject(*this, *position)) return;
  SetWSOrientation(false);
  SetPosition({0, 0, 0}, true);
  SetRotation(Quaternion{}, true);
  transport_.Set(transport);
  stateLength_ = skinMesh_.PlayingLength();
  if (FireEventStillHere(kEventEnterTransport, nullptr)) EnterState(PlayerTPState::kMounting);
}

void PlayerTP::StartDismount() {
  if (state_ != PlayerTPState::kRiding) return;
  Object* transport = transport_.Get();
  if (transport != nullptr && transport->GetClassId() == kClassHorse) {
    static_cast<Horse*>(transport)->SetState(kHorseDismount, false);
    skinMesh_.PlayNow("HorseDismount");
    skinMesh_.PlayNext("StepInPlace");
  }
  if (Camera* camera = camera_.Get()) {
    camera->SetPositionSmooth(kRidingSmoothing);
    camera->SetTargetSmooth(kRidingSmoothing);
    camera->SetTargetObject(cameraTarget_.Get());
    camera->SetPositionDistance(cameraDistance_);
  }
  if (Object* target = cameraTarget_.Get()) target->SetPosition(kDismountTarget, true);
  stateLength_ = skinMesh_.PlayingLength() + 0.5f;
  EnterState(PlayerTPState::kDismounting);
}

// Back into its Space, standing where the pelvis was, with physics again.
void PlayerTP::FinishDismount() {
  SkinMesh* skin = skinMesh_.Get();
  Object* pelvis = skin != nullptr ? skin->FindChildByName("PelvisAt") : nullptr;
  Object& pose = pelvis != nullptr ? *pelvis : (skin != nullptr ? static_cast<Object&>(*skin) : *this);
  const Vector3 position = pose.GetPositionWS();
  const Quaternion rotation = pose.GetRotationWS();
  if (skin != nullptr) skin->SetApplyRootMotion(false);
  ObjectHooks* hooks = GetObjectHooks();
  if (Space* space = GetSpace(); space != nullptr && hooks != nullptr && space != GetParent()) {
    hooks->MoveObject(*this, *space);
  }
  SetWSOrientation(true);
  SetPosition(position, true);
  SetRotation(rotation, true);
  ExecuteCommand(kCommandStartPhysicsNow, nullptr);
  Object* transport = transport_.Get();
  if (transport != nullptr && transport->FindChildByName("EnterExitLeftPosition") != nullptr) {
    SetPosition(position, true);
    SetRotation(rotation, true);
    yaw_ = Vector3YawFlat(GetAxisZWS());
  }
  RestoreCameraTarget();
  transport_.Reset();
  positionBlendTarget_ = position;
  rotationBlendTarget_ = rotation;
  positionBlendTime_ = rotationBlendTime_ = 1.0f;
  stateLength_ = 0.1f;
  if (FireEventStillHere(kEventExitTransport, nullptr)) EnterState(PlayerTPState::kDismounted);
}

}  // namespace tge
