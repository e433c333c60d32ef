// Display modes: find and test a mode, switch to it, restore the desktop.
// The display-mode record lives at the start of ScratchArea in the
// platform's DEVMODE layout; every call waits for the display to settle.
#include <cstring>

#include "core/state.h"

namespace rx {

namespace {

constexpr uint32_t kSettleMs = 200;
// Offsets of the DEVMODE fields the library reads or writes.
constexpr int kDmSize = 36;
constexpr int kDmDriverExtra = 38;
constexpr int kDmFields = 40;
constexpr int kDmBitsPerPel = 104;
constexpr int kDmPelsWidth = 108;
constexpr int kDmPelsHeight = 112;
constexpr size_t kRecordBytes = 156;  // the whole record
constexpr uint16_t kRecordSize = 124;  // up to and including the display frequency
constexpr uint32_t kFieldsSizeAndDepth = 0x1C0000;  // bits per pel + width + height

// Waits until 200 ms have passed on the millisecond counter. Elapsed time,
// so a wrap of the counter cannot cut the wait short or make it endless.
void settle_wait() {
  const uint32_t start = platform::tick_count();
  while (platform::tick_count() - start < kSettleMs) {
  }
}

uint8_t* record() { return state().scratch; }

void put_u16(int offset, uint16_t v) { std::memcpy(record() + offset, &v, 2); }
void put_u32(int offset, uint32_t v) { std::memcpy(record() + offset, &v, 4); }
int32_t get_i32(int offset) {
  int32_t v;
  std::memcpy(&v, record() + offset, 4);
  return v;
}

void put_mode(const platform::DisplayMode& m) {
  put_u32(kDmBitsPerPel, static_cast<uint32_t>(m.bits));
  put_u32(kDmPelsWidth, static_cast<uint32_t>(m.width));
  put_u32(kDmPelsHeight, static_cast<uint32_t>(m.height));
}

platform::DisplayMode record_mode() {
  return {get_i32(kDmPelsWidth), get_i32(kDmPelsHeight), get_i32(kDmBitsPerPel)};
}

}  // namespace

}  // namespace rx

extern "C" {

int32_t rx_find_display_mode(int32_t width, int32_t height, int32_t bits) {
  rx::settle_wait();
  for (int32_t n = 0; n >= 0; ++n) {
    rx::platform::DisplayMode m;
    if (!rx::platform::enum_display_settings(n, &m)) break;
    // The platform fills a whole record per mode.
    std::memset(rx::record(), 0, rx::kRecordBytes);
    rx::put_u16(rx::kDmSize, rx::kRecordSize);
    rx::put_mode(m);
    const rx::platform::DisplayMode found = rx::record_mode();
    if (found.width == width && found.height == height && found.bits == bits)
      return rx::platform::change_display_settings(&found, rx::platform::kChangeTest);
  }
  return RX_ERR_ARGUMENT;
}

int32_t rx_set_display_mode(int32_t width, int32_t height, int32_t bits, int32_t full_screen) {
  if (bits == 0) {
    const int32_t r = rx::platform::change_display_settings(nullptr, 0);
    rx::settle_wait();
    return r;
  }
  // Whatever ScratchArea held last, no driver-extra bytes are claimed.
  rx::put_u16(rx::kDmSize, rx::kRecordSize);
  rx::put_u16(rx::kDmDriverExtra, 0);
  rx::put_u32(rx::kDmFields, rx::kFieldsSizeAndDepth);
  rx::put_mode({width, height, bits});
  rx::settle_wait();
  const int32_t flags = full_screen != 0 ? rx::platform::kChangeFullscreen : 0;
  const rx::platform::DisplayMode mode = rx::record_mode();
  int32_t r = rx::platform::change_display_settings(&mode, flags);
  if (r != 0)
    r = rx::platform::change_display_settings(&mode, flags + rx::platform::kChangeUpdateRegistry);
  return r;
}

}  // extern "C"
