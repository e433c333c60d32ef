// Bitmap rows to the screen, converted to the screen's depth.
#include <algorithm>
#include <cstring>

#include "platform/pixel_formats.h"
#include "platform/screen_state.h"

namespace rx::platform {

namespace {

void store_pixel(ScreenState& s, int32_t x, int32_t y, Rgb c, int index) {
  uint8_t* p = s.pixels.data() + static_cast<size_t>(y) * s.bytes_per_row +
               static_cast<size_t>(x) * storage_bytes(s.bits);
  switch (s.bits) {
    case 4:
    case 8:
      *p = index >= 0 ? static_cast<uint8_t>(index) : s.nearest.of(c);
      break;
    case 15: Pixel15::store(p, Pixel15::pack(c)); break;
    case 16: Pixel16::store(p, Pixel16::pack(c)); break;
    default:
      p[0] = c.blue;
      p[1] = c.green;
      p[2] = c.red;
      if (s.bits == 32) p[3] = 0;
  }
}

// Rows in a format the screen stores directly, or widens or looks up from
// 5-6-5, are converted a run at a time rather than pixel by pixel.
using RowCopy = void (*)(uint8_t* dst, const uint8_t* src, int32_t count, NearestColours& nearest);

void copy_565_to_16(uint8_t* dst, const uint8_t* src, int32_t n, NearestColours&) {
  std::memcpy(dst, src, static_cast<size_t>(n) * 2);
}
void copy_565_to_index(uint8_t* dst, const uint8_t* src, int32_t n, NearestColours& nearest) {
  nearest.of_565_row(src, n, dst);
}
void copy_24_to_24(uint8_t* dst, const uint8_t* src, int32_t n, NearestColours&) {
  std::memcpy(dst, src, static_cast<size_t>(n) * 3);
}
template <int kScreenBytes>
void copy_565_to_rgb(uint8_t* dst, const uint8_t* src, int32_t n, NearestColours&) {
  for (int32_t i = 0; i < n; ++i, dst += kScreenBytes) {
    Rgb c = unpack_565(load_u16(src + 2 * i));
    dst[0] = c.blue;
    dst[1] = c.green;
    dst[2] = c.red;
    if constexpr (kScreenBytes == 4) dst[3] = 0;
  }
}
void copy_32_to_32(uint8_t* dst, const uint8_t* src, int32_t n, NearestColours&) {
  for (int32_t i = 0; i < n; ++i, dst += 4, src += 4) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
    dst[3] = 0;
  }
}

// The same reading of a bitmap as dib_pixel_rgb; null when no run fits.
RowCopy row_copy_for(const DibHeader& h, int32_t screen_bits) {
  const bool is_565 = h.bits == 16 && !holds_555(h);
  if (is_565 && screen_bits == 16) return copy_565_to_16;
  if (is_565 && screen_bits == 32) return copy_565_to_rgb<4>;
  if (is_565 && screen_bits == 24) return copy_565_to_rgb<3>;
  if (is_565 && screen_bits <= 8) return copy_565_to_index;
  if (h.bits == 24 && screen_bits == 24) return copy_24_to_24;
  if (h.bits == 32 && screen_bits == 32) return copy_32_to_32;
  return nullptr;
}

}  // namespace

int32_t set_dib_bits_to_device(Device* dc, int32_t dest_x, int32_t dest_y, int32_t width,
                               int32_t height, int32_t src_x, int32_t src_y,
                               int32_t first_scan, int32_t scan_count, const uint8_t* bits,
                               const uint8_t* info, int32_t usage) {
  ScreenState& s = screen();
  if (!live_device(dc) || bits == nullptr || info == nullptr || width <= 0 || height <= 0)
    return 0;
  DibHeader h = read_dib_header(info, usage);
  if (h.width < 1 || h.height < 1) return 0;
  const int64_t stride = ((int64_t{h.width} * h.bits + 31) / 32) * 4;
  const Palette* logical = live_palette(dc->palette) ? dc->palette : &s.default_palette;
  // Cut the rectangle to the screen, the bitmap and the scan lines given,
  // in 64 bits so that no position can overflow. Row j of the rectangle
  // reads bottom-up bitmap row src_y + height - 1 - j.
  const int64_t first_row = std::max<int64_t>(first_scan, 0);
  const int64_t end_row = std::min<int64_t>(int64_t{first_scan} + scan_count, h.height);
  int64_t i0 = std::max({int64_t{0}, -int64_t{dest_x}, -int64_t{src_x}});
  int64_t i1 = std::min({int64_t{width}, int64_t{s.width} - dest_x, int64_t{h.width} - src_x});
  int64_t j0 = std::max({int64_t{0}, -int64_t{dest_y}, int64_t{src_y} + height - end_row});
  int64_t j1 = std::min({int64_t{height}, int64_t{s.height} - dest_y,
                         int64_t{src_y} + height - first_row});
  const RowCopy fast = row_copy_for(h, s.bits);
  if (s.bits <= 8) s.nearest.follow(s.system, system_colour_count(s));
  int32_t lines = 0;
  for (int64_t j = j0; j < j1; ++j) {
    const int64_t sy = int64_t{src_y} + height - 1 - j;
    const uint8_t* row = bits + sy * stride;
    if (fast != nullptr && i1 > i0) {
      fast(s.pixels.data() + (dest_y + j) * s.bytes_per_row +
               (dest_x + i0) * storage_bytes(s.bits),
           row + (src_x + i0) * (h.bits / 8), static_cast<int32_t>(i1 - i0), s.nearest);
      ++lines;
      continue;
    }
    for (int64_t i = i0; i < i1; ++i) {
      int index = -1;
      Rgb c = dib_pixel_rgb(h, info, row, static_cast<int32_t>(src_x + i), usage,
                            logical->entries, &index);
      // Palette indices reach an 8-bit screen as they are; shallower
      // screens show the nearest of their colours.
      if (s.bits != 8) index = -1;
      store_pixel(s, static_cast<int32_t>(dest_x + i), static_cast<int32_t>(dest_y + j), c, index);
    }
    ++lines;
  }
  log_call("transfer %dx%d to %d,%d", width, height, dest_x, dest_y);
  if (s.host) s.host->present();
  return lines;
}

}  // namespace rx::platform
