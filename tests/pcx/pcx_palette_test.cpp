// The palette step: trailing 256-colour palette or header colours, where
// they go at each depth, and the 8-bit colour reduction that follows.
#include "pcx/pcx_test_support.h"

namespace rx::pcxtest {
namespace {

class PcxPalette : public support::HeadlessTest {
 protected:
  // A 16 x 16 picture using each of the 256 file colours once.
  static PcxPicture all_colours() {
    PcxPicture p = picture(16, 16, 1, 8);
    for (int i = 0; i < 256; ++i) p.pixels[i] = static_cast<uint8_t>(i);
    p.palette = palette256();
    return p;
  }
  static std::array<uint8_t, 3> file_colour(const Bytes& palette, int i) {
    return {palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]};
  }
};

TEST_F(PcxPalette, TrailingPaletteFillsEveryEntryOfDeeperBuffers) {
  ASSERT_GE(support::make_buffer(16, 16, 16), 0);
  PcxPicture p = all_colours();
  Bytes file = support::encode_pcx(p);
  ASSERT_EQ(show_from_memory(file), 0);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(entry(i), file_colour(p.palette, i)) << i;
    const uint8_t* c = &p.palette[3 * i];
    ASSERT_EQ(pixel_bytes(i % 16, i / 16), pixel_of(c[0], c[1], c[2])) << i;
  }
}

TEST_F(PcxPalette, MemoryModeTakesThePaletteFromTheInstalledSize) {
  ASSERT_GE(support::make_buffer(16, 16, 16), 0);
  PcxPicture p = all_colours();
  Bytes file = support::encode_pcx(p);
  const int32_t exact = static_cast<int32_t>(file.size());
  file.resize(file.size() + 10, 0);  // caller memory runs on past the file
  ASSERT_EQ(show_from_memory(file, 0, exact), 0);
  EXPECT_EQ(entry(200), file_colour(p.palette, 200));
  // Installed too long, the last 769 bytes are not the palette: header colours.
  ASSERT_EQ(show_from_memory(file, 0, exact + 10), 0);
  EXPECT_EQ(entry(3), (std::array<uint8_t, 3>{49, 207, 27}));
  EXPECT_EQ(entry(200), file_colour(p.palette, 200));  // untouched
}

TEST_F(PcxPalette, DamagedMarkerFallsBackToHeaderColoursInFileMode) {
  ASSERT_GE(support::make_buffer(16, 16, 16), 0);
  PcxPicture p = all_colours();
  Bytes file = support::encode_pcx(p);
  file[file.size() - 769] = 13;
  const std::string path = write_temp(file, "marker.pcx");
  ASSERT_EQ(rx_show_pcx(path.c_str(), 0), 0);
  for (int i = 0; i < 16; ++i)
    ASSERT_EQ(entry(i), file_colour(Bytes(p.header_palette.begin(), p.header_palette.end()), i));
  const uint8_t* c = &p.header_palette[3 * 3];
  EXPECT_EQ(pixel_bytes(3, 0), pixel_of(c[0], c[1], c[2]));
}

TEST_F(PcxPalette, OnlyVersionFiveLooksForTheTrailingPalette) {
  ASSERT_GE(support::make_buffer(16, 16, 16), 0);
  PcxPicture p = all_colours();
  p.version = 3;
  Bytes file = support::encode_pcx(p);
  ASSERT_EQ(show_from_memory(file), 0);
  EXPECT_EQ(entry(0), (std::array<uint8_t, 3>{1, 255, 3}));
}

TEST_F(PcxPalette, SixteenColoursGoToEntriesTenOnIn8BitBuffers) {
  ASSERT_GE(support::make_buffer(8, 16, 2), 0);
  const auto before = entry(26);
  PcxPicture p = picture(16, 1, 4, 1);
  for (int i = 0; i < 16; ++i) p.pixels[i] = static_cast<uint8_t>(i);
  Bytes file = support::encode_pcx(p);
  ASSERT_EQ(show_from_memory(file), 0);
  for (int i = 0; i < 16; ++i) {
    ASSERT_EQ(index_at(i, 0), 10 + i);
    ASSERT_EQ(entry(10 + i)[0], p.header_palette[3 * i]);
  }
  EXPECT_EQ(entry(26), before);
}

