// Mouse look: one mickey turns the camera by one binary-angle unit while the right button is
// held. Only startMouseLook and applyMouseLook touch the live mouse.
#include "camera/camera.hpp"

#include "numeric/binary_angle.hpp"

namespace {

constexpr int rightButton = 2;
constexpr int pitchLimit = 63; // a quarter turn is never reached, so "up" never flips

bool lookButtonHeld(int buttons) {
  return (buttons & rightButton) != 0;
}

} // namespace

void startMouseLook(Camera& camera) {
  // Left to itself, the X11 driver holds the pointer for get_mouse_mickeys its own way: from the
  // first reading on it warps the X pointer to the window's middle on some moves and lets the
  // others through, and puts it back on the library's pointer only about 2 s after the last
  // reading. With the hardware cursor enabled it never warps, and position_mouse moves the X
  // pointer at once; show_mouse on the render buffer still draws the pointer in software. Where
  // the X server has no colour cursors the call changes nothing, and the X pointer comes back to
  // where the drag began at the latest those 2 s after the release.
  enable_hardware_cursor();
  camera.holdX = mouse_x;
  camera.holdY = mouse_y;
}

void applyMouseLook(Camera& camera) {
  const int buttons = mouse_b;
  const int x = mouse_x; // a move the library takes in after this is undone at the next pass
  const int y = mouse_y;
  int mx = 0;
  int my = 0;
  // Without the hardware cursor, reading the mickeys makes the driver warp the pointer to the
  // window's middle, which traps it in the window: so they are read only while looking.
  if (lookButtonHeld(buttons)) {
    get_mouse_mickeys(&mx, &my);
  }
  turnCamera(camera, mx, my, buttons);
  const PointerPlace place = placePointer(camera, buttons, x, y);
  if (place.x != x || place.y != y) {
    position_mouse(place.x, place.y);
  }
}

PointerPlace placePointer(Camera& camera, int buttons, int x, int y) {
  if (!lookButtonHeld(buttons)) {
    camera.holdX = x;
    camera.holdY = y;
  }
  return PointerPlace{camera.holdX, camera.holdY};
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
