// The demo's doorway and joints, loaded from the files the demo writer
// makes: the hinged crate swings once the weight has woken it, and a click
// of the engine's cursor on the doorway opens the door, which closes by
// itself.
#include <SDL.h>
#include <gtest/gtest.h>

#include "core/math/Matrix4.h"
#include "core/script/ScriptInterpreter.h"
#include "engine/Engine.h"
#include "objects/gameplay/props/Door.h"
#include "tests/app/DemoFixture.h"

namespace tge::test {
namespace {

class DemoDoorwayTest : public OpenedDemoTest {
 protected:
  // Where a world point shows on the 800 x 600 reference screen, through
  // the view the last frame drew with.
  Vector3 CursorPointOf(const Vector3& p) {
    const ViewState& view = Services().GetView();
    Matrix4 both;
    Matrix4Multiply(both, view.GetViewMatrix(), view.GetProjectionMatrix());
    const float* m = both.m;
    const float x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
    const float y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
    const float w = p.x * m[3] + p.y * m[7] + p.z * m[11] + m[15];
    const float width = float(Services().GetScreenWidth()), height = float(Services().GetScreenHeight());
    return {(x / w + 1) / 2 * width / engine->GetScreenScaleX(), (1 - y / w) / 2 * height / engine->GetScreenScaleY(),
            0};
  }
};

TEST_F(DemoDoorwayTest, TheHingedCrateSwingsOnceTheWeightHasWokenIt) {
  Object& crate = Find("/DemoWorld/Stage/Hinge/Swing");
  const float start = crate.GetPositionWS().y;
  Seconds(2);
  EXPECT_LT(crate.GetPositionWS().y, start - 0.5f);
}

TEST_F(DemoDoorwayTest, AClickOnTheDoorwayOpensTheDoorWhichClosesByItself) {
  auto& door = Find<Door>("/DemoWorld/Doorway/Door");
  EXPECT_EQ(door.IsInConnectionSpace(), 1);
  Frame();
  const Vector3 point = CursorPointOf(Find("/DemoWorld/Doorway").GetPositionWS());
  RunScriptText(*engine,
                "this.SetCursorActive(1); this.SetCursorPosition(" + std::to_string(point.x) + ", " +
                    std::to_string(point.y) + ", 0);",
                nullptr);
  platform::PushButton(SDL_BUTTON_LEFT, true);
  Frame();
  EXPECT_EQ(door.GetState(), DoorState::kClosed);
  platform::PushButton(SDL_BUTTON_LEFT, false);
  Frame();
  EXPECT_EQ(door.GetState(), DoorState::kOpening);
  Seconds(1.2);
  EXPECT_EQ(door.GetState(), DoorState::kOpen);
  Seconds(5);
  EXPECT_EQ(door.GetState(), DoorState::kClosed);
}

}  // namespace
}  // namespace tge::test
