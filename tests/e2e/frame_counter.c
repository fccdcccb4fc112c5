/* Counts the frames the program shows, for the soak's figures, without a line of the program's
 * own: preloaded (LD_PRELOAD), it stands in front of the library's blit, counts every blit onto
 * the screen and writes the total to the file named by FUNNIES_FRAME_COUNT_FILE when the process
 * ends normally. */
#define _GNU_SOURCE
#include <allegro.h>

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

typedef void (*BlitFunction)(BITMAP*, BITMAP*, int, int, int, int, int, int);

static unsigned long framesShown;

void blit(BITMAP* source, BITMAP* dest, int source_x, int source_y, int dest_x, int dest_y,
          int width, int height) {
  static BlitFunction libraryBlit;
  if (libraryBlit == NULL) {
    libraryBlit = (BlitFunction)dlsym(RTLD_NEXT, "blit");
  }
  if (dest == screen) {
    ++framesShown;
  }
  libraryBlit(source, dest, source_x, source_y, dest_x, dest_y, width, height);
}

__attribute__((destructor)) static void writeFrameCount(void) {
  const char* path = getenv("FUNNIES_FRAME_COUNT_FILE");
  FILE* file = path != NULL ? fopen(path, "w") : NULL;
  if (file != NULL) {
    fprintf(file, "%lu\n", framesShown);
    fclose(file);
  }
}
