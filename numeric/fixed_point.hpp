// The library's 16.16 fixed point. fixtof gives a double: where its value feeds further
// arithmetic it is used as it is, so that a product with a float is formed in double; it is
// rounded to a float only where a float is stored. itofix of a negative angle is a left shift
// of a negative value, undefined in C++17.
#pragma once

#include <allegro.h>

#include <cstdint>

/// A 16.16 value stored as a float: exact below 256 in magnitude (24 significant bits), rounded
/// to nearest beyond.
inline float fixedToFloat(fixed value) {
  return static_cast<float>(fixtof(value));
}

/// The library's ftofix, for a float or a double: value x 65536 rounded half away from zero;
/// beyond +-32767 it saturates to +-0x7FFFFFFF and sets allegro_errno to ERANGE.
inline fixed floatToFixed(double value) {
  return ftofix(value);
}

/// The library's itofix, for any int whose 16.16 value fits: the same bits, without the
/// undefined shift of a negative value.
inline fixed intToFixed(int value) {
  return static_cast<fixed>(static_cast<std::uint32_t>(value) << 16);
}

/// A 32-bit addition of two 16.16 values that saturates instead of overflowing; only a
/// value already saturated by floatToFixed can get that far.
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
