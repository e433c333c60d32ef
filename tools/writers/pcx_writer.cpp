// ZSoft PCX encoder: 128-byte header, run-length encoded plane lines, and
// optionally the 769-byte 256-colour palette at the end of the file.
#include "writers/pcx_writer.h"

#include <algorithm>
#include <cstddef>

namespace rx::support {
namespace {

constexpr int kHeaderSize = 128;
constexpr uint8_t kManufacturer = 10;
constexpr uint8_t kEncodingRle = 1;
constexpr uint8_t kPaletteMarker = 12;
constexpr uint8_t kRunFlag = 0xC0;
constexpr int kLongestRun = 63;
constexpr int kPaletteBytes = 768;

void put16(std::vector<uint8_t>& out, size_t at, int value) {
  out[at] = static_cast<uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

int default_bytes_per_line(const PcxPicture& picture) {
  int bytes = picture.bits_per_plane == 1 ? (picture.width + 7) / 8 : picture.width;
  return bytes + (bytes & 1);
}

std::vector<uint8_t> make_header(const PcxPicture& picture, int bytes_per_line) {
  std::vector<uint8_t> header(kHeaderSize, 0);
  header[0] = kManufacturer;
  header[1] = static_cast<uint8_t>(picture.version);
  header[2] = kEncodingRle;
  header[3] = static_cast<uint8_t>(picture.bits_per_plane);
  put16(header, 4, picture.min_x);
  put16(header, 6, picture.min_y);
  put16(header, 8, picture.min_x + picture.width - 1);
  put16(header, 10, picture.min_y + picture.height - 1);
  put16(header, 12, 72);  // horizontal resolution (dpi)
  put16(header, 14, 72);  // vertical resolution (dpi)
  std::copy(picture.header_palette.begin(), picture.header_palette.end(), header.begin() + 16);
  header[65] = static_cast<uint8_t>(picture.planes);
  put16(header, 66, bytes_per_line);
  put16(header, 68, 1);  // palette info: colour
  return header;
}

// Bytes of one plane of one row, padded with zeros to bytes_per_line.
// 1-bit planes take bit p of each pixel's index for plane p; 8-bit planes
// take byte p of each pixel (pixels hold `planes` bytes each).
void plane_line(const PcxPicture& picture, int row, int plane, std::vector<uint8_t>& line) {
  std::fill(line.begin(), line.end(), 0);
  const int line_bytes = static_cast<int>(line.size());
  auto pixel_byte = [&](size_t index) -> uint8_t {
    return index < picture.pixels.size() ? picture.pixels[index] : 0;
  };
  if (picture.bits_per_plane == 1) {
    for (int x = 0; x < picture.width && x / 8 < line_bytes; ++x) {
      const uint8_t value = pixel_byte(static_cast<size_t>(row) * picture.width + x);
      if ((value >> plane) & 1) line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    return;
  }
  const size_t bytes_per_pixel = static_cast<size_t>(std::max(picture.planes, 1));
  for (int x = 0; x < picture.width && x < line_bytes; ++x) {
    const size_t pixel = static_cast<size_t>(row) * picture.width + x;
    line[x] = pixel_byte(pixel * bytes_per_pixel + plane);
  }
}

// Runs never cross a plane line, as the ZSoft notes recommend.
void encode_line(const std::vector<uint8_t>& line, std::vector<uint8_t>& out) {
  size_t i = 0;
  while (i < line.size()) {
    const uint8_t value = line[i];
    size_t run = 1;
    while (i + run < line.size() && line[i + run] == value && run < kLongestRun) ++run;
    if (run > 1 || value >= kRunFlag) {
      out.push_back(static_cast<uint8_t>(kRunFlag | run));
    }
    out.push_back(value);
    i += run;
  }
}

}  // namespace

std::vector<uint8_t> encode_pcx(const PcxPicture& picture) {
  const int bytes_per_line =
      picture.bytes_per_line > 0 ? picture.bytes_per_line : default_bytes_per_line(picture);
  std::vector<uint8_t> out = make_header(picture, bytes_per_line);
  std::vector<uint8_t> line(static_cast<size_t>(bytes_per_line));
  for (int row = 0; row < picture.height; ++row) {
    for (int plane = 0; plane < picture.planes; ++plane) {
      plane_line(picture, row, plane, line);
      encode_line(line, out);
    }
  }
  if (!picture.palette.empty()) {
    out.push_back(kPaletteMarker);
    for (int i = 0; i < kPaletteBytes; ++i) {
      out.push_back(static_cast<size_t>(i) < picture.palette.size() ? picture.palette[i] : 0);
    }
  }
  return out;
}

}  // namespace rx::support
