// The icon files that a platform's build uses, each platform's in a file of its own, which
// tools/icon/CMakeLists.txt picks: desktop_icons.cpp for Linux (the icon theme's PNGs and the
// window icon's XPM), windows_icon.cpp for Windows (the program's ICO).
#pragma once

#include "tools/icon/icon_files.hpp"

#include <functional>
#include <string>

/// The drawn icon at `size` pixels square.
using IconAtSize = std::function<RgbImage(int size)>;

/// Writes this platform's icon files into `directory`; at the first that cannot be written,
/// says so on stderr and returns false.
bool writeIcons(const IconAtSize& iconAt, const std::string& directory);

/// Says on stderr that `path` cannot be written; false, for the caller to return.
bool cannotWrite(const std::string& path);
