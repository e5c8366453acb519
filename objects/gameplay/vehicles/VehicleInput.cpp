#include "objects/gameplay/vehicles/VehicleInput.h"

#include <algorithm>
#include <iterator>

namespace tge {
namespace {

constexpr int kKeyW = 272;
constexpr int kKeyA = 285;
constexpr int kKeyS = 286;
constexpr int kKeyD = 287;
constexpr int kKeySpace = 312;
constexpr int kKeyUp = 455;
constexpr int kKeyLeft = 458;
constexpr int kKeyRight = 460;
constexpr int kKeyDown = 463;

constexpr float kSteeringRate = 4.0f;
constexpr float kSteeringReturn = 20.0f;
constexpr float kThrottleRate = 20.0f;
constexpr float kBrake = 1000.0f;

// One digital scheme's keys, tested in this order; a later key wins.
struct DigitalKeys {
  int right, left, forward, backward;
};
constexpr DigitalKeys kDigitalSchemes[] = {{kKeyD, kKeyA, kKeyW, kKeyS}, {kKeyRight, kKeyLeft, kKeyUp, kKeyDown}};

}  // namespace

// The steering returns towards 0 by 1 - 20 dt a frame, held at 0 for frames
// longer than 0.05 s so it never overshoots to the other side.
void ApplyAnalogScheme(VehicleControls& controls, float dt, ReadAction read) {
  if (read(kKeyA) != 0) {
    controls.steering -= kSteeringRate * dt;
  } else if (read(kKeyD) != 0) {
    controls.steering += kSteeringRate * dt;
  } else {
    controls.steering *= std::max(0.0f, 1.0f - kSteeringReturn * dt);
  }
  controls.steering = std::clamp(controls.steering, -1.0f, 1.0f);
  controls.throttle = 0;
  if (read(kKeyW) != 0) {
    controls.throttle = kThrottleRate * dt;
  } else if (read(kKeyS) != 0) {
    controls.throttle = -kThrottleRate * dt;
  }
  controls.throttle = std::clamp(controls.throttle, -1.0f, 1.0f);
  controls.brake = 0;
  if (read(kKeySpace) != 0) {
    controls.throttle = 0;
    controls.brake = kBrake;
  }
}

void ApplyDigitalScheme(VehicleControls& controls, std::uint32_t device, ReadAction read) {
  controls.steering = 0;
  controls.throttle = 0;
  const std::uint32_t scheme = device - kFirstDigitalScheme;
  if (scheme >= std::size(kDigitalSchemes)) return;
  const DigitalKeys& keys = kDigitalSchemes[scheme];
  if (read(keys.right) > 0) controls.steering = 1;
  if (read(keys.left) > 0) controls.steering = -1;
  if (read(keys.forward) > 0) controls.throttle = 1;
  if (read(keys.backward) > 0) controls.throttle = -0.5f;
}

}  // namespace tge
