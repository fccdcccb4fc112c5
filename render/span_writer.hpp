// Direct row access to the render buffer and the depth map, for the drawing that dominates a
// frame. It applies where it cannot differ from getpixel/putpixel: 32-bit memory bitmaps of
// one size, the target's clip rectangle (if clipping is on) being the whole bitmap.
#pragma once

#include <allegro.h>

#include <cstdint>

/// Writing through the rows gives exactly what the library's pixel functions give.
inline bool rowsWritable(BITMAP* target, ZBUFFER* depthMap) {
  const bool wholeClip = !target->clip || (target->cl == 0 && target->ct == 0 &&
                                           target->cr == target->w && target->cb == target->h);
  return is_memory_bitmap(target) && is_memory_bitmap(depthMap) &&
         bitmap_color_depth(target) == 32 && bitmap_color_depth(depthMap) == 32 &&
         target->w == depthMap->w && target->h == depthMap->h && wholeClip;
}

/// (x, y) lies in the bitmap itself.
inline bool insideBitmap(const BITMAP* bitmap, int x, int y) {
  return x >= 0 && y >= 0 && x < bitmap->w && y < bitmap->h;
}

inline std::uint32_t* pixelRow(BITMAP* bitmap, int y) {
  return reinterpret_cast<std::uint32_t*>(bitmap->line[y]);
}

inline std::int32_t* depthRow(ZBUFFER* depthMap, int y) {
  return reinterpret_cast<std::int32_t*>(depthMap->line[y]);
}
