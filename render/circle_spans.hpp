// The midpoint walk of a filled circle, shared by the per-pixel rasteriser and the span
// writer so that both cover exactly the same rows and columns.
#pragma once

/// Calls span(x1, row, x2) once for every row of the filled circle, in the midpoint
/// algorithm's order; x1 <= x2 always, and the row covers x1 .. x2 - 1.
template <typename Span> void forEachCircleSpan(int x, int y, int radius, Span&& span) {
  int cx = 0;
  int cy = radius;
  int d = 1 - radius;
  int dE = 3;
  int dSE = 5 - 2 * radius;
  do {
    span(x - cy, y - cx, x + cy);
    if (cx != 0) {
      span(x - cy, y + cx, x + cy);
    }
    if (d < 0) {
      d += dE;
      dE += 2;
      dSE += 2;
    } else {
      if (cx != cy) {
        span(x - cx, y - cy, x + cx);
        if (cy != 0) {
          span(x - cx, y + cy, x + cx);
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
