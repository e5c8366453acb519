#include <gtest/gtest.h>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "core/script/ScriptInterpreter.h"
#include "core/script/Timer.h"
#include "tests/core/WorldTestUtil.h"

namespace tge::scripttest {
namespace {

using test::kProbeFloat;
using test::Probe;
using test::ProbeCall;

class TimerTest : public test::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    RegisterTimerCommands();
    log = &AddProbe("log");
    timer = static_cast<Timer*>(CreateObject(kClassTimer, nullptr, *world, "Timer"));
    ASSERT_NE(timer, nullptr);
    timer->SetWorld(world.get());
  }

  void On(const std::string& text) { RunScriptText(*timer, text, nullptr); }

  // Adds a key at time that sends value to the log probe.
  void AddKey(const std::string& name, float time, int value) {
    On("this.AddTimerKey();");
    const int index = static_cast<int>(timer->GetKeys().size()) - 1;
    On("this.SetTimerKeyList(" + std::to_string(index) + "); this.SetTimerKeyName(" + name +
       "); this.SetTimerKeyTime(" + std::to_string(time) + ");");
    for (ObjectScript& script : *timer->GetScripts()) {
      if (script.name == name) script.text = "parent/log.ProbeFloat(" + std::to_string(value) + ");";
    }
  }

  void SetEventScript(const std::string& name, int value) {
    for (ObjectScript& script : *timer->GetScripts()) {
      if (script.name == name) script.text = "parent/log.ProbeFloat(" + std::to_string(value) + ");";
    }
  }

  std::vector<float> Logged() const {
    std::vector<float> values;
    for (const ProbeCall& call : log->calls) {
      if (call.id == kProbeFloat) values.push_back(call.value);
    }
    return values;
  }

  // Runs the World's clock on in ticks of 0.05 s.
  void RunFor(double seconds) {
    for (double done = 0; done < seconds - 1e-9; done += 0.05) Tick(0.05);
  }

  // Length 2, keys Open at 0.5 (logs 1) and Close at 1.5 (logs 2), the end
  // event logs 9.
  void BuildTimeLine() {
    On("this.SetTimerLength(2); this.SetTimerEndEvent(1);");
    SetEventScript("OnTimerEnd", 9);
    AddKey("Open", 0.5f, 1);
    AddKey("Close", 1.5f, 2);
  }

  std::vector<std::string> KeyList() {
    std::vector<std::string> names;
    timer->ExecuteCommand(10004, &names);
    return names;
  }

  Probe* log = nullptr;
  Timer* timer = nullptr;
};

TEST_F(TimerTest, KeysRunInTurnAndTheEndEventLast) {
  BuildTimeLine();
  On("this.TimerStart(); this.TimerStart();");
  EXPECT_TRUE(timer->IsRunning());
  RunFor(0.4);
  EXPECT_TRUE(Logged().empty());
  RunFor(0.2);
  EXPECT_EQ(Logged(), (std::vector<float>{1}));
  RunFor(1.0);
  EXPECT_EQ(Logged(), (std::vector<float>{1, 2}));
  RunFor(0.5);
  EXPECT_EQ(Logged(), (std::vector<float>{1, 2, 9}));
  EXPECT_FALSE(timer->IsRunning());
  EXPECT_GT(timer->GetTimerTime(), 2.0f);  // it keeps counting after the end
}

TEST_F(TimerTest, SettingTheTimeSkipsEarlierKeys) {
  BuildTimeLine();
  On("this.SetTimerTime(1.0);");
  EXPECT_TRUE(timer->IsRunning());
  EXPECT_NEAR(timer->GetTimerTime(), 1.0f, 1e-4f);
  RunFor(0.6);
  EXPECT_EQ(Logged(), (std::vector<float>{2}));
  RunFor(0.5);
  EXPECT_EQ(Logged(), (std::vector<float>{2, 9}));

  log->calls.clear();
  On("this.SetTimerTime(2.0);");
  EXPECT_FALSE(timer->IsRunning());
  RunFor(3);
  EXPECT_TRUE(Logged().empty());
}

TEST_F(TimerTest, StopStartAndTheActionSteps) {
  BuildTimeLine();
  EXPECT_EQ(timer->GetTimerTime(), 0.0f);  // never started
  timer->SetActive(false);
  On("this.TimerStart();");
  EXPECT_FALSE(timer->IsRunning());
  timer->SetActive(true);
  timer->ExecuteCommand(75, nullptr);  // ActionStart
  EXPECT_TRUE(timer->IsRunning());
  RunFor(0.7);
  timer->ExecuteCommand(77, nullptr);  // ActionKill
  EXPECT_FALSE(timer->IsRunning());
  RunFor(3);
  EXPECT_EQ(Logged(), (std::vector<float>{1}));

  On("this.TimerStart(); this.AddTimerTime(1.0);");
  RunFor(0.6);
  EXPECT_EQ(Logged(), (std::vector<float>{1, 2}));
  float inverse = 0;
  timer->ExecuteCommand(10024, &inverse);
  EXPECT_NEAR(inverse, 2.0f - timer->GetTimerTime(), 1e-4f);
  On("this.TimerStop();");
  RunFor(3);
  EXPECT_EQ(Logged(), (std::vector<float>{1, 2}));
}

