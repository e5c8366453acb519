// AIPlayerFPS's hits, rag-doll fall and path following.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/ClassIds.h"
#include "core/ObjectHooks.h"
#include "core/math/Angles.h"
#include "objects/gameplay/characters/AIPlayerFPS.h"
#include "objects/gameplay/navigation/VisionGraph.h"
#include "objects/gameplay/weapons/CombatSupport.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/gameplay/world/Space.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"

namespace tge {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kRagDollTime = 2.0f;
constexpr Vector3 kEyeLift{0, 0.5f, 0};
constexpr float kGoalRadius = 1.5f;
constexpr float kFollowFight = 4.3f;
constexpr float kFollowStop = 2.0f;
constexpr float kRepathTime = 2.0f;
constexpr float kScareCheck = 1.0f;
constexpr int kScareChecks = 6;
constexpr float kUnevenStep = 0.4f;

// The get-hit animation of the body part a bone index belongs to.
const char* BodyPartAnimation(std::int32_t boneIndex) {
  struct Part {
    std::int32_t first, second;
    const char* animation;
  };
  static constexpr Part kParts[] = {{1, 2, "N_Gethit_LeftFoot"}, {19, 20, "N_Gethit_RightFoot"},
                                    {38, 39, "N_Gethit_Body"},     {42, 47, "N_Gethit_Head"},
                                    {49, 50, "N_Gethit_LeftArm"},  {68, 69, "N_Gethit_RightArm"}};
  for (const Part& part : kParts) {
    if (boneIndex == part.first || boneIndex == part.second) return part.animation;
  }
  return nullptr;
}

// Two Spaces that neither nest nor share a parent need a connection.
bool NeedConnection(const Space* mine, const Space* theirs) {
  if (mine == nullptr || theirs == nullptr || mine == theirs) return false;
  const Space* myParent = mine->GetParentSpace();
  const Space* theirParent = theirs->GetParentSpace();
  if (myParent == theirs || theirParent == mine) return false;
  return myParent == nullptr || myParent != theirParent;
}

}  // namespace

void AIPlayerFPS::Hit(Object* sender, std::uint32_t group, float damage, const Vector3* position,
                      const Vector3* direction, std::uint32_t kind) {
  SkinMesh* skin = GetSkinMesh();
  if (health_ <= 0 || state_ == kDead || skin == nullptr) return;
  const DeletionHold hold;
  const ObjectRef<> from(sender);
  getHitName_ = "N_Gethit0";
  if (group == 0) {
    if (skin->HasAnimation("N_Gethit_Body") != 0) getHitName_ = "N_Gethit_Body";
  } else if (group <= kGroupCount) {
    damage *= groupDamageMul_[group - 1];
    Bone* bone = position != nullptr ? skin->FindNearestBone(*position, false, true) : nullptr;
    if (bone != nullptr) {
      damage *= bone->GetDamageMul();
      const char* part = BodyPartAnimation(bone->GetBoneIndex());
      if (part != nullptr && skin->HasAnimation(part) != 0) getHitName_ = part;
    }
    if (damage <= 0) return;
    if (bone != nullptr) RunScript("OnGetHit_" + bone->GetName(), bone);
  }
  health_ -= damage;
  if (position != nullptr && direction != nullptr) {
    hitPosition_ = *position;
    hitDirection_ = *direction;
  }
  health_ = std::max(health_, 0.0f);
  if (!FireEventStillHere(kEventChangeHealth, nullptr)) return;
  if (health_ > 0) {
    SetState(kGetHit);
  } else if (kind == kRagDollKind) {
    FallToRagDoll();
    flags_ &= ~kUseDieAnimation;
    SetState(kDead);
  } else {
    SetState((flags_ & kUseDieAnimation) != 0 ? kDead : kGetHit);
  }
  Object* attacker = from.Get();
  if (attacker != nullptr && attacker->GetClassId() == kClassWeapon) {
    if (Object* holder = static_cast<Weapon*>(attacker)->GetHolder()) SetTarget(holder);
  }
}

// The body stops colliding and the skeleton takes over.
void AIPlayerFPS::FallToRagDoll() {
  DisableGeometries();
  if (ObjectPhysics* physics = GetPhysics()) physics->flags &= ~kPhysicsEnableRigidBody;
  if (SkinMesh* skin = GetSkinMesh()) skin->StartRagDoll(kRagDollTime);
}

void AIPlayerFPS::FollowStep(float dt) {
  if (!target_) return SetState(kIdle);
  if (fightGroup_ != 0 && distanceToTarget_ < kFollowFight) return SetState(kFight);
  if (fightGroup_ == 0) {
    scareTimer_ += dt;
    if (scareTimer_ > kScareCheck) {
      scareTimer_ = 0;
      scareCount_ = FindThreat() != nullptr ? scareCount_ + 1 : 0;
      if (scareCount_ > kScareChecks) {
        scareCount_ = 0;
        return SetState(kScared);
      }
    }
  }
  repathTimer_ += dt;
  PathRecord* path = path_.Get();
  if (distanceToTarget_ <= kFollowStop) {
    if (path != nullptr) path->waypoints.clear();
    if (noTurning_ == 0 && timeSinceNoTurningChange_ >= 0.5f) {
      Play("N_Neutral");
    } else {
      Queue("N_Neutral");
    }
    return;
  }
  if (GetVisionGraph() != nullptr && path != nullptr && (path->waypoints.empty() || repathTimer_ > kRepathTime)) {
    Repath();
  }
  SteerAlongPath(dt);
}

// A target in another cell is reached through the connection between the
// two cells, then straight on.
void AIPlayerFPS::Repath() {
  repathTimer_ = 0;
  PathRecord& path = *path_.Get();
  Object* target = target_.Get();
  const Vector3 start = GetPositionWS() + kEyeLift;
  Vector3 goal = targetPosition_ + kEyeLift;
  Space* connection = nullptr;
  if (target != nullptr && NeedConnection(GetSpace(), target->GetSpace())) {
    connection = GetSpace()->FindConnection(target->GetSpace());
  }
  if (connection != nullptr) goal = connection->GetPositionWS() + kEyeLift;
  GetVisionGraph()->FindPath(start, goal, path);
  if (connection != nullptr) path.waypoints.push_back({targetPosition_ + kEyeLift, kGoalRadius});
  const char* gait = pathUneven_ ? "N_Forward" : "R_Forward";
  if (noTurning_ != 0) {
    Play(gait);
  } else {
    Queue(gait);
  }
}

void AIPlayerFPS::SteerAlongPath(float dt) {
  PathRecord* path = path_.Get();
  if (path == nullptr || path->waypoints.empty()) return;
  const PathWaypoint& next = path->waypoints.front();
  const float reach = std::max(0.5f * next.radius, 1.0f);
  const Vector3 eye = GetPositionWS() + kEyeLift;
  TurnAngleTowards(yaw_, Vector3YawFlat(next.position - eye), dt * kPi, nullptr);
  ApplyYaw();
  pathUneven_ = path->waypoints.size() > 1;
  if (Vector3Length(eye - next.position) >= reach) return;
  const float removedY = next.position.y;
  path->waypoints.pop_front();
  if (path->waypoints.empty()) return;
  float h = path->waypoints[0].position.y;
  if (path->waypoints.size() > 1) h = 0.5f * (h + path->waypoints[1].position.y);
  pathUneven_ = std::fabs(h - removedY) > kUnevenStep;
}

}  // namespace tge
