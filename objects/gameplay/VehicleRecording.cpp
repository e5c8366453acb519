#include "objects/gameplay/VehicleRecording.h"

#include <algorithm>
#include <cstdint>

#include "core/files/SerializeStream.h"
#include "services/ErrorMessage.h"

namespace tge {
namespace {

constexpr std::int64_t kInputKeyBytes = 3 * 4;

}  // namespace

bool VehicleRecording::Serialize(SerializeStream& stream) {
  if (!ObjectRecording::Serialize(stream)) return false;
  auto count = static_cast<std::uint32_t>(inputKeys.size());
  stream.Serialize(count);
  if (stream.Failed()) return false;
  if (!stream.IsWriting()) {
    if (count * kInputKeyBytes > stream.GetSize() - stream.Tell()) {
      FormatErrorMessage("Vehicle recording: %u input keys are more than the file holds", count);
      return false;
    }
    inputKeys.assign(count, Vector3{});
  }
  for (Vector3& key : inputKeys) stream.Serialize(key);
  return !stream.Failed();
}

bool VehicleRecording::SampleInputs(Vector3& out) const {
  if (inputKeys.empty()) return false;
  const std::int32_t last = static_cast<std::int32_t>(inputKeys.size()) - 1;
  const auto key = static_cast<std::size_t>(std::clamp(keyIndex, 0, last));
  const auto next = static_cast<std::size_t>(std::clamp(keyIndex + 1, 0, last));
  Vector3Lerp(out, inputKeys[key], inputKeys[next], keyFraction);
  return true;
}

}  // namespace tge
