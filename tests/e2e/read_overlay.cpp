// Reads the four overlay lines back from a screenshot: every 8x8 cell of a line is matched
// against the library's own font, drawn white on black as the overlay draws it.
// Usage: e2e_read_overlay SHOT.bmp (the window's picture, top-left corner at 0,0).
#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

constexpr int glyphSize = 8;
constexpr int lineHeight = 10;
constexpr int lineCount = 4;
constexpr char firstPrintable = ' ';
constexpr char lastPrintable = '~';
constexpr int white = 255;

/// One 8x8 cell as a bit mask (bit set = white pixel); empty when the cell holds a pixel that
/// is neither pure white nor pure black, which no glyph of the overlay has.
struct Cell {
  bool isText = false;
  std::uint64_t mask = 0;
};

Cell readCell(BITMAP* picture, int left, int top) {
  const int depth = bitmap_color_depth(picture);
  Cell cell{true, 0};
  for (int y = 0; y < glyphSize; ++y) {
    for (int x = 0; x < glyphSize; ++x) {
      const int pixel = getpixel(picture, left + x, top + y);
      const int r = getr_depth(depth, pixel);
      const int g = getg_depth(depth, pixel);
      const int b = getb_depth(depth, pixel);
      const bool isWhite = r == white && g == white && b == white;
      const bool isBlack = r == 0 && g == 0 && b == 0;
      if (!isWhite && !isBlack) {
        return Cell{};
      }
      if (isWhite) {
        cell.mask |= std::uint64_t{1} << (y * glyphSize + x);
      }
    }
  }
  return cell;
}

std::map<std::uint64_t, char> fontGlyphs() {
  std::map<std::uint64_t, char> glyphs;
  BITMAP* cellBitmap = create_bitmap(glyphSize, glyphSize);
  for (char c = firstPrintable; c <= lastPrintable; ++c) {
    const char text[] = {c, '\0'};
    clear_to_color(cellBitmap, makecol(0, 0, 0));
    textout_ex(cellBitmap, font, text, 0, 0, makecol(white, white, white), 0);
    glyphs.emplace(readCell(cellBitmap, 0, 0).mask, c);
  }
  destroy_bitmap(cellBitmap);
  return glyphs;
}

/// The text of one line: glyphs from x = 0 up to the first cell that is not one, without
/// trailing blanks (a black cell of the scene reads as a space).
std::string readLine(BITMAP* picture, int top, const std::map<std::uint64_t, char>& glyphs) {
  std::string text;
  for (int left = 0; left + glyphSize <= picture->w; left += glyphSize) {
    const Cell cell = readCell(picture, left, top);
    const auto glyph = glyphs.find(cell.mask);
    if (!cell.isText || glyph == glyphs.end()) {
      break;
    }
    text += glyph->second;
  }
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SHOT.bmp\n", argv[0]);
    return 2;
  }
  install_allegro(SYSTEM_NONE, &errno, std::atexit);
  set_color_depth(32);
  BITMAP* picture = load_bitmap(argv[1], nullptr);
  if (picture == nullptr) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  const std::map<std::uint64_t, char> glyphs = fontGlyphs();
  for (int line = 0; line < lineCount; ++line) {
    std::printf("%s\n", readLine(picture, line * lineHeight, glyphs).c_str());
  }
  destroy_bitmap(picture);
  return 0;
}
END_OF_MAIN()
