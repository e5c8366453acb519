// Feeds arbitrary bytes to the horse recording reader (a ".oan" file) and
// samples what it accepts at every key and past the last one, as playback
// does.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/files/SerializeStream.h"
#include "objects/gameplay/characters/HorseRecording.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  tge::SerializeStream stream;
  stream.OpenMemoryBuffer(bytes.size(), "rb", bytes.data());
  tge::HorseRecording recording;
  if (!recording.Serialize(stream)) return 0;
  tge::Vector3 position;
  tge::Quaternion rotation;
  tge::HorseKey key;
  for (std::size_t index = 0; index <= recording.keys.size() + 1; ++index) {
    recording.keyIndex = static_cast<std::int32_t>(index);
    recording.playTime = recording.keys.empty() ? 0 : recording.keys.back().time;
    recording.Sample(position, rotation);
    recording.SampleHorseKey(key);
  }
  return 0;
}
