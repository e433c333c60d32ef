// Every operation called before rx_init, with the record as the program
// loads it: no window DC, no memory DC, no buffer, nothing realized.
#include "hardening/misuse_table.h"

namespace rx::hardening {
namespace {

class BeforeInit : public MisuseTest {
 protected:
  void arrange() override {
    support::reset_library();
    state() = LibraryState{};
  }
  bool intact() const override { return state().active_handle == -1; }
};

uint8_t g_rgb[3 * 256];
int g_not_a_palette;
RxPalette bogus_palette() { return reinterpret_cast<RxPalette>(&g_not_a_palette); }

constexpr MisuseRow kRows[] = {
    {"set_dc null", []() -> int64_t { return rx_set_dc(nullptr); }, 0},
    {"display_bits", []() -> int64_t { return rx_display_bits(); }, 32},
    {"clock",
     []() -> int64_t {
       platform::set_tick(55 * 1000);
       return rx_clock();
     },
     1000},
    {"shutdown", []() -> int64_t { return rx_shutdown(); }, 0},
    {"shutdown twice", []() -> int64_t { return rx_shutdown() + rx_shutdown(); }, 0},
    {"input_buffer built-in", []() -> int64_t { return rx_set_input_buffer(nullptr, 0); }, 0},
    {"input_buffer caller", []() -> int64_t { return rx_set_input_buffer(g_rgb, 16); }, 0},
    {"input_buffer negative",
     []() -> int64_t { return rx_set_input_buffer(g_rgb, -1); }, RX_ERR_ARGUMENT},
    {"input_buffer INT_MIN",
     []() -> int64_t { return rx_set_input_buffer(g_rgb, INT_MIN); }, RX_ERR_ARGUMENT},
    {"find_display_mode listed", []() -> int64_t { return rx_find_display_mode(640, 480, 32); }, 0},
    {"find_display_mode 65536x65536",
     []() -> int64_t { return rx_find_display_mode(65536, 65536, 32); }, -1},
    {"find_display_mode negative", []() -> int64_t { return rx_find_display_mode(-1, -1, -1); }, -1},
    {"set_display_mode restore", []() -> int64_t { return rx_set_display_mode(0, 0, 0, 0); }, 0},
    {"set_display_mode 65536x65536",
     []() -> int64_t { return rx_set_display_mode(65536, 65536, 32, 1); },
     platform::kChangeBadMode},
    {"set_display_mode INT_MAX",
     []() -> int64_t { return rx_set_display_mode(INT_MAX, INT_MAX, 32, 0); },
     platform::kChangeBadMode},
    {"set_display_mode negative",
     []() -> int64_t { return rx_set_display_mode(-640, 480, 16, 0); }, platform::kChangeBadMode},
    {"set_display_mode depth 7",
     []() -> int64_t { return rx_set_display_mode(640, 480, 7, 0); }, platform::kChangeBadMode},
    {"make_palette",
     []() -> int64_t {
       RxPalette p = rx_make_palette();
       rx_delete_palette(p);
       return p != nullptr;
     },
     1},
    {"realize_palette null", []() -> int64_t { return rx_realize_palette(nullptr); }, 0},
    {"realize_palette foreign", []() -> int64_t { return rx_realize_palette(bogus_palette()); }, 0},
    {"delete_palette foreign", []() -> int64_t { return rx_delete_palette(bogus_palette()); }, 0},
    {"set_palette_entries", []() -> int64_t { return rx_set_palette_entries(0, 1, g_rgb); }, 0},
    {"set_palette_entries past 255",
     []() -> int64_t { return rx_set_palette_entries(250, 100, g_rgb); }, 0},
    {"set_buffer_depth 16", []() -> int64_t { return rx_set_buffer_depth(16); }, 0},
    {"set_buffer_depth 264", []() -> int64_t { return rx_set_buffer_depth(264); }, RX_ERR_ARGUMENT},
    {"set_buffer_depth INT_MIN",
     []() -> int64_t { return rx_set_buffer_depth(INT_MIN); }, RX_ERR_ARGUMENT},
    // A buffer made this early is accepted; rx_init gives it back.
    {"buffer_create", []() -> int64_t { return rx_buffer_create(8, 8); }, 0},
    {"buffer_create 65536x65536",
     []() -> int64_t { return rx_buffer_create(65536, 65536); }, RX_ERR_ARGUMENT},
    {"buffer_select 0", []() -> int64_t { return rx_buffer_select(0); }, RX_ERR_RESOURCE},
    {"buffer_select -1", []() -> int64_t { return rx_buffer_select(-1); }, RX_ERR_ARGUMENT},
    {"buffer_select INT_MIN", []() -> int64_t { return rx_buffer_select(INT_MIN); }, RX_ERR_ARGUMENT},
    {"buffer_release", []() -> int64_t { return rx_buffer_release(); }, 0},
    {"buffer_free 0", []() -> int64_t { return rx_buffer_free(0); }, 0},
    {"buffer_free INT_MIN", []() -> int64_t { return rx_buffer_free(INT_MIN); }, 0},
    {"buffer_copy", []() -> int64_t { return rx_buffer_copy(0, 9, 0, 9, 0, 9, 0, 1); }, 0},
    {"buffer_paste", []() -> int64_t { return rx_buffer_paste(0, 639, 0, 479, 0, 479); }, 0},
    {"move_to extremes", []() -> int64_t { return rx_move_to(INT_MIN, INT_MAX); }, 0},
    {"pack_rgb", []() -> int64_t { return rx_pack_rgb(255, 255, 255); }, 0},
    {"unpack_rgb leaves outputs",
     []() -> int64_t {
       int32_t r = 7, g = 7, b = 7;
       return rx_unpack_rgb(0xFFFF, &r, &g, &b) + r + g + b;
     },
     21},
    {"block_size", []() -> int64_t { return rx_block_size(2, 3); }, 6},
    {"capture_block", []() -> int64_t { return capture_at(0, 1, 2, 2); }, 0},
    {"capture_block null", []() -> int64_t { return rx_capture_block(nullptr, 2, 2); }, 0},
    {"draw_block", []() -> int64_t { return draw_at(0, 1, 2, 2, false); }, 0},
    {"draw_block_mirrored", []() -> int64_t { return draw_at(0, 1, 2, 2, true); }, 0},
    {"show_pcx file",
     []() -> int64_t { return rx_show_pcx(samples().pcx_path.c_str(), 0); }, 0},
    {"show_pcx memory", []() -> int64_t { return pcx_at(0, 0); }, 0},
    {"reduce_colors", []() -> int64_t { return rx_reduce_colors(10, 236, g_rgb); }, 0},
    // The header reader needs no initialisation.
    {"jpeg_header",
     []() -> int64_t {
       JpegInfo info{};
       return rx_jpeg_header(samples().jpeg_path.c_str(), &info) + info.width;
     },
     16},
    {"jpeg_buffer_size unfilled",
     []() -> int64_t {
       JpegInfo info{};
       return rx_jpeg_buffer_size(&info);
     },
     0},
    {"set_decode_buffer", []() -> int64_t { return rx_set_decode_buffer(g_rgb, 768); }, 0},
    {"show_jpeg file",
     []() -> int64_t { return rx_show_jpeg(samples().jpeg_path.c_str(), 0); }, 0},
    {"show_jpeg memory", []() -> int64_t { return jpeg_at(0, 0); }, 0},
    {"flic_open and close",
     []() -> int64_t {
       FlicContext c{};
       const int32_t r = rx_flic_open(samples().flic_path.c_str(), &c);
       return r + rx_flic_close(&c) + c.width;
     },
     16},
    {"flic_play memory", []() -> int64_t { return flic_at(0, 0); }, 0},
    {"flic_skip memory",
     []() -> int64_t {
       install(samples().flic);
       FlicContext c = memory_flic();
       return rx_flic_skip(&c, 1);
     },
     1},
    {"wait_ticks longest", []() -> int64_t { return rx_wait_ticks(UINT32_MAX); }, 0},
    {"init", []() -> int64_t { return rx_init(); }, 0},
};

TEST_F(BeforeInit, EveryOperationIsHarmless) { run(kRows); }

}  // namespace
}  // namespace rx::hardening
