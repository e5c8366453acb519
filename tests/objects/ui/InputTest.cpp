// Input objects read player 0 of the input service fed by a headless
// window: events run their "OnInput" scripts once per edge, axes send the
// action value times their multiplier every frame to a command of one Float.
#include <SDL.h>
#include <gtest/gtest.h>

#include "core/BaseCommandIds.h"
#include "core/ObjectRef.h"
#include "objects/ui/Input.h"
#include "tests/objects/ui/UiObjectFixture.h"

namespace tge::test {
namespace {

// W is bound on both action maps as its own id, so it reads 2 while held.
constexpr int kKeyW = 272;
constexpr int kButtonCross = 16;

constexpr std::uint32_t kAddInputEvent = 13250;
constexpr std::uint32_t kDeleteInputEvent = 13251;
constexpr std::uint32_t kSetInputEventList = 13252;
constexpr std::uint32_t kGetInputEventList = 13253;
constexpr std::uint32_t kSetInputEventId = 13254;
constexpr std::uint32_t kSetInputEventName = 13256;
constexpr std::uint32_t kGetInputEventName = 13257;
constexpr std::uint32_t kSetInputEventOnRelease = 13258;
constexpr std::uint32_t kCreateInputEventScript = 13260;
constexpr std::uint32_t kAddInputAxis = 13261;
constexpr std::uint32_t kGetInputAxisList = 13264;
constexpr std::uint32_t kSetInputAxisId = 13265;
constexpr std::uint32_t kSetInputAxisTreePath = 13267;
constexpr std::uint32_t kSetInputAxisCommand = 13269;
constexpr std::uint32_t kSetInputAxisMul = 13271;
constexpr std::uint32_t kSetInputEnableDebugInput = 13273;

template <class T>
void Send(Object& object, std::uint32_t id, T value) {
  object.ExecuteCommand(id, &value);
}
void Send(Object& object, std::uint32_t id, const char* text) {
  std::string value = text;
  object.ExecuteCommand(id, &value);
}
void Send(Object& object, std::uint32_t id) { object.ExecuteCommand(id, nullptr); }

std::string SelectedEventName(Input& input) {
  std::string name;
  input.ExecuteCommand(kGetInputEventName, &name);
  return name;
}

class InputTest : public UiObjectTest {
 protected:
  void SetUp() override { Start(true); }

