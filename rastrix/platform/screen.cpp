// The screen model shared by both backends: an in-memory screen of the
// desktop's depth, its system palette, palettes, bitmaps and display modes.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/nearest_colour.h"
#include "platform/platform.h"
#include "platform/pixel_formats.h"
#include "platform/pixel_memory.h"

namespace rx::platform {

struct Palette {
  PaletteEntry entries[256];
  int32_t count;
};

struct Bitmap {
  std::vector<uint8_t> info;
  PixelMemory memory;
  uint8_t* pixels;
  int32_t width, height, bits, stride;
};

struct Device {
  enum Kind { kScreen, kWindow, kMemory } kind;
  Palette* palette;  // selected palette
  Bitmap* bitmap;    // selected bitmap (memory DCs)
};

struct Font {
  int32_t id;
};

namespace {

// The twenty colours an 8-bit desktop keeps for itself.
constexpr PaletteEntry kStaticColors[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {164, 200, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};
// Version word of the modern family (top bit clear).
constexpr uint32_t kModernVersion = 0x23F00206;

// A 4-bit desktop's sixteen colours: the first eight then the last eight
// static colours.
constexpr int kStaticFirst = 10;

struct ScreenState {
  int32_t width = 640, height = 480, bits = 32;
  int32_t bytes_per_row = 0;
  std::vector<uint8_t> pixels;
  PaletteEntry system[256]{};
  NearestColours nearest;  // of system, for RGB pixels on palette screens
  DisplayMode desktop{640, 480, 32};
  DisplayMode current{640, 480, 32};
  std::vector<DisplayMode> modes;
  int32_t test_result = kChangeSuccessful;
  std::vector<int32_t> change_results;
  bool virtual_clock = false;
  uint32_t tick = 0, tick_step = 1;
  bool logging = false;
  std::vector<std::string> log;
  uint32_t version = kModernVersion;
  bool fail_bitmaps = false;
  Host* host = nullptr;
  Device screen{Device::kScreen, nullptr, nullptr};
  Device window{Device::kWindow, nullptr, nullptr};
  Palette default_palette{};
  // What a memory DC holds until a bitmap is selected, and again once the
  // first one selected is given back: never deleted.
  Bitmap stock_bitmap{{}, {nullptr, 0, nullptr}, nullptr, 1, 1, 1, 4};
  std::vector<Palette*> palettes;  // created and not yet deleted
  std::vector<Device*> memory_dcs;  // created and not yet deleted
  Font fixed_font{10};
};

void configure_headless(ScreenState& s, int32_t width, int32_t height, int32_t bits);

ScreenState& screen() {
  static ScreenState s;
  static const bool ready = [] {
    // Until a backend is chosen the screen is a headless 640 x 480 desktop.
    configure_headless(s, 640, 480, 32);
    return true;
  }();
  (void)ready;
  return s;
}

// Palette handles are checked like the window system's handles: a deleted
// or made-up handle is refused instead of being followed.
bool live_palette(const Palette* p) {
  const ScreenState& s = screen();
  return p != nullptr && (p == &s.default_palette ||
                          std::find(s.palettes.begin(), s.palettes.end(), p) != s.palettes.end());
}

// Device handles likewise: the screen, the window or a live memory DC.
bool live_device(const Device* dc) {
  const ScreenState& s = screen();
  return dc != nullptr && (dc == &s.screen || dc == &s.window ||
                           std::find(s.memory_dcs.begin(), s.memory_dcs.end(), dc) !=
                               s.memory_dcs.end());
}

int32_t storage_bytes(int32_t bits) { return bits <= 8 ? 1 : (bits + 7) / 8; }

constexpr size_t kLogLimit = 4096;  // a long run keeps only its recent calls
constexpr size_t kLogLineBytes = 128;

uint32_t clock_now();

void append_to_log(const std::string& what) {
  ScreenState& s = screen();
  if (s.log.size() >= kLogLimit) s.log.erase(s.log.begin(), s.log.begin() + kLogLimit / 2);
  s.log.push_back(what + " @" + std::to_string(clock_now()));
}

// Appends a printf-style line and the clock's time when the log is on;
// formats nothing otherwise. The clock is read, never advanced.
__attribute__((format(printf, 1, 2)))
void log_call(const char* format, ...) {
  ScreenState& s = screen();
  if (!s.logging) return;
  char what[kLogLineBytes];
  va_list args;
  va_start(args, format);
  std::vsnprintf(what, sizeof what, format, args);
  va_end(args);
  append_to_log(what);
}

void reset_system_palette(ScreenState& s) {
  std::memset(s.system, 0, sizeof s.system);
  if (s.bits == 4) {
    for (int i = 0; i < 8; ++i) s.system[i] = kStaticColors[i];
    for (int i = 0; i < 8; ++i) s.system[8 + i] = kStaticColors[12 + i];
    return;
  }
  for (int i = 0; i < kStaticFirst; ++i) s.system[i] = kStaticColors[i];
  for (int i = 0; i < kStaticFirst; ++i) s.system[246 + i] = kStaticColors[10 + i];
}

void allocate_screen(ScreenState& s, int32_t width, int32_t height, int32_t bits) {
  s.width = width;
  s.height = height;
  s.bits = bits;
  s.bytes_per_row = width * storage_bytes(bits);
  s.pixels.assign(static_cast<size_t>(s.bytes_per_row) * height, 0);
}

bool supported_screen_bits(int32_t bits) {
  return bits == 4 || bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// Largest screen side; larger screens (65536 x 65536 x 32 is 16 GiB) are
// no display mode this model can hold.
constexpr int32_t kMaxScreenSide = 16384;

bool supported_screen_size(int32_t width, int32_t height) {
  return width >= 1 && height >= 1 && width <= kMaxScreenSide && height <= kMaxScreenSide;
}

// Colours of the system palette a palette screen can show.
int32_t system_colour_count(const ScreenState& s) { return s.bits == 4 ? 16 : 256; }

void store_pixel(ScreenState& s, int32_t x, int32_t y, Rgb c, int index) {
  uint8_t* p = s.pixels.data() + static_cast<size_t>(y) * s.bytes_per_row +
               static_cast<size_t>(x) * storage_bytes(s.bits);
  switch (s.bits) {
    case 4:
    case 8:
      *p = index >= 0 ? static_cast<uint8_t>(index) : s.nearest.of(c);
      break;
    case 15: {
      uint16_t v = pack_555(c);
      std::memcpy(p, &v, 2);
      break;
    }
    case 16: {
      uint16_t v = pack_565(c);
      std::memcpy(p, &v, 2);
      break;
    }
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
  const bool is_565 = h.bits == 16 && !(h.compression == 3 && h.green_mask == 0x03E0);
  if (is_565 && screen_bits == 16) return copy_565_to_16;
  if (is_565 && screen_bits == 32) return copy_565_to_rgb<4>;
  if (is_565 && screen_bits == 24) return copy_565_to_rgb<3>;
  if (is_565 && screen_bits <= 8) return copy_565_to_index;
  if (h.bits == 24 && screen_bits == 24) return copy_24_to_24;
  if (h.bits == 32 && screen_bits == 32) return copy_32_to_32;
  return nullptr;
}

}  // namespace

// --- Devices and the screen -------------------------------------------------

Device* screen_dc() { return &screen().screen; }
Device* window_dc() { return &screen().window; }
void release_dc(Device*) {}

int32_t device_bits(Device*) { return screen().bits; }

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

// --- Display modes, time, version ---------------------------------------------

bool enum_display_settings(int32_t mode_number, DisplayMode* out) {
  ScreenState& s = screen();
  if (mode_number < 0 || static_cast<size_t>(mode_number) >= s.modes.size() || out == nullptr)
    return false;
  *out = s.modes[static_cast<size_t>(mode_number)];
  // 5-5-5 screens count as 16 bits, as the desktop's depth is reported.
  if (out->bits == 15) out->bits = 16;
  return true;
}

int32_t change_display_settings(const DisplayMode* mode, int32_t flags) {
  ScreenState& s = screen();
  if (mode == nullptr) {
    log_call("restore");
    if (s.current.width != s.desktop.width || s.current.height != s.desktop.height ||
        s.current.bits != s.desktop.bits)
      allocate_screen(s, s.desktop.width, s.desktop.height, s.desktop.bits);
    s.current = s.desktop;
    reset_system_palette(s);
    if (s.host) s.host->display_changed(nullptr, false);
    return kChangeSuccessful;
  }
  const char* what = flags & kChangeTest ? "test" : "change";
  log_call("%s %dx%dx%d flags=%d", what, mode->width, mode->height, mode->bits, flags);
  if (flags & kChangeTest) return s.test_result;
  int32_t result = kChangeSuccessful;
  if (!s.change_results.empty()) {
    result = s.change_results.front();
    s.change_results.erase(s.change_results.begin());
  }
  if (result != kChangeSuccessful) return result;
  if (!supported_screen_bits(mode->bits) || !supported_screen_size(mode->width, mode->height))
    return kChangeBadMode;
  // A 16-bit mode of a 5-5-5 desktop keeps the desktop's storage.
  const DisplayMode chosen{mode->width, mode->height,
                           mode->bits == 16 && s.desktop.bits == 15 ? 15 : mode->bits};
  if (chosen.width != s.width || chosen.height != s.height || chosen.bits != s.bits) {
    allocate_screen(s, chosen.width, chosen.height, chosen.bits);
    reset_system_palette(s);
  }
  s.current = chosen;
  if (s.host) s.host->display_changed(&chosen, (flags & kChangeFullscreen) != 0);
  return kChangeSuccessful;
}

namespace {

// From system start, as both backends count, so that programs started at
// different times read different clocks.
uint32_t since_system_start_ms() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

// What tick_count() would return, without advancing the virtual clock.
uint32_t clock_now() {
  const ScreenState& s = screen();
  return s.virtual_clock ? s.tick : since_system_start_ms();
}

}  // namespace

uint32_t tick_count() {
  ScreenState& s = screen();
  if (!s.virtual_clock) return since_system_start_ms();
  const uint32_t now = s.tick;
  s.tick += s.tick_step;
  return now;
}

uint32_t version() { return screen().version; }

// --- Backends -------------------------------------------------------------------

namespace {
void configure_headless(ScreenState& s, int32_t width, int32_t height, int32_t bits) {
  allocate_screen(s, width, height, bits);
  reset_system_palette(s);
  s.desktop = s.current = DisplayMode{width, height, bits};
  s.modes.clear();
  for (int32_t b : {8, 16, 24, 32}) s.modes.push_back({640, 480, b});
  if (!(width == 640 && height == 480)) s.modes.push_back({width, height, bits});
  s.test_result = kChangeSuccessful;
  s.change_results.clear();
  s.log.clear();
  s.logging = false;
  s.window.palette = nullptr;
  s.screen.palette = nullptr;
  for (int i = 0; i < 256; ++i) s.default_palette.entries[i] = s.system[i];
  s.default_palette.count = 256;
  s.fail_bitmaps = false;
  s.version = kModernVersion;
  s.virtual_clock = false;
}
}  // namespace

bool use_headless(int32_t width, int32_t height, int32_t bits) {
  if (!supported_screen_bits(bits) || !supported_screen_size(width, height)) return false;
  configure_headless(screen(), width, height, bits);
  return true;
}

void set_host(Host* host) { screen().host = host; }

ScreenView screen_view() {
  ScreenState& s = screen();
  return {s.width, s.height, s.bits, s.bytes_per_row, s.pixels.data()};
}

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

const PaletteEntry* system_palette() { return screen().system; }

// --- Test controls ------------------------------------------------------------------

void set_display_modes(const std::vector<DisplayMode>& modes) { screen().modes = modes; }
void set_test_change_result(int32_t result) { screen().test_result = result; }
void set_change_results(const std::vector<int32_t>& results) { screen().change_results = results; }
void set_virtual_clock(bool on, uint32_t start, uint32_t step) {
  ScreenState& s = screen();
  s.virtual_clock = on;
  s.tick = start;
  s.tick_step = step;
}
void set_tick(uint32_t ms) { screen().tick = ms; }
const std::vector<std::string>& call_log() { return screen().log; }
void set_call_log(bool on) { screen().logging = on; }
void clear_call_log() { screen().log.clear(); }
void note_call(const std::string& what) {
  if (screen().logging) append_to_log(what);
}
void set_version(uint32_t version) { screen().version = version; }
void set_fail_bitmaps(bool fail) { screen().fail_bitmaps = fail; }

}  // namespace rx::platform
