// Library start-up and the choice of the screen mode; the only code that needs a display
// before the main loop.
#pragma once

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

/// Starts the library, its timer, mouse and keyboard, hooks the close button and sets the
/// mode the user picks. Cancelling or an unsettable mode ends the process with status 0.
void startUp();
