// Animation: the six play styles with their times and events, the queue,
// alternatives picked at random, names with a prefix, pausing, deleting
// entries (also from an end event's script), the targets it poses and
// makes, copies and the file record.
#include <algorithm>
#include <set>

#include "core/BaseCommandIds.h"
#include "core/math/Random.h"
#include "core/script/ScriptInterpreter.h"
#include "objects/scene/Mesh.h"
#include "objects/scene/animation/Animation.h"
#include "tests/objects/scene/animation/MotionFixture.h"

namespace tge::test {
namespace {

constexpr std::uint32_t kSetList = 5501, kGetList = 5502, kDelete = 5503, kSetHasNamePrefix = 5504,
                        kSetSpeed = 5506, kSetTime = 5508, kPlay = 5511, kStop = 5512, kPause = 5513, kCreateObjects = 5514,
                        kReset = 5515, kSetStyle = 5516, kGetSpeedMul = 5519, kSetPauseOnStop = 5520,
                        kPushBack = 5524, kPushFront = 5525, kPushRandomBack = 5526, kForceNext = 5529;
constexpr int kQueueEmpty = Animation::kEventQueueEmpty, kEnd = Animation::kEventEnd,
              kLoop = Animation::kEventLoop, kReverse = Animation::kEventReverse;
// Frames of a sixteenth of a second on animations a quarter second long:
// four frames from end to end, every sum exact.
constexpr double kAnimationStep = 0.0625;
constexpr float kLength = 0.25f;

void SendText(Object& object, std::uint32_t id, std::string text) { object.ExecuteCommand(id, &text); }

// Two tracks: "Hip" moves along x four units a second, "Knee" along y.
std::vector<AnimationTrack> Tracks() {
  AnimationTrack hip{"Hip", -1, 0, -1, 0, {{0, {0, 0, 0}}, {1, {4, 0, 0}}}, {}, {{0, {0, 0, 0, 1}}, {1, {0, 1, 0, 0}}}};
  AnimationTrack knee{"Knee", 0, 0, -1, 0, {{0, {0, 0, 0}}, {1, {0, 4, 0}}}, {{0, {2, 2, 2}}}, {}};
  return {hip, knee};
}

class AnimationTest : public MotionFixture {
 protected:
  Logged<Animation>& AddPlayer(const std::vector<std::string>& entries) {
    for (const std::string& name : entries) {
      if (Resources().LookupResource(name, kAnimationResource) == nullptr) AddAnimationResource(name, Tracks(), kLength);
    }
    auto& player = AddOwn<Logged<Animation>>(*engine, "Player");
    for (const std::string& name : entries) player.AddAnimation(name);
    hip = &Add<Object>(player, kClassObject, "Hip");
    knee = &Add<Object>(*hip, kClassObject, "Knee");
    return player;
  }
  void Select(Animation& player, int index) { Send(player, kSetList, index); }
  void Frames(Animation& player, int count) { MotionFixture::Frames(player, count, kAnimationStep); }

  // The animation events raised, in order.
  static std::vector<int> AnimationEvents(const Logged<Animation>& player) {
    std::vector<int> out;
    std::copy_if(player.events.begin(), player.events.end(), std::back_inserter(out),
                 [](int id) { return id >= kQueueEmpty && id <= kReverse; });
    return out;
  }

