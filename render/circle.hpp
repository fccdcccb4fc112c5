// The filled-circle rasteriser: the midpoint algorithm, one span per row, every pixel handed
// to a plot routine so that the caller decides what a pixel write means.
#pragma once

#include <allegro.h>

/// The `clip` value a circle drawn with clipping on leaves behind: the library's TRUE.
constexpr int clipFlagOn = -1;

/// A per-pixel write: target, column, row, pixel value as made by makecol.
using PlotRoutine = void (*)(BITMAP* target, int x, int y, int colour);

/// Where a circle's bounding box, with one pixel of margin, lies against the target's clip
/// rectangle.
enum class CircleBox { outside, inside, crossing };

CircleBox placeCircleBox(const BITMAP* target, int x, int y, int radius);

/// Plots columns min(x1, x2) .. max(x1, x2) - 1 of row y, left to right.
void drawSpan(BITMAP* target, int x1, int y, int x2, int colour, PlotRoutine plot);

/// Hands every pixel of the filled circle to `plot`, one span per row; a row of half-width k
/// covers x - k .. x + k - 1, so radius 0 plots nothing. With clipping on, a circle whose
/// box (one pixel of margin) is wholly outside is skipped and `clip` left alone; one wholly
/// inside is drawn with clipping off; either way a drawn circle leaves `clip` at -1. With
/// clipping off nothing is culled and `clip` stays 0.
void fillCircle(BITMAP* target, int x, int y, int radius, int colour, PlotRoutine plot);
