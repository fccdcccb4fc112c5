// One pass of the main loop, in order; the live mouse and screen are touched only in
// readControls and presentFrame.
#include "app/main_loop.hpp"

#include "app/overlay.hpp"
#include "camera/picking.hpp"
#include "camera/tracking.hpp"
#include "render/funnie_renderer.hpp"
#include "render/particle_renderer.hpp"
#include "sim/particle.hpp"

namespace {

constexpr int leftButton = 1;

/// Mouse look, picking while the left button is held, and the Space toggle.
void readControls(World& world) {
  applyMouseLook(world.camera);
  const bool pickButton = (mouse_b & leftButton) != 0;
  world.selectedFunnie = selectWithLeftButton(world.funnies, world.selectedFunnie, pickButton,
                                              world.pickHeld, mouse_x, mouse_y);
  world.pickHeld = pickButton;
  toggleCameraMode(world.camera);
}

/// Shows the buffer with the pointer drawn into it, then clears it for the next pass.
void presentFrame(World& world) {
  show_mouse(world.renderBuffer);
  blit(world.renderBuffer, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
  show_mouse(nullptr);
  clear_to_color(world.renderBuffer, backgroundColour(world.camera.pitch));
}

void runPass(World& world) {
  readControls(world);
  buildViewMatrix(world.camera); // serves the whole pass: tick moves show from the next one
  runPendingTicks([&world] { runTick(world); });
  drawFrame(world);
  trackSelection(world);
  presentFrame(world);
}

} // namespace

void runTick(World& world) {
  applyMovementKeys(world.camera);
  updateFunnies(world.funnies);
  updateParticles();
}

void drawFrame(World& world) {
  clear_zbuffer(world.depthMap, 0);
  renderFunnies(world.funnies, world.renderBuffer, world.depthMap, world.camera.viewMatrix);
  renderParticles(world.renderBuffer, world.depthMap, world.camera.viewMatrix);
  drawCameraLines(world.renderBuffer, world.camera, tickCounter.load());
}

void trackSelection(World& world) {
  if (world.selectedFunnie == nullptr) {
    return;
  }
  drawSelectionLine(world.renderBuffer, world.selectedFunnie->segments[0]);
  trackSelectedFunnie(world.camera, world.selectedFunnie);
}

void runMainLoop(World& world) {
  while (!quitRequested()) {
    runPass(world);
  }
}
