// Hostile camera states and random shapes: whatever the user or the numbers do, drawing stays
// inside the bitmaps and free of undefined behaviour (the sanitizer build runs these too), and
// both pixel paths write the same bits.
#include "bitmap_bits.hpp"
#include "camera/camera.hpp"
#include "render/circle.hpp"
#include "render/depth_plot.hpp"
#include "render/direct_rows.hpp"
#include "render/fast_circle.hpp"
#include "render/funnie_renderer.hpp"
#include "render/particle_renderer.hpp"
#include "sim/funnie.hpp"
#include "sim/particle.hpp"
#include "steady_swarm.hpp"

#include <gtest/gtest.h>

#include <random>

namespace {

/// One frame's surfaces: a render buffer of odd size and its depth map.
struct Surfaces {
  BITMAP* buffer;
  ZBUFFER* depthMap;
};

class HostileCamera : public ::testing::Test {
protected:
  void SetUp() override {
    funnies = steadySwarm(99, 64);
    for (Surfaces& s : surfaces) {
      s.buffer = create_bitmap(317, 203); // odd sizes
      s.depthMap = create_zbuffer(s.buffer);
    }
  }
  void TearDown() override {
    for (Surfaces& s : surfaces) {
      destroy_zbuffer(s.depthMap);
      destroy_bitmap(s.buffer);
    }
    releaseSwarm(funnies);
    key[KEY_W] = key[KEY_S] = key[KEY_A] = key[KEY_Q] = 0;
  }
  /// Draws the frame on the reference path and on the fast path, and compares every bit.
  void drawBothPaths(Camera& camera) {
    normaliseAngles(camera);
    buildViewMatrix(camera);
    const PixelPath paths[] = {PixelPath::reference, PixelPath::fast};
    for (int i = 0; i < 2; ++i) {
      clear_to_color(surfaces[i].buffer, makecol(0, 0, 64));
      clear_zbuffer(surfaces[i].depthMap, 0);
      renderFunnies(funnies, surfaces[i].buffer, surfaces[i].depthMap, camera.viewMatrix, paths[i]);
      renderParticles(surfaces[i].buffer, surfaces[i].depthMap, camera.viewMatrix, paths[i]);
      EXPECT_EQ(surfaces[i].buffer->clip, -1);
    }
    EXPECT_TRUE(sameBits(surfaces[0].buffer, surfaces[1].buffer));
    EXPECT_TRUE(sameBits(surfaces[0].depthMap, surfaces[1].depthMap));
  }
  Funnie* funnies = nullptr;
  Surfaces surfaces[2] = {};
};

TEST_F(HostileCamera, FarFlightSaturatesAndStillDraws) {
  Camera camera;
  camera.x = 1e7f;
  camera.z = -1e7f;
  camera.yaw = 32;
  key[KEY_W] = key[KEY_A] = -1;
  for (int tick = 0; tick < 50; ++tick) {
    applyMovementKeys(camera);
  }
  EXPECT_LE(camera.x, 32768.0f);
  EXPECT_GE(camera.z, -32768.0f);
  drawBothPaths(camera);
}

TEST_F(HostileCamera, ExtremeOrbitDistancesAndAnglesDraw) {
  for (float distance : {-1e30f, -5.0f, 0.0f, 1e-30f, 3.0f, 1e30f}) {
    for (int mickeys : {-100000, 100000}) {
      SCOPED_TRACE(testing::Message() << "distance " << distance << ", mickeys " << mickeys);
      Camera camera;
      camera.orbitMode = true;
      camera.z = distance;
      turnCamera(camera, 0, 0, 2); // the press
      turnCamera(camera, mickeys, mickeys, 2);
      EXPECT_LE(camera.pitch, 63);
      EXPECT_GE(camera.pitch, -63);
      EXPECT_GT(camera.yaw, -256);
      EXPECT_LT(camera.yaw, 256);
      drawBothPaths(camera);
    }
  }
}

/// Plot routine that counts the pixels handed over outside the bitmap.
int outsidePlots = 0;
void countOutside(BITMAP* target, int x, int y, int) {
  if (x < 0 || y < 0 || x >= target->w || y >= target->h) {
    ++outsidePlots;
  }
}

enum class Box { outside, inside, crossing };

/// How many of the whole numbers first..last lie in from..to - 1.
int overlap(int first, int last, int from, int to) {
  int count = 0;
  for (int v = first; v <= last; ++v) {
    count += v >= from && v < to ? 1 : 0;
  }
  return count;
}

/// Where the circle's box, one pixel of margin around it, lies against the clip rectangle,
/// found by counting its columns and rows inside the rectangle.
Box boxByCounting(const BITMAP* target, int x, int y, int radius) {
  const int side = 2 * radius + 3;
  const int columns = overlap(x - radius - 1, x + radius + 1, target->cl, target->cr);
  const int rows = overlap(y - radius - 1, y + radius + 1, target->ct, target->cb);
  if (columns == 0 || rows == 0) {
    return Box::outside;
  }
  return columns == side && rows == side ? Box::inside : Box::crossing;
}

/// A depth map of stripes and empty cells, so that circles win some pixels and lose others.
void fillDepthPattern(ZBUFFER* depthMap) {
  for (int y = 0; y < depthMap->h; ++y) {
    for (int x = 0; x < depthMap->w; ++x) {
      putpixel(depthMap, x, y, (x * 7 + y * 13) % 40);
    }
  }
}

TEST(RandomCircles, ClipFlagAndBoundsFollowTheRules) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> centre(-60, 260), radius(0, 80), size(1, 200);
  for (int n = 0; n < 2000; ++n) {
    BITMAP* target = create_bitmap(size(random), size(random));
    const bool clipOn = n % 2 == 0;
    set_clip_state(target, clipOn);
    const int x = centre(random), y = centre(random), r = radius(random);
    SCOPED_TRACE(testing::Message() << target->w << "x" << target->h << ", clip " << clipOn
                                    << ", centre " << x << ", " << y << ", radius " << r);
    const Box box = boxByCounting(target, x, y, r);
    outsidePlots = 0;
    fillCircle(target, x, y, r, 1, countOutside);
    if (!clipOn) {
      EXPECT_EQ(target->clip, 0);
    } else {
      EXPECT_EQ(target->clip, box == Box::outside ? 1 : -1); // culled: left as it was
      if (box != Box::crossing) {
        EXPECT_EQ(outsidePlots, 0);
      }
    }
    destroy_bitmap(target);
  }
}

