// An object's recorded movement: keys of position, scale and rotation taken
// every 0.1 s while recording, played back every frame by interpolating
// between the keys around the play time. Saved as a ".oan" file in the data
// folder:
//   dword header, float start time, float end time, dword key count,
//   per key 11 floats: time, position x y z, scale x y z, rotation x y z w.
// A load trusts the key count only as far as the file's size allows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge {

class SerializeStream;

struct ObjectRecordingKey {
  float time = 0;
  Vector3 position;
  Vector3 scale{1, 1, 1};
  Quaternion rotation;
};

enum class RecordingState : std::int32_t { kIdle = 0, kPlaying = 1, kRecording = 3 };

class ObjectRecording {
 public:
  virtual ~ObjectRecording() = default;
  // The file layout above; false (and the recording not to be used) when the
  // stream failed or the key count does not fit the file.
  virtual bool Serialize(SerializeStream& stream);

  // The place at playTime: between the keys around it, held at the first key
  // before it and at the last key after it; false without keys.
  bool Sample(Vector3& position, Quaternion& rotation);

  std::int32_t header = 0;
  std::string name;
  float startTime = 0;
  float endTime = 0;
  float playTime = 0;
  std::int32_t keyIndex = 0;
  float keyFraction = 0;
  Vector3 lastPosition;
  Quaternion lastRotation;
  RecordingState state = RecordingState::kIdle;
  std::vector<ObjectRecordingKey> keys;
};

}  // namespace tge
