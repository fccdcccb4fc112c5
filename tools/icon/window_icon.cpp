// The program's own window icon. On X11 the library gives the window it creates the icon in
// the XPM data that `allegro_icon` points to (its own by default). Linked into the program
// alone, this file points it at the icon that funnies-icon draws at build time.
#include <allegro.h>

#include "funnies_icon.xpm"

/// The library's icon data, named in its manual but declared in none of its headers.
extern "C" void* allegro_icon;

namespace {

/// Runs before main, and so before allegro_init creates the window and reads the icon.
CONSTRUCTOR_FUNCTION(void useFunniesIcon());
void useFunniesIcon() {
  allegro_icon = static_cast<void*>(funniesIcon);
}

} // namespace
