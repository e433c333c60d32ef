// The state record, initialisation, the clock and shutdown.
#include <gtest/gtest.h>

#include <climits>
#include <cstddef>

#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

using rx::LibraryState;
using rx::support::EightBitDesktop;
using rx::support::FourBitDesktop;
using rx::support::HeadlessTest;
namespace platform = rx::platform;

// Fields keep the documented order; the widths of the narrow ones matter.
static_assert(offsetof(LibraryState, identification) == 0);
static_assert(offsetof(LibraryState, window_dc) < offsetof(LibraryState, current_palette));
static_assert(offsetof(LibraryState, position_x) < offsetof(LibraryState, active_width));
static_assert(offsetof(LibraryState, active_bottom_row) < offsetof(LibraryState, position_y));
static_assert(offsetof(LibraryState, nt_flag) + 1 == offsetof(LibraryState, high_byte));
static_assert(offsetof(LibraryState, palette_map) < offsetof(LibraryState, log_palette));
static_assert(offsetof(LibraryState, color_usage) < offsetof(LibraryState, active_handle));
static_assert(offsetof(LibraryState, active_handle) + 1 == offsetof(LibraryState, new_buffer_depth));
static_assert(offsetof(LibraryState, slots) < offsetof(LibraryState, input_buffer));
static_assert(offsetof(LibraryState, scratch) < offsetof(LibraryState, decode_buffer));
static_assert(sizeof(rx::PaletteMap) == 1024);
static_assert(sizeof(rx::LogPalette) == 4 + 1024);
static_assert(sizeof(LibraryState::nt_flag) == 1 && sizeof(LibraryState::active_handle) == 1);
static_assert(sizeof(LibraryState::builtin_input) == 4096 && sizeof(LibraryState::scratch) == 10240);

TEST_F(HeadlessTest, InitSetsDefaultsAndTheBuiltInInputBuffer) {
  uint8_t mine[16];
  ASSERT_EQ(rx_set_input_buffer(mine, sizeof mine), 0);
  rx_move_to(5, 6);
  rx_init();
  const LibraryState& s = rx::state();
  EXPECT_STREQ(s.identification, "Rastrix V5.01 for Windows");
  EXPECT_EQ(s.input_buffer, s.builtin_input);
  EXPECT_EQ(s.input_size, 4096);
  EXPECT_EQ(s.active_handle, -1);
  EXPECT_EQ(s.new_buffer_depth, 8);
  EXPECT_EQ(s.header_size, 40);
  EXPECT_EQ(s.info_size, 1064);
  EXPECT_EQ(s.color_usage, 0);
  EXPECT_EQ(s.nt_flag, 1);
  EXPECT_EQ(s.high_byte, 0);
  EXPECT_EQ(s.depth_index, 0);
  EXPECT_EQ(s.position_x, 0);
  EXPECT_EQ(s.position_y, 0);
  EXPECT_NE(s.memory_dc, nullptr);
  EXPECT_EQ(s.saved_bitmap, nullptr);
  EXPECT_EQ(s.text_line_height, 12);
  EXPECT_EQ(s.text_char_width, 8);
  EXPECT_EQ(s.decode_buffer, s.scratch);
  EXPECT_EQ(s.log_palette.version, 0x300);
  EXPECT_EQ(s.log_palette.count, 256);
}

TEST_F(HeadlessTest, InputBufferSizeZeroInstallsTheBuiltInOneAndBadArgumentsAreRefused) {
  uint8_t mine[64];
  const LibraryState& s = rx::state();
  EXPECT_EQ(rx_set_input_buffer(mine, 64), 0);
  EXPECT_EQ(s.input_buffer, mine);
  EXPECT_EQ(s.input_size, 64);
  EXPECT_EQ(rx_set_input_buffer(mine, 0), 0);
  EXPECT_EQ(s.input_buffer, s.builtin_input);
  EXPECT_EQ(s.input_size, 4096);
  EXPECT_EQ(rx_set_input_buffer(mine, -1), RX_ERR_ARGUMENT);
  EXPECT_EQ(rx_set_input_buffer(nullptr, 10), RX_ERR_ARGUMENT);
  EXPECT_EQ(rx_set_input_buffer(mine, INT_MIN), RX_ERR_ARGUMENT);
  EXPECT_EQ(s.input_buffer, s.builtin_input);
}

