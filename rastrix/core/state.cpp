// The library state record and its set-up operations.
#include "core/state.h"

#include <cstring>

namespace rx {

namespace {
constexpr char kIdentification[] = "Rastrix V5.01 for Linux";
constexpr int32_t kTickMilliseconds = 55;
constexpr int32_t kInfoSizePalette = 552;   // 40 + 256 16-bit indices
constexpr int32_t kInfoSizeColors = 1064;   // 40 + 256 RGBQUADs
constexpr int32_t kHeaderSize = 40;

LibraryState make_loaded_state() {
  LibraryState s{};
  static_assert(sizeof kIdentification <= sizeof s.identification);
  std::memcpy(s.identification, kIdentification, sizeof kIdentification);
  s.current_file = -1;
  s.log_palette.version = kLogPaletteVersion;
  s.log_palette.count = kPaletteSize;
  s.active_handle = -1;
  s.new_buffer_depth = 8;
  return s;
}
}  // namespace

LibraryState& state() {
  static LibraryState s = make_loaded_state();
  static const bool buffers_set = [] {
    s.input_buffer = s.builtin_input;
    s.input_size = kBuiltinInputSize;
    s.decode_buffer = s.scratch;
    s.decode_size = kScratchSize;
    return true;
  }();
  (void)buffers_set;
  return s;
}

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

  s.text_font = platform::stock_fixed_font();
  platform::TextMetrics m = platform::text_metrics(s.text_dc, s.text_font);
  std::memcpy(s.scratch, &m, sizeof m);
  s.text_line_height = m.height + m.external_leading;
  s.text_external_leading = m.external_leading;
  s.text_char_width = m.average_char_width;

  for (auto& p : s.slots.pixels) p = nullptr;

  if (rx_display_bits() <= 8) {
    s.color_usage = platform::kPaletteColors;
    s.info_size = rx::kInfoSizePalette;
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
  s.header_size = rx::kHeaderSize;
  s.saved_bitmap = nullptr;
  if (s.memory_dc != nullptr) platform::delete_dc(s.memory_dc);  // started over without shutdown
  s.memory_dc = platform::create_memory_dc();
  s.nt_flag = (platform::version() & 0x80000000u) == 0 ? 1 : 0;
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
