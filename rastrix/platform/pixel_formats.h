// Reading pixels of a bottom-up DIB, in the core pixel vocabulary.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/pixel_format.h"
#include "platform/platform.h"

namespace rx::platform {

// The fields of a BITMAPINFO block that a transfer needs.
struct DibHeader {
  int32_t header_size, width, height, bits, compression;
  uint32_t red_mask, green_mask, blue_mask;
  int32_t info_bytes;  // header + masks or colour table
};

inline uint32_t load_u32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint16_t load_u16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

// Reads a BITMAPINFO block. An 8-bit bitmap's colour table is 256 16-bit
// palette indices for usage kPaletteColors, else 256 four-byte colours.
inline DibHeader read_dib_header(const uint8_t* info, int32_t usage) {
  DibHeader h{};
  h.header_size = static_cast<int32_t>(load_u32(info));
  h.width = static_cast<int32_t>(load_u32(info + 4));
  h.height = static_cast<int32_t>(load_u32(info + 8));
  h.bits = load_u16(info + 14);
  h.compression = static_cast<int32_t>(load_u32(info + 16));
  h.info_bytes = h.header_size == 108 ? 108 : 40;
  if (h.compression == 3) {
    h.red_mask = load_u32(info + 40);
    h.green_mask = load_u32(info + 44);
    h.blue_mask = load_u32(info + 48);
    if (h.info_bytes < 52) h.info_bytes = 52;  // masks after a short header
  } else if (h.bits == 8) {
    h.info_bytes = 40 + (usage == kPaletteColors ? 2 : 4) * 256;
  }
  return h;
}

// A 16-bit bitmap holds 5-5-5 pixels when its masks say so, else 5-6-5.
inline bool holds_555(const DibHeader& h) {
  return h.compression == 3 && h.green_mask == kGreenMask555;
}

// Colour of pixel x of a DIB row. For 8-bit bitmaps *index receives the
// palette index a palette screen shows (usage kPaletteColors), else -1.
inline Rgb dib_pixel_rgb(const DibHeader& h, const uint8_t* info, const uint8_t* row, int32_t x,
                         int32_t usage, const PaletteEntry* logical, int* index) {
  *index = -1;
  switch (h.bits) {
    case 8: {
      uint8_t p = row[x];
      const uint8_t* table = info + h.header_size;
      if (usage == kPaletteColors) {
        uint16_t k = load_u16(table + 2 * p) & 255;
        *index = k;
        return {logical[k].red, logical[k].green, logical[k].blue};
      }
      const uint8_t* q = table + 4 * p;
      return {q[2], q[1], q[0]};
    }
    case 16: {
      uint16_t v = load_u16(row + 2 * x);
      if (holds_555(h)) return unpack_555(v);
      return unpack_565(v);
    }
    case 24:
      return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    default:
      return {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
  }
}

}  // namespace rx::platform
