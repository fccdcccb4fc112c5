/* The keyboard: the canvas' key events, by the physical key (KeyboardEvent.code), as the
 * library's scancodes. */
#include "web_drivers.h"

#include <emscripten.h>

struct key_name {
  const char* code;
  int scancode;
};

static const struct key_name key_names[] = {
    {"KeyA", KEY_A},
    {"KeyB", KEY_B},
    {"KeyC", KEY_C},
    {"KeyD", KEY_D},
    {"KeyE", KEY_E},
    {"KeyF", KEY_F},
    {"KeyG", KEY_G},
    {"KeyH", KEY_H},
    {"KeyI", KEY_I},
    {"KeyJ", KEY_J},
    {"KeyK", KEY_K},
    {"KeyL", KEY_L},
    {"KeyM", KEY_M},
    {"KeyN", KEY_N},
    {"KeyO", KEY_O},
    {"KeyP", KEY_P},
    {"KeyQ", KEY_Q},
    {"KeyR", KEY_R},
    {"KeyS", KEY_S},
    {"KeyT", KEY_T},
    {"KeyU", KEY_U},
    {"KeyV", KEY_V},
    {"KeyW", KEY_W},
    {"KeyX", KEY_X},
    {"KeyY", KEY_Y},
    {"KeyZ", KEY_Z},
    {"Digit0", KEY_0},
    {"Digit1", KEY_1},
    {"Digit2", KEY_2},
    {"Digit3", KEY_3},
    {"Digit4", KEY_4},
    {"Digit5", KEY_5},
    {"Digit6", KEY_6},
    {"Digit7", KEY_7},
    {"Digit8", KEY_8},
    {"Digit9", KEY_9},
    {"Numpad0", KEY_0_PAD},
    {"Numpad1", KEY_1_PAD},
    {"Numpad2", KEY_2_PAD},
    {"Numpad3", KEY_3_PAD},
    {"Numpad4", KEY_4_PAD},
    {"Numpad5", KEY_5_PAD},
    {"Numpad6", KEY_6_PAD},
    {"Numpad7", KEY_7_PAD},
    {"Numpad8", KEY_8_PAD},
    {"Numpad9", KEY_9_PAD},
    {"F1", KEY_F1},
    {"F2", KEY_F2},
    {"F3", KEY_F3},
    {"F4", KEY_F4},
    {"F5", KEY_F5},
    {"F6", KEY_F6},
    {"F7", KEY_F7},
    {"F8", KEY_F8},
    {"F9", KEY_F9},
    {"F10", KEY_F10},
    {"F11", KEY_F11},
    {"F12", KEY_F12},
    {"Escape", KEY_ESC},
    {"Backquote", KEY_TILDE},
    {"Minus", KEY_MINUS},
    {"Equal", KEY_EQUALS},
    {"Backspace", KEY_BACKSPACE},
    {"Tab", KEY_TAB},
    {"BracketLeft", KEY_OPENBRACE},
    {"BracketRight", KEY_CLOSEBRACE},
    {"Enter", KEY_ENTER},
    {"Semicolon", KEY_COLON},
    {"Quote", KEY_QUOTE},
    {"Backslash", KEY_BACKSLASH},
    {"IntlBackslash", KEY_BACKSLASH2},
    {"Comma", KEY_COMMA},
    {"Period", KEY_STOP},
    {"Slash", KEY_SLASH},
    {"Space", KEY_SPACE},
    {"Insert", KEY_INSERT},
    {"Delete", KEY_DEL},
    {"Home", KEY_HOME},
    {"End", KEY_END},
    {"PageUp", KEY_PGUP},
    {"PageDown", KEY_PGDN},
    {"ArrowLeft", KEY_LEFT},
    {"ArrowRight", KEY_RIGHT},
    {"ArrowUp", KEY_UP},
    {"ArrowDown", KEY_DOWN},
    {"NumpadDivide", KEY_SLASH_PAD},
    {"NumpadMultiply", KEY_ASTERISK},
    {"NumpadSubtract", KEY_MINUS_PAD},
    {"NumpadAdd", KEY_PLUS_PAD},
    {"NumpadDecimal", KEY_DEL_PAD},
    {"NumpadEnter", KEY_ENTER_PAD},
    {"PrintScreen", KEY_PRTSCR},
    {"Pause", KEY_PAUSE},
    {"ShiftLeft", KEY_LSHIFT},
    {"ShiftRight", KEY_RSHIFT},
    {"ControlLeft", KEY_LCONTROL},
    {"ControlRight", KEY_RCONTROL},
    {"AltLeft", KEY_ALT},
    {"AltRight", KEY_ALTGR},
    {"MetaLeft", KEY_LWIN},
    {"MetaRight", KEY_RWIN},
    {"ContextMenu", KEY_MENU},
    {"ScrollLock", KEY_SCRLOCK},
    {"NumLock", KEY_NUMLOCK},
    {"CapsLock", KEY_CAPSLOCK},
};

