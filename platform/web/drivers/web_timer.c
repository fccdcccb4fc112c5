/* The timer: the library's own timer queue, told at every turn how much time has passed. */
#include "web_drivers.h"

#include <emscripten.h>
#include <limits.h>

#define UNITS_PER_MS (TIMERS_PER_SECOND / 1000.0)

static int running = FALSE;
static double counted_ms; /* the time the queue has been told about */

static int timer_web_init(void) {
  counted_ms = emscripten_get_now();
  running = TRUE;
  return 0;
}

static void timer_web_exit(void) {
  running = FALSE;
}

/* Waits in turns, so that the page keeps answering and the ticks keep coming. */
static void timer_web_rest(unsigned int ms, void (*callback)(void)) {
  const double end_ms = emscripten_get_now() + ms;
  do {
    if (callback)
      callback();
    web_take_turn();
  } while (emscripten_get_now() < end_ms);
}

/* The whole timer units that have passed since the last count; the fraction left over is
 * counted next time, so that no time is lost to truncation. */
static long units_passed(double now_ms) {
  const double units = (now_ms - counted_ms) * UNITS_PER_MS;
  if (units < 1.0)
    return 0;
  const long whole = units < LONG_MAX ? (long)units : LONG_MAX; /* toward zero */
  counted_ms += whole / UNITS_PER_MS;
  return whole;
}

void web_take_ticks(void) {
  if (!running)
    return;
  long units = units_passed(emscripten_get_now());
  while (units > 0) {
    const int step = units > INT_MAX ? INT_MAX : (int)units;
    _handle_timer_tick(step);
    units -= step;
  }
}

TIMER_DRIVER timer_web = {TIMER_WEB,      empty_string,   empty_string, "Browser timer",
                          timer_web_init, timer_web_exit, NULL,         NULL,
                          NULL,           NULL, /* the library's own timer queue */
                          NULL,           NULL, /* no retrace to simulate */
                          timer_web_rest};
