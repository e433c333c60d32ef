// Image blocks: capture, plain and mirrored draws, transparency, clipping,
// and refusal of captures that leave the buffer.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

using rx::support::HeadlessTest;
using rx::support::make_buffer;

constexpr int kBlockBytes[4] = {1, 2, 3, 3};
constexpr int kBufferBytes[4] = {1, 2, 3, 4};

std::vector<uint8_t> snapshot() {
  const rx::LibraryState& s = rx::state();
  return {s.active_pixels, s.active_pixels + static_cast<size_t>(s.active_bytes_per_row) * s.active_height};
}

// A block of width x height with about 40% transparent pixels.
std::vector<uint8_t> sprite(int depth_index, int32_t width, int32_t height, unsigned seed) {
  std::mt19937 rng(seed);
  const int b = kBlockBytes[depth_index];
  std::vector<uint8_t> block(static_cast<size_t>(width) * height * b);
  for (size_t i = 0; i < block.size(); i += b) {
    const bool clear = rng() % 10 < 4;
    for (int k = 0; k < b; ++k) block[i + k] = clear ? 0 : static_cast<uint8_t>(rng());
    if (!clear && block[i] == 0 && block[i + b - 1] == 0) block[i] = 1;
  }
  return block;
}

// What a draw must do, pixel by pixel: stored row r to buffer row y - r,
// stored column c to x + c (or x + width - 1 - c mirrored), inside the clip
// rectangle, all-zero pixels skipped, 32-bit fourth byte cleared.
void reference_draw(std::vector<uint8_t>& pixels, const std::vector<uint8_t>& block, int32_t width,
                    int32_t height, bool mirrored) {
  const rx::LibraryState& s = rx::state();
  const int d = s.depth_index, bb = kBlockBytes[d], pb = kBufferBytes[d];
  for (int32_t r = 0; r < height; ++r)
    for (int32_t c = 0; c < width; ++c) {
      const int64_t x = int64_t{s.position_x} + (mirrored ? width - 1 - c : c);
      const int64_t y = int64_t{s.position_y} - r;
      if (x < s.clip.min_x || x > s.clip.max_x || y < s.clip.min_y || y > s.clip.max_y) continue;
      const uint8_t* p = &block[(static_cast<size_t>(r) * width + c) * bb];
      bool zero = true;
      for (int k = 0; k < bb; ++k) zero = zero && p[k] == 0;
      if (zero) continue;
      uint8_t* q = &pixels[static_cast<size_t>(s.active_bottom_row - y) * s.active_bytes_per_row +
                           static_cast<size_t>(x) * pb];
      std::memcpy(q, p, bb);
      if (pb == 4) q[3] = 0;
    }
}

void fill_buffer(unsigned seed) {
  const rx::LibraryState& s = rx::state();
  std::mt19937 rng(seed);
  for (int64_t i = 0; i < int64_t{s.active_bytes_per_row} * s.active_height; ++i)
    s.active_pixels[i] = static_cast<uint8_t>(rng());
}

