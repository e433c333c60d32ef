// rx_pcx_header: the header facts and the checks of rx_show_pcx, from a
// file and from memory.
#include "pcx_test_support.h"

namespace rx::pcxtest {
namespace {

using PcxInfoTest = support::HeadlessTest;

TEST_F(PcxInfoTest, ReadsTheHeaderFromFileAndMemoryAlike) {
  PcxPicture p = picture(33, 7, 1, 8);
  p.min_x = 5;
  p.min_y = 9;
  p.palette = palette256();
  Bytes file = support::encode_pcx(p);
  file[2] = 0;  // an encoding byte other than 1 is read all the same
  std::string path = write_temp(file, "info256.pcx");
  PcxInfo from_file{}, from_memory{};
  ASSERT_EQ(rx_pcx_header(path.c_str(), 0, &from_file), RX_OK);
  rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
  ASSERT_EQ(rx_pcx_header(nullptr, RX_SHOW_FROM_MEMORY, &from_memory), RX_OK);
  for (const PcxInfo& h : {from_file, from_memory}) {
    EXPECT_EQ(h.version, 5);
    EXPECT_EQ(h.encoding, 0);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bits_per_plane, 8);
    EXPECT_EQ(h.min_x, 5);
    EXPECT_EQ(h.min_y, 9);
    EXPECT_EQ(h.width, 33);
    EXPECT_EQ(h.height, 7);
    EXPECT_EQ(h.bytes_per_line, 34);
    EXPECT_EQ(h.colors, 256);
    EXPECT_EQ(h.end_palette, 1);
  }
}

TEST_F(PcxInfoTest, NamesEachVariant) {
  struct Case {
    int planes, bits, colors;
  } cases[] = {{1, 1, 2}, {4, 1, 16}, {1, 8, 256}, {3, 8, 0}};
  for (const Case& c : cases) {
    Bytes file = support::encode_pcx(picture(16, 2, c.planes, c.bits));
    rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
    PcxInfo h{};
    EXPECT_EQ(rx_pcx_header(nullptr, RX_SHOW_FROM_MEMORY, &h), RX_OK);
    EXPECT_EQ(h.colors, c.colors) << c.planes << " planes of " << c.bits;
    EXPECT_EQ(h.end_palette, 0);
  }
}

TEST_F(PcxInfoTest, ChecksAsShowDoesAndStillFillsTheRecord) {
  Bytes unsound = support::encode_pcx(picture(16, 2, 1, 8));
  unsound[8] = 0, unsound[9] = 0;  // maximum x 0 below ...
  unsound[4] = 3;                  // ... minimum x 3
  Bytes two_bit = support::encode_pcx(picture(16, 2, 1, 8));
  two_bit[3] = 2;
  Bytes short_lines = support::encode_pcx(picture(16, 2, 1, 8));
  short_lines[66] = 4, short_lines[67] = 0;
  Bytes rgba = support::encode_pcx(picture(16, 2, 4, 8));
  Bytes long_lines = support::encode_pcx(picture(16, 2, 3, 8));
  long_lines[66] = 0, long_lines[67] = 0x10;  // 3 x 4096 bytes a line
  struct Case {
    Bytes* file;
    int32_t result;
  } cases[] = {{&unsound, RX_PCX_BAD_SIZE},
               {&two_bit, RX_PCX_UNSUPPORTED},
               {&rgba, RX_PCX_UNSUPPORTED},
               {&short_lines, RX_PCX_BAD_SIZE},
               {&long_lines, RX_PCX_LINE_TOO_LONG}};
  for (const Case& c : cases) {
    rx_set_input_buffer(c.file->data(), static_cast<int32_t>(c.file->size()));
    PcxInfo h{};
    EXPECT_EQ(rx_pcx_header(nullptr, RX_SHOW_FROM_MEMORY, &h), c.result);
    EXPECT_EQ(h.version, 5) << "filled although refused";
    if (c.result == RX_PCX_UNSUPPORTED) {
      EXPECT_EQ(h.colors, -1);
    }
  }
}

TEST_F(PcxInfoTest, RefusesWhatIsNotAPcxHeader) {
  PcxInfo h{};
  EXPECT_EQ(rx_pcx_header("/nonexistent/x.pcx", 0, &h), RX_PICTURE_CANNOT_OPEN);
  Bytes file = support::encode_pcx(picture(16, 2, 1, 8));
  rx_set_input_buffer(file.data(), 127);
  EXPECT_EQ(rx_pcx_header(nullptr, RX_SHOW_FROM_MEMORY, &h), RX_PICTURE_BAD_START);
  file[0] = 11;
  rx_set_input_buffer(file.data(), static_cast<int32_t>(file.size()));
  EXPECT_EQ(rx_pcx_header(nullptr, RX_SHOW_FROM_MEMORY, &h), RX_PICTURE_BAD_START);
  EXPECT_EQ(rx_pcx_header(nullptr, RX_SHOW_FROM_MEMORY, nullptr), RX_ERR_ARGUMENT);
}

}  // namespace
}  // namespace rx::pcxtest
