// Display modes: find and test a mode, switch to it, restore the desktop.
// The display-mode record lives at the start of ScratchArea in the
// platform's DEVMODE layout.
#include <cstring>

#include "core/state.h"

namespace rx {

namespace {

constexpr uint32_t kSettleMs = 200;
constexpr int kDmSize = 36;
constexpr int kDmFields = 40;
constexpr int kDmBitsPerPel = 104;
constexpr int kDmPelsWidth = 108;
constexpr int kDmPelsHeight = 112;
constexpr int kDmDriverExtra = 38;
constexpr uint16_t kRecordSize = 124;
constexpr uint32_t kFieldsSizeAndDepth = 0x1C0000;  // bits per pel + width + height
constexpr size_t kRecordBytes = 156;                 // the whole DEVMODE record

// Set when a search left its mode in the record; a change without one
// starts from a clean record.
bool record_filled = false;

void settle_wait() {
  uint32_t start = platform::tick_count();
  // Elapsed time, so the wrap of the millisecond counter cannot cut it short.
  while (platform::tick_count() - start < kSettleMs) {
  }
}

void put_u32(int offset, uint32_t v) { std::memcpy(state().scratch + offset, &v, 4); }
uint32_t get_u32(int offset) {
  uint32_t v;
  std::memcpy(&v, state().scratch + offset, 4);
  return v;
}

platform::DisplayMode record_mode() {
  return {static_cast<int32_t>(get_u32(kDmPelsWidth)), static_cast<int32_t>(get_u32(kDmPelsHeight)),
          static_cast<int32_t>(get_u32(kDmBitsPerPel))};
}

}  // namespace

}  // namespace rx

extern "C" {

int32_t rx_find_display_mode(int32_t width, int32_t height, int32_t bits) {
  rx::settle_wait();
  for (int32_t n = 0;; ++n) {
    rx::platform::DisplayMode m;
    if (!rx::platform::enum_display_settings(n, &m)) {
      rx::record_filled = false;
      return RX_ERR_ARGUMENT;
    }
    std::memset(rx::state().scratch, 0, rx::kRecordBytes);
    std::memcpy(rx::state().scratch + rx::kDmSize, &rx::kRecordSize, 2);
    rx::put_u32(rx::kDmBitsPerPel, static_cast<uint32_t>(m.bits));
    rx::put_u32(rx::kDmPelsWidth, static_cast<uint32_t>(m.width));
    rx::put_u32(rx::kDmPelsHeight, static_cast<uint32_t>(m.height));
    if (m.width == width && m.height == height && m.bits == bits) {
      rx::record_filled = true;
      rx::platform::DisplayMode found = rx::record_mode();
      return rx::platform::change_display_settings(&found, rx::platform::kChangeTest);
    }
  }
}

int32_t rx_set_display_mode(int32_t width, int32_t height, int32_t bits, int32_t full_screen) {
  if (bits == 0) {
    int32_t r = rx::platform::change_display_settings(nullptr, 0);
    rx::settle_wait();
    return r;
  }
  if (!rx::record_filled) std::memset(rx::state().scratch, 0, rx::kRecordBytes);
  rx::record_filled = false;
  uint8_t* rec = rx::state().scratch;
  std::memcpy(rec + rx::kDmSize, &rx::kRecordSize, 2);
  std::memset(rec + rx::kDmDriverExtra, 0, 2);
  rx::put_u32(rx::kDmFields, rx::kFieldsSizeAndDepth);
  rx::put_u32(rx::kDmBitsPerPel, static_cast<uint32_t>(bits));
  rx::put_u32(rx::kDmPelsWidth, static_cast<uint32_t>(width));
  rx::put_u32(rx::kDmPelsHeight, static_cast<uint32_t>(height));
  rx::settle_wait();
  int32_t flags = full_screen != 0 ? rx::platform::kChangeFullscreen : 0;
  rx::platform::DisplayMode mode = rx::record_mode();
  int32_t r = rx::platform::change_display_settings(&mode, flags);
  if (r != 0) r = rx::platform::change_display_settings(&mode, flags + rx::platform::kChangeUpdateRegistry);
  return r;
}

}  // extern "C"
