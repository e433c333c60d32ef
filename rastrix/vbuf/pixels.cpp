// rx_buffer_pixels: the active buffer's pixels and colours for a reader.
#include <cstring>

#include "core/state.h"
#include "rastrix.h"

namespace {

// The value a pixel of the active depth holds for palette index i.
uint32_t mapped_value(const rx::LibraryState& s, int i) {
  switch (s.active_bits) {
    case 8: return static_cast<uint32_t>(i);
    case 16: return s.palette_map.rgb565[i];
    default: {  // the bytes blue, green, red (, high byte) read as one number
      const uint8_t* e = s.palette_map.hrgb[i];
      const uint32_t high = s.active_bits == 32 ? static_cast<uint32_t>(e[0]) << 24 : 0;
      return high | static_cast<uint32_t>(e[1]) << 16 | static_cast<uint32_t>(e[2]) << 8 | e[3];
    }
  }
}

}  // namespace

extern "C" int32_t rx_buffer_pixels(RxPixels* out) {
  if (out == nullptr) return RX_ERR_ARGUMENT;
  if (!rx::has_active_buffer()) return RX_ERR_RESOURCE;
  const rx::LibraryState& s = rx::state();
  RxPixels p{};
  p.pixels = s.active_pixels;
  p.width = s.active_width;
  p.height = s.active_height;
  p.bits = s.active_bits;
  p.bytes_per_row = s.active_bytes_per_row;
  for (int i = 0; i < rx::kPaletteSize; ++i) {
    const rx::LogPaletteEntry& e = s.log_palette.entries[i];
    p.palette[i][0] = e.red;
    p.palette[i][1] = e.green;
    p.palette[i][2] = e.blue;
    p.palette_map[i] = mapped_value(s, i);
  }
  std::memcpy(out, &p, sizeof p);
  return RX_OK;
}
