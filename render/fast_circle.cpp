// The span path of the depth-tested circle: one depth compare and two stores per pixel, no
// call per pixel. Circles crossing an edge keep the checked path, where the depth map's -1
// outside the bitmap keeps every write inside.
#include "render/fast_circle.hpp"

#include "render/circle.hpp"
#include "render/circle_spans.hpp"
#include "render/depth_plot.hpp"
#include "render/span_writer.hpp"

namespace {

/// Columns from .. to - 1 of row y; the circle walk always hands the left end first.
void writeDepthTestedSpan(BITMAP* target, int from, int y, int to, int colour) {
  std::uint32_t* __restrict pixels = pixelRow(target, y); // two bitmaps: never the same memory
  std::int32_t* __restrict depths = depthRow(currentDepthMap, y);
  const std::int32_t depth = currentDepth;
  const std::uint32_t pixel = static_cast<std::uint32_t>(colour);
  const std::uint32_t newDepth = static_cast<std::uint32_t>(depth);
  for (int x = from; x < to; ++x) {
    // The depth test as an all-ones or all-zeros mask: no branch, so the loop vectorises.
    const std::int32_t stored = depths[x];
    const std::uint32_t wins = 0u - static_cast<std::uint32_t>((stored == 0) | (stored > depth));
    pixels[x] = (pixel & wins) | (pixels[x] & ~wins);
    depths[x] =
        static_cast<std::int32_t>((newDepth & wins) | (static_cast<std::uint32_t>(stored) & ~wins));
  }
}

} // namespace

void fillDepthTestedCircle(BITMAP* target, int x, int y, int radius, int colour) {
  const bool spansPossible = target->clip && rowsWritable(target, currentDepthMap) &&
                             placeCircleBox(target, x, y, radius) == CircleBox::inside;
  if (!spansPossible) {
    fillCircle(target, x, y, radius, colour, depthTestedPlot);
    return;
  }
  forEachCircleSpan(x, y, radius, [&](int x1, int row, int x2) {
    writeDepthTestedSpan(target, x1, row, x2, colour);
  });
  target->clip = clipFlagOn;
}
