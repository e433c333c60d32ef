// Small PCX encoder for test fixtures and the demo's picture generator.
// Writes ZSoft PCX files (run-length encoded) in every variant the reader
// knows: 1 bit, 4 planes of 1 bit (16 colours), 8 bits (256 colours) and
// 3 planes of 8 bits (24-bit colour).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace rx::support {

struct PcxPicture {
  int width = 0;
  int height = 0;
  int min_x = 0;  // origin stored in the header
  int min_y = 0;
  int planes = 1;          // 1, 3 or 4 (2 allowed for odd files)
  int bits_per_plane = 8;  // 1 or 8
  int version = 5;         // 5 lets a 256-colour palette follow the data
  // One byte per pixel, row-major, top row first: palette indices for
  // 1-, 4- and 8-bit pictures. For 24-bit pictures three bytes per pixel,
  // red, green, blue.
  std::vector<uint8_t> pixels;
  std::array<uint8_t, 48> header_palette{};  // 16 x (red, green, blue)
  // 768 bytes appended after the marker 12; empty writes no such palette.
  std::vector<uint8_t> palette;
  // Bytes per plane line; 0 means the smallest even count that holds a row.
  int bytes_per_line = 0;
};

// Encodes the picture as a complete PCX file.
std::vector<uint8_t> encode_pcx(const PcxPicture& picture);

}  // namespace rx::support
