/* Reads the icon a window gives the window manager, the pixmap of its WM_HINTS, and writes it to
 * standard output as a binary PPM picture, for comparison with the icon the build drew.
 * Usage: e2e_read_icon WINDOW_ID (decimal or 0x hex), on the display named by DISPLAY. */
#include "window_argument.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>

/* The 8-bit value of the channel that `mask` selects in a true-colour pixel. */
static unsigned channel(unsigned long pixel, unsigned long mask) {
  unsigned shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    pixel >>= 1;
    ++shift;
  }
  return (unsigned)((pixel & mask) * 255 / (mask == 0 ? 1 : mask));
}

int main(int argc, char** argv) {
  Display* display;
  Window window;
  const int failed = openWindowArgument(argc, argv, &display, &window);
  if (failed) {
    return failed;
  }
  XWMHints* hints = XGetWMHints(display, window);
  if (hints == NULL || (hints->flags & IconPixmapHint) == 0) {
    fprintf(stderr, "%s: the window has no icon pixmap\n", argv[0]);
    return 1;
  }
  Window root;
  int x, y;
  unsigned width, height, border, depth;
  XGetGeometry(display, hints->icon_pixmap, &root, &x, &y, &width, &height, &border, &depth);
  XImage* image = XGetImage(display, hints->icon_pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
  Visual* visual = DefaultVisual(display, DefaultScreen(display));
  printf("P6\n%u %u\n255\n", width, height);
  for (unsigned row = 0; row < height; ++row) {
    for (unsigned column = 0; column < width; ++column) {
      unsigned long pixel = XGetPixel(image, (int)column, (int)row);
      putchar((int)channel(pixel, visual->red_mask));
      putchar((int)channel(pixel, visual->green_mask));
      putchar((int)channel(pixel, visual->blue_mask));
    }
  }
  XDestroyImage(image);
  XFree(hints);
  XCloseDisplay(display);
  return 0;
}
