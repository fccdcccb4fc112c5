/* The graphics driver: the screen is a bitmap in the program's memory, shown on the page's
 * canvas at every turn, from the first to the last row drawn since the one before. */
#include "web_drivers.h"

#include <emscripten.h>
#include <stdint.h>
#include <stdlib.h>

static unsigned char* pixels; /* the screen's own, at its colour depth */
static unsigned char* rgba;   /* the same rows as the canvas takes them */
static int first_dirty_row, last_dirty_row;
static void (*draw_from_memory)(BITMAP*, BITMAP*, int, int, int, int, int, int);

/* The canvas takes the mode's size; on the page each of its pixels is a whole number of the
 * screen's device pixels, the nearest to the page's own scale, never blurred. Where the page
 * asks to fit its width (a touch screen), the canvas is scaled up by a whole number while that
 * fits, and down to the width where it does not, smoothed then. */
/* clang-format off */
EM_JS(void, web_size_canvas, (int width, int height), {
   var canvas = Module['canvas'];
   canvas.width = width;
   canvas.height = height;
   Module['webContext'] = canvas.getContext('2d', {alpha: false});
   function fit() {
      var ratio = window.devicePixelRatio || 1;
      var css = width * Math.max(1, Math.round(ratio)) / ratio;
      var room = Module['fitToWidth'] ? document.documentElement.clientWidth : 0;
      var crisp = !room || css <= room;
      if (room) css = crisp ? css * Math.floor(room / css) : room;
      canvas.style.imageRendering = crisp ? 'pixelated' : 'auto';
      canvas.style.width = css + 'px';
      canvas.style.height = (css * height / width) + 'px';
   }
   if (Module['webFit']) window.removeEventListener('resize', Module['webFit']);
   Module['webFit'] = fit;
   window.addEventListener('resize', fit);
   fit();
});

EM_JS(void, web_show_rows, (const unsigned char *rows, int width, int first, int count), {
   var bytes = new Uint8ClampedArray(HEAPU8.buffer, rows + first * width * 4, count * width * 4);
   Module['webContext'].putImageData(new ImageData(bytes, width, count), 0, first);
});
/* clang-format on */

static void mark_rows(int first, int last) {
  if (first < first_dirty_row)
    first_dirty_row = first;
  if (last > last_dirty_row)
    last_dirty_row = last;
}

static void mark_nothing_drawn(void) {
  first_dirty_row = INT32_MAX;
  last_dirty_row = -1;
}

/* Every drawing routine of the library asks for the line it writes through the bitmap's
 * write_bank; the screen's answers with the line and remembers it. */
static uintptr_t write_screen_line(BITMAP* bmp, int line) {
  mark_rows(line, line);
  return (uintptr_t)bmp->line[line];
}

/* A blit of the whole screen is a frame: the browser shows it and has its turn. Other blits
 * (the dialog's pointer, say) give it a turn only when one is due. */
static void blit_to_screen(BITMAP* source, BITMAP* dest, int source_x, int source_y, int dest_x,
                           int dest_y, int width, int height) {
  draw_from_memory(source, dest, source_x, source_y, dest_x, dest_y, width, height);
  if (width == dest->w && height == dest->h)
    web_take_turn();
  else
    web_take_turn_if_due();
}

static void to_rgba(int depth, const unsigned char* line, unsigned char* out, int width) {
  for (int x = 0; x < width; x++, out += 4) {
    int colour;
    switch (depth) {
    case 8:
      colour = line[x];
      break;
    case 15:
    case 16:
      colour = ((const uint16_t*)line)[x];
      break;
    case 24:
      colour = line[x * 3] | line[x * 3 + 1] << 8 | line[x * 3 + 2] << 16;
      break;
    default:
      colour = (int)((const uint32_t*)line)[x];
      break;
    }
    out[0] = getr_depth(depth, colour);
    out[1] = getg_depth(depth, colour);
    out[2] = getb_depth(depth, colour);
    out[3] = 255;
  }
}

/* The program's own depth, at every frame: without the library's call for each pixel. */
static void to_rgba_32(const unsigned char* line, unsigned char* out, int width) {
  const uint32_t* colours = (const uint32_t*)line;
  for (int x = 0; x < width; x++, out += 4) {
    out[0] = getr32(colours[x]);
    out[1] = getg32(colours[x]);
    out[2] = getb32(colours[x]);
    out[3] = 255;
  }
}

void web_present_screen(void) {
  if (!pixels || first_dirty_row > last_dirty_row)
    return;
  const int depth = bitmap_color_depth(screen);
  for (int y = first_dirty_row; y <= last_dirty_row; y++) {
    unsigned char* out = rgba + (size_t)y * screen->w * 4;
    if (depth == 32)
      to_rgba_32(screen->line[y], out, screen->w);
    else
      to_rgba(depth, screen->line[y], out, screen->w);
  }
  web_show_rows(rgba, screen->w, first_dirty_row, last_dirty_row - first_dirty_row + 1);
  mark_nothing_drawn();
}

static void gfx_web_exit(BITMAP* bmp) {
  (void)bmp;
  free(pixels);
  free(rgba);
  pixels = rgba = NULL;
}

static BITMAP* gfx_web_init(int w, int h, int v_w, int v_h, int color_depth) {
  if ((v_w != 0 && v_w != w) || (v_h != 0 && v_h != h)) {
    ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("No virtual screen"));
    return NULL;
  }
  const int bytes = BYTES_PER_PIXEL(color_depth);
  pixels = calloc((size_t)w * h, bytes);
  rgba = malloc((size_t)w * h * 4);
  BITMAP* bmp = pixels && rgba
                    ? _make_bitmap(w, h, (uintptr_t)pixels, &gfx_web, color_depth, w * bytes)
                    : NULL;
  if (!bmp) {
    gfx_web_exit(NULL);
    ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text("Not enough memory"));
    return NULL;
  }
  bmp->write_bank = write_screen_line;
  draw_from_memory = bmp->vtable->blit_from_memory;
  bmp->vtable->blit_from_memory = blit_to_screen;
  gfx_web.w = w;
  gfx_web.h = h;
  web_size_canvas(w, h);
  mark_rows(0, h - 1);
  return bmp;
}

static void gfx_web_vsync(void) {
  web_take_turn();
}

/* The palette colours every row of an 8-bit screen. */
static void gfx_web_set_palette(AL_CONST RGB* palette, int from, int to, int vsync) {
  (void)palette;
  (void)from;
  (void)to;
  if (vsync)
    web_take_turn();
  if (screen && bitmap_color_depth(screen) == 8)
    mark_rows(0, screen->h - 1);
}

GFX_DRIVER gfx_web = {
    GFX_WEB,
    empty_string,
    empty_string,
    "Canvas",
    gfx_web_init,
    gfx_web_exit,
    NULL, /* scroll */
    gfx_web_vsync,
    gfx_web_set_palette,
    NULL,
    NULL,
    NULL, /* request_scroll, poll_scroll, enable_triple_buffer */
    NULL,
    NULL,
    NULL,
    NULL, /* video bitmaps */
    NULL,
    NULL, /* system bitmaps */
    NULL,
    NULL,
    NULL,
    NULL, /* no hardware pointer: the library draws it */
    NULL,
    NULL,
    NULL,
    NULL, /* drawing_mode, save/restore_video_state, set_blender_mode */
    NULL, /* fetch_mode_list: the library's list of common sizes, each of which works */
    0,
    0,    /* w, h */
    TRUE, /* linear */
    0,
    0,
    0,
    0,
    TRUE /* windowed */
};
