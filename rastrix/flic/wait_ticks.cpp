// rx_wait_ticks: a busy wait on the platform's millisecond counter.
#include "platform/platform.h"
#include "rastrix.h"

namespace {
constexpr uint64_t kMillisecondsPerTick = 55;
}

extern "C" int32_t rx_wait_ticks(uint32_t ticks) {
  // Elapsed time is summed from the counter's steps, so its wrap-around
  // neither ends the wait early nor stretches it.
  const uint64_t wait = ticks * kMillisecondsPerTick;
  uint64_t elapsed = 0;
  uint32_t last = rx::platform::tick_count();
  while (elapsed < wait) {
    uint32_t now = rx::platform::tick_count();
    elapsed += static_cast<uint32_t>(now - last);
    last = now;
  }
  return RX_OK;
}
