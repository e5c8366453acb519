#include "core/ObjectRecording.h"

#include <algorithm>

#include "core/files/SerializeStream.h"

namespace tge {
namespace {

constexpr std::int64_t kKeyBytes = 11 * 4;

}  // namespace

bool ObjectRecording::Serialize(SerializeStream& stream) {
  std::int32_t count = static_cast<std::int32_t>(keys.size());
  stream.Serialize(header);
  stream.Serialize(startTime);
  stream.Serialize(endTime);
  stream.Serialize(count);
  if (stream.Failed() || count < 0) return false;
  if (!stream.IsWriting()) {
    if (count * kKeyBytes > stream.GetSize() - stream.Tell()) return false;
    keys.assign(static_cast<std::size_t>(count), ObjectRecordingKey{});
  }
  for (ObjectRecordingKey& key : keys) {
    stream.Serialize(key.time);
    stream.Serialize(key.position);
    stream.Serialize(key.scale);
    stream.Serialize(key.rotation);
  }
  return !stream.Failed();
}

bool ObjectRecording::Sample(Vector3& position, Quaternion& rotation) {
  if (keys.empty()) return false;
  const std::int32_t last = static_cast<std::int32_t>(keys.size()) - 1;
  keyIndex = std::clamp(keyIndex, 0, last);
  while (keyIndex < last && keys[static_cast<std::size_t>(keyIndex) + 1].time <= playTime) ++keyIndex;
  const ObjectRecordingKey& key = keys[static_cast<std::size_t>(keyIndex)];
  const ObjectRecordingKey& next = keys[static_cast<std::size_t>(std::min(keyIndex + 1, last))];
  const float span = next.time - key.time;
  keyFraction = span > 0 ? std::clamp((playTime - key.time) / span, 0.0f, 1.0f) : 0.0f;
  Vector3Lerp(position, key.position, next.position, keyFraction);
  QuaternionSlerp(rotation, key.rotation, next.rotation, keyFraction);
  return true;
}

}  // namespace tge