TEST_F(PcxPalette, BlankTwoColourPaletteDrawsBlackAndWhite) {
  // Both entries black, as some writers leave a 1-bit picture's header;
  // two alike white ones the same; two different ones are kept.
  struct Case {
    uint8_t first, second;
    std::array<uint8_t, 3> zero, one;
  } cases[] = {{0, 0, {0, 0, 0}, {255, 255, 255}},
               {255, 255, {0, 0, 0}, {255, 255, 255}},
               {200, 40, {200, 200, 200}, {40, 40, 40}}};
  for (const Case& c : cases) {
    PcxPicture p = picture(13, 2, 1, 1);
    p.header_palette.fill(0);
    std::fill_n(&p.header_palette[0], 3, c.first);
    std::fill_n(&p.header_palette[3], 3, c.second);
    p.header_palette[6] = 77;  // the third entry stays as it is
    for (int i = 0; i < 26; ++i) p.pixels[i] = static_cast<uint8_t>(i % 3 == 0);
    Bytes file = support::encode_pcx(p);
    for (int bits : {8, 16, 24, 32}) {
      SCOPED_TRACE(std::to_string(c.first) + "/" + std::to_string(c.second) + " into " +
                   std::to_string(bits) + " bits");
      ASSERT_GE(support::make_buffer(bits, 16, 2), 0);
      ASSERT_EQ(show_from_memory(file), 0);
      const int base = bits == 8 ? 10 : 0;
      EXPECT_EQ(entry(base), c.zero);
      EXPECT_EQ(entry(base + 1), c.one);
      EXPECT_EQ(entry(base + 2)[0], 77);
      for (int i = 0; i < 26; ++i) {
        const auto& rgb = p.pixels[i] ? c.one : c.zero;
        if (bits == 8)
          ASSERT_EQ(index_at(i % 13, i / 13), base + p.pixels[i]) << i;
        else
          ASSERT_EQ(pixel_bytes(i % 13, i / 13), pixel_of(rgb[0], rgb[1], rgb[2])) << i;
      }
      rx_buffer_release();
    }
  }
}

TEST_F(PcxPalette, NoReduceKeepsFileIndexesAndLoadsTheFreeEntries) {
  ASSERT_GE(support::make_buffer(8, 16, 16), 0);
  const auto low = entry(5), high = entry(250);
  PcxPicture p = all_colours();
  Bytes file = support::encode_pcx(p);
  ASSERT_EQ(show_from_memory(file, RX_SHOW_NO_REDUCE), 0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(index_at(i % 16, i / 16), i);
  for (int i = 10; i < 246; ++i) ASSERT_EQ(entry(i), file_colour(p.palette, i)) << i;
  EXPECT_EQ(entry(5), low);
  EXPECT_EQ(entry(250), high);
}

TEST_F(PcxPalette, ReductionFitsTheColoursIntoTheFreeEntries) {
  ASSERT_GE(support::make_buffer(8, 16, 16), 0);
  PcxPicture p = all_colours();
  // 20 colours repeat others exactly, so merging them loses nothing.
  for (int k = 0; k < 20; ++k)
    std::copy_n(&p.palette[3 * (100 + k)], 3, &p.palette[3 * (200 + k)]);
  Bytes file = support::encode_pcx(p);
  ASSERT_EQ(show_from_memory(file), 0);
  for (int i = 0; i < 256; ++i) {
    const uint8_t v = index_at(i % 16, i / 16);
    ASSERT_GE(v, 10);
    ASSERT_LE(v, 245);
    ASSERT_EQ(entry(v), file_colour(p.palette, i)) << i;
  }
}

TEST_F(PcxPalette, KeepPaletteLeavesPaletteAndMap) {
  ASSERT_GE(support::make_buffer(16, 16, 16), 0);
  const auto before = entry(7);
  const uint16_t mapped = state().palette_map.rgb565[7];
  PcxPicture p = all_colours();
  Bytes file = support::encode_pcx(p);
  ASSERT_EQ(show_from_memory(file, RX_SHOW_KEEP_PALETTE), 0);
  EXPECT_EQ(entry(7), before);
  EXPECT_EQ(value16_at(7, 0), mapped);
}

}  // namespace
}  // namespace rx::pcxtest
