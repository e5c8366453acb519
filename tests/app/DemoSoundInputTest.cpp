// The demo's sound and input, loaded from the files the demo writer makes
// into an engine with a sound system and the input service: the mixer fades
// the loop in, the knocker knocks as each turn ends, L turns the lamp blue
// while held and U lifts a crate while held.
#include <SDL.h>
#include <gtest/gtest.h>

#include "core/math/Color.h"
#include "core/script/ScriptInterpreter.h"
#include "objects/ui/sound/Sound.h"
#include "objects/ui/sound/SoundMixer.h"
#include "tests/app/DemoFixture.h"

namespace tge::test {
namespace {

class DemoSoundInputTest : public DemoTest {
 protected:
  void SetUp() override {
    DemoTest::SetUp();
    OpenDemo();
  }

  Color LampColour() {
    Color colour{};
    Find("/DemoWorld/Stage/LampSway/Lamp").ExecuteCommand(kGetLightColor, &colour);
    return colour;
  }
  void Seconds(double seconds) {
    for (long frame = std::lround(seconds * 60); frame > 0; --frame) Frame();
  }
};

// The crate turns once the title's Start has started its Timer.
TEST_F(DemoSoundInputTest, TheLoopFadesInAndTheCrateKnocksAsEachTurnStarts) {
  auto& mixer = Find<SoundMixer>("/DemoWorld/Stage/Music");
  auto& knocker = Find<Sound>("/DemoWorld/Stage/Crate/Knocker");
  Frame();
  EXPECT_EQ(mixer.GetRecords().at(0).name, "Ambience");
  EXPECT_EQ(mixer.GetRecords().at(0).state, MixerState::kFadingIn);
  Seconds(2.1);
  EXPECT_FALSE(knocker.IsEntryPlaying(0));
  RunScriptText(*engine, "/DemoWorld/Stage/Crate/Turn.TimerStart();", nullptr);
  Frame();
  EXPECT_TRUE(knocker.IsEntryPlaying(0));
  Seconds(1.5);
  EXPECT_EQ(mixer.GetRecords().at(0).state, MixerState::kPlaying);
  EXPECT_TRUE(IsPlaying(*Services().GetResources().LookupResource("Ambience", kSoundResource)));
}

TEST_F(DemoSoundInputTest, LTurnsTheLampBlueAndULiftsACrateWhileHeld) {
  Object& crate = Find("/DemoWorld/Stage/Left1");
  const Color orange = LampColour();
  platform::PushKey(SDL_SCANCODE_L, true);
  platform::PushKey(SDL_SCANCODE_U, true);
  Frame();
  EXPECT_GT(LampColour().b, orange.b);
  EXPECT_GT(crate.GetPosition().y, 1.0f);
  platform::PushKey(SDL_SCANCODE_L, false);
  platform::PushKey(SDL_SCANCODE_U, false);
  Frame();
  EXPECT_EQ(LampColour().b, orange.b);
  EXPECT_EQ(crate.GetPosition().y, 0.0f);
}

}  // namespace
}  // namespace tge::test
