// AIPlayer tasks on the small skinned figure, without physics: insert
// orders, loop counts, task times, clearing and suspending lists, the
// bounds of the sub-task inserts, targets that go away, hits and the
// attack on a first-person player.
#include <gtest/gtest.h>

#include "core/script/ScriptInterpreter.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/world/HitMessage.h"
#include "tests/engine/characters/CharacterFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kBeginAnimation = 15051, kBeginIdle = 15052, kBeginTurnAt = 15055, kTaskTime = 15058,
                        kTaskTimeInfinite = 15059, kTaskLoop = 15060, kInsertFirst = 15062, kClearSubList = 15065,
                        kBeginLookAt = 15066, kInsertSubFirst = 15067, kInsertSubLast = 15068, kSuspend = 15045,
                        kResume = 15046, kBoneDamageMul = 1792, kBoneEnableDamage = 1794;

// Takes the hits sent to it, with the class id of a first-person player.
class FakePlayer : public Object {
 public:
  FakePlayer() : Object(kClassPlayerFPS) {}
  int ExecuteCommand(std::uint32_t id, void* args) override {
    if (id == kApplyHit) hits.push_back(*static_cast<HitMessage*>(args));
    return Object::ExecuteCommand(id, args);
  }
  std::vector<HitMessage> hits;
};

class AIPlayerTaskTest : public CharacterFixture {
 protected:
  AIPlayer& Ready(const Vector3& at = {}) {
    AIPlayer& ai = AddAI(*room, "AI", at);
    ai.Precalculate();
    ai.Start();
    return ai;
  }

  Object& Marker(const Vector3& at) {
    Object& marker = AddOwn<Object>(*room, "Marker");
    marker.SetPosition(at, false);
    return marker;
  }

  static void Begin(AIPlayer& ai, std::uint32_t command, Object* target) { ai.ExecuteCommand(command, &target); }
  static void BeginIdle(AIPlayer& ai, float time) {
    Send(ai, kBeginIdle);
    Send(ai, kTaskTime, time);
  }
  static void BeginAnimation(AIPlayer& ai, const std::string& name) {
    std::string text = name;
    ai.ExecuteCommand(kBeginAnimation, &text);
  }
  static const std::string& Playing(AIPlayer& ai) { return ai.GetSkinMesh()->GetCurrentAnimationName(); }
  static HitMessage Hit(float damage, std::uint32_t group, const Vector3& at = {}) {
    HitMessage hit;
    hit.damage = damage;
    hit.damageGroup = group;
    hit.position = at;
    return hit;
  }
};

TEST_F(AIPlayerTaskTest, InsertLastWaitsForTheRunningTaskAndInsertFirstRunsAtOnce) {
  AIPlayer& ai = Ready();
  BeginIdle(ai, 0.5f);
  Send(ai, kInsertLast);
  BeginAnimation(ai, "Wave");
  Send(ai, kInsertLast);
  EXPECT_EQ(Types(ai.GetTaskList(0)), (std::vector{AITaskType::kIdle, AITaskType::kAnimation}));
  EXPECT_EQ(Playing(ai), "Idle");
  Run(ai, 0.4);
  BeginAnimation(ai, "Gethit");
  Send(ai, kInsertFirst);
  EXPECT_EQ(Playing(ai), "Gethit");
  ASSERT_EQ(Types(ai.GetTaskList(0)),
            (std::vector{AITaskType::kAnimation, AITaskType::kIdle, AITaskType::kAnimation}));
  EXPECT_NEAR(std::next(ai.GetTaskList(0).begin())->elapsed, 0.4f, 0.02f);
  Run(ai, 0.75);  // Gethit's 0.5 s + 0.2 s
  EXPECT_EQ(Playing(ai), "Idle");
  Run(ai, 0.55);
  EXPECT_EQ(Playing(ai), "Wave");
  EXPECT_EQ(ai.GetPendingTask(), nullptr);
}

