// The icon's picture and the two files we write by hand: XPM, which is C source, for the
// program's own window icon on X11, and ICO for the Windows program's icon resource. The library
// saves neither; both are a header and the pixels, and the Windows build, which needs only the
// ICO, has no image library to write it with. The PNGs of the desktop's icon theme are libpng's
// (png_file.hpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// An 8-bit RGB picture, rows top to bottom, three bytes a pixel.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

/// `image` as XPM 3 source declaring `static const char* name[]`: one code per distinct
/// colour, in the order the colours first appear.
std::string encodeXpm(const RgbImage& image, const std::string& name);

/// `images` as one ICO file, in their order, each as an opaque 32-bit bitmap, which every
/// Windows and Wine reads at any size up to 256 pixels.
std::vector<std::uint8_t> encodeIco(const std::vector<RgbImage>& images);

/// Writes `bytes` to the file `path`; false when it cannot.
bool writeFile(const std::string& path, const std::string& bytes);
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
