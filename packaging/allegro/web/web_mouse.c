/* The mouse: the canvas' pointer events, in the canvas' own pixels at any scale of the page.
 * While the right button is held the pointer is locked where the drag began, where the
 * browser grants it, and the moves still count as mickeys without the lock. */
#include "web_drivers.h"

#include <emscripten.h>

static const int right_button = 2;

/* Queues each change as [x, y, mickey x, mickey y, buttons]. The scale from CSS pixels to
 * the canvas' keeps the fractions of mickeys for the next move, so that a slow drag still
 * turns the camera. Locked, the pointer's own place stands still and moves by the mickeys,
 * as the drawn pointer does. */
/* clang-format off */
EM_JS(void, web_listen_to_mouse, (int right), {
   var canvas = Module['canvas'];
   var queue = [];
   var state = Module['webMouse'] = {queue: queue, x: 0, y: 0, fx: 0, fy: 0, buttons: 0};
   function locked() { return document.pointerLockElement === canvas; }
   function scale() { return canvas.width / (canvas.clientWidth || canvas.width); }
   function clamp(v, size) { return Math.max(0, Math.min(size - 1, v)); }
   function take(event) {
      var s = scale();
      state.fx += (event.movementX || 0) * s;
      state.fy += (event.movementY || 0) * s;
      var dx = Math.trunc(state.fx);
      var dy = Math.trunc(state.fy);
      state.fx -= dx;
      state.fy -= dy;
      if (locked()) {
         state.x = clamp(state.x + dx, canvas.width);
         state.y = clamp(state.y + dy, canvas.height);
      } else {
         var box = canvas.getBoundingClientRect();
         state.x = clamp(Math.floor((event.clientX - box.left) * s), canvas.width);
         state.y = clamp(Math.floor((event.clientY - box.top) * s), canvas.height);
      }
      queue.push([state.x, state.y, dx, dy, state.buttons]);
   }
   var listeners = Module['webMouseListeners'] = [
      [canvas, 'mousedown', function(event) {
         event.preventDefault();
         canvas.focus();
         state.buttons = event.buttons;
         if ((event.buttons & right) && canvas.requestPointerLock) {
            var asked = canvas.requestPointerLock();
            if (asked && asked.catch) asked.catch(function() {});
         }
         take(event);
      }],
      [window, 'mouseup', function(event) {
         state.buttons = event.buttons;
         if (!(event.buttons & right) && locked()) document.exitPointerLock();
         take(event);
      }],
      [window, 'mousemove', function(event) { take(event); }],
      [canvas, 'contextmenu', function(event) { event.preventDefault(); }]
   ];
   listeners.forEach(function(l) { l[0].addEventListener(l[1], l[2]); });
   canvas.style.cursor = 'none'; /* the library draws the pointer */
});

EM_JS(void, web_stop_listening_to_mouse, (void), {
   Module['webMouseListeners'].forEach(function(l) { l[0].removeEventListener(l[1], l[2]); });
   if (document.pointerLockElement === Module['canvas']) document.exitPointerLock();
   Module['canvas'].style.removeProperty('cursor');
   Module['webMouse'] = null;
});

EM_JS(void, web_place_pointer, (int x, int y), {
   var state = Module['webMouse'];
   if (state) { state.x = x; state.y = y; }
});
/* clang-format on */

/* The next queued change into out[0..4], as queued; 0 when the queue is empty. */
/* clang-format off */
EM_JS(int, web_next_mouse_change, (int *out), {
   var state = Module['webMouse'];
   if (!state || state.queue.length === 0) return 0;
   HEAP32.set(state.queue.shift(), out >> 2);
   return 1;
});
/* clang-format on */

static int installed = FALSE;
static int refreshing = FALSE;
static int range_x1, range_y1, range_x2, range_y2;
static int mickey_x, mickey_y;

static int mouse_web_init(void) {
  web_listen_to_mouse(right_button);
  mickey_x = mickey_y = 0;
  installed = TRUE;
  return 3; /* buttons */
}

static void mouse_web_exit(void) {
  web_stop_listening_to_mouse();
  installed = FALSE;
}

static void mouse_web_position(int x, int y) {
  _mouse_x = CLAMP(range_x1, x, range_x2);
  _mouse_y = CLAMP(range_y1, y, range_y2);
  web_place_pointer(_mouse_x, _mouse_y);
}

static void mouse_web_set_range(int x1, int y1, int x2, int y2) {
  range_x1 = x1;
  range_y1 = y1;
  range_x2 = x2;
  range_y2 = y2;
  mouse_web_position(_mouse_x, _mouse_y);
}

static void mouse_web_get_mickeys(int* mx, int* my) {
  *mx = mickey_x;
  *my = mickey_y;
  mickey_x = mickey_y = 0;
}

/* The library's polling loops give the browser its turn here. */
static void mouse_web_poll(void) {
  if (!refreshing)
    web_take_turn_if_due();
}

/* A driver with a poll puts the library in polled mode: it takes in our changes only in
 * poll_mouse, which the main loop never calls. So every turn polls the mouse. */
void web_take_mouse(void) {
  int change[5];
  if (!installed)
    return;
  while (web_next_mouse_change(change)) {
    const int buttons_before = _mouse_b;
    _mouse_x = CLAMP(range_x1, change[0], range_x2);
    _mouse_y = CLAMP(range_y1, change[1], range_y2);
    mickey_x += change[2];
    mickey_y += change[3];
    _mouse_b = change[4];
    _handle_mouse_input();
    /* One change of the buttons a turn: a click whose press and release came between two
     * turns would otherwise be seen by no pass, and by no poll of the dialog. */
    if (_mouse_b != buttons_before)
      break;
  }
  refreshing = TRUE;
  poll_mouse();
  refreshing = FALSE;
}

MOUSE_DRIVER mouse_web = {
    MOUSE_WEB,
    empty_string,
    empty_string,
    "Browser mouse",
    mouse_web_init,
    mouse_web_exit,
    mouse_web_poll,
    NULL, /* timer_poll */
    mouse_web_position,
    mouse_web_set_range,
    NULL, /* set_speed */
    mouse_web_get_mickeys,
    NULL, /* analyse_data */
    NULL, /* enable_hardware_cursor */
    NULL  /* select_system_cursor */
};
