// Windows' icon file: one ICO of the sizes Explorer, the taskbar, Alt+Tab and the large views
// show, which the program's resources hold (windows/funnies.rc.in).
#include "tools/icon/icon_set.hpp"

#include <vector>

namespace {

constexpr int windowsIconSizes[] = {16, 32, 48, 256};

} // namespace

bool writeIcons(const IconAtSize& iconAt, const std::string& directory) {
  std::vector<RgbImage> images;
  for (const int size : windowsIconSizes) {
    images.push_back(iconAt(size));
  }
  const std::string path = directory + "/funnies.ico";
  return writeFile(path, encodeIco(images)) || cannotWrite(path);
}