TEST_F(HeadlessTest, OldFamilyVersionClearsTheNtFlag) {
  platform::set_version(0x80000000u);
  rx_init();
  EXPECT_EQ(rx::state().nt_flag, 0);
  platform::set_version(0x23F00206u);
  rx_init();
  EXPECT_EQ(rx::state().nt_flag, 1);
}

TEST_F(HeadlessTest, DisplayBitsReportsFifteenAsSixteen) {
  struct Case {
    int32_t screen, reported;
  } cases[] = {{4, 4}, {8, 8}, {15, 16}, {16, 16}, {24, 24}, {32, 32}};
  for (const Case& c : cases) {
    ASSERT_NE(rx_headless_screen(640, 480, c.screen), nullptr);
    EXPECT_EQ(rx_display_bits(), c.reported) << c.screen;
  }
}

TEST_F(HeadlessTest, ClockCountsTicksOfFiftyFiveMilliseconds) {
  platform::set_virtual_clock(true, 54, 0);
  EXPECT_EQ(rx_clock(), 0u);
  platform::set_tick(55);
  EXPECT_EQ(rx_clock(), 1u);
  platform::set_tick(4294967295u);
  EXPECT_EQ(rx_clock(), 78090314u);
  platform::set_tick(0);
  EXPECT_EQ(rx_clock(), 0u);
  platform::set_virtual_clock(false);
}

TEST_F(HeadlessTest, ShutdownWithABufferStillAllocatedChangesNothing) {
  int32_t h = rx::support::make_buffer(16, 8, 8);
  ASSERT_EQ(h, 0);
  platform::Device* memory = rx::state().memory_dc;
  EXPECT_EQ(rx_shutdown(), 0);
  EXPECT_EQ(rx::state().memory_dc, memory);
  EXPECT_EQ(rx::state().active_handle, 0);
  rx_buffer_release();
  rx_buffer_free(h);
  EXPECT_EQ(rx_shutdown(), 0);
  EXPECT_EQ(rx::state().memory_dc, nullptr);
  EXPECT_EQ(rx::state().active_handle, -1);
  // A second shutdown finds no memory DC and only clears the selection.
  rx::state().active_handle = 3;
  EXPECT_EQ(rx_shutdown(), 0);
  EXPECT_EQ(rx::state().active_handle, -1);
  EXPECT_EQ(rx::state().memory_dc, nullptr);
}

TEST_F(HeadlessTest, ShutdownSelectsTheInitialPaletteBack) {
  RxPalette p = rx_make_palette();
  rx_realize_palette(p);
  platform::set_call_log(true);
  platform::clear_call_log();
  rx_shutdown();
  ASSERT_FALSE(platform::call_log().empty());
  EXPECT_EQ(platform::call_log().front().rfind("select_palette", 0), 0u);
  rx_init();
  rx_delete_palette(p);
}

TEST_F(HeadlessTest, InitAgainWithBuffersLeftGivesTheirHandlesBack) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(rx::support::make_buffer(32, 16, 16), i);
  platform::set_call_log(true);
  platform::clear_call_log();
  rx_init();
  int deleted = 0;
  for (const std::string& line : platform::call_log()) deleted += line.rfind("delete_bitmap", 0) == 0;
  EXPECT_EQ(deleted, 3);
  EXPECT_EQ(rx::state().active_handle, -1);
  EXPECT_EQ(rx_buffer_create(4, 4), 0);
}

TEST_F(EightBitDesktop, InitUsesPaletteIndicesOnPaletteDesktops) {
  const LibraryState& s = rx::state();
  EXPECT_EQ(s.color_usage, 1);
  EXPECT_EQ(s.info_size, 552);
  EXPECT_EQ(s.header_size, 40);
  EXPECT_EQ(s.new_buffer_depth, 8);
}

}  // namespace
