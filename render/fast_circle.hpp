// fillCircle with depthTestedPlot, written on whole spans through the rows where the circle
// lies wholly inside the bitmap. The picture and the depth map come out bit for bit the same.
#pragma once

#include <allegro.h>

/// Draws the filled circle depth-tested against currentDepthMap at currentDepth, exactly as
/// fillCircle(target, x, y, radius, colour, depthTestedPlot) does, clip flag included.
void fillDepthTestedCircle(BITMAP* target, int x, int y, int radius, int colour);
