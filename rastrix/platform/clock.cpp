// The millisecond clock: real time since system start, or a virtual clock
// that tests set and step.
#include <ctime>

#include "platform/screen_state.h"

namespace rx::platform {

namespace {

// From system start, as both backends count, so that programs started at
// different times read different clocks.
uint32_t since_system_start_ms() {
  timespec now{};
  // WebAssembly has no boot time clock: there the monotonic one counts.
  if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

}  // namespace

uint32_t clock_now() {
  const ScreenState& s = screen();
  return s.virtual_clock ? s.tick : since_system_start_ms();
}

uint32_t tick_count() {
  ScreenState& s = screen();
  if (!s.virtual_clock) return since_system_start_ms();
  const uint32_t now = s.tick;
  s.tick += s.tick_step;
  return now;
}

void set_virtual_clock(bool on, uint32_t start, uint32_t step) {
  ScreenState& s = screen();
  s.virtual_clock = on;
  s.tick = start;
  s.tick_step = step;
}
void set_tick(uint32_t ms) { screen().tick = ms; }

}  // namespace rx::platform
