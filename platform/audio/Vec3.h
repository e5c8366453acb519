// A position, velocity or direction as the audio layer takes it: in the
// engine's left-handed space (x right, y up, z forward). The layer converts to
// OpenAL's right-handed space itself.
#pragma once
#include <cmath>

namespace tge::audio {

struct Vec3 {
  float x = 0;
  float y = 0;
  float z = 0;
  bool operator==(const Vec3&) const = default;
};

inline bool IsFinite(const Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace tge::audio
