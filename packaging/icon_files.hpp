// The icon's picture and the files it is written to: PNG for the desktop's icon theme, XPM,
// which is C source, for the program's own window icon on X11, and ICO for the Windows
// program's icon resource. Written by hand because the library saves none of them and a build
// needs nothing but the library.
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

/// The zlib stream (RFC 1950) of `data`: one deflate block with the fixed codes, whose matches
/// look back `distances` bytes only (in a picture: the pixel before and the row above).
std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& data,
                                       const std::vector<int>& distances);

/// `image` as a PNG file: 8-bit RGB, no interlacing, every row unfiltered.
std::vector<std::uint8_t> encodePng(const RgbImage& image);

/// `image` as XPM 3 source declaring `static const char* name[]`: one code per distinct
/// colour, in the order the colours first appear.
std::string encodeXpm(const RgbImage& image, const std::string& name);

/// `images` as one ICO file, in their order, each as an opaque 32-bit bitmap, which every
/// Windows and Wine reads at any size up to 256 pixels.
std::vector<std::uint8_t> encodeIco(const std::vector<RgbImage>& images);

/// Writes `bytes` to the file `path`; false when it cannot.
bool writeFile(const std::string& path, const std::string& bytes);
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
