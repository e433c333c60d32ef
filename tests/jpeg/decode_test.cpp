// rx_show_jpeg on streams made by the test writer: exact samples at every
// depth, sampling, restarts, stuffing, segments across refills, shared
// tables, placement and clipping, and every refusal.
#include <cstring>

#include "jpeg/color.h"
#include "jpeg_test_util.h"
#include "support/headless_fixture.h"

namespace rx {
namespace {

using jpeg_test::dc_sample;
using jpeg_test::rgb_at;
using jpeg_test::show_from_memory;
using jpeg_test::write_file;
using support::JpegStream;
using support::make_buffer;
using support::write_jpeg;

class JpegDecode : public support::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    rx_set_decode_buffer(decode_, sizeof decode_);
  }
  void TearDown() override {
    rx_set_input_buffer(nullptr, 0);
    HeadlessTest::TearDown();
  }
  uint8_t decode_[1 << 16];
};

int gray_dc(int, int bx, int by) { return bx * 90 - by * 70 - 300; }
int color_dc(int c, int bx, int by) {
  return c == 0 ? bx * 60 - by * 40 - 200 : c == 1 ? 300 - bx * 150 : by * 170 - 250;
}

int find(const std::vector<uint8_t>& d, uint8_t marker) {
  for (size_t i = 2; i + 1 < d.size(); ++i)
    if (d[i] == 0xFF && d[i + 1] == marker) return static_cast<int>(i);
  return -1;
}

std::vector<uint8_t> gray_stream(int w, int h, int restart = 0) {
  JpegStream js;
  js.width = w, js.height = h, js.components = 1, js.restart_interval = restart;
  return write_jpeg(js, jpeg_test::dc_blocks(gray_dc));
}

std::vector<uint8_t> color_stream(int w, int h, int lh, int lv, int restart = 0) {
  JpegStream js;
  js.width = w, js.height = h, js.luma_h = lh, js.luma_v = lv, js.restart_interval = restart;
  return write_jpeg(js, jpeg_test::dc_blocks(color_dc));
}

// The buffer's pixels as bytes, to compare whole pictures.
std::vector<uint8_t> snapshot() {
  const LibraryState& s = state();
  return {s.active_pixels, s.active_pixels + static_cast<size_t>(s.active_bytes_per_row) * s.active_height};
}

TEST_F(JpegDecode, GrayscaleSamplesAtEveryDepth) {
  std::string path = write_file("gray.jpg", gray_stream(21, 19));
  for (int bits : {16, 24, 32}) {
    ASSERT_GE(make_buffer(bits, 21, 19), 0);
    std::memset(state().active_pixels, 0x5C, static_cast<size_t>(state().active_bytes_per_row) * 19);
    ASSERT_EQ(rx_show_jpeg(path.c_str(), 0), 0);
    for (int y = 0; y < 19; ++y)
      for (int x = 0; x < 21; ++x) {
        int v = dc_sample(gray_dc(0, x / 8, y / 8)), r, g, b;
        rgb_at(x, y, &r, &g, &b);
        int mask = bits == 16 ? 0xF8 : 0xFF;
        ASSERT_EQ(r, v & mask) << bits << " " << x << "," << y;
        ASSERT_EQ(g, v & (bits == 16 ? 0xFC : 0xFF));
        ASSERT_EQ(b, v & mask);
        if (bits == 32) {
          ASSERT_EQ(jpeg_test::pixel(x, y)[3], 0x5C);  // fourth byte kept
        }
      }
    rx_buffer_release();
  }
}

