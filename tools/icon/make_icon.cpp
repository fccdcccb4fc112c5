// funnies-icon: draws the icon with the program's own renderer, one funnie curling towards the
// viewer over the blue background, and writes it at every size the build installs plus the
// program's window icon. It draws large and averages blocks of pixels down, which smooths the
// circles' edges; large also because circles of an eighth of the width and more are left out.
// Usage: funnies-icon DIRECTORY, which receives the platform's icon files (icon_set.hpp): on
// Linux funnies-64.png, funnies-128.png, funnies-256.png and funnies_icon.xpm, on Windows
// funnies.ico.
#include "render/background.hpp"
#include "render/funnie_renderer.hpp"
#include "sim/funnie.hpp"
#include "tools/icon/icon_set.hpp"

#include <allegro.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int drawnSize = 512;

// The curl: most of a turn of a spiral that narrows and recedes from head to tail.
constexpr double headAngle = 0.9;  // radians
constexpr double angleStep = 0.25; // radians a segment
constexpr double headRadius = 26;  // world units from the view axis
constexpr double radiusStep = 0.6; // world units a segment
constexpr double headDepth = 55;   // world units in front of the camera
constexpr double depthStep = 1.5;  // world units a segment
constexpr Colour orange = {255, 150, 40};

/// The longest funnie, its body sweeping most of a turn of a spiral in front of the camera.
void curl(Funnie& funnie) {
  delete[] funnie.segments;
  funnie.segmentCount = maxSegmentCount;
  funnie.segments = new FunnieSegment[maxSegmentCount];
  for (int i = 0; i < funnie.segmentCount; ++i) {
    const double angle = headAngle + i * angleStep;
    const double radius = headRadius - radiusStep * i;
    funnie.segments[i] = FunnieSegment{static_cast<float>(radius * std::cos(angle)),
                                       static_cast<float>(radius * std::sin(angle)),
                                       static_cast<float>(headDepth + depthStep * i)};
  }
  funnie.colour = orange;
}

/// `picture` at `size` pixels square: each pixel the rounded mean of its block of the drawing,
/// the blocks' edges at whole pixels of the drawing (all alike where `size` divides its width).
RgbImage shrink(BITMAP* picture, int size) {
  const auto edge = [&](int i) { return i * picture->w / size; };
  RgbImage image{size, size, {}};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int sums[3] = {};
      for (int py = edge(y); py < edge(y + 1); ++py) {
        for (int px = edge(x); px < edge(x + 1); ++px) {
          const int pixel = getpixel(picture, px, py);
          sums[0] += getr(pixel);
          sums[1] += getg(pixel);
          sums[2] += getb(pixel);
        }
      }
      const int blockArea = (edge(x + 1) - edge(x)) * (edge(y + 1) - edge(y));
      for (const int sum : sums) {
        image.rgb.push_back(static_cast<std::uint8_t>((sum + blockArea / 2) / blockArea));
      }
    }
  }
  return image;
}

} // namespace

bool cannotWrite(const std::string& path) {
  std::fprintf(stderr, "funnies-icon: cannot write %s\n", path.c_str());
  return false;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: funnies-icon DIRECTORY\n");
    return 2;
  }
  install_allegro(SYSTEM_NONE, &errno, std::atexit);
  set_color_depth(32);
  std::srand(1); // the funnie's random length and colour are replaced by curl
  Funnie funnie(nullptr);
  curl(funnie);
  BITMAP* picture = create_bitmap(drawnSize, drawnSize);
  ZBUFFER* depthMap = create_zbuffer(picture);
  clear_to_color(picture, backgroundColour(0));
  clear_zbuffer(depthMap, 0);
  MATRIX_f view;
  get_translation_matrix_f(&view, 0, 0, 0);
  renderFunnie(&funnie, picture, depthMap, view);
  const bool written = writeIcons([picture](int size) { return shrink(picture, size); }, argv[1]);
  destroy_zbuffer(depthMap);
  destroy_bitmap(picture);
  return written ? 0 : 1;
}
END_OF_MAIN()
