// Colour values: packing and unpacking at every depth.
#include <gtest/gtest.h>

#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

using rx::support::HeadlessTest;
using rx::support::make_buffer;

TEST_F(HeadlessTest, PackingFollowsTheActiveDepth) {
  EXPECT_EQ(rx_pack_rgb(255, 255, 255), 0u);  // before any selection: 8-bit rules
  make_buffer(8, 4, 4);
  EXPECT_EQ(rx_pack_rgb(200, 100, 50), 0u);
  make_buffer(16, 4, 4);
  EXPECT_EQ(rx_pack_rgb(255, 255, 255), 0xFFFFu);
  EXPECT_EQ(rx_pack_rgb(255, 0, 0), 0xF800u);
  EXPECT_EQ(rx_pack_rgb(270, 0, 0), 0x0800u);
  EXPECT_EQ(rx_pack_rgb(256, 0, 0), 0u);
  EXPECT_EQ(rx_pack_rgb(-1, -1, -1), 0xFFFFu);
  for (int bits : {24, 32}) {
    make_buffer(bits, 4, 4);
    EXPECT_EQ(rx_pack_rgb(1, 2, 3), 0x00010203u);
    EXPECT_EQ(rx_pack_rgb(0x1FF, 0x100, -2), 0x00FF00FEu);
  }
}

TEST_F(HeadlessTest, UnpackingWidensSixteenBitComponents) {
  make_buffer(16, 4, 4);
  int32_t r = -1, g = -1, b = -1;
  rx_unpack_rgb(0xF800, &r, &g, &b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 0);
  rx_unpack_rgb(0x0841, &r, &g, &b);
  EXPECT_EQ(r, 8);
  EXPECT_EQ(g, 8);
  EXPECT_EQ(b, 8);
  rx_unpack_rgb(16u << 11, &r, &g, &b);
  EXPECT_EQ(r, 131);
  rx_unpack_rgb(0xFFFF0841u, &r, &g, &b);  // widened with its sign
  EXPECT_EQ(r, 8);
  EXPECT_EQ(rx_unpack_rgb(0x1234, nullptr, nullptr, nullptr), 0);
}

TEST_F(HeadlessTest, EverySixteenBitValueSurvivesUnpackAndPack) {
  make_buffer(16, 4, 4);
  for (uint32_t v = 0; v < 65536; ++v) {
    int32_t r, g, b;
    rx_unpack_rgb(v, &r, &g, &b);
    ASSERT_EQ(rx_pack_rgb(r, g, b), v);
  }
}

TEST_F(HeadlessTest, UnpackingAtTrueColourDepthsAndNothingAtEightBits) {
  for (int bits : {24, 32}) {
    make_buffer(bits, 4, 4);
    int32_t r, g, b;
    rx_unpack_rgb(0xAB123456u, &r, &g, &b);
    EXPECT_EQ(r, 0x12);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0x56);
  }
  make_buffer(8, 4, 4);
  int32_t r = 7, g = 8, b = 9;
  rx_unpack_rgb(0xFFFFFF, &r, &g, &b);
  EXPECT_EQ(r, 7);
  EXPECT_EQ(g, 8);
  EXPECT_EQ(b, 9);
}

TEST_F(HeadlessTest, MoveToAcceptsAnyPosition) {
  rx_move_to(-700, 300);
  EXPECT_EQ(rx::state().position_x, -700);
  EXPECT_EQ(rx::state().position_y, 300);
}

}  // namespace