TEST_F(JpegDecode, ColourSamplingsReplicateChroma) {
  const jpeg::ColorTables& t = jpeg::kColorTables;
  for (auto [lh, lv] : {std::pair{1, 1}, std::pair{2, 1}, std::pair{2, 2}, std::pair{1, 2}}) {
    const int w = 37, h = 27;
    ASSERT_GE(make_buffer(24, w, h), 0);
    ASSERT_EQ(show_from_memory(color_stream(w, h, lh, lv)), 0) << lh << "x" << lv;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int l = dc_sample(color_dc(0, x / 8, y / 8));
        int cb = dc_sample(color_dc(1, x / (8 * lh), y / (8 * lv)));
        int cr = dc_sample(color_dc(2, x / (8 * lh), y / (8 * lv)));
        auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
        int r, g, b;
        rgb_at(x, y, &r, &g, &b);
        ASSERT_EQ(r, clamp(l + t.cr_to_red[cr])) << lh << "x" << lv << " at " << x << "," << y;
        ASSERT_EQ(g, clamp(l - t.cb_to_green[cb] - t.cr_to_green[cr]));
        ASSERT_EQ(b, clamp(l + t.cb_to_blue[cb]));
      }
  }
}

// Cb and Cr sampled unlike each other: every chroma sample covers the box
// of its own component, at every depth, in the exact strip memory.
TEST_F(JpegDecode, MixedSamplingGivesEachChromaComponentItsBox) {
  struct Case {
    int lh, lv;
    uint8_t cb, cr;
  };
  const Case cases[] = {{2, 2, 0x11, 0x22}, {2, 2, 0x21, 0x11}, {2, 2, 0x12, 0x21},
                        {4, 2, 0x21, 0x12}, {4, 4, 0x41, 0x14}, {2, 1, 0x21, 0x11},
                        {4, 1, 0x11, 0x21}, {3, 1, 0x31, 0x11}};
  const jpeg::ColorTables& t = jpeg::kColorTables;
  auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
  for (const Case& k : cases) {
    JpegStream js;
    js.width = 75, js.height = 37, js.luma_h = k.lh, js.luma_v = k.lv;
    js.chroma[0] = k.cb, js.chroma[1] = k.cr;
    std::string path = write_file("mixed.jpg", write_jpeg(js, jpeg_test::dc_blocks(color_dc)));
    JpegInfo info{};
    ASSERT_EQ(rx_jpeg_header(path.c_str(), &info), 0);
    std::vector<uint8_t> strip(static_cast<size_t>(rx_jpeg_buffer_size(&info)));
    for (int bits : {16, 24, 32}) {
      ASSERT_GE(make_buffer(bits, js.width, js.height), 0);
      rx_set_decode_buffer(strip.data(), static_cast<int32_t>(strip.size()));
      ASSERT_EQ(rx_show_jpeg(path.c_str(), 0), 0) << k.lh << "x" << k.lv << " " << bits;
      rx_set_decode_buffer(decode_, sizeof decode_);
      int mask = bits == 16 ? 0xF8 : 0xFF, green_mask = bits == 16 ? 0xFC : 0xFF;
      for (int y = 0; y < js.height; ++y)
        for (int x = 0; x < js.width; ++x) {
          int l = dc_sample(color_dc(0, x / 8, y / 8));
          int cb = dc_sample(color_dc(1, x * (k.cb >> 4) / k.lh / 8, y * (k.cb & 15) / k.lv / 8));
          int cr = dc_sample(color_dc(2, x * (k.cr >> 4) / k.lh / 8, y * (k.cr & 15) / k.lv / 8));
          int r, g, b;
          rgb_at(x, y, &r, &g, &b);
          ASSERT_EQ(r, clamp(l + t.cr_to_red[cr]) & mask)
              << k.lh << "x" << k.lv << " cb " << int{k.cb} << " cr " << int{k.cr} << " depth "
              << bits << " at " << x << "," << y;
          ASSERT_EQ(g, clamp(l - t.cb_to_green[cb] - t.cr_to_green[cr]) & green_mask);
          ASSERT_EQ(b, clamp(l + t.cb_to_blue[cb]) & mask);
        }
      rx_buffer_release();
    }
  }
}

