#include "platform/gfx/States.h"
#include "services/render/TerrainResource.h"
#include "services/resources/ResourceType.h"
#include "tests/engine/EngineFrameFixture.h"

namespace tge::test {
namespace {

// The engine's own World is first in the list: its tick unloads the File
// holding the second World before that World's turn comes.
TEST_F(EngineTest, AWorldDestroyedDuringTheFramePassesIsSkipped) {
  engine->SetRunning(true);
  World& engineWorld = engine->GetEngineWorld();
  engineWorld.SetActive(true);
  auto& scene = static_cast<File&>(Add(*engine, "Scene", kClassFile));
  static_cast<World&>(Add(scene, "Level", kClassWorld)).SetActive(true);
  const std::size_t worlds = World::GetWorldList().size();
  engineWorld.RepeatCommand(scene, 2251, nullptr, 0);
  engine->RunFrame();
  EXPECT_EQ(scene.GetChildCount(), 0);
  EXPECT_EQ(World::GetWorldList().size(), worlds - 1);
}

TEST_F(EngineFrameTest, FrameRendersOnlyWhileTheEngineRuns) {
  Frame();
  EXPECT_EQ(recording->Presents(), 1u);
  engine->SetRunning(false);
  Frame();
  EXPECT_EQ(recording->Presents(), 1u);
}

// While the device is lost nothing of the frame happens: the deferred
// deletion waits, and so does the rendering, until the device is reset.
TEST_F(EngineFrameTest, LostDeviceSkipsTheWholeFrame) {
  Object& doomed = Add(*engine, "Doomed");
  engine->GetServices().DeleteObject(doomed, true);
  recording->LoseDevice();
  Frame();
  EXPECT_EQ(engine->GetChildCount(), 1);
  EXPECT_EQ(recording->Presents(), 0u);
  recording->AllowReset();
  Frame();
  EXPECT_EQ(engine->GetChildCount(), 0);
  EXPECT_EQ(recording->Presents(), 1u);
}

TEST_F(EngineFrameTest, EscapeRaisesExitToMenuOnActiveWorldsAndFreezesTheCursor) {
  World& active = AddWorld("Menu", true);
  World& paused = AddWorld("Level", false);
  SetCursor(true, 100, 100);
  platform::PushKey(SDL_SCANCODE_ESCAPE, true);
  Frame();
  EXPECT_FLOAT_EQ(active.GetTimeMul(), 1.0f);
  platform::PushKey(SDL_SCANCODE_ESCAPE, false);
  platform::PushMotion(0, 0, 50, 0);
  Frame();
  EXPECT_FLOAT_EQ(active.GetTimeMul(), 3.0f);
  EXPECT_FLOAT_EQ(paused.GetTimeMul(), 1.0f);
  EXPECT_FLOAT_EQ(engine->GetCursorPosition().x, 100.0f);
}

// The focused widget's pointer handler unloads the File holding it; the
// key input of the same frame must not reach freed memory.
TEST_F(EngineFrameTest, AFocusedWidgetUnloadedByItsOwnInputOutlivesTheFocusStep) {
  class Widget : public Object {
   public:
    void PointerMoved(const Vector3&, const Vector3&) override { GetParent()->ExecuteCommand(2251, nullptr); }
    void InputDown(const Vector3&, int) override { SetName("pressed"); }
  };
  auto& scene = static_cast<File&>(Add(*engine, "Scene", kClassFile));
  Object& widget = *scene.AddChild(std::make_unique<Widget>());
  widget.SetWorld(&engine->GetEngineWorld());
  engine->GetEngineWorld().SetFocusWindow(&widget);
  SetCursor(true, 100, 100);
  platform::PushKey(SDL_SCANCODE_RETURN, true);
  Frame();
  EXPECT_EQ(scene.GetChildCount(), 0);
  EXPECT_EQ(World::GetGlobalFocus(), nullptr);
}

TEST_F(EngineFrameTest, CursorStaysInsideItsRange) {
  struct Case {
    int dx, dy;
    float x, y;
  };
  // Mouse motion counts 0.05 per pixel and the cursor speed is 20.
  const Case cases[] = {{30, 0, 130, 100}, {5000, 0, 800, 100}, {-5000, 5000, 0, 600}, {0, -40, 100, 60}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.dx << ", " << c.dy);
    SetCursor(true, 100, 100);
    platform::PushMotion(0, 0, c.dx, c.dy);
    Frame();
    EXPECT_FLOAT_EQ(engine->GetCursorPosition().x, c.x);
    EXPECT_FLOAT_EQ(engine->GetCursorPosition().y, c.y);
  }
  SetCursor(false, 100, 100);
  platform::PushMotion(0, 0, 30, 30);
  Frame();
  EXPECT_FLOAT_EQ(engine->GetCursorPosition().x, 100.0f);
}

// Player 0's action 333 (the key pad's plus on the identity map) shows
// terrain as wireframe. It is read as the frame's poll left it, so the key
// pressed this frame still reads pressed once the terrain is drawn.
TEST_F(EngineFrameTest, ActionThreeThirtyThreeDrawsTerrainAsWireframeAndKeepsTheFramesPress) {
  EngineServices& services = *GetEngineServices();
  std::unique_ptr<Resource> created = services.GetResources().CreateResource(kTerrainResource);
  Resource* terrain = created.get();
  ResourceCast<TerrainResource>(terrain)->tiles.resize(1);
  created->SetName("Ground");
  services.GetResources().RegisterResource(std::move(created));
  const auto fillModesOfAFrame = [&] {
    services.GetRenderQueue().QueueTerrain(terrain, 0);
    recording->ClearCalls();
    Frame();
    std::vector<std::uint32_t> modes;
    for (const gfx::DeviceCall& call : recording->Calls()) {
      if (call.type == gfx::CallType::kSetRenderState && call.a == gfx::kRsFillMode) modes.push_back(call.b);
    }
    return modes;
  };
  platform::PushKey(SDL_SCANCODE_KP_PLUS, true);
  const std::vector<std::uint32_t> held = fillModesOfAFrame();
  EXPECT_NE(std::find(held.begin(), held.end(), gfx::kFillWireframe), held.end());
  ASSERT_FALSE(held.empty());
  EXPECT_EQ(held.back(), gfx::kFillSolid);
  EXPECT_EQ(services.IsInputActionPressed(0, 333), 1);
  platform::PushKey(SDL_SCANCODE_KP_PLUS, false);
  const std::vector<std::uint32_t> released = fillModesOfAFrame();
  EXPECT_EQ(std::find(released.begin(), released.end(), gfx::kFillWireframe), released.end());
  EXPECT_EQ(services.IsInputActionReleased(0, 333), 1);
}

// A back buffer large enough for the post effects, which start with the
// device.
class PostEffectFrameTest : public EngineFrameTest {
 protected:
  PostEffectFrameTest() {
    startup.width = PostEffects::kWidth;
    startup.height = PostEffects::kHeight;
  }

