// The library's apply_matrix_f inline, for the per-particle path: the same float operations
// in the same order give the same bits (the fast/reference identity test holds it to that),
// without a call and three stores through pointers per particle.
#pragma once

#include "sim/funnie_segment.hpp"

#include <allegro.h>

struct InlineViewTransform {
  FunnieSegment operator()(const MATRIX_f& m, const FunnieSegment& p) const {
    return FunnieSegment{p.x * m.v[0][0] + p.y * m.v[0][1] + p.z * m.v[0][2] + m.t[0],
                         p.x * m.v[1][0] + p.y * m.v[1][1] + p.z * m.v[1][2] + m.t[1],
                         p.x * m.v[2][0] + p.y * m.v[2][1] + p.z * m.v[2][2] + m.t[2]};
  }
};

/// The library's own apply_matrix_f, as the reference path calls it.
struct LibraryViewTransform {
  FunnieSegment operator()(const MATRIX_f& m, const FunnieSegment& p) const {
    FunnieSegment out;
    apply_matrix_f(&m, p.x, p.y, p.z, &out.x, &out.y, &out.z);
    return out;
  }
};
