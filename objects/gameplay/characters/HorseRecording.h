// The horse's recording: the base recording's placement keys and, beside
// them, one horse key per placement key (state, animation speed, head
// turn). Its ".oan" form is the base form followed by the horse-key count
// and three 4-byte values per horse key.
//
// The horse keys are counted apart in the file and may be fewer than the
// placement keys; reading them back stays inside the horse-key list.
#pragma once
#include <cstdint>
#include <vector>

#include "core/ObjectRecording.h"

namespace tge {

struct HorseKey {
  std::int32_t state = 0;
  float animationSpeed = 1.0f;
  float headTurn = 0;
};

class HorseRecording : public ObjectRecording {
 public:
  // False, with the error text set, when the horse-key count does not fit
  // the file.
  bool Serialize(SerializeStream& stream) override;

  // The key at the current key index and the values interpolated towards
  // the next one by the current fraction; false without horse keys.
  bool SampleHorseKey(HorseKey& out) const;

  std::vector<HorseKey> horseKeys;
};

}  // namespace tge
