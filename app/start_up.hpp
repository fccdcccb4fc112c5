// Library start-up and the choice of the screen mode; the only code that needs a display
// before the main loop.
#pragma once

#include <string>

/// The dialog's first selection: a 640x480 window, in the desktop's colour depth.
struct ModeChoice {
  int driver;
  int width;
  int height;
  int colourDepth;
};

/// What the mode dialog offers first, given the desktop colour depth the library reports
/// (0 when it reports none).
ModeChoice startingModeChoice(int desktopColourDepth);

/// Starts the library, its timer, mouse and keyboard, hooks the close button and the quit
/// signals and sets the mode the user picks. Cancelling, or a quit requested during the dialog,
/// ends the process quietly with status 0; a library that cannot start or a mode that cannot be
/// set ends it with a line on stderr and status 1.
void startUp();

/// Ends the process because something it needs cannot be had: shuts the library down, prints
/// "funnies: WHAT: REASON" on stderr, shows it in a message box on Windows (showFailureBox) and
/// exits with status 1.
[[noreturn]] void failToRun(const std::string& what, const std::string& reason);
