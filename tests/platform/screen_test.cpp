// The headless screen: set-up, pixels, palette handles, shallow screens.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;
using rx::support::FourBitDesktop;
using rx::support::HeadlessTest;
using rx::support::make_buffer;

TEST(HeadlessScreen, RefusesUnsupportedDepthsAndSizes) {
  EXPECT_EQ(rx_headless_screen(640, 480, 12), nullptr);
  EXPECT_EQ(rx_headless_screen(0, 480, 32), nullptr);
  EXPECT_EQ(rx_headless_screen(640, -1, 32), nullptr);
  EXPECT_EQ(rx_headless_screen(INT_MAX, 480, 32), nullptr);
  EXPECT_NE(rx_headless_screen(320, 200, 15), nullptr);
  EXPECT_EQ(platform::screen_view().width, 320);
  uint8_t rgb[3];
  EXPECT_EQ(rx_screen_pixel(320, 0, rgb), -1);
  EXPECT_EQ(rx_screen_pixel(0, -1, rgb), -1);
  EXPECT_EQ(rx_screen_pixel(0, 0, nullptr), -1);
  EXPECT_EQ(rx_screen_pixel(319, 199, rgb), 0);
}

TEST_F(HeadlessTest, DeletedPaletteHandlesAreNotFollowed) {
  RxPalette p = rx_make_palette();
  rx_realize_palette(p);
  EXPECT_EQ(rx_delete_palette(p), 0);
  EXPECT_EQ(rx_delete_palette(p), 0);  // a second delete is refused by the platform
  make_buffer(16, 4, 4);
  const uint8_t rgb[3] = {9, 9, 9};
  EXPECT_EQ(rx_set_palette_entries(20, 1, rgb), 0);  // animates a dead handle: ignored
  EXPECT_EQ(rx_realize_palette(p), 0);
  EXPECT_EQ(rx::state().log_palette.entries[20].red, 9);
}

TEST_F(HeadlessTest, FifteenBitScreensKeepFiveBitsPerChannel) {
  rx_headless_screen(640, 480, 15);
  make_buffer(32, 4, 1);
  const uint8_t block[3] = {0xFF, 0x80, 0x08};  // blue, green, red
  rx_move_to(0, 0);
  rx_draw_block(block, 1, 1);
  rx_buffer_paste(0, 0, 0, 0, 2, 2);
  uint8_t rgb[3];
  ASSERT_EQ(rx_screen_pixel(2, 2, rgb), 0);
  EXPECT_EQ(rgb[0], 8);    // 1 of 31
  EXPECT_EQ(rgb[1], 131);  // 16 of 31
  EXPECT_EQ(rgb[2], 255);
}

TEST_F(FourBitDesktop, PaletteIndicesShowTheNearestOfSixteenColours) {
  RxPalette p = rx_make_palette();
  rx_realize_palette(p);
  const int32_t h = make_buffer(8, 4, 1);
  const uint8_t bright_red[3] = {250, 4, 4};
  rx_set_palette_entries(100, 1, bright_red);
  rx::state().slots.pixels[h][0] = 100;
  rx::state().slots.pixels[h][1] = 255;
  rx_buffer_paste(0, 1, 0, 0, 0, 0);
  uint8_t rgb[3];
  ASSERT_EQ(rx_screen_pixel(0, 0, rgb), 0);
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[1], 0);
  EXPECT_EQ(rgb[2], 0);
  ASSERT_EQ(rx_screen_pixel(1, 0, rgb), 0);
  EXPECT_EQ(rgb[0] & rgb[1] & rgb[2], 255);
  EXPECT_LT(platform::screen_view().pixels[0], 16);
  rx_buffer_release();
  rx_buffer_free(h);
  rx_shutdown();
  rx_init();
  rx_delete_palette(p);
}

}  // namespace