TEST_F(JpegDecode, RestartIntervalsGiveThePictureWithoutThem) {
  ASSERT_GE(make_buffer(24, 45, 35), 0);
  ASSERT_EQ(show_from_memory(color_stream(45, 35, 2, 2)), 0);
  std::vector<uint8_t> plain = snapshot();
  for (int interval : {1, 2, 5}) {
    std::vector<uint8_t> d = color_stream(45, 35, 2, 2, interval);
    ASSERT_GE(find(d, 0xD0), 0);  // the writer put RSTn markers in
    std::memset(state().active_pixels, 0, plain.size());
    ASSERT_EQ(show_from_memory(d), 0) << interval;
    EXPECT_EQ(snapshot(), plain) << interval;
  }
  ASSERT_GE(make_buffer(16, 30, 30), 0);
  ASSERT_EQ(show_from_memory(gray_stream(30, 30)), 0);
  plain = snapshot();
  std::memset(state().active_pixels, 0, plain.size());
  ASSERT_EQ(rx_show_jpeg(write_file("grst.jpg", gray_stream(30, 30, 3)).c_str(), 0), 0);
  EXPECT_EQ(snapshot(), plain);
}

TEST_F(JpegDecode, StuffedByteIsData) {
  JpegStream js;
  js.width = 16, js.height = 8, js.components = 1;
  // Block 0 takes 12 bits (DC 0, EOB); block 1's DC difference of 2047 is
  // eleven one bits after its 4-bit code, filling the third byte: 0xFF.
  std::vector<uint8_t> d =
      write_jpeg(js, [](int, int bx, int, int16_t* c) { c[0] = static_cast<int16_t>(bx * 2047); });
  size_t data = support::scan_data_offset(d);
  ASSERT_EQ(d[data + 2], 0xFF);
  ASSERT_EQ(d[data + 3], 0x00);
  ASSERT_GE(make_buffer(24, 16, 8), 0);
  ASSERT_EQ(show_from_memory(d), 0);
  EXPECT_EQ(jpeg_test::pixel(3, 3)[0], dc_sample(0));
  EXPECT_EQ(jpeg_test::pixel(12, 7)[0], dc_sample(2047));
}

TEST_F(JpegDecode, LongSegmentsSpanManyRefills) {
  JpegStream js;
  js.width = 24, js.height = 16, js.app_bytes = 9000;
  std::vector<uint8_t> d = write_jpeg(js, jpeg_test::dc_blocks(color_dc));
  ASSERT_GE(make_buffer(32, 24, 16), 0);
  ASSERT_EQ(show_from_memory(d), 0);
  std::vector<uint8_t> expected = snapshot();
  std::memset(state().active_pixels, 0, expected.size());
  for (int32_t size : {1, 7, 64, 4096}) {
    std::vector<uint8_t> input(static_cast<size_t>(size));
    rx_set_input_buffer(input.data(), size);
    ASSERT_EQ(rx_show_jpeg(write_file("app.jpg", d).c_str(), 0), 0) << size;
    EXPECT_EQ(snapshot(), expected) << size;
    rx_set_input_buffer(nullptr, 0);
  }
}

TEST_F(JpegDecode, TablesInOneSegmentOrManyAndKeptBetweenPictures) {
  ASSERT_GE(make_buffer(24, 16, 16), 0);
  JpegStream js;
  js.quant = 3;
  auto blocks = [](int c, int bx, int by, int16_t* coef) {
    coef[0] = static_cast<int16_t>(color_dc(c, bx, by) / 3);
    coef[1] = static_cast<int16_t>(20 - c * 9);
    coef[9] = -7;
    coef[63] = static_cast<int16_t>(bx - by);
  };
  ASSERT_EQ(show_from_memory(write_jpeg(js, blocks)), 0);
  std::vector<uint8_t> expected = snapshot();
  js.one_dht = js.one_dqt = false;
  std::memset(state().active_pixels, 0, expected.size());
  ASSERT_EQ(show_from_memory(write_jpeg(js, blocks)), 0);
  EXPECT_EQ(snapshot(), expected);
  // Without DHT and DQT segments the tables of the last picture serve.
  std::vector<uint8_t> d = write_jpeg(js, blocks), stripped(d.begin(), d.begin() + 2);
  for (size_t i = 2; i < d.size();) {
    size_t length = static_cast<size_t>(d[i + 2] << 8 | d[i + 3]);
    bool table = d[i + 1] == 0xC4 || d[i + 1] == 0xDB;
    if (d[i + 1] == 0xDA) length = d.size() - i - 2;
    if (!table) stripped.insert(stripped.end(), d.begin() + i, d.begin() + i + 2 + length);
    i += 2 + length;
  }
  std::memset(state().active_pixels, 0, expected.size());
  ASSERT_EQ(show_from_memory(stripped), 0);
  EXPECT_EQ(snapshot(), expected);
}

