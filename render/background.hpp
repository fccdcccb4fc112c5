// The colour the render buffer is cleared to between frames.
#pragma once

#include <allegro.h>

/// Pure blue whose strength follows the camera's pitch: 64 at pitch 0.
inline int backgroundColour(int pitch) {
  constexpr int blueAtLevel = 64;
  return makecol(0, 0, pitch + blueAtLevel);
}
