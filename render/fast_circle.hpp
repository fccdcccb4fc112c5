// fillCircle with depthTestedPlot, its spans written straight into the rows: the same walk
// and clipping, one span writer instead of a plot call per pixel.
#pragma once

#include <allegro.h>

/// Draws the filled circle depth-tested against currentDepthMap at currentDepth, as
/// fillCircle(target, x, y, radius, colour, depthTestedPlot) does, clip flag included. Only
/// where directRowsAllowed(target, currentDepthMap).
void fillDepthTestedCircle(BITMAP* target, int x, int y, int radius, int colour);
