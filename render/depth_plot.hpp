// The integer depth test. The depth map holds, per pixel, 0 for empty or the truncated
// view-space depth of what was drawn last; smaller is nearer.
#pragma once

#include <allegro.h>

/// The map depthTestedPlot tests and writes; set by the funnie renderer for each funnie.
extern ZBUFFER* currentDepthMap;

/// The depth depthTestedPlot compares against and writes; set before each circle.
extern int currentDepth;

/// Whether something at `depth` may be drawn over a pixel that holds `stored`: the pixel is
/// empty, or what it holds is strictly farther. At equal depth the first drawn stays. Both
/// comparisons are always made, with no jump between them: the particles' plot relies on it.
template <typename Depth> inline bool passesDepthTest(int stored, Depth depth) {
  return (stored == 0) | (stored > depth);
}

/// A PlotRoutine: writes colour and currentDepth where the depth test passes. Outside the
/// bitmap getpixel gives -1, nearer than anything, so nothing is drawn there.
void depthTestedPlot(BITMAP* target, int x, int y, int colour);
