// rx_buffer_pixels: the active buffer's pixels and colours for a reader.
#include <cstring>

#include "core/pixel_format.h"
#include "core/state.h"
#include "rastrix.h"

namespace {

// The value a pixel of the active depth holds for palette index i.
uint32_t mapped_value(const rx::LibraryState& s, int i) {
  const auto index = static_cast<uint8_t>(i);
  switch (s.active_bits) {
    case 8: return index;
    case 16: return rx::Pixel16::mapped(rx::Pixel16::map(s.palette_map), index);
    default: {  // the bytes blue, green, red (, high byte) read as one number
      const uint32_t v = rx::Pixel32::mapped(rx::Pixel32::map(s.palette_map), index);
      return s.active_bits == 32 ? v : v & 0x00FFFFFFu;  // 24 bits keep no high byte
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
