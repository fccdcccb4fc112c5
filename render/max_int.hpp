// The integer maximum both renderers clamp shaded colour components with.
#pragma once

/// a if a > b, otherwise b.
inline int maxInt(int a, int b) {
  return a > b ? a : b;
}
