// The main loop: each pass reads the controls, runs the ticks the timer has counted, draws
// the scene and the overlay into the render buffer and shows it.
#pragma once

#include "app/handlers.hpp"
#include "camera/camera.hpp"
#include "sim/funnie.hpp"

#include <allegro.h>

/// What the main routine owns from set-up to shutdown.
struct World {
  BITMAP* renderBuffer = nullptr;
  ZBUFFER* depthMap = nullptr;
  Funnie* funnies = nullptr;
  Funnie* selectedFunnie = nullptr; ///< not owning
  bool pickHeld = false;            ///< latch: the left button was down at the last pass
  Camera camera;
};

/// The close button has been pressed or Escape is held.
inline bool quitRequested() {
  return quitFlag.load() || key[KEY_ESC];
}

/// Runs one `tick` for every tick the timer has counted, catching up in full after a slow
/// pass, until the count is 0 or a quit is requested. While P is held the count is thrown
/// away instead and no tick runs.
template <typename Tick> void runPendingTicks(Tick&& tick) {
  if (key[KEY_P]) {
    tickCounter.store(0);
    return;
  }
  while (tickCounter.load() != 0 && !quitRequested()) {
    tickCounter.fetch_sub(1); // atomic: a tick the timer adds meanwhile is kept
    tick();
  }
}

/// One simulation tick: the camera's key moves, then the funnies, then the particles.
void runTick(World& world);

/// The clear colour of the render buffer: pure blue that follows the pitch.
int backgroundColour(int pitch);

/// Clears the depth map, draws funnies and particles, the overlay and line 4 with tracking.
void drawFrame(World& world);

/// Runs passes until the close button is pressed or Escape is held.
void runMainLoop(World& world);
