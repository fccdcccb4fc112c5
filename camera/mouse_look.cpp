// Mouse look: one mickey turns the camera by one binary-angle unit while the right button is
// held. Only applyMouseLook touches the live mouse.
#include "camera/camera.hpp"

#include "numeric/binary_angle.hpp"

namespace {

constexpr int rightButton = 2;
constexpr int pitchLimit = 63; // a quarter turn is never reached, so "up" never flips

bool lookButtonHeld(int buttons) {
  return (buttons & rightButton) != 0;
}

} // namespace

void applyMouseLook(Camera& camera) {
  const int buttons = mouse_b;
  int mx = 0;
  int my = 0;
  // Reading the mickeys puts the X11 driver into a mode that keeps warping the pointer back to
  // the window's middle, which traps it in the window: so they are read only while looking.
  if (lookButtonHeld(buttons)) {
    get_mouse_mickeys(&mx, &my);
    if (camera.lookHeld) {
      position_mouse(mouse_x - mx, mouse_y - my); // the pointer stays where the look began
    }
  }
  turnCamera(camera, mx, my, buttons);
}

void turnCamera(Camera& camera, int mx, int my, int buttons) {
  const bool held = lookButtonHeld(buttons);
  if (held && camera.lookHeld) {
    camera.yaw -= mx;
    camera.pitch -= my;
  }
  camera.lookHeld = held;
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
