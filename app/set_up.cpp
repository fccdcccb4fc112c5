// Set-up and shutdown, in the order the main routine needs them.
#include "app/set_up.hpp"

#include "app/start_up.hpp"
#include "sim/particle.hpp"

#include <cstdlib>
#include <ctime>

namespace {

constexpr int funnieCount = 256;
constexpr long tickRate = BPS_TO_TIMER(30);

} // namespace

void setUp(World& world) {
  world.renderBuffer = create_bitmap(SCREEN_W, SCREEN_H);
  if (world.renderBuffer == nullptr) {
    failToRun("cannot create the render buffer", "out of memory");
  }
  clear_to_color(world.renderBuffer, backgroundColour(0)); // the first frame draws over it
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  resetParticles();
  world.depthMap = create_zbuffer(world.renderBuffer);
  if (world.depthMap == nullptr) {
    failToRun("cannot create the depth map", "out of memory");
  }
  world.funnies = createFunnies(funnieCount);
  world.selectedFunnie = nullptr;
  world.camera = Camera{};
  startMouseLook(world.camera);
  install_int_ex(onTimerTick, tickRate);
}

void shutDown(World& world) {
  deleteFunnies(world.funnies);
  world.funnies = nullptr;
  world.selectedFunnie = nullptr;
  deleteParticles();
  destroy_bitmap(world.renderBuffer);
  destroy_zbuffer(world.depthMap);
}
