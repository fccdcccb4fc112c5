// Binary angles: 256 units per turn, 64 a quarter turn. Their sine and cosine come from the
// library's fixed-point tables, which reduce any angle modulo one turn.
#pragma once

#include "numeric/fixed_point.hpp"

constexpr int quarterTurn = 64;
constexpr int fullTurn = 256;

/// Cosine of a binary angle, 16.16 in -1..1.
inline fixed cosOfAngle(int angle) {
  return fixcos(intToFixed(angle));
}

/// Sine of a binary angle, 16.16 in -1..1.
inline fixed sinOfAngle(int angle) {
  return fixsin(intToFixed(angle));
}
