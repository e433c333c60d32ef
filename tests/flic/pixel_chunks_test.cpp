// The frame loop and the five pixel chunk decoders, read back as raw flic
// indices from 8-bit buffers.
#include "flic_fixture.h"

namespace rx::flic_test {
namespace {

using support::frame_chunk;
using support::sub_chunk;

std::vector<uint8_t> ramp(int w, int h, int seed) {
  std::vector<uint8_t> p(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>((i * 37 + seed) % 251);
  return p;
}

class PixelChunks : public FlicTest {
 protected:
  // Plays one frame of the given sub-chunks into a fresh w x h 8-bit buffer
  // filled with 0xEE, with the frame's upper-left corner at (x, y).
  int32_t play(int w, int h, const std::vector<Bytes>& sub_chunks, int bw, int bh, int x = 0,
               int y = 0) {
    support::make_buffer(8, bw, bh);
    for (int r = 0; r < bh; ++r) std::fill_n(active_row(r), state().active_bytes_per_row, 0xEE);
    file_ = one_frame(w, h, sub_chunks);
    FlicContext c = open(file_);
    rx_move_to(x, y);
    return rx_flic_play(&c, 1, kRawIndices | RX_SHOW_AT_POSITION);
  }
  Bytes file_;
};

TEST_F(PixelChunks, CopyByteRunAndBlackDrawTheWholeFrame) {
  std::vector<uint8_t> pic = ramp(13, 5, 1);
  ASSERT_EQ(play(13, 5, {sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 13, 5))}, 16, 5),
            1);
  EXPECT_EQ(indices(13, 5), pic);
  ASSERT_EQ(
      play(13, 5, {sub_chunk(RX_FLIC_BYTE_RUN, support::byte_run_body(pic.data(), 13, 5))}, 16, 5),
      1);
  EXPECT_EQ(indices(13, 5), pic);
  EXPECT_EQ(index_at(13, 0), 0xEE);
  ASSERT_EQ(play(13, 5, {sub_chunk(RX_FLIC_BLACK, {})}, 16, 6), 1);
  EXPECT_EQ(indices(13, 5), std::vector<uint8_t>(65, 0));
  EXPECT_EQ(index_at(13, 4), 0xEE);
  EXPECT_EQ(index_at(0, 5), 0xEE);
}

TEST_F(PixelChunks, ByteRunPacketsOvershootAndZeroCounts) {
  // Row 1 of width 5: a zero repeat (consumes its value), a literal of 2,
  // then a repeat of 127 that overshoots; row 2 must not inherit it.
  Bytes body = {0, 0, 9, 0xFE, 1, 2, 127, 7,  // row 0
                0, 0xFB, 10, 11, 12, 13, 14};  // row 1: five literals
  ASSERT_EQ(play(5, 2, {sub_chunk(RX_FLIC_BYTE_RUN, body)}, 8, 3), 1);
  EXPECT_EQ(indices(8, 2), (std::vector<uint8_t>{1, 2, 7, 7, 7, 0xEE, 0xEE, 0xEE,  //
                                                  10, 11, 12, 13, 14, 0xEE, 0xEE, 0xEE}));
  // A literal packet of -128 overshooting by 127 stays within the row buffer.
  Bytes wide = {0, 0x80};
  for (int i = 0; i < 128; ++i) wide.push_back(static_cast<uint8_t>(i));
  ASSERT_EQ(play(1, 1, {sub_chunk(RX_FLIC_BYTE_RUN, wide)}, 4, 1), 1);
  EXPECT_EQ(index_at(0, 0), 0);
  EXPECT_EQ(index_at(1, 0), 0xEE);
}

TEST_F(PixelChunks, ByteDeltaStartsAtItsFirstLineAndChangesOnlyNamedPixels) {
  Bytes body = cat({le16(2), le16(2),
                    {2, 1, 3, 5, 6, 7, 0, 0xFD, 9},  // line 2: skip 1, literal 3; skip 0, repeat 9 x3
                    {0}});                           // line 3: no packets
  ASSERT_EQ(play(8, 5, {sub_chunk(RX_FLIC_DELTA_FLI, body)}, 8, 5), 1);
  std::vector<uint8_t> want(40, 0xEE);
  for (int i = 0; i < 3; ++i) want[2 * 8 + 1 + i] = static_cast<uint8_t>(5 + i);
  for (int i = 0; i < 3; ++i) want[2 * 8 + 4 + i] = 9;
  EXPECT_EQ(indices(8, 5), want);
  ASSERT_EQ(play(8, 5, {sub_chunk(RX_FLIC_DELTA_FLI, cat({le16(1), le16(0), {1, 0, 1, 1}}))}, 8, 5),
            1);
  EXPECT_EQ(indices(8, 5), std::vector<uint8_t>(40, 0xEE));  // line count 0: nothing
}

TEST_F(PixelChunks, WordDeltaSkipsLinesAndSetsTheLastPixel) {
  Bytes body = cat({le16(2),
                    le16(0xFFFE),             // skip 2 rows: no line used up
                    le16(0x8012),             // last pixel 0x12 at the right column
                    le16(2), {1, 1, 3, 4},    // 2 packets: skip 1, one literal pair
                    {0, 0xFE, 5, 6},          // skip 0, pair (5, 6) twice
                    le16(0xFFFF), le16(0)});  // skip 1 row, an empty line
  ASSERT_EQ(play(7, 5, {sub_chunk(RX_FLIC_DELTA_FLC, body)}, 8, 5), 1);
  std::vector<uint8_t> want(40, 0xEE);
  want[2 * 8 + 6] = 0x12;
  uint8_t row2[] = {3, 4, 5, 6, 5, 6};
  std::copy(row2, row2 + 6, want.begin() + 2 * 8 + 1);
  EXPECT_EQ(indices(8, 5), want);
}

TEST_F(PixelChunks, DeltasRebuildFramesTheWriterEncodes) {
  std::vector<uint8_t> a = ramp(31, 9, 3), b = a;
  for (size_t i = 0; i < b.size(); i += 3) b[i] = static_cast<uint8_t>(b[i] ^ 0x55);
  for (int x = 0; x < 31; ++x) b[4 * 31 + x] = 200;  // a long repeat
  for (bool word : {false, true}) {
    Bytes delta = word ? support::delta_flc_body(a.data(), b.data(), 31, 9)
                       : support::delta_fli_body(a.data(), b.data(), 31, 9);
    Bytes file = support::flic_file(
        true, 31, 9, 2, 0,
        {frame_chunk({sub_chunk(RX_FLIC_BYTE_RUN, support::byte_run_body(a.data(), 31, 9))}),
         frame_chunk({sub_chunk(word ? RX_FLIC_DELTA_FLC : RX_FLIC_DELTA_FLI, delta)})});
    support::make_buffer(8, 32, 9);
    FlicContext c = open(file);
    ASSERT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
    EXPECT_EQ(indices(31, 9), a);
    ASSERT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
    EXPECT_EQ(indices(31, 9), b) << (word ? "DELTA_FLC" : "DELTA_FLI");
  }
}

TEST_F(PixelChunks, FramesOutsideTheBufferAreClipped) {
  std::vector<uint8_t> pic = ramp(6, 4, 5);
  Bytes copy = sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 6, 4));
  // Hanging over the right and bottom edges: nothing wraps into the next row.
  ASSERT_EQ(play(6, 4, {copy}, 8, 3, 5, 1), 1);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool inside = x >= 5 && y >= 1;
      EXPECT_EQ(index_at(x, y), inside ? pic[(y - 1) * 6 + (x - 5)] : 0xEE) << x << "," << y;
    }
  }
  // Above and left of the buffer.
  ASSERT_EQ(play(6, 4, {copy}, 8, 3, -4, -2), 1);
  EXPECT_EQ(index_at(0, 0), pic[2 * 6 + 4]);
  EXPECT_EQ(index_at(1, 1), pic[3 * 6 + 5]);
  EXPECT_EQ(index_at(2, 0), 0xEE);
  EXPECT_EQ(index_at(0, 2), 0xEE);
  // Word-delta line skips far beyond the buffer and a last pixel off its edge.
  Bytes far = cat({le16(1), le16(0xC000), le16(0xC000), le16(0x8001), le16(1), {0, 1, 7, 7}});
  ASSERT_EQ(play(6, 4, {sub_chunk(RX_FLIC_DELTA_FLC, far)}, 8, 3), 1);
  EXPECT_EQ(indices(8, 3), std::vector<uint8_t>(24, 0xEE));
}

