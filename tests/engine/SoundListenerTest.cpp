// The frame step's sound update places the listener at the active camera of
// viewport slot 0, whatever view the renderer was last handed, and commits
// without moving it while that slot is empty. The listener is read back
// from OpenAL Soft's null output, in its space (z runs the other way).
#include <AL/al.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <numbers>

#include "core/script/ScriptInterpreter.h"
#include "objects/scene/Camera.h"
#include "services/EngineServices.h"
#include "services/sound/SoundSystem.h"
#include "tests/engine/EngineTestFixture.h"
#include "tests/services/render/RecordingRenderDevice.h"
#include "tests/support/ManualWorldClock.h"

namespace tge::test {
namespace {

std::vector<float> Listener(ALenum what) {
  std::vector<float> v(what == AL_ORIENTATION ? 6 : 3);
  alGetListenerfv(what, v.data());
  return v;
}

::testing::AssertionResult Near(const std::vector<float>& actual, const std::vector<float>& expected) {
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::abs(actual.at(i) - expected[i]) > 1e-5f) {
      return ::testing::AssertionFailure() << "component " << i << " is " << actual[i] << ", not " << expected[i];
    }
  }
  return ::testing::AssertionSuccess();
}

class SoundListenerTest : public EngineTest {
 protected:
  void SetUp() override {
    setenv("ALSOFT_DRIVERS", "null", 1);
    ASSERT_TRUE(CreateEngineServices());
    EngineServices& services = *GetEngineServices();
    services.SetSubsystem(ServiceSlot::kRenderDevice,
                          std::make_unique<RenderDevice>(RecordingRenderDevice::MakeBackend({})));
    services.SetSoundSystem(std::make_unique<SoundSystem>());
    StartupSettings startup = RecordingRenderDevice::Windowed();
    startup.renderDeviceEnabled = 1;
    startup.soundEnabled = 1;
    ASSERT_EQ(services.Initialize(&startup), 1);
    EngineTest::SetUp();
    ManualWorldClock::Install();
    engine->GetEngineWorld().SetActive(true);
    engine->SetRunning(true);
  }

  void TearDown() override {
    EngineTest::TearDown();
    DestroyEngineServices();
  }

  Camera& AddCamera(const std::string& name, const std::string& setUp) {
    auto& camera = static_cast<Camera&>(Add(*engine, name, kClassCamera));
    RunScriptText(camera, setUp, nullptr);
    camera.Activate();
    return camera;
  }

  // Frames a tenth of a second apart: each runs the sound update.
  void Frames(int count) {
    for (int i = 0; i < count; ++i) {
      ManualWorldClock::Now() += 0.1;
      engine->RunFrame();
    }
  }
};

TEST_F(SoundListenerTest, ListenerTakesPositionOrientationAndVelocityFromTheSlotZeroCamera) {
  Camera& camera = AddCamera("Eye", "this.SetPosition(1, 2, 3); this.SetRotationY(" +
                                        std::to_string(std::numbers::pi_v<float> / 2) + ");");
  Frames(2);
  EXPECT_TRUE(Near(Listener(AL_POSITION), {1, 2, -3}));
  EXPECT_TRUE(Near(Listener(AL_ORIENTATION), {1, 0, 0, 0, 1, 0}));
  camera.SetPosition({3, 2, 4}, false);
  Frames(1);
  EXPECT_TRUE(Near(Listener(AL_POSITION), {3, 2, -4}));
  EXPECT_TRUE(Near(Listener(AL_VELOCITY), {2, 0, -1}));
}

// A look-at camera faces its target upright, as its view does.
TEST_F(SoundListenerTest, LookAtCameraListensTowardsItsTarget) {
  Add(*engine, "Hero", kClassObject).SetPosition({0, 3, 4}, false);
  AddCamera("Eye", "this.SetPosition(0, 0, 0); this.SetCameraType(1); this.SetCameraTarget(/Hero);");
  Frames(2);
  EXPECT_TRUE(Near(Listener(AL_POSITION), {0, 0, 0}));
  EXPECT_TRUE(Near(Listener(AL_ORIENTATION), {0, 0.6f, -0.8f, 0, 0.8f, 0.6f}));
}

// The view comes from the camera of slot 1; the listener stays where it was.
TEST_F(SoundListenerTest, ListenerStaysWithoutACameraInSlotZero) {
  AddCamera("Second", "this.SetPosition(5, 6, 7); this.SetCameraViewport(1);");
  GetEngineServices()->GetView().SetCameraLookAt({5, 6, 7}, {5, 6, 8});
  Frames(2);
  EXPECT_TRUE(Near(Listener(AL_POSITION), {0, 0, 0}));
  EXPECT_TRUE(Near(Listener(AL_ORIENTATION), {0, 0, -1, 0, 1, 0}));
}

}  // namespace
}  // namespace tge::test
