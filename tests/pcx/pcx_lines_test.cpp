// Run-length decoding of scan lines: runs across lines, empty runs,
// truncated data, and file reading through small InputBuffers.
#include "pcx/pcx_test_support.h"

namespace rx::pcxtest {
namespace {

class PcxLines : public support::HeadlessTest {
 protected:
  void SetUp() override {
    support::HeadlessTest::SetUp();
    ASSERT_GE(support::make_buffer(8, 4, 40), 0);
  }
  static constexpr int32_t kRawIndexes = RX_SHOW_NO_REDUCE | RX_SHOW_KEEP_PALETTE;
  Bytes row(int y, int width = 4) {
    return Bytes(active_row(y), active_row(y) + width);
  }
};

TEST_F(PcxLines, RunPastLineEndStartsTheNextLine) {
  Bytes file = with_data(picture(4, 3, 1, 8),
                         {0xC6, 0x21, 0x22, 0x23, 0x01, 0x02, 0x03, 0x04});
  ASSERT_EQ(show_from_memory(file, kRawIndexes), 0);
  EXPECT_EQ(row(0), (Bytes{0x21, 0x21, 0x21, 0x21}));
  EXPECT_EQ(row(1), (Bytes{0x21, 0x21, 0x22, 0x23}));
  EXPECT_EQ(row(2), (Bytes{0x01, 0x02, 0x03, 0x04}));
}

TEST_F(PcxLines, RunLongerThanSeveralLinesFillsThemInTurn) {
  // 63 bytes over 2-byte lines: 31 whole lines and half of the next.
  Bytes file = with_data(picture(2, 33, 1, 8), {0xFF, 0x05, 0x09, 0x07, 0x08});
  ASSERT_EQ(show_from_memory(file, kRawIndexes), 0);
  for (int y = 0; y < 31; ++y) ASSERT_EQ(row(y, 2), (Bytes{5, 5})) << y;
  EXPECT_EQ(row(31, 2), (Bytes{5, 9}));
  EXPECT_EQ(row(32, 2), (Bytes{7, 8}));
}

TEST_F(PcxLines, EmptyRunConsumesItsValue) {
  Bytes file = with_data(picture(4, 1, 1, 8), {0xC0, 0x55, 0x01, 0xC0, 0xC7, 0x02, 0xC2, 0x03});
  ASSERT_EQ(show_from_memory(file, kRawIndexes), 0);
  EXPECT_EQ(row(0), (Bytes{0x01, 0x02, 0x03, 0x03}));
}

TEST_F(PcxLines, TruncatedDataRedrawsTheLastBytes) {
  Bytes file = with_data(picture(4, 3, 1, 8), {1, 2, 3, 4, 9});
  EXPECT_EQ(show_from_memory(file, kRawIndexes), 0);
  EXPECT_EQ(row(1), (Bytes{9, 2, 3, 4}));
  EXPECT_EQ(row(2), (Bytes{9, 2, 3, 4}));
}

TEST_F(PcxLines, LongLineEndingInsideKeepsItsOldBytes) {
  // Long lines take the word-at-a-time path, whose stores run ahead of the
  // data; a second line of one short run, then only empty runs, must leave
  // the first line's bytes after the run.
  constexpr int kWidth = 200;
  ASSERT_GE(support::make_buffer(8, kWidth, 2), 0);
  Bytes data;
  for (int x = 0; x < kWidth; ++x) data.push_back(static_cast<uint8_t>(x % 100));
  data.insert(data.end(), {0xC3, 0x77});
  for (int n = 0; n < 300; ++n) data.insert(data.end(), {0xC0, 0x00});
  Bytes file = with_data(picture(kWidth, 2, 1, 8), data);
  ASSERT_EQ(show_from_memory(file, kRawIndexes), 0);
  Bytes expected = row(0, kWidth);
  expected[0] = expected[1] = expected[2] = 0x77;
  EXPECT_EQ(row(1, kWidth), expected);
}

TEST_F(PcxLines, DataEndingAfterTheWordPathKeepsTheOldBytes) {
  // The word-at-a-time path finishes its part of line 1 on the runs; the
  // data then ends in empty runs the careful path reads. The bytes the
  // words were stored ahead must be line 0's again.
  constexpr int kWidth = 100;
  ASSERT_GE(support::make_buffer(8, kWidth, 2), 0);
  Bytes data;
  for (int x = 1; x <= kWidth; ++x) data.push_back(static_cast<uint8_t>(x));
  for (int n = 0; n < 12; ++n) data.insert(data.end(), {0xC3, 0xAA});
  for (int n = 0; n < 92; ++n) data.insert(data.end(), {0xC0, 0x55});
  Bytes file = with_data(picture(kWidth, 2, 1, 8), data);
  for (int32_t size : {0, 100, 4096}) {
    if (size == 0) {
      ASSERT_EQ(show_from_memory(file, kRawIndexes), 0);
    } else {
      const std::string path = write_temp(file, "after_words.pcx");
      std::vector<uint8_t> buffer(static_cast<size_t>(size));
      rx_set_input_buffer(buffer.data(), size);
      ASSERT_EQ(rx_show_pcx(path.c_str(), kRawIndexes), 0);
      rx_set_input_buffer(nullptr, 0);
    }
    Bytes expected = row(0, kWidth);
    std::fill_n(expected.begin(), 36, 0xAA);
    EXPECT_EQ(row(1, kWidth), expected) << "input buffer " << size;
  }
}

TEST_F(PcxLines, MemoryModeStopsAtTheInstalledSize) {
  Bytes file = with_data(picture(4, 2, 1, 8), {1, 2, 3, 4, 9, 8, 7, 6});
  ASSERT_EQ(show_from_memory(file, kRawIndexes, 128 + 5), 0);
  EXPECT_EQ(row(1), (Bytes{9, 2, 3, 4}));
}

TEST_F(PcxLines, FileModeMatchesMemoryModeWhateverTheInputBufferSize) {
  PcxPicture p = picture(37, 23, 1, 8);
  for (size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = static_cast<uint8_t>(i * i / 7);
  p.palette = palette256();
  Bytes file = support::encode_pcx(p);
  const std::string path = write_temp(file, "lines.pcx");
  ASSERT_GE(support::make_buffer(16, 40, 23), 0);
  ASSERT_EQ(show_from_memory(file), 0);
  Bytes expected;
  for (int y = 0; y < 23; ++y) expected.insert(expected.end(), active_row(y), active_row(y) + 74);
  for (int32_t size : {1, 2, 7, 4096, 100000}) {
    Bytes input(static_cast<size_t>(size));
    rx_set_input_buffer(input.data(), size);
    fill_active(0);
    ASSERT_EQ(rx_show_pcx(path.c_str(), 0), 0) << size;
    Bytes got;
    for (int y = 0; y < 23; ++y) got.insert(got.end(), active_row(y), active_row(y) + 74);
    EXPECT_EQ(got, expected) << "InputBuffer of " << size << " bytes";
  }
}

}  // namespace
}  // namespace rx::pcxtest
