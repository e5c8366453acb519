#include <gtest/gtest.h>

#include "tests/core/WorldTestUtil.h"

namespace tge::test {
namespace {

using ActionTest = WorldTest;

enum : int { kStartPre = 72, kStopPre, kKillPre, kStart, kStop, kKill, kStartPost, kStopPost, kKillPost };

void Send(Object& object, std::uint32_t id, float value) { object.ExecuteCommand(id, &value); }

void SetBool(Object& object, std::uint32_t id, bool on) {
  std::int32_t value = on ? 1 : 0;
  object.ExecuteCommand(id, &value);
}

TEST_F(ActionTest, WithoutARecordStartRunsAtOnceAndRaisesTheInnermostStepFirst) {
  Probe& probe = AddProbe();
  probe.SetFlag(kFlagActionStarted, false);
  probe.Start();
  EXPECT_EQ(probe.events, (std::vector<int>{kStartPost, kStart, kStartPre}));
  EXPECT_TRUE(probe.HasFlag(kFlagActionStarted));
  EXPECT_EQ(probe.GetActionValue(), 1.0f);
  probe.events.clear();
  probe.Stop();
  EXPECT_EQ(probe.events, (std::vector<int>{kStopPre, kStop, kStopPost}));
  EXPECT_EQ(probe.GetActionValue(), 0.0f);
}

TEST_F(ActionTest, AStartFadeRisesFromZeroAndItsPostStepComesAMomentAfter) {
  Probe& probe = AddProbe();
  SetBool(probe, 55, true);
  Send(probe, 59, 2.0f);
  probe.Start();
  EXPECT_EQ(probe.GetActionValue(), 0.0f) << "a fresh value of 1 starts again from 0";
  for (int i = 0; i < 10; ++i) Tick(0.1);
  EXPECT_NEAR(probe.GetActionValue(), 0.5f, 1e-5f);
  for (int i = 0; i < 10; ++i) Tick(0.1);
  EXPECT_EQ(std::count(probe.events.begin(), probe.events.end(), kStartPost), 0);
  Tick(0.1);
  EXPECT_EQ(probe.events.back(), kStartPost);
  EXPECT_EQ(probe.GetActionValue(), 1.0f);
  EXPECT_EQ(probe.GetAction()->phase, kStartPost);
}

// Without a World every step runs at once: the phase must end on the post
// step, and a post step that drops the record must not be written through.
TEST_F(ActionTest, WithoutAWorldDelaysAndFadesEndOnThePostStep) {
  class Dropper : public Probe {
   public:
    int FireEvent(int eventId, Object* sender) override {
      if (eventId == dropAt) SetUseAction(false);
      return Probe::FireEvent(eventId, sender);
    }
    int dropAt = 0;
  };
  const float ActionRecord::*fields[] = {&ActionRecord::startDelay, &ActionRecord::startTime,
                                         &ActionRecord::stopDelay, &ActionRecord::stopTime,
                                         &ActionRecord::killDelay, &ActionRecord::killTime};
  for (const float ActionRecord::*field : fields) {
    Dropper object;
    object.SetUseAction(true);
    const_cast<float&>(object.GetAction()->*field) = 0.5f;
    object.Start();
    EXPECT_EQ(object.GetAction()->phase, kStartPost);
    EXPECT_EQ(object.GetActionValue(), 1.0f);
    object.Stop();
    EXPECT_EQ(object.GetAction()->phase, kStopPost);
    EXPECT_EQ(object.GetActionValue(), 0.0f);
    object.Kill();
    EXPECT_EQ(object.GetAction()->phase, kKillPost);
    for (int dropAt : {kStartPost, kStopPost, kKillPost}) {
      Dropper dropping;
      dropping.SetUseAction(true);
      const_cast<float&>(dropping.GetAction()->*field) = 0.5f;
      dropping.dropAt = dropAt;
      dropping.Start();
      if (dropping.GetAction() != nullptr) dropping.Stop();
      if (dropping.GetAction() != nullptr) dropping.Kill();
      EXPECT_EQ(dropping.GetAction(), nullptr);
    }
  }
}

TEST_F(ActionTest, DelaysHoldTheirPhaseOnTheScheduler) {
  Probe& probe = AddProbe();
  SetBool(probe, 55, true);
  Send(probe, 57, 0.15f);
  Send(probe, 61, 0.15f);
  probe.Start();
  EXPECT_EQ(probe.events, (std::vector<int>{kStartPre}));
  Tick(0.1);
  Tick(0.1);
  EXPECT_EQ(probe.events.back(), kStart);
  probe.Stop();
  World::CancelCommands(probe, -1, kScheduleGeneral);
  Tick(0.1);
  Tick(0.1);
  EXPECT_EQ(probe.events.back(), kStopPost) << "general cancels leave the action group";
}

TEST_F(ActionTest, BlockFlagsKeepAPhaseFromPassingDownTheTree) {
  Probe& parent = AddProbe("parent");
  Probe& blockedChild = AddProbe(parent, "child");
  SetBool(blockedChild, 84, true);
  Probe& other = AddProbe(parent, "other");
  parent.Start();
  EXPECT_TRUE(blockedChild.events.empty());
  EXPECT_EQ(other.events.back(), kStartPre);

  other.events.clear();
  SetBool(parent, 92, true);
  parent.Stop();
  EXPECT_TRUE(other.events.empty());
}

TEST_F(ActionTest, AKillHappensOnceAndEndsInDeletion) {
  Probe& lonely = AddProbe("lonely");
  lonely.Kill();
  lonely.Kill();
  EXPECT_EQ(std::count(lonely.events.begin(), lonely.events.end(), kKillPre), 1);
  EXPECT_TRUE(lonely.HasFlag(kFlagKilled | kFlagDeleting));
  EXPECT_FALSE(lonely.HasFlag(kFlagActionStarted));

  Probe& parent = AddProbe("parent");
  Probe& child = AddProbe(parent, "child");
  SetBool(child, 88, true);
  parent.Kill();
  EXPECT_FALSE(parent.HasFlag(kFlagDeleting)) << "it waits for its last child";
  child.Delete(true);
  services.DeletePendingObjects();
  EXPECT_EQ(world->GetChildCount(), 1) << "lonely went; the parent is queued now";
  services.DeletePendingObjects();
  EXPECT_EQ(world->GetChildCount(), 0);
}

TEST_F(ActionTest, AStartStopCycleWithoutDelaysRestartsOnTheNextTick) {
  Probe& probe = AddProbe();
  SetBool(probe, 96, true);
  SetBool(probe, 98, true);
  probe.Start();
  EXPECT_EQ(std::count(probe.events.begin(), probe.events.end(), kStartPre), 1);
  EXPECT_EQ(std::count(probe.events.begin(), probe.events.end(), kStopPost), 1);
  Tick(0.1);
  EXPECT_EQ(std::count(probe.events.begin(), probe.events.end(), kStartPre), 2);
}

TEST_F(ActionTest, TheActionValueReachesTheWholeSubtree) {
  Probe& parent = AddProbe("parent");
  Probe& child = AddProbe(parent, "child");
  SetBool(child, 55, true);
  child.ResetAction();
  EXPECT_EQ(child.GetActionValue(), 0.0f);
  parent.SetActionValueRecursive(0.25f);
  EXPECT_EQ(child.GetActionValue(), 0.25f);
  EXPECT_TRUE(child.HasFlag(kFlagActionStarted));
  float value = -1;
  child.ExecuteCommand(58, &value);
  EXPECT_EQ(value, 0.0f) << "ActionStartDelay of a fresh record";
}

}  // namespace
}  // namespace tge::test