  Input& AddInput() {
    Input& input = Add<Input>(kClassInput, "Keys");
    Send(input, kCommandInitializeNewObject);
    return input;
  }
  // An event on an action; its script adds `step` to the counter's position.
  void AddEvent(Input& input, int action, bool onRelease, const std::string& script) {
    Send(input, kAddInputEvent, "");
    Send(input, kSetInputEventId, action);
    Send(input, kSetInputEventOnRelease, onRelease ? 1 : 0);
    input.GetScripts()->push_back({SelectedEventName(input), script, -1, 0});
  }
  void AddAxis(Input& input, int action, const char* path, const char* command, float mul) {
    Send(input, kAddInputAxis, "");
    Send(input, kSetInputAxisId, action);
    Send(input, kSetInputAxisTreePath, path);
    Send(input, kSetInputAxisCommand, command);
    Send(input, kSetInputAxisMul, mul);
  }
  void Key(bool down) {
    platform::PushKey(SDL_SCANCODE_W, down);
    Frame();
  }
};

TEST_F(InputTest, PressAndReleaseEventsRunTheirScriptsOncePerEdge) {
  Object& counter = AddPlaced("Counter");
  Input& input = AddInput();
  AddEvent(input, kKeyW, false, "/Counter.AddPosition(1, 0, 0);");
  AddEvent(input, kKeyW, true, "/Counter.AddPosition(0, 1, 0);");
  EXPECT_EQ(input.GetEvents()[0].name, "OnInputW");
  EXPECT_EQ(input.GetEvents()[1].name, "OnInputWRelease");
  input.Precalculate();
  Key(true);
  Frame();
  Frame();
  EXPECT_EQ(PositionOf(counter), (std::array<float, 3>{1, 0, 0}));
  Key(false);
  Frame();
  EXPECT_EQ(PositionOf(counter), (std::array<float, 3>{1, 1, 0}));
}

TEST_F(InputTest, AxisSendsValueTimesMultiplierEveryFrameAndZeroAfterRelease) {
  Object& target = AddPlaced("Target");
  Input& input = AddInput();
  AddAxis(input, kKeyW, "/Target", "SetPositionY", -1.5f);
  input.Precalculate();
  Key(true);
  EXPECT_FLOAT_EQ(target.GetPosition().y, -3.0f);
  target.SetPosition({0, 7, 0}, false);
  Frame();
  EXPECT_FLOAT_EQ(target.GetPosition().y, -3.0f);
  Key(false);
  EXPECT_FLOAT_EQ(target.GetPosition().y, 0.0f);
}

// SetName takes a String: a Float block read as one would be read past its
// end, so such an axis stays inactive, as one naming no command does.
TEST_F(InputTest, AxisSendsNothingToACommandThatIsNotOneFloatNorToADeletedTarget) {
  Object& target = AddPlaced("Target");
  Input& input = AddInput();
  AddAxis(input, kKeyW, "/Target", "SetName", 1);
  AddAxis(input, kKeyW, "/Target", "NoSuchCommand", 1);
  AddAxis(input, kKeyW, "/Nobody", "SetPositionX", 1);
  AddAxis(input, kKeyW, "/Target", "SetPositionZ", 1);
  input.Precalculate();
  for (std::size_t i = 0; i < 3; ++i) EXPECT_FALSE(input.GetAxes()[i].target) << i;
  Key(true);
  EXPECT_EQ(target.GetName(), "Target");
  EXPECT_FLOAT_EQ(target.GetPosition().z, 2.0f);
  ObjectRef<Object> watched(&target);
  target.Delete(false);
  ASSERT_FALSE(watched);
  Frame();
  EXPECT_FALSE(input.GetAxes()[3].target);
}

// The first script deletes both events and the Input itself; the walk
// stops at the current count and the object goes once the update is done.
TEST_F(InputTest, AScriptMayEditTheListsAndDeleteItsInputDuringTheUpdate) {
  Object& counter = AddPlaced("Counter");
  Input& input = AddInput();
  AddEvent(input, kKeyW, false,
           "this.SetInputEventList(0); this.DeleteInputEvent(); this.SetInputEventList(0); "
           "this.DeleteInputEvent(); this.Delete();");
  AddEvent(input, kKeyW, false, "/Counter.AddPosition(1, 0, 0);");
  input.GetScripts()->at(1).name = "Second";
  Send(input, kSetInputEventList, 1);
  Send(input, kSetInputEventName, "Second");
  AddAxis(input, kKeyW, "/Counter", "SetPositionY", 1);
  input.Precalculate();
  ObjectRef<Object> watched(&input);
  Key(true);
  Frame();
  EXPECT_FALSE(watched);
  EXPECT_EQ(PositionOf(counter), (std::array<float, 3>{0, 0, 0}));
}

TEST_F(InputTest, AnInactiveInputRunsNoScriptsAndSendsNothingButStaysRegistered) {
  Object& counter = AddPlaced("Counter");
  Input& input = AddInput();
  AddEvent(input, kKeyW, false, "/Counter.AddPosition(1, 0, 0);");
  AddAxis(input, kKeyW, "/Counter", "SetPositionY", 1);
  input.Precalculate();
  input.SetActive(false);
  Key(true);
  EXPECT_EQ(PositionOf(counter), (std::array<float, 3>{0, 0, 0}));
  EXPECT_TRUE(input.HasFlag(kFlagUpdateRegistered));
}

// Ids outside the action maps never fire and read 0; their name has no
// input part.
TEST_F(InputTest, IdsOutsideTheActionMapsNeverFireAndSendZero) {
  Object& counter = AddPlaced("Counter");
  counter.SetPosition({0, 5, 0}, false);
  Input& input = AddInput();
  for (int id : {-1, 512, 100000}) {
    AddEvent(input, id, false, "/Counter.AddPosition(1, 0, 0);");
    EXPECT_EQ(input.GetEvents().back().name, "OnInput");
  }
  AddAxis(input, 600, "/Counter", "SetPositionY", 1);
  input.Precalculate();
  Key(true);
  EXPECT_EQ(PositionOf(counter), (std::array<float, 3>{0, 0, 0}));
}

TEST_F(InputTest, OnReleaseRebuildsTheNameFromTheId) {
  Input& input = AddInput();
  Send(input, kAddInputEvent, "");
  Send(input, kSetInputEventName, "Mine");
  Send(input, kSetInputEventId, kButtonCross);
  EXPECT_EQ(SelectedEventName(input), "OnInputButtonCross");
  Send(input, kSetInputEventName, "Mine");
  Send(input, kSetInputEventOnRelease, 1);
  EXPECT_EQ(SelectedEventName(input), "OnInputButtonCrossRelease");
  Send(input, kSetInputEventOnRelease, 0);
  EXPECT_EQ(SelectedEventName(input), "OnInputButtonCross");
}

TEST_F(InputTest, ListsSelectionsAndEventScripts) {
  Input& input = AddInput();
  Send(input, kAddInputEvent, "");
  Send(input, kAddInputEvent, "");
  Send(input, kSetInputEventName, "Second");
  Send(input, kCreateInputEventScript);
  ASSERT_EQ(input.GetScripts()->size(), 1u);
  EXPECT_EQ(input.GetScripts()->back().name, "Second");
  EXPECT_EQ(input.GetScripts()->back().flags, 1);
  Send(input, kDeleteInputEvent);
  Send(input, kDeleteInputEvent);
  std::vector<std::string> names;
  input.ExecuteCommand(kGetInputEventList, &names);
  EXPECT_EQ(names, std::vector<std::string>{"Unknown"});
  Send(input, kSetInputEventList, 5);
  Send(input, kSetInputEventName, "Nowhere");
  AddAxis(input, 1, "/Target", "SetPositionY", 2);
  names.clear();
  input.ExecuteCommand(kGetInputAxisList, &names);
  EXPECT_EQ(names, std::vector<std::string>{"/Target.SetPositionY(Axis)"});
}

TEST_F(InputTest, MovieSkipAnswersReturnPressed) {
  EXPECT_FALSE(Input::MovieSkipCallback());
  platform::PushKey(SDL_SCANCODE_RETURN, true);
  pump_->PumpEvents();
  EXPECT_TRUE(Input::MovieSkipCallback());
  EXPECT_FALSE(Input::MovieSkipCallback());
}

TEST_F(InputTest, SaveLoadSaveGivesTheSameBytesAndAVersion25FileHasNoLists) {
  Input& input = AddInput();
  AddEvent(input, kKeyW, true, "");
  AddAxis(input, kKeyW, "/Target", "SetPositionY", -2);
  Send(input, kSetInputEnableDebugInput, 1);
  const std::vector<std::uint8_t> bytes = SaveRecord(input);
  std::unique_ptr<Input> loaded = LoadRecord<Input>(kClassInput, bytes);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(SaveRecord(*loaded), bytes);
  EXPECT_EQ(loaded->GetEvents()[0].name, "OnInputWRelease");
  EXPECT_EQ(loaded->GetAxes()[0].mul, -2.0f);

  std::unique_ptr<Input> old = LoadRecord<Input>(kClassInput, SaveRecord(input, 25), 25);
  ASSERT_NE(old, nullptr);
  EXPECT_TRUE(old->GetEvents().empty());
  EXPECT_TRUE(old->GetAxes().empty());
  EXPECT_EQ(SaveRecord(*old, 25), SaveRecord(input, 25));

  std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 3);
  EXPECT_EQ(LoadRecord<Input>(kClassInput, cut), nullptr);
}

// Without an input service no event fires and names take no input part.
TEST_F(UiObjectTest, InputWithoutAnInputServiceNamesEventsWithoutTheInput) {
  auto& input = Add<Input>(kClassInput);
  Send(input, kAddInputEvent, "");
  Send(input, kSetInputEventId, kButtonCross);
  EXPECT_EQ(SelectedEventName(input), "OnInput");
}

}  // namespace
}  // namespace tge::test
