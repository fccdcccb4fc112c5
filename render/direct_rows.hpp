// Direct row access to the render buffer and the depth map, for the drawing that dominates a
// frame, and the one guard that decides when it writes exactly what the library's getpixel
// and putpixel would.
#pragma once

#include <allegro.h>
#include <allegro/internal/aintern.h> // _drawing_mode: the library offers no way to read it

#include <cstdint>

/// Whether no pixel of `bitmap` is clipped away: clipping is off, or the clip rectangle is the
/// whole bitmap.
inline bool clipsNothing(const BITMAP* bitmap) {
  return !bitmap->clip ||
         (bitmap->cl == 0 && bitmap->ct == 0 && bitmap->cr == bitmap->w && bitmap->cb == bitmap->h);
}

/// Whether the rows of a 32-bit `bitmap` lie one after the other in memory, top to bottom,
/// with no gap: as create_bitmap makes them, and as a sub-bitmap narrower than its parent
/// does not have them.
inline bool rowsFollowOneAnother(const BITMAP* bitmap) {
  // Addresses as integers: a bitmap's rows need not share one block for it to be asked.
  const auto address = [bitmap](int y) {
    return reinterpret_cast<std::uintptr_t>(bitmap->line[y]);
  };
  const std::uintptr_t rowBytes = static_cast<std::uintptr_t>(bitmap->w) * sizeof(std::uint32_t);
  for (int y = 1; y < bitmap->h; ++y) {
    if (address(y) != address(y - 1) + rowBytes) {
      return false;
    }
  }
  return true;
}

/// Whether writing `target` and `depthMap` through their rows, at pixels inside them, gives
/// the bits that getpixel and putpixel give:
/// - both are memory bitmaps: a driver's video or system bitmap (the X11 screen is a video
///   bitmap) may need to see every write;
/// - both hold 32-bit pixels, the colours made with makecol are 32-bit ones, and putpixel
///   draws solid, not XOR or translucent;
/// - both have one size: getpixel gives -1 outside the depth map, so nothing outside it is
///   drawn, and a pixel inside the one is then inside the other;
/// - neither clips away a pixel that a row write would reach;
/// - the rows of each follow one another, so that y * w + x finds a pixel in both.
inline bool directRowsAllowed(BITMAP* target, ZBUFFER* depthMap) {
  constexpr int depth32 = 32;
  return is_memory_bitmap(target) && is_memory_bitmap(depthMap) &&
         bitmap_color_depth(target) == depth32 && bitmap_color_depth(depthMap) == depth32 &&
         get_color_depth() == depth32 && _drawing_mode == DRAW_MODE_SOLID &&
         target->w == depthMap->w && target->h == depthMap->h && clipsNothing(target) &&
         clipsNothing(depthMap) && rowsFollowOneAnother(target) && rowsFollowOneAnother(depthMap);
}

inline std::uint32_t* pixelRow(BITMAP* bitmap, int y) {
  return reinterpret_cast<std::uint32_t*>(bitmap->line[y]);
}

inline std::int32_t* depthRow(ZBUFFER* depthMap, int y) {
  return reinterpret_cast<std::int32_t*>(depthMap->line[y]);
}
