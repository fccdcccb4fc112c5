// Midpoint filled circles and their clipping.
#include "render/circle.hpp"

namespace {

/// The `clip` value a circle drawn with clipping on leaves behind: the library's TRUE.
constexpr int clipFlagOn = -1;

/// Where a circle's bounding box, with one pixel of margin, lies against the clip rectangle.
enum class CircleBox { outside, inside, crossing };

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

} // namespace

CircleClipping startCircleClipping(BITMAP* target, int x, int y, int radius) {
  if (!target->clip) {
    return CircleClipping{false, 0};
  }
  const CircleBox box = placeCircleBox(target, x, y, radius);
  if (box == CircleBox::outside) {
    return CircleClipping{true, target->clip};
  }
  if (box == CircleBox::inside) {
    target->clip = 0; // no pixel can fall outside: spare the per-pixel clipping
  }
  return CircleClipping{false, clipFlagOn};
}

void drawSpan(BITMAP* target, int x1, int y, int x2, int colour, PlotRoutine plot) {
  const int to = maxInt(x1, x2);
  for (int x = minInt(x1, x2); x < to; ++x) {
    plot(target, x, y, colour);
  }
}

void fillCircle(BITMAP* target, int x, int y, int radius, int colour, PlotRoutine plot) {
  walkFilledCircle(target, x, y, radius, [&](int from, int row, int to) {
    drawSpan(target, from, row, to, colour, plot);
  });
}
