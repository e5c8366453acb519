#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/BaseCommandIds.h"
#include "core/CommandArgs.h"
#include "engine/Engine.h"
#include "services/EngineServices.h"
#include "tools/DemoData.h"

namespace tge::test {
namespace {

bool gQuit = false;

TEST(DemoSceneTest, ExitTimerEndsTheGame) {
  ASSERT_TRUE(CreateEngine());
  Engine& engine = *GetEngine();
  gQuit = false;
  engine.SetQuitCallback([] { gQuit = true; });
  BuildDemoScene(engine, DemoOptions{0.2f});
  ArgumentBlock block;
  block.Push<std::int32_t>(kEventOnEngineStarted).PushPointer(nullptr);
  engine.ExecuteCommand(kCommandRaiseEvent, block.Data());
  engine.SetRunning(true);
  for (int i = 0; i < 1000 && !gQuit; ++i) {
    engine.RunFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_TRUE(gQuit);
  ShutdownEngine();
}

}  // namespace
}  // namespace tge::test
