/* A mouse for the Wayland scenarios: moves and buttons that the compositor takes in as a real
 * pointer device's (wlroots' virtual-pointer protocol), so that they reach Xwayland, and the
 * program, the way a user's would. Reads one command a line on standard input:
 *   move DX DY                      relative motion, in pixels
 *   place X Y WIDTH HEIGHT          to the point X, Y of a WIDTH by HEIGHT layout of the outputs
 *   press BUTTON, release BUTTON    BUTTON is left or right
 * and sends each as one frame, then answers "ok" on standard output once the compositor has
 * handled it. Connects to the compositor named by WAYLAND_DISPLAY; ends at the end of input. */
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

struct Globals {
  struct wl_seat* seat;
  struct zwlr_virtual_pointer_manager_v1* manager;
};

static void announced(void* data, struct wl_registry* registry, uint32_t name,
                      const char* interface, uint32_t version) {
  (void)version;
  struct Globals* globals = data;
  if (strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == NULL) {
    globals->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
  } else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
    globals->manager =
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
  }
}

static void withdrawn(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data;
  (void)registry;
  (void)name;
}

static const struct wl_registry_listener registryListener = {announced, withdrawn};

/* The events' timestamps: milliseconds of the monotonic clock, as input devices give them. */
static uint32_t nowMs(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

struct ButtonCommand {
  const char* verb;
  const char* button;
  uint32_t code;
  uint32_t state;
};

static const struct ButtonCommand buttonCommands[] = {
    {"press", "left", BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED},
    {"release", "left", BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED},
    {"press", "right", BTN_RIGHT, WL_POINTER_BUTTON_STATE_PRESSED},
    {"release", "right", BTN_RIGHT, WL_POINTER_BUTTON_STATE_RELEASED},
};

/* The button command VERB BUTTON, or NULL. */
static const struct ButtonCommand* findButtonCommand(const char* verb, const char* button) {
  const size_t count = sizeof buttonCommands / sizeof buttonCommands[0];
  for (size_t i = 0; i < count; i++) {
    if (strcmp(verb, buttonCommands[i].verb) == 0 &&
        strcmp(button, buttonCommands[i].button) == 0) {
      return &buttonCommands[i];
    }
  }
  return NULL;
}

/* Sends the command of one input line, ended by a frame. Returns 0 for a line it does not know. */
static int send(struct zwlr_virtual_pointer_v1* pointer, const char* line) {
  int dx = 0;
  int dy = 0;
  unsigned x = 0;
  unsigned y = 0;
  unsigned width = 0;
  unsigned height = 0;
  char verb[16];
  char button[16];
  const struct ButtonCommand* command = NULL;
  if (sscanf(line, "move %d %d", &dx, &dy) == 2) {
    zwlr_virtual_pointer_v1_motion(pointer, nowMs(), wl_fixed_from_int(dx), wl_fixed_from_int(dy));
  } else if (sscanf(line, "place %u %u %u %u", &x, &y, &width, &height) == 4) {
    zwlr_virtual_pointer_v1_motion_absolute(pointer, nowMs(), x, y, width, height);
  } else if (sscanf(line, "%15s %15s", verb, button) == 2 &&
             (command = findButtonCommand(verb, button)) != NULL) {
    zwlr_virtual_pointer_v1_button(pointer, nowMs(), command->code, command->state);
  } else {
    return 0;
  }
  zwlr_virtual_pointer_v1_frame(pointer);
  return 1;
}

/* Sends every line of standard input; 0 at its end, 1 if the connection or a line fails. */
static int run(struct wl_display* display, struct zwlr_virtual_pointer_v1* pointer,
               const char* self) {
  char line[64];
  while (fgets(line, sizeof line, stdin) != NULL) {
    if (!send(pointer, line)) {
      fprintf(stderr, "%s: not a command: %s", self, line);
      return 1;
    }
    if (wl_display_roundtrip(display) < 0) {
      fprintf(stderr, "%s: the compositor closed the connection\n", self);
      return 1;
    }
    puts("ok");
    fflush(stdout);
  }
  return 0;
}

int main(int argc, char** argv) {
  (void)argc;
  struct wl_display* display = wl_display_connect(NULL);
  if (display == NULL) {
    fprintf(stderr, "%s: cannot connect to the Wayland compositor\n", argv[0]);
    return 1;
  }
  struct Globals globals = {NULL, NULL};
  struct wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registryListener, &globals);
  wl_display_roundtrip(display);
  if (globals.manager == NULL) {
    fprintf(stderr, "%s: the compositor has no %s\n", argv[0],
            zwlr_virtual_pointer_manager_v1_interface.name);
    wl_display_disconnect(display);
    return 1;
  }
  struct zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
  const int status = run(display, pointer, argv[0]);
  zwlr_virtual_pointer_v1_destroy(pointer);
  zwlr_virtual_pointer_manager_v1_destroy(globals.manager);
  if (globals.seat != NULL) {
    wl_seat_destroy(globals.seat);
  }
  wl_registry_destroy(registry);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return status;
}
