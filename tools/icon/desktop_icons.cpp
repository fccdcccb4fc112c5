// Linux's icon files: the icon theme's PNGs at every size the package installs, and the X11
// window icon as XPM source, which the program compiles in (window_icon.cpp).
#include "tools/icon/icon_set.hpp"
#include "tools/icon/png_file.hpp"

namespace {

constexpr int pngSizes[] = {64, 128, 256}; // FUNNIES_ICON_SIZES in tools/icon/CMakeLists.txt
constexpr int windowIconSize = 64;

} // namespace

bool writeIcons(const IconAtSize& iconAt, const std::string& directory) {
  for (const int size : pngSizes) {
    const std::string path = directory + "/funnies-" + std::to_string(size) + ".png";
    if (!writePng(path, iconAt(size))) {
      return cannotWrite(path);
    }
  }
  const std::string xpmPath = directory + "/funnies_icon.xpm";
  if (!writeFile(xpmPath, encodeXpm(iconAt(windowIconSize), "funniesIcon"))) {
    return cannotWrite(xpmPath);
  }
  return true;
}