/* clang-format off */
EM_JS(void, web_name_key, (const char *code, int scancode), {
   Module['webKeyCodes'] = Module['webKeyCodes'] || {};
   Module['webKeyCodes'][UTF8ToString(code)] = scancode;
});
/* clang-format on */

/* Queues each press and release as [scancode, character, pressed]. A key the page's own
 * shortcuts need (with Ctrl or the system key) is left to the browser; every other key of
 * the map stops there, so that Space and the arrows never scroll the page. Leaving the canvas,
 * or the page, releases what is held, since its release would go elsewhere.
 *
 * The page's on-screen controls of a touch screen are keys too: Module.webKeyboard.press(code)
 * and release(code) hold and let go of the key of that KeyboardEvent.code. */
/* clang-format off */
EM_JS(void, web_listen_to_keys, (void), {
   var canvas = Module['canvas'];
   var codes = Module['webKeyCodes'];
   var held = {};
   var queue = Module['webKeys'] = [];
   function character(key) {
      if (key.length === 1) return key.charCodeAt(0);
      return {'Enter': 13, 'Escape': 27, 'Backspace': 8, 'Tab': 9, 'Delete': 127}[key] || 0;
   }
   function change(scancode, key, pressed) {
      if (pressed) held[scancode] = true; else delete held[scancode];
      queue.push([scancode, pressed ? character(key) : 0, pressed]);
   }
   function onKey(event, pressed) {
      var scancode = codes[event.code];
      if (!scancode || event.ctrlKey || event.metaKey) return;
      event.preventDefault();
      change(scancode, event.key, pressed);
   }
   function releaseAll() {
      for (var scancode in held) queue.push([Number(scancode), 0, false]);
      held = {};
   }
   /* A control's key, as the key of that code on a US layout would type it. */
   function controlKey(code) {
      return code.indexOf('Key') === 0 ? code.slice(3).toLowerCase() : code === 'Space' ? ' ' : code;
   }
   Module['webKeyboard'] = {
      press: function(code) { if (codes[code]) change(codes[code], controlKey(code), true); },
      release: function(code) { if (held[codes[code]]) change(codes[code], '', false); }
   };
   var listeners = Module['webKeyListeners'] = [
      [canvas, 'keydown', function(event) { onKey(event, true); }],
      [canvas, 'keyup', function(event) { onKey(event, false); }],
      [canvas, 'blur', releaseAll],
      [window, 'blur', releaseAll]
   ];
   listeners.forEach(function(l) { l[0].addEventListener(l[1], l[2]); });
});

EM_JS(void, web_stop_listening_to_keys, (void), {
   Module['webKeyListeners'].forEach(function(l) { l[0].removeEventListener(l[1], l[2]); });
   Module['webKeys'] = Module['webKeyboard'] = null;
});
/* clang-format on */

/* The next queued key into *scancode and *character: its press (1), its release (0), or -1
 * when the queue is empty. */
/* clang-format off */
EM_JS(int, web_next_key, (int *scancode, int *character), {
   var queue = Module['webKeys'];
   if (!queue || queue.length === 0) return -1;
   var key = queue.shift();
   HEAP32[scancode >> 2] = key[0];
   HEAP32[character >> 2] = key[1];
   return key[2] ? 1 : 0;
});
/* clang-format on */

static int installed = FALSE;

static int keyboard_web_init(void) {
  for (size_t i = 0; i < sizeof key_names / sizeof key_names[0]; i++)
    web_name_key(key_names[i].code, key_names[i].scancode);
  web_listen_to_keys();
  installed = TRUE;
  return 0;
}

static void keyboard_web_exit(void) {
  web_stop_listening_to_keys();
  installed = FALSE;
}

/* A key pressed and released between two turns would be down for no pass of the program: its
 * release waits for the next turn, so that a quick tap of Space still switches the camera. */
static int held_over_release;

void web_take_keys(void) {
  unsigned char pressed_this_turn[KEY_MAX] = {0};
  int scancode, character, pressed;
  if (!installed)
    return;
  if (held_over_release != 0) {
    _handle_key_release(held_over_release);
    held_over_release = 0;
  }
  while ((pressed = web_next_key(&scancode, &character)) >= 0) {
    if (pressed) {
      _handle_key_press(character, scancode);
      pressed_this_turn[scancode] = 1;
    } else if (pressed_this_turn[scancode]) {
      held_over_release = scancode;
      return; /* what came after it comes after it */
    } else {
      _handle_key_release(scancode);
    }
  }
}

KEYBOARD_DRIVER keyboard_web = {KEYBOARD_WEB,
                                empty_string,
                                empty_string,
                                "Browser keyboard",
                                TRUE, /* the browser repeats a held key itself */
                                keyboard_web_init,
                                keyboard_web_exit,
                                NULL, /* no poll: keys come in at every turn */
                                NULL,
                                NULL,
                                NULL,
                                NULL,
                                NULL,
                                NULL};