TEST_F(AIPlayerTaskTest, LoopCountsRequeueTheTaskAtTheEndOfItsList) {
  struct Case {
    std::int32_t loops;
    int runs;  // -1: still cycling
  };
  for (const Case c : {Case{3, 3}, Case{1, 1}, Case{0, 1}, Case{-1, -1}}) {
    SCOPED_TRACE(c.loops);
    AIPlayer& ai = Ready();
    BeginIdle(ai, 0.1f);  // finishes in the third frame of 0.05 s
    Send(ai, kTaskLoop, c.loops);
    Send(ai, kInsertLast);
    int frames = 0;
    while (!ai.GetTaskList(0).empty() && frames < 60) {
      Step(ai, 0.05);
      ++frames;
    }
    EXPECT_EQ(c.runs, ai.GetTaskList(0).empty() ? frames / 3 : -1);
    ai.Delete(false);
  }
}

TEST_F(AIPlayerTaskTest, TaskTimesFollowTheAnimationOrAreInfinite) {
  AIPlayer& ai = Ready();
  Object& marker = Marker({0, 0, 5});
  BeginIdle(ai, 0);
  Send(ai, kInsertLast);
  EXPECT_FLOAT_EQ(ai.GetTaskList(0).front().time, 1.2f);
  Send(ai, 15064);
  BeginAnimation(ai, "Wave");
  Send(ai, kInsertLast);
  EXPECT_FLOAT_EQ(ai.GetTaskList(0).front().time, 1.0f);
  Send(ai, 15064);

  BeginIdle(ai, 0);
  Send(ai, kTaskTimeInfinite);
  Send(ai, kInsertLast);
  Step(ai);
  EXPECT_TRUE(ai.GetTaskList(0).empty());

  Begin(ai, kBeginTurnAt, &marker);
  Send(ai, kTaskTimeInfinite);
  Send(ai, kInsertLast);
  Run(ai, 3);
  EXPECT_EQ(Types(ai.GetTaskList(0)), (std::vector{AITaskType::kTurnAt}));
}

TEST_F(AIPlayerTaskTest, ClearSubTaskListCountsFromTheFirstSubTaskList) {
  struct Case {
    std::uint32_t n;
    int cleared;  // list index, -1 none
  };
  for (const Case c : {Case{0, 1}, Case{3, 4}, Case{4, 5}, Case{5, 6}, Case{6, -1}}) {
    SCOPED_TRACE(c.n);
    AIPlayer& ai = Ready();
    for (std::uint32_t list = 0; list < 5; ++list) {
      BeginIdle(ai, 10);
      Send(ai, kInsertSubLast, list);
    }
    Send(ai, kSuspend);
    for (std::uint32_t list = 0; list < 5; ++list) {
      BeginIdle(ai, 10);
      Send(ai, kInsertSubLast, list);
    }
    Send(ai, kClearSubList, c.n);
    for (int list = 0; list < AIPlayer::kTaskListCount; ++list) {
      EXPECT_EQ(ai.GetTaskList(list).size(), list == c.cleared ? 0u : 1u) << list;
    }
    ai.Delete(false);
  }
}

TEST_F(AIPlayerTaskTest, SubTaskInsertsBeyondTheActiveListsKeepTheTaskPending) {
  AIPlayer& ai = Ready();
  BeginIdle(ai, 1);
  for (std::uint32_t list : {5u, 9u, 100u}) {
    Send(ai, kInsertSubFirst, list);
    Send(ai, kInsertSubLast, list);
    ASSERT_NE(ai.GetPendingTask(), nullptr) << list;
  }
  for (int list = 0; list < AIPlayer::kTaskListCount; ++list) EXPECT_TRUE(ai.GetTaskList(list).empty());
  Send(ai, kInsertSubLast, 2u);
  EXPECT_EQ(ai.GetPendingTask(), nullptr);
  EXPECT_EQ(ai.GetTaskList(2).size(), 1u);
}

TEST_F(AIPlayerTaskTest, SuspendedTasksResumeWhereTheyWereWithoutStartingAgain) {
  AIPlayer& ai = Ready();
  BeginAnimation(ai, "Wave");
  Send(ai, kInsertLast);
  Run(ai, 0.3);
  Send(ai, kSuspend);
  EXPECT_TRUE(ai.GetTaskList(0).empty());
  ASSERT_EQ(ai.GetTaskList(5).size(), 1u);
  BeginAnimation(ai, "Gethit");
  Send(ai, kInsertLast);
  Send(ai, kResume);
  ASSERT_EQ(Types(ai.GetTaskList(0)), (std::vector{AITaskType::kAnimation}));
  EXPECT_NEAR(ai.GetTaskList(0).front().elapsed, 0.3f, 0.02f);
  EXPECT_EQ(Playing(ai), "Gethit");
  EXPECT_TRUE(ai.GetTaskList(5).empty());
}

