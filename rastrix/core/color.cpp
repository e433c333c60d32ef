// Colour values of the active depth and the current drawing position.
#include "core/state.h"
#include "platform/pixel_formats.h"

using rx::state;

extern "C" {

int32_t rx_move_to(int32_t x, int32_t y) {
  state().position_x = x;
  state().position_y = y;
  return RX_OK;
}

uint32_t rx_pack_rgb(int32_t red, int32_t green, int32_t blue) {
  const rx::LibraryState& s = state();
  uint8_t r = static_cast<uint8_t>(red), g = static_cast<uint8_t>(green),
          b = static_cast<uint8_t>(blue);
  switch (s.depth_index) {
    case 0:
      return 0;  // 8 bits: no matching against the palette
    case 1:
      return rx::platform::pack_565({r, g, b});
    default:
      return uint32_t{s.high_byte} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | b;
  }
}

int32_t rx_unpack_rgb(uint32_t value, int32_t* red, int32_t* green, int32_t* blue) {
  int32_t bits = state().active_bits;
  rx::platform::Rgb c;
  if (bits >= 24) {
    c = {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
         static_cast<uint8_t>(value)};
  } else if (bits == 16) {
    c = rx::platform::unpack_565(static_cast<uint16_t>(value));
  } else {
    return RX_OK;
  }
  if (red) *red = c.red;
  if (green) *green = c.green;
  if (blue) *blue = c.blue;
  return RX_OK;
}

}  // extern "C"
