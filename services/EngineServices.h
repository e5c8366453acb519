// The one object that owns the platform side of the engine: the resource
// database, the text database, the save storage, and the platform
// subsystems (sound, render device, input) it starts in a fixed order. It is
// created before the engine object and destroyed after it; the rest of the
// engine reaches it through GetEngineServices().
//
// Each subject keeps its operations on its own object, reached from here:
// GetResources() for the database, GetSaveStorage(), FindTextEntry/GetText
// for the text database, GetRenderQueue() for draw requests, GetView() for
// the camera, fog and visibility tests. The input queries and the sound operations stand
// here as well, since every object type asks them of the services object;
// they answer neutrally, or do nothing, while no input service or sound
// system runs.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "services/ResourceDatabase.h"
#include "services/SaveStorage.h"
#include "services/ServiceSubsystem.h"
#include "services/StartupSettings.h"
#include "services/TextDatabase.h"
#include "services/render/FrameRender.h"
#include "services/render/PostEffects.h"
#include "services/render/RenderQueue.h"
#include "services/render/ViewState.h"
#include "services/sound/SoundGroup.h"
#include "services/video/OverlayMovie.h"

union SDL_Event;

namespace tge {

namespace platform {
class EventPump;
}

class InputService;
class SoundSystem;
struct Vector3;

class EngineServices {
 public:
  EngineServices();
  ~EngineServices();
  EngineServices(const EngineServices&) = delete;
  EngineServices& operator=(const EngineServices&) = delete;

  // Hands a subsystem over before Initialize starts it.
  void SetSubsystem(ServiceSlot slot, std::unique_ptr<ServiceSubsystem> subsystem);
  ServiceSubsystem* GetSubsystem(ServiceSlot slot) const;
  bool IsSubsystemRunning(ServiceSlot slot) const;
  // Hands the input service over as the input subsystem; the input
  // operations below reach it.
  void SetInputService(std::unique_ptr<InputService> input);
  // The same for the sound system as the sound subsystem.
  void SetSoundSystem(std::unique_ptr<SoundSystem> sound);

  // Copies the settings, then starts sound, the render device and input
  // where enabled, then readies the save storage. 0 at the first failure,
  // with the failing step's text in the last-error buffer; what had started
  // is stopped again. An enabled subsystem that was never handed over is
  // not started and its enable field is cleared in the copy.
  int Initialize(const StartupSettings* settings);
  // Unloads every resource before deleting any, then stops sound, the
  // render device and input, and drops the text database. Safe to repeat.
  int Shutdown();

  const StartupSettings& GetSettings() const { return settings_; }
  int GetScreenWidth() const { return settings_.width; }
  int GetScreenHeight() const { return settings_.height; }
  // The size the render device opened with.
  void SetScreenSize(int width, int height) {
    settings_.width = width;
    settings_.height = height;
  }

  // The engine's screen size over its reference size; screen-space objects
  // are sized by it. 1 until the engine sets it.
  void SetScreenScale(float x, float y) {
    screenScaleX_ = x;
    screenScaleY_ = y;
  }
  float GetScreenScaleX() const { return screenScaleX_; }
  float GetScreenScaleY() const { return screenScaleY_; }

  // The root folder in front of "Data\" in every data path.
  const std::string& GetDataFolder() const { return resources_.GetDataFolder(); }
  void SetDataFolder(const std::string& folder) { resources_.SetDataFolder(folder); }

  ResourceDatabase& GetResources() { return resources_; }
  SaveStorage& GetSaveStorage() { return saveStorage_; }
  int InitSaveStorage() { return saveStorage_.InitSaveStorage(); }

  // Reading registers the library's resources and then loads the text
  // database that belongs to it; writing stores the registered resources.
  int SerializeLibrary(const std::string& path, int reading);
  float GetLibraryValue() const { return libraryValue_; }
  // The engine's SetGraphicsDetailLevel: the optional scene detail (rain,
  // ground detail) shows only above 0.1.
  float GetGraphicsDetailLevel() const { return graphicsDetailLevel_; }
  void SetGraphicsDetailLevel(float level) { graphicsDetailLevel_ = level; }
  void SetLibraryValue(float value) { libraryValue_ = value; }

  // Draw requests of the frame, the view they are seen from, and the post
  // effects the frame is composed with.
  RenderQueue& GetRenderQueue() { return renderQueue_; }
  ViewState& GetView() { return view_; }
  PostEffects& GetPostEffects() { return postEffects_; }
  // The amounts the post effects start the next frame's composition with
  // (0 to 1); player 0's post-effect actions adjust them from there.
  void SetBlurAmount(float amount) { postEffects_.SetBlurAmount(amount); }
  void SetBloomAmount(float amount) { postEffects_.SetBloomAmount(amount); }
  // The frame: 0 from BeginFrame while the device is lost or none runs;
  // RenderFrame reads the post-effect actions of player 0; EndFrame empties
  // the queue and presents.
  int BeginFrame();
  int RenderFrame();
  int EndFrame();

