// An engine over a services object with a running sound system on OpenAL
// Soft's null output and, when asked for, the input service fed by a
// headless window's pump. Frame times are fed through a clock the test
// advances; sounds are WAVE files of silence registered by name.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "engine/Engine.h"
#include "platform/window/EventPump.h"
#include "platform/window/Window.h"
#include "services/EngineServices.h"
#include "services/RenderDevice.h"
#include "services/input/InputService.h"
#include "services/sound/SoundResource.h"
#include "services/sound/SoundSystem.h"
#include "tests/platform/window/SdlTestEnvironment.h"
#include "tests/platform/window/SdlTestEvents.h"
#include "tests/services/TestBytes.h"
#include "tests/services/render/RecordingRenderDevice.h"
#include "tests/services/sound/SoundTestRig.h"
#include "tests/support/ObjectRecordBytes.h"

namespace tge::test {

inline double gUiTestNow = 0;
inline double ReadUiTestNow() { return gUiTestNow; }

class UiObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(false); }

  void TearDown() override {
    ShutdownEngine();
    DestroyEngineServices();
    pump_.reset();
    window_.reset();
  }

  // withInput: a headless window feeds the input service; withDevice: a
  // recording render device, so meshes and skins load.
  void Start(bool withInput, bool withDevice = false) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    ASSERT_TRUE(CreateEngineServices());
    EngineServices& services = *GetEngineServices();
    services.SetDataFolder(folder.Folder());
    services.SetSoundSystem(std::make_unique<SoundSystem>());
    StartupSettings startup = withDevice ? RecordingRenderDevice::Windowed() : StartupSettings{};
    startup.soundEnabled = 1;
    if (withDevice) {
      services.SetSubsystem(ServiceSlot::kRenderDevice,
                            std::make_unique<RenderDevice>(RecordingRenderDevice::MakeBackend({})));
      startup.renderDeviceEnabled = 1;
    }
    if (withInput) {
      platform::UseHeadlessSdl();
      std::string error;
      platform::WindowSettings window;
      window.title = "User-interface object test";
      window.openGl = false;
      window_ = platform::Window::Create(window, error);
      ASSERT_NE(window_, nullptr) << error;
      pump_ = std::make_unique<platform::EventPump>(*window_);
      auto input = std::make_unique<InputService>();
      pump_->AddListener(*input);
      services.SetInputService(std::move(input));
      startup.inputEnabled = 1;
    }
    ASSERT_EQ(services.Initialize(&startup), 1);
    ASSERT_TRUE(CreateEngine());
    engine = GetEngine();
    gUiTestNow = 0;
    World::SetClock(&ReadUiTestNow);
    engine->GetEngineWorld().SetActive(true);
    engine->SetRunning(true);
    if (withInput) {
      platform::PushFocus(window_->Id(), true);
      pump_->PumpEvents();
    }
  }

  EngineServices& Services() { return *GetEngineServices(); }
  // An object with a placement of its own, at the origin.
  Object& AddPlaced(const std::string& name) {
    Object& object = Add<Object>(kClassObject, name);
    object.SetInheritOrientation(false);
    object.SetPosition({0, 0, 0}, false);
    return object;
  }
  static std::array<float, 3> PositionOf(const Object& object) {
    const Vector3& at = object.GetPosition();
    return {at.x, at.y, at.z};
  }

  template <class T>
  T& Add(int classId, const std::string& name = "", Object* parent = nullptr) {
    Object* object = CreateObject(classId, nullptr, parent != nullptr ? *parent : *engine, name.c_str());
    return static_cast<T&>(*object);
  }

  // A mono 16-bit sound of `seconds` of silence.
  SoundResource& AddSound(const std::string& name, double seconds = 2.0, std::uint16_t flags = 0) {
    folder.Write("Data/" + name + ".wav", PcmWave(1, 22050, 16, seconds));
    std::unique_ptr<Resource> created = Services().GetResources().CreateResource(kSoundResource);
    auto& resource = static_cast<SoundResource&>(*created);
    resource.SetName(name);
    resource.SetFileName(name + ".wav");
    resource.flags = flags;
    Services().GetResources().RegisterResource(std::move(created));
    return resource;
  }
  bool IsPlaying(Resource& sound) { return Services().IsSoundPlaying(&sound) != 0; }
  std::int32_t VolumeOf(SoundResource& sound) { return sound.GetLoadedPlayback()->GetVoice().Volume(); }

  // One frame of `seconds`: pumps the window's events when there is one,
  // then the engine's frame step (input poll, World tick with its updates).
  void Frame(double seconds = 1.0 / 60) {
    gUiTestNow += seconds;
    if (pump_) pump_->PumpEvents();
    engine->RunFrame();
  }

  TempDataFolder folder;
  Engine* engine = nullptr;
  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<platform::EventPump> pump_;
};

}  // namespace tge::test
