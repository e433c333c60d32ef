#include <gtest/gtest.h>

#include "core/state.h"
#include "support/headless_fixture.h"

namespace {

using rx::support::HeadlessTest;

TEST_F(HeadlessTest, InitInstallsBuiltInBuffersAndDefaults) {
  int8_t scratch[16];
  rx_set_input_buffer(scratch, sizeof scratch);
  rx_init();
  const rx::LibraryState& s = rx::state();
  EXPECT_EQ(s.input_buffer, s.builtin_input);
  EXPECT_EQ(s.input_size, 4096);
  EXPECT_EQ(s.active_handle, -1);
  EXPECT_EQ(s.new_buffer_depth, 8);
  EXPECT_EQ(s.header_size, 40);
  EXPECT_EQ(s.info_size, 1064);
  EXPECT_EQ(s.color_usage, 0);
  EXPECT_EQ(s.nt_flag, 1);
}

}  // namespace
