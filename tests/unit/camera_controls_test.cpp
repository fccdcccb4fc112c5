// Mouse look, the Space toggle, the per-tick movement keys and the view matrix.
#include "camera/camera.hpp"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

namespace {

constexpr int rightButton = 2;
constexpr int leftButton = 1;
constexpr char held = -1; // what the library stores for a key that is down
constexpr std::int64_t oneStep = std::int64_t{4} * 65536;
constexpr std::int64_t saturated = 0x7FFFFFFF;

/// Float to 16.16 the way the library converts: saturation beyond 32767, then rounding half
/// away from zero.
std::int64_t toFixed(float v) {
  if (v > 32767.0f) {
    return saturated;
  }
  if (v < -32767.0f) {
    return -saturated;
  }
  return static_cast<std::int64_t>(v * 65536.0 + (v < 0 ? -0.5 : 0.5));
}

float fromFixed(std::int64_t f) {
  return static_cast<float>(static_cast<double>(f) / 65536.0);
}

/// One quantised step of v by the 16.16 amount k.
float quantisedStep(float v, std::int64_t k) {
  return fromFixed(toFixed(v) + k);
}

/// Four times the library's sine and cosine table entries of a binary angle.
std::int64_t fourSin(int angle) {
  return 4LL * fixsin(angle * 65536);
}
std::int64_t fourCos(int angle) {
  return 4LL * fixcos(angle * 65536);
}

class CameraControls : public ::testing::Test {
protected:
  void SetUp() override { releaseAllKeys(); }
  void TearDown() override { releaseAllKeys(); }

  static void releaseAllKeys() {
    for (int i = 0; i < KEY_MAX; ++i) {
      key[i] = 0;
    }
  }

