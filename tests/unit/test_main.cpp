// Runs the unit tests with the library started headless: no display, timer, mouse or keyboard.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  install_allegro(SYSTEM_NONE, &errno, std::atexit);
  set_color_depth(32);
  return RUN_ALL_TESTS();
}
