// Start-up: the library, its services, the close hook, the quit signals and the mode dialog.
#include "app/start_up.hpp"

#include "app/failure_box.hpp"
#include "app/handlers.hpp"
#include "app/missing_extension_notice.hpp"
#include "app/window_name.hpp"

#include <allegro.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int dialogWidth = 320;
constexpr int dialogHeight = 200;
constexpr int fallbackColourDepth = 32;
constexpr int startingWidth = 640;
constexpr int startingHeight = 480;
constexpr const char* windowTitle = "funnies";      // also the instance name of WM_CLASS
constexpr const char* windowClass = "Funnies";      // as the desktop entry's StartupWMClass
constexpr int escapeKeypress = (KEY_ESC << 8) | 27; // scancode in the high byte, ASCII below

/// Shuts the library down and ends the process quietly, as for a cancelled dialog.
[[noreturn]] void endQuietly() {
  allegro_exit();
  std::exit(0);
}

/// The library's reason for what just failed, or `fallback` where it gives none (allegro_init
/// leaves it empty when no system driver can start, for example without an X display).
std::string libraryReason(const char* fallback) {
  return allegro_error[0] != '\0' ? std::string(allegro_error) : std::string(fallback);
}

/// The library's own handlers shut it down inside the signal and leave the main loop drawing
/// into a screen that is gone; ours only ask the loop to end. Windows' C runtime has no SIGQUIT
/// and no SIGHUP.
void catchQuitSignals() {
  for (int signal : {SIGINT, SIGTERM}) {
    std::signal(signal, onQuitSignal);
  }
#ifdef SIGQUIT
  std::signal(SIGQUIT, onQuitSignal);
#endif
#ifdef SIGHUP
  std::signal(SIGHUP, onQuitSignal);
#endif
}

/// The name the mode dialog shows for a graphics driver.
std::string graphicsDriverName(int driver) {
  switch (driver) {
  case GFX_AUTODETECT:
    return "Autodetect";
  case GFX_AUTODETECT_FULLSCREEN:
    return "Auto fullscreen";
  case GFX_AUTODETECT_WINDOWED:
    return "Auto windowed";
  default:
    break;
  }
  const _DRIVER_INFO* lists[] = {
      system_driver->gfx_drivers != nullptr ? system_driver->gfx_drivers() : nullptr,
      _gfx_driver_list};
  for (const _DRIVER_INFO* entry : lists) {
    for (; entry != nullptr && entry->driver != nullptr; ++entry) {
      if (entry->id == driver) {
        return static_cast<const GFX_DRIVER*>(entry->driver)->ascii_name;
      }
    }
  }
  return "unknown";
}

std::string describeMode(const ModeChoice& mode) {
  return "cannot set the " + std::to_string(mode.width) + "x" + std::to_string(mode.height) +
         " mode at " + std::to_string(mode.colourDepth) + " bits per pixel with the " +
         graphicsDriverName(mode.driver) + " driver";
}

int (*libraryMouseButtons)() = nullptr;

/// The dialog reads the buttons through this hook at every update, on the main thread: a quit
/// asked for meanwhile (close button, signal) becomes the Escape that cancels the dialog.
int dialogMouseButtons() {
  if (quitFlag.load()) {
    simulate_keypress(escapeKeypress);
  }
  return libraryMouseButtons();
}

/// Runs the mode dialog; false when it was cancelled.
bool chooseMode(ModeChoice& mode) {
  libraryMouseButtons = gui_mouse_b;
  gui_mouse_b = dialogMouseButtons;
  const bool chosen =
      gfx_mode_select_ex(&mode.driver, &mode.width, &mode.height, &mode.colourDepth) != 0;
  gui_mouse_b = libraryMouseButtons;
  return chosen;
}

void startLibrary() {
  // The window icon is set before main (tools/icon/window_icon.cpp). The library's default
  // title would be the executable's name.
  nameWindow(windowTitle, windowClass);
  silenceMissingDgaNotice();
  if (allegro_init() != 0) {
    failToRun("cannot start the Allegro library", libraryReason("no usable display"));
  }
  set_window_title(windowTitle);
  catchQuitSignals();
  if (install_timer() != 0) {
    failToRun("cannot start the timer", libraryReason("no timer driver"));
  }
  install_mouse(); // without a mouse the keyboard still flies the camera
  if (install_keyboard() != 0) {
    failToRun("cannot start the keyboard", libraryReason("no keyboard driver"));
  }
  set_close_button_callback(onCloseButton);
}

} // namespace

ModeChoice startingModeChoice(int desktopColourDepth) {
  const int depth = desktopColourDepth > 0 ? desktopColourDepth : fallbackColourDepth;
  return ModeChoice{GFX_AUTODETECT_WINDOWED, startingWidth, startingHeight, depth};
}

void startUp() {
  startLibrary();
  if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, dialogWidth, dialogHeight, 0, 0) != 0) {
    failToRun("cannot open a window for the mode dialog", libraryReason("no windowed mode"));
  }
  set_palette(desktop_palette);

  ModeChoice mode = startingModeChoice(desktop_color_depth());
  if (!chooseMode(mode)) {
    endQuietly(); // cancelled
  }
  set_color_depth(mode.colourDepth);
  if (set_gfx_mode(mode.driver, mode.width, mode.height, 0, 0) != 0) {
    failToRun(describeMode(mode), libraryReason("the driver gave no reason"));
  }
}

void failToRun(const std::string& what, const std::string& reason) {
  const std::string line = "funnies: " + what + ": " + reason;
  allegro_exit();
  std::fprintf(stderr, "%s\n", line.c_str());
  showFailureBox(line);
  std::exit(EXIT_FAILURE);
}
