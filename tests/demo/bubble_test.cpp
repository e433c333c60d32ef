// The rising bubble: where it is, how many rows it takes, which pixels it
// brightens and that bright water stays bright under it.
#include <gtest/gtest.h>

#include "core/pixel_format.h"
#include "core/state.h"
#include "step.h"
#include "support/headless_fixture.h"

namespace fishtank {
namespace {

TEST(BubblePlace, RisesElevenRowsAStepAndStopsAtTheTop) {
  EXPECT_EQ(bubble_row(1), 352);
  EXPECT_EQ(bubble_height(bubble_row(1)), 14);
  EXPECT_EQ(bubble_row(2), 341);
  EXPECT_EQ(bubble_row(32), 11);
  EXPECT_EQ(bubble_height(bubble_row(32)), 11);
  EXPECT_LE(bubble_height(bubble_row(33)), 0);
  EXPECT_LE(bubble_height(bubble_row(INT32_MAX)), 0);  // no overflow far past the top
}

TEST(BubbleMask, IsSymmetricWith156Pixels) {
  int count = 0;
  for (int r = 0; r < kBubbleSide; ++r)
    for (int c = 0; c < kBubbleSide; ++c) {
      count += kBubbleMask[r * kBubbleSide + c];
      EXPECT_EQ(kBubbleMask[r * kBubbleSide + c], kBubbleMask[r * kBubbleSide + 13 - c]);
      EXPECT_EQ(kBubbleMask[r * kBubbleSide + c], kBubbleMask[(13 - r) * kBubbleSide + c]);
    }
  EXPECT_EQ(count, 4 + 8 + 10 + 10 + 12 + 12 + 14 + 14 + 12 + 12 + 10 + 10 + 8 + 4);
}

TEST(BubbleBrighten, SaturatesInsteadOfWrapping) {
  EXPECT_EQ(brighten(0), 30);
  EXPECT_EQ(brighten(225), 255);
  EXPECT_EQ(brighten(240), 255);
  EXPECT_EQ(brighten(255), 255);
}

class BubbleDrawTest : public rx::support::HeadlessTest {
 protected:
  void fill(uint16_t v) {
    for (int y = 0; y < 480; ++y) {
      auto* row = reinterpret_cast<uint16_t*>(rx::active_row(y));
      for (int x = 0; x < 640; ++x) row[x] = v;
    }
  }
  uint16_t at(int x, int y) { return reinterpret_cast<uint16_t*>(rx::active_row(y))[x]; }
};

TEST_F(BubbleDrawTest, BrightensTheMaskedPixelsAboveItsLowerLeftCorner) {
  ASSERT_GE(rx::support::make_buffer(16, 640, 480), 0);
  const uint16_t grey = rx::pack_565({100, 100, 100});
  const uint16_t lit = static_cast<uint16_t>(rx_pack_rgb(brighten(rx::widen5(100 >> 3)),
                                                         brighten(rx::widen6(100 >> 2)),
                                                         brighten(rx::widen5(100 >> 3))));
  fill(grey);
  draw_bubble_at(458, 352);
  for (int y = 330; y < 360; ++y)
    for (int x = 450; x < 480; ++x) {
      int r = 352 - y, c = x - 458;  // stored row r is buffer row 352 - r
      bool inside = r >= 0 && r < 14 && c >= 0 && c < 14 && kBubbleMask[r * 14 + c] == 1;
      ASSERT_EQ(at(x, y), inside ? lit : grey) << x << "," << y;
    }
}

TEST_F(BubbleDrawTest, NearTheTopOnlyTheRowsInsideAreTaken) {
  ASSERT_GE(rx::support::make_buffer(16, 640, 480), 0);
  const uint16_t grey = rx::pack_565({100, 100, 100});
  fill(grey);
  draw_bubble_at(457, 11);
  int changed_rows = 0;
  for (int y = 0; y < 30; ++y) {
    bool changed = false;
    for (int x = 457; x < 471; ++x) changed |= at(x, y) != grey;
    changed_rows += changed;
    if (y == 0 || y > 11) {
      EXPECT_FALSE(changed) << y;
    }
  }
  EXPECT_EQ(changed_rows, 11);
}

TEST_F(BubbleDrawTest, WhiteWaterStaysWhite) {
  ASSERT_GE(rx::support::make_buffer(16, 640, 480), 0);
  fill(0xFFFF);
  draw_bubble_at(459, 200);
  for (int y = 180; y <= 200; ++y)
    for (int x = 459; x < 473; ++x) ASSERT_EQ(at(x, y), 0xFFFF) << x << "," << y;
}

}  // namespace
}  // namespace fishtank
