/* The mouse: the canvas' pointer events, in the canvas' own pixels at any scale of the page,
 * and a finger on a touch screen as the same mouse. While the right button is held the pointer
 * is locked where the drag began, where the browser grants it, and the moves still count as
 * mickeys without the lock. */
#include "web_drivers.h"

#include <emscripten.h>
#include <string.h>

static const int left_button = 1;
static const int right_button = 2;

/* Queues each change as [x, y, mickey x, mickey y, buttons].
 *
 * Unlocked, a move's mickeys are how far the pointer's place moved in the canvas' pixels: the
 * engines do not agree on movementX/Y for a page's pointer (Firefox and WebKit count other
 * distances than Chromium for the same moves), but they all agree on where the pointer is.
 * Locked, the place stands still and only movementX/Y tell the motion: scaled to the canvas'
 * pixels, with the fractions kept for the next move so that a slow drag still turns.
 *
 * A finger is the mouse: a tap is a left click where it touched, and a drag, once it has gone
 * further than a tap's wobble, holds the right button from where it began, every pixel of it
 * counted, so that it turns the camera as a right drag does. */
/* clang-format off */
EM_JS(void, web_listen_to_mouse, (int left, int right), {
   var canvas = Module['canvas'];
   var queue = [];
   var state = Module['webMouse'] = {queue: queue, x: 0, y: 0, fx: 0, fy: 0, buttons: 0,
                                     from: null, touch: null};
   var tapWobble = 10; /* CSS pixels */
   function locked() { return document.pointerLockElement === canvas; }
   function scale() {
      var width = canvas.getBoundingClientRect().width;
      return width > 0 ? canvas.width / width : 1;
   }
   function clamp(v, size) { return Math.max(0, Math.min(size - 1, v)); }
   function push(dx, dy) { queue.push([state.x, state.y, dx, dy, state.buttons]); }
   /* Where a mouse event or a touch is, in the canvas' pixels, unclamped. */
   function place(point) {
      var box = canvas.getBoundingClientRect();
      var s = scale();
      return {x: Math.floor((point.clientX - box.left) * s),
              y: Math.floor((point.clientY - box.top) * s)};
   }
   function moveBy(dx, dy) {
      state.x = clamp(state.x + dx, canvas.width);
      state.y = clamp(state.y + dy, canvas.height);
      push(dx, dy);
   }
   function moveTo(point) {
      var p = place(point);
      var from = state.from || p;
      state.from = p;
      state.x = clamp(p.x, canvas.width);
      state.y = clamp(p.y, canvas.height);
      push(p.x - from.x, p.y - from.y);
   }
   function moveLocked(event) {
      var s = scale();
      state.fx += (event.movementX || 0) * s;
      state.fy += (event.movementY || 0) * s;
      var dx = Math.trunc(state.fx);
      var dy = Math.trunc(state.fy);
      state.fx -= dx;
      state.fy -= dy;
      moveBy(dx, dy);
   }
   function take(event) {
      if (locked()) moveLocked(event); else moveTo(event);
   }
   function setButtons(buttons) {
      if (buttons === state.buttons) return;
      state.buttons = buttons;
      push(0, 0);
   }
   /* A page that loses the focus, or a touch the browser takes back, gets no release. */
   function releaseAll() {
      state.touch = null;
      setButtons(0);
      if (locked()) document.exitPointerLock();
   }
   function ourTouch(event) {
      var touches = event.changedTouches;
      for (var i = 0; state.touch && i < touches.length; i++) {
         if (touches[i].identifier === state.touch.id) return touches[i];
      }
      return null;
   }
   function touchStart(event) {
      event.preventDefault(); /* no scrolling, no zoom, no mouse events made up after it */
      canvas.focus();
      if (state.touch) return;
      var touch = event.changedTouches[0];
      state.touch = {id: touch.identifier, x: touch.clientX, y: touch.clientY, dragging: false};
      state.from = null;
      moveTo(touch);
   }
   function touchMove(event) {
      var touch = ourTouch(event);
      if (!touch) return;
      event.preventDefault();
      var t = state.touch;
      if (!t.dragging) {
         if (Math.hypot(touch.clientX - t.x, touch.clientY - t.y) < tapWobble) return;
         t.dragging = true;
         setButtons(right);
      }
      var p = place(touch);
      var from = state.from;
      state.from = p;
      push(p.x - from.x, p.y - from.y); /* the pointer stays where the drag began */
   }
   function touchEnd(event) {
      var touch = ourTouch(event);
      if (!touch) return;
      event.preventDefault();
      if (!state.touch.dragging) setButtons(left);
      state.touch = null;
      setButtons(0);
   }
   /* The buttons held once EVENT's button went down or up, told by the button itself. A mouseup
    * that names no button held lets go of them all: WebKitGTK's, driven by WebDriver, gives
    * the right button's release as button 0 with buttons still 2. */
   var bits = [1, 4, 2]; /* event.button: left, middle, right */
   function buttonsAfter(event, down) {
      var bit = bits[event.button] || 0;
      if (down) return event.buttons | bit;
      return state.buttons & bit ? event.buttons & ~bit : 0;
   }
   var listeners = Module['webMouseListeners'] = [
      [canvas, 'mousedown', function(event) {
         event.preventDefault();
         canvas.focus();
         state.buttons = buttonsAfter(event, true);
         if ((event.buttons & right) && canvas.requestPointerLock) {
            var asked = canvas.requestPointerLock();
            if (asked && asked.catch) asked.catch(function() {});
         }
         take(event);
      }],
      [window, 'mouseup', function(event) {
         state.buttons = buttonsAfter(event, false);
         if (!(event.buttons & right) && locked()) document.exitPointerLock();
         take(event);
      }],
      [window, 'mousemove', function(event) { take(event); }],
      /* Motion across the lock's start or end is told in other terms: start again from there. */
      [document, 'pointerlockchange', function() { state.from = null; }],
      [canvas, 'touchstart', touchStart],
      [canvas, 'touchmove', touchMove],
      [canvas, 'touchend', touchEnd],
      [canvas, 'touchcancel', function(event) { if (ourTouch(event)) releaseAll(); }],
      [window, 'blur', releaseAll],
      [canvas, 'contextmenu', function(event) { event.preventDefault(); }]
   ];
   listeners.forEach(function(l) { l[0].addEventListener(l[1], l[2], {passive: false}); });
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

/* A change of the buttons that came after moves in the same turn waits for the next one, so
 * that every move is seen with the buttons it was made with: a drag's last moves still turn
 * the camera when the release follows them at once. */
static int held_over_change[5];
static int change_held_over = FALSE;
static int refreshing = FALSE;
static int range_x1, range_y1, range_x2, range_y2;
static int mickey_x, mickey_y;

static int mouse_web_init(void) {
  web_listen_to_mouse(left_button, right_button);
  mickey_x = mickey_y = 0;
  change_held_over = FALSE;
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

static int next_change(int* change) {
  if (!change_held_over)
    return web_next_mouse_change(change);
  memcpy(change, held_over_change, sizeof held_over_change);
  change_held_over = FALSE;
  return TRUE;
}

/* A driver with a poll puts the library in polled mode: it takes in our changes only in
 * poll_mouse, which the main loop never calls. So every turn polls the mouse. */
void web_take_mouse(void) {
  int change[5];
  int moved = FALSE;
  if (!installed)
    return;
  while (next_change(change)) {
    const int buttons_before = _mouse_b;
    if (change[4] != buttons_before && moved) {
      memcpy(held_over_change, change, sizeof held_over_change);
      change_held_over = TRUE;
      break;
    }
    _mouse_x = CLAMP(range_x1, change[0], range_x2);
    _mouse_y = CLAMP(range_y1, change[1], range_y2);
    mickey_x += change[2];
    mickey_y += change[3];
    moved = moved || change[2] != 0 || change[3] != 0;
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
