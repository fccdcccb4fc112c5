// Mouse look: one mickey turns the camera by one binary-angle unit while the right button is
// held. Only applyMouseLook touches the live mouse.
#include "camera/camera.hpp"

#include "numeric/binary_angle.hpp"

namespace {

constexpr int rightButton = 2;
constexpr int pitchLimit = 63; // a quarter turn is never reached, so "up" never flips

} // namespace

void applyMouseLook(Camera& camera) {
  int mx = 0;
  int my = 0;
  get_mouse_mickeys(&mx, &my); // every pass, so movement without the button is dropped
  const int buttons = mouse_b;
  if (buttons & rightButton) {
    position_mouse(mouse_x - mx, mouse_y - my);
  }
  turnCamera(camera, mx, my, buttons);
}

void turnCamera(Camera& camera, int mx, int my, int buttons) {
  if (buttons & rightButton) {
    camera.yaw -= mx;
    camera.pitch -= my;
  }
  normaliseAngles(camera);
}

void normaliseAngles(Camera& camera) {
  if (camera.pitch > pitchLimit) {
    camera.pitch = pitchLimit;
  }
  if (camera.pitch < -pitchLimit) {
    camera.pitch = -pitchLimit;
  }
  camera.yaw %= fullTurn; // C++'s remainder keeps the dividend's sign: -300 gives -44
}
