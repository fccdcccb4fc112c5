// funnies: a swarm of 256 worm-like creatures around the origin, seen through a camera the
// user flies with mouse and keyboard.
#include "app/set_up.hpp"
#include "app/start_up.hpp"

#include <allegro.h>

#include <cstdlib>

int main(int, char**) {
  startUp();
  World world;
  setUp(world);
  runMainLoop(world);
  shutDown(world);
  // The end of the process, the same on every platform: in the browser, where main has waited
  // for the page through Asyncify, a return from it would end nothing.
  std::exit(EXIT_SUCCESS);
}
END_OF_MAIN()
