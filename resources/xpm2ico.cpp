// Turns the icon's XPM pixel map into a Windows .ico: one 32 x 32 image,
// 4 bits a pixel in the standard 16-colour palette, with an AND mask for the
// transparent pixels. Built for the build machine, so the Windows build needs
// nothing beyond a C++ compiler to make its icon.
//
// Usage: xpm2ico input.xpm output.ico
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

void put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

std::string icoFile(const Image& image) {
  if (image.width > 255 || image.height > 255 || image.width % 8 != 0) {
    throw std::runtime_error("icon size must be a multiple of 8, at most 255");
  }
  const auto w = static_cast<std::uint32_t>(image.width);
  const auto h = static_cast<std::uint32_t>(image.height);
  const std::uint32_t colourRow = (w / 2 + 3) / 4 * 4;  // 4 bits a pixel, rows padded to 32 bits.
  const std::uint32_t maskRow = (w / 8 + 3) / 4 * 4;
  const std::uint32_t bitmapSize = 40 + 16 * 4 + (colourRow + maskRow) * h;

  std::string out;
  put16(out, 0);  // ICONDIR: reserved, type 1 (icon), one image.
  put16(out, 1);
  put16(out, 1);
  out += static_cast<char>(w);  // ICONDIRENTRY
  out += static_cast<char>(h);
  out += static_cast<char>(16);  // Colours in the palette.
  out += '\0';
  put16(out, 1);  // Planes.
  put16(out, 4);  // Bits a pixel.
  put32(out, bitmapSize);
  put32(out, 6 + 16);  // Offset of the image.

  put32(out, 40);  // BITMAPINFOHEADER; the height counts the colour and the mask bitmaps.
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
  // Both bitmaps are stored bottom row first. A transparent pixel is black in
  // the colour bitmap and set in the mask, so the screen shows through.
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s input.xpm output.ico\n", argv[0]);
    return 2;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string ico = icoFile(parseXpm(text.str()));
    std::ofstream out(argv[2], std::ios::binary);
    out << ico;
    if (!out.flush()) throw std::runtime_error(std::string("cannot write ") + argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "xpm2ico: %s: %s\n", argv[1], e.what());
    return 1;
  }
  return 0;
}
