// The clock: milliseconds since system start, so that the default seed of
// a program differs from one run to the next.
#include <gtest/gtest.h>

#include <ctime>

#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;
using rx::support::HeadlessTest;

uint32_t since_boot_ms() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

TEST_F(HeadlessTest, RealClockCountsFromSystemStart) {
  const uint32_t before = since_boot_ms();
  const uint32_t ticks = platform::tick_count();
  const uint32_t after = since_boot_ms();
  // Differences in 32 bits, so that a wrap between the reads does not matter.
  EXPECT_LE(ticks - before, after - before);
  const uint32_t clock = rx_clock();
  EXPECT_LE(since_boot_ms() / 55 - clock, 1u);
}

TEST_F(HeadlessTest, VirtualClockStillWins) {
  platform::set_virtual_clock(true, 550, 0);
  EXPECT_EQ(rx_clock(), 10u);
  platform::set_virtual_clock(false);
  EXPECT_GE(rx_clock(), since_boot_ms() / 55 - 1);
}

}  // namespace
