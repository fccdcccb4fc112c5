// Float-to-integer conversion. Every screen position, radius, depth, shading amount and
// text value is cut toward zero; this is the one place that does it.
#pragma once

#include <climits>

/// Truncates toward zero. Values beyond int's range saturate and NaN gives 0: a plain
/// cast of those is undefined behaviour, and hostile camera states do produce them.
inline int truncToInt(double value) {
  if (value != value) {
    return 0;
  }
  if (value <= static_cast<double>(INT_MIN) - 1.0) {
    return INT_MIN;
  }
  if (value >= static_cast<double>(INT_MAX) + 1.0) {
    return INT_MAX;
  }
  return static_cast<int>(value);
}

/// The same for a float, without the detour through double on the per-particle path.
inline int truncToInt(float value) {
  constexpr float limit = 2147483648.0f; // 2^31, exact in float
  if (value != value) {
    return 0;
  }
  if (value >= limit) {
    return INT_MAX;
  }
  if (value < -limit) {
    return INT_MIN;
  }
  return static_cast<int>(value);
}
