// A cleared 320 x 200 render buffer with its empty depth map, and colour comparison by
// components, for the rasteriser and renderer tests.
#pragma once

#include "render/pixel_path.hpp"

#include <allegro.h>
#include <gtest/gtest.h>

#include <ostream>
#include <utility>

constexpr int bufferWidth = 320;
constexpr int bufferHeight = 200;

struct Rgb {
  int red, green, blue;
  bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << '(' << c.red << ", " << c.green << ", " << c.blue << ')';
}

inline Rgb rgbOf(int pixel) {
  return Rgb{getr32(pixel), getg32(pixel), getb32(pixel)};
}

class RenderBuffer : public ::testing::Test {
protected:
  void SetUp() override {
    target = create_bitmap(bufferWidth, bufferHeight);
    clear_to_color(target, makecol(0, 0, 0));
    depthMap = create_zbuffer(target);
    clear_zbuffer(depthMap, 0);
  }

  void TearDown() override {
    destroy_zbuffer(depthMap);
    destroy_bitmap(target);
  }

  Rgb colourAt(int x, int y) const { return rgbOf(getpixel(target, x, y)); }
  bool drawnAt(int x, int y) const { return !(colourAt(x, y) == Rgb{0, 0, 0}); }
  int depthAt(int x, int y) const { return getpixel(depthMap, x, y); }

  /// Pixels that no longer show `background`.
  int countOtherThan(Rgb background) const {
    int count = 0;
    for (int y = 0; y < bufferHeight; ++y) {
      for (int x = 0; x < bufferWidth; ++x) {
        count += colourAt(x, y) == background ? 0 : 1;
      }
    }
    return count;
  }
  int drawnCount() const { return countOtherThan(Rgb{0, 0, 0}); }

  /// First drawn column of row y within [from, to) and how many are drawn there.
  std::pair<int, int> drawnInRow(int y, int from = 0, int to = bufferWidth) const {
    int first = -1;
    int count = 0;
    for (int x = from; x < to; ++x) {
      if (drawnAt(x, y)) {
        first = first < 0 ? x : first;
        ++count;
      }
    }
    return {first, count};
  }

  BITMAP* target = nullptr;
  ZBUFFER* depthMap = nullptr;
};

/// The renderers must behave the same whichever way they write their pixels.
class RenderBufferOnEachPath : public RenderBuffer,
                               public ::testing::WithParamInterface<PixelPath> {};

inline const char* pathName(const ::testing::TestParamInfo<PixelPath>& info) {
  return info.param == PixelPath::fast ? "fast" : "reference";
}
