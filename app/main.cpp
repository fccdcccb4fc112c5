// funnies: a swarm of 256 worm-like creatures around the origin, seen through a camera the
// user flies with mouse and keyboard.
#include "app/set_up.hpp"
#include "app/start_up.hpp"

#include <allegro.h>

int main(int, char**) {
  startUp();
  World world;
  setUp(world);
  runMainLoop(world);
  shutDown(world);
  return 0;
}
END_OF_MAIN()