  std::size_t QuadDraws() const { return recording->CountCalls(gfx::CallType::kDrawPrimitiveUP); }
};

// The World's amounts reach the post effects in its post pass: the bloom
// quad joins the blur and the shown frame while its amount is above 0.
TEST_F(PostEffectFrameTest, AScriptsAmountsReachTheComposedFrame) {
  PostEffects& post = GetEngineServices()->GetPostEffects();
  ASSERT_TRUE(post.IsEnabled());
  World& world = engine->GetEngineWorld();
  world.SetActive(true);
  RunScriptText(world, "this.SetGraphicsBlureEffect(0.5); this.SetGraphicsBloomEffect(0.25);", nullptr);
  recording->ClearCalls();
  Frame();
  EXPECT_FLOAT_EQ(post.GetBlurAmount(), 0.5f);
  EXPECT_FLOAT_EQ(post.GetBloomAmount(), 0.25f);
  EXPECT_EQ(QuadDraws(), 3u);

  RunScriptText(world, "this.SetGraphicsBlureEffect(0); this.SetGraphicsBloomEffect(0);", nullptr);
  recording->ClearCalls();
  Frame();
  EXPECT_FLOAT_EQ(post.GetBlurAmount(), 0.0f);
  EXPECT_EQ(QuadDraws(), 2u);
}

}  // namespace
}  // namespace tge::test