  Object* hip = nullptr;
  Object* knee = nullptr;
};

TEST_F(AnimationTest, StylesGiveTheirTimesAndEvents) {
  const struct {
    std::uint32_t style;
    float time;
    bool playing;
    std::vector<int> events;
  } cases[] = {
      {kStyleOnce, kLength, false, {kEnd}},
      {kStyleOnceBackwards, 0, false, {kEnd}},
      {kStylePingPong, 0, false, {kReverse, kEnd}},
      {kStyleLoop, 0.125f, true, {kLoop, kLoop}},
      {kStyleLoopBackwards, kLength, true, {kLoop, kLoop}},
      {kStylePingPongLoop, 0.0625f, true, {kReverse, kLoop}},
  };
  for (const auto& c : cases) {
    Logged<Animation>& player = AddPlayer({"Walk"});
    Select(player, 0);
    Send(player, kSetStyle, c.style);
    player.ExecuteCommand(kPlay, nullptr);
    Frames(player, 10);
    EXPECT_NEAR(player.GetTime(), c.time, 1e-6f) << c.style;
    EXPECT_EQ(player.IsPlaying(), c.playing) << c.style;
    EXPECT_EQ(AnimationEvents(player), c.events) << c.style;
    // The targets take the sampled keys.
    Resource* walk = Resources().LookupResource("Walk", kAnimationResource);
    Vector3 position, scale;
    Quaternion rotation;
    SampleAnimationPosition(walk, 0, player.GetTime(), &position, nullptr);
    SampleAnimationRotation(walk, 0, player.GetTime(), &rotation, nullptr);
    SampleAnimationScale(walk, 1, player.GetTime(), &scale, nullptr);
    EXPECT_FLOAT_EQ(hip->GetPosition().x, position.x) << c.style;
    EXPECT_FLOAT_EQ(hip->GetRotation().y, rotation.y) << c.style;
    EXPECT_FLOAT_EQ(knee->GetScale().x, 2.0f) << c.style;
    player.Delete(false);
  }
}

TEST_F(AnimationTest, QueuedEntriesStartTheFrameTheLastEnds) {
  Logged<Animation>& player = AddPlayer({"Walk", "Run", "Jump"});
  SendText(player, kPushBack, "Run");
  SendText(player, kPushFront, "Jump");
  SendText(player, kPushBack, "Missing");
  EXPECT_EQ(player.GetQueue(), (std::deque<int>{2, 1}));
  player.ExecuteCommand(kPlay, nullptr);
  Frames(player, 4);
  EXPECT_EQ(player.GetPlayingEntry(), 2);
  EXPECT_TRUE(player.IsPlaying());
  EXPECT_EQ(player.GetTime(), 0.0f);
  Frames(player, 4);
  EXPECT_EQ(player.GetPlayingEntry(), 1);
  EXPECT_EQ(AnimationEvents(player), (std::vector<int>{kEnd, kEnd, kQueueEmpty}));
  Frames(player, 8);
  EXPECT_EQ(AnimationEvents(player), (std::vector<int>{kEnd, kEnd, kQueueEmpty, kEnd}));
  // ForceNext plays the front at once; the queue it empties says so once.
  SendText(player, kPushBack, "Walk");
  player.ExecuteCommand(kForceNext, nullptr);
  EXPECT_EQ(player.GetPlayingEntry(), 0);
  player.ExecuteCommand(kForceNext, nullptr);
  EXPECT_EQ(player.Count(kQueueEmpty), 2);
}

TEST_F(AnimationTest, RandomQueuePushesNeedEntries) {
  Logged<Animation>& empty = AddPlayer({});
  empty.ExecuteCommand(kPushRandomBack, nullptr);
  empty.ExecuteCommand(kPushRandomBack + 1, nullptr);
  EXPECT_TRUE(empty.GetQueue().empty());
  Logged<Animation>& player = AddPlayer({"Walk", "Run"});
  player.ExecuteCommand(kPushRandomBack, nullptr);
  ASSERT_EQ(player.GetQueue().size(), 1u);
  EXPECT_LT(player.GetQueue()[0], 2);
}

TEST_F(AnimationTest, SeededStartsReachEveryAlternative) {
  Logged<Animation>& player = AddPlayer({"Idle", "Idle_01", "Idle_02", "Idle_04"});
  player.Precalculate();
  EXPECT_EQ(player.GetEntries()[0].alternatives, (std::vector<int>{1, 2}));
  SeedRand(7);
  std::set<int> played;
  for (int i = 0; i < 40; ++i) {
    player.PlayIndex(0);
    played.insert(player.GetPlayingEntry());
    Select(player, 0);
  }
  EXPECT_EQ(played, (std::set<int>{0, 1, 2}));
}

// The prefix is measured on the first name and skipped only as far as each
// name goes.
TEST_F(AnimationTest, NamePrefixIsSkippedWhenMatching) {
  Logged<Animation>& player = AddPlayer({"hero_walk", "x", "hero_run"});
  Send(player, kSetHasNamePrefix, 1);
  player.Precalculate();
  EXPECT_EQ(player.GetPrefixLength(), 5u);
  EXPECT_EQ(player.FindEntry("run"), 2);
  EXPECT_EQ(player.FindEntry(""), 1);
  EXPECT_EQ(player.FindEntry("hero_run"), -1);
  player.AnimationPlay("run");
  EXPECT_EQ(player.GetPlayingEntry(), 2);
  std::vector<std::string> names;
  player.ExecuteCommand(kGetList, &names);
  EXPECT_EQ(names, (std::vector<std::string>{"hero_walk", "x", "hero_run"}));
}

TEST_F(AnimationTest, PauseAndPauseOnStopResumeWhereTheyWere) {
  Logged<Animation>& player = AddPlayer({"Walk", "Run"});
  player.ExecuteCommand(kPlay, nullptr);
  Frames(player, 2);
  player.ExecuteCommand(kPause, nullptr);
  Frames(player, 2);
  EXPECT_FLOAT_EQ(player.GetTime(), 0.125f);
  player.ExecuteCommand(kPlay, nullptr);
  Frames(player, 1);
  EXPECT_FLOAT_EQ(player.GetTime(), 0.1875f);
  // Without PauseOnStop a stop restarts; with it, it resumes.
  player.ExecuteCommand(kStop, nullptr);
  player.ExecuteCommand(kPlay, nullptr);
  EXPECT_EQ(player.GetTime(), 0.0f);
  Frames(player, 1);
  Send(player, kSetPauseOnStop, 1);
  player.ExecuteCommand(kCommandActionStopStep, nullptr);
  EXPECT_TRUE(player.IsPaused());
  player.ExecuteCommand(kPlay, nullptr);
  EXPECT_FLOAT_EQ(player.GetTime(), 0.0625f);
  EXPECT_FALSE(player.IsPaused());
  // A zero Action value freezes it.
  player.SetUseAction(true);
  player.GetAction()->value = 0;
  Frames(player, 3);
  EXPECT_FLOAT_EQ(player.GetTime(), 0.0625f);
  // Reset poses the start and stops.
  player.ExecuteCommand(kReset, nullptr);
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_EQ(hip->GetPosition().x, 0.0f);
}

// However long it stands at the turn (here at speed 0), a ping-pong entry
// reverses once there.
TEST_F(AnimationTest, PingPongStandingAtItsEndReversesOnce) {
  for (const std::uint32_t style : {kStylePingPong, kStylePingPongLoop}) {
    Logged<Animation>& player = AddPlayer({"Walk"});
    Select(player, 0);
    Send(player, kSetStyle, style);
    player.ExecuteCommand(kPlay, nullptr);
    Frames(player, 4);
    Send(player, kSetSpeed, 0.0f);
    Frames(player, 5);
    EXPECT_EQ(AnimationEvents(player), std::vector<int>{kReverse}) << style;
    player.Delete(false);
  }
}

// A reset straight after a pause starts over rather than resuming.
TEST_F(AnimationTest, ResetAfterPausePosesTheStart) {
  Logged<Animation>& player = AddPlayer({"Walk"});
  player.ExecuteCommand(kPlay, nullptr);
  Frames(player, 2);
  player.ExecuteCommand(kPause, nullptr);
  ASSERT_FLOAT_EQ(hip->GetPosition().x, 0.5f);
  player.ExecuteCommand(kReset, nullptr);
  EXPECT_EQ(player.GetTime(), 0.0f);
  EXPECT_EQ(hip->GetPosition().x, 0.0f);
  EXPECT_FALSE(player.IsPlaying());
}

TEST_F(AnimationTest, DeletingAnEntryRenumbersTheQueueAndAlternatives) {
  Logged<Animation>& player = AddPlayer({"A", "B", "B_01", "C", "D"});
  player.Precalculate();
  for (const char* name : {"D", "B_01", "C", "B_01"}) SendText(player, kPushBack, name);
  player.AnimationPlay("C");
  Select(player, 2);
  player.ExecuteCommand(kDelete, nullptr);
  EXPECT_EQ(player.GetEntries().size(), 4u);
  EXPECT_EQ(player.GetQueue(), (std::deque<int>{3, 2}));
  EXPECT_TRUE(player.GetEntries()[1].alternatives.empty());
  EXPECT_EQ(player.GetPlayingEntry(), 2);
  EXPECT_EQ(player.GetEntries()[2].name, "C");
  EXPECT_EQ(player.GetCurrentIndex(), 0);
  // Deleting the entry played stops it.
  Select(player, 2);
  player.ExecuteCommand(kDelete, nullptr);
  EXPECT_EQ(player.GetPlayingEntry(), -1);
  Frames(player, 2);
  float speed = 0;
  Select(player, 9);
  player.ExecuteCommand(kGetSpeedMul, &speed);
  EXPECT_EQ(speed, 1.0f);
}

// Run under the sanitizers: a script that deletes the entry played, or the
// Animation itself, from its end event leaves nothing dangling.
TEST_F(AnimationTest, EndEventScriptsMayDeleteTheEntryOrTheObject) {
  Logged<Animation>& player = AddPlayer({"Walk", "Run"});
  SendText(player, kPushBack, "Run");
  AddEventScript(player, "OnAnimationEnd", "this.SetAnimationList(0); this.DeleteAnimation();");
  player.ExecuteCommand(kPlay, nullptr);
  Frames(player, 12);
  EXPECT_EQ(player.GetEntries().size(), 0u);
  EXPECT_TRUE(player.GetQueue().empty());

  Logged<Animation>& doomed = AddPlayer({"Walk"});
  AddEventScript(doomed, "OnAnimationEnd", "this.Delete();");
  doomed.ExecuteCommand(kPlay, nullptr);
  ObjectRef<Object> watch(&doomed);
  Frames(doomed, 4);
  engine->SetRunning(true);
  engine->RunFrame();
  EXPECT_FALSE(watch);
}

TEST_F(AnimationTest, LengthZeroEndsOnce) {
  AddAnimationResource("Blink", Tracks(), 0);
  Logged<Animation>& player = AddPlayer({"Blink"});
  player.ExecuteCommand(kPlay, nullptr);
  Frames(player, 3);
  EXPECT_EQ(AnimationEvents(player), (std::vector<int>{kEnd}));
}

TEST_F(AnimationTest, CreateAnimationObjectsMakesMeshesAndCameras) {
  AnimationTrack body{"Body", -1, 0, -1, 0, {}, {}, {}};
  AnimationTrack eye{"Camera01", 0, 0, -1, 0, {}, {}, {}};
  AnimationTrack wheel{"Wheel_01", 0, 0, -1, 0, {}, {}, {}};
  AddAnimationResource("Drive", {body, eye, wheel}, 1);
  AddCubeMesh("Wheel");
  auto& player = AddOwn<Animation>(*engine, "Player");
  player.AddAnimation("Drive");
  player.ExecuteCommand(kCreateObjects, nullptr);
  ASSERT_EQ(player.GetTargetCount(), 3u);
  Object* made = player.GetTarget(0);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetClassId(), kClassMesh);
  EXPECT_EQ(made->GetParent(), &player);
  EXPECT_EQ(static_cast<Mesh*>(made)->GetEntries()[0].name, "Body");
  EXPECT_EQ(player.GetTarget(1)->GetClassId(), kClassCamera);
  EXPECT_EQ(player.GetTarget(1)->GetParent(), made);
  std::uint32_t cameraType = 9;
  player.GetTarget(1)->ExecuteCommand(1251, &cameraType);
  EXPECT_EQ(cameraType, 0u);
  EXPECT_EQ(static_cast<Mesh*>(player.GetTarget(2))->GetEntries()[0].name, "Wheel");
  EXPECT_NE(player.GetTarget(2)->GetTransform(), nullptr);
  // A second call finds the children it made.
  player.ExecuteCommand(kCreateObjects, nullptr);
  EXPECT_EQ(player.GetChildCount(), 1);
}

TEST_F(AnimationTest, CopiesStartStoppedAndRecordsRoundTrip) {
  Logged<Animation>& player = AddPlayer({"Walk", "Run"});
  Select(player, 1);
  Send(player, kSetStyle, std::uint32_t{kStylePingPongLoop});
  Send(player, kSetPauseOnStop, 1);
  Send(player, kSetHasNamePrefix, 1);
  player.ExecuteCommand(kPlay, nullptr);
  Frames(player, 5);
  Object* copy = CreateObject(kClassAnimation, &player, *engine, "Copy");
  ASSERT_NE(copy, nullptr);
  auto& copied = static_cast<Animation&>(*copy);
  EXPECT_FALSE(copied.IsPlaying());
  EXPECT_EQ(copied.GetTime(), 0.0f);
  EXPECT_EQ(copied.GetTargetCount(), 0u);
  EXPECT_EQ(copied.GetEntries().size(), 2u);
  Send(player, kSetTime, 0.5f);

  ExpectStableRecord(player);
  std::unique_ptr<Animation> loaded = RoundTrip<Animation>(player);
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->GetEntries().size(), 2u);
  EXPECT_EQ(loaded->GetEntries()[1].name, "Run");
  EXPECT_EQ(loaded->GetEntries()[1].style, kStylePingPongLoop);
  EXPECT_TRUE(loaded->GetEntries()[1].pauseOnStop);
  EXPECT_TRUE(loaded->GetEntries()[1].reversed);
  std::vector<std::uint8_t> bytes = Save(player);
  bytes.resize(bytes.size() - 10);
  EXPECT_EQ(Load<Animation>(kClassAnimation, bytes, SerializeStream::kLatestVersion), nullptr);
}

}  // namespace
}  // namespace tge::test