TEST_F(PixelChunks, ClippedDeltasMatchTheClippedPicture) {
  // Long deltas (buffered packets take the unchecked path) hanging over
  // the left, right and bottom edges, with odd offsets into pixel pairs;
  // from a column right of the left edge, lines start unclipped and turn
  // clipped at the right edge.
  constexpr int kW = 64, kH = 8, kBw = 41, kBh = 6, kY = 1;
  std::vector<uint8_t> a = ramp(kW, kH, 1), b = a;
  for (size_t i = 0; i < b.size(); ++i)
    if (i % 5 != 0) b[i] = static_cast<uint8_t>(b[i] * 3 + 1);
  for (int left : {-3, 2}) {
    for (bool word : {false, true}) {
      Bytes delta = word ? support::delta_flc_body(a.data(), b.data(), kW, kH)
                         : support::delta_fli_body(a.data(), b.data(), kW, kH);
      ASSERT_GT(delta.size(), 500u);
      Bytes file = support::flic_file(
          true, kW, kH, 2, 0,
          {frame_chunk({sub_chunk(RX_FLIC_BYTE_RUN, support::byte_run_body(a.data(), kW, kH))}),
           frame_chunk({sub_chunk(word ? RX_FLIC_DELTA_FLC : RX_FLIC_DELTA_FLI, delta)})});
      support::make_buffer(8, kBw, kBh);
      FlicContext c = open(file);
      install(file);
      rx_move_to(left, kY);
      ASSERT_EQ(rx_flic_play(&c, 2, kFromMemory | RX_FLIC_KEEP_PALETTE | RX_SHOW_AT_POSITION), 2);
      for (int y = 0; y < kBh; ++y) {
        for (int x = 0; x < state().active_width; ++x) {
          int fx = x - left, fy = y - kY;
          uint8_t want = fy >= 0 && fx >= 0 && fx < kW ? b[fy * kW + fx] : 0;
          ASSERT_EQ(index_at(x, y), want)
              << (word ? "DELTA_FLC " : "DELTA_FLI ") << left << ": " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(PixelChunks, ZeroHeightDrawsNothing) {
  ASSERT_EQ(play(8, 0,
                 {sub_chunk(RX_FLIC_BLACK, {}), sub_chunk(RX_FLIC_BYTE_RUN, {}),
                  sub_chunk(RX_FLIC_COPY, {})},
                 8, 2),
            1);
  EXPECT_EQ(indices(8, 2), std::vector<uint8_t>(16, 0xEE));
}

TEST_F(PixelChunks, PrefixChunksAndEmptyFramesPlayAsTheFormatSays) {
  std::vector<uint8_t> pic = ramp(4, 2, 9);
  Bytes file = support::flic_file(
      true, 4, 2, 2, 0,
      {support::prefix_chunk(Bytes(20, 0xAA)),
       frame_chunk({sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2))}),
       frame_chunk({}), support::prefix_chunk({})});
  support::make_buffer(8, 4, 2);
  FlicContext c = open(file);
  EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);  // passes the prefix chunk
  EXPECT_EQ(indices(4, 2), pic);
  EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);  // no sub-chunks: still a frame
  EXPECT_EQ(indices(4, 2), pic);
  EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 0);  // a trailing prefix chunk is no frame
}

