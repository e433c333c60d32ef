// Colour values of the active depth and the current drawing position.
#include "core/pixel_format.h"
#include "core/state.h"

namespace rx {

namespace {

using PackFn = uint32_t (*)(uint8_t, uint8_t, uint8_t);

// 8 bits: a colour is a palette index; no matching against the palette.
uint32_t pack_index(uint8_t, uint8_t, uint8_t) { return 0; }
uint32_t pack16(uint8_t r, uint8_t g, uint8_t b) { return Pixel16::pack({r, g, b}); }
uint32_t pack24(uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t{state().high_byte} << 24 | Pixel24::pack({r, g, b});
}

constexpr PackFn kPack[4] = {pack_index, pack16, pack24, pack24};

}  // namespace

}  // namespace rx

using rx::state;

extern "C" {

int32_t rx_move_to(int32_t x, int32_t y) {
  state().position_x = x;
  state().position_y = y;
  return RX_OK;
}

uint32_t rx_pack_rgb(int32_t red, int32_t green, int32_t blue) {
  return rx::kPack[state().depth_index & 3](static_cast<uint8_t>(red), static_cast<uint8_t>(green),
                                            static_cast<uint8_t>(blue));
}

int32_t rx_unpack_rgb(uint32_t value, int32_t* red, int32_t* green, int32_t* blue) {
  int32_t bits = state().active_bits;
  rx::Rgb c;
  if (bits >= 24) {
    c = rx::Pixel24::unpack(value);
  } else if (bits == 16) {
    c = rx::Pixel16::unpack(static_cast<uint16_t>(value));
  } else {
    return RX_OK;
  }
  if (red) *red = c.red;
  if (green) *green = c.green;
  if (blue) *blue = c.blue;
  return RX_OK;
}

}  // extern "C"
