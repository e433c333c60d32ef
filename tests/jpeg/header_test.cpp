// rx_jpeg_header and rx_jpeg_buffer_size.
#include <cstring>

#include "jpeg_test_util.h"
#include "support/headless_fixture.h"

namespace rx {
namespace {

using jpeg_test::write_file;
using support::JpegStream;
using support::write_jpeg;

std::vector<uint8_t> stream(int w, int h, int components, int lh, int lv) {
  JpegStream js;
  js.width = w, js.height = h, js.components = components, js.luma_h = lh, js.luma_v = lv;
  return write_jpeg(js, [](int, int, int, int16_t*) {});
}

size_t sof_offset(const std::vector<uint8_t>& d) {
  for (size_t i = 2; i + 1 < d.size(); ++i)
    if (d[i] == 0xFF && d[i + 1] == 0xC0) return i;
  return 0;
}

JpegInfo poisoned() {
  JpegInfo info;
  std::memset(&info, 0x5A, sizeof info);
  return info;
}

bool same(const JpegInfo& a, const JpegInfo& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(JpegHeader, ReadsSizeComponentsAndSampling) {
  JpegInfo info = poisoned();
  ASSERT_EQ(rx_jpeg_header(write_file("h420.jpg", stream(40, 24, 3, 2, 2)).c_str(), &info), 0);
  EXPECT_EQ(info.signature, 0xFFD8);
  EXPECT_EQ(info.width, 40);
  EXPECT_EQ(info.height, 24);
  EXPECT_EQ(info.components, 3);
  EXPECT_EQ(info.sampling[0], 0x22);
  EXPECT_EQ(info.sampling[1], 0x11);
  EXPECT_EQ(info.sampling[2], 0x11);

  info = poisoned();
  ASSERT_EQ(rx_jpeg_header(write_file("hgray.jpg", stream(9, 7, 1, 1, 1)).c_str(), &info), 0);
  EXPECT_EQ(info.components, 1);
  EXPECT_EQ(info.sampling[0], 0x11);
  EXPECT_EQ(info.sampling[1], 0);
  EXPECT_EQ(info.sampling[2], 0);
}

TEST(JpegHeader, StepsOverMarkersWithoutLength) {
  std::vector<uint8_t> d = stream(16, 8, 3, 1, 1);
  std::vector<uint8_t> standalone = d;
  standalone.insert(standalone.begin() + 2, {0xFF, 0xD0, 0xFF, 0xD7, 0xFF, 0xD8});
  JpegInfo info{};
  ASSERT_EQ(rx_jpeg_header(write_file("hrst.jpg", standalone).c_str(), &info), 0);
  EXPECT_EQ(info.width, 16);
  // EOI ends the picture, as it ends the decoder's walk: no frame header.
  std::vector<uint8_t> ended = d;
  ended.insert(ended.begin() + 2, {0xFF, 0xD9});
  EXPECT_EQ(rx_jpeg_header(write_file("heoi.jpg", ended).c_str(), &info), -2);
}

TEST(JpegHeader, FailuresLeaveTheRecordAlone) {
  const JpegInfo before = poisoned();
  JpegInfo info = before;
  EXPECT_EQ(rx_jpeg_header((::testing::TempDir() + "rx_jpeg_missing.jpg").c_str(), &info), -1);
  std::vector<uint8_t> d = stream(16, 8, 3, 1, 1);
  std::vector<uint8_t> progressive = d;
  progressive[sof_offset(d) + 1] = 0xC2;  // SOF2: skipped, no SOF0 anywhere
  EXPECT_EQ(rx_jpeg_header(write_file("hprog.jpg", progressive).c_str(), &info), -2);
  for (size_t cut : {size_t{1}, size_t{2}, size_t{3}, sof_offset(d) + 2, sof_offset(d) + 12}) {
    std::vector<uint8_t> shortened(d.begin(), d.begin() + cut);
    EXPECT_EQ(rx_jpeg_header(write_file("hcut.jpg", shortened).c_str(), &info), -2) << cut;
  }
  std::vector<uint8_t> not_jpeg = d;
  not_jpeg[1] = 0xD9;
  EXPECT_EQ(rx_jpeg_header(write_file("hnot.jpg", not_jpeg).c_str(), &info), -2);
  // A zero segment length would step back onto itself forever.
  std::vector<uint8_t> zero = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0xFF, 0xC0};
  EXPECT_EQ(rx_jpeg_header(write_file("hzero.jpg", zero).c_str(), &info), -2);
  EXPECT_TRUE(same(info, before));
}

TEST(JpegHeader, OddComponentCountsStayInsideTheRecord) {
  struct Guarded {
    uint8_t before[8];
    JpegInfo info;
    uint8_t after[8];
  } g;
  std::memset(&g, 0x77, sizeof g);
  // Four components are refused, as the decoder refuses them.
  std::vector<uint8_t> d = {0xFF, 0xD8, 0xFF, 0xC0, 0, 20, 8, 0, 8, 0, 8, 4,
                            1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1, 4, 0x11, 1};
  ASSERT_EQ(rx_jpeg_header(write_file("hcmyk.jpg", d).c_str(), &g.info), -2);
  for (uint8_t b : g.before) EXPECT_EQ(b, 0x77);
  for (uint8_t b : g.after) EXPECT_EQ(b, 0x77);
  EXPECT_EQ(g.info.components, 0x77);
  // Identifiers numbered from 0 are read by position.
  std::vector<uint8_t> zero_based = {0xFF, 0xD8, 0xFF, 0xC0, 0, 17, 8, 0, 8, 0, 8, 3,
                                     0, 0x21, 0, 1, 0x11, 1, 2, 0x11, 1};
  ASSERT_EQ(rx_jpeg_header(write_file("hzb.jpg", zero_based).c_str(), &g.info), 0);
  EXPECT_EQ(g.info.sampling[0], 0x21);
  EXPECT_EQ(g.info.sampling[1], 0x11);
}

TEST(JpegBufferSize, StripOfMinimumCodedUnits) {
  JpegInfo info{0xFFD8, 640, 480, 3, {0x22, 0x11, 0x11}};
  EXPECT_EQ(rx_jpeg_buffer_size(&info), 640 * 3 * 16);
  info.sampling[0] = 0x11;
  EXPECT_EQ(rx_jpeg_buffer_size(&info), 15360);
  info.width = 641;
  info.sampling[0] = 0x21;
  EXPECT_EQ(rx_jpeg_buffer_size(&info), 656 * 3 * 8);
  info.sampling[0] = 0x20;  // zero factor: no size, no division by zero
  EXPECT_EQ(rx_jpeg_buffer_size(&info), 0);
  JpegInfo blank{};
  EXPECT_EQ(rx_jpeg_buffer_size(&blank), 0);
  EXPECT_EQ(rx_jpeg_buffer_size(nullptr), 0);
}

class JpegBufferTest : public support::HeadlessTest {};

TEST_F(JpegBufferTest, ExactSizeDecodesOneByteLessIsRefused) {
  for (auto [lh, lv] : {std::pair{2, 2}, std::pair{1, 1}, std::pair{2, 1}}) {
    std::string path = write_file("hbuf.jpg", stream(50, 20, 3, lh, lv));
    JpegInfo info{};
    ASSERT_EQ(rx_jpeg_header(path.c_str(), &info), 0);
    int32_t size = rx_jpeg_buffer_size(&info);
    ASSERT_GT(size, 0);
    ASSERT_GE(support::make_buffer(24, 50, 20), 0);
    std::vector<uint8_t> memory(static_cast<size_t>(size));
    rx_set_decode_buffer(memory.data(), size);
    EXPECT_EQ(rx_show_jpeg(path.c_str(), 0), 0);
    rx_set_decode_buffer(memory.data(), size - 1);
    EXPECT_EQ(rx_show_jpeg(path.c_str(), 0), RX_JPEG_BUFFER_TOO_SMALL);
    rx_set_decode_buffer(nullptr, 0);
  }
}

}  // namespace
}  // namespace rx
