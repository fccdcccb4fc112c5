// The point record shared by funnie segments, velocities, projected heads and particles.
#pragma once

/// A point or displacement in world units, or a projected head (screen x, y and view depth).
struct FunnieSegment {
  float x;
  float y;
  float z;
};