TEST_F(AIPlayerTaskTest, ScriptsBuildTheExitTransportTaskAndAReplacedPendingTaskIsFreed) {
  AIPlayer& ai = Ready();
  RunScriptText(ai, "this.AIPlayerBeginTaskIdle(); this.AIPlayerBeginTaskExitTransport(); "
                    "this.AIPlayerInsertTaskLast();", nullptr);
  Run(ai, 1);
  EXPECT_EQ(Types(ai.GetTaskList(0)), (std::vector{AITaskType::kExitTransport}));
}

// A horse takes the AI on its "PlayerPosition", set to mount, and the AI
// plays the rider's half of each animation the horse starts.
TEST_F(AIPlayerTaskTest, AnAIMountsAHorseAndPlaysTheRidersAnimations) {
  AIPlayer& ai = Ready();
  Object& horse = *CreateObject(kClassHorse, nullptr, *room, "Horse");
  horse.ExecuteCommand(kCommandInitializeNewObject, nullptr);
  Begin(ai, 15056, &horse);
  Send(ai, kInsertLast);
  Run(ai, 0.2);
  EXPECT_EQ(static_cast<Horse&>(horse).GetState(), kHorseMount);
  EXPECT_EQ(ai.GetParent(), horse.FindChildByName("PlayerPosition"));
  EXPECT_EQ(ai.GetSkinMesh()->GetNextAnimationName(), "HorseIdle");
  std::string gait = "Trot";
  ai.ExecuteCommand(Horse::kCommandRiderAnimation, &gait);
  EXPECT_EQ(Playing(ai), "HorseTrot");
}

TEST_F(AIPlayerTaskTest, TasksWhoseTargetIsGoneFinishAtTheirNextStep) {
  AIPlayer& ai = Ready();
  Object& marker = Marker({0, 0, 8});
  Begin(ai, kWalkTo, &marker);
  Send(ai, kInsertLast);
  Begin(ai, kBeginLookAt, &marker);
  Send(ai, kInsertSubLast, 1u);
  Begin(ai, kRunTo, nullptr);
  EXPECT_EQ(ai.GetPendingTask(), nullptr);
  Run(ai, 0.2);
  EXPECT_EQ(ai.GetTarget(), &marker);
  marker.Delete(false);
  Step(ai);
  EXPECT_TRUE(ai.GetTaskList(0).empty());
  EXPECT_TRUE(ai.GetTaskList(1).empty());
  EXPECT_EQ(ai.GetTarget(), nullptr);
}

TEST_F(AIPlayerTaskTest, AHitOnAnIdleAIPlaysTheReactionThenItsWalkWithoutTargetEnds) {
  AIPlayer& ai = Ready();
  EXPECT_EQ(ai.ApplyHit(Hit(10, 0)), 1);
  EXPECT_FLOAT_EQ(ai.GetSettings().health, 90);
  EXPECT_EQ(Types(ai.GetTaskList(0)), (std::vector{AITaskType::kGetHit}));
  EXPECT_EQ(Playing(ai), "Gethit");
  Run(ai, 0.8);
  Step(ai);
  EXPECT_TRUE(ai.GetTaskList(0).empty());
}

TEST_F(AIPlayerTaskTest, AHitWhileWalkingEndsTheWalkAndTheQueuedTaskRunsBeforeTheReaction) {
  AIPlayer& ai = Ready();
  Object& marker = Marker({0, 0, 8});
  Begin(ai, kWalkTo, &marker);
  Send(ai, kInsertLast);
  BeginAnimation(ai, "Wave");
  Send(ai, kInsertLast);
  Run(ai, 0.2);
  ai.ExecuteCommand(kApplyHit, nullptr);  // no block: ignored
  HitMessage hit = Hit(5, 0);
  ai.ExecuteCommand(kApplyHit, &hit);
  EXPECT_EQ(Types(ai.GetTaskList(0)), (std::vector{AITaskType::kAnimation, AITaskType::kGetHit}));
  EXPECT_EQ(Playing(ai), "Wave");
}

