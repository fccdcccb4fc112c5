// The icon theme's PNG files, through libpng's simplified interface: it chooses the filters and
// the compression, and marks the pixels as sRGB, which the drawing's colours are.
#include "tools/icon/png_file.hpp"

#include <png.h>

bool writePng(const std::string& path, const RgbImage& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB;
  // The rows as they are, three bytes a pixel, one after the other (stride 0).
  const bool written =
      png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr) != 0;
  png_image_free(&png);
  return written;
}