TEST_F(JpegDecode, PlacementIsClippedToTheBuffer) {
  std::vector<uint8_t> d = gray_stream(16, 16);
  ASSERT_GE(make_buffer(24, 20, 12), 0);
  const size_t bytes = static_cast<size_t>(state().active_bytes_per_row) * 12;
  std::memset(state().active_pixels, 0x11, bytes);
  rx_move_to(-4, 6);
  ASSERT_EQ(show_from_memory(d, RX_SHOW_AT_POSITION), 0);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) {
      bool inside = x < 12 && y >= 6;
      int expected = inside ? dc_sample(gray_dc(0, (x + 4) / 8, (y - 6) / 8)) : 0x11;
      ASSERT_EQ(jpeg_test::pixel(x, y)[1], expected) << x << "," << y;
    }
  // Entirely outside: nothing drawn, still a picture read to its end.
  std::vector<uint8_t> before = snapshot();
  rx_move_to(25, -40);
  EXPECT_EQ(show_from_memory(d, RX_SHOW_AT_POSITION), 0);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(JpegDecode, NothingHappensWithoutAUsableBuffer) {
  std::vector<uint8_t> d = gray_stream(8, 8);
  EXPECT_EQ(show_from_memory(d), 0);  // no active buffer
  ASSERT_GE(make_buffer(8, 8, 8), 0);
  std::memset(state().active_pixels, 0x33, 64);
  EXPECT_EQ(show_from_memory(d), 0);
  EXPECT_EQ(state().active_pixels[0], 0x33);
}

class JpegRefusal : public JpegDecode {
 protected:
  int32_t show(const std::vector<uint8_t>& d) {
    if (!has_active_buffer()) make_buffer(24, 64, 64);
    int32_t from_file = rx_show_jpeg(write_file("refuse.jpg", d).c_str(), 0);
    int32_t from_memory = show_from_memory(d);
    EXPECT_EQ(from_file, from_memory);
    return from_memory;
  }
  // The stream with the segment body of marker patched at offset.
  std::vector<uint8_t> patched(std::vector<uint8_t> d, uint8_t marker, int offset, uint8_t value) {
    d[static_cast<size_t>(find(d, marker) + 4 + offset)] = value;
    return d;
  }
};

TEST_F(JpegRefusal, StartsAndMarkers) {
  std::vector<uint8_t> d = gray_stream(8, 8);
  EXPECT_EQ(rx_show_jpeg((::testing::TempDir() + "rx_jpeg_none.jpg").c_str(), 0), 0);  // no buffer yet
  make_buffer(24, 8, 8);
  EXPECT_EQ(rx_show_jpeg((::testing::TempDir() + "rx_jpeg_none.jpg").c_str(), 0), RX_PICTURE_CANNOT_OPEN);
  std::vector<uint8_t> bad = d;
  bad[1] = 0xD9;
  EXPECT_EQ(show(bad), RX_PICTURE_BAD_START);
  bad = d;
  bad.insert(bad.begin() + 2, 0x00);
  EXPECT_EQ(show(bad), RX_JPEG_MARKER_EXPECTED);
  // Fill bytes before a marker and RSTn between segments are stepped over.
  std::vector<uint8_t> filled = d;
  filled.insert(filled.begin() + 2, {0xFF, 0xFF, 0xFF, 0xD3});
  filled.insert(filled.end() - 2, {0xFF, 0xFF});
  EXPECT_EQ(show(filled), 0);
  std::vector<uint8_t> zero_length = d;
  zero_length.insert(zero_length.begin() + 2, {0xFF, 0xFE, 0x00, 0x01});
  EXPECT_EQ(show(zero_length), RX_JPEG_BAD_LENGTH);
}

