// Keeps Xlib quiet about the missing DGA extension, through libXext's extension error handler:
// the one part of start-up that only the library's X11 drivers need.
#include "app/missing_extension_notice.hpp"

#include <allegro.h>

#ifdef ALLEGRO_WITH_XWINDOWS
#include <X11/Xlib.h>
#include <X11/extensions/Xext.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* dgaExtension = "XFree86-DGA"; // as libXxf86dga names it to libXext

bool silenced = false;
/// The handler set before ours; null means libXext's default, which it does not export.
XextErrorHandler otherNotices = nullptr;

/// libXext's default notice, word for word.
int printNotice(Display* display, const char* extension, const char* reason) {
  std::fprintf(stderr, "Xlib:  extension \"%s\" %s on display \"%s\".\n", extension, reason,
               display != nullptr ? DisplayString(display) : "");
  return 0;
}

/// Runs on whichever thread asked the server; touches nothing but its arguments.
int onMissingExtension(Display* display, const char* extension, const char* reason) {
  if (std::strcmp(extension, dgaExtension) == 0) {
    return 0; // the DGA drivers still fail to start, with the library's own reason
  }
  return otherNotices != nullptr ? otherNotices(display, extension, reason)
                                 : printNotice(display, extension, reason);
}

} // namespace

void silenceMissingDgaNotice() {
  if (!silenced) {
    otherNotices = XSetExtensionErrorHandler(onMissingExtension);
    silenced = true;
  }
}
#else
void silenceMissingDgaNotice() {}
#endif
