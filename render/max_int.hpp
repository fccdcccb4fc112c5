// The integer clamps of the shading: components clamped at 0, shades capped at 255.
#pragma once

inline int maxInt(int a, int b) {
  return a > b ? a : b;
}

inline int minInt(int a, int b) {
  return a < b ? a : b;
}
