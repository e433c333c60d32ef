// The library palette: built for the desktop's depth, loaded in runs, and
// mirrored in PaletteMap for the active depth.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "core/default_palette.h"
#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

namespace platform = rx::platform;
using rx::support::EightBitDesktop;
using rx::support::FourBitDesktop;
using rx::support::HeadlessTest;
using rx::support::make_buffer;

void expect_default_entry(int i) {
  const rx::LogPaletteEntry& e = rx::state().log_palette.entries[i];
  const rx::PaletteRgb& d = rx::default_palette()[i];
  EXPECT_EQ(e.red, d.red) << i;
  EXPECT_EQ(e.green, d.green) << i;
  EXPECT_EQ(e.blue, d.blue) << i;
  EXPECT_EQ(e.flags, rx::kPcReserved) << i;
}

void expect_system_entry(int i, int system) {
  const rx::LogPaletteEntry& e = rx::state().log_palette.entries[i];
  const platform::PaletteEntry& p = platform::system_palette()[system];
  EXPECT_EQ(e.red, p.red) << i;
  EXPECT_EQ(e.green, p.green) << i;
  EXPECT_EQ(e.blue, p.blue) << i;
}

void expect_color_table_in_step() {
  const rx::LibraryState& s = rx::state();
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(s.color_table[i].blue, s.log_palette.entries[i].blue);
    EXPECT_EQ(s.color_table[i].green, s.log_palette.entries[i].green);
    EXPECT_EQ(s.color_table[i].red, s.log_palette.entries[i].red);
    EXPECT_EQ(s.color_table[i].reserved, 0);
  }
}

TEST(DefaultPalette, HoldsStaticColoursStandardColoursGreysAndRings) {
  const auto& d = rx::default_palette();
  auto same = [](rx::PaletteRgb c, int r, int g, int b) {
    return c.red == r && c.green == g && c.blue == b;
  };
  EXPECT_TRUE(same(d[9], 164, 200, 240));
  EXPECT_TRUE(same(d[11], 0, 0, 170));
  EXPECT_TRUE(same(d[16], 170, 85, 0));
  EXPECT_TRUE(same(d[28], 170, 170, 170));
  EXPECT_TRUE(same(d[30], 0, 0, 255));
  EXPECT_TRUE(same(d[31], 64, 0, 255));
  EXPECT_TRUE(same(d[53], 0, 64, 255));
  EXPECT_TRUE(same(d[102], 0, 0, 113));
  EXPECT_TRUE(same(d[222 + 12], 64, 64, 44));
  EXPECT_TRUE(same(d[246], 255, 251, 240));
  EXPECT_TRUE(same(d[255], 255, 255, 255));
}

TEST_F(HeadlessTest, DeepDesktopsGetExactlyTheDefaultTable) {
  RxPalette p = rx_make_palette();
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 256; ++i) expect_default_entry(i);
  expect_color_table_in_step();
  rx_delete_palette(p);
}

TEST_F(EightBitDesktop, StaticEntriesComeFromTheSystemPalette) {
  // Entries the system reports differently from the default table.
  rx_headless_screen(640, 480, 8);
  platform::PaletteEntry* system = const_cast<platform::PaletteEntry*>(platform::system_palette());
  system[3] = {1, 2, 3, 0};
  system[250] = {4, 5, 6, 0};
  RxPalette p = rx_make_palette();
  for (int i = 0; i < 10; ++i) expect_system_entry(i, i);
  for (int i = 246; i < 256; ++i) expect_system_entry(i, i);
  for (int i = 10; i < 246; ++i) expect_default_entry(i);
  EXPECT_EQ(rx::state().log_palette.entries[3].red, 1);
  EXPECT_EQ(rx::state().log_palette.entries[250].blue, 6);
  expect_color_table_in_step();
  rx_delete_palette(p);
}

TEST_F(FourBitDesktop, SixteenSystemColoursLandAtBothEnds) {
  RxPalette p = rx_make_palette();
  for (int i = 0; i < 8; ++i) expect_system_entry(i, i);
  for (int i = 248; i < 256; ++i) expect_system_entry(i, i - 240);
  for (int i = 8; i < 248; ++i) expect_default_entry(i);
  rx_delete_palette(p);
}

TEST_F(HeadlessTest, RealizingTwiceKeepsTheFirstInitialPalette) {
  RxPalette a = rx_make_palette();
  RxPalette b = rx_make_palette();
  rx::state().initial_palette = nullptr;
  rx_realize_palette(a);
  platform::Palette* initial = rx::state().initial_palette;
  ASSERT_NE(initial, nullptr);
  rx_realize_palette(b);
  EXPECT_EQ(rx::state().initial_palette, initial);
  EXPECT_EQ(rx::state().current_palette, reinterpret_cast<platform::Palette*>(b));
  rx_shutdown();
  rx_init();
  rx_delete_palette(a);
  rx_delete_palette(b);
}

