// Palette chunks, the row writers' colours per depth and the 8-bit
// reduction.
#include "flic/palette_chunks.h"

#include "core/pixel_format.h"
#include "flic_fixture.h"

namespace rx::flic_test {
namespace {

using support::frame_chunk;
using support::PalettePacket;
using support::sub_chunk;

Bytes rgb_run(int count, int seed) {
  Bytes out;
  for (int i = 0; i < count; ++i)
    for (int k = 0; k < 3; ++k) out.push_back(static_cast<uint8_t>(i * 3 + k * 71 + seed));
  return out;
}

class PaletteChunks : public FlicTest {
 protected:
  // Plays one frame of sub-chunks into a new buffer of the given depth.
  int32_t play(int bits, const std::vector<Bytes>& sub_chunks, int32_t flags = RX_FLIC_NO_DELAY) {
    support::make_buffer(bits, 4, 2);
    file_ = one_frame(4, 2, sub_chunks);
    FlicContext c = open(file_);
    return rx_flic_play(&c, 1, flags);
  }
  static const LogPaletteEntry& entry(int i) { return state().log_palette.entries[i]; }
  Bytes file_;
};

TEST_F(PaletteChunks, PacketsSkipCountAndWrap) {
  // count 0 loads 256 entries; the next packet's skip counts from the same
  // index; (skip 16, count 16) after (skip 0, count 16) loads 32..47.
  Bytes all = rgb_run(256, 0), first = rgb_run(16, 100), second = rgb_run(16, 50);
  Bytes chunk = support::palette_body({{0, all}, {0, first}, {16, second}});
  ASSERT_EQ(play(24, {sub_chunk(RX_FLIC_COLOR_256, chunk)}), 1);
  for (int i = 0; i < 256; ++i) {
    const uint8_t* want = i < 16 ? &first[3 * i] : i >= 32 && i < 48 ? &second[3 * (i - 32)] : &all[3 * i];
    EXPECT_EQ(entry(i).red, want[0]) << i;
    EXPECT_EQ(entry(i).green, want[1]) << i;
    EXPECT_EQ(entry(i).blue, want[2]) << i;
  }
}

TEST_F(PaletteChunks, SixBitComponentsAreScaledAndHighBitsIgnored) {
  Bytes chunk = support::palette_body({{5, {63, 32, 1}}, {0, {0xC0 | 63, 0x40, 0}}});
  ASSERT_EQ(play(32, {sub_chunk(RX_FLIC_COLOR_64, chunk)}), 1);
  EXPECT_EQ(entry(5).red, 255);
  EXPECT_EQ(entry(5).green, 129);
  EXPECT_EQ(entry(5).blue, 4);
  EXPECT_EQ(entry(6).red, 255);
  EXPECT_EQ(entry(6).green, 0);
}

TEST_F(PaletteChunks, ARunPastEntry255IsCutAndStillConsumed) {
  std::vector<uint8_t> pic(8, 255);
  Bytes chunk = support::palette_body({{250, rgb_run(10, 7)}});
  ASSERT_EQ(play(24, {sub_chunk(RX_FLIC_COLOR_256, chunk),
                      sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2))}),
            1);
  Bytes run = rgb_run(10, 7);
  EXPECT_EQ(entry(255).red, run[15]);
  EXPECT_EQ(bytes_at(3, 1, 3), (std::vector<uint8_t>{run[17], run[16], run[15]}));
  EXPECT_NE(entry(0).red, run[18]);  // not wrapped to entry 0
}

TEST_F(PaletteChunks, RowWritersTurnIndicesIntoEachDepthsPixels) {
  // Index 1 = (0x12, 0x34, 0x56), index 2 = (0xF0, 0x0F, 0x88).
  Bytes chunk = support::palette_body({{1, {0x12, 0x34, 0x56, 0xF0, 0x0F, 0x88}}});
  std::vector<uint8_t> pic = {1, 2, 1, 2, 2, 1, 2, 1};
  std::vector<Bytes> subs = {sub_chunk(RX_FLIC_COLOR_256, chunk),
                             sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2))};
  ASSERT_EQ(play(16, subs), 1);
  EXPECT_EQ(pixel16(0, 0), rx::pack_565({0x12, 0x34, 0x56}));
  EXPECT_EQ(pixel16(1, 0), rx::pack_565({0xF0, 0x0F, 0x88}));
  ASSERT_EQ(play(24, subs), 1);
  EXPECT_EQ(bytes_at(0, 0, 6), (std::vector<uint8_t>{0x56, 0x34, 0x12, 0x88, 0x0F, 0xF0}));
  ASSERT_EQ(play(32, subs), 1);
  EXPECT_EQ(bytes_at(0, 1, 8),
            (std::vector<uint8_t>{0x88, 0x0F, 0xF0, state().high_byte, 0x56, 0x34, 0x12,
                                  state().high_byte}));
}

