// rx_show_pcx: variants at every depth, placement and clipping, refusals.
#include "pcx/pcx_test_support.h"

namespace rx::pcxtest {
namespace {

class ShowPcx : public support::HeadlessTest {};

struct Kind {
  const char* name;
  int planes, bits, colors;
};

// Each variant of the header tests, including 2 planes of 1 bit, which is
// read as 2 colours from plane 0 alone.
constexpr Kind kKinds[] = {
    {"2 colours", 1, 1, 2},
    {"16 colours", 4, 1, 16},
    {"256 colours", 1, 8, 256},
    {"2 planes of 1 bit", 2, 1, 4},
};

TEST_F(ShowPcx, EveryIndexedVariantAtEveryDepth) {
  for (const Kind& kind : kKinds) {
    for (int bits : {8, 16, 24, 32}) {
      SCOPED_TRACE(std::string(kind.name) + " into " + std::to_string(bits) + " bits");
      support::reset_library();
      rx_set_dc(rx_headless_screen(640, 480, 32));
      rx_init();
      ASSERT_GE(support::make_buffer(bits, 16, 4), 0);
      PcxPicture p = picture(13, 3, kind.planes, kind.bits);
      for (int i = 0; i < 13 * 3; ++i) p.pixels[i] = static_cast<uint8_t>((i * 7) % kind.colors);
      if (kind.colors == 256) p.palette = palette256();
      Bytes file = support::encode_pcx(p);
      ASSERT_EQ(show_from_memory(file, RX_SHOW_NO_REDUCE), 0);
      for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 13; ++x) {
          int v = p.pixels[y * 13 + x];
          if (kind.planes == 2) v &= 1;  // plane 1 is not read
          const uint8_t* rgb = kind.colors == 256 ? &p.palette[3 * v] : &p.header_palette[3 * v];
          if (bits == 8)
            ASSERT_EQ(index_at(x, y), kind.colors == 256 ? v : 10 + v) << x << "," << y;
          else
            ASSERT_EQ(pixel_bytes(x, y), pixel_of(rgb[0], rgb[1], rgb[2])) << x << "," << y;
        }
      }
    }
  }
}

TEST_F(ShowPcx, FlatSpansAndRaggedTailsInto16Bits) {
  ASSERT_GE(support::make_buffer(16, 32, 2), 0);
  PcxPicture p = picture(29, 2, 1, 8);
  p.palette = palette256();
  for (int i = 0; i < 58; ++i) p.pixels[i] = static_cast<uint8_t>(i < 17 || i > 40 ? 9 : i);
  Bytes file = support::encode_pcx(p);
  ASSERT_EQ(show_from_memory(file), 0);
  for (int i = 0; i < 58; ++i) {
    const uint8_t* c = &p.palette[3 * p.pixels[i]];
    ASSERT_EQ(pixel_bytes(i % 29, i / 29), pixel_of(c[0], c[1], c[2])) << i;
  }
  EXPECT_EQ(value16_at(29, 0), 0);  // past the picture
}

