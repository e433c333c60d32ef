// The library palette: built for the desktop's depth, realized in the
// window, loaded from pictures and flics, and mirrored in PaletteMap.
#include "core/palette.h"

#include <algorithm>
#include <cstring>

#include "core/default_palette.h"
#include "core/pixel_format.h"
#include "core/state.h"

namespace rx {

namespace {

constexpr int kStaticCount = 10;      // static colours at each end of an 8-bit desktop
constexpr int kColorTableOffset = kInfoHeaderSize;

// PaletteMap entries first .. first + count - 1 from the log palette, one
// loop per depth.
void map_entries(LibraryState& s, int32_t bits, int first, int count) {
  const LogPaletteEntry* e = s.log_palette.entries + first;
  if (bits == 16) {
    uint16_t* to = s.palette_map.rgb565 + first;
    for (int i = 0; i < count; ++i) to[i] = pack_565({e[i].red, e[i].green, e[i].blue});
  } else if (bits == 24 || bits == 32) {
    uint8_t(*to)[4] = s.palette_map.hrgb + first;
    for (int i = 0; i < count; ++i) {
      to[i][0] = s.high_byte;
      to[i][1] = e[i].red;
      to[i][2] = e[i].green;
      to[i][3] = e[i].blue;
    }
  }
}

void fill_from_default(LogPalette& p, int first, int last) {
  const auto& d = default_palette();
  for (int i = first; i <= last; ++i)
    p.entries[i] = {d[i].red, d[i].green, d[i].blue, kPcReserved};
}

void copy_system_entries(LogPalette& p, int from, int to, int count) {
  platform::PaletteEntry e[256];
  platform::Device* screen = platform::screen_dc();
  int32_t got = platform::system_palette_entries(screen, from, count, e);
  platform::release_dc(screen);
  for (int i = 0; i < count; ++i) {
    const platform::PaletteEntry c = i < got ? e[i] : platform::PaletteEntry{0, 0, 0, 0};
    p.entries[to + i] = {c.red, c.green, c.blue, c.flags};
  }
}

void rebuild_color_table(LibraryState& s) {
  for (int i = 0; i < kPaletteSize; ++i) {
    const LogPaletteEntry& e = s.log_palette.entries[i];
    s.color_table[i] = {e.blue, e.green, e.red, 0};
  }
}

}  // namespace

void rebuild_palette_map(int32_t bits) { map_entries(state(), bits, 0, kPaletteSize); }

void copy_color_table(uint8_t* header) {
  std::memcpy(header + kColorTableOffset, state().color_table, sizeof state().color_table);
}

}  // namespace rx

using rx::state;
namespace platform = rx::platform;

extern "C" {

RxPalette rx_make_palette(void) {
  rx::LibraryState& s = state();
  rx::LogPalette& p = s.log_palette;
  int32_t bits = rx_display_bits();
  if (bits == 8) {
    rx::copy_system_entries(p, 0, 0, rx::kStaticCount);
    rx::copy_system_entries(p, 256 - rx::kStaticCount, 256 - rx::kStaticCount, rx::kStaticCount);
    rx::fill_from_default(p, rx::kStaticCount, 255 - rx::kStaticCount);
  } else if (bits > 8) {
    rx::fill_from_default(p, 0, 255);
  } else {
    rx::copy_system_entries(p, 0, 0, 8);
    rx::copy_system_entries(p, 8, 248, 8);
    rx::fill_from_default(p, 8, 247);
  }
  rx::rebuild_color_table(s);
  static_assert(sizeof(rx::LogPaletteEntry) == sizeof(platform::PaletteEntry));
  return reinterpret_cast<RxPalette>(platform::create_palette(
      reinterpret_cast<const platform::PaletteEntry*>(p.entries), p.count));
}

int32_t rx_realize_palette(RxPalette palette) {
  rx::LibraryState& s = state();
  auto* p = reinterpret_cast<platform::Palette*>(palette);
  s.current_palette = p;
  platform::Palette* previous = platform::select_palette(s.window_dc, p, false);
  if (s.initial_palette == nullptr) s.initial_palette = previous;
  platform::realize_palette(s.window_dc);
  return RX_OK;
}

int32_t rx_set_palette_entries(int32_t start, int32_t count, const uint8_t* rgb) {
  rx::LibraryState& s = state();
  if (!rx::has_active_buffer() || count <= 0 || start < 0 || start >= rx::kPaletteSize ||
      rgb == nullptr)
    return RX_OK;
  count = std::min(count, rx::kPaletteSize - start);  // a run past entry 255 is cut short
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* c = rgb + 3 * i;
    s.log_palette.entries[start + i] = {c[0], c[1], c[2], rx::kPcReserved};
    s.color_table[start + i] = {c[2], c[1], c[0], 0};
  }
  if (s.active_bits == 8 && s.color_usage == platform::kRgbColors)
    rx::copy_color_table(s.active_header);
  platform::animate_palette(
      s.current_palette, start, count,
      reinterpret_cast<const platform::PaletteEntry*>(s.log_palette.entries + start));
  rx::map_entries(s, s.active_bits, start, count);
  return RX_OK;
}

}  // extern "C"