TEST_F(PaletteChunks, SixteenBitPixelsFollowEveryPaletteChange) {
  // 16-bit runs look pixels up two at a time; whatever changed the
  // palette (all of it, a few entries, many, or a call outside the flic),
  // every pixel is the current colour of its index.
  std::vector<uint8_t> pic = {3, 200, 200, 3, 3, 3, 5, 200, 200, 200, 7, 3, 0, 255, 255, 0,
                              9, 9, 3, 1, 200, 5, 100, 101, 3, 200, 150, 3, 2, 4, 6, 8};
  Bytes copy = sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 16, 2));
  auto check = [&](const char* what) {
    for (int i = 0; i < 32; ++i) {
      const LogPaletteEntry& e = entry(pic[i]);
      ASSERT_EQ(pixel16(i % 16, i / 16), rx::pack_565({e.red, e.green, e.blue}))
          << what << " pixel " << i;
    }
  };
  const std::vector<std::pair<const char*, Bytes>> changes = {
      {"all", support::palette_body({{0, rgb_run(256, 1)}})},
      {"few", support::palette_body({{3, rgb_run(1, 40)}, {196, rgb_run(1, 90)}})},
      {"many", support::palette_body({{0, rgb_run(100, 5)}, {50, rgb_run(60, 77)}})},
      {"same", support::palette_body({{3, rgb_run(1, 40)}})}};
  for (const auto& [what, body] : changes) {
    support::make_buffer(16, 16, 2);
    file_ = one_frame(16, 2, {sub_chunk(RX_FLIC_COLOR_256, body), copy});
    FlicContext c = open(file_);
    ASSERT_EQ(rx_flic_play(&c, 1, RX_FLIC_NO_DELAY), 1);
    check(what);
  }
  const uint8_t green[3] = {0, 255, 0};
  rx_set_palette_entries(200, 1, green);
  file_ = one_frame(16, 2, {copy});
  FlicContext c = open(file_);
  ASSERT_EQ(rx_flic_play(&c, 1, RX_FLIC_NO_DELAY), 1);
  check("outside");
}

TEST_F(PaletteChunks, LaterPaletteChunksDoNotRecolourDrawnPixels) {
  std::vector<uint8_t> pic(8, 3);
  Bytes copy = sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2));
  Bytes red = sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{3, {255, 0, 0}}}));
  Bytes blue = sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{3, {0, 0, 255}}}));
  ASSERT_EQ(play(24, {red, copy, blue}), 1);
  EXPECT_EQ(bytes_at(0, 0, 3), (std::vector<uint8_t>{0, 0, 255}));  // drawn red
}

TEST_F(PaletteChunks, KeepPaletteLeavesThePaletteAlone) {
  play(24, {sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, rgb_run(256, 1)}}))});
  LogPalette before = state().log_palette;
  PaletteMap map_before = state().palette_map;
  ASSERT_EQ(play(24, {sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, rgb_run(256, 9)}}))},
                 RX_FLIC_NO_DELAY | RX_FLIC_KEEP_PALETTE),
            1);
  EXPECT_EQ(std::memcmp(&before, &state().log_palette, sizeof before), 0);
  EXPECT_EQ(std::memcmp(&map_before, &state().palette_map, sizeof map_before), 0);
}

// indices 0..20 black, 21..255 distinct non-black colours
Bytes twenty_one_blacks() {
  Bytes rgb(256 * 3, 0);
  for (int i = 21; i < 256; ++i) {
    rgb[3 * i] = static_cast<uint8_t>(i);
    rgb[3 * i + 1] = static_cast<uint8_t>(255 - i);
    rgb[3 * i + 2] = static_cast<uint8_t>(i * 7);
  }
  return rgb;
}

TEST_F(PaletteChunks, EightBitReductionMergesTheBlacksIntoTheLastOne) {
  Bytes rgb = twenty_one_blacks();
  std::vector<uint8_t> pic = {0, 7, 19, 20, 21, 100, 254, 255};
  ASSERT_EQ(play(8, {sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, rgb}})),
                     sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2))}),
            1);
  EXPECT_EQ(indices(4, 2), (std::vector<uint8_t>{10, 10, 10, 10, 11, 90, 244, 245}));
  // Entries 10..245 now hold flic colours 20..255.
  for (int k = 20; k < 256; ++k) {
    EXPECT_EQ(entry(k - 10).red, rgb[3 * k]) << k;
    EXPECT_EQ(entry(k - 10).blue, rgb[3 * k + 2]) << k;
  }
}

