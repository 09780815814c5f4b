// Turns the icon's XPM pixel maps into a Windows .ico with one image for each
// argument, FILE.xpm or FILE.xpm:N for the picture enlarged N times by whole
// pixels, so that it stays as crisp as the pixel map. Images up to 128 pixels
// are 4 bits a pixel in the standard 16-colour palette, with an AND mask for
// the transparent pixels; larger ones are PNG (RGBA), as Windows Vista and
// later read them, since a 256 x 256 bitmap would be 40 KB. Built for the build
// machine, so the Windows build needs only a C++ compiler and zlib for its icon.
//
// Usage: xpm2ico output.ico input.xpm[:N]...
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

namespace {

// The standard 16-colour palette in its usual Windows order, as RGB.
constexpr std::array<std::uint32_t, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

constexpr int kTransparent = -1;

// The quoted strings of the XPM file, in order; comments and C syntax ignored.
std::vector<std::string> quotedStrings(const std::string& text) {
  std::vector<std::string> strings;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, 2, "/*") == 0) {
      const std::size_t end = text.find("*/", i + 2);
      if (end == std::string::npos) throw std::runtime_error("unterminated comment");
      i = end + 2;
    } else if (text[i] == '"') {
      const std::size_t end = text.find('"', i + 1);
      if (end == std::string::npos) throw std::runtime_error("unterminated string");
      strings.push_back(text.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      ++i;
    }
  }
  return strings;
}

// Palette index of an XPM colour value: "None" or "#RRGGBB" of the palette.
int paletteIndex(const std::string& value) {
  if (value == "None" || value == "none") return kTransparent;
  if (value.size() != 7 || value[0] != '#')
    throw std::runtime_error("colour not #RRGGBB: " + value);
  const auto rgb = static_cast<std::uint32_t>(std::stoul(value.substr(1), nullptr, 16));
  for (std::size_t n = 0; n < kPalette.size(); ++n) {
    if (kPalette[n] == rgb) return static_cast<int>(n);
  }
  throw std::runtime_error("colour outside the 16-colour palette: " + value);
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<int> pixels;  // Palette indexes, top row first; kTransparent for None.
};

Image parseXpm(const std::string& text) {
  const std::vector<std::string> strings = quotedStrings(text);
  if (strings.empty()) throw std::runtime_error("no XPM values");
  Image image;
  int colours = 0;
  int charsPerPixel = 0;
  std::istringstream values(strings[0]);
  if (!(values >> image.width >> image.height >> colours >> charsPerPixel) || image.width <= 0 ||
      image.height <= 0 || colours <= 0 || charsPerPixel <= 0) {
    throw std::runtime_error("bad XPM values line");
  }
  if (strings.size() < static_cast<std::size_t>(1 + colours + image.height)) {
    throw std::runtime_error("XPM has too few lines");
  }
  const auto cpp = static_cast<std::size_t>(charsPerPixel);
  std::map<std::string, int> colourOf;
  for (int c = 0; c < colours; ++c) {
    const std::string& line = strings[1 + static_cast<std::size_t>(c)];
    std::istringstream rest(line.substr(std::min(cpp, line.size())));
    std::string key, value;
    if (line.size() < cpp || !(rest >> key >> value) || key != "c") {
      throw std::runtime_error("bad colour line: " + line);
    }
    colourOf[line.substr(0, cpp)] = paletteIndex(value);
  }
  for (int y = 0; y < image.height; ++y) {
    const std::string& row = strings[1 + static_cast<std::size_t>(colours + y)];
    if (row.size() != cpp * static_cast<std::size_t>(image.width)) {
      throw std::runtime_error("row " + std::to_string(y) + " has the wrong length");
    }
    for (std::size_t x = 0; x < row.size(); x += cpp) {
      const auto found = colourOf.find(row.substr(x, cpp));
      if (found == colourOf.end())
        throw std::runtime_error("unknown pixel in row " + std::to_string(y));
      image.pixels.push_back(found->second);
    }
  }
  return image;
}

Image enlarged(const Image& image, int n) {
  Image big{image.width * n, image.height * n, {}};
  for (int y = 0; y < big.height; ++y) {
    for (int x = 0; x < big.width; ++x) {
      big.pixels.push_back(image.pixels[static_cast<std::size_t>(y / n * image.width + x / n)]);
    }
  }
  return big;
}

void put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

