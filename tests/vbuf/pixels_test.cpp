// rx_buffer_pixels: the active buffer's pixels and colours as a reader
// outside the library sees them.
#include <gtest/gtest.h>

#include <cstring>

#include "rastrix.h"
#include "support/headless_fixture.h"

namespace {

using rx::support::HeadlessTest;
using rx::support::make_buffer;

using BufferPixels = HeadlessTest;

// The bytes of pixel (x, y), y = 0 the top row, through the public record.
const uint8_t* pixel(const RxPixels& p, int x, int y) {
  return p.pixels + (p.height - 1 - y) * p.bytes_per_row + x * (p.bits / 8);
}

TEST_F(BufferPixels, RefusedWithoutARecordOrABuffer) {
  RxPixels p{};
  EXPECT_EQ(rx_buffer_pixels(nullptr), RX_ERR_ARGUMENT);
  EXPECT_EQ(rx_buffer_pixels(&p), RX_ERR_RESOURCE);
  EXPECT_EQ(p.pixels, nullptr);
}

TEST_F(BufferPixels, DescribesEveryDepth) {
  for (int32_t bits : {8, 16, 24, 32}) {
    int32_t h = make_buffer(bits, 10, 3);
    RxPixels p{};
    ASSERT_EQ(rx_buffer_pixels(&p), RX_OK);
    EXPECT_EQ(p.bits, bits);
    EXPECT_EQ(p.width, 12) << "stored width, a multiple of 4";
    EXPECT_EQ(p.height, 3);
    EXPECT_EQ(p.bytes_per_row, 12 * bits / 8);
    EXPECT_NE(p.pixels, nullptr);
    rx_buffer_release();
    rx_buffer_free(h);
  }
}

TEST_F(BufferPixels, TopRowAndPaletteMapMatchWhatIsDrawn) {
  const uint8_t rgb[3] = {200, 100, 50};
  for (int32_t bits : {16, 24, 32}) {
    int32_t h = make_buffer(bits, 8, 4);
    rx_set_palette_entries(7, 1, rgb);
    uint8_t block[3] = {};
    RxPixels p{};
    ASSERT_EQ(rx_buffer_pixels(&p), RX_OK);
    EXPECT_EQ(p.palette[7][0], 200);
    EXPECT_EQ(p.palette[7][1], 100);
    EXPECT_EQ(p.palette[7][2], 50);
    // A one-pixel block of colour value rx_pack_rgb lands at the top left.
    uint32_t value = rx_pack_rgb(200, 100, 50);
    std::memcpy(block, &value, bits / 8 < 3 ? bits / 8 : 3);
    rx_move_to(0, 0);
    rx_draw_block(block, 1, 1);
    ASSERT_EQ(rx_buffer_pixels(&p), RX_OK);
    uint32_t drawn = 0;
    std::memcpy(&drawn, pixel(p, 0, 0), bits == 32 ? 3 : bits / 8);
    uint32_t mapped = p.palette_map[7] & (bits == 16 ? 0xFFFFu : 0xFFFFFFu);
    EXPECT_EQ(drawn, mapped) << bits << " bits";
    rx_buffer_release();
    rx_buffer_free(h);
  }
}

TEST_F(BufferPixels, EightBitPixelsAreIndexes) {
  int32_t h = make_buffer(8, 4, 2);
  RxPixels p{};
  ASSERT_EQ(rx_buffer_pixels(&p), RX_OK);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(p.palette_map[i], static_cast<uint32_t>(i));
  rx_buffer_free(h);
}

}  // namespace