TEST_F(PaletteChunks, ReductionTieGoesToTheLastPairOfTheScan) {
  // Colours on a coarse grid, 19 exact duplicates, and three in a line at
  // indices 1, 2, 3 with pairs (1, 2) and (2, 3) both at distance 1. After
  // the 19 duplicate merges, the 20th takes the later pair: 2 joins 3.
  Bytes rgb(256 * 3);
  for (int i = 0; i < 256; ++i) {
    rgb[3 * i] = static_cast<uint8_t>(i % 7 * 40);
    rgb[3 * i + 1] = static_cast<uint8_t>(i / 7 % 7 * 40);
    rgb[3 * i + 2] = static_cast<uint8_t>(i / 49 * 40);
  }
  for (int i = 1; i <= 3; ++i) {
    rgb[3 * i] = rgb[3 * i + 1] = 20;
    rgb[3 * i + 2] = static_cast<uint8_t>(19 + i);
  }
  for (int k = 0; k < 19; ++k) std::copy_n(&rgb[3 * (100 + k)], 3, &rgb[3 * (200 + k)]);
  support::make_buffer(8, 4, 2);
  file_ = one_frame(4, 2, {sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, rgb}}))});
  FlicContext c = open(file_);
  ASSERT_EQ(rx_flic_play(&c, 1, RX_FLIC_NO_DELAY), 1);
  const uint8_t* remap = flic::remap_table();
  EXPECT_EQ(remap[2], remap[3]);
  EXPECT_NE(remap[1], remap[3]);
  for (int k = 0; k < 19; ++k) EXPECT_EQ(remap[100 + k], remap[200 + k]) << k;
  std::vector<bool> used(256);
  int distinct = 0;
  for (int i = 0; i < 256; ++i) {
    ASSERT_GE(remap[i], 10);
    ASSERT_LE(remap[i], 245);
    if (!used[remap[i]]) ++distinct, used[remap[i]] = true;
  }
  EXPECT_EQ(distinct, 236);
}

TEST_F(PaletteChunks, NoReduceLoadsEntries10To245AsTheyAre) {
  Bytes rgb = twenty_one_blacks();
  std::vector<uint8_t> pic = {0, 7, 19, 20, 21, 100, 254, 255};
  LogPaletteEntry low = entry(3), high = entry(250);
  ASSERT_EQ(play(8,
                 {sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, rgb}})),
                  sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2))},
                 RX_FLIC_NO_DELAY | RX_SHOW_NO_REDUCE),
            1);
  EXPECT_EQ(indices(4, 2), pic);
  for (int k = 10; k < 246; ++k) EXPECT_EQ(entry(k).green, rgb[3 * k + 1]) << k;
  EXPECT_EQ(std::memcmp(&entry(3), &low, sizeof low), 0);
  EXPECT_EQ(std::memcmp(&entry(250), &high, sizeof high), 0);
}

TEST_F(PaletteChunks, KeepPaletteInEightBitsWritesIndicesUnchanged) {
  play(8, {sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, twenty_one_blacks()}}))});
  std::vector<uint8_t> pic = {0, 1, 2, 3, 250, 251, 252, 255};
  ASSERT_EQ(play(8,
                 {sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, rgb_run(256, 2)}})),
                  sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2))},
                 RX_FLIC_NO_DELAY | RX_FLIC_KEEP_PALETTE),
            1);
  EXPECT_EQ(indices(4, 2), pic);
}

// The reduction by its plain definition, pair scan after pair scan: the
// closest pair in use, the last of equal distances in the scan, its first
// colour merged into its second, until 236 are left.
struct Reduced {
  Bytes colours;  // 236 x 3
  Bytes remap;    // 256
};

Reduced reference_reduction(const Bytes& rgb) {
  std::vector<bool> in_use(256, true);
  Bytes remap(256);
  for (int i = 0; i < 256; ++i) remap[i] = static_cast<uint8_t>(i);
  for (int left = 256; left > 236; --left) {
    int best = INT32_MAX, bi = 0, bj = 0;
    for (int i = 0; i < 256; ++i) {
      for (int j = i + 1; j < 256 && in_use[i]; ++j) {
        if (!in_use[j]) continue;
        int d = 0;
        for (int k = 0; k < 3; ++k) d += (rgb[3 * i + k] - rgb[3 * j + k]) * (rgb[3 * i + k] - rgb[3 * j + k]);
        if (d <= best) best = d, bi = i, bj = j;
      }
    }
    for (uint8_t& r : remap)
      if (r == bi) r = static_cast<uint8_t>(bj);
    in_use[bi] = false;
  }
  Reduced out;
  std::vector<int> number(256);
  for (int k = 0; k < 256; ++k) {
    if (!in_use[k]) continue;
    number[k] = static_cast<int>(out.colours.size() / 3);
    out.colours.insert(out.colours.end(), &rgb[3 * k], &rgb[3 * k] + 3);
  }
  for (int k = 0; k < 256; ++k) out.remap.push_back(static_cast<uint8_t>(number[remap[k]] + 10));
  return out;
}

