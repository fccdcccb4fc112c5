// Midpoint filled circles.
#include "render/circle.hpp"

#include "render/circle_spans.hpp"

namespace {

/// Culls the circle or switches clipping off for it; returns false when it is culled, and
/// otherwise what `clip` must be left at in `restore`.
bool prepareClipping(BITMAP* target, int x, int y, int radius, int& restore) {
  if (!target->clip) {
    restore = 0;
    return true;
  }
  const CircleBox box = placeCircleBox(target, x, y, radius);
  if (box == CircleBox::outside) {
    return false;
  }
  if (box == CircleBox::inside) {
    target->clip = 0; // no pixel can fall outside: spare the per-pixel clipping
  }
  restore = clipFlagOn;
  return true;
}

} // namespace

CircleBox placeCircleBox(const BITMAP* target, int x, int y, int radius) {
  const int left = x - radius - 1;
  const int top = y - radius - 1;
  const int right = x + radius + 1;
  const int bottom = y + radius + 1;
  if (left >= target->cr || top >= target->cb || right < target->cl || bottom < target->ct) {
    return CircleBox::outside;
  }
  if (left >= target->cl && top >= target->ct && right < target->cr && bottom < target->cb) {
    return CircleBox::inside;
  }
  return CircleBox::crossing;
}

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
  forEachCircleSpan(x, y, radius,
                    [&](int x1, int row, int x2) { drawSpan(target, x1, row, x2, colour, plot); });
  target->clip = restore;
}
