// AIPlayerFPS (class 43): the enemy or companion character of the
// first-person game. A physics body moved by the root motion of its skin
// mesh (the ground's contact surface motion carries it), with health and
// other attributes, a sensor sphere that sees players and other such
// characters, a ten-state behaviour, melee attacks sent as hit messages,
// hit reactions per body part and a rag-doll death.
//
// The target, the Doors and props it touches and its VisionGraph are held
// weakly: a target that goes is no target. The sensor geometry is the
// character's own; a copy makes its own on first use.
//
// The type, commands, file record, physics and contacts are in
// AIPlayerFPS.cpp; the think step, sensing and states in
// AIPlayerFPSBehaviour.cpp; hits and path following in AIPlayerFPSActions.cpp.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/math/Vector.h"
#include "objects/gameplay/characters/ProbeSphere.h"
#include "objects/gameplay/navigation/PathRecord.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class SkinMesh;
class VisionGraph;

// A path record of its own: a copy starts without one.
class OwnPath {
 public:
  OwnPath() = default;
  OwnPath(const OwnPath&) {}
  OwnPath& operator=(const OwnPath&) = delete;
  PathRecord* Get() const { return record_.get(); }
  void Make() { record_ = std::make_unique<PathRecord>(); }
  void Drop() { record_.reset(); }

 private:
  std::unique_ptr<PathRecord> record_;
};

class AIPlayerFPS : public Object {
 public:
  enum State : std::int32_t {
    kNoState = -1,
    kIdle = 0,
    kPaht = 1,
    kFight = 2,
    kAttack = 3,
    kGetHit = 4,
    kFollow = 5,
    kScared = 6,
    kInactive = 7,
    kMotion = 8,
    kDead = 9,
  };
  enum Range : std::int32_t { kNoRange = -1, kOutside = 0, kFar = 1, kMid = 2, kClose = 3, kNear = 4 };

  static constexpr std::uint32_t kUseDieAnimation = 1u << 1;
  // Bits 24 to 29: the skin mesh has the get-hit animation of that body part.
  static constexpr int kGetHitBitsShift = 24;
  static constexpr int kEventChangeHealth = 10826;
  // Hits of this kind that kill send the character straight to rag doll.
  static constexpr std::uint32_t kRagDollKind = 20;
  static constexpr int kGroupCount = 32;
  // The unregistered command that sets a state and the object it is about
  // (a character to follow or to fight), and its block.
  static constexpr std::uint32_t kSetStateWithTarget = 10801;
  struct StateWithTarget {
    std::uint32_t state;
    Object* target;
  };

  // One sensed character: a player (a = 1, b = 0) or another AI (a and b
  // its character and fight groups).
  struct SensorEntry {
    ObjectRef<> object;
    std::int32_t a = 0;
    std::uint32_t b = 0;
  };

  static std::span<const CommandEntry<AIPlayerFPS>> Commands();
  static const CommandEntry<AIPlayerFPS> kCommands[];

  AIPlayerFPS();

  int ExecuteCommand(std::uint32_t id, void* args) override;
  void CopyFrom(const Object& source) override;
  bool Serialize(SerializeStream& stream) override;
  // The think step.
  void Update() override;
  void Draw() override;
  void Precalculate() override;
  int HandleContact(GeometryRecord* own, GeometryRecord* other, ContactParameters* contacts, int count) override;
  int FireEvent(int eventId, Object* sender) override;

  // A hit of damage in a damage group at a point from a direction (either
  // may be null); a Weapon sender's holder becomes the target.
  void Hit(Object* sender, std::uint32_t group, float damage, const Vector3* position, const Vector3* direction,
           std::uint32_t kind);
  void SetState(State state);
  void SetTarget(Object* target);

  State GetState() const { return state_; }
  State GetPreviousState() const { return previousState_; }
  Range GetRange() const { return range_; }
  float GetHealth() const { return health_; }
  Object* GetTarget() const { return target_.Get(); }
  SkinMesh* GetSkinMesh() const;
  VisionGraph* GetVisionGraph() const;
  const std::vector<SensorEntry>& GetSensorEntries() const { return sensed_; }
  const PathRecord* GetPath() const { return path_.Get(); }
  int GetScareCount() const { return scareCount_; }
  float GetYaw() const { return yaw_; }
  std::uint32_t GetAIFlags() const { return flags_; }
  bool HasSensorGeometry() const { return sensor_.Exists(); }
  PhysicsGeom* GetSensorGeometry() const { return sensor_.Get(); }
  // Adds what the sensor sphere touches this frame: a player, or another
  // character with its groups.
  void Sense(Object* owner);

