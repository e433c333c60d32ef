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

TEST_F(ReduceColors, TiedPairsAtEqualCountsKeepTheEarlierPair) {
  // (1, 2) and (3, 4) at the same distance, every count 8: the later pair
  // does not replace the earlier one, so 1 goes over to 2 and 3, 4 stay.
  set_colour(1, 0, 0, 0);
  set_colour(2, 0, 7, 0);
  set_colour(3, 200, 200, 200);
  set_colour(4, 200, 207, 200);
  paint({{1, 8}, {2, 8}, {3, 8}, {4, 8}});
  rx_reduce_colors(0, 3, palette_);
  EXPECT_EQ(index_at(0, 0), 0);
  EXPECT_EQ(index_at(0, 1), 0);
  EXPECT_EQ(colour(0), (std::array<uint8_t, 3>{0, 7, 0}));
  EXPECT_EQ(index_at(0, 2), 1);
  EXPECT_EQ(index_at(0, 3), 2);
  EXPECT_EQ(colour(1), (std::array<uint8_t, 3>{200, 200, 200}));
}

// The reduction by its plain definition, over a list of pixels: one full
// pair scan per merge.
void reference_reduction(std::vector<uint8_t>& pixels, int start, int count, uint8_t* palette) {
  uint16_t use[256] = {};
  uint8_t to[256];
  for (int k = 0; k < 256; ++k) to[k] = static_cast<uint8_t>(k);
  for (uint8_t p : pixels)
    if (use[p] != 65535) ++use[p];
  auto add = [](uint16_t a, uint16_t b) { return static_cast<uint16_t>(std::min(a + b, 65535)); };
  int used = static_cast<int>(std::count_if(use, use + 256, [](uint16_t n) { return n != 0; }));
  for (; used > count; --used) {
    uint32_t best = UINT32_MAX;
    int bi = 0, bj = 0;
    for (int i = 0; i < 256; ++i) {
      for (int j = i + 1; j < 256 && use[i] != 0; ++j) {
        if (use[j] == 0) continue;
        uint32_t d = 0;
        for (int c = 0; c < 3; ++c) {
          const int v = palette[3 * i + c] - palette[3 * j + c];
          d += static_cast<uint32_t>(v * v);
        }
        if (d < best || (d == best && std::min(use[bi], use[bj]) > use[j])) best = d, bi = i, bj = j;
      }
    }
    const int gone = use[bi] <= use[bj] ? bi : bj, kept = gone == bi ? bj : bi;
    for (int k = 0; k < 256; ++k)
      if (to[k] == gone) to[k] = static_cast<uint8_t>(kept), use[kept] = add(use[kept], use[k]);
    use[gone] = 0;
  }
  uint8_t packed[768];  // survivors first, the entries after them as they were
  std::copy_n(palette, 768, packed);
  int n = 0;
  for (int k = 0; k < 256; ++k) {
    if (use[k] == 0) continue;
    to[k] = static_cast<uint8_t>(n);
    std::copy_n(palette + 3 * k, 3, packed + 3 * n++);
  }
  for (int k = 0; k < 256; ++k)
    if (use[k] == 0) to[k] = to[to[k]];
  if (start != 0) std::fill_n(palette, 768, 0);
  std::copy_n(packed, start == 0 ? 768 : 3 * count, palette + 3 * start);
  for (uint8_t& p : pixels) p = static_cast<uint8_t>(to[p] + start);
}

TEST_F(ReduceColors, MatchesThePairScanOnManyPicturesAndPalettes) {
  // Random and coarse palettes (equal distances everywhere), counts from
  // even to very uneven, 1 to 256 colours used, several target runs.
  constexpr int kW = 64, kH = 40;
  uint32_t seed = 99;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  ASSERT_GE(support::make_buffer(8, kW, kH), 0);
  for (int round = 0; round < 40; ++round) {
    const int levels = round % 4 == 0 ? 256 : 2 + round % 5;
    for (uint8_t& c : palette_) c = static_cast<uint8_t>(next() % levels * (255 / (levels - 1)));
    const int colours = 1 + static_cast<int>(next() % 256);
    std::vector<uint8_t> pixels(kW * kH);
    for (size_t i = 0; i < pixels.size(); ++i) {
      const uint32_t r = next();
      pixels[i] = static_cast<uint8_t>(round % 3 == 0 ? r % colours : r % (1 + r % colours));
    }
    const int count = 1 + static_cast<int>(next() % (round % 2 ? 40 : 236));
    const int start = round % 5 == 0 ? 0 : static_cast<int>(next() % (257 - count));
    for (int y = 0; y < kH; ++y) std::copy_n(&pixels[y * kW], kW, active_row(y));
    uint8_t want[768];
    std::copy_n(palette_, 768, want);
    reference_reduction(pixels, start, count, want);
    rx_reduce_colors(start, count, palette_);
    ASSERT_TRUE(std::equal(want, want + 768, palette_)) << round;
    for (int y = 0; y < kH; ++y)
      ASSERT_TRUE(std::equal(&pixels[y * kW], &pixels[y * kW] + kW, active_row(y))) << round;
  }
}

}  // namespace
}  // namespace rx::pcxtest