TEST_F(PixelChunks, UnknownSubChunksAndRestsAreSkipped) {
  std::vector<uint8_t> pic = ramp(4, 2, 2);
  Bytes copy_body = support::copy_body(pic.data(), 4, 2);
  copy_body.insert(copy_body.end(), {1, 2, 3});  // unread rest of a sub-chunk
  Bytes frame = frame_chunk({sub_chunk(RX_FLIC_STAMP, Bytes(40, 1)), sub_chunk(0x99, {}),
                             sub_chunk(RX_FLIC_COPY, copy_body)});
  frame.insert(frame.end(), {4, 5, 6, 7});  // data after the last sub-chunk
  frame[0] = static_cast<uint8_t>(frame.size());
  Bytes file =
      support::flic_file(true, 4, 2, 2, 0, {frame, frame_chunk({sub_chunk(RX_FLIC_BLACK, {})})});
  support::make_buffer(8, 4, 2);
  FlicContext c = open(file);
  EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
  EXPECT_EQ(indices(4, 2), pic);
  EXPECT_EQ(rx_flic_play(&c, 1, kRawIndices), 1);
  EXPECT_EQ(indices(4, 2), std::vector<uint8_t>(8, 0));
}

TEST_F(PixelChunks, OverrunAndMalformedChunksEndTheCall) {
  std::vector<uint8_t> pic = ramp(4, 2, 4);
  Bytes good = frame_chunk({sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2))});
  // A copy chunk whose size claims 4 data bytes: the decoder reads 8.
  Bytes overrun = frame_chunk({sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2), 10)});
  Bytes file = support::flic_file(true, 4, 2, 3, 0, {good, good, overrun, good});
  const uint32_t at_overrun = static_cast<uint32_t>(128 + 2 * good.size());
  support::make_buffer(8, 4, 2);
  FlicContext c = open(file);
  install(file);
  EXPECT_EQ(rx_flic_play(&c, 5, kFromMemory | RX_FLIC_KEEP_PALETTE), 2);  // the frames before it
  EXPECT_EQ(+c.position, at_overrun);
  EXPECT_EQ(rx_flic_play(&c, 5, kFromMemory | RX_FLIC_KEEP_PALETTE), 0);  // stays stopped
  EXPECT_EQ(+c.position, at_overrun);
  EXPECT_EQ(rx_flic_skip(&c, -1), 0);
  EXPECT_EQ(rx_flic_skip(&c, 3), 3);
  EXPECT_EQ(rx_flic_play(&c, 1, kFromMemory | RX_FLIC_KEEP_PALETTE), 1);  // the frame after it

  Bytes small_frame = good;
  small_frame[0] = 15;  // below the 16-byte frame header
  Bytes small_sub = frame_chunk({sub_chunk(RX_FLIC_COPY, {}, 5)});
  Bytes unknown = support::sub_chunk(0x4444, Bytes(10, 0));
  Bytes small_prefix = support::prefix_chunk({});
  small_prefix[0] = 5;
  for (const Bytes& bad : {small_frame, small_sub, unknown, small_prefix}) {
    Bytes f = support::flic_file(true, 4, 2, 2, 0, {good, bad, good});
    install(f);
    c.position = 128;
    EXPECT_EQ(rx_flic_play(&c, -1, kFromMemory | RX_FLIC_KEEP_PALETTE), 1);
    EXPECT_EQ(+c.position, 128u + good.size());
    EXPECT_EQ(rx_flic_play(&c, -1, kFromMemory | RX_FLIC_KEEP_PALETTE), 0);
  }
}

