// Mouse look, the Space toggle, the per-tick movement keys and the view matrix.
#include "camera/camera.hpp"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cmath>
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

TEST_F(CameraControls, ThePassThatPressesTheRightButtonDoesNotTurn) {
  Camera camera;
  turnCamera(camera, 40, 25, rightButton); // motion made before the press
  EXPECT_EQ(camera.yaw, 0);
  EXPECT_EQ(camera.pitch, 0);
  turnCamera(camera, 3, -2, rightButton);
  EXPECT_EQ(camera.yaw, -3);
  EXPECT_EQ(camera.pitch, 2);
  turnCamera(camera, 7, 7, 0);                        // released
  turnCamera(camera, 9, 9, rightButton | leftButton); // pressed again: armed, not turned
  EXPECT_EQ(camera.yaw, -3);
  EXPECT_EQ(camera.pitch, 2);
}

TEST_F(CameraControls, ThePointerIsHeldWhereItWasBeforeThePressUntilTheRelease) {
  struct Pass {
    int buttons, x, y, placedX, placedY;
  };
  const Pass passes[] = {
      {0, 100, 50, 100, 50},                        // free: left where it is
      {leftButton, 120, 60, 120, 60},               // still free
      {rightButton, 120, 45, 120, 60},              // pressed, a move already taken in
      {rightButton, 135, 30, 120, 60},              // held
      {rightButton | leftButton, 120, 60, 120, 60}, // held, pointer back in place
      {0, 121, 61, 121, 61},                        // released: free again
      {rightButton, 300, 200, 121, 61},             // pressed again
  };
  Camera camera;
  for (const Pass& p : passes) {
    const PointerPlace placed = placePointer(camera, p.buttons, p.x, p.y);
    EXPECT_EQ(placed.x, p.placedX) << "pointer at " << p.x << "," << p.y;
    EXPECT_EQ(placed.y, p.placedY) << "pointer at " << p.x << "," << p.y;
  }
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
    turnCamera(camera, 0, 0, rightButton); // the press
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

/// Orbit to free at (yaw, distance); returns the camera afterwards.
Camera leaveOrbitAt(int yaw, float distance) {
  Camera camera;
  camera.orbitMode = true;
  camera.z = distance;
  camera.yaw = yaw;
  key[KEY_SPACE] = held;
  toggleCameraMode(camera);
  return camera;
}

TEST_F(CameraControls, LeavingOrbitLandsOnTheSixteenSixteenValueNearestTheExactProduct) {
  // Worked out in exact arithmetic: the library's table entry (n / 65536) times the distance
  // as a float holds it, rounded to the nearest 16.16 value. The comments give the exact
  // product where a product first rounded to float lands one 16.16 step away.
  struct Case {
    int yaw;
    float distance;
    std::int64_t x, z; // 16.16
  };
  const Case cases[] = {
      {1, 101.11f, 6624323, 162585},     // cos 65516, sin 1608; x 101.0791443, z 2.4808484
      {1, 37.9f, 2483056, 60943},        // x 37.8884354, not 2483057
      {100, 101.11f, -5122233, 4203749}, // z 64.1441251, not 4203750
      {200, 100.3f, 1282336, -6446983},  // z -98.3731582, not -6446984
      {-70, 100.3f, -964485, -6502148},  // z -99.2149093, not -6502149
      {37, 33.3f, 1342656, 1720444},     // z 26.2518991, not 1720445
      {200, 33.3f, 425740, -2140424},    // x 6.4962843, not 425741
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "yaw " << c.yaw << ", distance " << c.distance);
    const Camera camera = leaveOrbitAt(c.yaw, c.distance);
    EXPECT_EQ(camera.x, fromFixed(c.x));
    EXPECT_EQ(camera.z, fromFixed(c.z));
    EXPECT_EQ(camera.yaw, c.yaw - 64);
  }
}

TEST_F(CameraControls, LeavingOrbitRoundsTheDoubleProductForEveryYaw) {
  // table entry times distance is exact in double (17 + 24 significant bits), so rounding
  // it half away from zero gives the 16.16 value nearest the product
  for (float distance : {0.7f, 37.9f, 101.11f, 255.3f, 1000.01f}) {
    for (int yaw = -255; yaw <= 255; ++yaw) {
      const Camera camera = leaveOrbitAt(yaw, distance);
      const std::int64_t x = std::llround(static_cast<double>(fixcos(yaw * 65536)) * distance);
      const std::int64_t z = std::llround(static_cast<double>(fixsin(yaw * 65536)) * distance);
      ASSERT_EQ(camera.x, fromFixed(x)) << "yaw " << yaw << ", distance " << distance;
      ASSERT_EQ(camera.z, fromFixed(z)) << "yaw " << yaw << ", distance " << distance;
    }
  }
}

