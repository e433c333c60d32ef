// Virtual buffers: the 32-slot table, bitmap headers, selection.
#include <algorithm>
#include <cstring>

#include "core/palette.h"
#include "core/pixel_format.h"
#include "core/state.h"
#include "vbuf/slots.h"

namespace rx {

namespace {

constexpr uint32_t kBitFields = 3;  // compression: colour masks follow the header
constexpr int32_t kMaskOffset = kInfoHeaderSize;
constexpr uint32_t kMasks16[3] = {kRedMask565, kGreenMask565, kBlueMask5};
constexpr uint32_t kMasks32[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};

void store_u32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
void store_u16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

// The colour table of an 8-bit buffer on a palette desktop: entry i is
// palette index i.
void write_index_table(uint8_t* h) {
  for (int i = 0; i < kPaletteSize; ++i)
    store_u16(h + kInfoHeaderSize + 2 * i, static_cast<uint16_t>(i));
}

void write_header(uint8_t* h, int32_t header_size, int32_t width, int32_t height, int32_t bits,
                  bool nt) {
  store_u32(h, static_cast<uint32_t>(header_size));
  store_u32(h + 4, static_cast<uint32_t>(width));
  store_u32(h + 8, static_cast<uint32_t>(height));
  store_u16(h + 12, 1);
  store_u16(h + 14, static_cast<uint16_t>(bits));
  switch (bits) {
    case 32:
      store_u32(h + 16, kBitFields);
      for (int i = 0; i < 4; ++i) store_u32(h + kMaskOffset + 4 * i, kMasks32[i]);
      if (nt) store_u32(h, kInfoHeaderSize);  // the masks stay where they are
      break;
    case 16:
      store_u32(h + 16, kBitFields);
      for (int i = 0; i < 3; ++i) store_u32(h + kMaskOffset + 4 * i, kMasks16[i]);
      if (nt) store_u32(h, kInfoHeaderSize);
      break;
    case 8:
      if (rx_display_bits() <= 8) {
        write_index_table(h);
      } else {
        copy_color_table(h);
      }
      break;
    default:
      break;
  }
}

int find_free_slot() {
  const LibraryState& s = state();
  for (int i = 0; i < kSlotCount; ++i)
    if (s.slots.pixels[i] == nullptr) return i;
  return -1;
}

bool slot_in_use(int32_t handle) {
  return static_cast<uint32_t>(handle) < kSlotCount && state().slots.pixels[handle] != nullptr;
}

}  // namespace

void free_slot(int32_t handle) {
  if (!slot_in_use(handle)) return;
  SlotTable& t = state().slots;
  t.pixels[handle] = nullptr;
  platform::delete_bitmap(t.bitmap[handle]);
  t.bitmap[handle] = nullptr;
  platform::global_free(t.header_memory[handle]);
  t.header_memory[handle] = nullptr;
  t.header[handle] = nullptr;
}

BufferSizes buffer_sizes(int32_t bits) {
  switch (bits) {
    case 32:
    case 16:
      return {kV4HeaderSize, kV4HeaderSize, platform::kRgbColors};
    case 24:
      return {kInfoHeaderSize, kInfoHeaderSize, platform::kRgbColors};
    default:
      if (rx_display_bits() <= 8)
        return {kInfoHeaderSize, kInfoSizeIndices, platform::kPaletteColors};
      return {kInfoHeaderSize, kInfoSizeColors, platform::kRgbColors};
  }
}

}  // namespace rx

using rx::state;
namespace platform = rx::platform;

