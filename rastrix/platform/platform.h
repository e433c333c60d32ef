// The thin platform layer: what the library and the demo need from a window
// system, under names of our own. Two backends share one model: an
// in-memory screen of the desktop's depth with a system palette. The
// headless backend keeps only that screen; the SDL2 backend also shows it in
// a window (see Host).
#pragma once

#include <cstdint>
#include <vector>

// What the window library (its own shared object) calls in this one.
#if defined(RASTRIX_BUILDING) && !defined(_WIN32)
#define RX_HOST_API __attribute__((visibility("default")))
#else
#define RX_HOST_API
#endif

namespace rx::platform {

struct PaletteEntry {
  uint8_t red, green, blue, flags;
};

// Opaque objects handed out to the library (they are RxDC / RxPalette).
struct Device;
struct Palette;
struct Bitmap;
struct Font;

struct DisplayMode {
  int32_t width, height, bits;
};

struct TextMetrics {
  int32_t height, external_leading, average_char_width;
};

// Results of display changes, as the platform reports them.
enum ChangeResult : int32_t {
  kChangeSuccessful = 0,
  kChangeRestart = 1,
  kChangeFailed = -1,
  kChangeBadMode = -2,
};
// Flags of a display change.
enum ChangeFlags : int32_t {
  kChangeUpdateRegistry = 1,
  kChangeTest = 2,
  kChangeFullscreen = 4,
};
// How an 8-bit bitmap's colour table is read.
enum ColorUsage : int32_t { kRgbColors = 0, kPaletteColors = 1 };

// --- Devices and the screen ---------------------------------------------
Device* screen_dc();            // the whole screen
RX_HOST_API Device* window_dc();  // the application window's DC
void release_dc(Device* dc);    // no-op for the shared DCs
int32_t device_bits(Device* dc);  // bits per pixel x planes
int32_t system_palette_entries(Device* dc, int32_t start, int32_t count, PaletteEntry* out);

// --- Palettes -------------------------------------------------------------
Palette* create_palette(const PaletteEntry* entries, int32_t count);
bool delete_palette(Palette* palette);
Palette* select_palette(Device* dc, Palette* palette, bool background);  // previous
int32_t realize_palette(Device* dc);
bool animate_palette(Palette* palette, int32_t start, int32_t count, const PaletteEntry* entries);

// --- Memory DC and bitmaps ------------------------------------------------
Device* create_memory_dc();
bool delete_dc(Device* dc);
// A memory DC starts with a stock 1 x 1 bitmap. Selecting returns the
// previous bitmap; null (nothing changed) for a null bitmap.
Bitmap* select_bitmap(Device* dc, Bitmap* bitmap);
Bitmap* selected_bitmap(Device* dc);
// A device-independent bitmap section described by a BITMAPINFO block
// (header + masks or colour table). The platform owns the pixel memory.
Bitmap* create_dib_section(Device* dc, const uint8_t* info, int32_t usage, uint8_t** pixels);
// false, deleting nothing, for the stock bitmap and for a bitmap selected
// into a memory DC.
bool delete_bitmap(Bitmap* bitmap);
// Transfers a rectangle of a bottom-up bitmap to the device, converting to
// the screen's depth. Rows are counted from the bottom of the bitmap.
int32_t set_dib_bits_to_device(Device* dc, int32_t dest_x, int32_t dest_y, int32_t width,
                               int32_t height, int32_t src_x, int32_t src_y,
                               int32_t first_scan, int32_t scan_count, const uint8_t* bits,
                               const uint8_t* info, int32_t usage);

// --- Header memory --------------------------------------------------------
void* global_alloc_zeroed(uint32_t bytes);
void global_free(void* memory);

// --- Font -----------------------------------------------------------------
Font* stock_fixed_font();
TextMetrics text_metrics(Device* dc, Font* font);

// --- Display modes, time, version -----------------------------------------
bool enum_display_settings(int32_t mode_number, DisplayMode* out);
// mode null: back to the stored desktop mode.
int32_t change_display_settings(const DisplayMode* mode, int32_t flags);
uint32_t tick_count();  // milliseconds since system start, wraps at 2^32
uint32_t version();     // top bit clear: the modern family

// --- Backends -------------------------------------------------------------
// What shows the screen to a person; the headless backend has none.
class Host {
 public:
  virtual ~Host() = default;
  virtual void present() = 0;  // the screen changed
  virtual void display_changed(const DisplayMode* mode, bool full_screen) = 0;
};

// Headless screen: width x height at bits (4, 8, 15, 16, 24, 32). Replaces
// any earlier screen and resets the system palette, modes, call log (and
// turns it off), test results, version word and virtual clock. false for
// an unsupported depth or size.
RX_HOST_API bool use_headless(int32_t width, int32_t height, int32_t bits);
RX_HOST_API void set_host(Host* host);  // null: headless

// --- Screen access for hosts and tests -----------------------------------
struct ScreenView {
  int32_t width, height, bits;  // bits as configured (15 stays 15)
  int32_t bytes_per_row;        // top-down rows
  const uint8_t* pixels;
};
RX_HOST_API ScreenView screen_view();
// count pixels of row y from x on as 0xFFRRGGBB, whatever the screen's
// depth: what a window shows. Nothing is written outside the screen.
RX_HOST_API void screen_row_argb(const ScreenView& v, int32_t y, int32_t x, int32_t count, uint32_t* out);
// Red, green, blue of a screen pixel; false outside the screen.
bool screen_rgb(int32_t x, int32_t y, uint8_t rgb[3]);
// The 256 colours the screen shows for its indices (8-bit screens).
RX_HOST_API const PaletteEntry* system_palette();

}  // namespace rx::platform
