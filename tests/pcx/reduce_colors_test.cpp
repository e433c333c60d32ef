// rx_reduce_colors on small hand-made 8-bit buffers.
#include "pcx/pcx_test_support.h"

namespace rx::pcxtest {
namespace {

class ReduceColors : public support::HeadlessTest {
 protected:
  void SetUp() override {
    support::HeadlessTest::SetUp();
    ASSERT_GE(support::make_buffer(8, 8, 4), 0);
    for (int i = 0; i < 768; ++i) palette_[i] = static_cast<uint8_t>(i * 11 + 5);
  }
  // Paints the buffer from a list of (index, pixel count), left to right,
  // top to bottom, the rest with the first index.
  void paint(std::initializer_list<std::pair<uint8_t, int>> uses) {
    fill_active(uses.begin()->first);
    int at = 0;
    for (auto [index, n] : uses)
      for (int k = 0; k < n; ++k, ++at) active_row(at / 8)[at % 8] = index;
  }
  void set_colour(int i, uint8_t r, uint8_t g, uint8_t b) {
    palette_[3 * i] = r, palette_[3 * i + 1] = g, palette_[3 * i + 2] = b;
  }
  std::array<uint8_t, 3> colour(int i) const {
    return {palette_[3 * i], palette_[3 * i + 1], palette_[3 * i + 2]};
  }
  uint8_t palette_[768];
};

TEST_F(ReduceColors, FewColoursArePackedIntoTheRunInIndexOrder) {
  paint({{200, 10}, {3, 12}, {7, 10}});
  const auto c3 = colour(3), c7 = colour(7), c200 = colour(200);
  rx_reduce_colors(10, 236, palette_);
  EXPECT_EQ(index_at(0, 0), 12);  // 200 is the third used index
  EXPECT_EQ(index_at(2, 1), 10);  // 3
  EXPECT_EQ(index_at(7, 3), 11);  // 7
  EXPECT_EQ(colour(10), c3);
  EXPECT_EQ(colour(11), c7);
  EXPECT_EQ(colour(12), c200);
  const std::array<uint8_t, 3> black{0, 0, 0};
  for (int i : {0, 9, 246, 255}) EXPECT_EQ(colour(i), black) << i;
}

TEST_F(ReduceColors, StartZeroKeepsEntriesPastThePackedOnes) {
  paint({{9, 16}, {4, 16}});
  const auto c4 = colour(4), c9 = colour(9), c2 = colour(2), c100 = colour(100);
  rx_reduce_colors(0, 236, palette_);
  EXPECT_EQ(index_at(0, 0), 1);
  EXPECT_EQ(index_at(0, 3), 0);
  EXPECT_EQ(colour(0), c4);
  EXPECT_EQ(colour(1), c9);
  EXPECT_EQ(colour(2), c2);
  EXPECT_EQ(colour(100), c100);
}

TEST_F(ReduceColors, IdenticalColoursMergeFirstAndTheRarerGoes) {
  set_colour(1, 100, 0, 0);
  set_colour(2, 100, 0, 0);
  set_colour(3, 0, 0, 0);
  set_colour(4, 10, 0, 0);
  paint({{1, 3}, {2, 5}, {3, 12}, {4, 12}});
  rx_reduce_colors(0, 3, palette_);
  // 1 went over to 2, which packs to 0; 3 and 4 stay apart.
  EXPECT_EQ(index_at(0, 0), 0);
  EXPECT_EQ(index_at(3, 0), 0);
  EXPECT_EQ(index_at(0, 1), 1);
  EXPECT_EQ(index_at(7, 3), 2);
}

TEST_F(ReduceColors, EqualCountsRemoveTheLowerIndex) {
  set_colour(5, 50, 50, 50);
  set_colour(9, 52, 50, 50);
  set_colour(20, 255, 255, 255);
  paint({{20, 16}, {5, 8}, {9, 8}});
  rx_reduce_colors(0, 2, palette_);
  EXPECT_EQ(index_at(0, 2), 0);  // 5 follows 9, packed first
  EXPECT_EQ(index_at(0, 3), 0);
  EXPECT_EQ(colour(0), (std::array<uint8_t, 3>{52, 50, 50}));
  EXPECT_EQ(index_at(0, 0), 1);
}

// Two pairs at the same distance: the later pair wins only when the
// smaller count of the earlier pair exceeds the count of the later j.
TEST_F(ReduceColors, TiedDistancesFollowTheCountRule) {
  set_colour(1, 0, 0, 0);
  set_colour(2, 10, 0, 0);
  set_colour(3, 200, 200, 200);
  set_colour(4, 210, 200, 200);
  paint({{1, 10}, {2, 10}, {3, 6}, {4, 6}});
  rx_reduce_colors(0, 3, palette_);
  EXPECT_EQ(index_at(0, 0), 0);             // 1 kept
  EXPECT_EQ(index_at(2, 1), 1);             // 2 kept
  EXPECT_EQ(index_at(4, 2), 2);             // 3 merged into 4
  EXPECT_EQ(colour(2), (std::array<uint8_t, 3>{210, 200, 200}));

  for (int i = 0; i < 768; ++i) palette_[i] = 0;
  set_colour(1, 0, 0, 0);
  set_colour(2, 10, 0, 0);
  set_colour(3, 200, 200, 200);
  set_colour(4, 210, 200, 200);
  paint({{1, 6}, {2, 6}, {3, 10}, {4, 10}});
  rx_reduce_colors(0, 3, palette_);
  EXPECT_EQ(index_at(0, 0), 0);             // 1 merged into 2
  EXPECT_EQ(colour(0), (std::array<uint8_t, 3>{10, 0, 0}));
  EXPECT_EQ(index_at(6, 1), 1);             // 3 kept
}

TEST_F(ReduceColors, CountsSaturateSoBigColoursCompareEqual) {
  ASSERT_GE(support::make_buffer(8, 512, 300), 0);
  set_colour(1, 10, 10, 10);
  set_colour(2, 12, 10, 10);
  fill_active(2);
  for (int at = 0; at < 80000; ++at) active_row(at / 512)[at % 512] = 1;  // 2 keeps 73600
  rx_reduce_colors(0, 1, palette_);
  // Both counts read 65535, so the lower index, 1, is the one removed.
  EXPECT_EQ(colour(0), (std::array<uint8_t, 3>{12, 10, 10}));
  EXPECT_EQ(index_at(0, 0), 0);
  EXPECT_EQ(index_at(511, 299), 0);
}

TEST_F(ReduceColors, PixelsOutsideTheClipRectangleAreLeftAlone) {
  paint({{40, 16}, {41, 16}});
  state().clip = {0, 3, 0, 1};
  rx_reduce_colors(10, 236, palette_);
  EXPECT_EQ(index_at(0, 0), 10);
  EXPECT_EQ(index_at(4, 0), 40);  // outside: neither counted nor renumbered
  EXPECT_EQ(index_at(0, 3), 41);
}

TEST_F(ReduceColors, BadRunsAndDeeperBuffersChangeNothing) {
  paint({{40, 16}, {41, 16}});
  uint8_t before[768];
  std::copy_n(palette_, 768, before);
  for (auto [start, count] : {std::pair{10, 0}, {10, 247}, {-1, 5}, {255, 2}}) {
    EXPECT_EQ(rx_reduce_colors(start, count, palette_), 0);
    EXPECT_TRUE(std::equal(before, before + 768, palette_)) << start << "," << count;
    EXPECT_EQ(index_at(0, 0), 40);
  }
  EXPECT_EQ(rx_reduce_colors(0, 256, nullptr), 0);
  ASSERT_GE(support::make_buffer(16, 8, 4), 0);
  rx_reduce_colors(10, 236, palette_);
  EXPECT_TRUE(std::equal(before, before + 768, palette_));
}

}  // namespace
}  // namespace rx::pcxtest
