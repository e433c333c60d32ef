// The library state record and its set-up operations.
#include "core/state.h"

#include <cstring>

#include "core/cpu_features.h"
#include "vbuf/slots.h"

namespace rx {

constinit LibraryState g_state{};

namespace {
constexpr uint32_t kTickMilliseconds = 55;
constexpr uint32_t kVersionOldFamily = 0x80000000u;  // top bit of the version word
}  // namespace

}  // namespace rx

using rx::state;
namespace platform = rx::platform;

extern "C" {

int32_t rx_set_dc(RxDC window_dc) {
  auto* dc = reinterpret_cast<platform::Device*>(window_dc);
  state().window_dc = dc;
  state().text_dc = dc;
  return RX_OK;
}

int32_t rx_set_input_buffer(void* buffer, int32_t size) {
  rx::LibraryState& s = state();
  if (size < 0 || (size > 0 && buffer == nullptr)) return RX_ERR_ARGUMENT;
  if (size == 0) {
    s.input_buffer = s.builtin_input;
    s.input_size = rx::kBuiltinInputSize;
  } else {
    s.input_buffer = static_cast<uint8_t*>(buffer);
    s.input_size = size;
  }
  return RX_OK;
}

int32_t rx_init(void) {
  rx::LibraryState& s = state();
  s.input_buffer = s.builtin_input;
  s.input_size = rx::kBuiltinInputSize;
  rx::choose_cpu_level_from_environment();

  s.text_font = platform::stock_fixed_font();
  platform::TextMetrics m = platform::text_metrics(s.text_dc, s.text_font);
  std::memcpy(s.scratch, &m, sizeof m);
  s.text_line_height = m.height + m.external_leading;
  s.text_external_leading = m.external_leading;
  s.text_char_width = m.average_char_width;

  // Buffers left over from an earlier session lose their handles here, so
  // their memory goes back to the platform rather than being lost; first
  // the old memory DC goes, so that no bitmap is still selected into it.
  if (s.memory_dc != nullptr) platform::delete_dc(s.memory_dc);  // started over without shutdown
  s.memory_dc = nullptr;
  for (int32_t h = 0; h < rx::kSlotCount; ++h) rx::free_slot(h);

  if (rx_display_bits() <= 8) {
    s.color_usage = platform::kPaletteColors;
    s.info_size = rx::kInfoSizeIndices;
  } else {
    s.color_usage = platform::kRgbColors;
    s.info_size = rx::kInfoSizeColors;
  }
  s.high_byte = 0;
  s.depth_index = 0;
  s.position_x = 0;
  s.position_y = 0;
  s.active_handle = -1;
  s.new_buffer_depth = 8;
  s.header_size = rx::kInfoHeaderSize;
  s.saved_bitmap = nullptr;
  s.memory_dc = platform::create_memory_dc();
  s.nt_flag = (platform::version() & rx::kVersionOldFamily) == 0 ? 1 : 0;
  return RX_OK;
}

int32_t rx_display_bits(void) {
  platform::Device* dc = platform::screen_dc();
  int32_t bits = platform::device_bits(dc);
  platform::release_dc(dc);
  return bits == 15 ? 16 : bits;
}

uint32_t rx_clock(void) { return platform::tick_count() / rx::kTickMilliseconds; }

int32_t rx_shutdown(void) {
  rx::LibraryState& s = state();
  for (const uint8_t* p : s.slots.pixels)
    if (p != nullptr) return RX_OK;
  s.active_handle = -1;
  if (s.initial_palette != nullptr) platform::select_palette(s.window_dc, s.initial_palette, false);
  if (s.memory_dc != nullptr) {
    platform::delete_dc(s.memory_dc);
    s.memory_dc = nullptr;
  }
  return RX_OK;
}

}  // extern "C"