TEST_F(AIPlayerTaskTest, HitsScaleByGroupAndBoneAndStopAtZeroHealth) {
  struct Case {
    const char* what;
    float health, damage;
    std::uint32_t group;
    float groupMul, boneMul;
    float expected;
    int applied;
    AITaskType task;
  };
  const Case cases[] = {
      {"group 0 unscaled", 100, 10, 0, 0, 1, 90, 1, AITaskType::kGetHit},
      {"group 33 unscaled, zero", 100, 0, 33, 0, 1, 100, 1, AITaskType::kGetHit},
      {"group 33 unscaled, negative", 100, -5, 33, 0, 1, 105, 1, AITaskType::kGetHit},
      {"group 2 halved", 100, 10, 2, 0.5f, 1, 95, 1, AITaskType::kGetHit},
      {"group 2 at zero", 100, 10, 2, 0, 1, 100, 0, AITaskType::kIdle},
      {"bone doubles", 100, 10, 2, 1, 2, 80, 1, AITaskType::kGetHit},
      {"clamped at 0", 30, 50, 0, 0, 1, 0, 1, AITaskType::kDie},
      {"already dead", 0, 10, 0, 0, 1, 0, 0, AITaskType::kIdle},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AIPlayer& ai = Ready();
    Send(ai, kHealth, c.health);
    Send(ai, 15079, 1u);
    Send(ai, 15081, c.groupMul);
    Bone& pelvis = *static_cast<Bone*>(ai.FindChildByName("Pelvis"));
    Send(pelvis, kBoneEnableDamage, 1);
    Send(pelvis, kBoneDamageMul, c.boneMul);
    Log(ai).events.clear();
    EXPECT_EQ(ai.ApplyHit(Hit(c.damage, c.group, pelvis.GetPositionWS())), c.applied);
    EXPECT_FLOAT_EQ(ai.GetSettings().health, c.expected);
    EXPECT_EQ(Log(ai).Count(AIPlayer::kEventChangeHealth), c.applied);
    if (c.applied != 0) {
      ASSERT_EQ(ai.GetTaskList(0).size(), 1u);
      EXPECT_EQ(ai.GetTaskList(0).front().type, c.task);
    }
    ai.Delete(false);
  }
}

TEST_F(AIPlayerTaskTest, AFirstPersonPlayerReachedIsAttackedOnlyAfterHalfASecond) {
  AIPlayer& ai = Ready();
  auto& player = static_cast<FakePlayer&>(*room->AddChild(std::make_unique<FakePlayer>()));
  player.SetInheritOrientation(false);
  player.SetPosition({0, 0.5f, 0.6f}, false);
  Begin(ai, kWalkTo, &player);
  Send(ai, kInsertLast);
  Run(ai, 0.45);
  EXPECT_EQ(Types(ai.GetTaskList(0)), (std::vector{AITaskType::kMoveTo}));
  Run(ai, 0.1);
  ASSERT_EQ(Types(ai.GetTaskList(0)), (std::vector{AITaskType::kAttack}));
  EXPECT_EQ(Playing(ai), "Attack");
  Run(ai, 0.45);
  ASSERT_EQ(player.hits.size(), 1u);
  EXPECT_EQ(player.hits[0].attacker, &ai);
  EXPECT_FLOAT_EQ(player.hits[0].damage, 20);
  EXPECT_EQ(player.hits[0].damageGroup, 1u);
  EXPECT_NEAR(player.hits[0].position.z, 0.6f, 1e-4f);
  EXPECT_EQ(Types(ai.GetTaskList(0)), (std::vector{AITaskType::kMoveTo}));
}

TEST_F(AIPlayerTaskTest, ACopyStartsWithoutTasksAndBothGoCleanly) {
  AIPlayer& ai = Ready();
  BeginIdle(ai, 5);
  Send(ai, kInsertLast);
  BeginIdle(ai, 5);
  Send(ai, kInsertSubLast, 3u);
  BeginIdle(ai, 5);
  Send(ai, kHealth, 42.0f);
  auto* copy = static_cast<AIPlayer*>(CreateObject(kClassAIPlayer, &ai, *room, "Copy"));
  ASSERT_NE(copy, nullptr);
  EXPECT_FLOAT_EQ(copy->GetSettings().health, 42);
  EXPECT_EQ(copy->GetPendingTask(), nullptr);
  for (int list = 0; list < AIPlayer::kTaskListCount; ++list) EXPECT_TRUE(copy->GetTaskList(list).empty());
  copy->Delete(false);
  ai.Delete(false);
}

}  // namespace
}  // namespace tge::test
