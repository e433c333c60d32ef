// The headless screen: set-up, pixels, palette handles, shallow screens.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "core/pixel_format.h"
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

// A 16-bit bitmap whose masks say 5-5-5 is read as 5-5-5 on every
// screen, the 16-bit one too (no straight copy of 5-6-5 rows).
TEST_F(HeadlessTest, SixteenBitBitmapsWithFiveFiveFiveMasksReadAsFiveFiveFive) {
  uint8_t info[52] = {40};
  info[4] = 3;   // width
  info[8] = 1;   // height
  info[12] = 1;  // planes
  info[14] = 16;
  info[16] = 3;  // the masks follow the header
  const uint32_t masks[3] = {rx::kRedMask555, rx::kGreenMask555, rx::kBlueMask5};
  std::memcpy(info + 40, masks, sizeof masks);
  const uint16_t row[4] = {rx::kRedMask555, rx::kGreenMask555, rx::pack_555({8, 131, 255})};
  for (int32_t bits : {16, 24, 32}) {
    ASSERT_NE(rx_headless_screen(16, 16, bits), nullptr);
    ASSERT_EQ(platform::set_dib_bits_to_device(platform::window_dc(), 0, 0, 3, 1, 0, 0, 0, 1,
                                               reinterpret_cast<const uint8_t*>(row), info,
                                               platform::kRgbColors),
              1);
    const rx::Rgb want[3] = {{255, 0, 0}, {0, 255, 0}, {8, 131, 255}};
    for (int32_t x = 0; x < 3; ++x) {
      uint8_t rgb[3];
      ASSERT_EQ(rx_screen_pixel(x, 0, rgb), 0);
      // A 16-bit screen keeps 5-6-5 of the colour.
      const rx::Rgb shown = bits == 16 ? rx::unpack_565(rx::pack_565(want[x])) : want[x];
      EXPECT_EQ(rgb[0], shown.red) << bits << " " << x;
      EXPECT_EQ(rgb[1], shown.green) << bits << " " << x;
      EXPECT_EQ(rgb[2], shown.blue) << bits << " " << x;
    }
  }
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
