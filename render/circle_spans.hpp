// The midpoint walk of a filled circle: the rows and columns every way of drawing a circle
// covers.
#pragma once

#include "render/max_int.hpp"

/// Calls span(from, row, to) once for every row of the filled circle, in the midpoint
/// algorithm's order; the row covers from .. to - 1, and from <= to even for a negative
/// radius, so that a span writer never has to order the ends itself.
template <typename Span> void forEachCircleSpan(int x, int y, int radius, Span&& span) {
  const auto hand = [&span](int x1, int row, int x2) { span(minInt(x1, x2), row, maxInt(x1, x2)); };
  int cx = 0;
  int cy = radius;
  int d = 1 - radius;
  int dE = 3;
  int dSE = 5 - 2 * radius;
  do {
    hand(x - cy, y - cx, x + cy);
    if (cx != 0) {
      hand(x - cy, y + cx, x + cy);
    }
    if (d < 0) {
      d += dE;
      dE += 2;
      dSE += 2;
    } else {
      if (cx != cy) {
        hand(x - cx, y - cy, x + cx);
        if (cy != 0) {
          hand(x - cx, y + cy, x + cx);
        }
      }
      d += dSE;
      dE += 2;
      dSE += 4;
      --cy;
    }
    ++cx;
  } while (cx <= cy);
}
