// Draws the desktop icon with the program's own renderer: one funnie curling towards the
// viewer over the blue background, saved as a TGA for the packaging to scale down. It is drawn
// large because circles of an eighth of the width and more are left out.
#include "render/background.hpp"
#include "render/funnie_renderer.hpp"
#include "sim/funnie.hpp"

#include <allegro.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int iconSize = 256;

/// The longest funnie, its body sweeping most of a turn of a spiral in front of the camera.
void curl(Funnie& funnie) {
  delete[] funnie.segments;
  funnie.segmentCount = maxSegmentCount;
  funnie.segments = new FunnieSegment[maxSegmentCount];
  for (int i = 0; i < funnie.segmentCount; ++i) {
    const double angle = 0.9 + i * 0.25;
    const double radius = 26 - 0.6 * i;
    funnie.segments[i] = FunnieSegment{static_cast<float>(radius * std::cos(angle)),
                                       static_cast<float>(radius * std::sin(angle)),
                                       static_cast<float>(55 + 1.5 * i)};
  }
  funnie.colour = Colour{255, 150, 40};
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s icon.tga\n", argv[0]);
    return 2;
  }
  install_allegro(SYSTEM_NONE, &errno, std::atexit);
  set_color_depth(32);
  std::srand(1);
  Funnie funnie(nullptr);
  curl(funnie);
  BITMAP* icon = create_bitmap(iconSize, iconSize);
  ZBUFFER* depthMap = create_zbuffer(icon);
  clear_to_color(icon, backgroundColour(0));
  clear_zbuffer(depthMap, 0);
  MATRIX_f view;
  get_translation_matrix_f(&view, 0, 0, 0);
  renderFunnie(&funnie, icon, depthMap, view);
  const int failed = save_bitmap(argv[1], icon, nullptr);
  destroy_zbuffer(depthMap);
  destroy_bitmap(icon);
  return failed ? 1 : 0;
}
END_OF_MAIN()