TEST_F(TimerTest, TheTickRunsOnTimerEveryPeriod) {
  On("this.SetTimerLength(1); this.SetTimerEventTime(0.25); this.SetTimerEvent(1); this.TimerStart();");
  SetEventScript("OnTimer", 5);
  RunFor(1.2);
  EXPECT_EQ(Logged().size(), 3u);  // at 0.25, 0.5 and 0.75: the end stops the tick
  EXPECT_FALSE(timer->IsRunning());
}

TEST_F(TimerTest, KeyEditingKeepsRecordsBesideKeys) {
  Timer fresh;
  fresh.ExecuteCommand(177, nullptr);  // InitializeNewObject turns scripts on
  EXPECT_NE(fresh.GetScripts(), nullptr);

  On("this.SetTimerLength(2); this.SetTimerEvent(1);");
  AddKey("Open", 0.5f, 1);
  On("this.SetTimerEndEvent(1); this.SetTimerEndEvent(1); this.SetTimerEvent(1);");
  AddKey("Close", 5.0f, 2);  // clamped to the length
  ASSERT_EQ(timer->GetScripts()->size(), 4u);
  EXPECT_EQ((*timer->GetScripts())[0].name, "OnTimerEnd");
  EXPECT_EQ((*timer->GetScripts())[0].eventId, 10026);
  EXPECT_EQ((*timer->GetScripts())[1].name, "OnTimer");
  EXPECT_EQ(KeyList(), (std::vector<std::string>{"Open <0.50>", "Close <2.00>"}));

  On("this.SetTimerEvent(0); this.SetTimerEvent(0);");
  EXPECT_EQ(KeyList(), (std::vector<std::string>{"Open <0.50>", "Close <2.00>"}));
  On("this.SetTimerKeyList(7); this.DeleteTimerKey(); this.SetTimerKeyList(0); this.DeleteTimerKey();");
  EXPECT_EQ(KeyList(), (std::vector<std::string>{"Close <2.00>"}));
  ASSERT_EQ(timer->GetScripts()->size(), 2u);
  std::string name = "kept";
  timer->ExecuteCommand(10009, &name);  // no key selected after a delete
  EXPECT_EQ(name, "kept");

  std::uint32_t badIndex = 40;
  timer->ExecuteCommand(10012, &badIndex);
  RunFor(0.1);
  EXPECT_TRUE(Logged().empty());
}

TEST_F(TimerTest, SaveLoadRoundTripIsNeverRunning) {
  BuildTimeLine();
  On("this.SetTimerEventTime(0.3); this.TimerStart();");
  std::vector<std::uint8_t> buffer(4096);
  SerializeStream out;
  ASSERT_TRUE(out.OpenMemoryBuffer(buffer.size(), "wb", buffer.data()));
  out.SetVersion(81);
  ASSERT_TRUE(timer->Serialize(out));
  buffer.resize(static_cast<std::size_t>(out.Tell()));
  out.Close();
  EXPECT_TRUE(timer->IsRunning());  // saving leaves the live timer alone

  auto load = [&](Timer& target, std::vector<std::uint8_t> bytes, int version) {
    SerializeStream in;
    EXPECT_TRUE(in.OpenMemoryBuffer(bytes.size(), "rb", bytes.data()));
    in.SetVersion(version);
    const bool loaded = target.Serialize(in);
    in.Close();
    return loaded;
  };
  Timer copy;
  ASSERT_TRUE(load(copy, buffer, 81));
  EXPECT_FALSE(copy.IsRunning());
  ASSERT_EQ(copy.GetKeys().size(), 2u);
  EXPECT_EQ(copy.GetKeys()[1].time, 1.5f);
  float eventTime = 0;
  copy.ExecuteCommand(10020, &eventTime);
  EXPECT_EQ(eventTime, 0.3f);

  // Loading over the running timer cancels its calls.
  ASSERT_TRUE(load(*timer, buffer, 81));
  RunFor(3);
  EXPECT_TRUE(Logged().empty());

  std::vector<std::uint8_t> corrupt = buffer;
  const std::size_t countAt = corrupt.size() - 2 * 12 - 4;
  corrupt[countAt + 2] = 0x7F;
  Timer refused;
  EXPECT_FALSE(load(refused, corrupt, 81));
  EXPECT_TRUE(refused.GetKeys().empty());
}

}  // namespace
}  // namespace tge::scripttest
