// The state the platform files share: one screen model, its handles and
// its test settings. Internal to rastrix/platform.
#pragma once

#include <string>
#include <vector>

#include "platform/nearest_colour.h"
#include "platform/headless_controls.h"
#include "platform/pixel_memory.h"
#include "platform/platform.h"

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

// Version word of the modern family (top bit clear).
constexpr uint32_t kModernVersion = 0x23F00206;

// The system palette slots an 8-bit desktop keeps for itself at each end.
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

// The one screen; until a backend is chosen, a headless 640 x 480 desktop.
ScreenState& screen();

// Screen model (screen_model.cpp).
int32_t storage_bytes(int32_t bits);
void allocate_screen(ScreenState& s, int32_t width, int32_t height, int32_t bits);
void reset_system_palette(ScreenState& s);
bool supported_screen_bits(int32_t bits);
bool supported_screen_size(int32_t width, int32_t height);
int32_t system_colour_count(const ScreenState& s);  // what a palette screen can show

// Handles are checked like the window system's: a deleted or made-up
// handle is refused instead of being followed (palettes.cpp, devices.cpp).
bool live_palette(const Palette* p);
bool live_device(const Device* dc);

// What tick_count() would return, without advancing the virtual clock.
uint32_t clock_now();

// Appends a printf-style line and the clock's time when the log is on;
// formats nothing otherwise (call_log.cpp).
__attribute__((format(printf, 1, 2))) void log_call(const char* format, ...);

}  // namespace rx::platform
