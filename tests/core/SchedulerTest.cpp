#include <gtest/gtest.h>

#include "core/BaseCommandIds.h"
#include "core/CommandScheduler.h"
#include "tests/core/WorldTestUtil.h"

namespace tge::test {
namespace {

std::vector<int> TicksThatFired(const std::vector<int>& callCountAfterTick) {
  std::vector<int> ticks;
  int seen = 0;
  for (std::size_t i = 0; i < callCountAfterTick.size(); ++i) {
    if (callCountAfterTick[i] > seen) ticks.push_back(static_cast<int>(i) + 1);
    seen = callCountAfterTick[i];
  }
  return ticks;
}

TEST_F(WorldTest, FrameTimeIsClampedToATenthAndScaledByTheTimeFactor) {
  Tick(0.5);
  EXPECT_FLOAT_EQ(world->GetFrameTime(), 0.1f);
  EXPECT_FLOAT_EQ(world->GetFrameRate(), 10.0f);
  float timeMul = 2.0f;
  world->ExecuteCommand(14270, &timeMul);
  Tick(0.05);
  EXPECT_FLOAT_EQ(world->GetFrameTime(), 0.1f);
  EXPECT_FLOAT_EQ(world->GetFrameRate(), 20.0f);
  Tick(0);
  EXPECT_EQ(world->GetFrameTime(), 0.0f);
  EXPECT_FLOAT_EQ(world->GetFrameRate(), 20.0f) << "a zero frame keeps the last rate";
}

TEST_F(WorldTest, ARepeatingCallKeepsItsRemainderAndFiresOncePerTick) {
  Probe& probe = AddProbe();
  world->RepeatCommand(probe, kProbeNone, nullptr, 0.25f);
  std::vector<int> counts;
  for (int i = 0; i < 8; ++i) {
    Tick(0.1);
    counts.push_back(probe.CountCalls(kProbeNone));
  }
  EXPECT_EQ(TicksThatFired(counts), (std::vector<int>{3, 6, 8}));

  // A backlog is worked off one period per tick.
  Probe& late = AddProbe("late");
  world->RepeatCommand(late, kProbeNone, nullptr, 0.2f, 0, 1.0f);
  Tick(0);
  Tick(0);
  EXPECT_EQ(late.CountCalls(kProbeNone), 2);
}

TEST_F(WorldTest, PeriodsUpToAThousandthRunEveryFrame) {
  Probe& everyFrame = AddProbe("a");
  Probe& repeating = AddProbe("b");
  world->RepeatCommand(everyFrame, kProbeNone, nullptr, 0.001f);
  world->RepeatCommand(repeating, kProbeNone, nullptr, 0.0011f);
  Tick(0);
  Tick(0);
  EXPECT_EQ(everyFrame.CountCalls(kProbeNone), 2);
  EXPECT_EQ(repeating.CountCalls(kProbeNone), 0);
}

TEST_F(WorldTest, ADelayedCallFiresOnceAfterItsDelayStrictly) {
  Probe& probe = AddProbe();
  world->DelayCommand(probe, kProbeNone, nullptr, 0.125f, kScheduleGeneral);
  Tick(0.0625);
  Tick(0.0625);
  EXPECT_EQ(probe.CountCalls(kProbeNone), 0) << "elapsed equal to the delay is not past it";
  Tick(0.0625);
  Tick(0.0625);
  EXPECT_EQ(probe.CountCalls(kProbeNone), 1);
  EXPECT_EQ(probe.GetScheduleLinkCount(), 0);
}

TEST_F(WorldTest, AnInterpolationOverwritesOnlyTheFirstFloatAndEndsExactlyOnItsTarget) {
  Probe& probe = AddProbe();
  ArgumentBlock block;
  block.Push(0.0f).Push(Vector3{7, 8, 9});
  world->InterpolateCommand(probe, kProbeVector, block.Data(), 0.15f, 10.0f, 20.0f, kScheduleGeneral);
  for (int i = 0; i < 4; ++i) Tick(0.0625);
  ASSERT_EQ(probe.calls.size(), 3u);
  EXPECT_FLOAT_EQ(probe.calls[0].value, 10.0f + 10.0f * (0.0625f / 0.15f));
  EXPECT_FLOAT_EQ(probe.calls[1].value, 10.0f + 10.0f * (0.125f / 0.15f));
  EXPECT_EQ(probe.calls[2].value, 20.0f) << "the overshooting tick carries exactly the target";
  EXPECT_EQ(probe.lastVector.x, 7.0f);
  EXPECT_EQ(probe.lastVector.z, 9.0f);
}

TEST_F(WorldTest, AnInterpolationWithoutArgumentsOrDurationGetsALoneFloat) {
  Probe& probe = AddProbe();
  world->InterpolateCommand(probe, kProbeFloat, nullptr, 1.0f, 0.0f, 4.0f, kScheduleGeneral);
  world->InterpolateCommand(probe, kProbeNone, nullptr, 0.0f, 1.0f, 3.0f, kScheduleGeneral);
  world->InterpolateCommand(probe, kProbeNone, nullptr, -1.0f, 1.0f, 5.0f, kScheduleGeneral);
  Tick(0);
  ASSERT_EQ(probe.calls.size(), 3u);
  // Newest first: the lists are walked from the front.
  EXPECT_EQ(probe.calls[0].value, 5.0f) << "a negative duration is final at once";
  EXPECT_EQ(probe.calls[1].value, 3.0f) << "a zero duration is final at once";
  EXPECT_EQ(probe.calls[2].value, 0.0f);
  Tick(0.0625);
  EXPECT_EQ(probe.calls.back().value, 0.25f);
  EXPECT_EQ(probe.GetScheduleLinkCount(), 1);
}

TEST_F(WorldTest, APostedTextCommandKeepsItsOwnCopyOfTheText) {
  Probe& probe = AddProbe();
  {
    std::string text = "a text longer than any small-string buffer holds";
    world->DelayCommand(probe, kProbeText, &text, 0, kScheduleGeneral);
    text.assign(100, 'x');
  }
  Tick(0.1);
  ASSERT_EQ(probe.calls.size(), 1u);
  EXPECT_EQ(probe.calls[0].text, "a text longer than any small-string buffer holds");
}

TEST_F(WorldTest, CancellingByGroupLeavesOtherGroupsAndTheUpdate) {
  Probe& probe = AddProbe();
  world->RepeatCommand(probe, kProbeNone, nullptr, 0);
  world->DelayCommand(probe, kProbeFloat, nullptr, 0, kScheduleGeneral);
  world->DelayCommand(probe, kProbeText, nullptr, 0, kScheduleAction);
  probe.EnableUpdate();
  World::CancelCommands(probe, -1, kScheduleGeneral | kScheduleUpdate);
  Tick(0.1);
  ASSERT_EQ(probe.calls.size(), 1u);
  EXPECT_EQ(probe.calls[0].id, kProbeText);
  EXPECT_EQ(probe.updates, 1);
  EXPECT_EQ(probe.GetScheduleLinkCount(), 1) << "cancelled links are freed by the next tick";
}

TEST_F(WorldTest, CancellingOneCommandIdLeavesTheOthers) {
  Probe& probe = AddProbe();
  world->DelayCommand(probe, kProbeFloat, nullptr, 0, kScheduleGeneral);
  world->DelayCommand(probe, kProbeNone, nullptr, 0, kScheduleGeneral);
  World::CancelCommands(probe, kProbeFloat, kScheduleGeneral);
  Tick(0.1);
  ASSERT_EQ(probe.calls.size(), 1u);
  EXPECT_EQ(probe.calls[0].id, kProbeNone);
}

TEST_F(WorldTest, ACallPostedFromACallOfTheSameListFiresInTheNextTick) {
  Probe& probe = AddProbe();
  probe.onCall = [this](Probe& self, const ProbeCall& call) {
    if (call.id == kProbeNone) world->DelayCommand(self, kProbeFloat, nullptr, 0, kScheduleGeneral);
  };
  world->DelayCommand(probe, kProbeNone, nullptr, 0, kScheduleGeneral);
  Tick(0.1);
  EXPECT_EQ(probe.calls.size(), 1u);
  Tick(0.1);
  EXPECT_EQ(probe.calls.size(), 2u);
}

TEST_F(WorldTest, ACallCancelledByAnEarlierCallOfTheSameWalkDoesNotFire) {
  Probe& first = AddProbe("first");
  Probe& second = AddProbe("second");
  world->RepeatCommand(second, kProbeFloat, nullptr, 0);
  world->RepeatCommand(first, kProbeNone, nullptr, 0);
  first.onCall = [&second](Probe&, const ProbeCall&) { World::CancelCommands(second, -1, kScheduleGeneral); };
  Tick(0.1);
  Tick(0.1);
  EXPECT_EQ(first.CountCalls(kProbeNone), 2);
  EXPECT_EQ(second.calls.size(), 0u);
  EXPECT_EQ(second.GetScheduleLinkCount(), 0);
}

TEST_F(WorldTest, AnObjectDeletedFromItsOwnCallLivesUntilTheWalkIsOver) {
  Probe& doomed = AddProbe("doomed");
  world->RepeatCommand(doomed, kProbeFloat, nullptr, 0);
  world->RepeatCommand(doomed, kProbeNone, nullptr, 0);
  world->DelayCommand(doomed, kProbeText, nullptr, 0, kScheduleGeneral);
  doomed.onCall = [](Probe& self, const ProbeCall& call) {
    if (call.id == kProbeNone) self.Delete(false);
  };
  const int before = Object::GetLiveObjectCount();
  Tick(0.1);
  EXPECT_EQ(Object::GetLiveObjectCount(), before - 1);
  EXPECT_EQ(world->GetChildCount(), 0);
  Tick(0.1);
}

TEST_F(WorldTest, UpdatesRunOnceEachInRegistrationOrder) {
  Probe& a = AddProbe("a");
  Probe& b = AddProbe("b");
  std::vector<std::string> order;
  a.onUpdate = b.onUpdate = [&order](Probe& self) { order.push_back(self.GetName()); };
  b.EnableUpdate();
  a.EnableUpdate();
  world->AddUpdateObject(b);
  Tick(0.1);
  EXPECT_EQ(order, (std::vector<std::string>{"b", "a"}));
  // Leaving and joining again within one frame keeps the object registered.
  b.DisableUpdate();
  b.EnableUpdate();
  Tick(0.1);
  EXPECT_EQ(b.updates, 2);
}

TEST_F(WorldTest, AStoppedWorldFiresNothingAndSeesThePauseClamped) {
  Probe& probe = AddProbe();
  world->RepeatCommand(probe, kProbeNone, nullptr, 0);
  world->ExecuteCommand(14273, nullptr);
  EXPECT_EQ(probe.events, (std::vector<int>{kEventOnStopWorld})) << "raised while the World is still Active";
  EXPECT_EQ(probe.senders[0], world.get());
  Tick(3);
  EXPECT_EQ(probe.calls.size(), 0u);
  world->ExecuteCommand(14272, nullptr);
  EXPECT_EQ(probe.events.back(), kEventOnStartWorld);
  Tick(0.01);
  EXPECT_EQ(probe.calls.size(), 1u);
  EXPECT_FLOAT_EQ(world->GetFrameTime(), 0.1f);
}

TEST_F(WorldTest, ObjectsOutlivingTheirWorldDropTheirCallsSafely) {
  auto outsider = std::make_unique<Probe>();
  world->DelayCommand(*outsider, kProbeNone, nullptr, 1, kScheduleGeneral);
  world->RepeatCommand(*outsider, kProbeNone, nullptr, 1);
  world.reset();
  EXPECT_EQ(outsider->GetScheduleLinkCount(), 2);
  outsider.reset();
}

TEST_F(WorldTest, AnObjectOutlivingItsWorldSeesNoWorldAndPostsNothing) {
  auto outsider = std::make_unique<Probe>();
  outsider->SetWorld(world.get());
  outsider->SetUseAction(true);
  world.reset();
  EXPECT_EQ(outsider->GetWorld(), nullptr);
  EXPECT_EQ(outsider->GetFrameTime(), 0.0f);
  outsider->EnableUpdate();
  outsider->Start();
  EXPECT_EQ(outsider->GetScheduleLinkCount(), 0);
}

TEST_F(WorldTest, AWorldUnloadedByACallOfItsOwnTickIsNotTouchedAfterwards) {
  auto& scene = static_cast<File&>(*world->AddChild(std::make_unique<File>()));
  auto& level = static_cast<World&>(*scene.AddChild(std::make_unique<World>()));
  level.RepeatCommand(scene, 2251, nullptr, 0);
  const std::size_t worlds = World::GetWorldList().size();
  level.WorldTick();
  EXPECT_EQ(scene.GetChildCount(), 0);
  EXPECT_EQ(World::GetWorldList().size(), worlds - 1);
}

// The object's own event script unloads the File holding it: the object
// must outlive the rest of the raise, or the broadcast, that ran the script.
TEST_F(WorldTest, AnObjectUnloadedByItsOwnEventScriptOutlivesThePass) {
  for (const bool broadcast : {false, true}) {
    auto& scene = static_cast<File&>(*world->AddChild(std::make_unique<File>()));
    Probe& inside = AddProbe(scene, "inside");
    AddProbe(inside, "child");
    inside.SetUseScript(true);
    inside.GetScripts()->push_back({"OnStartWorld", "parent.FileUnLoad();", kEventOnStartWorld, 0});
    ArgumentBlock raise;
    raise.Push<std::int32_t>(kEventOnStartWorld).PushPointer(nullptr);
    if (broadcast) BroadcastCommand(inside, kCommandRaiseEvent, raise.Data());
    else inside.ExecuteCommand(kCommandRaiseEvent, raise.Data());
    EXPECT_EQ(scene.GetChildCount(), 0);
    world->DetachChild(scene);
  }
}

TEST_F(WorldTest, AWorldUnloadedByItsOwnStartOrStopEventFinishesTheCommand) {
  for (const std::uint32_t command : {14272u, 14273u}) {
    auto& scene = static_cast<File&>(*world->AddChild(std::make_unique<File>()));
    auto& level = static_cast<World&>(*scene.AddChild(std::make_unique<World>()));
    level.SetUseScript(true);
    level.GetScripts()->push_back({"OnStartWorld", "parent.FileUnLoad();", kEventOnStartWorld, 0});
    level.GetScripts()->push_back({"OnStopWorld", "parent.FileUnLoad();", kEventOnStopWorld, 0});
    level.ExecuteCommand(command, nullptr);
    EXPECT_EQ(scene.GetChildCount(), 0);
    world->DetachChild(scene);
  }
}

TEST_F(WorldTest, WorldsJoinTheWorldListInCreationOrder) {
  const auto& worlds = World::GetWorldList();
  ASSERT_FALSE(worlds.empty());
  EXPECT_EQ(worlds.back(), world.get());
  {
    World second;
    EXPECT_EQ(worlds.back(), &second);
  }
  EXPECT_EQ(worlds.back(), world.get());
}

}  // namespace
}  // namespace tge::test
