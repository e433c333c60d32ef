// The buffer table: handles, stored widths, bitmap headers, selection.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;
using rx::support::EightBitDesktop;
using rx::support::HeadlessTest;
using rx::support::make_buffer;
using rx::support::SixteenBitDesktop;

constexpr int32_t kBadHandles[] = {-1, 32, 255, INT_MIN, INT_MAX, -32};

TEST_F(HeadlessTest, HandlesAreTheLowestFreeSlots) {
  EXPECT_EQ(rx_buffer_create(10, 10), 0);
  EXPECT_EQ(rx_buffer_create(10, 10), 1);
  EXPECT_EQ(rx_buffer_create(10, 10), 2);
  EXPECT_EQ(rx_buffer_free(1), 0);
  EXPECT_EQ(rx_buffer_create(10, 10), 1);
  for (int i = 3; i < 32; ++i) ASSERT_EQ(rx_buffer_create(4, 4), i);
  EXPECT_EQ(rx_buffer_create(4, 4), -1);  // the 33rd
  rx_buffer_free(17);
  EXPECT_EQ(rx_buffer_create(4, 4), 17);
}

TEST_F(HeadlessTest, WidthsAreStoredAsMultiplesOfFour) {
  rx_set_buffer_depth(16);
  const int32_t h = rx_buffer_create(186, 153);
  const rx::SlotTable& t = rx::state().slots;
  EXPECT_EQ(t.stored_width[h], 188);
  EXPECT_EQ(t.max_x[h], 187);
  EXPECT_EQ(t.max_y[h], 152);
  EXPECT_EQ(t.min_x[h], 0);
  EXPECT_EQ(t.min_y[h], 0);
  ASSERT_EQ(rx_buffer_select(h), 0);
  const rx::LibraryState& s = rx::state();
  EXPECT_EQ(s.active_bytes_per_row, 376);
  EXPECT_EQ(s.active_width, 188);
  EXPECT_EQ(s.active_height, 153);
  EXPECT_EQ(s.active_bottom_row, 152);
  EXPECT_EQ(s.depth_index, 1);
  EXPECT_EQ(s.clip.max_x, 187);
  struct Case {
    int32_t width, stored;
  } cases[] = {{1, 4}, {4, 4}, {5, 8}, {639, 640}, {640, 640}};
  for (const Case& c : cases) {
    int32_t k = rx_buffer_create(c.width, 1);
    EXPECT_EQ(t.stored_width[k], c.stored) << c.width;
  }
}

TEST_F(HeadlessTest, BadSizesAreRefusedAndFailuresLeaveTheSlotFree) {
  for (auto [w, h] : std::vector<std::pair<int32_t, int32_t>>{
           {0, 5}, {5, 0}, {-1, 5}, {5, -1}, {INT_MIN, 5}, {INT_MAX, 5}, {5, INT_MAX},
           {RX_MAX_BUFFER_SIDE + 1, 1}, {1, RX_MAX_BUFFER_SIDE + 1}})
    EXPECT_EQ(rx_buffer_create(w, h), -1) << w << "x" << h;
  platform::set_fail_bitmaps(true);
  EXPECT_EQ(rx_buffer_create(8, 8), -2);
  platform::set_fail_bitmaps(false);
  EXPECT_EQ(rx_buffer_create(8, 8), 0);
}

TEST_F(HeadlessTest, DepthsOtherThanTheFourAreRefused) {
  for (int32_t bits : {0, 1, 4, 15, 264, -8, INT_MIN}) {
    EXPECT_EQ(rx_set_buffer_depth(bits), RX_ERR_ARGUMENT) << bits;
    EXPECT_EQ(rx::state().new_buffer_depth, 8);
  }
  EXPECT_EQ(rx_set_buffer_depth(24), 0);
  EXPECT_EQ(rx::state().header_size, 40);
  EXPECT_EQ(rx::state().info_size, 40);
  EXPECT_EQ(rx_set_buffer_depth(32), 0);
  EXPECT_EQ(rx::state().header_size, 108);
  EXPECT_EQ(rx::state().info_size, 108);
}

TEST_F(HeadlessTest, SelectionChecksTheHandleAndKeepsThePreviousSelection) {
  const int32_t a = make_buffer(16, 8, 8);
  for (int32_t h : kBadHandles) EXPECT_EQ(rx_buffer_select(h), -1) << h;
  EXPECT_EQ(rx_buffer_select(5), -2);
  EXPECT_EQ(rx::state().active_handle, a);
  EXPECT_EQ(rx::state().active_bits, 16);
}

TEST_F(HeadlessTest, FreeingTheActiveAFreeOrABadHandleDoesNothing) {
  const int32_t a = make_buffer(32, 8, 8);
  EXPECT_EQ(rx_buffer_free(a), 0);
  EXPECT_NE(rx::state().slots.pixels[a], nullptr);
  for (int32_t h : kBadHandles) EXPECT_EQ(rx_buffer_free(h), 0);
  EXPECT_EQ(rx_buffer_free(9), 0);
  rx_move_to(0, 0);
  const uint8_t block[3] = {1, 2, 3};
  rx_draw_block(block, 1, 1);
  EXPECT_EQ(rx::active_row(0)[0], 1);
  rx_buffer_release();
  EXPECT_EQ(rx::state().active_handle, -1);
  EXPECT_EQ(rx_buffer_free(a), 0);
  EXPECT_EQ(rx::state().slots.pixels[a], nullptr);
}

