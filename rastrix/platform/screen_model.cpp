// The screen model shared by both backends: an in-memory screen of the
// desktop's depth with its system palette, and the choice of backend.
#include <cstring>

#include "platform/screen_state.h"

namespace rx::platform {

namespace {

// The twenty colours an 8-bit desktop keeps for itself.
constexpr PaletteEntry kStaticColors[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {164, 200, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

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

int32_t storage_bytes(int32_t bits) { return bits <= 8 ? 1 : (bits + 7) / 8; }

// A 4-bit desktop's sixteen colours are the first eight then the last
// eight static colours.
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

// --- Backends -------------------------------------------------------------------

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

const PaletteEntry* system_palette() { return screen().system; }

}  // namespace rx::platform
