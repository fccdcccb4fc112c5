// Midpoint filled circles.
#include "render/circle.hpp"

namespace {

constexpr int clipOn = -1; // the library's TRUE

/// Culls the circle or switches clipping off for it; returns false when it is culled, and
/// otherwise what `clip` must be left at in `restore`.
bool prepareClipping(BITMAP* target, int x, int y, int radius, int& restore) {
  if (!target->clip) {
    restore = 0;
    return true;
  }
  const int left = x - radius - 1;
  const int top = y - radius - 1;
  const int right = x + radius + 1;
  const int bottom = y + radius + 1;
  if (left >= target->cr || top >= target->cb || right < target->cl || bottom < target->ct) {
    return false;
  }
  if (left >= target->cl && top >= target->ct && right < target->cr && bottom < target->cb) {
    target->clip = 0; // wholly inside: no per-pixel clipping needed
  }
  restore = clipOn;
  return true;
}

} // namespace

void drawSpan(BITMAP* target, int x1, int y, int x2, int colour, PlotRoutine plot) {
  const int from = x1 < x2 ? x1 : x2;
  const int to = x1 < x2 ? x2 : x1;
  for (int x = from; x < to; ++x) {
    plot(target, x, y, colour);
  }
}

void fillCircle(BITMAP* target, int x, int y, int radius, int colour, PlotRoutine plot) {
  int restore = 0;
  if (!prepareClipping(target, x, y, radius, restore)) {
    return;
  }
  int cx = 0;
  int cy = radius;
  int d = 1 - radius;
  int dE = 3;
  int dSE = 5 - 2 * radius;
  do {
    drawSpan(target, x - cy, y - cx, x + cy, colour, plot);
    if (cx != 0) {
      drawSpan(target, x - cy, y + cx, x + cy, colour, plot);
    }
    if (d < 0) {
      d += dE;
      dE += 2;
      dSE += 2;
    } else {
      if (cx != cy) {
        drawSpan(target, x - cx, y - cy, x + cx, colour, plot);
        if (cy != 0) {
          drawSpan(target, x - cx, y + cy, x + cx, colour, plot);
        }
      }
      d += dSE;
      dE += 2;
      dSE += 4;
      --cy;
    }
    ++cx;
  } while (cx <= cy);
  target->clip = restore;
}