TEST_F(JpegRefusal, FramesOutsideBaseline) {
  std::vector<uint8_t> d = color_stream(16, 16, 2, 2);
  std::vector<uint8_t> progressive = d;
  progressive[static_cast<size_t>(find(d, 0xC0) + 1)] = 0xC2;
  EXPECT_EQ(show(progressive), RX_JPEG_NOT_BASELINE);
  // A scan with no frame before it.
  std::vector<uint8_t> no_frame = d;
  no_frame[static_cast<size_t>(find(d, 0xC0) + 1)] = 0xEF;  // now an APP15 segment
  EXPECT_EQ(show(no_frame), RX_JPEG_NOT_BASELINE);
  EXPECT_EQ(show(patched(d, 0xC0, 0, 12)), RX_JPEG_UNSUPPORTED_FRAME);  // 12-bit samples
  EXPECT_EQ(show(patched(d, 0xC0, 4, 0)), RX_JPEG_UNSUPPORTED_FRAME);  // width 0
  JpegStream rgb;
  rgb.ids[0] = 'R', rgb.ids[1] = 'G', rgb.ids[2] = 'B';
  EXPECT_EQ(show(write_jpeg(rgb, [](int, int, int, int16_t*) {})), RX_JPEG_UNSUPPORTED_FRAME);
  JpegStream from_zero;
  from_zero.ids[0] = 0, from_zero.ids[1] = 1, from_zero.ids[2] = 2;
  EXPECT_EQ(show(write_jpeg(from_zero, jpeg_test::dc_blocks(color_dc))), 0);
}

TEST_F(JpegRefusal, SamplingItCannotServe) {
  std::vector<uint8_t> d = color_stream(16, 16, 1, 1);
  EXPECT_EQ(show(patched(d, 0xC0, 6 + 3 + 1, 0x22)), RX_JPEG_UNSUPPORTED_SAMPLING);  // chroma finer
  EXPECT_EQ(show(patched(d, 0xC0, 6 + 1, 0x10)), RX_JPEG_UNSUPPORTED_SAMPLING);      // zero V
  std::vector<uint8_t> d3 = patched(patched(d, 0xC0, 6 + 1, 0x31), 0xC0, 6 + 3 + 1, 0x21);
  EXPECT_EQ(show(patched(d3, 0xC0, 6 + 6 + 1, 0x21)), RX_JPEG_UNSUPPORTED_SAMPLING);  // 3 by 2
  std::vector<uint8_t> cr_finer = patched(color_stream(16, 16, 2, 1), 0xC0, 6 + 6 + 1, 0x12);
  EXPECT_EQ(show(cr_finer), RX_JPEG_UNSUPPORTED_SAMPLING);  // Cr finer down, Cb alike
  std::vector<uint8_t> cr_three = patched(color_stream(16, 16, 2, 2), 0xC0, 6 + 6 + 1, 0x21);
  // Cb 1x1 divides luma 3x2, Cr 2x1 does not.
  EXPECT_EQ(show(patched(cr_three, 0xC0, 6 + 1, 0x32)), RX_JPEG_UNSUPPORTED_SAMPLING);
}

TEST_F(JpegRefusal, TableSegments) {
  std::vector<uint8_t> d = gray_stream(8, 8);
  EXPECT_EQ(show(patched(d, 0xDB, 0, 0x10)), RX_JPEG_BAD_QUANT_TABLE);  // 16-bit entries
  EXPECT_EQ(show(patched(d, 0xDB, 0, 0x04)), RX_JPEG_BAD_QUANT_TABLE);  // identifier 4
  std::vector<uint8_t> short_dqt = d;
  short_dqt[static_cast<size_t>(find(d, 0xDB) + 3)] -= 1;  // 129 bytes: not whole tables
  EXPECT_EQ(show(short_dqt), RX_JPEG_BAD_QUANT_TABLE);
  EXPECT_EQ(show(patched(d, 0xC4, 0, 0x02)), RX_JPEG_BAD_HUFFMAN_TABLE);  // identifier 2
  EXPECT_EQ(show(patched(d, 0xC4, 0, 0x20)), RX_JPEG_BAD_HUFFMAN_TABLE);  // class 2
  EXPECT_EQ(show(patched(d, 0xC4, 1, 2)), RX_JPEG_BAD_HUFFMAN_TABLE);     // 2 + 12 codes: over-subscribed
  EXPECT_EQ(show(patched(d, 0xC4, 16, 250)), RX_JPEG_BAD_HUFFMAN_TABLE);  // 262 symbols
  std::vector<uint8_t> long_dht = d;
  long_dht[static_cast<size_t>(find(d, 0xC4) + 3)] += 1;  // a byte past the tables
  EXPECT_EQ(show(long_dht), RX_JPEG_BAD_HUFFMAN_TABLE);
  // Scans that select tables out of range.
  int sos = find(d, 0xDA);
  std::vector<uint8_t> dc2 = d;
  dc2[static_cast<size_t>(sos + 6)] = 0x20;
  EXPECT_EQ(show(dc2), RX_JPEG_UNDEFINED_TABLE);
  EXPECT_EQ(show(patched(d, 0xC0, 6 + 2, 7)), RX_JPEG_UNDEFINED_TABLE);  // quantisation table 7
}

