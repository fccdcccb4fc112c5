// Start-up: the library, its services, the close hook and the mode dialog.
#include "app/start_up.hpp"

#include "app/handlers.hpp"

#include <allegro.h>

#include <cstdlib>

namespace {

constexpr int dialogWidth = 320;
constexpr int dialogHeight = 200;
constexpr int fallbackColourDepth = 32;

/// Shuts the library down and ends the process quietly, as for a cancelled dialog.
[[noreturn]] void endQuietly() {
  allegro_exit();
  std::exit(0);
}

} // namespace

ModeChoice startingModeChoice(int desktopColourDepth) {
  const int depth = desktopColourDepth > 0 ? desktopColourDepth : fallbackColourDepth;
  return ModeChoice{GFX_AUTODETECT_WINDOWED, 640, 480, depth};
}

void startUp() {
  allegro_init();
  install_timer();
  install_mouse();
  install_keyboard();
  set_close_button_callback(onCloseButton);
  set_gfx_mode(GFX_AUTODETECT_WINDOWED, dialogWidth, dialogHeight, 0, 0);
  set_palette(desktop_palette);

  ModeChoice mode = startingModeChoice(desktop_color_depth());
  if (!gfx_mode_select_ex(&mode.driver, &mode.width, &mode.height, &mode.colourDepth)) {
    endQuietly(); // cancelled
  }
  set_color_depth(mode.colourDepth);
  if (set_gfx_mode(mode.driver, mode.width, mode.height, 0, 0) != 0) {
    endQuietly();
  }
}
