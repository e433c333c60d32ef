// Operations on the active buffer after the last one was released and
// freed: the active fields still describe memory that is gone, so any
// operation that used them would touch freed memory.
#include "hardening/misuse_table.h"

namespace rx::hardening {
namespace {

class NoActiveBuffer : public MisuseTest {
 protected:
  void arrange() override {
    const int32_t h = support::make_buffer(16, 64, 48);
    rx_buffer_release();
    rx_buffer_free(h);
  }
  bool intact() const override { return state().active_handle == -1; }
};

uint8_t g_rgb[3 * 256];

constexpr MisuseRow kRows[] = {
    {"buffer_paste", []() -> int64_t { return rx_buffer_paste(0, 63, 0, 47, 0, 47); }, 0},
    {"buffer_copy freed slot", []() -> int64_t { return rx_buffer_copy(0, 9, 0, 9, 0, 9, 0, 0); }, 0},
    {"buffer_select freed slot", []() -> int64_t { return rx_buffer_select(0); }, RX_ERR_RESOURCE},
    {"buffer_free freed slot", []() -> int64_t { return rx_buffer_free(0); }, 0},
    {"buffer_free -1 (no active handle)", []() -> int64_t { return rx_buffer_free(-1); }, 0},
    {"buffer_release again", []() -> int64_t { return rx_buffer_release() + rx_buffer_release(); }, 0},
    {"capture_block", []() -> int64_t { return capture_at(0, 3, 4, 4); }, 0},
    {"capture_block null", []() -> int64_t { return rx_capture_block(nullptr, 4, 4); }, 0},
    {"draw_block", []() -> int64_t { return draw_at(0, 3, 4, 4, false); }, 0},
    {"draw_block_mirrored", []() -> int64_t { return draw_at(0, 3, 4, 4, true); }, 0},
    // Colour values keep the depth of the buffer selected last.
    {"pack_rgb", []() -> int64_t { return rx_pack_rgb(255, 0, 0); }, 0xF800},
    {"block_size", []() -> int64_t { return rx_block_size(2, 3); }, 12},
    {"set_palette_entries", []() -> int64_t { return rx_set_palette_entries(0, 256, g_rgb); }, 0},
    {"reduce_colors", []() -> int64_t { return rx_reduce_colors(10, 236, g_rgb); }, 0},
    {"show_pcx file", []() -> int64_t { return rx_show_pcx(samples().pcx_path.c_str(), 0); }, 0},
    {"show_pcx memory", []() -> int64_t { return pcx_at(0, 0); }, 0},
    {"show_jpeg file", []() -> int64_t { return rx_show_jpeg(samples().jpeg_path.c_str(), 0); }, 0},
    {"show_jpeg memory", []() -> int64_t { return jpeg_at(0, 0); }, 0},
    {"flic_play memory", []() -> int64_t { return flic_at(0, 0); }, 0},
    {"flic_play file",
     []() -> int64_t {
       FlicContext c{};
       rx_flic_open(samples().flic_path.c_str(), &c);
       const int32_t shown = rx_flic_play(&c, -1, RX_FLIC_NO_DELAY);
       rx_flic_close(&c);
       return shown;
     },
     0},
    {"init again", []() -> int64_t { return rx_init(); }, 0},
    {"shutdown", []() -> int64_t { return rx_shutdown(); }, 0},
};

TEST_F(NoActiveBuffer, NothingTouchesTheFreedBuffer) { run(kRows); }

}  // namespace
}  // namespace rx::hardening
