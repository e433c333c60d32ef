#include "pcx/pcx_header.h"

#include <cstring>

namespace rx::pcx {

namespace {

int32_t read16(const uint8_t* p) { return p[0] | p[1] << 8; }

}  // namespace

PcxHeader parse_header(const uint8_t* bytes) {
  PcxHeader h{};
  h.manufacturer = bytes[0];
  h.version = bytes[1];
  h.bits_per_plane = bytes[3];
  h.min_x = read16(bytes + 4);
  h.min_y = read16(bytes + 6);
  h.max_x = read16(bytes + 8);
  h.max_y = read16(bytes + 10);
  std::memcpy(h.palette, bytes + 16, sizeof h.palette);
  h.planes = bytes[65];
  h.bytes_per_line = read16(bytes + 66);
  return h;
}

Variant variant_of(const PcxHeader& header) {
  if (header.planes == 4)
    return header.bits_per_plane == 8 ? Variant::kUnsupported : Variant::kSixteenColors;
  if (header.planes == 3) return Variant::kTrueColor;
  if (header.bits_per_plane == 8) return Variant::kIndexed256;
  if (header.bits_per_plane == 1) return Variant::kTwoColors;
  return Variant::kUnsupported;
}

bool extent_sound(const PcxHeader& header) {
  return header.max_x >= header.min_x && header.max_y >= header.min_y;
}

bool lines_hold_width(const PcxHeader& header, Variant variant) {
  if (header.planes == 0) return false;
  // Planar variants may read 1-bit or 8-bit planes whatever the header's
  // bits per plane say; the line must hold what the writer will read.
  const bool bit_planes = variant == Variant::kSixteenColors || variant == Variant::kTwoColors;
  const int64_t pixels_per_plane_line =
      int64_t{header.bytes_per_line} * (bit_planes ? 8 : 1);
  return pixels_per_plane_line >= header.width();
}

}  // namespace rx::pcx
