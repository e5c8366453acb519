// How a vehicle turns player 0's actions into its driving inputs. The
// analog scheme (input devices below 256) steers gradually and gives a
// throttle of 20 dt while a key is held; the two digital schemes (256 keys
// W A S D, 257 the arrow keys) set full values and never brake.
#pragma once
#include <cstdint>

namespace tge {

struct VehicleControls {
  float steering = 0;
  float throttle = 0;
  float brake = 0;
};

// The value of an action for player 0.
using ReadAction = float (*)(int action);

// Action ids under the default bindings (255 + the key's scan code).
inline constexpr int kActionCameraTurn = 2;
inline constexpr int kActionCameraHeight = 3;
inline constexpr int kActionFire = 128;

inline constexpr std::uint32_t kFirstDigitalScheme = 256;

void ApplyAnalogScheme(VehicleControls& controls, float dt, ReadAction read);
// Devices above 257 only clear the steering and the throttle.
void ApplyDigitalScheme(VehicleControls& controls, std::uint32_t device, ReadAction read);

}  // namespace tge
