/* Lets a scenario see the program's own state instead of guessing it from pixels: preloaded
 * (LD_PRELOAD), it stands in front of the library's set_projection_viewport, apply_matrix_f and
 * blit. The funnie renderer sets the viewport once per funnie and then transforms its segments
 * in order, head first, so the first transform after each viewport is a head. At most every
 * 50 ms, when a frame is shown, it writes to the file named by FUNNIES_SCENE_FILE:
 *   pointer MOUSE_X MOUSE_Y
 *   head SCREEN_X SCREEN_Y DEPTH SEGMENT_COUNT WORLD_X WORLD_Y WORLD_Z  (one per head in view)
 * replacing the file whole (written aside, then renamed), so a reader never sees half of it. */
#define _GNU_SOURCE
#include <allegro.h>

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

enum { maxFunnies = 1024, minSegments = 8, maxSegments = 23, writeEveryMs = 50 };

typedef struct {
  float world[3];
  float view[3];
  int segments;
} Head;

static Head frame[maxFunnies]; /* heads of the frame being drawn */
static int frameHeads;
static Head current; /* the funnie being transformed */

static void* library(const char* name) {
  return dlsym(RTLD_NEXT, name);
}

/* A funnie's transforms are over: keep its head if it looks like one (the particle renderer sets
 * the viewport too, and transforms nothing or far more). */
static void endFunnie(void) {
  if (current.segments >= minSegments && current.segments <= maxSegments &&
      frameHeads < maxFunnies) {
    frame[frameHeads++] = current;
  }
  current.segments = 0;
}

void set_projection_viewport(int x, int y, int w, int h) {
  static void (*real)(int, int, int, int);
  if (real == NULL) {
    real = (void (*)(int, int, int, int))library("set_projection_viewport");
  }
  endFunnie();
  real(x, y, w, h);
}

void apply_matrix_f(const MATRIX_f* m, float x, float y, float z, float* xout, float* yout,
                    float* zout) {
  static void (*real)(const MATRIX_f*, float, float, float, float*, float*, float*);
  if (real == NULL) {
    real = (void (*)(const MATRIX_f*, float, float, float, float*, float*, float*))library(
        "apply_matrix_f");
  }
  real(m, x, y, z, xout, yout, zout);
  if (current.segments == 0) {
    current.world[0] = x;
    current.world[1] = y;
    current.world[2] = z;
    current.view[0] = *xout;
    current.view[1] = *yout;
    current.view[2] = *zout;
  }
  ++current.segments;
}

/* The renderer's own view test for a head: inside the pyramid, bounds included, not at depth 0. */
static int inView(const float* v) {
  return v[2] > 0 && -v[2] <= v[0] && v[0] <= v[2] && -v[2] <= v[1] && v[1] <= v[2];
}

static long nowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000L + t.tv_nsec / 1000000L;
}

static void writeScene(const char* path) {
  char aside[4096];
  snprintf(aside, sizeof aside, "%s.new", path);
  FILE* file = fopen(aside, "w");
  if (file == NULL) {
    return;
  }
  fprintf(file, "pointer %d %d\n", mouse_x, mouse_y);
  for (int i = 0; i < frameHeads; ++i) {
    const Head* h = &frame[i];
    if (inView(h->view)) {
      const float sx = h->view[0] / h->view[2] * _persp_xscale_f + _persp_xoffset_f;
      const float sy = h->view[1] / h->view[2] * _persp_yscale_f + _persp_yoffset_f;
      /* world coordinates are whole numbers; cut toward zero as overlay line 4 shows them */
      fprintf(file, "head %.3f %.3f %.3f %d %d %d %d\n", sx, sy, h->view[2], h->segments,
              (int)h->world[0], (int)h->world[1], (int)h->world[2]);
    }
  }
  fclose(file);
  rename(aside, path);
}

void blit(BITMAP* source, BITMAP* dest, int source_x, int source_y, int dest_x, int dest_y,
          int width, int height) {
  static void (*real)(BITMAP*, BITMAP*, int, int, int, int, int, int);
  static long lastWrite;
  if (real == NULL) {
    real = (void (*)(BITMAP*, BITMAP*, int, int, int, int, int, int))library("blit");
  }
  if (dest == screen) {
    endFunnie();
    const char* path = getenv("FUNNIES_SCENE_FILE");
    if (path != NULL && nowMs() - lastWrite >= writeEveryMs) {
      writeScene(path);
      lastWrite = nowMs();
    }
    frameHeads = 0;
  }
  real(source, dest, source_x, source_y, dest_x, dest_y, width, height);
}
