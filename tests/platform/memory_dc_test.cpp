// The memory DC buffers are selected into: it starts with a stock bitmap
// and gets it back at release, whatever was selected in between, so no
// freed buffer's bitmap is left selected.
#include <gtest/gtest.h>

#include <string>

#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;
using rx::support::HeadlessTest;
using rx::support::make_buffer;

int deleted_bitmaps() {
  int n = 0;
  for (const std::string& call : platform::call_log())
    n += call.rfind("delete_bitmap", 0) == 0 ? 1 : 0;
  return n;
}

TEST(MemoryDc, StartsWithAStockBitmapThatStays) {
  platform::Device* dc = platform::create_memory_dc();
  platform::Bitmap* stock = platform::selected_bitmap(dc);
  ASSERT_NE(stock, nullptr);
  EXPECT_FALSE(platform::delete_bitmap(stock));
  EXPECT_EQ(platform::select_bitmap(dc, nullptr), nullptr);  // refused
  EXPECT_EQ(platform::selected_bitmap(dc), stock);
  platform::Device* other = platform::create_memory_dc();
  EXPECT_EQ(platform::selected_bitmap(other), stock);  // one stock bitmap for all
  EXPECT_TRUE(platform::delete_dc(other));
  EXPECT_TRUE(platform::delete_dc(dc));
  EXPECT_EQ(platform::selected_bitmap(dc), nullptr);  // a deleted DC is not followed
}

TEST_F(HeadlessTest, ReleaseGivesTheMemoryDcItsStockBitmapBack) {
  platform::Device* dc = rx::state().memory_dc;
  platform::Bitmap* stock = platform::selected_bitmap(dc);
  ASSERT_NE(stock, nullptr);
  const int32_t a = make_buffer(16, 8, 8);
  const int32_t b = make_buffer(16, 8, 8);  // selected after a
  EXPECT_EQ(platform::selected_bitmap(dc), rx::state().slots.bitmap[b]);
  EXPECT_EQ(rx_buffer_release(), 0);
  EXPECT_EQ(platform::selected_bitmap(dc), stock);
  EXPECT_EQ(rx_buffer_release(), 0);  // a second release keeps it
  EXPECT_EQ(platform::selected_bitmap(dc), stock);
  // Three selections in a row, then release: still the stock bitmap.
  for (int32_t h : {b, a, b}) ASSERT_EQ(rx_buffer_select(h), 0);
  rx_buffer_release();
  EXPECT_EQ(platform::selected_bitmap(dc), stock);
  // Freeing a buffer once selected deletes a bitmap no DC holds.
  platform::Bitmap* bitmap_a = rx::state().slots.bitmap[a];
  platform::set_call_log(true);
  platform::clear_call_log();
  EXPECT_EQ(rx_buffer_free(a), 0);
  EXPECT_EQ(rx::state().slots.pixels[a], nullptr);
  EXPECT_EQ(deleted_bitmaps(), 1);
  EXPECT_NE(platform::selected_bitmap(dc), bitmap_a);
}

TEST_F(HeadlessTest, ASelectedBitmapIsNotDeleted) {
  const int32_t h = make_buffer(8, 4, 4);
  platform::Bitmap* bitmap = rx::state().slots.bitmap[h];
  platform::set_call_log(true);
  platform::clear_call_log();
  EXPECT_FALSE(platform::delete_bitmap(bitmap));
  EXPECT_EQ(deleted_bitmaps(), 0);
  EXPECT_EQ(platform::selected_bitmap(rx::state().memory_dc), bitmap);
  rx_buffer_release();
  EXPECT_EQ(rx_buffer_free(h), 0);
}

TEST_F(HeadlessTest, StartingOverWithABufferSelectedFreesItsBitmap) {
  make_buffer(16, 4, 4);
  platform::set_call_log(true);
  platform::clear_call_log();
  rx_init();  // without release and shutdown: the buffer goes
  EXPECT_EQ(deleted_bitmaps(), 1);
  EXPECT_NE(platform::selected_bitmap(rx::state().memory_dc), nullptr);
}

}  // namespace
