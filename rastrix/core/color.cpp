// Colour values of the active depth and the current drawing position.
#include "core/state.h"
#include "platform/pixel_formats.h"

namespace rx {

namespace {

using PackFn = uint32_t (*)(uint8_t, uint8_t, uint8_t);

// 8 bits: a colour is a palette index; no matching against the palette.
uint32_t pack_index(uint8_t, uint8_t, uint8_t) { return 0; }
uint32_t pack_565(uint8_t r, uint8_t g, uint8_t b) { return platform::pack_565({r, g, b}); }
uint32_t pack_888(uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t{state().high_byte} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | b;
}

constexpr PackFn kPack[4] = {pack_index, pack_565, pack_888, pack_888};

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
