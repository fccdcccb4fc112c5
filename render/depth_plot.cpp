// Depth-tested pixel writes through the library's pixel functions.
#include "render/depth_plot.hpp"

ZBUFFER* currentDepthMap = nullptr;
int currentDepth = 0;

void depthTestedPlot(BITMAP* target, int x, int y, int colour) {
  if (!passesDepthTest(getpixel(currentDepthMap, x, y), currentDepth)) {
    return;
  }
  putpixel(target, x, y, colour);
  putpixel(currentDepthMap, x, y, currentDepth);
}