TEST(RandomCircles, BothPathsWriteTheSameBits) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> centre(-60, 180), radius(0, 60), size(1, 120), depth(0, 45);
  for (int n = 0; n < 600; ++n) {
    const int w = size(random), h = size(random);
    const int x = centre(random), y = centre(random), r = radius(random);
    const int circleDepth = depth(random);
    const bool clipOn = n % 3 != 0;
    SCOPED_TRACE(testing::Message() << w << "x" << h << ", clip " << clipOn << ", centre " << x
                                    << ", " << y << ", radius " << r << ", depth " << circleDepth);
    BITMAP* targets[2];
    ZBUFFER* depthMaps[2];
    for (int i = 0; i < 2; ++i) {
      targets[i] = create_bitmap(w, h);
      clear_to_color(targets[i], makecol(10, 20, 30));
      set_clip_state(targets[i], clipOn);
      depthMaps[i] = create_zbuffer(targets[i]);
      fillDepthPattern(depthMaps[i]);
      currentDepthMap = depthMaps[i];
      currentDepth = circleDepth;
      if (i == 0) {
        fillCircle(targets[i], x, y, r, makecol(200, 150, 100), depthTestedPlot);
      } else {
        ASSERT_TRUE(directRowsAllowed(targets[i], depthMaps[i]));
        fillDepthTestedCircle(targets[i], x, y, r, makecol(200, 150, 100));
      }
    }
    EXPECT_EQ(targets[0]->clip, targets[1]->clip);
    EXPECT_TRUE(sameBits(targets[0], targets[1]));
    EXPECT_TRUE(sameBits(depthMaps[0], depthMaps[1]));
    for (int i = 0; i < 2; ++i) {
      destroy_zbuffer(depthMaps[i]);
      destroy_bitmap(targets[i]);
    }
  }
}

} // namespace
