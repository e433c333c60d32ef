// Calls made before rx_init, in a program of their own so that nothing has
// initialised the global state yet.
#include <gtest/gtest.h>

#include <vector>

#include "core/state.h"
#include "platform/headless_controls.h"
#include "platform/platform.h"
#include "rastrix.h"

namespace {

TEST(BeforeInit, EveryCallIsHarmless) {
  const rx::LibraryState& s = rx::state();
  ASSERT_EQ(s.memory_dc, nullptr) << "must run before any rx_init";
  EXPECT_EQ(s.active_handle, -1);
  EXPECT_EQ(s.new_buffer_depth, 8);
  EXPECT_EQ(s.input_buffer, s.builtin_input);
  EXPECT_EQ(s.input_size, 4096);
  EXPECT_EQ(s.decode_buffer, s.scratch);
  EXPECT_EQ(s.decode_size, 10240);
  EXPECT_EQ(s.log_palette.version, 0x300);
  EXPECT_EQ(s.log_palette.count, 256);
  EXPECT_EQ(s.current_file, -1);

  std::vector<uint8_t> block(64, 0x5A);
  EXPECT_EQ(rx_move_to(1, 1), 0);
  EXPECT_EQ(rx_draw_block(block.data(), 2, 2), 0);
  EXPECT_EQ(rx_draw_block_mirrored(block.data(), 2, 2), 0);
  EXPECT_EQ(rx_capture_block(block.data(), 2, 2), 0);
  EXPECT_EQ(block, std::vector<uint8_t>(64, 0x5A));
  EXPECT_EQ(rx_block_size(2, 3), 6u);
  EXPECT_EQ(rx_buffer_paste(0, 639, 0, 479, 0, 479), 0);
  EXPECT_EQ(rx_buffer_copy(0, 9, 0, 9, 0, 9, 0, 1), 0);
  EXPECT_EQ(rx_buffer_select(0), -2);
  EXPECT_EQ(rx_buffer_select(-1), -1);
  EXPECT_EQ(rx_buffer_free(0), 0);
  EXPECT_EQ(rx_buffer_release(), 0);
  EXPECT_EQ(rx_pack_rgb(255, 255, 255), 0u);
  int32_t r = 3;
  EXPECT_EQ(rx_unpack_rgb(0xFFFF, &r, nullptr, nullptr), 0);
  EXPECT_EQ(r, 3);
  const uint8_t rgb[3] = {1, 2, 3};
  EXPECT_EQ(rx_set_palette_entries(0, 1, rgb), 0);
  EXPECT_EQ(s.log_palette.entries[0].red, 0);
  EXPECT_EQ(rx_realize_palette(nullptr), 0);
  EXPECT_EQ(rx_display_bits(), 32);
  rx::platform::set_virtual_clock(true, 0, 1);
  EXPECT_EQ(rx_find_display_mode(640, 480, 32), 0);
  rx::platform::set_virtual_clock(false);
  EXPECT_EQ(rx_shutdown(), 0);
  EXPECT_EQ(rx_set_buffer_depth(16), 0);

  // A buffer made before initialisation is given back by it.
  const int32_t early = rx_buffer_create(8, 8);
  EXPECT_EQ(early, 0);
  EXPECT_EQ(rx_buffer_select(early), 0);
  rx_set_dc(rx_headless_screen(640, 480, 32));
  EXPECT_EQ(rx_init(), 0);
  EXPECT_EQ(s.slots.pixels[0], nullptr);
  EXPECT_EQ(s.active_handle, -1);
  EXPECT_EQ(rx_buffer_create(8, 8), 0);
  EXPECT_EQ(rx_buffer_free(0), 0);
  EXPECT_EQ(rx_shutdown(), 0);
}

}  // namespace
