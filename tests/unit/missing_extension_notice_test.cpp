// Xlib's notices of missing extensions: the DGA one goes unsaid, every other one still reaches
// whoever handled them before.
#include "app/missing_extension_notice.hpp"

#include <allegro.h>
#include <gtest/gtest.h>

#ifdef ALLEGRO_WITH_XWINDOWS
#include <X11/Xlib.h>
#include <X11/extensions/Xext.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> heard;

int recordNotice(Display*, const char* extension, const char*) {
  heard.emplace_back(extension);
  return 0;
}

TEST(MissingExtensionNotice, OnlyTheDgaOneGoesUnsaid) {
  XSetExtensionErrorHandler(recordNotice);
  silenceMissingDgaNotice();
  silenceMissingDgaNotice(); // a second call must not make the program's handler its own "other"

  // No display: libXext hands the handler whatever display it was given.
  for (const char* extension :
       {"XFree86-DGA", "XFree86-VidModeExtension", "MIT-SHM", "XFree86-DGA", "xfree86-dga"}) {
    XMissingExtension(nullptr, extension);
  }
  EXPECT_EQ(heard,
            (std::vector<std::string>{"XFree86-VidModeExtension", "MIT-SHM", "xfree86-dga"}));
}

} // namespace
#endif
