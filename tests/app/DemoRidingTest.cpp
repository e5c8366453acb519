// The demo's riding, loaded from the files the demo writer makes over a
// recording render device (the skins need one to load), with keys and
// mouse buttons reaching player 0's input: neither runs until T; the rider
// walks up to the horse, E mounts it, W carries both forward on the horse's
// root motion, S stops the horse and the right button gets the rider off
// beside it, on its own feet again, ready to mount once more.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>

#include "core/ActiveCameraTable.h"
#include "core/ClassIds.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/characters/PlayerTP.h"
#include "objects/scene/animation/SkinMesh.h"
#include "tests/app/DemoFixture.h"
#include "tests/platform/window/SdlTestEvents.h"

namespace tge::test {
namespace {

class DemoRidingTest : public DemoTest {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(WriteDemoFiles(folder.Path("Data"), DemoOptions{}, error)) << error;
    Start(true, true);
    OpenDemo();
  }
  void Seconds(double seconds) {
    for (long frame = std::lround(seconds * 60); frame > 0; --frame) Frame();
  }
  void Tap(SDL_Scancode key) {
    platform::PushKey(key, true);
    Frame();
    platform::PushKey(key, false);
    Frame();
  }
  // Frames until done holds, at most seconds long.
  template <class Done>
  bool WithinSeconds(double seconds, Done done) {
    for (long frame = std::lround(seconds * 60); frame > 0 && !done(); --frame) Frame();
    return done();
  }
  static std::string PlayingOn(Object& character) {
    const auto& skin = static_cast<const SkinMesh&>(*character.FindChildByClass(kClassSkinMesh));
    return skin.GetAnimationName(skin.GetCurrentEntryIndex());
  }
  static float FlatDistance(const Vector3& a, const Vector3& b) { return std::hypot(a.x - b.x, a.z - b.z); }
};

TEST_F(DemoRidingTest, TheRiderWalksUpMountsRidesForwardAndGetsOffBesideTheHorse) {
  Frame();
  EXPECT_EQ(GetActiveCameraTable().Get(0), &Find("/DemoWorld/Stage/Eye"));
  Tap(SDL_SCANCODE_T);
  auto& horse = Find<Horse>("/DemoWorld/Stage/Horse");
  auto& rider = Find<PlayerTP>("/DemoWorld/Stage/Rider");
  Seconds(0.5);
  EXPECT_EQ(GetActiveCameraTable().Get(0), &Find("/DemoWorld/Stage/Rider/Camera"));
  EXPECT_EQ(horse.GetState(), kHorseIdle);

  const float apart = FlatDistance(rider.GetPositionWS(), horse.GetPositionWS());
  platform::PushKey(SDL_SCANCODE_W, true);
  Seconds(1.5);
  platform::PushKey(SDL_SCANCODE_W, false);
  Seconds(0.5);
  EXPECT_LT(FlatDistance(rider.GetPositionWS(), horse.GetPositionWS()), apart - 0.5f) << "the rider walks up";

  Tap(SDL_SCANCODE_E);
  ASSERT_TRUE(WithinSeconds(4, [&] { return rider.GetState() == PlayerTPState::kRiding && horse.GetState() == kHorseIdle; }));
  EXPECT_EQ(horse.GetRider(), &rider);

  const Vector3 from = horse.GetPositionWS();
  Tap(SDL_SCANCODE_W);
  Tap(SDL_SCANCODE_W);
  Seconds(3);
  EXPECT_EQ(horse.GetState(), kHorseTrot);
  EXPECT_EQ(PlayingOn(rider), "HorseTrot") << "the horse passes its gait to the rider";
  Vector3 moved;
  Vector3Subtract(moved, horse.GetPositionWS(), from);
  EXPECT_GT(Vector3Dot(moved, horse.GetAxisZWS()), 4.0f);
  EXPECT_LT(FlatDistance(rider.GetPositionWS(), horse.GetPositionWS()), 0.5f) << "the horse carries the rider";
  EXPECT_GT(horse.GetAxisYWS().y, 0.99f);

  Tap(SDL_SCANCODE_S);
  Tap(SDL_SCANCODE_S);
  ASSERT_TRUE(WithinSeconds(3, [&] { return horse.GetState() == kHorseIdle; }));
  platform::PushButton(SDL_BUTTON_RIGHT, true);
  Frame();
  platform::PushButton(SDL_BUTTON_RIGHT, false);
  ASSERT_TRUE(WithinSeconds(4, [&] { return rider.GetTransport() == nullptr; }));
  Seconds(1);
  EXPECT_EQ(horse.GetRider(), nullptr);
  EXPECT_NE(rider.GetBody(), nullptr);
  EXPECT_LT(FlatDistance(rider.GetPositionWS(), horse.GetPositionWS()), 3.0f);
  EXPECT_LT(std::fabs(rider.GetPositionWS().y - horse.GetPositionWS().y), 0.5f) << "back on the ground";
  Tap(SDL_SCANCODE_E);
  EXPECT_TRUE(WithinSeconds(4, [&] { return rider.GetState() == PlayerTPState::kRiding; })) << "and E mounts again";
}

}  // namespace
}  // namespace tge::test
