/* Presses a window's close button the way a window manager does: a WM_PROTOCOLS client
 * message carrying WM_DELETE_WINDOW. Under a bare X server there is no window manager to do it.
 * Usage: e2e_send_close WINDOW_ID (decimal or 0x hex), on the display named by DISPLAY. */
#include "window_argument.h"

#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
  Display* display;
  Window window;
  const int failed = openWindowArgument(argc, argv, &display, &window);
  if (failed) {
    return failed;
  }
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent ? 0 : 1;
}
