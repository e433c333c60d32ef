// The 128-byte PCX file header and the picture variants it can describe.
#pragma once

#include <cstdint>

namespace rx::pcx {

inline constexpr int kHeaderSize = 128;
inline constexpr uint8_t kManufacturer = 10;
inline constexpr int kHeaderPaletteColors = 16;

struct PcxHeader {
  uint8_t manufacturer;
  uint8_t version;
  uint8_t bits_per_plane;
  int32_t min_x, min_y, max_x, max_y;
  uint8_t palette[kHeaderPaletteColors * 3];  // red, green, blue
  uint8_t planes;
  int32_t bytes_per_line;

  int32_t width() const { return max_x - min_x + 1; }
  int32_t height() const { return max_y - min_y + 1; }
  int32_t line_length() const { return planes * bytes_per_line; }
};

// The picture kinds, in the order the header tests pick them.
enum class Variant { kSixteenColors, kTrueColor, kIndexed256, kTwoColors, kUnsupported };
inline constexpr int kVariantCount = 4;

// Reads the fields the library uses from the first 128 bytes of a file.
PcxHeader parse_header(const uint8_t* bytes);

// Planes decide first (4: 16 colours, 3: 24-bit colour), then the bits per
// plane (8: 256 colours, 1: 2 colours). A 2-plane 1-bit picture is read as
// 2 colours from plane 0. 4 planes of 8 bits (colour with alpha, as some
// writers store it) are not supported.
Variant variant_of(const PcxHeader& header);

// True when maximum x and y are not below minimum x and y.
bool extent_sound(const PcxHeader& header);

// True when there is at least one plane and a plane line holds the width in
// the variant's pixels (bits or bytes), so a writer reads only inside it.
bool lines_hold_width(const PcxHeader& header, Variant variant);

}  // namespace rx::pcx
