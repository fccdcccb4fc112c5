// The icon theme's PNG files, written with libpng (Debian's libpng-dev); the Windows build has no
// libpng and writes none (tools/icon/CMakeLists.txt).
#pragma once

#include "tools/icon/icon_files.hpp"

#include <string>

/// Writes `image` to the file `path` as an 8-bit RGB PNG; false when it cannot.
bool writePng(const std::string& path, const RgbImage& image);
