// The filled-circle rasteriser: the midpoint walk, one span per row. How a circle is clipped
// is decided here once, whatever its spans are handed to: drawSpan with a plot routine, or a
// span writer that writes whole rows.
#pragma once

#include "render/circle_spans.hpp"

#include <allegro.h>

/// A per-pixel write: target, column, row, pixel value as made by makecol.
using PlotRoutine = void (*)(BITMAP* target, int x, int y, int colour);

/// Plots columns min(x1, x2) .. max(x1, x2) - 1 of row y, left to right.
void drawSpan(BITMAP* target, int x1, int y, int x2, int colour, PlotRoutine plot);

/// The clipping of one circle: culled (nothing drawn, `clip` left alone), or drawn with
/// `clip` set to clipAfter at the end.
struct CircleClipping {
  bool culled;
  int clipAfter;
};

/// With clipping on, a circle whose box (one pixel of margin) is wholly outside the clip
/// rectangle is culled; one wholly inside has clipping switched off here for its drawing;
/// either way a drawn circle leaves `clip` at -1. With clipping off nothing is culled and
/// `clip` stays 0.
CircleClipping startCircleClipping(BITMAP* target, int x, int y, int radius);

/// Hands every row of the filled circle to writeSpan(from, row, to), covering from .. to - 1,
/// clipped as startCircleClipping decides.
template <typename SpanWriter>
void walkFilledCircle(BITMAP* target, int x, int y, int radius, SpanWriter&& writeSpan) {
  const CircleClipping clipping = startCircleClipping(target, x, y, radius);
  if (clipping.culled) {
    return;
  }
  forEachCircleSpan(x, y, radius, writeSpan);
  target->clip = clipping.clipAfter;
}

/// Hands every pixel of the filled circle to `plot`, one span per row; a row of half-width k
/// covers x - k .. x + k - 1, so radius 0 plots nothing.
void fillCircle(BITMAP* target, int x, int y, int radius, int colour, PlotRoutine plot);
