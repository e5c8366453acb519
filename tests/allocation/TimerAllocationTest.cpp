// A Timer that runs its stored scripts and restarts itself from its end
// event allocates nothing once it has been round once: not for its keys, its
// tick or its end call, nor for the calls each restart posts.
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/script/ScriptInterpreter.h"
#include "core/script/Timer.h"
#include "bench/AllocationCount.h"
#include "tests/core/WorldTestUtil.h"

namespace tge::test {
namespace {

class TimerAllocationTest : public WorldTest {};

TEST_F(TimerAllocationTest, ARestartingTimerAllocatesNothingOnceStarted) {
  RegisterTimerCommands();
  Probe& log = AddProbe("log");
  auto& timer = static_cast<Timer&>(*CreateObject(kClassTimer, nullptr, *world, "Timer"));
  timer.SetWorld(world.get());
  RunScriptText(timer, "this.SetTimerLength(1); this.SetTimerEventTime(0.25); this.SetTimerEvent(1); "
                       "this.SetTimerEndEvent(1); this.AddTimerKey(); this.SetTimerKeyList(0); "
                       "this.SetTimerKeyName(Open); this.AddTimerKey(); this.SetTimerKeyList(1); "
                       "this.SetTimerKeyTime(0.5); this.SetTimerKeyName(Close);",
                nullptr);
  for (ObjectScript& script : *timer.GetScripts()) {
    script.text = script.name == "OnTimerEnd" ? "this.TimerStart();" : "parent/log.ProbeFloat(1);";
    CompileStoredScript(script);
  }
  constexpr int kCycles = 3, kTicksPerCycle = 20;
  log.calls.reserve(8 * kCycles);
  RunScriptText(timer, "this.TimerStart();", nullptr);
  for (int i = 0; i < kTicksPerCycle; ++i) Tick(0.05);
  const std::size_t firstCycleCalls = log.calls.size();

  const long before = AllocationCount();
  ASSERT_GT(before, 0) << "the counting operator new is not in effect";
  for (int i = 0; i < kCycles * kTicksPerCycle; ++i) Tick(0.05);
  EXPECT_EQ(AllocationCount() - before, 0);
  // Per cycle: two keys and three ticks of the OnTimer event (the fourth
  // falls on the end, where the restart cancels it).
  EXPECT_EQ(log.calls.size(), firstCycleCalls + 5 * kCycles);
  EXPECT_TRUE(timer.IsRunning());
}

}  // namespace
}  // namespace tge::test