TEST_F(ShowPcx, TrueColorDrawsItsOwnColoursAndLeavesThePalette) {
  PcxPicture p = picture(5, 2, 3, 8);
  for (size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = static_cast<uint8_t>(i * 23 + 1);
  Bytes file = support::encode_pcx(p);
  for (int bits : {16, 24, 32}) {
    ASSERT_GE(support::make_buffer(bits, 8, 2), 0);
    const auto before = entry(3);
    ASSERT_EQ(show_from_memory(file), 0);
    for (int i = 0; i < 10; ++i) {
      const uint8_t* c = &p.pixels[3 * i];
      ASSERT_EQ(pixel_bytes(i % 5, i / 5), pixel_of(c[0], c[1], c[2])) << bits;
    }
    EXPECT_EQ(entry(3), before);
    rx_buffer_release();
  }
  // 32-bit pixels get a zero fourth byte whatever the high byte.
  EXPECT_EQ(pixel_bytes(0, 0)[3], 0);
}

TEST_F(ShowPcx, TrueColorInto8BitIsRefusedUntouched) {
  ASSERT_GE(support::make_buffer(8, 8, 2), 0);
  fill_active(0x77);
  Bytes file = support::encode_pcx(picture(5, 2, 3, 8));
  EXPECT_EQ(show_from_memory(file), RX_PCX_UNSUPPORTED);
  EXPECT_EQ(index_at(0, 0), 0x77);
}

TEST_F(ShowPcx, UnknownBitsPerPlaneIsRefused) {
  ASSERT_GE(support::make_buffer(16, 8, 2), 0);
  PcxPicture p = picture(5, 2, 1, 8);
  Bytes file = support::encode_pcx(p);
  file[3] = 4;
  EXPECT_EQ(show_from_memory(file), RX_PCX_UNSUPPORTED);
}

TEST_F(ShowPcx, FourPlanesOfEightBitsAreRefusedAtEveryDepth) {
  // Colour with alpha, as some writers store it: not 16 colours.
  PcxPicture p = picture(5, 2, 4, 8);
  for (size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = static_cast<uint8_t>(i * 29);
  Bytes file = support::encode_pcx(p);
  for (int bits : {8, 16, 24, 32}) {
    ASSERT_GE(support::make_buffer(bits, 8, 2), 0);
    fill_active(0x5A);
    const auto before = entry(10);
    EXPECT_EQ(show_from_memory(file), RX_PCX_UNSUPPORTED) << bits;
    EXPECT_EQ(pixel_bytes(0, 0), Bytes(bits / 8, 0x5A)) << bits;
    EXPECT_EQ(entry(10), before) << bits;
    rx_buffer_release();
  }
}

TEST_F(ShowPcx, OddWidthDrawsNeitherPaddingNorBeyond) {
  ASSERT_GE(support::make_buffer(8, 16, 8), 0);
  fill_active(0xEE);
  PcxPicture p = picture(13, 5, 1, 8);  // 14 bytes per line
  std::fill(p.pixels.begin(), p.pixels.end(), 0x42);
  Bytes file = support::encode_pcx(p);
  ASSERT_EQ(show_from_memory(file, RX_SHOW_NO_REDUCE | RX_SHOW_KEEP_PALETTE), 0);
  EXPECT_EQ(index_at(12, 4), 0x42);
  EXPECT_EQ(index_at(13, 0), 0xEE);  // where the padding byte would go
  EXPECT_EQ(index_at(0, 5), 0xEE);
}

TEST_F(ShowPcx, ClipsAtRightAndBottomEdges) {
  ASSERT_GE(support::make_buffer(8, 16, 8), 0);
  PcxPicture p = picture(20, 10, 1, 8);
  p.min_x = 10;
  p.min_y = 4;
  for (int i = 0; i < 200; ++i) p.pixels[i] = static_cast<uint8_t>(i);
  Bytes file = support::encode_pcx(p);
  ASSERT_EQ(show_from_memory(file, RX_SHOW_NO_REDUCE | RX_SHOW_KEEP_PALETTE), 0);
  EXPECT_EQ(index_at(10, 4), 0);
  EXPECT_EQ(index_at(15, 4), 5);
  EXPECT_EQ(index_at(15, 7), 3 * 20 + 5);
  EXPECT_EQ(index_at(9, 4), 0);  // left of the picture: untouched (buffers start zeroed)
}

TEST_F(ShowPcx, PictureWhollyOutsideGetsItsOwnResult) {
  ASSERT_GE(support::make_buffer(8, 16, 8), 0);
  fill_active(0xEE);
  PcxPicture p = picture(4, 2, 1, 8);
  p.min_x = 16;
  Bytes right = support::encode_pcx(p);
  EXPECT_EQ(show_from_memory(right), RX_PCX_OUTSIDE);
  p.min_x = 0;
  p.min_y = 8;
  Bytes below = support::encode_pcx(p);
  EXPECT_EQ(show_from_memory(below), RX_PCX_OUTSIDE);
  rx_move_to(-4, 0);
  EXPECT_EQ(show_from_memory(below, RX_SHOW_AT_POSITION), RX_PCX_OUTSIDE);
  EXPECT_EQ(index_at(0, 0), 0xEE);
}

TEST_F(ShowPcx, AtPositionPlacesUpperLeftCornerAndClipsNegativeOnes) {
  ASSERT_GE(support::make_buffer(8, 16, 8), 0);
  PcxPicture p = picture(6, 4, 1, 8);
  p.min_x = 50;
  p.min_y = 60;
  for (int i = 0; i < 24; ++i) p.pixels[i] = static_cast<uint8_t>(i + 1);
  Bytes file = support::encode_pcx(p);
  const int32_t flags = RX_SHOW_AT_POSITION | RX_SHOW_NO_REDUCE | RX_SHOW_KEEP_PALETTE;
  rx_move_to(3, 2);
  ASSERT_EQ(show_from_memory(file, flags), 0);
  EXPECT_EQ(index_at(3, 2), 1);
  EXPECT_EQ(index_at(8, 5), 24);
  fill_active(0);
  rx_move_to(-2, -1);
  ASSERT_EQ(show_from_memory(file, flags), 0);
  EXPECT_EQ(index_at(0, 0), 1 * 6 + 2 + 1);
  EXPECT_EQ(index_at(3, 2), 24);
  EXPECT_EQ(index_at(4, 0), 0);
}

TEST_F(ShowPcx, NonsenseSizesAreRefused) {
  ASSERT_GE(support::make_buffer(8, 16, 8), 0);
  PcxPicture p = picture(0, 2, 1, 8);  // maximum x below minimum x
  p.min_x = 5;
  Bytes inverted = support::encode_pcx(p);
  EXPECT_EQ(show_from_memory(inverted), RX_PCX_BAD_SIZE);
  PcxPicture narrow = picture(20, 2, 1, 8);
  narrow.bytes_per_line = 10;  // a line that cannot hold the width
  Bytes short_lines = support::encode_pcx(narrow);
  EXPECT_EQ(show_from_memory(short_lines), RX_PCX_BAD_SIZE);
  PcxPicture planes = picture(4, 2, 4, 1);
  Bytes no_plane = support::encode_pcx(planes);
  no_plane[65] = 0;
  EXPECT_EQ(show_from_memory(no_plane), RX_PCX_BAD_SIZE);
}

TEST_F(ShowPcx, LineLongerThanScratchIsRefused) {
  ASSERT_GE(support::make_buffer(8, 16, 8), 0);
  PcxPicture p = picture(10179, 1, 1, 8);
  p.bytes_per_line = 10179;  // + 62 carried bytes = 10241
  Bytes file = support::encode_pcx(p);
  EXPECT_EQ(show_from_memory(file), RX_PCX_LINE_TOO_LONG);
  p.width = p.bytes_per_line = 10178;
  p.pixels.resize(10178);
  Bytes fits = support::encode_pcx(p);
  EXPECT_EQ(show_from_memory(fits, RX_SHOW_KEEP_PALETTE), 0);
}

TEST_F(ShowPcx, BadStartsAndMissingFiles) {
  ASSERT_GE(support::make_buffer(16, 16, 8), 0);
  Bytes file = support::encode_pcx(picture(4, 2, 1, 8));
  EXPECT_EQ(show_from_memory(file, 0, 127), RX_PICTURE_BAD_START);
  file[0] = 11;
  EXPECT_EQ(show_from_memory(file), RX_PICTURE_BAD_START);
  EXPECT_EQ(rx_show_pcx("no/such/picture.pcx", 0), RX_PICTURE_CANNOT_OPEN);
  const std::string short_file = write_temp(Bytes(100, 10), "short.pcx");
  EXPECT_EQ(rx_show_pcx(short_file.c_str(), 0), RX_PICTURE_BAD_START);
  EXPECT_EQ(state().current_file, -1);
}

TEST_F(ShowPcx, NothingHappensWithoutActiveBuffer) {
  EXPECT_EQ(rx_show_pcx("no/such/picture.pcx", 0), 0);
}

}  // namespace
}  // namespace rx::pcxtest
