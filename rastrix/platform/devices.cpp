// Device contexts, memory DCs and their bitmaps, header memory and the
// stock font.
#include <algorithm>
#include <cstdlib>

#include "platform/pixel_formats.h"
#include "platform/screen_state.h"

namespace rx::platform {

bool live_device(const Device* dc) {
  const ScreenState& s = screen();
  return dc != nullptr && (dc == &s.screen || dc == &s.window ||
                           std::find(s.memory_dcs.begin(), s.memory_dcs.end(), dc) !=
                               s.memory_dcs.end());
}

Device* screen_dc() { return &screen().screen; }
Device* window_dc() { return &screen().window; }
void release_dc(Device*) {}

int32_t device_bits(Device*) { return screen().bits; }

// --- Memory DC and bitmaps ----------------------------------------------------

Device* create_memory_dc() {
  log_call("create_memory_dc");
  ScreenState& s = screen();
  auto* dc = new Device{Device::kMemory, nullptr, &s.stock_bitmap};
  s.memory_dcs.push_back(dc);
  return dc;
}

bool delete_dc(Device* dc) {
  if (!live_device(dc) || dc->kind != Device::kMemory) return false;
  log_call("delete_dc");
  std::vector<Device*>& live = screen().memory_dcs;
  live.erase(std::find(live.begin(), live.end(), dc));
  delete dc;
  return true;
}

Bitmap* select_bitmap(Device* dc, Bitmap* bitmap) {
  if (!live_device(dc) || bitmap == nullptr) return nullptr;
  Bitmap* previous = dc->bitmap;
  dc->bitmap = bitmap;
  return previous;
}

Bitmap* selected_bitmap(Device* dc) { return live_device(dc) ? dc->bitmap : nullptr; }

Bitmap* create_dib_section(Device*, const uint8_t* info, int32_t usage, uint8_t** pixels) {
  ScreenState& s = screen();
  if (info == nullptr || pixels == nullptr || s.fail_bitmaps) return nullptr;
  DibHeader h = read_dib_header(info, usage);
  if (h.width < 1 || h.height < 1 ||
      !(h.bits == 8 || h.bits == 16 || h.bits == 24 || h.bits == 32))
    return nullptr;
  int32_t stride = ((h.width * h.bits + 31) / 32) * 4;
  size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(h.height);
  auto* b = new Bitmap{};
  b->info.assign(info, info + h.info_bytes);
  b->memory = reserve_pixels(bytes);
  if (b->memory.pixels == nullptr) {
    delete b;
    return nullptr;
  }
  b->pixels = b->memory.pixels;
  b->width = h.width;
  b->height = h.height;
  b->bits = h.bits;
  b->stride = stride;
  *pixels = b->pixels;
  log_call("create_dib %dx%dx%d", h.width, h.height, h.bits);
  return b;
}

bool delete_bitmap(Bitmap* bitmap) {
  ScreenState& s = screen();
  if (bitmap == nullptr || bitmap == &s.stock_bitmap) return false;
  // A bitmap still selected into a DC stays, as the window system keeps it.
  for (const Device* dc : s.memory_dcs)
    if (dc->bitmap == bitmap) return false;
  log_call("delete_bitmap");
  release_pixels(bitmap->memory);
  delete bitmap;
  return true;
}

// --- Header memory, font ------------------------------------------------------

void* global_alloc_zeroed(uint32_t bytes) {
  if (screen().fail_bitmaps) return nullptr;
  return std::calloc(1, bytes ? bytes : 1);
}
void global_free(void* memory) { std::free(memory); }

Font* stock_fixed_font() { return &screen().fixed_font; }
TextMetrics text_metrics(Device*, Font* font) {
  if (font == nullptr) return {0, 0, 0};
  return {12, 0, 8};
}

void set_fail_bitmaps(bool fail) { screen().fail_bitmaps = fail; }

}  // namespace rx::platform
