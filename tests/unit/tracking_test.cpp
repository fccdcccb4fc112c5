// Re-aiming the camera at the selected funnie's head.
#include "camera/tracking.hpp"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr unsigned seed = 99;

class Tracking : public ::testing::Test {
protected:
  void SetUp() override {
    std::srand(seed);
    selected = new Funnie(nullptr);
  }

  void TearDown() override { deleteFunnies(selected); }

  void putHeadAt(float x, float y, float z) { selected->segments[0] = FunnieSegment{x, y, z}; }

  Funnie* selected = nullptr;
};

TEST_F(Tracking, AimsTheCameraAtTheHead) {
  struct Case {
    float cx, cy, cz, hx, hy, hz;
    int yaw, pitch;
  };
  const Case cases[] =
      {
          {0, 0, 0, 100, 0, 0, 64, 0},       {0, 0, 0, 0, 100, 0, 0, 64},
          {0, 0, 0, 0, -100, 0, 0, -64},     {0, 0, 0, 0, -30, 40, 0, -27},
          {0, 0, 0, 0, 30, 40, 0, 26},       // atan(3/4) = 26.2 units, upwards
          {0, 0, 100, 0, 0, 0, 128, 0},      // orbit camera looking back at the origin
          {10, 5, -20, -90, 5, -20, 192, 0}, // measured from the camera, not the origin
      };
  for (const Case& c : cases) {
    Camera camera;
    camera.x = c.cx;
    camera.y = c.cy;
    camera.z = c.cz;
    putHeadAt(c.hx, c.hy, c.hz);
    trackSelectedFunnie(camera, selected);
    EXPECT_EQ(camera.yaw, c.yaw) << "head " << c.hx << "," << c.hy << "," << c.hz;
    EXPECT_EQ(camera.pitch, c.pitch) << "head " << c.hx << "," << c.hy << "," << c.hz;
  }
}

TEST_F(Tracking, StraightUpIsClampedByTheNextFramesNormalisation) {
  Camera camera;
  putHeadAt(0, 100, 0);
  trackSelectedFunnie(camera, selected);
  normaliseAngles(camera);
  EXPECT_EQ(camera.pitch, 63);
}

TEST_F(Tracking, WithoutASelectionNothingChanges) {
  Camera camera;
  camera.yaw = -44;
  camera.pitch = 17;
  camera.z = 3.0f;
  trackSelectedFunnie(camera, nullptr);
  EXPECT_EQ(camera.yaw, -44);
  EXPECT_EQ(camera.pitch, 17);
}

} // namespace