TEST_F(JpegRefusal, ScansThatDoNotCoverTheFrame) {
  std::vector<uint8_t> d = color_stream(16, 16, 1, 1);
  std::vector<uint8_t> one = d;
  one[static_cast<size_t>(find(d, 0xDA) + 4)] = 1;  // Ns 1 of 3
  EXPECT_EQ(show(one), RX_JPEG_BAD_LENGTH);          // its length no longer fits
  int sos = find(d, 0xDA);
  std::vector<uint8_t> repeated = d;
  repeated[static_cast<size_t>(sos + 7)] = 1;  // Y listed twice
  EXPECT_EQ(show(repeated), RX_JPEG_PARTIAL_SCAN);
}

TEST_F(JpegRefusal, CorruptAndTruncatedData) {
  std::vector<uint8_t> d = gray_stream(32, 32);
  size_t data = support::scan_data_offset(d);
  std::vector<uint8_t> ones(d.begin(), d.begin() + static_cast<long>(data));
  for (int i = 0; i < 8; ++i) ones.insert(ones.end(), {0xFF, 0x00});
  ones.insert(ones.end(), {0xFF, 0xD9});
  EXPECT_EQ(show(ones), RX_JPEG_BAD_CODE);
  // DC 0 (0000), then four runs of 15 zeros and a 1 (symbol 0xF1, the
  // 12-bit code 1652): the fourth lands past coefficient 63.
  std::vector<uint8_t> run(d.begin(), d.begin() + static_cast<long>(data));
  uint64_t bits = 0;
  int n = 4;
  for (int i = 0; i < 4; ++i) bits = bits << 13 | 1652u << 1 | 1, n += 13;
  bits = bits << (64 - n) | ((uint64_t{1} << (64 - n)) - 1);
  for (int i = 0; i < 8; ++i) {
    uint8_t b = static_cast<uint8_t>(bits >> (56 - 8 * i));
    run.push_back(b);
    if (b == 0xFF) run.push_back(0);
  }
  run.insert(run.end(), {0xFF, 0xD9});
  EXPECT_EQ(show(run), RX_JPEG_RUN_TOO_LONG);
  for (size_t cut : {data + 1, data + (d.size() - data) / 2, d.size() - 2, d.size() - 1}) {
    std::vector<uint8_t> shortened(d.begin(), d.begin() + static_cast<long>(cut));
    EXPECT_EQ(show(shortened), RX_JPEG_TRUNCATED) << cut;
  }
  std::vector<uint8_t> early_end(d.begin(), d.begin() + static_cast<long>(data) + 3);
  early_end.insert(early_end.end(), {0xFF, 0xD9});
  EXPECT_EQ(show(early_end), RX_JPEG_TRUNCATED);
  std::vector<uint8_t> app_cut(d.begin(), d.begin() + 2);
  app_cut.insert(app_cut.end(), {0xFF, 0xE1, 0x40, 0x00, 1, 2, 3});
  EXPECT_EQ(show(app_cut), RX_JPEG_TRUNCATED);
}

}  // namespace
}  // namespace rx
