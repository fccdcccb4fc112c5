// The Space toggle between the free-flying and the orbit camera.
#include "camera/camera.hpp"

#include "numeric/binary_angle.hpp"

namespace {

/// Orbit to free: the camera lands at (d cos yaw, 0, d sin yaw), through 16.16, and turns
/// back a quarter turn. fixtof's double times the float distance is a double product, which
/// floatToFixed rounds to the nearest 16.16 value; a float product would miss it by 1/65536 for
/// many orbits.
void leaveOrbit(Camera& camera) {
  const float distance = camera.z;
  camera.orbitMode = false;
  camera.x = fixedToFloat(floatToFixed(fixtof(cosOfAngle(camera.yaw)) * distance));
  camera.z = fixedToFloat(floatToFixed(fixtof(sinOfAngle(camera.yaw)) * distance));
  camera.yaw -= quarterTurn;
}

/// Free to orbit: the distance from the origin becomes the orbit distance.
void enterOrbit(Camera& camera) {
  camera.orbitMode = true;
  camera.z = vector_length_f(camera.x, camera.y, camera.z);
  camera.x = 0.0f;
  camera.y = 0.0f;
}

} // namespace

void toggleCameraMode(Camera& camera) {
  if (!key[KEY_SPACE]) {
    camera.spaceHeld = false;
    return;
  }
  if (camera.spaceHeld) {
    return;
  }
  camera.spaceHeld = true;
  if (camera.orbitMode) {
    leaveOrbit(camera);
  } else {
    enterOrbit(camera);
  }
}
