/* The command line of the e2e X helpers: one WINDOW_ID (decimal or 0x hex), on the display named
 * by DISPLAY. */
#pragma once

#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>

/* Opens the display and reads the window. Returns 0, or the exit status after printing why. */
static int openWindowArgument(int argc, char** argv, Display** display, Window* window) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
    return 2;
  }
  *window = (Window)strtoul(argv[1], NULL, 0);
  *display = XOpenDisplay(NULL);
  if (*display == NULL) {
    fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 1;
  }
  return 0;
}
