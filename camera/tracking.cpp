// Re-aiming the camera at the selected funnie's head.
#include "camera/tracking.hpp"

#include "numeric/binary_angle.hpp"
#include "numeric/vector_angle.hpp"

void trackSelectedFunnie(Camera& camera, const Funnie* selected) {
  if (selected == nullptr) {
    return;
  }
  const FunnieSegment& head = selected->segments[0];

  const float dx = head.x - camera.x;
  const float dy = head.y - camera.y;
  const float dz = head.z - camera.z;
  camera.yaw = vectorAngle(dz, dx); // the free camera's front is (s(yaw), ., c(yaw))
  // The horizontal distance is held in single precision, like the coordinates it comes from.
  const float horizontal = static_cast<float>(hypotenuse(dz, dx));
  camera.pitch = vectorAngle(horizontal, dy);
  if (dy < 0) {
    camera.pitch -= fullTurn;
  }
}
