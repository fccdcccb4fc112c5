// Four single-precision lanes, through the compiler's vector extension (SSE on x86-64).
// Each lane does the IEEE operations a scalar float does, in the same order, so the
// per-particle path computes four particles at once and still gets the scalar bits.
#pragma once

using FloatLanes = float __attribute__((vector_size(16)));
using IntLanes = int __attribute__((vector_size(16))); // also the all-ones / zero lane masks

constexpr int laneCount = 4;

/// Truncation toward zero of screen coordinates, exact for every lane that can land in
/// [0, limit): NaN gives 0, as truncToInt has it, and a value beyond [-1, limit] is clamped
/// there first, outside the bitmap either way, so that the conversion is always defined.
inline IntLanes truncToPixelLanes(FloatLanes value, float limit) {
  const FloatLanes none = {};
  const FloatLanes low = none - 1.0f;
  const FloatLanes high = none + limit;
  FloatLanes v = value == value ? value : none;
  v = v < low ? low : v;
  v = v > high ? high : v;
  return __builtin_convertvector(v, IntLanes);
}
