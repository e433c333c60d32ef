// The library's one global record and the helpers every module uses to
// reach the active buffer. Fields keep the order and widths of the design.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/pixel_format.h"
#include "rastrix.h"
#include "platform/platform.h"

namespace rx {

inline constexpr int kSlotCount = 32;
inline constexpr int kBuiltinInputSize = 4096;
inline constexpr int kScratchSize = 10240;
inline constexpr uint16_t kLogPaletteVersion = 0x300;
inline constexpr uint8_t kPcReserved = 1;  // palette entry flag needed by animation

// Bitmap header sizes: the 40-byte info header, the 108-byte version-4
// header, and an 8-bit buffer's header with its colour table of 256 16-bit
// palette indices or of 256 four-byte colours.
inline constexpr int32_t kInfoHeaderSize = 40;
inline constexpr int32_t kV4HeaderSize = 108;
inline constexpr int32_t kInfoSizeIndices = kInfoHeaderSize + kPaletteSize * 2;
inline constexpr int32_t kInfoSizeColors = kInfoHeaderSize + kPaletteSize * 4;

// One entry of the logical palette: red, green, blue, flags.
struct LogPaletteEntry {
  uint8_t red, green, blue, flags;
};
// The logical palette in the platform's LOGPALETTE form.
struct LogPalette {
  uint16_t version;
  uint16_t count;
  LogPaletteEntry entries[kPaletteSize];
};
// Colour-table entry in RGBQUAD order.
struct RgbQuad {
  uint8_t blue, green, red, reserved;
};

// The buffer slot table: eleven parallel arrays, one per attribute.
struct SlotTable {
  void* header_memory[kSlotCount];
  platform::Bitmap* bitmap[kSlotCount];
  int32_t max_x[kSlotCount];
  int32_t max_y[kSlotCount];
  int32_t min_x[kSlotCount];
  int32_t min_y[kSlotCount];
  uint8_t* header[kSlotCount];
  uint8_t* pixels[kSlotCount];  // null: the slot is free
  int32_t bits[kSlotCount];
  int32_t height[kSlotCount];
  int32_t stored_width[kSlotCount];
};

struct ClipRect {
  int32_t min_x, max_x, min_y, max_y;
};

// Default values are those the record holds before rx_init runs.
struct LibraryState {
  char identification[26] = "Rastrix V5.01 for Windows";  // read by no operation
  platform::Device* window_dc;
  platform::Palette* current_palette;
  int32_t active_bits;
  platform::Font* text_font;
  int32_t text_line_height;
  int32_t text_external_leading;
  int32_t text_char_width;
  platform::Palette* initial_palette;
  platform::Device* text_dc;
  int32_t position_x;
  int32_t active_width;
  int32_t active_bottom_row;
  int32_t position_y;
  int32_t active_height;
  uint8_t nt_flag;
  uint8_t high_byte;
  ClipRect clip;
  int current_file = -1;  // POSIX descriptor; -1 when none, as 0 is a real descriptor
  uint32_t bytes_read;
  PaletteMap palette_map;
  LogPalette log_palette = {kLogPaletteVersion, kPaletteSize, {}};
  RgbQuad color_table[kPaletteSize];
  platform::Device* memory_dc;
  platform::Bitmap* saved_bitmap;
  int32_t header_size;
  int32_t info_size;
  int32_t color_usage;
  int8_t active_handle = -1;
  uint8_t new_buffer_depth = 8;
  uint8_t* active_header;
  int32_t depth_index;
  int32_t active_bytes_per_row;
  uint8_t* active_pixels;
  SlotTable slots;
  uint8_t* input_buffer = builtin_input;
  int32_t input_size = kBuiltinInputSize;
  alignas(16) uint8_t builtin_input[kBuiltinInputSize];
  alignas(16) uint8_t scratch[kScratchSize];
  uint8_t* decode_buffer = scratch;
  int32_t decode_size = kScratchSize;
};

// The record itself, constant-initialised with its "before rx_init" values.
extern LibraryState g_state;
inline LibraryState& state() { return g_state; }

inline bool has_active_buffer() { return state().active_handle >= 0; }

// First byte of row y of the active buffer (rows are stored bottom-up).
inline uint8_t* active_row(int32_t y) {
  LibraryState& s = state();
  return s.active_pixels +
         static_cast<ptrdiff_t>(s.active_bottom_row - y) * s.active_bytes_per_row;
}

}  // namespace rx
