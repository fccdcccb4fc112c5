// Hostile camera states and random shapes: whatever the user or the numbers do, drawing stays
// inside the bitmaps and free of undefined behaviour (the sanitizer build runs these too).
#include "camera/camera.hpp"
#include "render/circle.hpp"
#include "render/depth_plot.hpp"
#include "render/funnie_renderer.hpp"
#include "render/particle_renderer.hpp"
#include "sim/funnie.hpp"
#include "sim/particle.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

class HostileCamera : public ::testing::Test {
protected:
  void SetUp() override {
    std::srand(99);
    resetParticles();
    funnies = createFunnies(64);
    for (int tick = 0; tick < 120; ++tick) {
      updateFunnies(funnies);
      updateParticles();
    }
    buffer = create_bitmap(317, 203); // odd sizes
    depthMap = create_zbuffer(buffer);
  }
  void TearDown() override {
    destroy_zbuffer(depthMap);
    destroy_bitmap(buffer);
    deleteFunnies(funnies);
    deleteParticles();
    key[KEY_W] = key[KEY_S] = key[KEY_A] = key[KEY_Q] = 0;
  }
  void drawBothPaths(Camera& camera) {
    normaliseAngles(camera);
    buildViewMatrix(camera);
    for (PixelPath path : {PixelPath::reference, PixelPath::fast}) {
      clear_zbuffer(depthMap, 0);
      renderFunnies(funnies, buffer, depthMap, camera.viewMatrix, path);
      renderParticles(buffer, depthMap, camera.viewMatrix, path);
      EXPECT_EQ(buffer->clip, -1);
    }
  }
  Funnie* funnies = nullptr;
  BITMAP* buffer = nullptr;
  ZBUFFER* depthMap = nullptr;
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

TEST(RandomCircles, ClipFlagAndBoundsFollowTheRules) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> centre(-60, 260), radius(0, 80), size(1, 200);
  for (int n = 0; n < 2000; ++n) {
    BITMAP* target = create_bitmap(size(random), size(random));
    ZBUFFER* depthMap = create_zbuffer(target);
    clear_zbuffer(depthMap, 0);
    const bool clipOn = n % 2 == 0;
    set_clip_state(target, clipOn);
    const int x = centre(random), y = centre(random), r = radius(random);
    outsidePlots = 0;
    fillCircle(target, x, y, r, 1, countOutside);
    const CircleBox box = placeCircleBox(target, x, y, r);
    if (!clipOn) {
      EXPECT_EQ(target->clip, 0);
    } else {
      EXPECT_EQ(target->clip, box == CircleBox::outside ? 1 : -1); // culled: left as it was
      if (box != CircleBox::crossing) {
        EXPECT_EQ(outsidePlots, 0);
      }
      currentDepthMap = depthMap;
      currentDepth = 5;
      fillCircle(target, x, y, r, 1, depthTestedPlot); // ASan would catch a write outside
    }
    destroy_zbuffer(depthMap);
    destroy_bitmap(target);
  }
}

} // namespace
