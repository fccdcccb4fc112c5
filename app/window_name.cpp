// The window's name before the library creates it: the one part of start-up that differs
// between the library's X11 and Windows drivers.
#include "app/window_name.hpp"

#include <allegro.h>

#ifdef ALLEGRO_UNIX
#include <xalleg.h> // after allegro.h, which it needs

void nameWindow(const char* title, const char* windowClass) {
  xwin_set_window_name(title, windowClass);
}
#else
void nameWindow(const char*, const char*) {}
#endif
