// Feeds arbitrary bytes to the vehicle recording reader (a ".oan" file) and
// samples what it accepts at every key, as playback does.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/files/SerializeStream.h"
#include "objects/gameplay/vehicles/VehicleRecording.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  tge::SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
  tge::VehicleRecording recording;
  if (!recording.Serialize(stream)) return 0;
  tge::Vector3 position, inputs;
  tge::Quaternion rotation;
  for (std::size_t key = 0; key <= recording.keys.size(); ++key) {
    recording.keyIndex = static_cast<std::int32_t>(key);
    recording.playTime = recording.keys.empty() ? 0 : recording.keys.back().time;
    recording.Sample(position, rotation);
    recording.SampleInputs(inputs);
  }
  return 0;
}
