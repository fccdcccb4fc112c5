// Which way the renderers transform their points and write their pixels. The path through the
// library's apply_matrix_f, getpixel and putpixel is the reference; the fast path gives the same
// bits several times faster.
#pragma once

enum class PixelPath {
  fast,      ///< four points at a time; whole spans and direct pixel access where the bitmaps allow
  reference, ///< every point through apply_matrix_f, every pixel through getpixel and putpixel
};
