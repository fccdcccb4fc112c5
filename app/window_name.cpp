// The window's name before the library creates it: the one part of start-up that only the
// library's X11 drivers take; on Windows and in the browser set_window_title is enough.
#include "app/window_name.hpp"

#include <allegro.h>

#ifdef ALLEGRO_WITH_XWINDOWS
#include <xalleg.h> // after allegro.h, which it needs

void nameWindow(const char* title, const char* windowClass) {
  xwin_set_window_name(title, windowClass);
}
#else
void nameWindow(const char*, const char*) {}
#endif