  // The videos playing into textures; BeginFrame uploads their pictures.
  VideoTextures& GetVideoTextures() { return resources_.GetVideoTextures(); }
  // Plays the data folder + "Data/" + name + ".mpg" over the whole window
  // and returns when it ends (OverlayMovie.h).
  int PlayOverlayMovie(const std::string& name, const MovieSkipTest& skip);
  // The window's message pump, which a blocking movie keeps running; null
  // while there is none.
  void SetEventPump(platform::EventPump* pump) { pump_ = pump; }
  platform::EventPump* GetEventPump() const { return pump_; }

  // Null when there is no text database or no such entry.
  const TextDatabase* GetTextDatabase() const { return textDatabase_.get(); }
  const TextNode* FindTextEntry(const std::string& path) const;
  // The entry's text, or the path itself when there is none.
  std::string GetText(const std::string& path) const;

  // The input service's operations (InputService.h).
  void HandleInputMessage(const SDL_Event& event);
  int PollInput(float timeStep);
  float GetInputActionValue(int player, int action) const;
  int IsInputActionPressed(int player, int action) const;
  int IsInputActionReleased(int player, int action) const;
  int IsInputPressed(int player, int input) const;
  std::uint32_t GetInputDeviceFlags(int player) const;
  const char* GetInputName(int input) const;
  int GetTypedCharacter();
  // No pad vibrates here.
  int Vibrate(int, int, int) { return 0; }

  // Sound operations (SoundSystem.h, SoundPlayback.h). Each takes a sound
  // resource, loads it first, and does nothing for null, for a resource of
  // another type or while no sound system runs.
  // Plays from the start (a stream: on from where it stands, and only while
  // fewer streams play than the limit), then sets the volume.
  void StartSound(Resource* sound, int loop);
  void StopSound(Resource* sound);
  void PauseSound(Resource* sound);
  void ResumeSound(Resource* sound);
  int IsSoundPlaying(Resource* sound);
  // The sound's group volume x its own volume x scale, as an attenuation.
  void UpdateSoundVolume(Resource* sound, float scale);
  void SetSoundPan(Resource* sound, float pan);
  // A ratio to the sound's own frequency.
  void SetSoundFrequency(Resource* sound, float ratio);
  // 3D settings of 3D sounds, applied at the next listener update.
  void SetSoundPosition(Resource* sound, const Vector3* position);
  void SetSoundDistances(Resource* sound, float minimum, float maximum);
  void SetSoundConeOrientation(Resource* sound, const Vector3* direction);
  void SetSoundConeOutsideVolume(Resource* sound, float volume);
  // The frame step's sound update: the listener follows the camera (null
  // vectors: no camera) and the deferred 3D settings are committed.
  void UpdateSoundListener(const Vector3* eye, const Vector3* forward, const Vector3* up);
  // Ignored for a group outside 0 to 15; playing sounds take the new volume
  // at their next volume update.
  void SetSoundGroupVolume(int group, float volume) { soundGroups_.SetVolume(group, volume); }
  const SoundGroupTable& GetSoundGroups() const { return soundGroups_; }

 private:
  void StopSubsystem(int slot);

  std::array<std::unique_ptr<ServiceSubsystem>, kServiceSlotCount> subsystems_;
  std::array<bool, kServiceSlotCount> running_{};
  // The input subsystem as its own type; null unless SetInputService gave it.
  InputService* input_ = nullptr;
  // The sound subsystem as its own type; null unless SetSoundSystem gave it.
  SoundSystem* sound_ = nullptr;
  SoundGroupTable soundGroups_;
  ResourceDatabase resources_;
  StartupSettings settings_;
  float screenScaleX_ = 1.0f, screenScaleY_ = 1.0f;
  // Held from the library header and written back; first member of the
  // renderer's view state once that lands.
  float libraryValue_ = 1.0f;
  float graphicsDetailLevel_ = 1.0f;
  SaveStorage saveStorage_;
  std::unique_ptr<TextDatabase> textDatabase_;
  ViewState view_;
  RenderQueue renderQueue_{view_};
  PostEffects postEffects_;
  FrameRender frameRender_{renderQueue_, view_, postEffects_};
  platform::EventPump* pump_ = nullptr;
};

// Creates the one services object; true, and nothing done, when it exists.
bool CreateEngineServices();
// Null before creation and after destruction.
EngineServices* GetEngineServices();
// The named resource from the running services' database; null without one.
ResourceRef AcquireServiceResource(const std::string& name, int type);
// Shuts the services object down and deletes it.
void DestroyEngineServices();

}  // namespace tge
