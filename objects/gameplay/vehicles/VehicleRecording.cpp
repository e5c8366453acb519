#include "objects/gameplay/vehicles/VehicleRecording.h"

#include <cstdint>

#include "objects/gameplay/world/RecordingSideKeys.h"

namespace tge {
namespace {

constexpr std::int64_t kInputKeyBytes = 3 * 4;

}  // namespace

bool VehicleRecording::Serialize(SerializeStream& stream) {
  return ObjectRecording::Serialize(stream) &&
         SerializeSideKeys(stream, inputKeys, kInputKeyBytes, "Vehicle", "input",
                           [&stream](Vector3& key) { stream.Serialize(key); });
}

bool VehicleRecording::SampleInputs(Vector3& out) const {
  if (inputKeys.empty()) return false;
  const auto [key, next] = SideKeysAround(*this, inputKeys);
  Vector3Lerp(out, key, next, keyFraction);
  return true;
}

}  // namespace tge
