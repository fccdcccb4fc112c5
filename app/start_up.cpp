// Start-up: the library, its services, the close hook and the mode dialog.
#include "app/start_up.hpp"

#include "app/handlers.hpp"

#include <allegro.h>
#include <xalleg.h> // after allegro.h, which it needs

#include <cstdlib>

namespace {

constexpr int dialogWidth = 320;
constexpr int dialogHeight = 200;
constexpr int fallbackColourDepth = 32;
constexpr int startingWidth = 640;
constexpr int startingHeight = 480;
constexpr const char* windowTitle = "funnies"; // also the instance name of WM_CLASS
constexpr const char* windowClass = "Funnies"; // as the desktop entry's StartupWMClass

/// Shuts the library down and ends the process quietly, as for a cancelled dialog.
[[noreturn]] void endQuietly() {
  allegro_exit();
  std::exit(0);
}

} // namespace

ModeChoice startingModeChoice(int desktopColourDepth) {
  const int depth = desktopColourDepth > 0 ? desktopColourDepth : fallbackColourDepth;
  return ModeChoice{GFX_AUTODETECT_WINDOWED, startingWidth, startingHeight, depth};
}

void startUp() {
  // The X window is created by allegro_init with the name and class set before it; the window
  // icon is set before main (packaging/window_icon.cpp). The library's default title would be
  // the executable's name.
  xwin_set_window_name(windowTitle, windowClass);
  allegro_init();
  set_window_title(windowTitle);
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