// "Play until a call returns 0" ends on every damaged flic, in both
// sources, and each call counts the frames it completed.
TEST_F(PixelChunks, PlayingUntilZeroEndsOnDamagedFlics) {
  std::vector<uint8_t> pic = ramp(4, 2, 5);
  Bytes good = frame_chunk({sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2))});
  Bytes overrun = frame_chunk({sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2), 10)});
  Bytes type_zero = support::sub_chunk(0, Bytes(4, 0));
  struct Case {
    std::vector<Bytes> chunks;
    int32_t n;
    std::vector<int32_t> calls;  // what each call returns, up to the first 0
  } cases[] = {
      {{good, good, type_zero}, 3, {2, 0}},
      {{good, type_zero}, 3, {1, 0}},
      {{good, good, type_zero}, -1, {2, 0}},
      {{good, overrun, good}, -1, {1, 0}},
      {{good, good, overrun}, 2, {2, 0}},
      {{good, good, good, overrun}, 2, {2, 1, 0}},
  };
  for (const Case& k : cases) {
    Bytes file = support::flic_file(true, 4, 2, 3, 0, k.chunks);
    for (bool memory : {true, false}) {
      support::make_buffer(8, 4, 2);
      FlicContext c = open(file);
      if (memory) install(file);
      const int32_t flags = kRawIndices | (memory ? RX_SHOW_FROM_MEMORY : 0);
      std::vector<int32_t> got;
      while (got.size() < 6) {
        got.push_back(rx_flic_play(&c, k.n, flags));
        if (got.back() == 0) break;
      }
      EXPECT_EQ(got, k.calls) << k.chunks.size() << " chunks, n " << k.n
                              << (memory ? ", memory" : ", file");
      rx_set_input_buffer(nullptr, 0);
    }
  }
}

}  // namespace
}  // namespace rx::flic_test