TEST_F(HeadlessTest, DrawsMatchTheReferenceAtEveryEdgePlainAndMirrored) {
  const int32_t w = 13, h = 9;
  // Positions (lower-left corners) inside and across each edge of a 40 x 30
  // buffer, and far outside.
  const std::pair<int32_t, int32_t> positions[] = {
      {5, 20},  {-3, 20}, {-12, 20}, {-13, 20}, {35, 20}, {39, 20}, {40, 20}, {5, 3},
      {5, 0},   {5, -1},  {5, 33},   {5, 29},   {5, 37},  {5, 38},  {-5, 2},  {30, 35},
      {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, {-700, 300}};
  for (int bits : {16, 24, 32}) {
    const int32_t buf = make_buffer(bits, 40, 30);
    const std::vector<uint8_t> block = sprite(rx::state().depth_index, w, h, bits);
    for (bool mirrored : {false, true})
      for (auto [x, y] : positions) {
        fill_buffer(static_cast<unsigned>(x) + static_cast<unsigned>(y));
        std::vector<uint8_t> want = snapshot();
        rx_move_to(x, y);
        reference_draw(want, block, w, h, mirrored);
        EXPECT_EQ((mirrored ? rx_draw_block_mirrored : rx_draw_block)(block.data(), w, h), 0);
        ASSERT_EQ(snapshot(), want) << bits << (mirrored ? " mirrored " : " plain ") << x << "," << y;
      }
    rx_buffer_release();
    rx_buffer_free(buf);
  }
}

TEST_F(HeadlessTest, EveryShortWidthMatchesTheReferenceCutAtEitherSide) {
  // Widths 1..40 on a 48-wide buffer, from whole to cut by 1..12 columns at
  // the left or the right edge, so every group and row-end length is drawn.
  constexpr int32_t kBufferWidth = 48, kRows = 3;
  for (int bits : {8, 16, 24, 32}) {
    const int32_t buf = make_buffer(bits, kBufferWidth, 5);
    for (int32_t w = 1; w <= 40; ++w) {
      const std::vector<uint8_t> block =
          sprite(rx::state().depth_index, w, kRows, static_cast<unsigned>(w * bits));
      std::vector<int32_t> xs = {0, kBufferWidth - w};
      for (int32_t cut = 1; cut <= 12 && cut < w; ++cut) {
        xs.push_back(-cut);
        xs.push_back(kBufferWidth - w + cut);
      }
      for (bool mirrored : {false, true})
        for (int32_t x : xs) {
          fill_buffer(static_cast<unsigned>(w * 64 + x));
          std::vector<uint8_t> want = snapshot();
          rx_move_to(x, 3);
          if (bits != 8) reference_draw(want, block, w, kRows, mirrored);  // 8 bits: nothing drawn
          (mirrored ? rx_draw_block_mirrored : rx_draw_block)(block.data(), w, kRows);
          ASSERT_EQ(snapshot(), want) << bits << (mirrored ? " mirrored" : " plain") << " width " << w
                                      << " at " << x;
        }
    }
    rx_buffer_release();
    rx_buffer_free(buf);
  }
}

TEST_F(HeadlessTest, EveryPatternOfClearAndOpaquePixelsInShortRows) {
  // All 2^10 patterns of a 10-pixel row, with values whose bytes test the
  // four-pixel scans (high bit only, low bit only, all bits) at each depth.
  const uint8_t values[3][3] = {{0x00, 0x00, 0x80}, {0x00, 0x01, 0x00}, {0xFF, 0xFF, 0xFF}};
  for (int bits : {16, 24, 32}) {
    make_buffer(bits, 16, 2);
    const int bb = kBlockBytes[rx::state().depth_index];
    for (int pattern = 0; pattern < 1024; ++pattern) {
      std::vector<uint8_t> block(10 * bb, 0);
      for (int c = 0; c < 10; ++c)
        if (pattern >> c & 1) std::memcpy(&block[c * bb], values[(pattern + c) % 3] + 3 - bb, bb);
      std::memset(rx::state().active_pixels, 0x33, snapshot().size());
      std::vector<uint8_t> want = snapshot();
      rx_move_to(pattern % 7, 1);
      reference_draw(want, block, 10, 1, false);
      rx_draw_block(block.data(), 10, 1);
      ASSERT_EQ(snapshot(), want) << bits << " pattern " << pattern;
    }
  }
}

TEST_F(HeadlessTest, LeftEdgeShowsTheDocumentedColumns) {
  make_buffer(16, 40, 10);
  const int32_t w = 8;
  std::vector<uint16_t> block(w);
  for (int c = 0; c < w; ++c) block[c] = static_cast<uint16_t>(100 + c);
  auto at = [](int32_t x) {
    uint16_t v;
    std::memcpy(&v, rx::active_row(5) + 2 * x, 2);
    return v;
  };
  rx_move_to(-3, 5);
  rx_draw_block(block.data(), w, 1);
  EXPECT_EQ(at(0), 103);  // stored column 3 at the clip minimum x
  rx_draw_block_mirrored(block.data(), w, 1);
  EXPECT_EQ(at(0), 100 + w - 4);  // stored column width - 4
  EXPECT_EQ(at(1), 100 + w - 5);
}

TEST_F(HeadlessTest, MirroredDrawOfOneColumnEqualsThePlainDraw) {
  make_buffer(24, 8, 8);
  const std::vector<uint8_t> block = sprite(2, 1, 6, 3);
  rx_move_to(2, 6);
  rx_draw_block(block.data(), 1, 6);
  const std::vector<uint8_t> plain = snapshot();
  fill_buffer(0);
  std::memset(rx::state().active_pixels, 0, snapshot().size());
  rx_draw_block_mirrored(block.data(), 1, 6);
  EXPECT_EQ(snapshot(), plain);
}

TEST_F(HeadlessTest, TransparencyNeedsEveryStoredByteZero) {
  for (int bits : {16, 24, 32}) {
    make_buffer(bits, 4, 1);
    const int bb = kBlockBytes[rx::state().depth_index], pb = kBufferBytes[rx::state().depth_index];
    std::memset(rx::state().active_pixels, 0x77, 4 * pb);
    // zero; blue only; red only; zero.
    std::vector<uint8_t> block(4 * bb, 0);
    block[bb] = 1;
    block[2 * bb + bb - 1] = 0x80;
    rx_move_to(0, 0);
    rx_draw_block(block.data(), 4, 1);
    const uint8_t* row = rx::active_row(0);
    EXPECT_EQ(row[0], 0x77) << bits;
    EXPECT_EQ(row[pb], 1) << bits;
    EXPECT_EQ(row[2 * pb + bb - 1], 0x80) << bits;
    EXPECT_EQ(row[3 * pb], 0x77) << bits;
    if (pb == 4) {
      EXPECT_EQ(row[4 + 3], 0) << "fourth byte of a drawn pixel";
    }
    // An all-zero block changes nothing.
    const std::vector<uint8_t> before = snapshot();
    const std::vector<uint8_t> zeros(4 * bb, 0);
    rx_draw_block(zeros.data(), 4, 1);
    rx_draw_block_mirrored(zeros.data(), 4, 1);
    EXPECT_EQ(snapshot(), before);
  }
}

TEST_F(HeadlessTest, CaptureStoresRowsBottomFirstAndDrawsBackInPlace) {
  for (int bits : {16, 24, 32}) {
    make_buffer(bits, 20, 12);
    fill_buffer(bits);
    const int d = rx::state().depth_index;
    // Rectangle 3..12 x 2..9, captured from its lower-left corner.
    const int32_t w = 10, h = 8;
    std::vector<uint8_t> block(rx_block_size(w, h), 0xEE);
    ASSERT_EQ(block.size(), static_cast<size_t>(w * h * kBlockBytes[d]));
    rx_move_to(3, 9);
    ASSERT_EQ(rx_capture_block(block.data(), w, h), 0);
    for (int32_t r = 0; r < h; ++r)
      ASSERT_EQ(std::memcmp(&block[static_cast<size_t>(r) * w * kBlockBytes[d]],
                            rx::active_row(9 - r) + 3 * kBufferBytes[d], kBlockBytes[d]),
                0);
    std::vector<uint8_t> want = snapshot();
    for (int32_t y = 2; y <= 9; ++y)
      for (int32_t x = 3; x <= 12; ++x) {
        uint8_t* p = &want[static_cast<size_t>(11 - y) * rx::state().active_bytes_per_row +
                           x * kBufferBytes[d]];
        if (d == 3 && (p[0] | p[1] | p[2])) p[3] = 0;
      }
    rx_draw_block(block.data(), w, h);
    EXPECT_EQ(snapshot(), want) << bits;
  }
}

TEST_F(HeadlessTest, EightBitBuffersNeitherCaptureNorDraw) {
  make_buffer(8, 8, 8);
  fill_buffer(1);
  std::vector<uint8_t> block(16, 0xAB);
  const std::vector<uint8_t> before = snapshot();
  rx_move_to(1, 5);
  EXPECT_EQ(rx_capture_block(block.data(), 4, 4), 0);
  EXPECT_EQ(block, std::vector<uint8_t>(16, 0xAB));
  EXPECT_EQ(rx_draw_block(block.data(), 4, 4), 0);
  EXPECT_EQ(rx_draw_block_mirrored(block.data(), 4, 4), 0);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(rx_block_size(4, 4), 16u);
}

TEST_F(HeadlessTest, BlockSizesByDepthAndOverflowGivesZero) {
  const uint32_t per_pixel[] = {1, 2, 3, 3};
  int i = 0;
  for (int bits : {8, 16, 24, 32}) {
    make_buffer(bits, 4, 4);
    EXPECT_EQ(rx_block_size(154, 64), 154u * 64 * per_pixel[i++]);
    EXPECT_EQ(rx_block_size(0, 5), 0u);
    EXPECT_EQ(rx_block_size(-1, 5), 0u);
    EXPECT_EQ(rx_block_size(5, INT_MIN), 0u);
    EXPECT_EQ(rx_block_size(INT_MAX, INT_MAX), 0u);
  }
  EXPECT_EQ(rx_block_size(65536, 21845), 65536u * 21845 * 3);
  EXPECT_EQ(rx_block_size(65536, 21846), 0u);
}

TEST_F(HeadlessTest, CapturesLeavingTheBufferAreRefusedWhole) {
  make_buffer(32, 20, 10);
  fill_buffer(2);
  const std::vector<uint8_t> before = snapshot();
  struct Case {
    int32_t x, y, w, h;
  } cases[] = {{-1, 5, 4, 4},  {17, 5, 4, 4},    {0, 10, 4, 4},   {0, 2, 4, 4},
               {0, 5, 0, 4},   {0, 5, 4, 0},     {0, 5, -3, 2},   {0, 5, 2, -3},
               {0, 5, INT_MAX, 1}, {0, 5, 1, INT_MAX}, {INT_MAX, 5, 1, 1}, {INT_MIN, INT_MIN, 2, 2},
               {5, INT_MAX, 1, 1}};
  for (const Case& c : cases) {
    std::vector<uint8_t> block(64, 0xCD);
    rx_move_to(c.x, c.y);
    EXPECT_EQ(rx_capture_block(block.data(), c.w, c.h), RX_ERR_ARGUMENT) << c.x << "," << c.y;
    EXPECT_EQ(block, std::vector<uint8_t>(64, 0xCD));
  }
  rx_move_to(0, 5);
  EXPECT_EQ(rx_capture_block(nullptr, 2, 2), RX_ERR_ARGUMENT);
  // The stored width is the edge: 20 is already a multiple of 4.
  std::vector<uint8_t> whole(20 * 10 * 3);
  rx_move_to(0, 9);
  EXPECT_EQ(rx_capture_block(whole.data(), 20, 10), 0);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(HeadlessTest, NothingHappensWithoutAnActiveBufferOrWithEmptyBlocks) {
  const int32_t h = make_buffer(16, 8, 8);
  fill_buffer(4);
  const std::vector<uint8_t> before = snapshot();
  const std::vector<uint8_t> block(128, 0xFF);
  rx_move_to(0, 7);
  EXPECT_EQ(rx_draw_block(block.data(), 0, 4), 0);
  EXPECT_EQ(rx_draw_block(block.data(), 4, -4), 0);
  EXPECT_EQ(rx_draw_block_mirrored(block.data(), INT_MIN, 4), 0);
  EXPECT_EQ(rx_draw_block(nullptr, 4, 4), 0);
  rx_buffer_release();
  std::vector<uint8_t> out(128, 0x11);
  EXPECT_EQ(rx_draw_block(block.data(), 4, 4), 0);
  EXPECT_EQ(rx_capture_block(out.data(), 4, 4), 0);
  EXPECT_EQ(out, std::vector<uint8_t>(128, 0x11));
  rx_buffer_select(h);
  EXPECT_EQ(snapshot(), before);
}

}  // namespace
