// Frame timing on a driven millisecond counter.
#include "flic_fixture.h"

namespace rx::flic_test {
namespace {

class Timing : public FlicTest {
 protected:
  void TearDown() override {
    platform::set_virtual_clock(false);
    FlicTest::TearDown();
  }
};

TEST_F(Timing, WaitTicksWaitsElapsedTimeAcrossTheCounterWrap) {
  for (uint32_t start : {0u, 0xFFFFFF00u, 0xFFFFFFFFu - 54u}) {
    platform::set_virtual_clock(true, start, 1);
    rx_wait_ticks(3);
    uint32_t elapsed = platform::tick_count() - start;
    EXPECT_GE(elapsed, 165u) << start;
    EXPECT_LE(elapsed, 170u) << start;
  }
  platform::set_virtual_clock(true, 1000, 1);
  rx_wait_ticks(0);
  EXPECT_LE(platform::tick_count() - 1000, 3u);
}

TEST_F(Timing, PlayWaitsTheDelayAfterFramesAndPrefixChunks) {
  std::vector<uint8_t> pic(8, 1);
  Bytes frame = support::frame_chunk(
      {support::sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2))});
  Bytes file = support::flic_file(true, 4, 2, 2, 110, {support::prefix_chunk({}), frame, frame});
  support::make_buffer(8, 4, 2);
  FlicContext c = open(file);
  ASSERT_EQ(c.delay, 2);
  platform::set_virtual_clock(true, 0, 1);
  ASSERT_EQ(rx_flic_play(&c, 1, RX_FLIC_KEEP_PALETTE), 1);  // prefix chunk and frame 1
  uint32_t first = platform::tick_count();
  EXPECT_GE(first, 220u);
  EXPECT_LT(first, 240u);
  ASSERT_EQ(rx_flic_play(&c, 1, RX_FLIC_KEEP_PALETTE), 1);
  uint32_t second = platform::tick_count() - first;
  EXPECT_GE(second, 110u);
  EXPECT_LT(second, 120u);
  ASSERT_EQ(rx_flic_skip(&c, -1), 0);
  uint32_t before = platform::tick_count();
  ASSERT_EQ(rx_flic_play(&c, 2, RX_FLIC_KEEP_PALETTE | RX_FLIC_NO_DELAY), 2);
  EXPECT_LT(platform::tick_count() - before, 5u);
}

}  // namespace
}  // namespace rx::flic_test