// Palettes with many equal distances and duplicates as well as random ones.
std::vector<Bytes> reduction_palettes() {
  std::vector<Bytes> out;
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, static_cast<uint8_t>(seed >> 16); };
  for (int n = 0; n < 6; ++n) {  // random
    Bytes rgb(768);
    for (uint8_t& c : rgb) c = next();
    out.push_back(rgb);
  }
  for (int levels : {2, 3, 5, 9}) {  // a few values per component: ties everywhere
    Bytes rgb(768);
    for (uint8_t& c : rgb) c = static_cast<uint8_t>(next() % levels * (255 / (levels - 1)));
    out.push_back(rgb);
  }
  out.push_back(Bytes(768, 77));  // one colour
  Bytes grey(768), grid(768), pairs(768), line(768);
  for (int i = 0; i < 256; ++i) {
    for (int k = 0; k < 3; ++k) grey[3 * i + k] = static_cast<uint8_t>(i);
    grid[3 * i] = static_cast<uint8_t>(i % 7 * 40);
    grid[3 * i + 1] = static_cast<uint8_t>(i / 7 % 7 * 40);
    grid[3 * i + 2] = static_cast<uint8_t>(i / 49 * 40);
    for (int k = 0; k < 3; ++k) pairs[3 * i + k] = static_cast<uint8_t>(i / 2 * 2 + k);
    line[3 * i] = static_cast<uint8_t>(i % 2 == 0 ? i : 255 - i);  // equal steps, out of order
  }
  for (const Bytes& p : {grey, grid, pairs, line}) out.push_back(p);
  twenty_one_blacks().swap(grey);
  out.push_back(grey);
  return out;
}

TEST_F(PaletteChunks, ReductionMatchesThePairScanOnEveryPalette) {
  // Each palette is read at 24 bits (no reduction), then reduced: twice in
  // a row (a held result must match), around a no-reduce call (which
  // overwrites the working tables) and after one entry changes.
  for (Bytes rgb : reduction_palettes()) {
    for (int change = 0; change < 2; ++change) {
      if (change == 1) rgb[3 * 100] = static_cast<uint8_t>(rgb[3 * 100] + 1);
      play(24, {sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, rgb}}))});
      const Reduced want = reference_reduction(rgb);
      for (bool between_no_reduce : {false, true, false}) {
        if (between_no_reduce) flic::reduce_to_236(true);
        const uint8_t* colours = flic::reduce_to_236(false);
        ASSERT_EQ(Bytes(colours, colours + 3 * 236), want.colours) << change;
        ASSERT_EQ(Bytes(flic::remap_table(), flic::remap_table() + 256), want.remap) << change;
      }
    }
  }
}

TEST_F(PaletteChunks, EightBitPixelsUseThePaletteReadBeforeThem) {
  // A run of palette chunks is reduced once, but pixels between chunks and
  // the library palette after the frame follow every chunk as read.
  Bytes first = twenty_one_blacks(), second = first;
  for (int i = 0; i < 30; ++i) second[3 * i] = second[3 * i + 1] = static_cast<uint8_t>(i * 8);
  std::vector<uint8_t> pic = {0, 7, 19, 20, 21, 25, 254, 255};
  Bytes copy = sub_chunk(RX_FLIC_COPY, support::copy_body(pic.data(), 4, 2));
  ASSERT_EQ(play(8, {sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, second}})),
                     sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, first}})), copy,
                     sub_chunk(RX_FLIC_COLOR_256, support::palette_body({})),
                     sub_chunk(RX_FLIC_COLOR_256, support::palette_body({{0, second}}))}),
            1);
  const Reduced drawn = reference_reduction(first), last = reference_reduction(second);
  std::vector<uint8_t> want;
  for (uint8_t p : pic) want.push_back(drawn.remap[p]);
  EXPECT_EQ(indices(4, 2), want);
  for (int k = 0; k < 236; ++k) {
    EXPECT_EQ(entry(10 + k).red, last.colours[3 * k]) << k;
    EXPECT_EQ(entry(10 + k).green, last.colours[3 * k + 1]) << k;
  }
  EXPECT_EQ(Bytes(flic::remap_table(), flic::remap_table() + 256), last.remap);
}

}  // namespace
}  // namespace rx::flic_test
