// The scene fixture with a fake clock, for the types that move things from
// frame to frame: each Frame advances the clock, ticks the engine's World
// (updates and scheduled calls) and draws the given object, as the frame
// step does. Logged<T> is a type that keeps the events it raises.
#pragma once
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "core/CommandRegistry.h"
#include "core/World.h"
#include "services/resources/AnimationResource.h"
#include "tests/objects/scene/SceneFixture.h"

namespace tge::test {

template <class T>
class Logged : public T {
 public:
  int FireEvent(int eventId, Object* sender) override {
    events.push_back(eventId);
    senders.push_back(sender);
    return T::FireEvent(eventId, sender);
  }
  int Count(int eventId) const {
    int count = 0;
    for (int id : events) count += id == eventId ? 1 : 0;
    return count;
  }

  std::vector<int> events;
  std::vector<Object*> senders;
};

class MotionFixture : public SceneFixture {
 protected:
  static constexpr double kFrame = 0.1;

  void SetUp() override {
    SceneFixture::SetUp();
    Now() = 0;
    World::SetClock(&ReadNow);
    engine->GetEngineWorld().WorldTick();
  }

  static double& Now() {
    static double now = 0;
    return now;
  }
  static double ReadNow() { return Now(); }

  // One frame of dt seconds, drawing drawn.
  void Frame(Object& drawn, double dt = kFrame) {
    Now() += dt;
    engine->GetEngineWorld().WorldTick();
    drawn.Draw();
  }
  void Frames(Object& drawn, int count, double dt = kFrame) {
    for (int i = 0; i < count; ++i) Frame(drawn, dt);
  }

  // An 800 x 600 recording device for the services, the view looking along
  // +z from the origin, a quarter turn wide, near 1 and far 100.
  void OpenDevice() {
    EngineServices& services = *GetEngineServices();
    services.SetSubsystem(ServiceSlot::kRenderDevice,
                          std::make_unique<RenderDevice>(RecordingRenderDevice::MakeBackend({})));
    StartupSettings startup = RecordingRenderDevice::Windowed();
    startup.width = 800;
    startup.height = 600;
    startup.renderDeviceEnabled = 1;
    ASSERT_EQ(services.Initialize(&startup), 1);
    View().SetProjection(std::numbers::pi_v<float> / 2, 4.0f / 3, 1, 100);
    View().SetCameraLookAt({0, 0, 0}, {0, 0, 1});
  }

  // A T of the engine's World under parent, with its own transform.
  template <class T>
  T& AddOwn(Object& parent, const std::string& name = "") {
    auto object = std::make_unique<T>();
    object->SetName(name);
    object->SetWorld(parent.GetWorld());
    object->SetInheritOrientation(false);
    return static_cast<T&>(*parent.AddChild(std::move(object)));
  }

  // An animation resource of the tracks, length seconds long, on a file of
  // the data folder.
  void AddAnimationResource(const std::string& name, const std::vector<AnimationTrack>& tracks, float length) {
    folder.Write("Data/" + name + ".kfa", EncodeAnimationFile(tracks));
    auto animation = std::make_unique<AnimationResource>();
    animation->SetName(name);
    animation->SetFileName(name + ".kfa");
    animation->length = length;
    Resources().RegisterResource(std::move(animation));
  }

  // The script record run when object raises the event.
  static void AddEventScript(Object& object, const std::string& event, const std::string& text) {
    object.SetUseScript(true);
    object.GetScripts()->push_back({event, text, FindCommandId(&object, event), 0});
  }

  // The record saved from a loaded copy loads and saves to the same bytes
  // (the first save also holds the original's live matrix bits).
  void ExpectStableRecord(Object& object) {
    std::vector<std::uint8_t> first = Save(object);
    std::unique_ptr<Object> loaded = Load<Object>(object.GetClassId(), first, SerializeStream::kLatestVersion);
    ASSERT_NE(loaded, nullptr);
    std::vector<std::uint8_t> second = Save(*loaded);
    const std::vector<std::uint8_t> kept = second;
    std::unique_ptr<Object> again = Load<Object>(object.GetClassId(), second, SerializeStream::kLatestVersion);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Save(*again), kept);
  }

  // Every draw list of the frame is empty.
  bool NothingQueued() {
    for (std::size_t list = 0; list < kRenderListCount; ++list) {
      if (Queue().GetList(list) != nullptr) return false;
    }
    return true;
  }
};

}  // namespace tge::test