extern "C" {

int32_t rx_set_buffer_depth(int32_t bits) {
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return RX_ERR_ARGUMENT;
  rx::LibraryState& s = state();
  s.new_buffer_depth = static_cast<uint8_t>(bits);
  rx::BufferSizes z = rx::buffer_sizes(bits);
  s.header_size = z.header_size;
  s.info_size = z.info_size;
  return RX_OK;
}

int32_t rx_buffer_create(int32_t width, int32_t height) {
  rx::LibraryState& s = state();
  if (width < 1 || height < 1 || width > RX_MAX_BUFFER_SIDE || height > RX_MAX_BUFFER_SIDE)
    return RX_ERR_ARGUMENT;
  int slot = rx::find_free_slot();
  if (slot < 0) return RX_ERR_ARGUMENT;
  int32_t stored_width = (width + 3) & ~3;
  int32_t bits = s.new_buffer_depth;
  rx::BufferSizes z = rx::buffer_sizes(bits);
  // 8-bit headers get room for either colour-table form, so a later change
  // of desktop depth can never make selection write past the block.
  uint32_t block = static_cast<uint32_t>(bits == 8 ? std::max(z.info_size, rx::kInfoSizeColors)
                                                   : z.info_size);
  auto* header = static_cast<uint8_t*>(platform::global_alloc_zeroed(block));
  if (header == nullptr) return RX_ERR_RESOURCE;
  rx::write_header(header, z.header_size, stored_width, height, bits, s.nt_flag != 0);
  uint8_t* pixels = nullptr;
  platform::Bitmap* bitmap = platform::create_dib_section(s.window_dc, header, s.color_usage, &pixels);
  if (bitmap == nullptr || pixels == nullptr) {
    platform::global_free(header);
    return RX_ERR_RESOURCE;
  }
  rx::SlotTable& t = s.slots;
  t.bitmap[slot] = bitmap;
  t.header_memory[slot] = header;
  t.header[slot] = header;
  t.pixels[slot] = pixels;
  t.bits[slot] = bits;
  t.stored_width[slot] = stored_width;
  t.height[slot] = height;
  t.max_x[slot] = stored_width - 1;
  t.max_y[slot] = height - 1;
  t.min_x[slot] = 0;
  t.min_y[slot] = 0;
  return slot;
}

int32_t rx_buffer_select(int32_t handle) {
  rx::LibraryState& s = state();
  if (static_cast<uint32_t>(handle) >= rx::kSlotCount) return RX_ERR_ARGUMENT;
  if (s.slots.pixels[handle] == nullptr) return RX_ERR_RESOURCE;
  const rx::SlotTable& t = s.slots;
  if (t.bitmap[handle] != nullptr) {
    platform::Bitmap* previous = platform::select_bitmap(s.memory_dc, t.bitmap[handle]);
    if (s.saved_bitmap == nullptr) s.saved_bitmap = previous;
  }
  s.active_handle = static_cast<int8_t>(handle);
  int32_t bits = t.bits[handle];
  s.active_bits = bits;
  s.active_width = t.stored_width[handle];
  s.active_bytes_per_row = t.stored_width[handle] * (bits / 8);
  s.active_height = t.height[handle];
  s.active_bottom_row = t.height[handle] - 1;
  s.clip = {t.min_x[handle], t.max_x[handle], t.min_y[handle], t.max_y[handle]};
  s.active_header = t.header[handle];
  s.active_pixels = t.pixels[handle];
  rx::BufferSizes z = rx::buffer_sizes(bits);
  s.header_size = z.header_size;
  s.info_size = z.info_size;
  s.color_usage = z.color_usage;
  s.depth_index = rx::depth_index_of(bits);
  if (bits == 8) {
    // The table follows the usage: a buffer made before the desktop
    // changed depth holds the other form (its block has room for both).
    if (s.color_usage == platform::kRgbColors)
      rx::copy_color_table(s.active_header);
    else
      rx::write_index_table(s.active_header);
  } else {
    rx::rebuild_palette_map(bits);
  }
  return RX_OK;
}

int32_t rx_buffer_release(void) {
  rx::LibraryState& s = state();
  s.active_handle = -1;
  platform::select_bitmap(s.memory_dc, s.saved_bitmap);
  s.saved_bitmap = nullptr;
  return RX_OK;
}

int32_t rx_buffer_free(int32_t handle) {
  rx::LibraryState& s = state();
  if (handle != s.active_handle) rx::free_slot(handle);
  return RX_OK;
}

}  // extern "C"
