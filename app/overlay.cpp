// Overlay lines, drawn the way the 4.0 interface's textprintf drew them.
#include "app/overlay.hpp"

#include "numeric/truncate.hpp"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr int lineHeight = 10;
// textprintf used the library's text mode, which starts at 0: an opaque box of colour 0
// (black) behind every character.
constexpr int textBackground = 0;

__attribute__((format(printf, 3, 4))) void drawLine(BITMAP* target, int line, const char* format,
                                                    ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  textout_ex(target, font, text, 0, line * lineHeight, makecol(255, 255, 255), textBackground);
}

} // namespace

void drawCameraLines(BITMAP* target, const Camera& camera, int ticks) {
  drawLine(target, 0, "XR: %i YR: %i", camera.pitch, camera.yaw);
  drawLine(target, 1, "XM: %f YM: %f ZM: %f", camera.x, camera.y, camera.z);
  drawLine(target, 2, "Drawing takes %i ticks.", ticks);
}

void drawSelectionLine(BITMAP* target, const FunnieSegment& head) {
  drawLine(target, 3, "Selected funnie at %i %i %i.", truncToInt(head.x), truncToInt(head.y),
           truncToInt(head.z));
}
