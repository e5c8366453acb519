#include "objects/gameplay/characters/HorseRecording.h"

#include "core/World.h"
#include "core/files/SerializeStream.h"
#include "objects/gameplay/characters/Horse.h"
#include "objects/gameplay/world/RecordingSideKeys.h"
#include "objects/scene/Camera.h"
#include "objects/scene/animation/Bone.h"
#include "objects/scene/animation/SkinMesh.h"
#include "objects/ui/sound/Sound.h"

namespace tge {
namespace {

constexpr std::int64_t kHorseKeyBytes = 3 * 4;
constexpr std::uint32_t kPlayRecording = 202, kPlayRecordingKey = 205;

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace

bool HorseRecording::Serialize(SerializeStream& stream) {
  return ObjectRecording::Serialize(stream) &&
         SerializeSideKeys(stream, horseKeys, kHorseKeyBytes, "Horse", "horse", [&stream](HorseKey& key) {
           stream.Serialize(key.state);
           stream.Serialize(key.animationSpeed);
           stream.Serialize(key.headTurn);
         });
}

bool HorseRecording::SampleHorseKey(HorseKey& out) const {
  if (horseKeys.empty()) return false;
  const auto [key, next] = SideKeysAround(*this, horseKeys);
  out.state = key.state;
  out.animationSpeed = Lerp(key.animationSpeed, next.animationSpeed, keyFraction);
  out.headTurn = Lerp(key.headTurn, next.headTurn, keyFraction);
  return true;
}

HorseRecording* Horse::CurrentRecording(void* args) const {
  ObjectRecording* recording = GetRecording();
  if (recording == nullptr || args == nullptr || CommandArgs(args).GetPointer<ObjectRecording>() != recording) {
    return nullptr;
  }
  return static_cast<HorseRecording*>(recording);
}

bool Horse::RecordingPlays() const {
  const ObjectRecording* recording = GetRecording();
  return recording != nullptr && recording->state == RecordingState::kPlaying;
}

// Taken before the base adds the placement key, as the base does only with
// a World.
void Horse::AddRecordingKey(void* args) {
  HorseRecording* recording = CurrentRecording(args);
  if (recording != nullptr && GetWorld() != nullptr) recording->horseKeys.push_back({state_, animationSpeed_, headTurn_});
}

// While a recording plays, its keys drive the state.
int Horse::PlayRecording(void* args) {
  const int result = Object::ExecuteCommand(kPlayRecording, args);
  if (result != 0) state_ = kHorseNoState;
  return result;
}

// A state word the horse does not know is ignored.
int Horse::PlayRecordingKey(void* args) {
  const int result = Object::ExecuteCommand(kPlayRecordingKey, args);
  HorseRecording* recording = CurrentRecording(args);
  HorseKey key;
  if (result == 0 || recording == nullptr || !RecordingPlays() || !recording->SampleHorseKey(key)) return result;
  if (key.state >= kHorseNoState && key.state <= kHorseKick) SetState(static_cast<HorseState>(key.state), false);
  SetAnimationSpeeds(key.animationSpeed);
  SetBoneTurns(key.headTurn);
  return result;
}

}  // namespace tge
