// The main loop: each pass reads the controls, runs the ticks the timer has counted, draws
// the scene and the overlay into the render buffer and shows it.
#pragma once

#include "app/handlers.hpp"
#include "app/world.hpp"
#include "render/background.hpp"

#include <allegro.h>

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

/// Clears the depth map, draws the funnies, the particles and overlay lines 1 to 3.
void drawFrame(World& world);

/// With a funnie selected, overlay line 4 shows its head and the camera turns towards it.
void trackSelection(World& world);

/// Runs passes until the close button is pressed or Escape is held.
void runMainLoop(World& world);