TEST_F(CameraControls, MovementKeysPerTick) {
  const float top = fromFixed(saturated);
  constexpr float start = 0.1f; // Q and Z in float arithmetic differ here from a 16.16 step
  ASSERT_NE(start + 4.0f, quantisedStep(start, oneStep));
  constexpr float far = 5000.0f; // float spacing here is coarser than 1/65536: order shows
  const float forwardFirstX = quantisedStep(quantisedStep(far, fourSin(1)), fourSin(65));
  ASSERT_NE(forwardFirstX, quantisedStep(quantisedStep(far, fourSin(65)), fourSin(1)));
  struct Move {
    const char* what;
    bool orbit;
    float x, y, z;
    int yaw, pitch;
    std::initializer_list<int> keys;
    int ticks;
    float endX, endY, endZ;
  };
  const Move moves[] = {
      // Orbit: S adds 4 to the distance; W takes 4 off only while it is positive.
      {"orbit W from 2", true, 0, 0, 2, 0, 0, {KEY_W}, 1, 0, 0, -2},
      {"orbit W from 2, five ticks", true, 0, 0, 2, 0, 0, {KEY_W}, 5, 0, 0, -2},
      {"orbit S from -2", true, 0, 0, -2, 0, 0, {KEY_S}, 1, 0, 0, 2},
      {"orbit S and W from 10", true, 0, 0, 10, 0, 0, {KEY_S, KEY_W}, 1, 0, 0, 10},
      {"orbit S and W from -3", true, 0, 0, -3, 0, 0, {KEY_S, KEY_W}, 1, 0, 0, -3},
      {"orbit W from 0", true, 0, 0, 0, 0, 0, {KEY_W}, 1, 0, 0, 0},
      {"orbit A D Q Z", true, 0, 0, 7, 0, 0, {KEY_A, KEY_D, KEY_Q, KEY_Z}, 3, 0, 0, 7},
      // Free: four units from the origin along the view, sideways and up.
      {"W", false, 0, 0, 0, 0, 0, {KEY_W}, 1, 0, 0, 4},
      {"S", false, 0, 0, 0, 0, 0, {KEY_S}, 1, 0, 0, -4},
      {"A", false, 0, 0, 0, 0, 0, {KEY_A}, 1, 4, 0, 0},
      {"D", false, 0, 0, 0, 0, 0, {KEY_D}, 1, -4, 0, 0},
      {"Q", false, 0, 0, 0, 0, 0, {KEY_Q}, 1, 0, 4, 0},
      {"Z", false, 0, 0, 0, 0, 0, {KEY_Z}, 1, 0, -4, 0},
      {"W at a quarter turn", false, 0, 0, 0, 64, 0, {KEY_W}, 1, 4, 0, 0},
      {"A at a quarter turn", false, 0, 0, 0, 64, 0, {KEY_A}, 1, 0, 0, -4},
      // Q and Z add in float, without the 16.16 quantisation, whatever the pitch.
      {"Q in float", false, 0, start, 0, 0, 40, {KEY_Q}, 1, 0, start + 4.0f, 0},
      {"Z in float", false, 0, start, 0, 0, 40, {KEY_Z}, 1, 0, start - 4.0f, 0},
      // W and A in one tick: forward first.
      {"W and A",
       false,
       far,
       0,
       far,
       1,
       0,
       {KEY_W, KEY_A},
       1,
       forwardFirstX,
       0,
       quantisedStep(quantisedStep(far, fourCos(1)), fourCos(65))},
      // Three ticks are three quantised steps along one direction, and S takes them back.
      {"W three ticks",
       false,
       0,
       0,
       0,
       32,
       16,
       {KEY_W},
       3,
       fromFixed(3 * fourSin(32)),
       fromFixed(3 * fourSin(16)),
       fromFixed(3 * fourCos(32))},
      {"S three ticks back",
       false,
       fromFixed(3 * fourSin(32)),
       fromFixed(3 * fourSin(16)),
       fromFixed(3 * fourCos(32)),
       32,
       16,
       {KEY_S},
       3,
       0,
       0,
       0},
      // Beyond the 16.16 range a step saturates instead of overflowing.
      {"outward from saturated", false, 1e6f, 0, 0, 64, 0, {KEY_W}, 1, top, 0, 0},
      {"outward from saturated below", false, -1e6f, 0, 0, -64, 0, {KEY_W}, 1, -top, 0, 0},
      {"back from the top",
       false,
       top,
       0,
       0,
       -64,
       0,
       {KEY_W},
       1,
       fromFixed(saturated - oneStep),
       0,
       0},
  };
  for (const Move& m : moves) {
    Camera camera;
    camera.orbitMode = m.orbit;
    camera.x = m.x;
    camera.y = m.y;
    camera.z = m.z;
    camera.yaw = m.yaw;
    camera.pitch = m.pitch;
    tick(camera, m.keys, m.ticks);
    EXPECT_EQ(camera.x, m.endX) << m.what;
    EXPECT_EQ(camera.y, m.endY) << m.what;
    EXPECT_EQ(camera.z, m.endZ) << m.what;
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
