// The XPM and ICO writers, and writing a file.
#include "tools/icon/icon_files.hpp"

#include <cstdio>
#include <map>

std::string encodeXpm(const RgbImage& image, const std::string& name) {
  // Neither quote nor backslash, so that every code stands in a C string as it is.
  static const std::string alphabet =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+@";
  const auto pixelCount = static_cast<std::size_t>(image.width) * image.height;
  std::map<std::uint32_t, std::size_t> indexOf;
  std::vector<std::uint32_t> colours;
  std::vector<std::size_t> pixels(pixelCount);
  for (std::size_t i = 0; i < pixelCount; ++i) {
    const std::uint32_t colour =
        (image.rgb[3 * i] << 16) | (image.rgb[3 * i + 1] << 8) | image.rgb[3 * i + 2];
    const auto found = indexOf.emplace(colour, colours.size());
    if (found.second) {
      colours.push_back(colour);
    }
    pixels[i] = found.first->second;
  }
  std::size_t codeLength = 1;
  for (std::size_t codes = alphabet.size(); codes < colours.size(); codes *= alphabet.size()) {
    ++codeLength;
  }
  const auto code = [&](std::size_t index) {
    std::string text(codeLength, ' ');
    for (std::size_t i = codeLength; i-- > 0; index /= alphabet.size()) {
      text[i] = alphabet[index % alphabet.size()];
    }
    return text;
  };

  std::string xpm = "/* XPM */\nstatic const char* " + name + "[] = {\n";
  xpm += "\"" + std::to_string(image.width) + " " + std::to_string(image.height) + " " +
         std::to_string(colours.size()) + " " + std::to_string(codeLength) + "\",\n";
  for (std::size_t i = 0; i < colours.size(); ++i) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%06X", static_cast<unsigned>(colours[i]));
    xpm += "\"" + code(i) + " c " + hex + "\",\n";
  }
  for (int y = 0; y < image.height; ++y) {
    xpm += "\"";
    for (int x = 0; x < image.width; ++x) {
      xpm += code(pixels[static_cast<std::size_t>(y) * image.width + x]);
    }
    xpm += "\",\n";
  }
  xpm += "};\n";
  return xpm;
}

namespace {

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int byteCount) {
  for (int i = 0; i < byteCount; ++i) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

/// An icon image as a device-independent bitmap: the header of twice the height (the colour
/// rows, then the transparency mask), the rows bottom-up in BGRA, and a mask that hides nothing.
std::vector<std::uint8_t> encodeIconBitmap(const RgbImage& image) {
  constexpr std::uint32_t headerBytes = 40; // BITMAPINFOHEADER
  std::vector<std::uint8_t> dib;
  putLittleEndian(dib, headerBytes, 4);
  putLittleEndian(dib, static_cast<std::uint32_t>(image.width), 4);
  putLittleEndian(dib, static_cast<std::uint32_t>(2 * image.height), 4);
  putLittleEndian(dib, 1, 2);  // planes
  putLittleEndian(dib, 32, 2); // bits a pixel
  dib.resize(headerBytes, 0);  // no compression; sizes and palette left to the reader
  for (int y = image.height; y-- > 0;) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* rgb = &image.rgb[3 * (static_cast<std::size_t>(y) * image.width + x)];
      dib.insert(dib.end(), {rgb[2], rgb[1], rgb[0], 255});
    }
  }
  const std::size_t maskRowBytes = (static_cast<std::size_t>(image.width) + 31) / 32 * 4;
  dib.resize(dib.size() + maskRowBytes * image.height, 0);
  return dib;
}

} // namespace

std::vector<std::uint8_t> encodeIco(const std::vector<RgbImage>& images) {
  constexpr std::uint32_t headerBytes = 6;
  constexpr std::uint32_t entryBytes = 16;
  std::vector<std::uint8_t> ico;
  putLittleEndian(ico, 0, 2); // reserved
  putLittleEndian(ico, 1, 2); // an icon, not a cursor
  putLittleEndian(ico, static_cast<std::uint32_t>(images.size()), 2);
  std::vector<std::uint8_t> data;
  auto offset = static_cast<std::uint32_t>(headerBytes + entryBytes * images.size());
  for (const RgbImage& image : images) {
    const std::vector<std::uint8_t> encoded = encodeIconBitmap(image);
    ico.push_back(static_cast<std::uint8_t>(image.width));  // 256 is written as 0
    ico.push_back(static_cast<std::uint8_t>(image.height)); // likewise
    putLittleEndian(ico, 0, 2);                             // no palette, reserved
    putLittleEndian(ico, 1, 2);                             // planes
    putLittleEndian(ico, 32, 2);                            // bits a pixel
    putLittleEndian(ico, static_cast<std::uint32_t>(encoded.size()), 4);
    putLittleEndian(ico, offset, 4);
    offset += static_cast<std::uint32_t>(encoded.size());
    data.insert(data.end(), encoded.begin(), encoded.end());
  }
  ico.insert(ico.end(), data.begin(), data.end());
  return ico;
}

bool writeFile(const std::string& path, const std::string& bytes) {
  return writeFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
