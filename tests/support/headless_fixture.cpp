#include "support/headless_fixture.h"

namespace rx::support {

void reset_library() {
  rx_buffer_release();
  for (int32_t h = 0; h < 32; ++h) rx_buffer_free(h);
  rx_shutdown();
  rx_set_decode_buffer(nullptr, 0);
}

void HeadlessTest::SetUp() {
  reset_library();
  dc_ = rx_headless_screen(640, 480, desktop_bits());
  ASSERT_NE(dc_, nullptr);
  rx_set_dc(dc_);
  rx_init();
}

void HeadlessTest::TearDown() { reset_library(); }

int32_t make_buffer(int32_t bits, int32_t width, int32_t height) {
  rx_set_buffer_depth(bits);
  int32_t h = rx_buffer_create(width, height);
  if (h >= 0) rx_buffer_select(h);
  return h;
}

}  // namespace rx::support
