// The library's apply_matrix_f, one row at a time, for the per-particle path: the same float
// operations in the same order give the same bits (the fast/reference identity test holds it
// to that), without a call and three stores through pointers per particle, and a particle
// behind the camera costs one row instead of three.
#pragma once

#include "sim/funnie_segment.hpp"

#include <allegro.h>

/// Row `row` (0 = x, 1 = y, 2 = z) of the view matrix applied to `p`.
inline float viewCoordinate(const MATRIX_f& m, int row, const FunnieSegment& p) {
  return p.x * m.v[row][0] + p.y * m.v[row][1] + p.z * m.v[row][2] + m.t[row];
}
