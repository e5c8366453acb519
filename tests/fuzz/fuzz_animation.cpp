// Feeds arbitrary bytes to the animation reader and samples what it accepts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "services/resources/AnimationResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<tge::AnimationTrack> tracks;
  std::uint32_t values[3] = {0, 0, 0};
  std::string error;
  if (!tge::AnimationResource::Parse(data, size, tracks, values, error)) return 0;
  for (const tge::AnimationTrack& track : tracks) {
    if (track.parent < -1 || track.parent >= static_cast<std::int32_t>(tracks.size())) __builtin_trap();
  }
  return 0;
}
