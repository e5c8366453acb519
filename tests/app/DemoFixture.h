// The demo loaded from the files the demo writer makes into an engine with
// a sound system and the input service, started as the game starts it.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/BaseCommandIds.h"
#include "core/CommandArgs.h"
#include "core/script/ScriptInterpreter.h"
#include "demo/DemoData.h"
#include "services/ErrorMessage.h"
#include "tests/objects/ui/UiObjectFixture.h"

namespace tge::test {

// The Light's command that reads its colour.
inline constexpr std::uint32_t kGetLightColor = 753;

class DemoTest : public UiObjectTest {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(WriteDemoFiles(folder.Path("Data"), DemoOptions{}, error)) << error;
    Start(true);
  }
  // Opens the demo and raises the engine's start, after any device the
  // test attaches has arrived.
  void OpenDemo() {
    ASSERT_EQ(Services().SerializeLibrary(folder.Folder() + "Data/Library.sli", 1), 1) << GetErrorMessage();
    engine->SetDataPath(folder.Folder() + "Data/");
    ASSERT_TRUE(engine->OpenObjectFile(*engine, "Global.sac")) << GetErrorMessage();
    ArgumentBlock block;
    block.Push<std::int32_t>(kEventOnEngineStarted).PushPointer(nullptr);
    engine->ExecuteCommand(kCommandRaiseEvent, block.Data());
  }

  template <class T = Object>
  T& Find(const std::string& path) {
    Object* object = ResolveScriptPath(*engine, path, nullptr);
    EXPECT_NE(object, nullptr) << path;
    return static_cast<T&>(*object);
  }
};

// The demo opened at once, run in frames of 1/60 s.
class OpenedDemoTest : public DemoTest {
 protected:
  void SetUp() override {
    DemoTest::SetUp();
    OpenDemo();
  }
  void Seconds(double seconds) {
    for (long frame = std::lround(seconds * 60); frame > 0; --frame) Frame();
  }
};

}  // namespace tge::test
