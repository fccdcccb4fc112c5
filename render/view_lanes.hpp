// The view transform four points at a time, for the particles and the funnies' segments: each
// lane does the operations of apply_matrix_f in the library's order, so that it gets the bits
// the library call gives.
#pragma once

#include "numeric/float_lanes.hpp"

#include <allegro.h>

/// Four points, one per lane.
struct PointLanes {
  FloatLanes x, y, z;
};

/// apply_matrix_f on four points: row r is x * v[r][0] + y * v[r][1] + z * v[r][2] + t[r],
/// summed left to right as the library sums it.
inline PointLanes transformLanes(const MATRIX_f& m, const PointLanes& p) {
  const auto row = [&m, &p](int r) {
    return p.x * m.v[r][0] + p.y * m.v[r][1] + p.z * m.v[r][2] + m.t[r];
  };
  return PointLanes{row(0), row(1), row(2)};
}
