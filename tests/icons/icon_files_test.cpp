// The icon writers: a PNG gives back through libpng's reader the very pixels it was given, and
// the XPM and ICO hold the bytes worked out by hand from their formats.
#include "tools/icon/icon_files.hpp"
#include "tools/icon/png_file.hpp"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>

namespace {

/// A picture whose every byte differs from its neighbours, so that a swapped channel, a row
/// out of place or a dropped pixel shows.
RgbImage pattern(int width, int height) {
  RgbImage image{width, height, {}};
  for (int i = 0; i < 3 * width * height; ++i) {
    image.rgb.push_back(static_cast<std::uint8_t>(37 * i + 11));
  }
  return image;
}

/// The PNG file `path` as 8-bit RGB, or an empty picture when libpng cannot read it.
RgbImage readPng(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  RgbImage image;
  if (png_image_begin_read_from_file(&png, path.c_str()) != 0) {
    png.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr) != 0) {
      image = {static_cast<int>(png.width), static_cast<int>(png.height), rgb};
    }
  }
  png_image_free(&png);
  return image;
}

struct Size {
  int width;
  int height;
};

// One pixel, odd widths (rows not a multiple of four bytes), wide and tall, and the largest icon.
constexpr Size pngSizes[] = {{1, 1}, {3, 2}, {2, 5}, {17, 1}, {1, 9}, {256, 256}};

TEST(IconPng, ReadsBackAsThePixelsWritten) {
  const std::string path = testing::TempDir() + "funnies_icon_test.png";
  for (const Size size : pngSizes) {
    SCOPED_TRACE(testing::Message() << size.width << 'x' << size.height);
    const RgbImage written = pattern(size.width, size.height);
    ASSERT_TRUE(writePng(path, written));
    const RgbImage read = readPng(path);
    EXPECT_EQ(read.width, size.width);
    EXPECT_EQ(read.height, size.height);
    EXPECT_EQ(read.rgb, written.rgb);
  }
  std::remove(path.c_str());
}

TEST(IconPng, FailsWhereTheFileCannotBeMade) {
  EXPECT_FALSE(writePng(testing::TempDir() + "no such directory/icon.png", pattern(2, 2)));
}

TEST(IconXpm, OneCodePerColourInTheOrderTheyAppear) {
  const RgbImage image{3, 1, {0x12, 0x34, 0x56, 0xFF, 0x00, 0x80, 0x12, 0x34, 0x56}};
  EXPECT_EQ(encodeXpm(image, "icon"), "/* XPM */\nstatic const char* icon[] = {\n"
                                      "\"3 1 2 1\",\n\"a c #123456\",\n\"b c #FF0080\",\n"
                                      "\"aba\",\n};\n");
}

TEST(IconIco, HeaderEntryAndBottomUpBgraRows) {
  const RgbImage image{1, 2, {255, 0, 0, 0, 0, 255}}; // red above blue
  // 6 header bytes and a 16-byte entry; the bitmap: a 40-byte header, two 4-byte pixels and
  // two mask rows of 4 bytes each, 56 bytes from offset 22.
  const std::vector<std::uint8_t> expected = {
      0,  0, 1, 0, 1, 0,                                       // an icon, one image
      1,  2, 0, 0, 1, 0, 32, 0, 56,  0, 0, 0,   22, 0, 0,   0, // 1x2, 32 bits, size, offset
      40, 0, 0, 0, 1, 0, 0,  0, 4,   0, 0, 0,   1,  0, 32,  0, // twice the height: colour and mask
      0,  0, 0, 0, 0, 0, 0,  0, 0,   0, 0, 0,   0,  0, 0,   0,
      0,  0, 0, 0, 0, 0, 0,  0, 255, 0, 0, 255, 0,  0, 255, 255, // blue, the bottom row, then red
      0,  0, 0, 0, 0, 0, 0,  0};                                 // nothing masked
  EXPECT_EQ(encodeIco({image}), expected);
}

TEST(IconIco, TheLargestSizeIsWrittenAsZero) {
  const std::vector<std::uint8_t> ico = encodeIco({pattern(256, 256)});
  EXPECT_EQ(ico[6], 0);
  EXPECT_EQ(ico[7], 0);
}

} // namespace
