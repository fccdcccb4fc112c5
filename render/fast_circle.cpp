// The span writer of the depth-tested circle: one depth compare and two stores per pixel, no
// call per pixel.
#include "render/fast_circle.hpp"

#include "render/circle.hpp"
#include "render/depth_plot.hpp"
#include "render/direct_rows.hpp"
#include "render/max_int.hpp"

namespace {

/// Columns from .. to - 1 of row y, depth-tested and written where they lie in the bitmap.
/// The parts outside it are dropped: there getpixel on the depth map (of the same size) gives
/// -1, which no depth passes, so depthTestedPlot draws none of them either.
void writeDepthTestedSpan(BITMAP* target, int from, int y, int to, int colour) {
  if (y < 0 || y >= target->h) {
    return;
  }
  const int first = maxInt(from, 0);
  const int end = minInt(to, target->w);
  std::uint32_t* pixels = pixelRow(target, y);
  std::int32_t* depths = depthRow(currentDepthMap, y);
  const std::int32_t depth = currentDepth;
  const std::uint32_t pixel = static_cast<std::uint32_t>(colour);
  for (int x = first; x < end; ++x) {
    const std::int32_t stored = depths[x];
    const std::uint32_t shown = pixels[x];
    const bool wins = passesDepthTest(stored, depth);
    // Both stores unconditional, so that the loop vectorises.
    pixels[x] = wins ? pixel : shown;
    depths[x] = wins ? depth : stored;
  }
}

} // namespace

void fillDepthTestedCircle(BITMAP* target, int x, int y, int radius, int colour) {
  walkFilledCircle(target, x, y, radius, [&](int from, int row, int to) {
    writeDepthTestedSpan(target, from, row, to, colour);
  });
}
