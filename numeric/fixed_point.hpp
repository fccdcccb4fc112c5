// The library's 16.16 fixed point, seen the way the 4.0 interface saw it: fixtof gave a
// float there (4.4 gives a double), and itofix of a negative angle is a left shift of a
// negative value, undefined in C++17.
#pragma once

#include <allegro.h>

#include <cstdint>

/// 16.16 to single precision, as the 4.0 interface's fixtof returned it.
inline float fixedToFloat(fixed value) {
  return static_cast<float>(fixtof(value));
}

/// The library's itofix, for any int whose 16.16 value fits: the same bits, without the
/// undefined shift of a negative value.
inline fixed intToFixed(int value) {
  return static_cast<fixed>(static_cast<std::uint32_t>(value) << 16);
}

/// A 32-bit addition of two 16.16 values that saturates instead of overflowing; only a
/// value already saturated by ftofix can get that far.
inline fixed saturatingAdd(fixed a, fixed b) {
  const std::int64_t sum = static_cast<std::int64_t>(a) + b;
  if (sum > INT32_MAX) {
    return INT32_MAX;
  }
  if (sum < INT32_MIN) {
    return INT32_MIN;
  }
  return static_cast<fixed>(sum);
}
