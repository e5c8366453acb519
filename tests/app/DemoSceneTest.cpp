#include <gtest/gtest.h>

#include "core/BaseCommandIds.h"
#include "core/CommandArgs.h"
#include "core/World.h"
#include "core/script/Timer.h"
#include "core/script/Timer.h"
#include "demo/DemoData.h"
#include "demo/DemoData.h"
#include "demo/places/DemoMenu.h"
#include "demo/places/DemoMenu.h"
#include "engine/Engine.h"
#include "objects/ui/widgets/Window.h"
#include "objects/ui/widgets/Window.h"
#include "services/EngineServices.h"
#include "tests/support/ManualWorldClock.h"
#include "tools/SceneWriter.h"

namespace tge::test {
namespace {

bool gQuit = false;

TEST(DemoSceneTest, ExitTimerEndsTheGame) {
  ASSERT_TRUE(CreateEngine());
  Engine& engine = *GetEngine();
  ManualWorldClock::Install();
  gQuit = false;
  engine.SetQuitCallback([] { gQuit = true; });
  BuildDemoScene(engine, DemoOptions{0.2f});
  ArgumentBlock block;
  block.Push<std::int32_t>(kEventOnEngineStarted).PushPointer(nullptr);
  engine.ExecuteCommand(kCommandRaiseEvent, block.Data());
  engine.SetRunning(true);
  // Frames of 20 ms; the timer's 0.2 s pass in ten.
  for (int i = 0; i < 1000 && !gQuit; ++i) {
    ManualWorldClock::Now() += 0.02;
    engine.RunFrame();
  }
  EXPECT_TRUE(gQuit);
  EXPECT_GE(ManualWorldClock::Now(), 0.2);
  ShutdownEngine();
}

void Raise(Object& root, int eventId) {
  ArgumentBlock block;
  block.Push<std::int32_t>(eventId).PushPointer(nullptr);
  root.ExecuteCommand(kCommandRaiseEvent, block.Data());
}

// The title's scripts: focus at the start, Start hides it and starts the
// turning, Escape brings it back, the pad's Cross presses the focused
// Start and Circle answers for Quit.
TEST(DemoSceneTest, TitleMenuStartsTheTurningAndComesBackOnEscape) {
  ASSERT_TRUE(CreateEngine());
  Engine& engine = *GetEngine();
  gQuit = false;
  engine.SetQuitCallback([] { gQuit = true; });
  SceneDescription scene;
  scene.buildObjects = [](Object& root) { BuildDemoScene(root, DemoOptions{}); };
  AddTitleMenu(scene, "DemoWorld");
  scene.buildObjects(engine);
  Object& world = *engine.FindChildByName("DemoWorld");
  world.Precalculate();
  Raise(engine, kEventOnEngineStarted);
  auto& title = static_cast<Window&>(*world.FindChildByName("Title"));
  auto& turn = static_cast<Timer&>(*world.FindChildByName("Turn"));
  EXPECT_EQ(World::GetGlobalFocus(), &title);
  EXPECT_EQ(title.GetFocusedWidget(), title.FindChildByName("Start"));
  EXPECT_FALSE(turn.IsRunning());
  title.InputUp({}, kWidgetOk);
  EXPECT_FALSE(title.HasFlag(kFlagActionStarted));
  EXPECT_EQ(World::GetGlobalFocus(), nullptr);
  EXPECT_TRUE(turn.IsRunning());
  Raise(world, kEventOnInputExitToMenu);
  EXPECT_TRUE(title.HasFlag(kFlagActionStarted));
  EXPECT_EQ(World::GetGlobalFocus(), &title);
  title.InputUp({}, 16);
  EXPECT_FALSE(title.HasFlag(kFlagActionStarted));
  Raise(world, kEventOnInputExitToMenu);
  title.InputUp({}, 15);
  EXPECT_TRUE(gQuit);
  ShutdownEngine();
}

}  // namespace
}  // namespace tge::test