 private:
  int SetHealthCommand(CommandArgs args);
  int AddHealthCommand(CommandArgs args);
  int NormalizedHealthCommand(CommandArgs args);
  int NormalizedExhaustionCommand(CommandArgs args);
  int SetUseDieAnimationCommand(CommandArgs args);
  int GetUseDieAnimationCommand(CommandArgs args);
  int SetGroupDamageMulCommand(CommandArgs args);
  int GetGroupDamageMulCommand(CommandArgs args);
  int SetStateIdleCommand(CommandArgs args);
  int SetStateMotionCommand(CommandArgs args);
  template <std::int32_t Value>
  int SetPausedCommand(CommandArgs args);
  int SetStateWithTargetCommand(CommandArgs args);
  int ApplyHitCommand(CommandArgs args);
  int AnimationStartedCommand(CommandArgs args);

  // AIPlayerFPS.cpp.
  void CreatePhysics(void* args);
  void StartChildPhysics(void* args);
  void JoinSpace(void* args);
  void FindChildren();
  void DrawShadow();

  // AIPlayerFPSBehaviour.cpp.
  void Think();
  void SensorStep();
  void SetRange(Range range);
  Object* FindEnemy() const;
  Object* FindThreat() const;
  float AskHealth(Object& object) const;
  void LookStep(float dt);
  void TrackTarget();
  void PushTouchedProp(float dt);
  void OpenTouchedDoor();
  void RunStateStep(float dt);
  void LeaveState();
  void EnterState();
  void IdleStep();
  void FightStep(float dt);
  void AttackStep();
  void GetHitStep();
  void DeadStep(float dt);
  void TurnAndSteer(float dt);
  void TakeRootMotion(float dt);
  void Play(const char* name);
  void Queue(const char* name);

  // AIPlayerFPSActions.cpp.
  void FallToRagDoll();
  void FollowStep(float dt);
  void Repath();
  void SteerAlongPath(float dt);
  void ApplyYaw();

  ObjectRef<> skinMesh_;
  ObjectRef<> speaker_;
  ObjectRef<> attackTrailLeft_;
  ObjectRef<> attackTrailRight_;
  ObjectRef<> leftLookBone_;
  ObjectRef<> rightLookBone_;
  ResourceRef shadowMesh_;

  std::uint32_t type_ = 0;
  float health_ = 1.0f;
  float maxHealth_ = 1.0f;
  float endurance_ = 1.0f;
  float maxEndurance_ = 1.0f;
  float vision_ = 1.0f;
  float maxVision_ = 1.0f;
  float hearing_ = 1.0f;
  float maxHearing_ = 1.0f;
  float exhaustion_ = 1.0f;
  float maxExhaustion_ = 1.0f;
  std::uint32_t characterGroup_ = 0;
  std::uint32_t fightGroup_ = 0;
  std::uint32_t reserved_[3] = {};
  float attackEvaluationTime_ = 0;
  float groupDamageMul_[kGroupCount];
  std::uint32_t currentGroupDamage_ = 0;
  float damage_ = 20.0f;
  std::uint32_t damageGroup_ = 1;
  float sensorFar_ = 20.0f;
  float sensorMid_ = 10.0f;
  float sensorClose_ = 4.0f;
  float sensorNear_ = 2.0f;
  std::uint32_t flags_ = 0;
  std::int32_t paused_ = 0;

  State state_ = kNoState;
  State previousState_ = kNoState;
  float timeInState_ = 0;
  ObjectRef<> target_;
  ObjectRef<> previousTarget_;
  Vector3 targetPosition_;
  Vector3 directionToTarget_;
  float distanceToTarget_ = 0;
  float targetHealth_ = 0;
  float timeSinceTargetChange_ = 0;
  Range range_ = kOutside;
  Range previousRange_ = kNoRange;
  std::vector<SensorEntry> sensed_;
  ProbeSphere sensor_;
  float yaw_ = 0;
  std::int32_t noTurning_ = 1;
  float timeSinceNoTurningChange_ = 0;
  float hitTime_ = 0;
  float attackLength_ = 0;
  float attackCooldown_ = 0;
  std::uint32_t attackKind_ = 0;
  std::string getHitName_ = "N_Gethit0";
  float getHitLength_ = 0;
  bool neutralQueued_ = false;
  float deathEnd_ = 0;
  float twitchTimer_ = 0;
  float scareTimer_ = 0;
  int scareCount_ = 0;
  float repathTimer_ = 0;
  bool pathUneven_ = false;
  OwnPath path_;
  ObjectRef<> visionGraph_;
  float lookAngle_ = 0;
  bool floorContact_ = false;
  bool wallContact_ = false;
  Vector3 wallNormal_;
  Vector3 wallPoint_;
  float wallTimer_ = 0;
  bool touchingAI_ = false;
  bool touchingPlayer_ = false;
  ObjectRef<> touchedDoor_;
  ObjectRef<> touchedProp_;
  float pushTimer_ = 0;
  float timeSinceDrawn_ = 0;
  float shadowAlpha_ = 0;
  float groundHeight_ = 0;
  bool groundFound_ = false;
  float motionLength_ = 0;
  Vector3 rootVelocity_;
  Vector3 forwardAxis_{0, 0, 1};
  Vector3 hitPosition_;
  Vector3 hitDirection_;
};

void RegisterAIPlayerFPSCommands();

}  // namespace tge
