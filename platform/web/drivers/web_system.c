/* The system driver: the page, its title, and the lists of the other browser drivers. */
#include "web_drivers.h"

#include <emscripten.h>

static _DRIVER_INFO gfx_list[] = {{GFX_WEB, &gfx_web, TRUE}, {0, NULL, 0}};
static _DRIVER_INFO keyboard_list[] = {{KEYBOARD_WEB, &keyboard_web, TRUE}, {0, NULL, 0}};
static _DRIVER_INFO mouse_list[] = {{MOUSE_WEB, &mouse_web, TRUE}, {0, NULL, 0}};
static _DRIVER_INFO timer_list[] = {{TIMER_WEB, &timer_web, TRUE}, {0, NULL, 0}};
static _DRIVER_INFO no_drivers[] = {{0, NULL, 0}};

/* Without a canvas on the page (under node, say) there is nothing to show or read. */
/* clang-format off */
EM_JS(int, web_page_has_canvas, (void), {
   return typeof document !== 'undefined' && Module['canvas'] ? 1 : 0;
});

EM_JS(void, web_set_title, (const char *title), { document.title = UTF8ToString(title); });

EM_JS(void, web_print_message, (const char *text), { out(UTF8ToString(text)); });

EM_JS(int, web_page_width, (void), { return window.innerWidth; });
/* clang-format on */
/* clang-format off */
EM_JS(int, web_page_height, (void), { return window.innerHeight; });
/* clang-format on */

static int system_web_init(void) {
  if (!web_page_has_canvas())
    return -1;
  os_type = OSTYPE_UNIX;
  return 0;
}

static void system_web_exit(void) {}

/* A page has no close button of its own: the tab's is the browser's. */
static int system_web_set_close_button_callback(void (*proc)(void)) {
  (void)proc;
  return 0;
}

/* A page has no executable file and no folders to look in: the library's configuration files
 * are never found, and the program reads no files. */
static void system_web_get_executable_name(char* output, int size) {
  ustrzcpy(output, size, "funnies");
}

static int system_web_find_resource(char* dest, AL_CONST char* resource, int size) {
  (void)dest;
  (void)resource;
  (void)size;
  return -1;
}

static int system_web_desktop_color_depth(void) {
  return 32;
}

static int system_web_get_desktop_resolution(int* width, int* height) {
  *width = web_page_width();
  *height = web_page_height();
  return 0;
}

static _DRIVER_INFO* system_web_gfx_drivers(void) {
  return gfx_list;
}
static _DRIVER_INFO* system_web_no_drivers(void) {
  return no_drivers;
}
static _DRIVER_INFO* system_web_keyboard_drivers(void) {
  return keyboard_list;
}
static _DRIVER_INFO* system_web_mouse_drivers(void) {
  return mouse_list;
}
static _DRIVER_INFO* system_web_timer_drivers(void) {
  return timer_list;
}

SYSTEM_DRIVER system_web = {SYSTEM_WEB,
                            empty_string,
                            empty_string,
                            "Browser",
                            system_web_init,
                            system_web_exit,
                            system_web_get_executable_name,
                            system_web_find_resource,
                            web_set_title,
                            system_web_set_close_button_callback,
                            web_print_message,
                            NULL, /* assert */
                            NULL, /* save_console_state */
                            NULL, /* restore_console_state */
                            NULL, /* create_bitmap */
                            NULL, /* created_bitmap */
                            NULL, /* create_sub_bitmap */
                            NULL, /* created_sub_bitmap */
                            NULL, /* destroy_bitmap */
                            NULL, /* read_hardware_palette */
                            NULL, /* set_palette_range */
                            NULL, /* get_vtable */
                            NULL, /* set_display_switch_mode */
                            NULL, /* display_switch_lock */
                            system_web_desktop_color_depth,
                            system_web_get_desktop_resolution,
                            NULL,                 /* get_gfx_safe_mode */
                            web_take_turn_if_due, /* yield_timeslice */
                            _unix_create_mutex,   /* one thread: the library's mutexes never wait */
                            _unix_destroy_mutex,
                            _unix_lock_mutex,
                            _unix_unlock_mutex,
                            system_web_gfx_drivers,
                            system_web_no_drivers, /* no sound */
                            system_web_no_drivers, /* no MIDI */
                            system_web_keyboard_drivers,
                            system_web_mouse_drivers,
                            system_web_no_drivers, /* no joystick */
                            system_web_timer_drivers};