void put32be(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// The image as 4 bits a pixel with its mask, as a BITMAPINFOHEADER and the
// two bitmaps, both stored bottom row first. A transparent pixel is black in
// the colour bitmap and set in the mask, so the screen shows through.
std::string bitmap(const Image& image) {
  const auto w = static_cast<std::uint32_t>(image.width);
  const auto h = static_cast<std::uint32_t>(image.height);
  const std::uint32_t colourRow = (w / 2 + 3) / 4 * 4;  // 4 bits a pixel, rows padded to 32 bits.
  const std::uint32_t maskRow = (w / 8 + 3) / 4 * 4;
  std::string out;
  put32(out, 40);  // The height counts the colour and the mask bitmaps.
  put32(out, w);
  put32(out, h * 2);
  put16(out, 1);
  put16(out, 4);
  put32(out, 0);  // BI_RGB
  put32(out, (colourRow + maskRow) * h);
  put32(out, 0);
  put32(out, 0);
  put32(out, 16);
  put32(out, 0);
  for (const std::uint32_t rgb : kPalette) {  // RGBQUAD: blue, green, red, 0.
    out += static_cast<char>(rgb & 0xFF);
    out += static_cast<char>((rgb >> 8) & 0xFF);
    out += static_cast<char>((rgb >> 16) & 0xFF);
    out += '\0';
  }
  for (std::uint32_t y = h; y-- > 0;) {
    std::string row(colourRow, '\0');
    for (std::uint32_t x = 0; x < w; ++x) {
      const int p = image.pixels[y * w + x];
      const unsigned index = p == kTransparent ? 0U : static_cast<unsigned>(p);
      row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
    }
    out += row;
  }
  for (std::uint32_t y = h; y-- > 0;) {
    std::string row(maskRow, '\0');
    for (std::uint32_t x = 0; x < w; ++x) {
      if (image.pixels[y * w + x] == kTransparent) {
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80U >> (x % 8)));
      }
    }
    out += row;
  }
  return out;
}

void pngChunk(std::string& out, const char* type, const std::string& data) {
  put32be(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = type + data;
  out += typed;
  put32be(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                                static_cast<uInt>(typed.size()))));
}

// The image as a PNG of 8-bit RGBA; its repeated pixels and rows shrink to a
// few kilobytes.
std::string png(const Image& image) {
  std::string raw;
  for (std::size_t n = 0; n < image.pixels.size(); ++n) {
    if (n % static_cast<std::size_t>(image.width) == 0) raw += '\0';  // Filter: none.
    const int p = image.pixels[n];
    const std::uint32_t rgb = p == kTransparent ? 0 : kPalette[static_cast<std::size_t>(p)];
    raw += static_cast<char>(rgb >> 16);
    raw += static_cast<char>((rgb >> 8) & 0xFF);
    raw += static_cast<char>(rgb & 0xFF);
    raw += static_cast<char>(p == kTransparent ? 0 : 0xFF);
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    throw std::runtime_error("zlib cannot compress the image");
  }
  packed.resize(size);
  std::string header;
  put32be(header, static_cast<std::uint32_t>(image.width));
  put32be(header, static_cast<std::uint32_t>(image.height));
  header +=
      std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace.
  std::string out = "\x89PNG\r\n\x1a\n";
  pngChunk(out, "IHDR", header);
  pngChunk(out, "IDAT", packed);
  pngChunk(out, "IEND", "");
  return out;
}

std::string icoFile(const std::vector<Image>& images) {
  std::string directory, data;
  put16(directory, 0);  // ICONDIR: reserved, type 1 (icon), the number of images.
  put16(directory, 1);
  put16(directory, static_cast<unsigned>(images.size()));
  const auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (const Image& image : images) {
    if (image.width != image.height || image.width % 8 != 0 || image.width > 256) {
      throw std::runtime_error("an icon must be square, a multiple of 8 and at most 256 pixels");
    }
    const bool large = image.width > 128;
    const std::string bits = large ? png(image) : bitmap(image);
    directory += static_cast<char>(image.width & 0xFF);  // ICONDIRENTRY; 0 means 256.
    directory += static_cast<char>(image.height & 0xFF);
    directory += static_cast<char>(large ? 0 : 16);  // Colours in the palette.
    directory += '\0';
    put16(directory, 1);               // Planes.
    put16(directory, large ? 32 : 4);  // Bits a pixel.
    put32(directory, static_cast<std::uint32_t>(bits.size()));
    put32(directory, offset + static_cast<std::uint32_t>(data.size()));
    data += bits;
  }
  return directory + data;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s output.ico input.xpm[:N]...\n", argv[0]);
    return 2;
  }
  std::string input;
  try {
    std::vector<Image> images;
    for (int n = 2; n < argc; ++n) {
      input = argv[n];
      const std::size_t colon = input.rfind(':');
      const int times = colon == std::string::npos ? 1 : std::stoi(input.substr(colon + 1));
      if (times < 1 || times > 16) throw std::runtime_error("enlargement not 1 to 16");
      if (colon != std::string::npos) input.resize(colon);
      std::ifstream in(input, std::ios::binary);
      if (!in) throw std::runtime_error("cannot read it");
      std::ostringstream text;
      text << in.rdbuf();
      images.push_back(enlarged(parseXpm(text.str()), times));
    }
    input = argv[1];
    const std::string ico = icoFile(images);
    std::ofstream out(argv[1], std::ios::binary);
    out << ico;
    if (!out.flush()) throw std::runtime_error("cannot write it");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "xpm2ico: %s: %s\n", input.c_str(), e.what());
    return 1;
  }
  return 0;
}
