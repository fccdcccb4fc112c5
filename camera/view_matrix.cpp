// The view matrix of a pass: a rotation about the origin in orbit mode, the library's camera
// matrix in free mode.
#include "camera/camera.hpp"

#include "numeric/binary_angle.hpp"

namespace {

constexpr float fieldOfView = 64.0f; // binary-angle units: a quarter turn
constexpr float aspectRatio = 1.0f;

} // namespace

void buildViewMatrix(Camera& camera) {
  if (camera.orbitMode) {
    get_transformation_matrix_f(&camera.viewMatrix, 1.0f, static_cast<float>(camera.pitch),
                                static_cast<float>(camera.yaw), 0.0f, camera.x, camera.y, camera.z);
    return;
  }
  // The front vector is left unnormalised: the library normalises it.
  const float frontX = fixedToFloat(sinOfAngle(camera.yaw));
  const float frontY = fixedToFloat(sinOfAngle(camera.pitch));
  const float frontZ = fixedToFloat(cosOfAngle(camera.yaw));
  const float upY = fixedToFloat(cosOfAngle(camera.pitch));
  get_camera_matrix_f(&camera.viewMatrix, camera.x, camera.y, camera.z, frontX, frontY, frontZ,
                      0.0f, upY, 0.0f, fieldOfView, aspectRatio);
}
