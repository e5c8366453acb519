// Angle and scalar helpers. All angles are radians.
#pragma once
#include <cstdint>

namespace tge {

// Into [-pi, pi] with these constants (pi = 3.1415927,
// 1/(2 pi) = 0.15915494, 2 pi = 6.2831855); angles already inside are
// returned unchanged.
float WrapAngle(float a);
// a = WrapAngle(a); returns a.
float& WrapAngleInPlace(float& a);
float* WrapAngleInPlace(float* a);

// Turns angle towards target by at most maxStep (nothing when maxStep <= 0).
// Both are wrapped first; when they differ by more than 3.1414928 the way
// across the wrap is taken. Within maxStep the angle becomes the (wrapped)
// target exactly and stepOut is left alone; otherwise the angle moves by
// maxStep and stepOut (when not null) receives +maxStep or -maxStep. The
// result is wrapped again.
void TurnAngleTowards(float& angle, float target, float maxStep, float* stepOut);
void TurnAngleTowards(float* angle, float target, float maxStep, float* stepOut);

// Single-precision sine, cosine and square root.
float FloatSin(float x);
float FloatCos(float x);
float FloatSqrt(float x);

// Float to int toward zero (0 when |x| < 1). Values outside the int32 range
// and NaN give INT32_MIN, as the x86 conversion of the original does.
std::int32_t TruncateFloat(const float* x);
std::int32_t TruncateFloat(float x);

}  // namespace tge