TEST_F(HeadlessTest, EntriesReachPaletteMapAtEveryDeepDepth) {
  const uint8_t white[3] = {255, 255, 255}, dim[3] = {8, 4, 8}, rgb[3] = {1, 2, 3};
  make_buffer(16, 4, 4);
  rx_set_palette_entries(0, 1, white);
  rx_set_palette_entries(1, 1, dim);
  EXPECT_EQ(rx::state().palette_map.rgb565[0], 0xFFFF);
  EXPECT_EQ(rx::state().palette_map.rgb565[1], 0x0821);
  for (int bits : {24, 32}) {
    make_buffer(bits, 4, 4);
    rx_set_palette_entries(7, 1, rgb);
    const uint8_t expected[4] = {0, 1, 2, 3};
    EXPECT_EQ(std::memcmp(rx::state().palette_map.hrgb[7], expected, 4), 0) << bits;
    // Selection rebuilt the earlier entries from the logical palette.
    const uint8_t white_entry[4] = {0, 255, 255, 255};
    EXPECT_EQ(std::memcmp(rx::state().palette_map.hrgb[0], white_entry, 4), 0) << bits;
  }
}

TEST_F(HeadlessTest, EightBitBuffersLeavePaletteMapButTakeTheColours) {
  make_buffer(16, 4, 4);
  const uint8_t red[3] = {255, 0, 0};
  rx_set_palette_entries(5, 1, red);
  rx::PaletteMap before = rx::state().palette_map;
  int32_t eight = make_buffer(8, 4, 4);
  const uint8_t green[3] = {0, 255, 0};
  rx_set_palette_entries(5, 1, green);
  EXPECT_EQ(std::memcmp(&before, &rx::state().palette_map, sizeof before), 0);
  // On a deep desktop the 8-bit buffer's colour table follows the palette.
  const uint8_t* table = rx::state().slots.header[eight] + 40;
  EXPECT_EQ(table[4 * 5 + 0], 0);
  EXPECT_EQ(table[4 * 5 + 1], 255);
  EXPECT_EQ(table[4 * 5 + 2], 0);
  make_buffer(16, 4, 4);
  EXPECT_EQ(rx::state().palette_map.rgb565[5], 0x07E0);
}

TEST_F(HeadlessTest, PaletteRunsAreCutAtTheLastEntryAndBadRunsIgnored) {
  make_buffer(16, 4, 4);
  std::vector<uint8_t> rgb(3 * 300, 255);
  rx::LibraryState& s = rx::state();
  const rx::LogPalette before = s.log_palette;
  // Nothing without an active buffer, for a count of 0 or below, for a start
  // outside the table or without colours.
  rx_buffer_release();
  EXPECT_EQ(rx_set_palette_entries(0, 4, rgb.data()), 0);
  rx_buffer_select(0);
  EXPECT_EQ(rx_set_palette_entries(0, 0, rgb.data()), 0);
  EXPECT_EQ(rx_set_palette_entries(0, -5, rgb.data()), 0);
  EXPECT_EQ(rx_set_palette_entries(-1, 3, rgb.data()), 0);
  EXPECT_EQ(rx_set_palette_entries(INT_MIN, 3, rgb.data()), 0);
  EXPECT_EQ(rx_set_palette_entries(256, 3, rgb.data()), 0);
  EXPECT_EQ(rx_set_palette_entries(0, 3, nullptr), 0);
  EXPECT_EQ(std::memcmp(&before, &s.log_palette, sizeof before), 0);
  // A run past 255 stops there: only 250..255 change, nothing after them.
  const uint32_t after_table = s.color_table[255].reserved;
  EXPECT_EQ(rx_set_palette_entries(250, 300, rgb.data()), 0);
  EXPECT_EQ(rx_set_palette_entries(200, INT_MAX, rgb.data()), 0);
  for (int i = 200; i < 256; ++i) EXPECT_EQ(s.log_palette.entries[i].red, 255);
  EXPECT_EQ(s.log_palette.entries[199].red, before.entries[199].red);
  EXPECT_EQ(s.color_table[255].reserved, after_table);
  EXPECT_EQ(s.palette_map.rgb565[255], 0xFFFF);
}

TEST_F(EightBitDesktop, LoadedEntriesReachTheScreenThroughTheRealizedPalette) {
  RxPalette p = rx_make_palette();
  rx_realize_palette(p);
  make_buffer(8, 4, 4);
  const uint8_t c[3] = {12, 34, 56};
  rx_set_palette_entries(100, 1, c);
  const platform::PaletteEntry& e = platform::system_palette()[100];
  EXPECT_EQ(e.red, 12);
  EXPECT_EQ(e.green, 34);
  EXPECT_EQ(e.blue, 56);
  rx_buffer_release();
  rx_buffer_free(0);
  rx_shutdown();
  rx_init();
  rx_delete_palette(p);
}

}  // namespace
