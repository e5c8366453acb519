#include "core/math/Angles.h"

#include <cmath>

namespace tge {

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kInverseTwoPi = 0.15915494f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kAcrossWrap = 3.1414928f;

}  // namespace

float WrapAngle(float a) {
  if (a > kPi) return a + kPi - std::trunc((a + kPi) * kInverseTwoPi) * kTwoPi - kPi;
  if (a < -kPi) return a - kPi - std::trunc((a - kPi) * kInverseTwoPi) * kTwoPi + kPi;
  return a;
}

float& WrapAngleInPlace(float& a) {
  a = WrapAngle(a);
  return a;
}

float* WrapAngleInPlace(float* a) {
  WrapAngleInPlace(*a);
  return a;
}

void TurnAngleTowards(float& angle, float target, float maxStep, float* stepOut) {
  if (!(maxStep > 0)) return;
  float current = WrapAngle(angle);
  const float wrappedTarget = WrapAngle(target);
  float goal = wrappedTarget;
  if (std::fabs(goal - current) > kAcrossWrap) {
    // The short way crosses the wrap: move the goal by a full turn.
    goal += goal > current ? -kTwoPi : kTwoPi;
  }
  const float difference = goal - current;
  if (std::fabs(difference) <= maxStep) {
    current = wrappedTarget;
  } else {
    const float step = difference > 0 ? maxStep : -maxStep;
    current += step;
    if (stepOut) *stepOut = step;
  }
  angle = WrapAngle(current);
}

void TurnAngleTowards(float* angle, float target, float maxStep, float* stepOut) {
  TurnAngleTowards(*angle, target, maxStep, stepOut);
}

float FloatSin(float x) { return std::sin(x); }
float FloatCos(float x) { return std::cos(x); }
float FloatSqrt(float x) { return std::sqrt(x); }

std::int32_t TruncateFloat(float x) {
  // The range check keeps the conversion defined; outside it (and for NaN)
  // the result is what the x86 truncating conversion gives.
  if (x >= -2147483648.0f && x < 2147483648.0f) return static_cast<std::int32_t>(x);
  return INT32_MIN;
}

std::int32_t TruncateFloat(const float* x) { return TruncateFloat(*x); }

}  // namespace tge
