// Bit-for-bit comparison of two bitmaps of one size and colour depth, through their rows.
#pragma once

#include <allegro.h>

#include <cstring>

/// The first row where `a` and `b` differ, or -1 when every row holds the same bytes.
inline int firstDifferingRow(BITMAP* a, BITMAP* b) {
  const int bytesPerPixel = (bitmap_color_depth(a) + 7) / 8; // 15 bits take two bytes
  const size_t rowBytes = static_cast<size_t>(a->w) * static_cast<size_t>(bytesPerPixel);
  for (int y = 0; y < a->h; ++y) {
    if (std::memcmp(a->line[y], b->line[y], rowBytes) != 0) {
      return y;
    }
  }
  return -1;
}

inline bool sameBits(BITMAP* a, BITMAP* b) {
  return a->w == b->w && a->h == b->h && bitmap_color_depth(a) == bitmap_color_depth(b) &&
         firstDifferingRow(a, b) < 0;
}
