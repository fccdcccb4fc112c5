// PNG and XPM encoders for the icons, and a deflate that only knows the fixed codes: the icons
// are a few flat colours, so matches with the pixel before and the row above do nearly all of
// the compression.
#include "packaging/icon_files.hpp"

#include <array>
#include <cstdio>
#include <map>

namespace {

constexpr int minMatch = 3;   // shorter repeats are cheaper as literals
constexpr int maxMatch = 258; // the longest a deflate length code can say
constexpr int endOfBlock = 256;
constexpr std::uint32_t adlerModulus = 65521;
constexpr std::uint32_t crcPolynomial = 0xEDB88320u; // reflected
constexpr std::uint32_t crcStart = 0xFFFFFFFFu;
constexpr std::array<std::uint8_t, 2> zlibHeader = {0x78, 0x01}; // deflate, 32 KiB window; check
constexpr std::array<std::uint8_t, 8> pngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

/// A range of deflate's fixed literal/length code: symbols from `firstSymbol` on are the
/// `bitCount`-bit codes from `firstCode` on.
struct FixedCodeRange {
  int firstSymbol;
  std::uint32_t firstCode;
  int bitCount;
};
constexpr std::array<FixedCodeRange, 4> fixedCodes = {
    {{0, 0x30, 8}, {144, 0x190, 9}, {256, 0x00, 7}, {280, 0xC0, 8}}};

// Deflate's length and distance codes: the base value of each, and its count of extra bits.
constexpr std::array<int, 29> lengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                            15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                            67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> lengthExtraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> distanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> distanceExtraBits = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                   4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                   9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

/// Deflate's bit stream: values go in least significant bit first, Huffman codes most
/// significant bit first.
struct BitStream {
  std::vector<std::uint8_t> bytes;
  int used = 8; // bits used of the last byte
};

void putBit(BitStream& out, std::uint32_t bit) {
  if (out.used == 8) {
    out.bytes.push_back(0);
    out.used = 0;
  }
  out.bytes.back() = static_cast<std::uint8_t>(out.bytes.back() | (bit << out.used));
  ++out.used;
}

void putValue(BitStream& out, std::uint32_t value, int bitCount) {
  for (int i = 0; i < bitCount; ++i) {
    putBit(out, (value >> i) & 1u);
  }
}

void putCode(BitStream& out, std::uint32_t code, int bitCount) {
  for (int i = bitCount - 1; i >= 0; --i) {
    putBit(out, (code >> i) & 1u);
  }
}

/// A literal byte, a length code or the end of the block, in the fixed literal/length code.
void putSymbol(BitStream& out, int symbol) {
  std::size_t range = fixedCodes.size() - 1;
  while (symbol < fixedCodes[range].firstSymbol) {
    --range;
  }
  const FixedCodeRange& codes = fixedCodes[range];
  putCode(out, codes.firstCode + static_cast<std::uint32_t>(symbol - codes.firstSymbol),
          codes.bitCount);
}

/// The index of the last base not above `value`.
template <std::size_t n> int codeIndex(const std::array<int, n>& bases, int value) {
  int index = 0;
  while (index + 1 < static_cast<int>(n) && bases[index + 1] <= value) {
    ++index;
  }
  return index;
}

void putMatch(BitStream& out, int length, int distance) {
  const int lengthIndex = codeIndex(lengthBase, length);
  putSymbol(out, endOfBlock + 1 + lengthIndex);
  putValue(out, static_cast<std::uint32_t>(length - lengthBase[lengthIndex]),
           lengthExtraBits[lengthIndex]);
  const int distanceIndex = codeIndex(distanceBase, distance);
  putCode(out, static_cast<std::uint32_t>(distanceIndex), 5); // fixed distance codes: 5 bits
  putValue(out, static_cast<std::uint32_t>(distance - distanceBase[distanceIndex]),
           distanceExtraBits[distanceIndex]);
}

/// How many bytes from `at` on repeat those `distance` bytes earlier; the copy may overlap.
int matchLength(const std::vector<std::uint8_t>& data, std::size_t at, int distance) {
  int length = 0;
  while (length < maxMatch && at + length < data.size() &&
         data[at + length] == data[at + length - distance]) {
    ++length;
  }
  return length;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (const std::uint8_t byte : data) {
    a = (a + byte) % adlerModulus;
    b = (b + a) % adlerModulus;
  }
  return (b << 16) | a;
}

/// The CRC-32 of PNG chunks, a bit at a time.
std::uint32_t crc32(const std::vector<std::uint8_t>& data) {
  std::uint32_t crc = crcStart;
  for (const std::uint8_t byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (crcPolynomial & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int byte = 3; byte >= 0; --byte) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * byte)));
  }
}

/// A PNG chunk: length, type, data, and the CRC of type and data.
void putChunk(std::vector<std::uint8_t>& png, const char* type,
              const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  putBigEndian(png, static_cast<std::uint32_t>(data.size()));
  png.insert(png.end(), typed.begin(), typed.end());
  putBigEndian(png, crc32(typed));
}

} // namespace

std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& data,
                                       const std::vector<int>& distances) {
  BitStream deflate;
  putValue(deflate, 1, 1); // the last block
  putValue(deflate, 1, 2); // compressed with the fixed codes
  std::size_t at = 0;
  while (at < data.size()) {
    int bestLength = 0;
    int bestDistance = 0;
    for (const int distance : distances) {
      if (static_cast<std::size_t>(distance) <= at) {
        const int length = matchLength(data, at, distance);
        if (length > bestLength) {
          bestLength = length;
          bestDistance = distance;
        }
      }
    }
    if (bestLength >= minMatch) {
      putMatch(deflate, bestLength, bestDistance);
      at += static_cast<std::size_t>(bestLength);
    } else {
      putSymbol(deflate, data[at]);
      ++at;
    }
  }
  putSymbol(deflate, endOfBlock);

  // Room for all of it first: GCC 12 for mingw-w64 sees an overflow that is not there when the
  // stream grows from the two header bytes.
  std::vector<std::uint8_t> stream;
  stream.reserve(zlibHeader.size() + deflate.bytes.size() + 4);
  stream.insert(stream.end(), zlibHeader.begin(), zlibHeader.end());
  stream.insert(stream.end(), deflate.bytes.begin(), deflate.bytes.end());
  putBigEndian(stream, adler32(data));
  return stream;
}

std::vector<std::uint8_t> encodePng(const RgbImage& image) {
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(image.width);
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < image.height; ++y) {
    rows.push_back(0); // filter type: none
    const auto row = image.rgb.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
    rows.insert(rows.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
  }
  std::vector<std::uint8_t> header;
  putBigEndian(header, static_cast<std::uint32_t>(image.width));
  putBigEndian(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, filters, no interlace

  std::vector<std::uint8_t> png(pngSignature.begin(), pngSignature.end());
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlibCompress(rows, {3, static_cast<int>(rowBytes) + 1}));
  putChunk(png, "IEND", {});
  return png;
}

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
