// The camera: a free-flying camera or one that circles the origin, turned by the mouse and
// moved by keys; the one view matrix of each pass is built from it.
#pragma once

#include <allegro.h>

struct Camera {
  int yaw = 0;    ///< binary angle about the vertical axis; keeps its sign after reduction
  int pitch = 0;  ///< binary angle about x, -63..63 when the view matrix is built
  float x = 0.0f; ///< free mode: world position; orbit mode: 0, 0 and the orbit distance
  float y = 0.0f;
  float z = 0.0f;
  bool orbitMode = false; ///< false: free-flying camera
  bool spaceHeld = false; ///< latch, so that one press of Space toggles once
  bool lookHeld = false;  ///< latch: the right button was down at the last pass
  int holdX = 0;          ///< where the pointer stays while looking: where it was at the last
  int holdY = 0;          ///< pass with the right button up, in screen pixels
  MATRIX_f viewMatrix{};  ///< world to view space, rebuilt every pass
};

/// Once the screen mode is set: makes the library hold the pointer only where mouse look puts it,
/// and takes the pointer's place as the first place to hold it at.
void startMouseLook(Camera& camera);

/// While the right button is held, turns the camera by the mouse movement since the last pass,
/// keeping the pointer in place; then clamps pitch and reduces yaw. With the button up the mouse
/// is not read, so the pointer moves freely.
void applyMouseLook(Camera& camera);

/// The logic under applyMouseLook, on plain values: mickeys (mx, my) and the button bits. The
/// pass in which the right button goes down only arms the look: its mickeys hold the motion made
/// before the press, which must not turn the camera.
void turnCamera(Camera& camera, int mx, int my, int buttons);

struct PointerPlace {
  int x = 0; ///< screen pixels
  int y = 0;
};

/// Where the pointer belongs after this pass, from the button bits and where the library has it
/// (x, y). With the right button up it stays there, and that is kept as the place to hold it at.
/// With the button held it goes back to the place kept at the last pass before the press: the
/// press and the first moves can reach the library together, before the program sees the press.
PointerPlace placePointer(Camera& camera, int buttons, int x, int y);

/// Clamps pitch to -63..63 and reduces yaw to -255..255, keeping its sign.
void normaliseAngles(Camera& camera);

/// Switches between free and orbit mode once per press of Space, keeping the distance from
/// the origin.
void toggleCameraMode(Camera& camera);

/// Once per pass, before the ticks: a tick's move shows from the next pass on, and both
/// renderers draw with the same matrix.
void buildViewMatrix(Camera& camera);

/// The per-tick moves of the held keys: W/S/A/D/Q/Z in free mode, W/S in orbit mode.
void applyMovementKeys(Camera& camera);
