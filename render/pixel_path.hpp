// Which way the renderers write their pixels. The per-pixel path through the library's
// getpixel/putpixel is the reference; the span path gives the same bits several times faster.
#pragma once

enum class PixelPath {
  fast,      ///< whole spans and direct pixel access where the bitmaps allow
  reference, ///< every pixel through getpixel and putpixel
};
