// A 320 x 200 render buffer with its depth map, both cleared, for the rendering tests.
#pragma once

#include "render/pixel_path.hpp"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>

constexpr int bufferWidth = 320;
constexpr int bufferHeight = 200;

struct Rgb {
  int red, green, blue;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
};

constexpr Rgb background{0, 0, 0};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << '(' << c.red << ", " << c.green << ", " << c.blue << ')';
}

class RenderBuffer : public ::testing::Test {
protected:
  void SetUp() override {
    target = create_bitmap(bufferWidth, bufferHeight);
    depthMap = create_zbuffer(target);
    clearBuffers();
  }

  void clearBuffers() {
    clear_to_color(target, makecol32(background.red, background.green, background.blue));
    clear_zbuffer(depthMap, 0);
  }

  void TearDown() override {
    destroy_zbuffer(depthMap);
    destroy_bitmap(target);
  }

  Rgb colourAt(int x, int y) const {
    const int pixel = getpixel(target, x, y);
    return Rgb{getr32(pixel), getg32(pixel), getb32(pixel)};
  }

  /// Something other than the black background was written there.
  bool drawnAt(int x, int y) const { return !(colourAt(x, y) == background); }

  int depthAt(int x, int y) const { return getpixel(depthMap, x, y); }

  int drawnPixelCount() const {
    int count = 0;
    for (int y = 0; y < bufferHeight; ++y) {
      for (int x = 0; x < bufferWidth; ++x) {
        count += drawnAt(x, y) ? 1 : 0;
      }
    }
    return count;
  }

  /// The drawn columns of one row, as first and one past the last (equal when none).
  std::pair<int, int> drawnColumns(int y) const {
    int first = bufferWidth;
    int end = 0;
    for (int x = 0; x < bufferWidth; ++x) {
      if (drawnAt(x, y)) {
        first = std::min(first, x);
        end = x + 1;
      }
    }
    return first < end ? std::make_pair(first, end) : std::make_pair(0, 0);
  }

  BITMAP* target = nullptr;
  ZBUFFER* depthMap = nullptr;
};

/// Both ways of writing pixels must show the same behaviour.
class RenderBufferOnEachPath : public RenderBuffer,
                               public ::testing::WithParamInterface<PixelPath> {};

inline std::string pathName(const ::testing::TestParamInfo<PixelPath>& info) {
  return info.param == PixelPath::fast ? "fast" : "reference";
}