  /// Holds `keys` for `ticks` ticks, then lets them go.
  static void tick(Camera& camera, std::initializer_list<int> keys, int ticks = 1) {
    for (int k : keys) {
      key[k] = held;
    }
    for (int i = 0; i < ticks; ++i) {
      applyMovementKeys(camera);
    }
    releaseAllKeys();
  }
};

TEST_F(CameraControls, MouseMovementWithoutTheRightButtonIsThrownAway) {
  Camera camera;
  camera.yaw = 20;
  camera.pitch = 10;
  turnCamera(camera, 50, -30, 0);
  turnCamera(camera, 50, -30, leftButton);
  turnCamera(camera, 0, 0, rightButton); // nothing was saved up to be applied now
  EXPECT_EQ(camera.yaw, 20);
  EXPECT_EQ(camera.pitch, 10);
}

TEST_F(CameraControls, RightButtonTurnsOneUnitPerMickeyAndClampsPitch) {
  struct Case {
    int mx, my, yaw, pitch;
  };
  const Case cases[] = {
      {0, -200, 0, 63},                   // 200 mickeys up
      {0, 200, 0, -63},                   // 200 mickeys down
      {10, 0, -10, 0},                    // moving right lowers yaw
      {-7, 5, 7, -5},   {-300, 0, 44, 0}, // reduced in the same call
  };
  for (const Case& c : cases) {
    Camera camera;
    turnCamera(camera, c.mx, c.my, rightButton | leftButton);
    EXPECT_EQ(camera.yaw, c.yaw) << "mx " << c.mx;
    EXPECT_EQ(camera.pitch, c.pitch) << "my " << c.my;
  }
}

TEST_F(CameraControls, YawKeepsItsSignAndPitchStaysInsideAQuarterTurn) {
  struct Case {
    int yaw, pitch, reducedYaw, clampedPitch;
  };
  const Case cases[] = {
      {-300, 0, -44, 0},   {256, 63, 0, 63},     {-10, -63, -10, -63},     {300, 64, 44, 63},
      {-256, -64, 0, -63}, {255, 1000, 255, 63}, {-511, -1000, -255, -63},
  };
  for (const Case& c : cases) {
    Camera camera;
    camera.yaw = c.yaw;
    camera.pitch = c.pitch;
    normaliseAngles(camera);
    EXPECT_EQ(camera.yaw, c.reducedYaw) << "yaw " << c.yaw;
    EXPECT_EQ(camera.pitch, c.clampedPitch) << "pitch " << c.pitch;
  }
}

TEST_F(CameraControls, SpaceTogglesOncePerPress) {
  Camera camera;
  key[KEY_SPACE] = held;
  for (int frame = 0; frame < 20; ++frame) {
    toggleCameraMode(camera);
    ASSERT_TRUE(camera.orbitMode) << "frame " << frame;
  }
  key[KEY_SPACE] = 0;
  toggleCameraMode(camera);
  EXPECT_TRUE(camera.orbitMode);
  key[KEY_SPACE] = held;
  for (int frame = 0; frame < 20; ++frame) {
    toggleCameraMode(camera);
    ASSERT_FALSE(camera.orbitMode) << "frame " << frame;
  }
}

TEST_F(CameraControls, SwitchingModesKeepsTheDistanceFromTheOrigin) {
  Camera free;
  free.x = 3.0f;
  free.y = 4.0f;
  key[KEY_SPACE] = held;
  toggleCameraMode(free);
  EXPECT_TRUE(free.orbitMode);
  EXPECT_EQ(free.x, 0.0f);
  EXPECT_EQ(free.y, 0.0f);
  EXPECT_FLOAT_EQ(free.z, 5.0f);

  struct Case {
    int yaw;
    float x, z;
    int newYaw;
  };
  // The camera lands at (d cos yaw, 0, d sin yaw) and turns back a quarter turn.
  const Case cases[] = {{0, 5.0f, 0.0f, -64}, {64, 0.0f, 5.0f, 0}, {128, -5.0f, 0.0f, 64}};
  for (const Case& c : cases) {
    Camera orbit;
    orbit.orbitMode = true;
    orbit.z = 5.0f;
    orbit.yaw = c.yaw;
    toggleCameraMode(orbit);
    EXPECT_FALSE(orbit.orbitMode);
    EXPECT_EQ(orbit.x, c.x) << "yaw " << c.yaw;
    EXPECT_EQ(orbit.y, 0.0f);
    EXPECT_EQ(orbit.z, c.z) << "yaw " << c.yaw;
    EXPECT_EQ(orbit.yaw, c.newYaw);
  }
}

TEST_F(CameraControls, OrbitDistanceShrinksOnlyWhilePositive) {
  struct Case {
    float z;
    std::initializer_list<int> keys;
    int ticks;
    float result;
  };
  const Case cases[] = {
      {2.0f, {KEY_W}, 1, -2.0f},
      {2.0f, {KEY_W}, 5, -2.0f},
      {-2.0f, {KEY_S}, 1, 2.0f},
      {10.0f, {KEY_S, KEY_W}, 1, 10.0f},
      {-3.0f, {KEY_S, KEY_W}, 1, -3.0f},
      {0.0f, {KEY_W}, 1, 0.0f},
      {7.0f, {KEY_A, KEY_D, KEY_Q, KEY_Z}, 3, 7.0f},
  };
  for (const Case& c : cases) {
    Camera camera;
    camera.orbitMode = true;
    camera.z = c.z;
    tick(camera, c.keys, c.ticks);
    EXPECT_EQ(camera.z, c.result) << "from " << c.z;
    EXPECT_EQ(camera.x, 0.0f);
    EXPECT_EQ(camera.y, 0.0f);
  }
}

TEST_F(CameraControls, EachFreeKeyMovesFourUnitsFromTheOrigin) {
  struct Case {
    int keyCode, yaw;
    float x, y, z;
  };
  const Case cases[] = {
      {KEY_W, 0, 0, 0, 4}, {KEY_S, 0, 0, 0, -4}, {KEY_A, 0, 4, 0, 0},  {KEY_D, 0, -4, 0, 0},
      {KEY_Q, 0, 0, 4, 0}, {KEY_Z, 0, 0, -4, 0}, {KEY_W, 64, 4, 0, 0}, {KEY_A, 64, 0, 0, -4},
  };
  for (const Case& c : cases) {
    Camera camera;
    camera.yaw = c.yaw;
    tick(camera, {c.keyCode});
    EXPECT_EQ(camera.x, c.x) << "key " << c.keyCode << " yaw " << c.yaw;
    EXPECT_EQ(camera.y, c.y) << "key " << c.keyCode << " yaw " << c.yaw;
    EXPECT_EQ(camera.z, c.z) << "key " << c.keyCode << " yaw " << c.yaw;
  }
}

TEST_F(CameraControls, ForwardAndSidewaysInOneTickApplyForwardFirst) {
  Camera camera;
  camera.yaw = 1;
  camera.x = 5000.0f; // float spacing here is coarser than 1/65536, so the order shows
  camera.z = 5000.0f;
  tick(camera, {KEY_W, KEY_A});
  const float forwardFirstX = quantisedStep(quantisedStep(5000.0f, fourSin(1)), fourSin(65));
  const float forwardFirstZ = quantisedStep(quantisedStep(5000.0f, fourCos(1)), fourCos(65));
  ASSERT_NE(forwardFirstX, quantisedStep(quantisedStep(5000.0f, fourSin(65)), fourSin(1)));
  EXPECT_EQ(camera.x, forwardFirstX);
  EXPECT_EQ(camera.z, forwardFirstZ);
  EXPECT_EQ(camera.y, 0.0f);
}

TEST_F(CameraControls, QAndZAddInFloatWithoutQuantising) {
  constexpr float start = 0.1f;
  ASSERT_NE(start + 4.0f, quantisedStep(start, oneStep)); // the two ways are told apart
  for (int pitch : {0, 40}) {
    Camera camera;
    camera.y = start;
    camera.pitch = pitch;
    tick(camera, {KEY_Q});
    EXPECT_EQ(camera.y, start + 4.0f);
    camera.y = start;
    tick(camera, {KEY_Z});
    EXPECT_EQ(camera.y, start - 4.0f);
  }
}

TEST_F(CameraControls, ThreeTicksMakeThreeQuantisedSteps) {
  Camera camera;
  camera.yaw = 32;
  camera.pitch = 16;
  tick(camera, {KEY_W}, 3);
  EXPECT_EQ(camera.x, fromFixed(3 * fourSin(32)));
  EXPECT_EQ(camera.y, fromFixed(3 * fourSin(16)));
  EXPECT_EQ(camera.z, fromFixed(3 * fourCos(32)));
  tick(camera, {KEY_S}, 3);
  EXPECT_EQ(camera.x, 0.0f);
  EXPECT_EQ(camera.y, 0.0f);
  EXPECT_EQ(camera.z, 0.0f);
}

TEST_F(CameraControls, AStepBeyondTheFixedRangeSaturates) {
  const float top = fromFixed(saturated);
  struct Case {
    float x;
    int yaw;
    float result;
  };
  const Case cases[] = {
      {1e6f, 64, top},                            // outward from an already saturated value
      {-1e6f, -64, -top},                         // the same below
      {top, -64, fromFixed(saturated - oneStep)}, // back towards zero
  };
  for (const Case& c : cases) {
    Camera camera;
    camera.x = c.x;
    camera.yaw = c.yaw;
    tick(camera, {KEY_W});
    EXPECT_EQ(camera.x, c.result) << "from " << c.x << " yaw " << c.yaw;
  }
}

TEST_F(CameraControls, ViewMatrixPutsTheLookedAtPointOnTheViewAxis) {
  struct Case {
    bool orbit;
    int yaw, pitch;
    float cx, cy, cz, px, py, pz, depth;
  };
  const Case cases[] = {
      {false, 0, 0, 0, 0, 0, 0, 0, 10, 10},    // free, looking along +z
      {false, 64, 0, 0, 0, 0, 10, 0, 0, 10},   // free, a quarter turn: along +x
      {false, 0, 0, 0, 0, -10, 0, 0, 0, 10},   // free, the origin ahead
      {true, 0, 0, 0, 0, 100, 0, 0, 0, 100},   // orbit at distance 100
      {true, 40, 20, 0, 0, 100, 0, 0, 0, 100}, // the rotation leaves the origin in place
  };
  for (const Case& c : cases) {
    Camera camera;
    camera.orbitMode = c.orbit;
    camera.yaw = c.yaw;
    camera.pitch = c.pitch;
    camera.x = c.cx;
    camera.y = c.cy;
    camera.z = c.cz;
    buildViewMatrix(camera);
    float x = 1.0f;
    float y = 1.0f;
    float z = 0.0f;
    apply_matrix_f(&camera.viewMatrix, c.px, c.py, c.pz, &x, &y, &z);
    EXPECT_NEAR(x, 0.0f, 1e-4f) << "orbit " << c.orbit << " yaw " << c.yaw;
    EXPECT_NEAR(y, 0.0f, 1e-4f) << "orbit " << c.orbit << " yaw " << c.yaw;
    EXPECT_NEAR(z, c.depth, 1e-3f) << "orbit " << c.orbit << " yaw " << c.yaw;
  }
}

TEST_F(CameraControls, ASpacePressShowsInThatFramesViewMatrix) {
  Camera camera;
  camera.x = 60.0f;
  camera.z = 80.0f;
  key[KEY_SPACE] = held;
  toggleCameraMode(camera);
  buildViewMatrix(camera);
  float x = 1.0f;
  float y = 1.0f;
  float z = 0.0f;
  apply_matrix_f(&camera.viewMatrix, 0.0f, 0.0f, 0.0f, &x, &y, &z);
  EXPECT_NEAR(z, 100.0f, 1e-3f); // orbiting at the distance the free camera had
}

} // namespace
