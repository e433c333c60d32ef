// The header reader and the decoder walk a picture's segments the same
// way: fill bytes before every marker, the streams the two once judged
// differently, and the decoder's tables left alone by the header reader.
#include <cstring>

#include "jpeg/walk.h"
#include "jpeg_test_util.h"
#include "support/headless_fixture.h"

namespace rx {
namespace {

using jpeg_test::show_from_memory;
using jpeg_test::write_file;
using support::JpegStream;
using support::make_buffer;
using support::write_jpeg;

// DC terms within the test writer's DC range on pictures of any width.
int shade(int c, int bx, int by) { return (bx * (50 + 40 * c) + by * 30) % 600 - 300; }

std::vector<uint8_t> picture(int w, int h, int components, int lh, int lv, int restart = 0) {
  JpegStream js;
  js.width = w, js.height = h, js.components = components, js.luma_h = lh, js.luma_v = lv;
  js.restart_interval = restart;
  return write_jpeg(js, jpeg_test::dc_blocks(shade));
}

size_t find(const std::vector<uint8_t>& d, uint8_t marker) {
  for (size_t i = 2; i + 1 < d.size(); ++i)
    if (d[i] == 0xFF && d[i + 1] == marker) return i;
  return 0;
}

// The whole segment of marker (marker, length and body).
std::vector<uint8_t> segment_of(const std::vector<uint8_t>& d, uint8_t marker) {
  size_t at = find(d, marker);
  size_t length = static_cast<size_t>(d[at + 2] << 8 | d[at + 3]);
  return {d.begin() + static_cast<long>(at), d.begin() + static_cast<long>(at + 2 + length)};
}

std::vector<uint8_t> after_soi(std::vector<uint8_t> d, const std::vector<uint8_t>& bytes) {
  d.insert(d.begin() + 2, bytes.begin(), bytes.end());
  return d;
}

// count fill bytes before every marker after SOI: between segments, before
// the restart markers inside the scan and before EOI.
std::vector<uint8_t> with_fill(const std::vector<uint8_t>& d, int count) {
  std::vector<uint8_t> out(d.begin(), d.begin() + 2);
  size_t at = 2;
  bool in_scan = false;
  while (at + 1 < d.size()) {
    if (in_scan && !(d[at] == 0xFF && d[at + 1] != 0x00)) {
      size_t step = d[at] == 0xFF ? 2 : 1;  // stuffed 0xFF 0x00 stays whole
      out.insert(out.end(), d.begin() + static_cast<long>(at), d.begin() + static_cast<long>(at + step));
      at += step;
      continue;
    }
    uint8_t code = d[at + 1];
    out.insert(out.end(), static_cast<size_t>(count), 0xFF);
    out.insert(out.end(), {0xFF, code});
    at += 2;
    in_scan = code >= 0xD0 && code <= 0xD7;
    if (in_scan || code == 0xD9) continue;
    size_t length = static_cast<size_t>(d[at] << 8 | d[at + 1]);
    out.insert(out.end(), d.begin() + static_cast<long>(at), d.begin() + static_cast<long>(at + length));
    at += length;
    in_scan = code == 0xDA;
  }
  return out;
}

// The header reader's verdict on a stream in memory, as the decoder's
// result code (kNoFrameHeader when EOI comes first).
int32_t header_verdict(std::vector<uint8_t> d, jpeg::FrameHeader* header = nullptr) {
  InputSource src = InputSource::over_memory(d.data(), static_cast<int32_t>(d.size()));
  jpeg::FrameHeader read{};
  int32_t verdict = jpeg::read_header(src, read);
  if (header != nullptr) *header = read;
  return verdict;
}

class JpegWalk : public support::HeadlessTest {
 protected:
  void TearDown() override {
    rx_set_input_buffer(nullptr, 0);
    rx_set_decode_buffer(nullptr, 0);
    HeadlessTest::TearDown();
  }
  // Decodes from file and from memory: both must give the same result
  // and the same pixels.
  int32_t show(const std::vector<uint8_t>& d) {
    int32_t from_file = rx_show_jpeg(write_file("walk.jpg", d).c_str(), 0);
    std::vector<uint8_t> drawn = snapshot();
    int32_t from_memory = show_from_memory(d);
    EXPECT_EQ(from_file, from_memory);
    EXPECT_EQ(drawn, snapshot());
    return from_memory;
  }
  static std::vector<uint8_t> snapshot() {
    const LibraryState& s = state();
    return {s.active_pixels,
            s.active_pixels + static_cast<size_t>(s.active_bytes_per_row) * s.active_height};
  }
  static void blank() {
    const LibraryState& s = state();
    std::memset(s.active_pixels, 0x5A, static_cast<size_t>(s.active_bytes_per_row) * s.active_height);
  }
};

// The caller's sequence: header, buffer size, that memory installed, decode.
TEST_F(JpegWalk, FillBytesBeforeEveryMarker) {
  struct Case {
    const char* name;
    std::vector<uint8_t> plain;
    uint8_t luma_sampling;
  };
  const Case cases[] = {
      {"gray with restarts", picture(40, 24, 1, 1, 1, 2), 0x11},
      {"4:2:0 with restarts", picture(40, 40, 3, 2, 2, 1), 0x22},
      {"wide 4:4:4", picture(448, 16, 3, 1, 1), 0x11},  // more than the built-in buffer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_GE(make_buffer(24, 448, 48), 0);
    blank();
    JpegInfo plain_info{};
    ASSERT_EQ(rx_jpeg_header(write_file("plain.jpg", c.plain).c_str(), &plain_info), 0);
    int32_t size = rx_jpeg_buffer_size(&plain_info);
    std::vector<uint8_t> memory(static_cast<size_t>(size));
    rx_set_decode_buffer(memory.data(), size);
    ASSERT_EQ(show(c.plain), 0);
    std::vector<uint8_t> expected = snapshot();
    for (int count : {1, 4}) {
      SCOPED_TRACE(count);
      std::vector<uint8_t> filled = with_fill(c.plain, count);
      ASSERT_GT(filled.size(), c.plain.size());
      JpegInfo info{};
      ASSERT_EQ(rx_jpeg_header(write_file("filled.jpg", filled).c_str(), &info), 0);
      EXPECT_EQ(std::memcmp(&info, &plain_info, sizeof info), 0);
      EXPECT_EQ(info.sampling[0], c.luma_sampling);
      EXPECT_EQ(header_verdict(filled), 0);
      rx_set_decode_buffer(nullptr, 0);
      int32_t filled_size = rx_jpeg_buffer_size(&info);
      EXPECT_EQ(filled_size, size);
      std::vector<uint8_t> filled_memory(static_cast<size_t>(filled_size));
      rx_set_decode_buffer(filled_memory.data(), filled_size);
      blank();
      EXPECT_EQ(show(filled), 0);
      EXPECT_EQ(snapshot(), expected);
    }
    rx_set_decode_buffer(nullptr, 0);
  }
}

// Streams on which the header reader and the decoder disagreed: now the
// header fails exactly where the decoder fails before or at the frame.
TEST_F(JpegWalk, HeaderAndDecoderJudgeStreamsAlike) {
  std::vector<uint8_t> d = picture(16, 16, 3, 1, 1);
  auto patched = [&d](uint8_t marker, size_t offset, uint8_t value) {
    std::vector<uint8_t> p = d;
    p[find(d, marker) + 4 + offset] = value;
    return p;
  };
  std::vector<uint8_t> bad_dht = segment_of(d, 0xC4);
  bad_dht[4] = 0x20;  // class 2
  std::vector<uint8_t> progressive = segment_of(d, 0xC0);
  progressive[1] = 0xC2;
  std::vector<uint8_t> no_marker = d;
  no_marker.insert(no_marker.begin() + static_cast<long>(find(d, 0xC0)), 0x00);
  std::vector<uint8_t> long_frame = d;
  long_frame[find(d, 0xC0) + 3] += 1;
  JpegStream rgb;
  rgb.ids[0] = 'R', rgb.ids[1] = 'G', rgb.ids[2] = 'B';
  std::vector<uint8_t> cut_in_fill(d.begin(), d.begin() + static_cast<long>(find(d, 0xC0)));
  cut_in_fill.insert(cut_in_fill.end(), {0xFF, 0xFF, 0xFF});
  struct Case {
    const char* name;
    std::vector<uint8_t> stream;
    int32_t decoded;  // rx_show_jpeg's result
  };
  const Case cases[] = {
      {"fill bytes before the frame", with_fill(d, 2), RX_OK},
      {"a second SOI", after_soi(d, {0xFF, 0xD8}), RX_OK},
      {"four components", after_soi(d, {0xFF, 0xC0, 0, 20, 8, 0, 16, 0, 16, 4, 1, 0x11, 0, 2,
                                        0x11, 0, 3, 0x11, 0, 4, 0x11, 0}),
       RX_JPEG_UNSUPPORTED_FRAME},
      {"RGB identifiers", write_jpeg(rgb, [](int, int, int, int16_t*) {}), RX_JPEG_UNSUPPORTED_FRAME},
      {"12-bit samples", patched(0xC0, 0, 12), RX_JPEG_UNSUPPORTED_FRAME},
      {"zero vertical factor", patched(0xC0, 6 + 1, 0x10), RX_JPEG_UNSUPPORTED_SAMPLING},
      {"chroma finer than luma", patched(0xC0, 6 + 3 + 1, 0x22), RX_JPEG_UNSUPPORTED_SAMPLING},
      {"frame length past its fields", long_frame, RX_JPEG_BAD_LENGTH},
      {"16-bit quantisation entries", patched(0xDB, 0, 0x10), RX_JPEG_BAD_QUANT_TABLE},
      {"Huffman class 2 before the frame", after_soi(d, bad_dht), RX_JPEG_BAD_HUFFMAN_TABLE},
      {"no 0xFF before the frame marker", no_marker, RX_JPEG_MARKER_EXPECTED},
      {"scan before the frame", after_soi(d, segment_of(d, 0xDA)), RX_JPEG_NOT_BASELINE},
      {"progressive frame first", after_soi(d, progressive), RX_JPEG_NOT_BASELINE},
      {"restart segment of 3 bytes", after_soi(d, {0xFF, 0xDD, 0, 5, 0, 1, 0}), RX_JPEG_BAD_LENGTH},
      {"input ends in fill bytes", cut_in_fill, RX_JPEG_TRUNCATED},
  };
  ASSERT_GE(make_buffer(24, 16, 16), 0);
  std::vector<uint8_t> memory(1 << 14);
  rx_set_decode_buffer(memory.data(), static_cast<int32_t>(memory.size()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(show(c.stream), c.decoded);
    EXPECT_EQ(header_verdict(c.stream), c.decoded);
    JpegInfo info{};
    EXPECT_EQ(rx_jpeg_header(write_file("judged.jpg", c.stream).c_str(), &info),
              c.decoded == RX_OK ? RX_OK : RX_ERR_RESOURCE);
  }
}

// A segment longer than the header reader's read area is moved over, and
// one that the file ends inside is refused, by both.
TEST_F(JpegWalk, LongSegmentBeforeTheFrame) {
  JpegStream js;
  js.app_bytes = 3 * kScratchSize + 17;
  std::vector<uint8_t> d = write_jpeg(js, jpeg_test::dc_blocks(shade));
  ASSERT_GE(make_buffer(24, 16, 16), 0);
  JpegInfo info{};
  EXPECT_EQ(rx_jpeg_header(write_file("long.jpg", d).c_str(), &info), RX_OK);
  EXPECT_EQ(info.width, 16);
  EXPECT_EQ(show(d), RX_OK);
  std::vector<uint8_t> cut(d.begin(), d.begin() + 2 + 4 + 2 * kScratchSize);
  EXPECT_EQ(rx_jpeg_header(write_file("long_cut.jpg", cut).c_str(), &info), RX_ERR_RESOURCE);
  EXPECT_EQ(header_verdict(cut), RX_JPEG_TRUNCATED);
  EXPECT_EQ(show(cut), RX_JPEG_TRUNCATED);
}

// EOI before any frame: the decoder draws nothing and reports the picture
// complete; the header reader has no size to give.
TEST_F(JpegWalk, EndBeforeTheFrame) {
  std::vector<uint8_t> d = after_soi(picture(16, 16, 3, 1, 1), {0xFF, 0xFF, 0xD9});
  ASSERT_GE(make_buffer(24, 16, 16), 0);
  blank();
  std::vector<uint8_t> before = snapshot();
  EXPECT_EQ(show(d), RX_OK);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(header_verdict(d), jpeg::kNoFrameHeader);
  JpegInfo info{};
  EXPECT_EQ(rx_jpeg_header(write_file("eoi.jpg", d).c_str(), &info), RX_ERR_RESOURCE);
}

// The header reader checks the tables before the frame but keeps none:
// a later picture without tables decodes with the earlier picture's.
TEST_F(JpegWalk, HeaderLeavesTheDecoderTablesAlone) {
  JpegStream js;
  js.components = 1;
  std::vector<uint8_t> first = write_jpeg(js, jpeg_test::dc_blocks(shade));
  js.quant = 5;
  std::vector<uint8_t> other = write_jpeg(js, jpeg_test::dc_blocks(shade));
  // The first picture without its DQT and DHT segments.
  std::vector<uint8_t> bare = first;
  for (uint8_t marker : {uint8_t{0xDB}, uint8_t{0xC4}}) {
    size_t at = find(bare, marker);
    size_t length = static_cast<size_t>(bare[at + 2] << 8 | bare[at + 3]);
    bare.erase(bare.begin() + static_cast<long>(at), bare.begin() + static_cast<long>(at + 2 + length));
  }
  ASSERT_GE(make_buffer(24, 16, 16), 0);
  ASSERT_EQ(show(first), 0);
  std::vector<uint8_t> expected = snapshot();
  blank();
  JpegInfo info{};
  ASSERT_EQ(rx_jpeg_header(write_file("other.jpg", other).c_str(), &info), 0);
  ASSERT_EQ(show(bare), 0);
  EXPECT_EQ(snapshot(), expected);
}

}  // namespace
}  // namespace rx
