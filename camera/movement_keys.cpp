// The per-tick movement keys. Free-mode steps go through 16.16, so positions are quantised
// to 1/65536; Q and Z add in plain float.
#include "camera/camera.hpp"

#include "numeric/binary_angle.hpp"

namespace {

constexpr float step = 4.0f;
constexpr int fixedStepFactor = 4;

/// v <- fixtof(ftofix(v) + k); a coordinate already saturated by floatToFixed stays saturated
/// rather than overflowing.
void fixedStep(float& coordinate, fixed amount) {
  coordinate = fixedToFloat(saturatingAdd(floatToFixed(coordinate), amount));
}

/// The horizontal part of a step: x by sign*4*s(heading), then z by sign*4*c(heading).
void stepHorizontally(Camera& camera, int heading, int sign) {
  fixedStep(camera.x, sign * fixedStepFactor * sinOfAngle(heading));
  fixedStep(camera.z, sign * fixedStepFactor * cosOfAngle(heading));
}

/// Forward (sign +1) or back along the unnormalised front vector (s(yaw), s(pitch), c(yaw)).
void stepAlongView(Camera& camera, int sign) {
  stepHorizontally(camera, camera.yaw, sign);
  fixedStep(camera.y, sign * fixedStepFactor * sinOfAngle(camera.pitch));
}

void moveInOrbit(Camera& camera) {
  if (key[KEY_S]) {
    camera.z += step;
  }
  if (key[KEY_W] && camera.z > 0) {
    camera.z -= step;
  }
}

void moveFreely(Camera& camera) {
  const int sideways = camera.yaw + quarterTurn;
  if (key[KEY_W]) {
    stepAlongView(camera, +1);
  }
  if (key[KEY_S]) {
    stepAlongView(camera, -1);
  }
  if (key[KEY_A]) {
    stepHorizontally(camera, sideways, +1);
  }
  if (key[KEY_D]) {
    stepHorizontally(camera, sideways, -1);
  }
  if (key[KEY_Q]) {
    camera.y += step;
  }
  if (key[KEY_Z]) {
    camera.y -= step;
  }
}

} // namespace

void applyMovementKeys(Camera& camera) {
  if (camera.orbitMode) {
    moveInOrbit(camera);
  } else {
    moveFreely(camera);
  }
}
