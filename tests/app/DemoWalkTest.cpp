// The demo's first-person walk, loaded from the files the demo writer makes:
// nothing of it runs until F, then the copied player takes the view, walks
// forward while Up is held, and the HUD and the radar follow it.
#include <SDL.h>
#include <gtest/gtest.h>

#include "core/ActiveCameraTable.h"
#include "objects/gameplay/characters/Inventory.h"
#include "objects/gameplay/characters/PlayerFPS.h"
#include "objects/gameplay/characters/PlayerRadar.h"
#include "objects/scene/Camera.h"
#include "tests/app/DemoFixture.h"

namespace tge::test {
namespace {

class DemoWalkTest : public DemoTest {
 protected:
  void SetUp() override {
    DemoTest::SetUp();
    OpenDemo();
  }
  void Seconds(double seconds) {
    for (long frame = std::lround(seconds * 60); frame > 0; --frame) Frame();
  }
};

TEST_F(DemoWalkTest, FStartsTheWalkAndUpWalksThePlayerForwardUnderItsHud) {
  Frame();
  EXPECT_EQ(GetCurrentPlayerFPS(), nullptr);
  EXPECT_EQ(GetActiveCameraTable().Get(0), &Find("/DemoWorld/Stage/Eye"));
  platform::PushKey(SDL_SCANCODE_F, true);
  Frame();
  platform::PushKey(SDL_SCANCODE_F, false);
  Seconds(1);
  auto& player = Find<PlayerFPS>("/DemoWorld/Stage/Mission/Walk/Walker");
  EXPECT_EQ(GetCurrentPlayerFPS(), &player);
  EXPECT_EQ(GetActiveCameraTable().Get(0), player.GetCamera());
  EXPECT_EQ(Find<Inventory>("/DemoWorld/Stage/Mission/Walk/Inventory").GetPlayer(), &player);
  auto& radar = Find<PlayerRadar>("/DemoWorld/Stage/Mission/Walk/Inventory/Radar");
  EXPECT_EQ(radar.GetPlayer(), &player);
  EXPECT_EQ(radar.GetTrackedCount(), 7u);
  const float from = player.GetPositionWS().z;
  platform::PushKey(SDL_SCANCODE_UP, true);
  Seconds(1);
  platform::PushKey(SDL_SCANCODE_UP, false);
  EXPECT_NEAR(player.GetPositionWS().z - from, 3.5f, 1.0f);
  platform::PushKey(SDL_SCANCODE_F, true);
  Frame();
  EXPECT_EQ(Find("/DemoWorld/Stage/Mission").GetChildCount(), 1) << "a second F starts no second walk";
}

}  // namespace
}  // namespace tge::test
