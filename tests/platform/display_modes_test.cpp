// Display modes report the depth the desktop reports, 5-5-5 included.
#include <gtest/gtest.h>

#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;

class FifteenBitDesktop : public rx::support::HeadlessTest {
  int32_t desktop_bits() const override { return 15; }
};

TEST_F(FifteenBitDesktop, ListsItsModesAtTheReportedSixteenBits) {
  platform::set_virtual_clock(true, 0, 1u << 20);
  EXPECT_EQ(rx_display_bits(), 16);
  platform::DisplayMode m{};
  for (int32_t n = 0; platform::enum_display_settings(n, &m); ++n) EXPECT_NE(m.bits, 15);
  EXPECT_EQ(rx_find_display_mode(640, 480, 16), 0);
  EXPECT_EQ(rx_set_display_mode(640, 480, 16, 1), 0);
  // The screen keeps its 5-5-5 storage and still reports 16 bits.
  EXPECT_EQ(platform::screen_view().bits, 15);
  EXPECT_EQ(rx_display_bits(), 16);
  EXPECT_EQ(rx_set_display_mode(0, 0, 0, 0), 0);
  EXPECT_EQ(platform::screen_view().bits, 15);
}

TEST_F(FifteenBitDesktop, OtherSizesOfTheDesktopDepthAreFoundToo) {
  rx_headless_screen(800, 600, 15);
  platform::set_virtual_clock(true, 0, 1u << 20);
  EXPECT_EQ(rx_find_display_mode(800, 600, 16), 0);
  EXPECT_EQ(rx_find_display_mode(800, 600, 15), RX_ERR_ARGUMENT);
}

}  // namespace
