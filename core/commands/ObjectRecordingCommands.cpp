// The base commands that record an object's movement and play it back
// (see ObjectRecording.h). Recording adds a key every 0.1 s through the
// World's scheduler; playback moves the object every frame. The scheduled
// calls carry the recording they serve, and only that recording's calls
// run: replacing or dropping a recording cancels them.
#include "core/BaseCommandIds.h"
#include "core/CommandScheduler.h"
#include "core/ObjectHooks.h"
#include "core/ObjectRecording.h"
#include "core/World.h"
#include "core/commands/BaseCommandTable.h"
#include "core/files/SerializeStream.h"

namespace tge {
namespace {

constexpr std::uint32_t kCommandStopObjectRecording = 199;
constexpr std::uint32_t kCommandAddObjectRecordingKey = 204;
constexpr std::uint32_t kCommandPlayObjectRecordingKey = 205;
constexpr float kKeyPeriod = 0.1f;

std::string RecordingFileName(const std::string& name) {
  ObjectHooks* hooks = GetObjectHooks();
  return (hooks ? hooks->GetDataPath() : std::string()) + name + ".oan";
}

}  // namespace

// clang-format off
std::span<const CommandEntry<Object>> Object::RecordingCommands() {
  using namespace table_terms;
  static const CommandEntry<Object> table[] = {
    {198, "StartObjectRecording", Kind::kCommand, S, {kValueString}, Member<&Object::StartObjectRecordingCommand>},
    {199, "StopObjectRecording", Kind::kCommand, S, {}, Member<&Object::StopObjectRecordingCommand>},
    {200, "PauseObjectRecording", Kind::kCommand, S, {}, Member<&Object::StopObjectRecordingCommand>},
    {201, "ResumeObjectRecording", Kind::kCommand, S, {}, Member<&Object::ResumeObjectRecordingCommand>},
    {202, "PlayObjectRecording", Kind::kCommand, S, {kValueString}, Member<&Object::PlayObjectRecordingCommand>},
    {203, "SaveObjectRecording", Kind::kCommand, S, {kValueString}, Member<&Object::SaveObjectRecordingCommand>},
    {204, "AddObjectRecordingKey", Kind::kCommand, S, {kPtr}, Member<&Object::AddObjectRecordingKeyCommand>},
    {205, "PlayObjectRecordingKey", Kind::kCommand, S, {kPtr}, Member<&Object::PlayObjectRecordingKeyCommand>},
  };
  return table;
}
// clang-format on

std::unique_ptr<ObjectRecording> Object::MakeRecording() const { return std::make_unique<ObjectRecording>(); }

void Object::SetRecording(std::unique_ptr<ObjectRecording> recording) {
  World::CancelCommands(*this, kCommandAddObjectRecordingKey, kScheduleGeneral);
  World::CancelCommands(*this, kCommandPlayObjectRecordingKey, kScheduleGeneral);
  recording_ = std::move(recording);
}

// The recording travels in the block as a pointer; period 0 runs every frame.
void Object::StartRecordingCalls(std::uint32_t command) {
  ArgumentBlock block;
  block.PushPointer(recording_.get());
  const float period = command == kCommandAddObjectRecordingKey ? kKeyPeriod : 0.0f;
  GetWorld()->RepeatCommand(*this, static_cast<int>(command), block.Data(), period);
}

int Object::StartObjectRecordingCommand(CommandArgs args) {
  if (GetWorld() == nullptr) return 1;
  std::unique_ptr<ObjectRecording> recording = MakeRecording();
  recording->name = args.AsString();
  recording->startTime = recording->endTime = static_cast<float>(GetWorld()->GetCurrentTime());
  recording->state = RecordingState::kRecording;
  SetRecording(std::move(recording));
  StartRecordingCalls(kCommandAddObjectRecordingKey);
  // Through the type's own handler, which adds what its recording keeps
  // beside the placement.
  ArgumentBlock block;
  block.PushPointer(recording_.get());
  return ExecuteCommand(kCommandAddObjectRecordingKey, block.Data());
}

int Object::AddObjectRecordingKeyCommand(CommandArgs args) {
  if (!recording_ || args.GetPointer<ObjectRecording>() != recording_.get() || GetWorld() == nullptr) return 1;
  ObjectRecordingKey key;
  key.time = static_cast<float>(GetWorld()->GetCurrentTime()) - recording_->startTime;
  const bool local = !HasFlag(kFlagWSOrientation) && GetBody() == nullptr;
  key.position = local ? GetPosition() : GetPositionWS();
  key.scale = local ? GetScale() : GetScaleWS();
  key.rotation = local ? GetRotation() : GetRotationWS();
  recording_->keys.push_back(key);
  return 1;
}

// Stop and Pause alike: a recording ends, a playback halts where it is.
int Object::StopObjectRecordingCommand(CommandArgs) {
  if (!recording_) return 1;
  if (recording_->state == RecordingState::kRecording) {
    if (GetWorld() != nullptr) recording_->endTime = static_cast<float>(GetWorld()->GetCurrentTime());
    World::CancelCommands(*this, kCommandAddObjectRecordingKey, kScheduleGeneral);
  } else {
    World::CancelCommands(*this, kCommandPlayObjectRecordingKey, kScheduleGeneral);
  }
  recording_->state = RecordingState::kIdle;
  return 1;
}

int Object::ResumeObjectRecordingCommand(CommandArgs) {
  if (!recording_ || recording_->state != RecordingState::kIdle || GetWorld() == nullptr) return 1;
  recording_->state = RecordingState::kPlaying;
  StartRecordingCalls(kCommandPlayObjectRecordingKey);
  return 1;
}

int Object::PlayObjectRecordingCommand(CommandArgs args) {
  if (GetWorld() == nullptr || (recording_ && recording_->state == RecordingState::kPlaying)) return 0;
  const std::string& name = args.AsString();
  if (recording_ && name.empty()) {
    World::CancelCommands(*this, kCommandAddObjectRecordingKey, kScheduleGeneral);
    recording_->playTime = 0;
    recording_->keyIndex = 0;
  } else {
    std::unique_ptr<ObjectRecording> loaded = MakeRecording();
    SerializeStream stream;
    if (!stream.Open(RecordingFileName(name), "rb") || !loaded->Serialize(stream)) return 0;
    loaded->name = name;
    loaded->lastPosition = GetPosition();
    loaded->lastRotation = GetRotation();
    SetRecording(std::move(loaded));
  }
  recording_->state = RecordingState::kPlaying;
  StartRecordingCalls(kCommandPlayObjectRecordingKey);
  return 1;
}

// Saved under the name it was started or played with; the argument is not used.
int Object::SaveObjectRecordingCommand(CommandArgs) {
  if (!recording_) return 1;
  SerializeStream stream;
  if (!stream.Open(RecordingFileName(recording_->name), "wb")) return 0;
  return recording_->Serialize(stream) ? 1 : 0;
}

int Object::PlayObjectRecordingKeyCommand(CommandArgs args) {
  if (!recording_ || args.GetPointer<ObjectRecording>() != recording_.get() || GetWorld() == nullptr) return 1;
  ObjectRecording& recording = *recording_;
  recording.playTime += GetWorld()->GetFrameTime();
  if (recording.playTime > recording.endTime - recording.startTime) {
    ExecuteCommand(kCommandStopObjectRecording, nullptr);
    return 0;
  }
  Vector3 position;
  Quaternion rotation;
  if (!recording.Sample(position, rotation)) return 1;
  SetPosition(position, true);
  SetRotation(rotation, true);
  if (GetBody() != nullptr) {
    Vector3 velocity;
    Vector3Subtract(velocity, position, recording.lastPosition);
    ApplyBodyVector(BodyVector::kSetLinearVelocity, Vector3Scale(velocity, velocity, GetWorld()->GetFrameRate()));
    ApplyBodyVector(BodyVector::kSetAngularVelocity, Vector3{});
  }
  recording.lastPosition = position;
  recording.lastRotation = rotation;
  return 1;
}

}  // namespace tge