// --- Bitmap headers, byte for byte -------------------------------------------

struct HeaderBytes {
  std::vector<uint8_t> bytes;
  explicit HeaderBytes(size_t size) : bytes(size, 0) {}
  void u32(size_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); }
  void u16(size_t at, uint16_t v) { std::memcpy(&bytes[at], &v, 2); }
};

HeaderBytes expected_header(size_t size, int32_t header_size, int32_t width, int32_t height,
                            int bits) {
  HeaderBytes h(size);
  h.u32(0, static_cast<uint32_t>(header_size));
  h.u32(4, static_cast<uint32_t>(width));
  h.u32(8, static_cast<uint32_t>(height));
  h.u16(12, 1);
  h.u16(14, static_cast<uint16_t>(bits));
  if (bits == 16) {
    h.u32(16, 3);
    h.u32(40, 0xF800);
    h.u32(44, 0x07E0);
    h.u32(48, 0x001F);
  } else if (bits == 32) {
    h.u32(16, 3);
    h.u32(40, 0x00FF0000);
    h.u32(44, 0x0000FF00);
    h.u32(48, 0x000000FF);
    h.u32(52, 0xFF000000);
  }
  return h;
}

void expect_header(int32_t handle, const HeaderBytes& want) {
  const uint8_t* got = rx::state().slots.header[handle];
  ASSERT_NE(got, nullptr);
  for (size_t i = 0; i < want.bytes.size(); ++i)
    ASSERT_EQ(got[i], want.bytes[i]) << "byte " << i;
}

void expect_deep_headers(int32_t nt_header_size) {
  struct Case {
    int bits;
    size_t block;
    int32_t header_size;
  } cases[] = {{16, 108, nt_header_size}, {32, 108, nt_header_size}, {24, 40, 40}};
  for (const Case& c : cases) {
    rx_set_buffer_depth(c.bits);
    const int32_t h = rx_buffer_create(186, 153);
    expect_header(h, expected_header(c.block, c.header_size, 188, 153, c.bits));
  }
}

TEST_F(HeadlessTest, DeepHeadersOnTheModernFamilySayFortyBytes) { expect_deep_headers(40); }

TEST_F(HeadlessTest, DeepHeadersOnTheOldFamilyAreVersionFour) {
  platform::set_version(0x80000000u);
  rx_init();
  expect_deep_headers(108);
  platform::set_version(0x23F00206u);
}

TEST_F(SixteenBitDesktop, EightBitHeadersCarryTheColourTablePalette) {
  RxPalette p = rx_make_palette();
  const int32_t h = rx_buffer_create(10, 3);
  EXPECT_EQ(rx::state().info_size, 1064);
  HeaderBytes want = expected_header(1064, 40, 12, 3, 8);
  std::memcpy(&want.bytes[40], rx::state().color_table, 1024);
  expect_header(h, want);
  EXPECT_EQ(want.bytes[40 + 4 * 249 + 2], 255);  // static red, as blue, green, red, 0
  ASSERT_EQ(rx_buffer_select(h), 0);
  EXPECT_EQ(rx::state().color_usage, 0);
  EXPECT_EQ(rx::state().info_size, 1064);
  rx_delete_palette(p);
}

TEST_F(EightBitDesktop, EightBitHeadersCarryPaletteIndices) {
  const int32_t h = rx_buffer_create(10, 3);
  HeaderBytes want = expected_header(552, 40, 12, 3, 8);
  for (int i = 0; i < 256; ++i) want.u16(40 + 2 * i, static_cast<uint16_t>(i));
  expect_header(h, want);
  ASSERT_EQ(rx_buffer_select(h), 0);
  EXPECT_EQ(rx::state().color_usage, 1);
  EXPECT_EQ(rx::state().info_size, 552);
  expect_header(h, want);  // selection leaves the indices alone
  expect_deep_headers(40);
}

TEST_F(EightBitDesktop, DeepSelectionSwitchesToColourValuesAndBack) {
  const int32_t deep = make_buffer(16, 4, 4);
  EXPECT_EQ(rx::state().color_usage, 0);
  EXPECT_EQ(rx::state().header_size, 108);
  EXPECT_EQ(rx::state().info_size, 108);
  rx_set_buffer_depth(8);
  const int32_t eight = rx_buffer_create(4, 4);
  rx_buffer_select(eight);
  EXPECT_EQ(rx::state().color_usage, 1);
  EXPECT_EQ(rx::state().info_size, 552);
  rx_buffer_select(deep);
  EXPECT_EQ(rx::state().depth_index, 1);
}

TEST_F(HeadlessTest, SixteenBitSelectionBuildsPaletteMapFromTheLogicalPalette) {
  RxPalette p = rx_make_palette();
  make_buffer(16, 4, 4);
  EXPECT_EQ(rx::state().palette_map.rgb565[255], 0xFFFF);
  EXPECT_EQ(rx::state().palette_map.rgb565[249], 0xF800);
  make_buffer(32, 4, 4);
  const uint8_t red[4] = {0, 255, 0, 0};
  EXPECT_EQ(std::memcmp(rx::state().palette_map.hrgb[249], red, 4), 0);
  rx_delete_palette(p);
}

}  // namespace
