// The engine over services with a recording render device and the input
// service fed by a headless window's pump, for tests of the frame step.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/BaseCommandIds.h"
#include "core/script/ScriptInterpreter.h"
#include "platform/window/EventPump.h"
#include "platform/window/Window.h"
#include "services/EngineServices.h"
#include "services/input/InputService.h"
#include "tests/engine/EngineTestFixture.h"
#include "tests/platform/window/SdlTestEnvironment.h"
#include "tests/platform/window/SdlTestEvents.h"
#include "tests/services/render/RecordingRenderDevice.h"

namespace tge::test {

// Keys and mouse motion reach the frame step as they would in the game.
class EngineFrameTest : public EngineTest {
 protected:
  void SetUp() override {
    platform::UseHeadlessSdl();
    std::string error;
    platform::WindowSettings window;
    window.title = "Engine frame test";
    window.openGl = false;
    window_ = platform::Window::Create(window, error);
    ASSERT_NE(window_, nullptr) << error;
    pump_ = std::make_unique<platform::EventPump>(*window_);
    ASSERT_TRUE(CreateEngineServices());
    EngineServices& services = *GetEngineServices();
    services.SetSubsystem(ServiceSlot::kRenderDevice,
                          std::make_unique<RenderDevice>(RecordingRenderDevice::MakeBackend({})));
    auto input = std::make_unique<InputService>();
    pump_->AddListener(*input);
    services.SetInputService(std::move(input));
    startup.renderDeviceEnabled = 1;
    startup.inputEnabled = 1;
    ASSERT_EQ(services.Initialize(&startup), 1);
    recording = static_cast<gfx::RecordingDevice*>(&GetRenderDevice()->Device());
    EngineTest::SetUp();
    engine->SetRunning(true);
    platform::PushFocus(window_->Id(), true);
    pump_->PumpEvents();
  }
  void TearDown() override {
    EngineTest::TearDown();
    DestroyEngineServices();
    pump_.reset();
    window_.reset();
  }

  void Frame() {
    pump_->PumpEvents();
    engine->RunFrame();
  }
  World& AddWorld(const std::string& name, bool active) {
    auto& world = static_cast<World&>(*CreateObject(kClassWorld, nullptr, *engine, name.c_str()));
    world.SetActive(active);
    world.SetUseScript(true);
    world.GetScripts()->push_back(
        {"OnInputExitToMenu", "this.SetWorldTimeMul(3);", static_cast<std::int32_t>(kEventOnInputExitToMenu), 0});
    return world;
  }
  void SetCursor(bool active, float x, float y) {
    RunScriptText(*engine, "this.SetCursorActive(" + std::to_string(active ? 1 : 0) + "); this.SetCursorPosition(" +
                               std::to_string(x) + ", " + std::to_string(y) + ", 0);",
                  nullptr);
  }

  gfx::RecordingDevice* recording = nullptr;
  // What the services start with; a derived fixture may change it first.
  StartupSettings startup = RecordingRenderDevice::Windowed();

 private:
  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<platform::EventPump> pump_;
};

}  // namespace tge::test
