// The screen's rows as 0xFFRRGGBB, whatever its depth: what a window shows.
#include "platform/pixel_formats.h"
#include "platform/screen_state.h"

namespace rx::platform {

namespace {

uint32_t argb(Rgb c) {
  return 0xFF000000u | uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
}

// count pixels of a screen row from x on, one routine per storage.
using RowToArgb = void (*)(const uint8_t* row, int32_t x, int32_t count,
                           const PaletteEntry* system, uint32_t* out);

void indexed_to_argb(const uint8_t* row, int32_t x, int32_t count, const PaletteEntry* system,
                     uint32_t* out) {
  for (int32_t i = 0; i < count; ++i) {
    const PaletteEntry& e = system[row[x + i]];
    out[i] = argb({e.red, e.green, e.blue});
  }
}
void x555_to_argb(const uint8_t* row, int32_t x, int32_t count, const PaletteEntry*,
                  uint32_t* out) {
  for (int32_t i = 0; i < count; ++i) out[i] = argb(unpack_555(load_u16(row + 2 * (x + i))));
}
void r565_to_argb(const uint8_t* row, int32_t x, int32_t count, const PaletteEntry*,
                  uint32_t* out) {
  for (int32_t i = 0; i < count; ++i) out[i] = argb(unpack_565(load_u16(row + 2 * (x + i))));
}
template <int kBytes>
void bgr_to_argb(const uint8_t* row, int32_t x, int32_t count, const PaletteEntry*,
                 uint32_t* out) {
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* p = row + kBytes * (x + i);
    out[i] = argb({p[2], p[1], p[0]});
  }
}

RowToArgb row_to_argb(int32_t bits) {
  switch (bits) {
    case 4:
    case 8:
      return indexed_to_argb;
    case 15:
      return x555_to_argb;
    case 16:
      return r565_to_argb;
    case 24:
      return bgr_to_argb<3>;
    default:
      return bgr_to_argb<4>;
  }
}

}  // namespace

void screen_row_argb(const ScreenView& v, int32_t y, int32_t x, int32_t count, uint32_t* out) {
  if (v.pixels == nullptr || y < 0 || y >= v.height || x < 0 || count < 0 || count > v.width - x)
    return;
  row_to_argb(v.bits)(v.pixels + static_cast<size_t>(y) * v.bytes_per_row, x, count,
                      screen().system, out);
}

bool screen_rgb(int32_t x, int32_t y, uint8_t rgb[3]) {
  const ScreenView v = screen_view();
  if (x < 0 || y < 0 || x >= v.width || y >= v.height || v.pixels == nullptr) return false;
  uint32_t c = 0;
  screen_row_argb(v, y, x, 1, &c);
  rgb[0] = static_cast<uint8_t>(c >> 16);
  rgb[1] = static_cast<uint8_t>(c >> 8);
  rgb[2] = static_cast<uint8_t>(c);
  return true;
}

}  // namespace rx::platform
