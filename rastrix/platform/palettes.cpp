// Logical palettes, their selection and realization into the system
// palette, and palette animation.
#include <algorithm>

#include "platform/screen_state.h"

namespace rx::platform {

bool live_palette(const Palette* p) {
  const ScreenState& s = screen();
  return p != nullptr && (p == &s.default_palette ||
                          std::find(s.palettes.begin(), s.palettes.end(), p) != s.palettes.end());
}

int32_t system_palette_entries(Device*, int32_t start, int32_t count, PaletteEntry* out) {
  ScreenState& s = screen();
  if (s.bits > 8 || out == nullptr || start < 0 || count < 0) return 0;
  int32_t n = 0;
  for (; n < count && start + n < 256; ++n) out[n] = s.system[start + n];
  return n;
}

// --- Palettes ---------------------------------------------------------------

Palette* create_palette(const PaletteEntry* entries, int32_t count) {
  if (entries == nullptr || count < 1 || count > 256) return nullptr;
  auto* p = new Palette{};
  std::copy(entries, entries + count, p->entries);
  p->count = count;
  screen().palettes.push_back(p);
  log_call("create_palette");
  return p;
}

bool delete_palette(Palette* palette) {
  ScreenState& s = screen();
  if (palette == &s.default_palette || !live_palette(palette)) return false;
  if (s.window.palette == palette) s.window.palette = nullptr;
  if (s.screen.palette == palette) s.screen.palette = nullptr;
  s.palettes.erase(std::find(s.palettes.begin(), s.palettes.end(), palette));
  log_call("delete_palette");
  delete palette;
  return true;
}

Palette* select_palette(Device* dc, Palette* palette, bool) {
  if (!live_device(dc) || !live_palette(palette)) return nullptr;
  Palette* previous = dc->palette ? dc->palette : &screen().default_palette;
  dc->palette = palette == &screen().default_palette ? nullptr : palette;
  log_call("select_palette");
  return previous;
}

int32_t realize_palette(Device* dc) {
  ScreenState& s = screen();
  log_call("realize_palette");
  if (!live_device(dc) || !live_palette(dc->palette) || s.bits != 8) return 0;
  // Foreground realization: entries outside the static colours take their
  // own system slots at the same indices.
  int32_t mapped = 0;
  for (int i = kStaticFirst; i < 256 - kStaticFirst && i < dc->palette->count; ++i) {
    s.system[i] = dc->palette->entries[i];
    s.system[i].flags = 0;
    ++mapped;
  }
  return mapped;
}

bool animate_palette(Palette* palette, int32_t start, int32_t count, const PaletteEntry* entries) {
  ScreenState& s = screen();
  if (!live_palette(palette) || entries == nullptr || start < 0 || count < 0) return false;
  bool shown = s.window.palette == palette && s.bits == 8;
  for (int32_t i = 0; i < count && start + i < palette->count; ++i) {
    int32_t k = start + i;
    if (!(palette->entries[k].flags & 1)) continue;  // only reserved entries animate
    palette->entries[k] = entries[i];
    if (shown && k >= kStaticFirst && k < 256 - kStaticFirst) {
      s.system[k] = entries[i];
      s.system[k].flags = 0;
    }
  }
  if (shown && s.host) s.host->present();
  return true;
}

}  // namespace rx::platform
