#include "demo/places/DemoSound.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "core/ClassIds.h"
#include "core/Object.h"
#include "core/ObjectFactory.h"
#include "demo/assets/DemoAssets.h"
#include "services/sound/SoundResource.h"
#include "tools/SceneWriter.h"

namespace tge {
namespace {

constexpr std::uint32_t kSampleRate = 22050;
constexpr const char* kAmbience = "Ambience";
constexpr const char* kKnock = "Knock";
constexpr float kAmbienceSeconds = 4.0f;
constexpr float kKnockSeconds = 0.25f;
constexpr float kMusicFadeSeconds = 3.0f;

// Input ids: 255 + the key's set-1 code. A key is bound on both action maps
// as its own id, so a held key reads 2.
constexpr int kKeyL = 255 + 0x26;
constexpr int kKeyU = 255 + 0x16;
constexpr float kLiftPerKeyValue = 0.75f;

// A soft chord whose every partial completes whole cycles, so the loop
// joins without a click, under a slow swell.
std::vector<float> MakeAmbience() {
  const auto count = static_cast<std::size_t>(kAmbienceSeconds * kSampleRate);
  const float partials[] = {110.0f, 165.0f, 220.0f, 277.5f};
  std::vector<float> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    const float t = float(i) / float(kSampleRate);
    float sum = 0;
    for (float hertz : partials) sum += std::sin(2 * std::numbers::pi_v<float> * hertz * t);
    const float swell = 0.75f + 0.25f * std::sin(2 * std::numbers::pi_v<float> * t / kAmbienceSeconds);
    samples[i] = 0.08f * swell * sum;
  }
  return samples;
}

// A low thud that dies away fast.
std::vector<float> MakeKnock() {
  const auto count = static_cast<std::size_t>(kKnockSeconds * kSampleRate);
  std::vector<float> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    const float t = float(i) / float(kSampleRate);
    samples[i] = 0.8f * std::exp(-t * 30.0f) * std::sin(2 * std::numbers::pi_v<float> * 90.0f * t * (1.0f - t));
  }
  return samples;
}

bool AddWave(ResourceDatabase& resources, const std::filesystem::path& dataFolder, const char* name,
             const std::vector<float>& samples, std::uint16_t flags) {
  const std::string file = std::string(name) + ".wav";
  if (!WriteDataFile(dataFolder / file, EncodePcmWave(samples, kSampleRate))) return false;
  RegisterResource<SoundResource>(resources, name, file).flags = flags;
  return true;
}

// The writer runs no input service, so it names the events itself.
void AddKeyEvent(Object& input, int key, bool onRelease, const std::string& name, const std::string& script) {
  std::string statements = "this.AddInputEvent(Key); this.SetInputEventID(";
  statements.append(std::to_string(key)).append("); this.SetInputEventOnRelease(").append(onRelease ? "1" : "0");
  statements.append("); this.SetInputEventName(").append(name).append(");");
  RunScript(input, statements);
  AddScript(input, name, script);
}

}  // namespace

bool AddDemoSounds(ResourceDatabase& resources, const std::filesystem::path& dataFolder) {
  return AddWave(resources, dataFolder, kAmbience, MakeAmbience(), 0) &&
         AddWave(resources, dataFolder, kKnock, MakeKnock(), SoundResource::k3D);
}

void BuildDemoSoundAndInput(Object& stage) {
  Object& mixer = *CreateObject(kClassSoundMixer, nullptr, stage, "Music");
  AddScript(mixer, "OnEngineStarted",
            std::string("this.SoundMixerPlayLooping(") + kAmbience + ", 1, " + std::to_string(kMusicFadeSeconds) + ");");

  Object& crate = *stage.FindChildByName("Crate");
  RunScript(*CreateObject(kClassSound, nullptr, crate, "Knocker"), std::string("this.AddSound(") + kKnock + ");");
  for (ObjectScript& key : *crate.FindChildByName("Turn")->GetScripts()) {
    if ((key.flags & kScriptEntryRecord) != 0) key.text += std::string(" parent/Knocker.SoundPlay(") + kKnock + ");";
  }

  Object& input = *CreateObject(kClassInput, nullptr, stage, "Keys");
  AddKeyEvent(input, kKeyL, false, "OnInputL", "parent/LampSway/Lamp.SetLightColor(0.2, 0.45, 1, 1);");
  AddKeyEvent(input, kKeyL, true, "OnInputLRelease", "parent/LampSway/Lamp.SetLightColor(1, 0.45, 0.15, 1);");
  RunScript(input, "this.AddInputAxis(Axis); this.SetInputAxisID(" + std::to_string(kKeyU) +
                       "); this.SetInputAxisTreePath(parent/Left1); this.SetInputAxisCommand(SetPositionY); "
                       "this.SetInputAxisMul(" + std::to_string(kLiftPerKeyValue) + ");");
}

}  // namespace tge
