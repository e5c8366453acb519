#include "services/EngineServices.h"

#include "core/files/StdioFileSystem.h"
#include "services/ErrorMessage.h"
#include "services/RenderDevice.h"
#include "services/input/InputService.h"
#include "services/resources/ResourceLibrary.h"
#include "services/sound/SoundLevels.h"
#include "services/sound/SoundResource.h"
#include "services/sound/SoundSystem.h"

namespace tge {
namespace {

std::unique_ptr<EngineServices> gServices;

SoundPlayback* PlaybackOf(Resource* sound) {
  SoundResource* resource = ResourceCast<SoundResource>(sound);
  return resource ? resource->GetLoadedPlayback() : nullptr;
}

template <class Change>
void ChangeVoice(Resource* sound, Change change) {
  if (SoundPlayback* playback = PlaybackOf(sound)) change(playback->GetVoice());
}

// Player 0's actions that step the post-effect amounts.
constexpr int kBloomLessAction = 329, kBloomMoreAction = 333, kBlurLessAction = 334, kBlurMoreAction = 335;
// Held down, it also shows terrain as wireframe.
constexpr int kTerrainWireframeAction = kBloomMoreAction;

std::int32_t& EnableField(StartupSettings& settings, int slot) {
  static constexpr std::array<std::int32_t StartupSettings::*, kServiceSlotCount> kFields = {
      &StartupSettings::soundEnabled, &StartupSettings::renderDeviceEnabled, &StartupSettings::inputEnabled};
  return settings.*kFields[static_cast<std::size_t>(slot)];
}

}  // namespace

EngineServices::EngineServices() = default;

EngineServices::~EngineServices() { Shutdown(); }

void EngineServices::SetSubsystem(ServiceSlot slot, std::unique_ptr<ServiceSubsystem> subsystem) {
  const auto index = static_cast<std::size_t>(slot);
  StopSubsystem(static_cast<int>(slot));
  if (slot == ServiceSlot::kInput) input_ = nullptr;
  if (slot == ServiceSlot::kSound) sound_ = nullptr;
  subsystems_[index] = std::move(subsystem);
}

void EngineServices::SetInputService(std::unique_ptr<InputService> input) {
  InputService* service = input.get();
  SetSubsystem(ServiceSlot::kInput, std::move(input));
  input_ = service;
}

void EngineServices::SetSoundSystem(std::unique_ptr<SoundSystem> sound) {
  SoundSystem* system = sound.get();
  SetSubsystem(ServiceSlot::kSound, std::move(sound));
  sound_ = system;
}

ServiceSubsystem* EngineServices::GetSubsystem(ServiceSlot slot) const {
  return subsystems_[static_cast<std::size_t>(slot)].get();
}

bool EngineServices::IsSubsystemRunning(ServiceSlot slot) const { return running_[static_cast<std::size_t>(slot)]; }

int EngineServices::Initialize(const StartupSettings* settings) {
  if (!settings) return FormatErrorMessage("Error - No Startup Settings");
  settings_ = *settings;
  for (int slot = 0; slot < kServiceSlotCount; ++slot) {
    std::int32_t& enabled = EnableField(settings_, slot);
    ServiceSubsystem* subsystem = subsystems_[static_cast<std::size_t>(slot)].get();
    if (!enabled || running_[static_cast<std::size_t>(slot)]) continue;
    if (!subsystem) {
      enabled = 0;
      continue;
    }
    ClearErrorMessage();
    if (!subsystem->Start(*this)) {
      if (GetErrorMessage()[0] == '\0') FormatErrorMessage("Error - Starting %s", subsystem->GetName());
      if (slot == static_cast<int>(ServiceSlot::kSound)) enabled = 0;
      for (int started = slot - 1; started >= 0; --started) StopSubsystem(started);
      return 0;
    }
    running_[static_cast<std::size_t>(slot)] = true;
  }
  if (RenderDevice* device = GetRenderDevice()) postEffects_.Start(*device);
  return InitSaveStorage();
}

void EngineServices::StopSubsystem(int slot) {
  const auto index = static_cast<std::size_t>(slot);
  if (!running_[index]) return;
  subsystems_[index]->Stop();
  running_[index] = false;
}

int EngineServices::Shutdown() {
  // Queued commands and the current material point at resources about to go.
  renderQueue_.Reset();
  if (RenderDevice* device = GetRenderDevice()) device->Material().Forget();
  postEffects_.Stop();
  resources_.DeleteAll();
  for (int slot = 0; slot < kServiceSlotCount; ++slot) StopSubsystem(slot);
  textDatabase_.reset();
  return 1;
}

int EngineServices::SerializeLibrary(const std::string& path, int reading) {
  if (!reading) return WriteResourceLibrary(path, resources_, libraryValue_);
  if (!ReadResourceLibrary(path, resources_, libraryValue_)) return 0;
  textDatabase_ = std::make_unique<TextDatabase>();
  textDatabase_->Read(GetTextDatabasePath(GetDataFolder(), path));
  return 1;
}

int EngineServices::BeginFrame() {
  RenderDevice* device = GetRenderDevice();
  if (!device) return 0;
  resources_.GetVideoTextures().UploadFrames();
  return frameRender_.BeginFrame(*device);
}

int EngineServices::RenderFrame() {
  RenderDevice* device = GetRenderDevice();
  if (!device) return 1;
  PostEffectActions actions;
  actions.blurLess = IsInputActionPressed(0, kBlurLessAction) != 0;
  actions.blurMore = IsInputActionPressed(0, kBlurMoreAction) != 0;
  actions.bloomMore = IsInputActionPressed(0, kBloomMoreAction) != 0;
  actions.bloomLess = IsInputActionPressed(0, kBloomLessAction) != 0;
  // Read without polling: a poll per terrain tile would eat the frame's presses.
  const bool terrainWireframe = GetInputActionValue(0, kTerrainWireframeAction) != 0;
  return frameRender_.RenderFrame(*device, actions, terrainWireframe);
}

int EngineServices::EndFrame() { return frameRender_.EndFrame(GetRenderDevice()); }

int EngineServices::PlayOverlayMovie(const std::string& name, const MovieSkipTest& skip) {
  return tge::PlayOverlayMovie(*this, ResolveDiskPath(GetDataFolder() + "Data/" + name + ".mpg", false), skip);
}

const TextNode* EngineServices::FindTextEntry(const std::string& path) const {
  return textDatabase_ ? textDatabase_->FindNode(path) : nullptr;
}

std::string EngineServices::GetText(const std::string& path) const {
  const TextNode* entry = FindTextEntry(path);
  return entry ? entry->GetText() : path;
}

void EngineServices::HandleInputMessage(const SDL_Event& event) {
  if (input_) input_->OnEvent(event);
}

int EngineServices::PollInput(float timeStep) { return input_ ? input_->PollInput(timeStep) : 0; }

float EngineServices::GetInputActionValue(int player, int action) const {
  return input_ ? input_->GetInputActionValue(player, action) : 0.0f;
}

int EngineServices::IsInputActionPressed(int player, int action) const {
  return input_ ? input_->IsInputActionPressed(player, action) : 0;
}

int EngineServices::IsInputActionReleased(int player, int action) const {
  return input_ ? input_->IsInputActionReleased(player, action) : 0;
}

int EngineServices::IsInputPressed(int player, int input) const {
  return input_ ? input_->IsInputPressed(player, input) : 0;
}

std::uint32_t EngineServices::GetInputDeviceFlags(int player) const {
  return input_ ? input_->GetInputDeviceFlags(player) : 0;
}

const char* EngineServices::GetInputName(int input) const { return input_ ? input_->GetInputName(input) : nullptr; }

int EngineServices::GetTypedCharacter() { return input_ ? input_->GetTypedCharacter() : 0; }

void EngineServices::StartSound(Resource* sound, int loop) {
  SoundPlayback* playback = PlaybackOf(sound);
  if (!playback) return;
  playback->Start(loop != 0);
  UpdateSoundVolume(sound, 1.0f);
}

void EngineServices::StopSound(Resource* sound) {
  if (SoundPlayback* playback = PlaybackOf(sound)) playback->Stop();
}

void EngineServices::PauseSound(Resource* sound) {
  if (SoundPlayback* playback = PlaybackOf(sound)) playback->Pause();
}

void EngineServices::ResumeSound(Resource* sound) {
  if (SoundPlayback* playback = PlaybackOf(sound)) playback->Resume();
}

int EngineServices::IsSoundPlaying(Resource* sound) {
  SoundPlayback* playback = PlaybackOf(sound);
  return playback && playback->IsPlaying() ? 1 : 0;
}

void EngineServices::UpdateSoundVolume(Resource* sound, float scale) {
  SoundResource* resource = ResourceCast<SoundResource>(sound);
  if (!resource) return;
  const float volume = soundGroups_.GetVolume(resource->group) * resource->volume * scale;
  ChangeVoice(sound, [volume](audio::Voice& voice) { voice.SetVolume(AttenuationFromVolume(volume)); });
}

void EngineServices::SetSoundPan(Resource* sound, float pan) {
  ChangeVoice(sound, [pan](audio::Voice& voice) { voice.SetPan(PanFromBalance(pan)); });
}

void EngineServices::SetSoundFrequency(Resource* sound, float ratio) {
  ChangeVoice(sound, [ratio](audio::Voice& voice) {
    voice.SetFrequency(FrequencyFromRatio(ratio, voice.BaseFrequency()));
  });
}

void EngineServices::SetSoundPosition(Resource* sound, const Vector3* position) {
  if (!position) return;
  ChangeVoice(sound, [position](audio::Voice& voice) { voice.SetPosition(ToAudioVector(*position)); });
}

void EngineServices::SetSoundDistances(Resource* sound, float minimum, float maximum) {
  ChangeVoice(sound, [=](audio::Voice& voice) { voice.SetDistances(minimum, maximum); });
}

void EngineServices::SetSoundConeOrientation(Resource* sound, const Vector3* direction) {
  if (!direction) return;
  ChangeVoice(sound, [direction](audio::Voice& voice) { voice.SetConeOrientation(ToAudioVector(*direction)); });
}

void EngineServices::SetSoundConeOutsideVolume(Resource* sound, float volume) {
  ChangeVoice(sound, [volume](audio::Voice& voice) { voice.SetConeOutsideVolume(ConeAttenuationFromVolume(volume)); });
}

void EngineServices::UpdateSoundListener(const Vector3* eye, const Vector3* forward, const Vector3* up) {
  if (sound_ && IsSubsystemRunning(ServiceSlot::kSound)) sound_->UpdateListener(eye, forward, up);
}

bool CreateEngineServices() {
  if (!gServices) gServices = std::make_unique<EngineServices>();
  return true;
}

EngineServices* GetEngineServices() { return gServices.get(); }

ResourceRef AcquireServiceResource(const std::string& name, int type) {
  EngineServices* services = GetEngineServices();
  return services != nullptr ? services->GetResources().AcquireResource(name, type) : ResourceRef();
}

void DestroyEngineServices() {
  if (gServices) gServices->Shutdown();
  gServices.reset();
}

}  // namespace tge
