/* The browser's turn: the one place where the program waits, through Asyncify, so that the
 * page keeps answering while the program's loops run. */
#include "web_drivers.h"

#include <emscripten.h>

/* About one frame of a 60 Hz display, in milliseconds. */
#define FRAME_MS 16.0

static double last_turn_ms = -1.0e9;

/* Resolves at the browser's next animation frame; a hidden tab has none, so the program
 * sleeps there, as a paused game should. */
/* clang-format off */
EM_ASYNC_JS(void, web_wait_for_frame, (void), {
   await new Promise(function(resolve) { requestAnimationFrame(function() { resolve(); }); });
});
/* clang-format on */

void web_take_turn(void) {
  web_present_screen();
  web_wait_for_frame();
  last_turn_ms = emscripten_get_now();
  web_take_keys();
  web_take_mouse();
  web_take_ticks();
}

void web_take_turn_if_due(void) {
  if (emscripten_get_now() - last_turn_ms >= FRAME_MS)
    web_take_turn();
}
