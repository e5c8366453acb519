// The vehicle's recording: the base recording's placement keys and, beside
// them, the driver's inputs (steering, a spare value, throttle) taken with
// each key. Its ".oan" form is the base form followed by the input-key
// count and three floats per input key.
//
// The input keys are counted apart in the file and may be fewer than the
// placement keys; reading them back stays inside the input list.
#pragma once
#include <vector>

#include "core/ObjectRecording.h"
#include "core/math/Vector.h"

namespace tge {

class VehicleRecording : public ObjectRecording {
 public:
  // False, with the error text set, when the input-key count does not fit
  // the file.
  bool Serialize(SerializeStream& stream) override;

  // The inputs at the current key and fraction, interpolated towards the
  // next key; false without input keys.
  bool SampleInputs(Vector3& out) const;

  std::vector<Vector3> inputKeys;
};

}  // namespace tge
