// The platform functions a program calls through the public header.
#include "rastrix.h"
#include "platform/platform.h"

namespace platform = rx::platform;

extern "C" {

RxDC rx_headless_screen(int32_t width, int32_t height, int32_t bits) {
  if (!platform::use_headless(width, height, bits)) return nullptr;
  platform::set_host(nullptr);
  return reinterpret_cast<RxDC>(platform::window_dc());
}

int32_t rx_screen_pixel(int32_t x, int32_t y, uint8_t rgb[3]) {
  if (rgb == nullptr) return RX_ERR_ARGUMENT;
  return platform::screen_rgb(x, y, rgb) ? RX_OK : RX_ERR_ARGUMENT;
}

int32_t rx_release_dc(RxDC dc) {
  platform::release_dc(reinterpret_cast<platform::Device*>(dc));
  return RX_OK;
}

int32_t rx_delete_palette(RxPalette palette) {
  platform::delete_palette(reinterpret_cast<platform::Palette*>(palette));
  return RX_OK;
}

}  // extern "C"
